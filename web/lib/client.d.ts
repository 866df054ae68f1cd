// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the conversion worker (worker.js).
import type { AccentsOptions, AutoOptions, Direction, LayoutOptions, Encoding, GreekOptions, LatinOptions, OutputEncoding } from './lativo.js';

/** The longest text converted (64 Mi characters). */
export const MAX_TEXT_LENGTH: number;
export class CancelledError extends Error {}
export class TooLongError extends RangeError {}

export interface Run {
    /** The converted text; rejects with CancelledError or TooLongError. */
    result: Promise<string>;
    /** Stops the conversion between two pieces. */
    cancel(): void;
}

export type ModelNews =
    | { type: 'modelProgress'; received: number; total: number }
    | { type: 'modelReady'; words: number }
    | { type: 'modelFailed'; reason: 'missing' | 'damaged' | 'network' };

export class LativoWorker {
    /** `url`: where worker.js is, by default beside client.js. */
    constructor(url?: URL | string);
    /** Settles once the worker has started. */
    readonly ready: Promise<{ type: 'ready'; hasModel: boolean }>;
    /** Whether this build has a model for accents (known once ready). */
    hasModel?: boolean;
    onModel(listener: (news: ModelNews) => void): () => void;
    convert(direction: 'latin', text: string, options?: LatinOptions, onProgress?: (done: number, total: number) => void): Run;
    convert(direction: 'greek', text: string, options?: GreekOptions, onProgress?: (done: number, total: number) => void): Run;
    convert(direction: 'accents', text: string, options?: AccentsOptions, onProgress?: (done: number, total: number) => void): Run;
    /** layout and auto fetch the model first, as accents do. */
    convert(direction: 'layout', text: string, options?: LayoutOptions, onProgress?: (done: number, total: number) => void): Run;
    convert(direction: 'auto', text: string, options?: AutoOptions, onProgress?: (done: number, total: number) => void): Run;
    convert(direction: Direction, text: string, options?: object, onProgress?: (done: number, total: number) => void): Run;
    /** Fetches the model once, through the browser's cache. */
    loadModel(): Promise<unknown>;
    decode(bytes: ArrayBuffer | Uint8Array): Promise<{ type: 'decoded'; text: string; encoding: Encoding }>;
    encode(text: string, encoding: OutputEncoding): Promise<
        | { type: 'encoded'; bytes: Uint8Array }
        | { type: 'notEncodable'; line: number; column: number; character: number }
    >;
    terminate(): void;
}
