// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_codec.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/encoding/cp1253.h"
#include "core/encoding/greek_letters.h"

namespace bivano {
namespace {

constexpr std::string_view kUtf8Mark = ByteOrderMark(Encoding::Utf8);
constexpr std::string_view kUtf16LEMark = ByteOrderMark(Encoding::Utf16LE);
constexpr std::string_view kUtf16BEMark = ByteOrderMark(Encoding::Utf16BE);

// ISO-8859-7, bytes 0xA0 to 0xFF (below them it is ASCII and C1 controls).
constexpr std::array<char16_t, 96> kIso8859_7High = {
    0x00A0, 0x2018, 0x2019, 0x00A3, 0x20AC, 0x20AF, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x037A, 0x00AB,
    0x00AC, 0x00AD, 0xFFFD, 0x2015, 0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x0385, 0x0386, 0x00B7,
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F, 0x0390, 0x0391, 0x0392, 0x0393,
    0x0394, 0x0395, 0x0396, 0x0397, 0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,
    0x03A0, 0x03A1, 0xFFFD, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7, 0x03A8, 0x03A9, 0x03AA, 0x03AB,
    0x03AC, 0x03AD, 0x03AE, 0x03AF, 0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,
    0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF, 0x03C0, 0x03C1, 0x03C2, 0x03C3,
    0x03C4, 0x03C5, 0x03C6, 0x03C7, 0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, 0xFFFD};

char16_t Iso8859_7Decode(std::uint8_t byte) {
    return byte < 0xA0 ? char16_t{byte} : kIso8859_7High[byte - 0xA0];
}

// One UTF-8 sequence: its length, or 0 when it is malformed, or -1 when it
// is a well-formed start cut off by the end of the bytes. A malformed one
// tells how many of its bytes began it well (its maximal subpart, which
// becomes one U+FFFD).
struct Sequence {
    int length;
    char32_t code;
    int well_begun = 1;
};

inline Sequence ReadSequence(const std::uint8_t* at, const std::uint8_t* end) {
    const std::uint8_t lead = *at;
    int extra = 0;
    char32_t code = lead;
    char32_t minimum = 0;
    if (lead < 0x80) {
        return {1, lead};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
        return {0, 0};
    }
    for (int k = 1; k <= extra; ++k) {
        if (at + k == end) {
            // Cut off; whether it would have been well-formed is judged
            // once the rest arrives.
            return {-1, 0};
        }
        const std::uint8_t follow = at[k];
        if ((follow & 0xC0) != 0x80) {
            return {0, 0, k};
        }
        code = (code << 6) | (follow & 0x3F);
        // Overlong forms, surrogates and codes past U+10FFFF show in the
        // first two bytes already.
        if (k == 1 && extra >= 2) {
            const char32_t top = code << (6 * (extra - 1));
            if (top < minimum || top > 0x10FFFF || (top >= 0xD800 && top <= 0xDFFF)) {
                return {0, 0};
            }
        }
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {0, 0};
    }
    return {extra + 1, code};
}

// Text is decoded and encoded through a buffer of this many units, so that
// no output has to be made ready (zero-filled) beyond what is written.
constexpr std::size_t kStep = 8192;

bool HasHighByte(const std::uint8_t* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return (word & 0x8080808080808080ULL) != 0;
}

// What a malformed stretch of UTF-8 becomes: the Windows-1253 character of
// each byte (a text judged to be UTF-8, where only `auto` may fall back),
// or one U+FFFD (UTF-8 asked for by name).
enum class Malformed { AsCp1253, AsReplacement };

// Where the first malformed stretch went in the output, and its first byte.
struct FirstBad {
    char16_t* unit = nullptr;
    std::uint8_t byte = 0;
};

// Decodes UTF-8 into `out`, which has room for one unit per byte. Returns
// how many bytes it used: all of them, but for a cut-off sequence at the
// end when `final` is false.
std::size_t DecodeUtf8(std::string_view bytes, bool final, Malformed malformed, char16_t*& cursor,
                       FirstBad& first_bad) {
    char16_t* out = cursor;  // kept in a register: the bytes may alias anything
    const auto* const begin = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto* const end = begin + bytes.size();
    const auto* at = begin;
    while (at < end) {
        const std::uint8_t lead = *at;
        if (lead < 0x80) {
            if (end - at >= 8 && !HasHighByte(at)) {
                for (int k = 0; k < 8; ++k) {
                    out[k] = at[k];
                }
                out += 8;
                at += 8;
            } else {
                *out++ = lead;
                ++at;
            }
            continue;
        }
        // Greek letters are two bytes each: the common case first.
        if (lead >= 0xC2 && lead <= 0xDF && end - at >= 2 && (at[1] & 0xC0) == 0x80) {
            *out++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (at[1] & 0x3F));
            at += 2;
            continue;
        }
        const Sequence sequence = ReadSequence(at, end);
        if (sequence.length > 0) {
            if (sequence.code >= 0x10000) {
                const char32_t offset = sequence.code - 0x10000;
                *out++ = static_cast<char16_t>(0xD800 + (offset >> 10));
                *out++ = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
            } else {
                *out++ = static_cast<char16_t>(sequence.code);
            }
            at += sequence.length;
            continue;
        }
        if (sequence.length < 0 && !final) {
            break;
        }
        if (first_bad.unit == nullptr) {
            first_bad = {out, lead};
        }
        if (malformed == Malformed::AsCp1253) {
            *out++ = Cp1253Decode(lead);
            ++at;
        } else {
            *out++ = u'\uFFFD';
            // A sequence cut off by the end is well begun up to there.
            at += sequence.length < 0 ? end - at : sequence.well_begun;
        }
    }
    cursor = out;
    return static_cast<std::size_t>(at - begin);
}

bool IsGreekLetterByte(std::uint8_t byte) {
    // The same in Windows-1253 and ISO-8859-7 from Έ (0xB8) on; Ά is not.
    return byte >= 0xB8 && internal::IsGreekLetter(Cp1253Decode(byte));
}

bool UsedAsLetter(std::string_view bytes, std::uint8_t byte) {
    for (std::size_t index = bytes.find(static_cast<char>(byte)); index != std::string_view::npos;
         index = bytes.find(static_cast<char>(byte), index + 1)) {
        const bool before =
            index > 0 && IsGreekLetterByte(static_cast<std::uint8_t>(bytes[index - 1]));
        const bool after = index + 1 < bytes.size() &&
                           IsGreekLetterByte(static_cast<std::uint8_t>(bytes[index + 1]));
        if (before || after) {
            return true;
        }
    }
    return false;
}

void AppendUtf8(char32_t code, char*& out) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (code >> 18));
        *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

