// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the conversion worker (worker.js).
import type { AccentsOptions, AutoOptions, Direction, LayoutOptions, Encoding, GreekOptions, LatinOptions, OutputEncoding } from './lativo.js';

/** The longest text converted (64 Mi characters). */
export const MAX_TEXT_LENGTH: number;
export class CancelledError extends Error {}
export class TooLongError extends RangeError {
    /** The text's length in UTF-16 code units. */
    readonly length: number;
}

/**
 * The core (lativo-core.wasm, by default beside client.js) compiled on the
 * page's thread, once; null when it cannot be had here. The worker is
 * handed it rather than fetching it again.
 */
export function compileCore(url?: URL | string): Promise<WebAssembly.Module | null>;

/** A long result: its beginning as text, its length, and all of it as UTF-8 bytes. */
export interface LargeResult {
    /** The first `shown` characters (all of it when it is no longer). */
    text: string;
    /** Its length in UTF-16 code units. */
    length: number;
    /** The whole result in UTF-8, as Save writes it. */
    blob: Blob;
    /** A file's encoding, as it was read. */
    encoding?: Encoding;
}

export interface LargeRun {
    result: Promise<LargeResult>;
    cancel(): void;
}

export type Opened =
    | { type: 'opened'; encoding: Encoding; length: number; whole: boolean; text: string }
    | { type: 'opened'; notText: true }
    | { type: 'opened'; tooLong: true; length: number };

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
    /**
     * `url`: where worker.js is, by default beside client.js. `core`: the
     * core compiled already (compileCore's), handed to the worker.
     */
    constructor(url?: URL | string, settings?: { core?: Promise<WebAssembly.Module | null> });
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
    /**
     * Converts a long text without holding it, or its result, as one more
     * string: a string, or a File or Blob read as the program reads text
     * files (its encoding judged, or `from`).
     */
    convertLarge(
        direction: Direction,
        source: string | Blob,
        options?: object,
        onProgress?: (done: number, total: number) => void,
        settings?: { shown?: number; from?: Encoding | 'auto' },
    ): LargeRun;
    /** Reads a text file as the program reads it: whole up to `shown` characters, else its beginning. */
    open(file: Blob, settings?: { shown?: number }, onProgress?: (done: number, total: number) => void): Promise<Opened>;
    /** Fetches the model once, through the browser's cache. */
    loadModel(): Promise<unknown>;
    decode(bytes: ArrayBuffer | Uint8Array): Promise<{ type: 'decoded'; text: string; encoding: Encoding }>;
    encode(text: string, encoding: OutputEncoding): Promise<
        | { type: 'encoded'; bytes: Uint8Array }
        | { type: 'notEncodable'; line: number; column: number; character: number }
    >;
    /** A Blob of UTF-8 text (a LargeResult's) in `encoding`, `suffix` after it. */
    encodeBlob(blob: Blob, encoding: OutputEncoding, suffix?: string): Promise<
        | { type: 'encodedBlob'; blob: Blob }
        | { type: 'notEncodable'; line: number; column: number; character: number }
    >;
    /** A Blob of UTF-8 text with its CR LF line breaks made LF. */
    withLineFeeds(blob: Blob): Promise<Blob>;
    terminate(): void;
}
