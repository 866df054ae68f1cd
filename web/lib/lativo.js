// SPDX-License-Identifier: GPL-3.0-or-later
// Lativo Bivano: Greek letters to Latin ones and back, published schemes,
// slugs, Greek given its accents, text typed with the wrong keyboard
// layout repaired, in the browser and in Node. The conversions run in
// WebAssembly over the same core as the `bivano` program and give the
// same text.
//
//   import { toLatin, toGreek, slug } from 'lativo-bivano';
//   toLatin('θάλασσα');                       // '8alassa'
//   toLatin('Θεσσαλονίκη', { scheme: 'elot743' });  // 'Thessaloniki'
//   toGreek('kalimera');                     // 'καλιμερα'
//   slug('Καλημέρα κόσμε!');                 // 'kalimera-kosme'
//   await loadModel('greek.model');
//   layout('Kalhm;era ηελλο');                // 'Καλημέρα hello'
//   auto('θάλασσα και ψυχή\nkalimera ti kaneis');  // '8alassa kai cyxh\nκαλημέρα τι κανείς'
const inNode = typeof process === 'object' && typeof process.versions?.node === 'string';

/**
 * Where a page that has the core compiled already (fetched while its worker
 * started, say) leaves it for this module: a promise of a
 * WebAssembly.Module, or of null to have it fetched here as usual.
 */
export const COMPILED_CORE = Symbol.for('lativo-bivano.compiled-core');

// The core (lativo-core.wasm): its C functions (lativo_*), and views of
// its memory, made anew whenever the memory grows.
const core = {};
// As the core was linked: at most 2 GB of memory.
const MAX_MEMORY = 2 ** 31;

function viewMemory() {
    const { buffer } = core.memory;
    core.HEAPU8 = new Uint8Array(buffer);
    core.HEAPU16 = new Uint16Array(buffer);
    core.HEAP32 = new Int32Array(buffer);
    core.HEAPU32 = new Uint32Array(buffer);
}

// All that the core asks of JavaScript.
const imports = {
    env: {
        // The core cannot go on: out of memory, or a check that cannot fail
        // here failed.
        abort() {
            throw new WebAssembly.RuntimeError('the core aborted');
        },
        // The memory grown to at least `requested` bytes, as emscripten's
        // own loader grows it: a fifth more than it had (a tenth, then a
        // twentieth, if that cannot be had), at most 96 MB past the need.
        emscripten_resize_heap(requested) {
            requested >>>= 0;
            const old = core.memory.buffer.byteLength;
            for (let cutDown = 1; cutDown <= 4 && requested <= MAX_MEMORY; cutDown *= 2) {
                const wanted = Math.max(requested, Math.min(old * (1 + 0.2 / cutDown), requested + 96 * 2 ** 20));
                const size = Math.min(MAX_MEMORY, Math.ceil(wanted / 65536) * 65536);
                try {
                    core.memory.grow((size - old) / 65536);
                    viewMemory();
                    return 1;
                } catch {
                    // less, then
                }
            }
            return 0;
        },
    },
};

async function fetchCore(url) {
    const fetched = () => fetch(url, { credentials: 'same-origin' }).then((response) => {
        if (!response.ok) {
            throw new Error(`${url}: ${response.status} ${response.statusText}`);
        }
        return response;
    });
    if (typeof WebAssembly.instantiateStreaming === 'function') {
        try {
            return await WebAssembly.instantiateStreaming(fetched(), imports);
        } catch {
            // served as other than application/wasm, say: read whole below
        }
    }
    return WebAssembly.instantiate(await (await fetched()).arrayBuffer(), imports);
}

async function instantiate() {
    const wasm = new URL('./lativo-core.wasm', import.meta.url);
    if (inNode) {
        // fetch refuses file: URLs in node.
        const { readFile } = await import('node:fs/promises');
        return (await WebAssembly.instantiate(await readFile(wasm), imports)).instance;
    }
    const compiled = await globalThis[COMPILED_CORE];
    if (compiled instanceof WebAssembly.Module) {
        try {
            return await WebAssembly.instantiate(compiled, imports);
        } catch {
            // fetched and compiled here after all
        }
    }
    return (await fetchCore(wasm)).instance;
}

Object.assign(core, (await instantiate()).exports);
viewMemory();
core.__wasm_call_ctors();

