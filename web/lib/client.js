// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of worker.js: conversions that keep the page responsive,
// with progress and a way to stop them.
//
//   const lativo = new LativoWorker();
//   const run = lativo.convert('latin', text, { scheme: 'elot743' },
//                              (done, total) => bar.value = done / total);
//   cancelButton.onclick = () => run.cancel();
//   result.value = await run.result;   // rejects with a CancelledError
//
// Long texts need not be held as strings at all: convertLarge reads a file
// (or takes a string) and gives the result as a Blob of its UTF-8 bytes
// with only its beginning as text.

/** The longest text converted: beyond it a tab would take too long. */
export const MAX_TEXT_LENGTH = 64 * 1024 * 1024;

// Past this many characters a text crosses to the worker and back as code
// units in buffers handed over whole, much faster than copying a string
// each way, and a piece at a time: the page turns the next piece into code
// units, or the last result back into text, while the worker converts.
const UNITS_FROM = 64 * 1024;
const PIECE_LENGTH = 256 * 1024;

export class CancelledError extends Error {
    constructor() {
        super('cancelled');
        this.name = 'CancelledError';
    }
}

export class TooLongError extends RangeError {
    constructor(length) {
        super(`the text has ${length} characters; at most ${MAX_TEXT_LENGTH} can be converted`);
        this.name = 'TooLongError';
        this.length = length;
    }
}

function textToUnits(text, start = 0, end = text.length) {
    const units = new Uint16Array(end - start);
    for (let i = start; i < end; ++i) {
        units[i - start] = text.charCodeAt(i);
    }
    return units;
}

const utf16 = new TextDecoder('utf-16le', { fatal: true });

// The code units as a string, a lone surrogate kept as it is.
function unitsToText(units) {
    try {
        return utf16.decode(units);
    } catch {
        const parts = [];
        for (let at = 0; at < units.length; at += 8192) {
            parts.push(String.fromCharCode.apply(null, units.subarray(at, at + 8192)));
        }
        return parts.join('');
    }
}

const compiled = new Map();  // address → promise of the compiled core

/**
 * The core (lativo-core.wasm, by default beside this file) compiled on the
 * page's thread, once: fetched while the worker starts (or preloaded by
 * the page), it is handed to the worker, which then need not fetch it.
 * Null when it cannot be had here.
 */
export function compileCore(url = new URL('./lativo-core.wasm', import.meta.url)) {
    const address = String(url);
    if (!compiled.has(address)) {
        compiled.set(address, typeof WebAssembly?.compileStreaming === 'function'
            ? WebAssembly.compileStreaming(fetch(address, { credentials: 'same-origin' })).catch(() => null)
            : Promise.resolve(null));
    }
    return compiled.get(address);
}

export class LativoWorker {
    #worker;
    #next = 1;
    #pending = new Map();  // id → { resolve, reject, onProgress, parts }
    #listeners = new Set();

    /**
     * `url`: where worker.js is, by default beside this file. `core`: a
     * promise of the core compiled already (compileCore's), handed to the
     * worker rather than compiling it here.
     */
    constructor(url = new URL('./worker.js', import.meta.url), { core = undefined } = {}) {
        this.#worker = new Worker(url, { type: 'module' });
        this.ready = new Promise((resolve, reject) => {
            this.#pending.set(0, { resolve, reject });
        });
        this.#worker.onmessage = ({ data }) => this.#receive(data);
        this.#worker.onerror = (event) => {
            event.preventDefault?.();
            this.#failAll(new Error(event.message || 'the worker failed'));
        };
        // Always the first message: the core, or null for the worker to fetch it.
        (core ?? compileCore(new URL('./lativo-core.wasm', new URL(url, globalThis.location?.href)))).then(
            (module) => this.#worker.postMessage({ type: 'core', module: module ?? null }),
            () => this.#worker.postMessage({ type: 'core', module: null }));
    }

