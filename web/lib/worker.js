// SPDX-License-Identifier: GPL-3.0-or-later
// The conversions off the page's thread: a text goes through the core a
// piece at a time, reporting progress after each and stopping when told
// to. Long texts come and go as code units or bytes, never as one more
// copy of the whole string: a file is read from its Blob piece by piece,
// and a long result is gathered in a Blob of its UTF-8 bytes (what Save
// writes) with only its beginning sent as text, for the page to show.
// The reader's model is fetched here, on first need, through the
// browser's cache. Started by client.js as a module worker.

// The page hands over the core compiled while this worker started (the
// first message, 'core'); the module below waits for it rather than
// fetching it again. Loaded on the fly, so that messages are heard meanwhile.
const COMPILED_CORE = Symbol.for('lativo-bivano.compiled-core');
let giveCore;
globalThis[COMPILED_CORE] = new Promise((resolve) => {
    giveCore = resolve;
});
const loading = Promise.all([import('./lativo.js'), import('./model-info.js')]);

let lativo = null;
let modelInfo = null;
const cancelled = new Set();
let modelLoading = null;  // the promise of the model, once asked for

// Bytes of a file read at a time.
const READ_BYTES = 256 * 1024;

// Lets messages that arrived meanwhile (a cancel) be handled: a message to
// itself waits behind them, without the delay a chain of timers gets.
const { port1: wake, port2: sleeper } = new MessageChannel();
const sleepers = [];
sleeper.onmessage = () => sleepers.shift()?.();
function breathe() {
    return new Promise((resolve) => {
        sleepers.push(resolve);
        wake.postMessage(null);
    });
}

class Cancelled extends Error {}

// A buffer of ours given back at once rather than at the garbage
// collector's next pass.
function release(buffer) {
    try {
        buffer?.transfer?.(0);
    } catch {
        // given away already
    }
}

function spelled(direction, options) {
    // layout and auto judge the words by the model: they wait for it too.
    return direction === 'accents' || direction === 'layout' || direction === 'auto' ||
        (direction === 'greek' && options.accents);
}

// Code units sent a piece at a time (client.js sends a long text so, while
// the pieces before convert): each request's pieces as they come.
const arriving = new Map();  // id → { pieces, wake }
const ended = new Set();     // requests whose late pieces are dropped

function arrivalsOf(id) {
    if (!arriving.has(id)) {
        arriving.set(id, { pieces: [], wake: null });
    }
    return arriving.get(id);
}

function receivePiece({ id, units, last }) {
    if (ended.has(id)) {
        release(units);
        return;
    }
    const arrivals = arrivalsOf(id);
    arrivals.pieces.push({ units, last });
    arrivals.wake?.();
}

async function nextPiece(id) {
    const arrivals = arrivalsOf(id);
    while (arrivals.pieces.length === 0) {
        await new Promise((resolve) => {
            arrivals.wake = resolve;
        });
        arrivals.wake = null;
    }
    return arrivals.pieces.shift();
}

function endArrivals(id) {
    for (const piece of arriving.get(id)?.pieces ?? []) {
        release(piece.units);
    }
    arriving.delete(id);
    ended.add(id);
}

// The source's text as pieces of code units, and how far through it they
// are (in its own measure: characters or bytes) for the progress bar.
async function* piecesOf(source, id) {
    if (source.streamed) {
        for (let done = 0; ;) {
            const { units, last } = await nextPiece(id);
            const view = new Uint16Array(units);
            done += view.length;
            yield { units: view, done, total: source.total };
            release(units);
            if (last) {
                return;
            }
        }
    } else if (typeof source.text === 'string') {
        const { text } = source;
        for (let at = 0; at < text.length; at += lativo.PIECE_LENGTH) {
            const end = Math.min(text.length, at + lativo.PIECE_LENGTH);
            yield { units: lativo.textToUnits(text, at, end), done: end, total: text.length };
        }
    } else if (source.file instanceof Blob) {
        const { file } = source;
        const decoder = new lativo.TextFileDecoder(source.from ?? 'auto');
        try {
            for await (const { bytes, done, last } of bytesOf(file)) {
                // A copy: the conversion may move the core's memory.
                yield { units: decoder.decodeUnits(bytes, last), done, total: file.size, decoder };
            }
        } finally {
            decoder.close();
        }
    } else {
        throw new TypeError('nothing to convert');
    }
}