/** Characters converted at a time: memory stays bounded whatever the text. */
export const PIECE_LENGTH = 256 * 1024;

export const SCHEMES = Object.freeze(['lativo', 'elot743', 'iso843', 'alalc', 'bgn1962', 'slug']);
const CHOICES = Object.freeze({
    xi: ['3', 'j', 'ks'],
    theta: ['8', 'u', 'th'],
    psi: ['c', 'ps'],
    omega: ['w', 'v'],
});
export const ENCODINGS = Object.freeze([
    'utf-8',
    'utf-16le',
    'utf-16be',
    'windows-1253',
    'iso-8859-7',
]);
const DIRECTIONS = Object.freeze({ latin: 0, greek: 1, accents: 2, layout: 3, auto: 4 });
const AUTO = -1;
// The largest model accepted, as the program's own bound.
const MAX_MODEL_BYTES = 1024 * 1024 * 1024;

/** The message of a model that cannot be used. */
export const MODEL_REFUSED = "the Greek reader's model is damaged or of another version";

export class ModelError extends Error {
    constructor(message = MODEL_REFUSED) {
        super(message);
        this.name = 'ModelError';
    }
}

/** A character that the chosen encoding cannot write, and where it stands. */
export class EncodingError extends Error {
    constructor(line, column, character, encoding) {
        const code = character.toString(16).toUpperCase().padStart(4, '0');
        super(`line ${line}, column ${column}: character U+${code} cannot be written in ${encoding}`);
        this.name = 'EncodingError';
        this.line = line;
        this.column = column;
        this.character = character;
    }
}

function choiceIndex(group, value, fallback) {
    if (value === undefined || value === null) {
        return fallback;
    }
    const choices = group === 'scheme' ? SCHEMES : CHOICES[group];
    const index = choices.indexOf(String(value).toLowerCase());
    if (index < 0) {
        throw new RangeError(`invalid ${group} "${value}": ${choices.join(', ')}`);
    }
    return index;
}

function encodingIndex(name, allowAuto) {
    if ((name === undefined || name === 'auto') && allowAuto) {
        return AUTO;
    }
    const normal = String(name ?? 'utf-8').toLowerCase();
    const aliases = { utf8: 'utf-8', 'utf-16': 'utf-16le', cp1253: 'windows-1253', greek: 'iso-8859-7' };
    const index = ENCODINGS.indexOf(aliases[normal] ?? normal);
    if (index < 0 || (!allowAuto && index !== 0 && index !== 3)) {
        throw new RangeError(`invalid encoding "${name}"`);
    }
    return index;
}

// The words of the C side's scratch, and its code units.
function heap16() {
    return core.HEAPU16;
}

function writeUnits(text, start, end, pointer) {
    const heap = heap16();
    let at = pointer >>> 1;
    for (let i = start; i < end; ++i) {
        heap[at++] = text.charCodeAt(i);
    }
}

// Refuses a lone surrogate rather than making it U+FFFD.
const utf16 = typeof TextDecoder === 'function' ? new TextDecoder('utf-16le', { fatal: true }) : null;

/** Code units as a string, a lone surrogate kept as it is (as the core keeps it). */
export function unitsToText(units) {
    if (utf16 !== null && units.length > 64) {
        try {
            return utf16.decode(units);
        } catch {
            // a lone surrogate: kept below
        }
    }
    const parts = [];
    for (let at = 0; at < units.length; at += 8192) {
        parts.push(String.fromCharCode.apply(null, units.subarray(at, at + 8192)));
    }
    return parts.join('');
}

/** A string's code units (UTF-16, lone surrogates and all). */
export function textToUnits(text, start = 0, end = text.length) {
    const units = new Uint16Array(end - start);
    for (let i = start, at = 0; i < end; ++i) {
        units[at++] = text.charCodeAt(i);
    }
    return units;
}

function readUnits(pointer, length) {
    return unitsToText(heap16().subarray(pointer >>> 1, (pointer >>> 1) + length));
}

function copyUnits(pointer, length) {
    return heap16().slice(pointer >>> 1, (pointer >>> 1) + length);
}

// Pieces of code units laid end to end.
function joinUnits(pieces) {
    if (pieces.length === 1) {
        return pieces[0];
    }
    const whole = new Uint16Array(pieces.reduce((sum, piece) => sum + piece.length, 0));
    let at = 0;
    for (const piece of pieces) {
        whole.set(piece, at);
        at += piece.length;
    }
    return whole;
}