    #failAll(error) {
        for (const waiting of this.#pending.values()) {
            waiting.reject(error);
        }
        this.#pending.clear();
    }

    /** Called with the worker's news of the model: modelProgress, modelReady, modelFailed. */
    onModel(listener) {
        this.#listeners.add(listener);
        return () => this.#listeners.delete(listener);
    }

    #receive(data) {
        if (data.type === 'ready') {
            this.hasModel = data.hasModel;
            this.#settle(0, (waiting) => waiting.resolve(data));
            return;
        }
        if (data.type === 'failed') {
            this.#failAll(new Error(data.message));
            return;
        }
        if (data.type.startsWith('model') && data.type !== 'modelLoaded') {
            for (const listener of this.#listeners) {
                listener(data);
            }
            return;
        }
        const waiting = this.#pending.get(data.id);
        if (!waiting) {
            return;
        }
        if (data.type === 'progress') {
            waiting.onProgress?.(data.done, data.total);
            return;
        }
        if (data.type === 'resultPiece') {
            waiting.parts.push(unitsToText(new Uint16Array(data.units)));
            data.units.transfer?.(0);  // its memory back at once
            return;
        }
        this.#pending.delete(data.id);
        switch (data.type) {
            case 'cancelled':
                waiting.reject(new CancelledError());
                break;
            case 'error': {
                const error = new Error(data.message);
                error.name = data.name;
                waiting.reject(error);
                break;
            }
            default:
                waiting.resolve(data.streamed ? { ...data, text: waiting.parts.join('') } : data);
        }
    }

    #settle(id, how) {
        const waiting = this.#pending.get(id);
        this.#pending.delete(id);
        if (waiting) {
            how(waiting);
        }
    }

    // `text`, when given, follows the request a piece at a time.
    #request(message, onProgress, transfer = [], text = undefined) {
        const id = this.#next++;
        const promise = new Promise((resolve, reject) => {
            this.#pending.set(id, { resolve, reject, onProgress, parts: [] });
        });
        // Sent once the worker listens: what comes before its module has
        // loaded waits for it.
        this.ready.then(() => {
            this.#worker.postMessage({ ...message, id }, transfer);
            if (text !== undefined) {
                this.#sendPieces(id, text);
            }
        }, () => {});
        return { id, promise };
    }

    #sendPieces(id, text) {
        for (let at = 0; ; at += PIECE_LENGTH) {
            const end = Math.min(text.length, at + PIECE_LENGTH);
            const units = textToUnits(text, at, end).buffer;
            this.#worker.postMessage({ type: 'piece', id, units, last: end >= text.length }, [units]);
            if (end >= text.length) {
                return;
            }
        }
    }

    #run(message, onProgress, transfer, shape, text = undefined) {
        const { id, promise } = this.#request(message, onProgress, transfer, text);
        return {
            result: promise.then(shape),
            cancel: () => this.ready.then(() => this.#worker.postMessage({ type: 'cancel', id })),
        };
    }

    /**
     * Converts `text` ('latin', 'greek', 'accents', 'layout' or 'auto');
     * `result` is the converted text, `cancel()` stops it between two
     * pieces. accents, layout and auto fetch the model first (once); when
     * it cannot be had, `result` rejects with its error.
     */
    convert(direction, text, options = {}, onProgress = undefined) {
        if (text.length > MAX_TEXT_LENGTH) {
            return { result: Promise.reject(new TooLongError(text.length)), cancel() {} };
        }
        if (text.length < UNITS_FROM) {
            return this.#run({ type: 'convert', direction, source: { text }, options }, onProgress, [], (data) => data.text);
        }
        return this.#run({ type: 'convert', direction, source: { streamed: true, total: text.length }, options, into: 'stream' },
            onProgress, [], (data) => data.text, text);
    }

    /**
     * Converts a long text without holding it, or its result, as one more
     * string: `source` is a string, or a File or Blob read as the program
     * reads text files (its encoding judged, or `from`). `result` gives
     * { text, length, blob, encoding }: the result's first `shown`
     * characters (all of it when it is no longer), its length in UTF-16
     * code units, and its whole bytes in UTF-8 as a Blob.
     */
    convertLarge(direction, source, options = {}, onProgress = undefined, { shown = 100_000, from = 'auto' } = {}) {
        if (typeof source === 'string') {
            if (source.length > MAX_TEXT_LENGTH) {
                return { result: Promise.reject(new TooLongError(source.length)), cancel() {} };
            }
            return this.#run({ type: 'convert', direction, source: { streamed: true, total: source.length }, options, into: 'blob', shown },
                onProgress, [], ({ text, length, blob }) => ({ text, length, blob }), source);
        }
        return this.#run({ type: 'convert', direction, source: { file: source, from }, options, into: 'blob', shown },
            onProgress, [], ({ text, length, blob, encoding }) => ({ text, length, blob, encoding }));
    }

    /**
     * Reads a text file (a File or Blob) as the program reads it:
     * { encoding, length, whole, text } with its text whole when it has at
     * most `shown` characters, else its beginning; { notText: true } for
     * bytes that are no text; { tooLong: true, length } past MAX_TEXT_LENGTH.
     */
    open(file, { shown = 100_000 } = {}, onProgress = undefined) {
        return this.#request({ type: 'open', file, shown, longest: MAX_TEXT_LENGTH }, onProgress).promise;
    }

    /** Fetches the reader's model (once), for accents, layout and auto. */
    loadModel() {
        return this.#request({ type: 'loadModel' }).promise;
    }

    /** A file's bytes as text, read as the program reads files: { text, encoding }. */
    decode(bytes) {
        const buffer = bytes instanceof ArrayBuffer ? bytes : bytes.slice().buffer;
        return this.#request({ type: 'decode', bytes: buffer }, undefined, [buffer]).promise;
    }

    /**
     * The bytes of `text` in 'utf-8' or 'windows-1253': { type: 'encoded',
     * bytes }, or { type: 'notEncodable', line, column, character }.
     */
    encode(text, encoding) {
        return this.#request({ type: 'encode', text, encoding }).promise;
    }

    /**
     * A Blob of UTF-8 text (convertLarge's) in 'utf-8' or 'windows-1253',
     * `suffix` after it: { type: 'encodedBlob', blob } or { type:
     * 'notEncodable', line, column, character }.
     */
    encodeBlob(blob, encoding, suffix = '') {
        return this.#request({ type: 'encodeBlob', blob, encoding, suffix }).promise;
    }

    /** A Blob of UTF-8 text with its CR LF line breaks made LF, as Linux programs expect. */
    async withLineFeeds(blob) {
        return (await this.#request({ type: 'encodeBlob', blob, lineFeeds: true }).promise).blob;
    }

    terminate() {
        this.#worker.terminate();
    }
}