DetectedEncoding DetectEncoding(std::string_view bytes, bool complete) {
    if (bytes.starts_with(kUtf8Mark)) {
        return {Encoding::Utf8, kUtf8Mark.size()};
    }
    if (bytes.starts_with(kUtf16LEMark)) {
        return {Encoding::Utf16LE, kUtf16LEMark.size()};
    }
    if (bytes.starts_with(kUtf16BEMark)) {
        return {Encoding::Utf16BE, kUtf16BEMark.size()};
    }
    const auto* const end = reinterpret_cast<const std::uint8_t*>(bytes.data()) + bytes.size();
    bool multi_byte = false;
    bool valid = true;
    for (const auto* at = reinterpret_cast<const std::uint8_t*>(bytes.data()); at < end;) {
        if (end - at >= 8 && !HasHighByte(at)) {
            at += 8;
            continue;
        }
        if (*at < 0x80) {
            ++at;
            continue;
        }
        const Sequence sequence = ReadSequence(at, end);
        if (sequence.length == 0 || (sequence.length < 0 && complete)) {
            valid = false;
            break;
        }
        if (sequence.length < 0) {
            break;
        }
        multi_byte = multi_byte || sequence.length > 1;
        at += sequence.length;
    }
    if (valid && multi_byte) {
        return {Encoding::Utf8, 0};
    }
    if (UsedAsLetter(bytes, 0xB6) && !UsedAsLetter(bytes, 0xA2)) {
        return {Encoding::Iso8859_7, 0};
    }
    return {Encoding::Cp1253, 0};
}

TextDecoder::TextDecoder() : judging_(true), judged_(true), encoding_(Encoding::Cp1253) {}

TextDecoder::TextDecoder(Encoding encoding)
    : judging_(false), judged_(false), encoding_(encoding) {}

namespace {

// The byte-order mark that `bytes` start with, if any.
DetectedEncoding MarkOf(std::string_view bytes) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE}) {
        const std::string_view mark = ByteOrderMark(encoding);
        if (bytes.starts_with(mark)) {
            return {encoding, mark.size()};
        }
    }
    return {Encoding::Cp1253, 0};
}