// A Blob's bytes in pieces of READ_BYTES, read into one buffer over and
// over: each piece is a view of it, valid until the next one is asked for.
async function* bytesOf(blob) {
    let reader = null;
    try {
        reader = blob.stream().getReader({ mode: 'byob' });
    } catch {
        // no reading into a buffer of one's own: a piece at a time then
    }
    if (!reader) {
        for (let at = 0; at < blob.size || at === 0; at += READ_BYTES) {
            const end = Math.min(blob.size, at + READ_BYTES);
            yield { bytes: new Uint8Array(await blob.slice(at, end).arrayBuffer()), done: end, last: end >= blob.size };
        }
        return;
    }
    try {
        let buffer = new ArrayBuffer(READ_BYTES);
        let done = 0;
        for (let last = false; !last;) {
            let filled = 0;
            while (filled < READ_BYTES) {
                const read = await reader.read(new Uint8Array(buffer, filled, READ_BYTES - filled));
                if (read.value) {
                    buffer = read.value.buffer;
                }
                if (read.done) {
                    last = true;
                    break;
                }
                filled += read.value.length;
            }
            done += filled;
            yield { bytes: new Uint8Array(buffer, 0, filled), done, last };
        }
    } finally {
        reader.releaseLock();
    }
}

// Gathers a text's beginning, for the page to show, and its length.
class Beginning {
    constructor(shown) {
        this.shown = shown;
        this.pieces = [];
        this.kept = 0;
        this.length = 0;
    }

    add(units) {
        this.length += units.length;
        if (this.kept <= this.shown) {
            const take = units.subarray(0, this.shown + 1 - this.kept);
            this.pieces.push(take.slice());
            this.kept += take.length;
        }
    }

    // The beginning, or the whole text when it is no longer than `shown`;
    // a beginning does not end with half a surrogate pair.
    text() {
        let units = new Uint16Array(Math.min(this.kept, this.shown));
        let at = 0;
        for (const piece of this.pieces) {
            const part = piece.subarray(0, units.length - at);
            units.set(part, at);
            at += part.length;
        }
        const cut = this.length > this.shown;
        if (cut && units.length > 0 && units[units.length - 1] >= 0xd800 && units[units.length - 1] < 0xdc00) {
            units = units.subarray(0, units.length - 1);
        }
        return lativo.unitsToText(units);
    }
}

// Where a result goes: one string (`text`), code units handed over a piece
// at a time as they come (`stream`), or (`blob`) a Blob of its UTF-8 bytes
// and its beginning.
function resultSink(into, shown, id) {
    if (into === 'stream') {
        return {
            add(units) {
                if (units.length) {
                    postMessage({ type: 'resultPiece', id, units: units.buffer }, [units.buffer]);
                }
            },
            reply: () => ({ streamed: true }),
            close() {},
        };
    }
    if (into === 'blob') {
        const encoder = new lativo.TextFileEncoder('utf-8');
        const beginning = new Beginning(shown);
        const parts = [];
        return {
            add(units, last) {
                beginning.add(units);
                // Each piece's bytes go to the browser's store at once.
                parts.push(new Blob([encoder.encodeUnits(units, last)]));
            },
            reply: () => ({ text: beginning.text(), length: beginning.length, blob: new Blob(parts, { type: 'text/plain;charset=utf-8' }) }),
            close: () => encoder.close(),
        };
    }
    const pieces = [];
    return {
        add(units) {
            if (units.length) {
                pieces.push(units);
            }
        },
        reply: () => ({ text: pieces.map((piece) => lativo.unitsToText(piece)).join('') }),
        close() {},
    };
}

// A file into a Blob of UTF-8: its bytes go through the core and come out
// as bytes, the text never leaving it; what is kept of it is its beginning.
async function convertFile({ id, direction, source, options, shown }) {
    const { file } = source;
    const converter = new lativo.FileConverter(direction, options, { from: source.from ?? 'auto' });
    const beginning = new Beginning(shown);
    const parts = [];
    try {
        for await (const { bytes, done, last } of bytesOf(file)) {
            const converted = converter.convert(bytes, last);
            beginning.add(converter.text);
            parts.push(new Blob([converted]));
            postMessage({ type: 'progress', id, done, total: file.size });
            if (!last) {
                await breathe();
                if (cancelled.has(id)) {
                    return { type: 'cancelled', id };
                }
            }
        }
        return { type: 'result', id, encoding: converter.encoding, text: beginning.text(), length: beginning.length,
            blob: new Blob(parts, { type: 'text/plain;charset=utf-8' }) };
    } finally {
        converter.close();
    }
}

