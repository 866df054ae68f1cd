// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/encoding/encoding.h"

namespace bivano {

struct DetectedEncoding {
    Encoding encoding;
    std::size_t mark_length;  // the byte-order mark's, 0 when there is none
};

// How Open judges a file's encoding, first rule first:
//   a byte-order mark: UTF-8, UTF-16 LE or UTF-16 BE;
//   valid UTF-8 that holds at least one multi-byte sequence: UTF-8;
//   0xB6 used as a letter (next to a Greek letter's byte) and 0xA2 never
//   used so: ISO-8859-7;
//   anything else: Windows-1253.
// `complete` says that `bytes` is the whole file; when it is only the
// start, a multi-byte sequence cut off at its end still counts as valid.
DetectedEncoding DetectEncoding(std::string_view bytes, bool complete = true);

// Decodes bytes that arrive in pieces of any size; a sequence of several
// bytes may straddle two pieces.
class TextDecoder {
  public:
    // Judges the encoding as DetectEncoding does, from the bytes up to
    // kAutoSample past the first one above ASCII (ASCII reads the same in
    // all of them, so it passes at once).
    TextDecoder();
    // Decodes as `encoding`, skipping its byte-order mark if the text
    // starts with one; UTF-16 without a mark is taken as little-endian.
    explicit TextDecoder(Encoding encoding);

    // Appends to `out` the text of `bytes`, holding back at most a cut-off
    // sequence (or, while judging, the sample).
    void Decode(std::string_view bytes, std::u16string& out);
    // Appends what was held back, as the text's end.
    void Finish(std::u16string& out);

    // The encoding the text is read in: once judged, or after Finish.
    Encoding encoding() const { return encoding_; }

    static constexpr std::size_t kAutoSample = std::size_t{256} << 10;

  private:
    void DecodeAs(std::string_view bytes, std::u16string& out);

    bool judging_;
    bool at_start_ = true;
    Encoding encoding_;
    std::string held_;
};

// Encodes text that arrives in pieces; a surrogate pair may straddle two.
class TextEncoder {
  public:
    // UTF-8 or Windows-1253; every other encoding counts as UTF-8.
    explicit TextEncoder(Encoding encoding);

    // Appends the bytes of `text` to `out`. Returns false, having written
    // what came before it, at the first character that the encoding cannot
    // write (only Windows-1253 has such); failure() then tells where.
    bool Encode(std::u16string_view text, std::string& out);
    // Appends what was held back. A lone surrogate, which UTF-8 cannot
    // carry, becomes U+FFFD.
    bool Finish(std::string& out);

    struct Failure {
        std::size_t line;    // 1-based
        std::size_t column;  // 1-based, in characters
        char32_t character;
    };
    Failure failure() const { return failure_; }

  private:
    bool EncodeCp1253(std::u16string_view text, std::string& out);
    void EncodeUtf8(std::u16string_view text, char*& cursor);

    Encoding encoding_;
    char16_t held_high_ = 0;  // a high surrogate waiting for its pair
    std::size_t line_ = 1;
    std::size_t column_ = 0;
    Failure failure_{};
};

// A whole text from and to UTF-8 at once: "\xCE\xB8" <-> u"θ".
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);

}  // namespace bivano