bool IsUtf16(Encoding encoding) {
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
}

}  // namespace

void TextDecoder::Decode(std::string_view bytes, std::u16string& out) {
    const std::size_t start = out.size();
    DecodeHeld(bytes, out);
    Track(out, start);
}

void TextDecoder::Finish(std::u16string& out) {
    const std::size_t start = out.size();
    FinishHeld(out);
    Track(out, start);
}

void TextDecoder::Track(const std::u16string& out, std::size_t start) {
    if (bad_bytes_) {
        return;
    }
    const std::u16string_view added = std::u16string_view(out).substr(start);
    if (first_bad_ == std::string::npos) {
        position_.Advance(added);
        return;
    }
    position_.Advance(added.substr(0, first_bad_ - start));
    bad_bytes_ = BadBytes{position_.Next(), bad_byte_};
}

void TextDecoder::UseMark(std::string_view held) {
    const DetectedEncoding mark = MarkOf(held);
    if (mark.mark_length == 0) {
        return;
    }
    if (judging_) {
        encoding_ = mark.encoding;
        judging_ = false;
    } else if (IsUtf16(encoding_) && IsUtf16(mark.encoding)) {
        encoding_ = mark.encoding;  // UTF-16 of either order says which by its mark
    }
    if (mark.encoding == encoding_) {
        held_.erase(0, mark.mark_length);
    }
}

void TextDecoder::DecodeHeld(std::string_view bytes, std::u16string& out) {
    if (!judging_ && !at_start_ && (held_.empty() || encoding_ == Encoding::Utf8)) {
        DecodeAs(bytes, out);
        return;
    }
    held_.append(bytes);
    if (at_start_) {
        // Wait until a byte-order mark can be told from the text.
        const std::string_view held(held_);
        for (const std::string_view mark : {kUtf8Mark, kUtf16LEMark, kUtf16BEMark}) {
            if (held.size() < mark.size() && mark.starts_with(held)) {
                return;
            }
        }
        at_start_ = false;
        UseMark(held);
    }
    if (judging_) {
        const std::size_t first_high =
            std::find_if(held_.begin(), held_.end(),
                         [](char byte) { return static_cast<std::uint8_t>(byte) >= 0x80; }) -
            held_.begin();
        // ASCII reads the same in every encoding judged here.
        const std::string_view ascii(held_.data(), first_high);
        out.append(ascii.begin(), ascii.end());
        held_.erase(0, first_high);
        if (held_.size() < kAutoSample) {
            return;
        }
        // The sample is the same bytes however they were read: exactly
        // kAutoSample of them from the first byte above ASCII.
        encoding_ = DetectEncoding(std::string_view(held_).substr(0, kAutoSample), false).encoding;
        judging_ = false;
    }
    std::string held = std::move(held_);
    held_.clear();
    DecodeAs(held, out);
}

void TextDecoder::FinishHeld(std::u16string& out) {
    if (at_start_) {
        UseMark(held_);
    }
    if (judging_) {
        encoding_ = DetectEncoding(held_, true).encoding;
    }
    judging_ = false;
    at_start_ = false;
    const std::string held = std::move(held_);
    held_.clear();
    if (encoding_ == Encoding::Utf8) {
        // What is still held is a cut-off sequence.
        const std::size_t start = out.size();
        out.resize(start + held.size());
        char16_t* cursor = out.data() + start;
        FirstBad first_bad;
        const Malformed malformed = judged_ ? Malformed::AsCp1253 : Malformed::AsReplacement;
        DecodeUtf8(held, true, malformed, cursor, first_bad);
        if (malformed == Malformed::AsReplacement) {
            NoteBad(out, first_bad.unit, first_bad.byte);
        }
        out.resize(static_cast<std::size_t>(cursor - out.data()));
    } else if (IsUtf16(encoding_)) {
        DecodeAs(held, out);
        if (held.size() % 2 != 0) {
            NoteBad(out, out.data() + out.size(), static_cast<std::uint8_t>(held.back()));
            out.push_back(u'\uFFFD');  // half a unit
        }
        held_.clear();
    } else {
        DecodeAs(held, out);
    }
}

void TextDecoder::NoteBad(const std::u16string& out, const char16_t* unit, std::uint8_t byte) {
    if (unit != nullptr && first_bad_ == std::string::npos) {
        first_bad_ = static_cast<std::size_t>(unit - out.data());
        bad_byte_ = byte;
    }
}