async function convert({ id, direction, source, options = {}, into = 'text', shown = 0 }) {
    if (spelled(direction, options)) {
        try {
            await ensureModel();
        } catch (error) {
            if (source.streamed) {
                endArrivals(id);
            }
            throw error;
        }
    }
    if (source.file instanceof Blob && into === 'blob') {
        return convertFile({ id, direction, source, options, shown });
    }
    const converter = new lativo.Converter(direction, options);
    const sink = resultSink(into, shown, id);
    let encoding;
    try {
        let first = true;
        for await (const piece of piecesOf(source, id)) {
            if (!first) {
                await breathe();
                if (cancelled.has(id)) {
                    throw new Cancelled();
                }
            }
            first = false;
            sink.add(converter.convertUnits(piece.units), false);
            encoding = piece.decoder?.encoding;
            postMessage({ type: 'progress', id, done: piece.done, total: piece.total });
        }
        sink.add(converter.finishUnits(), true);
        return { type: 'result', id, encoding, ...sink.reply() };
    } catch (error) {
        if (error instanceof Cancelled) {
            return { type: 'cancelled', id };
        }
        throw error;
    } finally {
        converter.close();
        sink.close();
        if (source.streamed) {
            endArrivals(id);
        }
    }
}

// A file read as the program reads it: its encoding, its length, and its
// text whole when it is no longer than `shown`, else its beginning.
// A text has no NUL in it; a program's or a picture's bytes do.
async function open({ id, file, shown, longest }) {
    const beginning = new Beginning(shown);
    const decoder = new lativo.TextFileDecoder();
    try {
        for await (const { bytes, done, last } of bytesOf(file)) {
            const units = decoder.decodeView(bytes, last);
            if (units.includes(0)) {
                return { type: 'opened', id, notText: true };
            }
            beginning.add(units);
            postMessage({ type: 'progress', id, done, total: file.size });
            if (beginning.length > longest) {
                return { type: 'opened', id, tooLong: true, length: beginning.length };
            }
        }
        return { type: 'opened', id, encoding: decoder.encoding, length: beginning.length, whole: beginning.length <= shown,
            text: beginning.text() };
    } finally {
        decoder.close();
    }
}

// The text of a Blob of UTF-8 (a long result) a piece at a time.
async function* textOf(blob) {
    const decoder = new TextDecoder('utf-8', { ignoreBOM: true });
    for (let at = 0; at < blob.size; at += READ_BYTES) {
        const end = Math.min(blob.size, at + READ_BYTES);
        yield decoder.decode(await blob.slice(at, end).arrayBuffer(), { stream: end < blob.size });
        await breathe();
    }
}

// A long result's bytes in `encoding` with `suffix` after it (Save), or
// with LF line breaks (Copy, as Linux programs expect).
async function encodeBlob({ id, blob, encoding, suffix = '', lineFeeds = false }) {
    if (lineFeeds) {
        const parts = [];
        const bytes = new TextEncoder();
        let held = '';  // a CR at a piece's end, whose LF may come next
        for await (const text of textOf(blob)) {
            let piece = held + text;
            held = piece.endsWith('\r') ? '\r' : '';
            piece = piece.slice(0, piece.length - held.length).replace(/\r\n/g, '\n');
            parts.push(new Blob([bytes.encode(piece)]));
        }
        parts.push(held + suffix);
        return { type: 'encodedBlob', id, blob: new Blob(parts, { type: 'text/plain;charset=utf-8' }) };
    }
    const encoder = new lativo.TextFileEncoder(encoding);
    const parts = [];
    try {
        for await (const text of textOf(blob)) {
            parts.push(new Blob([encoder.encode(text)]));
        }
        parts.push(new Blob([encoder.encode(suffix, true)]));
    } catch (error) {
        if (error instanceof lativo.EncodingError) {
            return { type: 'notEncodable', id, line: error.line, column: error.column, character: error.character };
        }
        throw error;
    } finally {
        encoder.close();
    }
    return { type: 'encodedBlob', id, blob: new Blob(parts, { type: `text/plain;charset=${encoding}` }) };
}

function decode({ id, bytes }) {
    const view = new Uint8Array(bytes);
    const { text, encoding } = lativo.decodeText(view);
    return { type: 'decoded', id, text, encoding };
}

function encode({ id, text, encoding }) {
    try {
        const bytes = lativo.encodeText(text, encoding);
        return { type: 'encoded', id, bytes };
    } catch (error) {
        if (error instanceof lativo.EncodingError) {
            return { type: 'notEncodable', id, line: error.line, column: error.column, character: error.character };
        }
        throw error;
    }
}

// Counts the bytes as they pass, for the progress bar.
function counting(total) {
    let received = 0;
    return new TransformStream({
        transform(chunk, controller) {
            received += chunk.length;
            postMessage({ type: 'modelProgress', received, total });
            controller.enqueue(chunk);
        },
    });
}