// The first 4-byte word past `bytes` bytes from `pointer`: where a length
// is returned, inside scratch that has 8 bytes to spare.
function wordAfter(pointer, bytes) {
    return (pointer + bytes + 3) & ~3;
}

function withScratch(bytes, use) {
    const pointer = core.lativo_alloc(bytes);
    try {
        return use(pointer);
    } finally {
        core.lativo_free(pointer);
    }
}

let loadedModel = null;  // the handle of the model that accents use

// A pipeline that converts `direction` with `options`; accents, layout and
// auto take the model loaded.
function conversionPipeline(direction, options) {
    if (!(direction in DIRECTIONS)) {
        throw new RangeError(`invalid direction "${direction}": latin, greek, accents, layout or auto`);
    }
    // layout judges every word by the model; auto tells Greeklish from
    // English by it (without it, Greeklish would stay as it is).
    const spelled =
        direction === 'accents' || direction === 'layout' || direction === 'auto' ||
        (direction === 'greek' && options.accents);
    if (spelled && loadedModel === null) {
        throw new ModelError(
            direction === 'layout' || direction === 'auto'
                ? 'no model is loaded: call loadModel first; without it no word can be judged'
                : 'no model is loaded: call loadModel first',
        );
    }
    const settings = [
        DIRECTIONS[direction],
        choiceIndex('scheme', options.scheme, 0),
        choiceIndex('xi', options.xi, 0),
        choiceIndex('theta', options.theta, 0),
        choiceIndex('psi', options.psi, 0),
        choiceIndex('omega', options.omega, 0),
        encodingIndex(options.from, true),
        encodingIndex(options.to, false),
        options.credit ? 1 : 0,
        options.chat ? 1 : 0,
    ];
    const pipeline = withScratch(settings.length * 4, (pointer) => {
        core.HEAP32.set(settings, pointer >>> 2);
        return core.lativo_pipeline_new(pointer, spelled ? loadedModel : 0);
    });
    if (pipeline === 0) {
        throw new RangeError('these options do not go together');
    }
    return pipeline;
}

/**
 * One conversion over a text that arrives in pieces of any size; the
 * pieces' results add up to the whole text's.
 */
export class Converter {
    #pipeline;
    #scratch;  // the piece's code units, then the result's length
    #capacity;

    constructor(direction, options = {}) {
        this.#pipeline = conversionPipeline(direction, options);
        this.#capacity = 0;
        this.#scratch = 0;
    }

    #reserve(units) {
        if (units > this.#capacity) {
            core.lativo_free(this.#scratch);
            this.#capacity = Math.max(units, 16);
            this.#scratch = core.lativo_alloc(this.#capacity * 2 + 8);
        }
        return this.#scratch;
    }

