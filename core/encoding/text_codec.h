// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/encoding/encoding.h"
#include "core/encoding/text_position.h"
#include "core/result.h"

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
// bytes may straddle two pieces. Whatever the pieces, the text is the same.
class TextDecoder {
  public:
    // Judges the encoding as DetectEncoding does, from exactly kAutoSample
    // bytes (or all there are) from the first one above ASCII, gathered
    // across the pieces (ASCII reads the same in all of them, so it passes
    // at once). A later stretch that is no UTF-8 in a text judged UTF-8
    // reads as Windows-1253, byte by byte.
    TextDecoder();
    // Decodes as `encoding`, skipping its byte-order mark if the text
    // starts with one. UTF-16 follows its mark, either one; without a mark
    // it is taken as little-endian. Malformed UTF-8 becomes one U+FFFD for
    // each malformed stretch, and so does a byte that ISO-8859-7 leaves
    // undefined; bad_bytes() tells where the first one was.
    explicit TextDecoder(Encoding encoding);

    // Appends to `out` the text of `bytes`, holding back at most a cut-off
    // sequence (or, while judging, the sample).
    void Decode(std::string_view bytes, std::u16string& out);
    // Appends what was held back, as the text's end.
    void Finish(std::u16string& out);

    // Where the first bytes that could not be read stood in the text (line
    // and column of the U+FFFD they became), and the first of them.
    struct BadBytes {
        TextPlace place;
        std::uint8_t byte;
    };
    std::optional<BadBytes> bad_bytes() const { return bad_bytes_; }
    // The encoding the text is read in: once judged, or after Finish.
    Encoding encoding() const { return encoding_; }

    static constexpr std::size_t kAutoSample = std::size_t{256} << 10;

  private:
    void DecodeHeld(std::string_view bytes, std::u16string& out);
    void FinishHeld(std::u16string& out);
    void DecodeAs(std::string_view bytes, std::u16string& out);
    void UseMark(std::string_view held);
    void NoteBad(const std::u16string& out, const char16_t* unit, std::uint8_t byte);
    void Track(const std::u16string& out, std::size_t start);

    bool judging_;
    bool judged_;  // the encoding is judged, not named
    bool at_start_ = true;
    Encoding encoding_;
    std::string held_;
    // Lines and columns of the text so far, until bytes that could not be
    // read are met; the first of them, as an index into the current
    // output, until placed.
    TextPosition position_;
    std::size_t first_bad_ = std::string::npos;
    std::uint8_t bad_byte_ = 0;
    std::optional<BadBytes> bad_bytes_;
};

// Encodes text that arrives in pieces; a surrogate pair may straddle two.
class TextEncoder {
  public:
    // UTF-8 or Windows-1253; every other encoding counts as UTF-8.
    explicit TextEncoder(Encoding encoding);

    // Appends the bytes of `text` to `out`. Fails, having written what came
    // before it, at the first character that the encoding cannot write
    // (only Windows-1253 has such): Cause::NotEncodable, with the character
    // and its place in the text encoded so far (CR LF, LF and CR each end a
    // line).
    //   Windows-1253, "ab\nЖ" -> "ab\n", then {NotEncodable, line 2, column 1, U'Ж'}
    Status Encode(std::u16string_view text, std::string& out);
    // Appends what was held back. A lone surrogate, which UTF-8 cannot
    // carry, becomes U+FFFD.
    void Finish(std::string& out);

  private:
    Status EncodeCp1253(std::u16string_view text, std::string& out);
    void EncodeUtf8(std::u16string_view text, char*& cursor);

    Encoding encoding_;
    char16_t held_high_ = 0;  // a high surrogate waiting for its pair
    TextPosition position_;
};

// A whole text from and to UTF-8 at once: "\xCE\xB8" <-> u"θ".
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);

}  // namespace bivano
