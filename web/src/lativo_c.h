// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The core as the web module calls it: plain C over the pipeline. Text is
// UTF-16 code units, as JavaScript strings hold it; every call works on a
// handle the caller made, so that nothing is shared between two of them.
//
// What a call returns (a converted piece, decoded text, encoded bytes) lies
// inside its handle and stays valid until the next call on that handle.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct LativoModel LativoModel;
typedef struct LativoPipeline LativoPipeline;

// Memory for the caller to fill: text pieces, file bytes, a model.
void* lativo_alloc(size_t bytes);
void lativo_free(void* memory);

// Why a model was refused.
enum {
    LATIVO_MODEL_OK = 0,
    LATIVO_MODEL_NOT_A_MODEL = 1,  // damaged, cut short or of another version
};

// The reader's model over `bytes`, which were made by lativo_alloc and
// now belong to it, whether or not it takes them (they are freed then).
// Null, with `problem` set, when the bytes are no model.
LativoModel* lativo_model_open(void* bytes, size_t length, int* problem);
void lativo_model_close(LativoModel* model);
size_t lativo_model_word_count(const LativoModel* model);

// Which way a pipeline converts: LATIVO_LAYOUT repairs text typed with the
// wrong keyboard layout on (and needs a model), LATIVO_AUTO_DIRECTION turns
// each line the way its words show (with a model, Greeklish gets accents).
enum {
    LATIVO_TO_LATIN = 0,
    LATIVO_TO_GREEK = 1,
    LATIVO_ACCENTS_ONLY = 2,
    LATIVO_LAYOUT = 3,
    LATIVO_AUTO_DIRECTION = 4,
};
// Encodings, in the core's order; LATIVO_AUTO judges them as Open does.
enum {
    LATIVO_AUTO = -1,
    LATIVO_UTF8 = 0,
    LATIVO_UTF16LE = 1,
    LATIVO_UTF16BE = 2,
    LATIVO_WINDOWS_1253 = 3,
    LATIVO_ISO_8859_7 = 4,
};

// The settings of a pipeline. Each choice is its index in the order the
// options show them: scheme lativo, elot743, iso843, alalc, bgn1962, slug;
// xi 3, j, ks; theta 8, u, th; psi c, ps; omega w, v.
typedef struct LativoSettings {
    int32_t direction;
    int32_t scheme;
    int32_t xi;
    int32_t theta;
    int32_t psi;
    int32_t omega;
    int32_t from;    // an encoding or LATIVO_AUTO
    int32_t to;      // LATIVO_UTF8 or LATIVO_WINDOWS_1253
    int32_t credit;  // non-zero: four CR LF and the credit line end the text
    int32_t chat;    // non-zero: with a model, the chat shorthand is written out
} LativoSettings;

// A pipeline, or null when a setting is out of range. With a model, Greek
// is read and spelled with accents (and LATIVO_ACCENTS_ONLY and LATIVO_LAYOUT
// need one: without it nothing could be judged);
// the model must outlive the pipeline.
LativoPipeline* lativo_pipeline_new(const LativoSettings* settings, const LativoModel* model);
void lativo_pipeline_delete(LativoPipeline* pipeline);

// Converts the next `length` code units; `last` ends the text. The result
// of this piece, `*out_length` code units long.
const uint16_t* lativo_convert(LativoPipeline* pipeline, const uint16_t* text, size_t length,
                               int last, size_t* out_length);

// Decodes the next piece of a file's bytes (`last` ends it).
const uint16_t* lativo_decode(LativoPipeline* pipeline, const uint8_t* bytes, size_t length,
                              int last, size_t* out_length);
// The encoding the pipeline's decoding reads in: once judged, at the
// latest after the last piece.
int lativo_decoded_encoding(const LativoPipeline* pipeline);
// The encoding Open reads `bytes` in (the start of a file, or all of it
// when `complete`), and the length of its byte-order mark.
int lativo_detect_encoding(const uint8_t* bytes, size_t length, int complete, size_t* mark_length);

// Encodes the next piece of text; null at the first character the
// encoding cannot write, which lativo_encoding_failure then names.
const uint8_t* lativo_encode(LativoPipeline* pipeline, const uint16_t* text, size_t length,
                             int last, size_t* out_length);
// Line and column (1-based) and the character that could not be written.
void lativo_encoding_failure(const LativoPipeline* pipeline, uint32_t* line, uint32_t* column,
                             uint32_t* character);

#ifdef __cplusplus
}
#endif