void TextDecoder::DecodeAs(std::string_view bytes, std::u16string& out) {
    const std::size_t start = out.size();
    const Malformed malformed = judged_ ? Malformed::AsCp1253 : Malformed::AsReplacement;
    switch (encoding_) {
        case Encoding::Utf8: {
            std::array<char16_t, kStep> buffer;
            // Where a malformed stretch went: in the buffer, then in `out`.
            const auto note = [&](const FirstBad& first_bad, const char16_t* cursor) {
                // Bytes read as Windows-1253 are no loss: only U+FFFD is.
                if (first_bad.unit != nullptr && malformed == Malformed::AsReplacement) {
                    const std::size_t back = static_cast<std::size_t>(cursor - first_bad.unit);
                    NoteBad(out, out.data() + out.size() - back, first_bad.byte);
                }
            };
            if (!held_.empty()) {
                // Finish the cut-off sequence with the first bytes of this piece.
                const std::size_t held = held_.size();
                held_.append(bytes.substr(0, 4));
                char16_t* cursor = buffer.data();
                FirstBad first_bad;
                const std::size_t used = DecodeUtf8(held_, false, malformed, cursor, first_bad);
                out.append(buffer.data(), cursor);
                note(first_bad, cursor);
                if (used < held) {
                    held_.erase(0, used);  // still cut off: the piece was tiny
                    break;
                }
                bytes.remove_prefix(std::min(bytes.size(), used - held));
                held_.clear();
            }
            out.reserve(out.size() + bytes.size());
            while (!bytes.empty()) {
                const std::string_view part = bytes.substr(0, kStep);
                char16_t* cursor = buffer.data();
                FirstBad first_bad;
                const std::size_t used = DecodeUtf8(part, false, malformed, cursor, first_bad);
                out.append(buffer.data(), cursor);
                note(first_bad, cursor);
                if (used < part.size() && part.size() == bytes.size()) {
                    held_.assign(bytes.substr(used));
                    break;
                }
                bytes.remove_prefix(used);
            }
            break;
        }
        case Encoding::Utf16LE:
        case Encoding::Utf16BE: {
            const bool little = encoding_ == Encoding::Utf16LE;
            const std::size_t units = bytes.size() / 2;
            out.resize(start + units);
            for (std::size_t unit = 0; unit < units; ++unit) {
                const auto first = static_cast<std::uint8_t>(bytes[2 * unit]);
                const auto second = static_cast<std::uint8_t>(bytes[2 * unit + 1]);
                out[start + unit] = little ? static_cast<char16_t>(first | (second << 8))
                                           : static_cast<char16_t>((first << 8) | second);
            }
            held_.assign(bytes.substr(units * 2));
            break;
        }
        case Encoding::Cp1253:
        case Encoding::Iso8859_7: {
            out.resize(start + bytes.size());
            const bool iso = encoding_ == Encoding::Iso8859_7;
            for (std::size_t index = 0; index < bytes.size(); ++index) {
                const auto byte = static_cast<std::uint8_t>(bytes[index]);
                out[start + index] = iso ? Iso8859_7Decode(byte) : Cp1253Decode(byte);
            }
            if (iso && first_bad_ == std::string::npos) {
                // The three bytes ISO-8859-7 leaves undefined.
                for (std::size_t index = 0; index < bytes.size(); ++index) {
                    if (out[start + index] == u'\uFFFD') {
                        NoteBad(out, out.data() + start + index,
                                static_cast<std::uint8_t>(bytes[index]));
                        break;
                    }
                }
            }
            break;
        }
    }
}

TextEncoder::TextEncoder(Encoding encoding)
    : encoding_(encoding == Encoding::Cp1253 ? Encoding::Cp1253 : Encoding::Utf8) {}

Status TextEncoder::Encode(std::u16string_view text, std::string& out) {
    if (encoding_ == Encoding::Cp1253) {
        return EncodeCp1253(text, out);
    }
    out.reserve(out.size() + text.size() * 2);
    std::array<char, 3 * kStep + 4> buffer;
    while (!text.empty()) {
        const std::u16string_view part = text.substr(0, kStep);
        char* cursor = buffer.data();
        EncodeUtf8(part, cursor);
        out.append(buffer.data(), cursor);
        text.remove_prefix(part.size());
    }
    return {};
}