async function fetchModel() {
    if (!modelInfo) {
        throw new lativo.ModelError('missing');
    }
    const url = new URL(modelInfo.file, import.meta.url).href;
    const cacheName = `lativo-model-${modelInfo.hash}`;
    const cache = self.caches ? await caches.open(cacheName) : null;
    let response = cache ? await cache.match(url) : undefined;
    const cached = response !== undefined;
    if (!cached) {
        response = await fetch(url);
        if (!response.ok || !response.body) {
            throw new Error(`HTTP ${response.status}`);
        }
    }
    let body = response.body;
    let storing = Promise.resolve();
    if (cache && !cached) {
        const [forModel, forCache] = body.tee();
        body = forModel;
        storing = cache.put(url, new Response(forCache, { headers: { 'Content-Type': 'application/gzip' } }));
    }
    try {
        const stream = body.pipeThrough(counting(modelInfo.packedBytes)).pipeThrough(new DecompressionStream('gzip'));
        const loaded = await lativo.loadModel(stream, { size: modelInfo.bytes, releaseChunks: true });
        await storing;
        // Models of other versions are of no more use.
        if (self.caches) {
            for (const name of await caches.keys()) {
                if (name.startsWith('lativo-model-') && name !== cacheName) {
                    await caches.delete(name);
                }
            }
        }
        return loaded;
    } catch (error) {
        await storing.catch(() => {});
        if (self.caches) {
            await caches.delete(cacheName);  // never keep a damaged copy
        }
        throw error;
    }
}

function ensureModel() {
    if (!modelLoading) {
        modelLoading = fetchModel().then(
            (loaded) => {
                postMessage({ type: 'modelReady', words: loaded.words });
                return loaded;
            },
            (error) => {
                modelLoading = null;  // a later request may try again
                const reason = !modelInfo ? 'missing' : error instanceof lativo.ModelError ? 'damaged' : 'network';
                postMessage({ type: 'modelFailed', reason });
                throw error;
            },
        );
    }
    return modelLoading;
}

async function handle(message) {
    switch (message.type) {
        case 'convert':
            return convert(message);
        case 'loadModel':
            await ensureModel();
            return { type: 'modelLoaded', id: message.id };
        case 'open':
            return open(message);
        case 'decode':
            return decode(message);
        case 'encode':
            return encode(message);
        case 'encodeBlob':
            return encodeBlob(message);
        default:
            throw new Error(`unknown request ${message.type}`);
    }
}

function transferables(reply) {
    return reply.bytes ? [reply.bytes.buffer] : [];
}

self.onmessage = async ({ data }) => {
    // The first message of client.js: the compiled core, or null.
    if (data.type === 'core') {
        giveCore(data.module instanceof WebAssembly.Module ? data.module : null);
        return;
    }
    // Anything else first: no core is coming, the module fetches its own.
    giveCore(null);
    if (data.type === 'piece') {
        receivePiece(data);
        return;
    }
    if (data.type === 'cancel') {
        cancelled.add(data.id);
        return;
    }
    try {
        await loading;
        const reply = await handle(data);
        postMessage(reply, transferables(reply));
    } catch (error) {
        postMessage({ type: 'error', id: data.id, name: error.name, message: error.message });
    } finally {
        cancelled.delete(data.id);
    }
};

loading.then(([module, info]) => {
    lativo = module;
    modelInfo = info.default;
    postMessage({ type: 'ready', hasModel: Boolean(modelInfo) });
    setTimeout(warmUp, 1000);
}, (error) => {
    postMessage({ type: 'failed', message: String(error?.message ?? error) });
});

// The browser compiles WebAssembly fast and plain first, and optimises the
// functions it sees busy. A moment's work on both conversions right after
// start has them optimised before a long text comes, which then runs at
// about twice the speed.
// It waits a second, so that the first short texts are not kept waiting,
// and works in small steps, between which requests are served.
const warmGreek = 'Καλημέρα, θάλασσα και ψυχή· ξένος ώρα 8! '.repeat(1000);
const warmLatin = 'Kalhmera, 8alassa kai cyxh; 3enos wra 8! '.repeat(1000);
const warmSteps = [
    () => lativo.toLatin(warmGreek),
    () => lativo.toLatin(warmGreek, { scheme: 'elot743' }),
    () => lativo.toGreek(warmLatin),
];
let warmStep = 0;
function warmUp() {
    if (warmStep < warmSteps.length * 8) {
        warmSteps[warmStep++ % warmSteps.length]();
        setTimeout(warmUp, 0);
    }
}
