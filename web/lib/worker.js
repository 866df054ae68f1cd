// SPDX-License-Identifier: GPL-3.0-or-later
// The conversions off the page's thread: a text goes through the core a
// piece at a time, reporting progress after each and stopping when told
// to. The reader's model is fetched here, on first need, through the
// browser's cache. Started by client.js as a module worker.
import * as lativo from './lativo.js';
import modelInfo from './model-info.js';

const cancelled = new Set();
let modelLoading = null;  // the promise of the model, once asked for

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

async function convert({ id, direction, text, options }) {
    // layout and auto judge the words by the model: they wait for it too.
    if (direction === 'accents' || direction === 'layout' || direction === 'auto' ||
        (direction === 'greek' && options.accents)) {
        await ensureModel();
    }
    const converter = new lativo.Converter(direction, options);
    const parts = [];
    try {
        for (let at = 0; at < text.length; at += lativo.PIECE_LENGTH) {
            if (at > 0) {
                await breathe();
                if (cancelled.has(id)) {
                    return { type: 'cancelled', id };
                }
            }
            parts.push(converter.convert(text.slice(at, at + lativo.PIECE_LENGTH)));
            postMessage({ type: 'progress', id, done: Math.min(text.length, at + lativo.PIECE_LENGTH), total: text.length });
        }
        parts.push(converter.finish());
    } finally {
        converter.close();
    }
    return { type: 'result', id, text: parts.join('') };
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
        const loaded = await lativo.loadModel(stream, { size: modelInfo.bytes });
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
        case 'cancel':
            cancelled.add(message.id);
            return null;
        case 'loadModel':
            await ensureModel();
            return { type: 'modelLoaded', id: message.id };
        case 'decode':
            return decode(message);
        case 'encode':
            return encode(message);
        default:
            throw new Error(`unknown request ${message.type}`);
    }
}

self.onmessage = async ({ data }) => {
    try {
        const reply = await handle(data);
        if (reply) {
            postMessage(reply, reply.bytes ? [reply.bytes.buffer] : []);
        }
    } catch (error) {
        postMessage({ type: 'error', id: data.id, name: error.name, message: error.message });
    } finally {
        if (data.type !== 'cancel') {
            cancelled.delete(data.id);
        }
    }
};

postMessage({ type: 'ready', hasModel: Boolean(modelInfo) });

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
setTimeout(warmUp, 1000);
