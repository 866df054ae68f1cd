// SPDX-License-Identifier: GPL-3.0-or-later
// Lativo Bivano: Greek letters to Latin ones and back, published schemes,
// slugs, Greek given its accents, text typed with the wrong keyboard
// layout repaired, in WebAssembly.

export type Scheme = 'lativo' | 'elot743' | 'iso843' | 'alalc' | 'bgn1962' | 'slug';
export type Direction = 'latin' | 'greek' | 'accents' | 'layout' | 'auto';
/** Encodings a text file is read in. */
export type Encoding = 'utf-8' | 'utf-16le' | 'utf-16be' | 'windows-1253' | 'iso-8859-7';
/** Encodings a text is written in. */
export type OutputEncoding = 'utf-8' | 'windows-1253';

export interface LatinOptions {
    /** How Greek is written; the four choices below steer 'lativo' only. Default 'lativo'. */
    scheme?: Scheme;
    xi?: '3' | 'j' | 'ks';
    theta?: '8' | 'u' | 'th';
    psi?: 'c' | 'ps';
    omega?: 'w' | 'v';
    /** End the text with four CR LF and the program's credit line. */
    credit?: boolean;
}

export interface GreekOptions {
    /** Read and spell with accents; needs loadModel first. */
    accents?: boolean;
    /** With accents, write out the chat shorthand (k και, gt γιατί, tpt τίποτα). */
    chat?: boolean;
    credit?: boolean;
}

export interface AccentsOptions {
    chat?: boolean;
    credit?: boolean;
}

export interface LayoutOptions {
    credit?: boolean;
}

export interface AutoOptions extends LatinOptions {
    /** Write out the chat shorthand in Greeklish lines (k και, gt γιατί). */
    chat?: boolean;
}

/** Characters converted at a time (262144). */
export const PIECE_LENGTH: number;
export const SCHEMES: readonly Scheme[];
export const ENCODINGS: readonly Encoding[];
/** The message of a model that cannot be used. */
export const MODEL_REFUSED: string;

export class ModelError extends Error {}
export class EncodingError extends Error {
    /** 1-based line and column (in characters) of the character. */
    readonly line: number;
    readonly column: number;
    /** Its code point. */
    readonly character: number;
}

/** One conversion over a text given in pieces of any size; the pieces' results add up to the whole's. */
export class Converter {
    constructor(direction: 'latin', options?: LatinOptions);
    constructor(direction: 'greek', options?: GreekOptions);
    constructor(direction: 'accents', options?: AccentsOptions);
    /** layout and auto need loadModel first. */
    constructor(direction: 'layout', options?: LayoutOptions);
    constructor(direction: 'auto', options?: AutoOptions);
    /** The conversion of as much of `piece` as can be given yet. */
    convert(piece: string): string;
    /** As convert, for text held as UTF-16 code units: no string is made. */
    convertUnits(units: Uint16Array): Uint16Array;
    /** The rest, and the credit line when asked for; frees the converter. */
    finish(): string;
    /** As finish, in code units. */
    finishUnits(): Uint16Array;
    /** Frees the converter without finishing. */
    close(): void;
}

export function toLatin(text: string, options?: LatinOptions): string;
export function toGreek(text: string, options?: GreekOptions): string;
/** Greek without accents given its accents and spelling; needs loadModel first. */
export function accents(text: string, options?: AccentsOptions): string;
export function slug(text: string): string;
/**
 * Text typed with the wrong keyboard layout (Greek ↔ US) given back:
 * 'Kalhm;era' → 'Καλημέρα', 'ηελλο ςορλδ' → 'hello world'. Needs loadModel
 * first: without it a ModelError is thrown.
 */
export function layout(text: string, options?: LayoutOptions): string;
/**
 * Each line the way its words show: Greek letters to Latin ones, Greeklish
 * to Greek with accents; English stays. Needs loadModel first (ModelError).
 */
export function auto(text: string, options?: AutoOptions): string;

/**
 * Loads the reader's model: its bytes (gzip'ed or not), a stream of its
 * bytes (not gzip'ed), or under Node a path. A damaged model is refused
 * with a ModelError and the one loaded before stays.
 */
export function loadModel(
    source: Uint8Array | ArrayBuffer | ReadableStream<Uint8Array> | string,
    /** `releaseChunks`: the stream's pieces are of no more use once read; their memory is given back at once. */
    options?: { size?: number; releaseChunks?: boolean },
): Promise<{ words: number }>;
export function hasModel(): boolean;
export function unloadModel(): void;

/** The encoding a file's bytes are read in, judged as the program judges it. */
export function detectEncoding(bytes: Uint8Array): Encoding;
/** A text file's bytes as text. */
export function decodeText(bytes: Uint8Array | ArrayBuffer, from?: Encoding | 'auto'): { text: string; encoding: Encoding };
/** A text's bytes; throws EncodingError when Windows-1253 lacks a character. */
export function encodeText(text: string, to?: OutputEncoding): Uint8Array;

export class TextFileDecoder {
    constructor(from?: Encoding | 'auto');
    /** The encoding read in: once judged, at the latest after the last piece. */
    readonly encoding: Encoding;
    decode(bytes: Uint8Array, last?: boolean): string;
    /** As decode, the text as UTF-16 code units. */
    decodeUnits(bytes: Uint8Array, last?: boolean): Uint16Array;
    /** As decodeUnits without a copy: a view valid until the next call; the decoder stays open until close(). */
    decodeView(bytes: Uint8Array, last?: boolean): Uint16Array;
    close(): void;
}

/** Writes a text given in pieces, as the program writes files. */
export class TextFileEncoder {
    constructor(to?: OutputEncoding);
    /** The bytes of `piece`; throws EncodingError at a character the encoding lacks. */
    encode(piece: string, last?: boolean): Uint8Array;
    encodeUnits(units: Uint16Array, last?: boolean): Uint8Array;
    close(): void;
}

/**
 * A file converted as bivano converts it, a piece at a time, the text never
 * leaving the core: the file's bytes in, the converted text's bytes out.
 */
export class FileConverter {
    constructor(direction: Direction, options?: object, settings?: { from?: Encoding | 'auto'; to?: OutputEncoding });
    /**
     * The converted bytes of `bytes` (`last` ends the file): a view into the
     * core's memory, valid until the next call. Throws EncodingError when
     * the output encoding lacks a character.
     */
    convert(bytes: Uint8Array, last?: boolean): Uint8Array;
    /** The last piece's converted text as code units: a view valid until the next call. */
    readonly text: Uint16Array;
    /** The encoding read in: once judged, at the latest after the last piece. */
    readonly encoding: Encoding | undefined;
    close(): void;
}

/** Code units as a string, a lone surrogate kept as it is. */
export function unitsToText(units: Uint16Array): string;
/** A string's UTF-16 code units, from `start` to `end`. */
export function textToUnits(text: string, start?: number, end?: number): Uint16Array;

/**
 * Where a page leaves the core it compiled (a promise of a
 * WebAssembly.Module, or of null) for this module to use rather than
 * fetching it: globalThis[COMPILED_CORE], set before this module loads.
 */
export const COMPILED_CORE: unique symbol;