    // One piece through the core; `fill` puts its `length` code units at
    // the pointer given, `read` takes the result from the core's memory.
    #step(length, fill, last, read) {
        const input = this.#reserve(length);
        const lengthAt = wordAfter(input, this.#capacity * 2);
        fill(input);
        const out = core.lativo_convert(this.#pipeline, input, length, last ? 1 : 0, lengthAt);
        return read(out, core.HEAPU32[lengthAt >>> 2]);
    }

    /** The conversion of as much of `piece` as can be given yet. */
    convert(piece) {
        this.#check();
        const text = String(piece);
        const parts = [];
        for (let at = 0; at < text.length; at += PIECE_LENGTH) {
            const end = Math.min(text.length, at + PIECE_LENGTH);
            parts.push(this.#step(end - at, (pointer) => writeUnits(text, at, end, pointer), false, readUnits));
        }
        return parts.join('');
    }

    /**
     * As convert, for text held as UTF-16 code units: no string is made on
     * either side, which saves time and memory on long texts.
     */
    convertUnits(units) {
        this.#check();
        const pieces = [];
        for (let at = 0; at < units.length; at += PIECE_LENGTH) {
            const piece = units.subarray(at, Math.min(units.length, at + PIECE_LENGTH));
            pieces.push(this.#step(piece.length, (pointer) => heap16().set(piece, pointer >>> 1), false, copyUnits));
        }
        return pieces.length ? joinUnits(pieces) : new Uint16Array(0);
    }

    /** What was held back, and the credit line when asked for; frees the converter. */
    finish() {
        return unitsToText(this.finishUnits());
    }

    /** As finish, in code units. */
    finishUnits() {
        this.#check();
        const rest = this.#step(0, () => {}, true, copyUnits);
        this.close();
        return rest;
    }

    close() {
        if (this.#pipeline) {
            core.lativo_pipeline_delete(this.#pipeline);
            core.lativo_free(this.#scratch);
            this.#pipeline = 0;
            this.#scratch = 0;
            this.#capacity = 0;
        }
    }

    #check() {
        if (!this.#pipeline) {
            throw new Error('the converter has finished');
        }
    }
}

function convertWhole(direction, text, options) {
    const converter = new Converter(direction, options);
    try {
        return converter.convert(text) + converter.finish();
    } finally {
        converter.close();
    }
}

/**
 * Greek letters to Latin ones. `scheme`: lativo (the default, with the four
 * choices xi 3|j|ks, theta 8|u|th, psi c|ps, omega w|v), elot743, iso843,
 * alalc, bgn1962 or slug. `credit` ends the text with four line breaks and
 * the program's credit line.
 */
export function toLatin(text, options = {}) {
    return convertWhole('latin', text, options);
}

/**
 * Latin letters to Greek; every spelling is read. `accents` reads and
 * spells the words with accents (after loadModel), `chat` also writes out
 * the chat shorthand (k και, gt γιατί, tpt τίποτα).
 */
export function toGreek(text, options = {}) {
    return convertWhole('greek', text, options);
}

/** Greek without accents given its accents and spelling (after loadModel). */
export function accents(text, options = {}) {
    return convertWhole('accents', text, options);
}

/**
 * Text typed with the wrong keyboard layout on, given back: Latin keys that
 * spell Greek on the Greek layout (Linux's and Windows' standard one, ';'
 * and ':' its accent keys) become Greek ('Kalhm;era' → 'Καλημέρα'), Greek
 * letters that spell English become Latin ('ηελλο ςορλδ' → 'hello world').
 * A word changes only when its other reading is a known word or plainly
 * better. Needs loadModel first (a ModelError otherwise).
 */
export function layout(text, options = {}) {
    return convertWhole('layout', text, { credit: options.credit });
}

/**
 * Each line the way its words show: Greek letters to Latin ones (with the
 * options of toLatin), Greeklish to Greek with accents (`chat` also writes
 * out the chat shorthand); English stays. Needs loadModel first.
 */
export function auto(text, options = {}) {
    return convertWhole('auto', text, options);
}

/** Lower-case ASCII for addresses and file names: 'Καλημέρα κόσμε!' → 'kalimera-kosme'. */
export function slug(text) {
    return convertWhole('latin', text, { scheme: 'slug' });
}

/** Whether accents can be given: a model is loaded. */
export function hasModel() {
    return loadedModel !== null;
}

async function* chunksOf(source) {
    if (typeof source === 'string') {
        if (!inNode) {
            throw new TypeError('a model path can be read only under Node; give its bytes or a stream');
        }
        const { readFile } = await import('node:fs/promises');
        yield await readFile(source);
        return;
    }
    if (source instanceof ArrayBuffer) {
        yield new Uint8Array(source);
        return;
    }
    if (ArrayBuffer.isView(source)) {
        yield new Uint8Array(source.buffer, source.byteOffset, source.byteLength);
        return;
    }
    if (source && typeof source.getReader === 'function') {
        const reader = source.getReader();
        try {
            for (;;) {
                const { done, value } = await reader.read();
                if (done) {
                    return;
                }
                yield value;
            }
        } finally {
            reader.releaseLock();
        }
    }
    throw new TypeError('loadModel takes bytes, a stream of bytes or (under Node) a path');
}

function isGzip(bytes) {
    return bytes.length >= 2 && bytes[0] === 0x1f && bytes[1] === 0x8b;
}

async function gunzip(bytes) {
    if (inNode) {
        const zlib = await import('node:zlib');
        try {
            return new Uint8Array(zlib.gunzipSync(bytes));
        } catch {
            throw new ModelError();
        }
    }
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
}

// Gives a piece's memory back at once rather than at the garbage
// collector's next pass: a model streams through in tens of megabytes of
// pieces, which would otherwise linger.
function release(view) {
    if (view.byteOffset === 0 && view.byteLength === view.buffer.byteLength && typeof view.buffer.transfer === 'function') {
        try {
            view.buffer.transfer(0);
        } catch {
            // not ours to let go of
        }
    }
}

/**
 * Loads the reader's model that accents need: its bytes (gzip'ed or not),
 * a stream of its bytes (ungzip'ed, say through DecompressionStream), or
 * under Node a path. `size`, when known, lets a stream go straight into
 * place; `releaseChunks` says that the stream's pieces are of no more use
 * once read, so that their memory is given back at once. A damaged model
 * is refused with a ModelError, and the model loaded before, if any, stays.
 */
export async function loadModel(source, { size, releaseChunks = false } = {}) {
    let total = 0;
    let chunks = [];
    let target = 0;  // straight into place when the size is known
    if (Number.isInteger(size) && size > 0 && size <= MAX_MODEL_BYTES) {
        target = core.lativo_alloc(size);
    }
    try {
        for await (let chunk of chunksOf(source)) {
            if (typeof source === 'string' || ArrayBuffer.isView(source) || source instanceof ArrayBuffer) {
                if (isGzip(chunk)) {
                    chunk = await gunzip(chunk);
                }
            }
            if (total + chunk.length > MAX_MODEL_BYTES) {
                throw new ModelError();
            }
            const length = chunk.length;
            if (target && total + length <= size) {
                core.HEAPU8.set(chunk, target + total);
                if (releaseChunks) {
                    release(chunk);
                }
            } else {
                if (target) {
                    // Longer than announced: gather what came so far.
                    chunks.push(core.HEAPU8.slice(target, target + total));
                    core.lativo_free(target);
                    target = 0;
                }
                chunks.push(chunk);
            }
            total += length;
        }
        let bytes = target;
        target = 0;
        if (!bytes) {
            bytes = core.lativo_alloc(total);
            let at = bytes;
            for (const chunk of chunks) {
                core.HEAPU8.set(chunk, at);
                at += chunk.length;
            }
        }
        chunks = [];
        const handle = withScratch(4, (problem) => core.lativo_model_open(bytes, total, problem));
        if (handle === 0) {
            throw new ModelError();
        }
        if (loadedModel !== null) {
            core.lativo_model_close(loadedModel);
        }
        loadedModel = handle;
        return { words: core.lativo_model_word_count(handle) };
    } finally {
        if (target) {
            core.lativo_free(target);
        }
    }
}

/** Forgets the model and frees its memory. */
export function unloadModel() {
    if (loadedModel !== null) {
        core.lativo_model_close(loadedModel);
        loadedModel = null;
    }
}

/**
 * The encoding a text file is read in, judged as the program judges it: a
 * byte-order mark, UTF-8, ISO-8859-7 when 0xB6 is used as a letter, else
 * Windows-1253.
 */
export function detectEncoding(bytes) {
    return withScratch(bytes.length + 8, (pointer) => {
        core.HEAPU8.set(bytes, pointer);
        const markAt = wordAfter(pointer, bytes.length);
        return ENCODINGS[core.lativo_detect_encoding(pointer, bytes.length, 1, markAt)];
    });
}

function pipelineFor(settings) {
    return withScratch(40, (pointer) => {
        core.HEAP32.set([0, 0, 0, 0, 0, 0, ...settings], pointer >>> 2);
        return core.lativo_pipeline_new(pointer, 0);
    });
}

/** Streams a file's bytes into text; see decodeText. */
export class TextFileDecoder {
    #pipeline;
    #scratch;
    #capacity = 0;
    #finished;

    constructor(from = 'auto') {
        this.#pipeline = pipelineFor([encodingIndex(from, true), 0, 0, 0]);
    }

    /** The encoding read in: once judged, at the latest after the last piece. */
    get encoding() {
        return this.#pipeline ? ENCODINGS[core.lativo_decoded_encoding(this.#pipeline)] : this.#finished;
    }

    decode(bytes, last = false) {
        return this.#decode(bytes, last, readUnits);
    }

    /** As decode, the text as UTF-16 code units. */
    decodeUnits(bytes, last = false) {
        return this.#decode(bytes, last, copyUnits);
    }

    /**
     * As decodeUnits, without a copy: a view into the core's memory, valid
     * until the next call. The decoder stays open after the last piece,
     * until close().
     */
    decodeView(bytes, last = false) {
        return this.#decode(bytes, last, (pointer, length) => heap16().subarray(pointer >>> 1, (pointer >>> 1) + length), false);
    }

    #decode(bytes, last, read, closeAtEnd = true) {
        if (!this.#pipeline) {
            throw new Error('the decoder has finished');
        }
        if (bytes.length > this.#capacity) {
            core.lativo_free(this.#scratch);
            this.#capacity = bytes.length;
            this.#scratch = core.lativo_alloc(this.#capacity + 8);
        }
        const pointer = this.#scratch || (this.#scratch = core.lativo_alloc(8));
        core.HEAPU8.set(bytes, pointer);
        const lengthAt = wordAfter(pointer, this.#capacity);
        const out = core.lativo_decode(this.#pipeline, pointer, bytes.length, last ? 1 : 0, lengthAt);
        const text = read(out, core.HEAPU32[lengthAt >>> 2]);
        if (last) {
            this.#finished = this.encoding;
            if (closeAtEnd) {
                this.close();
            }
        }
        return text;
    }

    close() {
        if (this.#pipeline) {
            core.lativo_pipeline_delete(this.#pipeline);
            core.lativo_free(this.#scratch);
            this.#pipeline = 0;
            this.#scratch = 0;
        }
    }
}

/**
 * A text file's bytes as text, in the encoding `from` (default: judged as
 * `bivano` judges it, reading 256 KiB at a time), and the encoding read.
 */
export function decodeText(bytes, from = 'auto') {
    const view = bytes instanceof ArrayBuffer ? new Uint8Array(bytes) : bytes;
    const decoder = new TextFileDecoder(from);
    const parts = [];
    for (let at = 0; at < view.length; at += PIECE_LENGTH) {
        parts.push(decoder.decode(view.subarray(at, at + PIECE_LENGTH)));
    }
    parts.push(decoder.decode(new Uint8Array(0), true));
    return { text: parts.join(''), encoding: decoder.encoding };
}

/**
 * Writes a text given in pieces in UTF-8 or Windows-1253, as the program
 * writes files; see encodeText.
 */
export class TextFileEncoder {
    #pipeline;
    #target;
    #scratch = 0;
    #capacity = 0;

    constructor(to = 'utf-8') {
        this.#target = encodingIndex(to, false);
        this.#pipeline = pipelineFor([AUTO, this.#target, 0, 0]);
    }

    /** The bytes of `piece`; an EncodingError at a character the encoding lacks. */
    encode(piece, last = false) {
        const text = String(piece);
        return this.#encode(text.length, (pointer, at, end) => writeUnits(text, at, end, pointer), last);
    }

    /** As encode, for text held as UTF-16 code units. */
    encodeUnits(units, last = false) {
        return this.#encode(units.length, (pointer, at, end) => heap16().set(units.subarray(at, end), pointer >>> 1), last);
    }

    #encode(length, fill, last) {
        if (!this.#pipeline) {
            throw new Error('the encoder has finished');
        }
        const pieceLength = Math.min(length, PIECE_LENGTH);
        if (pieceLength > this.#capacity || !this.#scratch) {
            core.lativo_free(this.#scratch);
            this.#capacity = pieceLength;
            this.#scratch = core.lativo_alloc(this.#capacity * 2 + 8);
        }
        const lengthAt = wordAfter(this.#scratch, this.#capacity * 2);
        const parts = [];
        try {
            for (let at = 0; ; at += PIECE_LENGTH) {
                const end = Math.min(length, at + PIECE_LENGTH);
                const final = last && end >= length;
                fill(this.#scratch, at, end);
                const out = core.lativo_encode(this.#pipeline, this.#scratch, end - at, final ? 1 : 0, lengthAt);
                if (out === 0) {
                    const error = encodingFailure(this.#pipeline, this.#target);
                    this.close();
                    throw error;
                }
                parts.push(core.HEAPU8.slice(out, out + core.HEAPU32[lengthAt >>> 2]));
                if (end >= length) {
                    break;
                }
            }
        } finally {
            if (last) {
                this.close();
            }
        }
        if (parts.length === 1) {
            return parts[0];
        }
        const bytes = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
        let at = 0;
        for (const part of parts) {
            bytes.set(part, at);
            at += part.length;
        }
        return bytes;
    }

    close() {
        if (this.#pipeline) {
            core.lativo_pipeline_delete(this.#pipeline);
            core.lativo_free(this.#scratch);
            this.#pipeline = 0;
            this.#scratch = 0;
        }
    }
}

function encodingFailure(pipeline, target) {
    const [line, column, character] = withScratch(12, (failure) => {
        core.lativo_encoding_failure(pipeline, failure, failure + 4, failure + 8);
        return Array.from(core.HEAPU32.subarray(failure >>> 2, (failure >>> 2) + 3));
    });
    return new EncodingError(line, column, character, ENCODINGS[target]);
}

/**
 * A file converted as `bivano` converts it: its bytes in (read in the
 * encoding judged, or `from`), the converted text's bytes out (UTF-8 or
 * Windows-1253), a piece at a time, the text never leaving the core. The
 * leanest and fastest way through a long file.
 *
 *   const file = new FileConverter('latin', { scheme: 'iso843' });
 *   for (const piece of pieces) output.write(file.convert(piece));
 *   output.write(file.convert(new Uint8Array(0), true));
 */
export class FileConverter {
    #decoder;
    #converter;
    #encoder;
    #target;
    #input = 0;  // the piece's bytes
    #capacity = 0;
    #lengths;    // the three stages' lengths
    #text = [0, 0];

    constructor(direction, options = {}, { from = 'auto', to = 'utf-8' } = {}) {
        this.#target = encodingIndex(to, false);
        this.#decoder = pipelineFor([encodingIndex(from, true), 0, 0, 0]);
        try {
            this.#converter = conversionPipeline(direction, options);
        } catch (error) {
            core.lativo_pipeline_delete(this.#decoder);
            throw error;
        }
        this.#encoder = pipelineFor([AUTO, this.#target, 0, 0]);
        this.#lengths = core.lativo_alloc(12);
    }

    /**
     * The bytes of the text converted from `bytes` (`last` ends the file):
     * a view into the core's memory, valid until the next call. An
     * EncodingError at a character the output encoding lacks.
     */
    convert(bytes, last = false) {
        if (!this.#decoder) {
            throw new Error('the converter has finished');
        }
        if (bytes.length > this.#capacity || !this.#input) {
            core.lativo_free(this.#input);
            this.#capacity = bytes.length;
            this.#input = core.lativo_alloc(Math.max(1, bytes.length));
        }
        core.HEAPU8.set(bytes, this.#input);
        const end = last ? 1 : 0;
        const lengths = this.#lengths >>> 2;
        const decoded = core.lativo_decode(this.#decoder, this.#input, bytes.length, end, this.#lengths);
        const converted = core.lativo_convert(this.#converter, decoded, core.HEAPU32[lengths], end, this.#lengths + 4);
        this.#text = [converted, core.HEAPU32[lengths + 1]];
        const out = core.lativo_encode(this.#encoder, converted, this.#text[1], end, this.#lengths + 8);
        if (out === 0) {
            const error = encodingFailure(this.#encoder, this.#target);
            this.close();
            throw error;
        }
        return core.HEAPU8.subarray(out, out + core.HEAPU32[lengths + 2]);
    }

    /** The converted text of the last piece, as code units: a view valid until the next call. */
    get text() {
        return heap16().subarray(this.#text[0] >>> 1, (this.#text[0] >>> 1) + this.#text[1]);
    }

    /** The encoding the file is read in: once judged, at the latest after the last piece. */
    get encoding() {
        return this.#decoder ? ENCODINGS[core.lativo_decoded_encoding(this.#decoder)] : undefined;
    }

    close() {
        if (this.#decoder) {
            for (const pipeline of [this.#decoder, this.#converter, this.#encoder]) {
                core.lativo_pipeline_delete(pipeline);
            }
            core.lativo_free(this.#input);
            core.lativo_free(this.#lengths);
            this.#decoder = 0;
            this.#input = 0;
        }
    }
}

/**
 * A text's bytes in UTF-8 or Windows-1253. An EncodingError names the first
 * character that Windows-1253 does not have.
 */
export function encodeText(text, to = 'utf-8') {
    return new TextFileEncoder(to).encode(text, true);
}