void TextEncoder::EncodeUtf8(std::u16string_view text, char*& cursor) {
    // Written through a copy kept in a register: the bytes written may
    // alias anything, `cursor` too.
    char* out = cursor;
    std::size_t index = 0;
    if (held_high_ != 0 && !text.empty()) {
        if (IsLowSurrogate(text[0])) {
            AppendUtf8(0x10000 + ((char32_t(held_high_) - 0xD800) << 10) + (text[0] - 0xDC00), out);
            index = 1;
        } else {
            AppendUtf8(0xFFFD, out);
        }
        held_high_ = 0;
    }
    // A unit below 0x800 as one byte or two; the second byte is written
    // either way, to be written over by the next when the unit was one
    // byte (the buffer has room for three a unit).
    const auto one_or_two = [&out](std::uint32_t unit) {
        const bool two = unit >= 0x80;
        out[0] = static_cast<char>(two ? 0xC0 | (unit >> 6) : unit);
        out[1] = static_cast<char>(0x80 | (unit & 0x3F));
        out += two ? 2 : 1;
    };
    for (; index < text.size(); ++index) {
        // Four units at a step while none needs three bytes or is a
        // surrogate: Greek and ASCII, and mixes of them.
        std::uint64_t four;
        if (index + 4 <= text.size() && (std::memcpy(&four, text.data() + index, sizeof four),
                                         (four & 0xF800F800F800F800ULL) == 0)) {
            if ((four & 0x0780078007800780ULL) == 0) {  // all ASCII
                for (int k = 0; k < 4; ++k) {
                    out[k] = static_cast<char>(four >> (16 * k));
                }
                out += 4;
            } else if ((((four & 0x0780078007800780ULL) + 0x7F807F807F807F80ULL) &
                        0x8000800080008000ULL) == 0x8000800080008000ULL) {
                // All of two bytes: each 16-bit lane becomes its lead
                // byte, then its follower.
                const std::uint64_t bytes = 0x80C080C080C080C0ULL |
                                            ((four >> 6) & 0x001F001F001F001FULL) |
                                            ((four & 0x003F003F003F003FULL) << 8);
                for (int k = 0; k < 8; ++k) {
                    out[k] = static_cast<char>(bytes >> (8 * k));
                }
                out += 8;
            } else {
                for (int k = 0; k < 4; ++k) {
                    one_or_two(static_cast<std::uint32_t>(four >> (16 * k)) & 0xFFFF);
                }
            }
            index += 3;
            continue;
        }
        const char16_t unit = text[index];
        if (unit < 0x800) {
            one_or_two(unit);
        } else if (IsHighSurrogate(unit)) {
            if (index + 1 == text.size()) {
                held_high_ = unit;  // its pair may start the next piece
            } else if (IsLowSurrogate(text[index + 1])) {
                AppendUtf8(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[index + 1] - 0xDC00),
                           out);
                ++index;
            } else {
                AppendUtf8(0xFFFD, out);
            }
        } else if (IsLowSurrogate(unit)) {
            AppendUtf8(0xFFFD, out);
        } else {
            AppendUtf8(unit, out);
        }
    }
    cursor = out;
}

Status TextEncoder::EncodeCp1253(std::u16string_view text, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    std::size_t written = 0;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        const auto byte = Cp1253Encode(unit);
        if (!byte) {
            char32_t character = unit;
            if (IsHighSurrogate(unit) && index + 1 < text.size() &&
                IsLowSurrogate(text[index + 1])) {
                character =
                    0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[index + 1] - 0xDC00);
            }
            out.resize(start + written);
            return Failure::InText(Cause::NotEncodable, position_.Next(), character);
        }
        out[start + written++] = static_cast<char>(*byte);
        position_.Step(unit);
    }
    return {};
}

void TextEncoder::Finish(std::string& out) {
    if (held_high_ != 0) {
        held_high_ = 0;
        const std::size_t start = out.size();
        out.resize(start + 3);
        char* cursor = out.data() + start;
        AppendUtf8(0xFFFD, cursor);
    }
}

std::u16string FromUtf8(std::string_view bytes) {
    TextDecoder decoder(Encoding::Utf8);
    std::u16string text;
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

std::string ToUtf8(std::u16string_view text) {
    TextEncoder encoder(Encoding::Utf8);
    std::string bytes;
    // UTF-8 writes every character: this never fails.
    static_cast<void>(encoder.Encode(text, bytes));
    encoder.Finish(bytes);
    return bytes;
}

}  // namespace bivano
