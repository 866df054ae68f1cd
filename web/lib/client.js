// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of worker.js: conversions that keep the page responsive,
// with progress and a way to stop them.
//
//   const lativo = new LativoWorker();
//   const run = lativo.convert('latin', text, { scheme: 'elot743' },
//                              (done, total) => bar.value = done / total);
//   cancelButton.onclick = () => run.cancel();
//   result.value = await run.result;   // rejects with a CancelledError

/** The longest text converted: beyond it a tab would take too long. */
export const MAX_TEXT_LENGTH = 64 * 1024 * 1024;

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
    }
}

export class LativoWorker {
    #worker;
    #next = 1;
    #pending = new Map();  // id → { resolve, reject, onProgress }
    #listeners = new Set();

    /** `url`: where worker.js is, by default beside this file. */
    constructor(url = new URL('./worker.js', import.meta.url)) {
        this.#worker = new Worker(url, { type: 'module' });
        this.ready = new Promise((resolve, reject) => {
            this.#pending.set(0, { resolve, reject });
        });
        this.#worker.onmessage = ({ data }) => this.#receive(data);
        this.#worker.onerror = (event) => {
            event.preventDefault?.();
            const error = new Error(event.message || 'the worker failed');
            for (const waiting of this.#pending.values()) {
                waiting.reject(error);
            }
            this.#pending.clear();
        };
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
                waiting.resolve(data);
        }
    }

    #settle(id, how) {
        const waiting = this.#pending.get(id);
        this.#pending.delete(id);
        if (waiting) {
            how(waiting);
        }
    }

    #request(message, onProgress, transfer = []) {
        const id = this.#next++;
        const promise = new Promise((resolve, reject) => {
            this.#pending.set(id, { resolve, reject, onProgress });
        });
        // Sent once the worker listens: what comes before its module has
        // loaded could be lost.
        this.ready.then(() => this.#worker.postMessage({ ...message, id }, transfer), () => {});
        return { id, promise };
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
        const { id, promise } = this.#request({ type: 'convert', direction, text, options }, onProgress);
        return {
            result: promise.then((data) => data.text),
            cancel: () => this.ready.then(() => this.#worker.postMessage({ type: 'cancel', id })),
        };
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

    terminate() {
        this.#worker.terminate();
    }
}
