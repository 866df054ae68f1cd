// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace bivano {

// The encodings text comes in. Windows-1253 is what Greek Windows programs
// write; ISO-8859-7 is its older cousin on Unix, which differs in a few
// bytes (Ά is 0xB6 there and 0xA2 in Windows-1253).
enum class Encoding { Utf8, Utf16LE, Utf16BE, Cp1253, Iso8859_7 };

// The name people and programs know it by: "utf-8", "utf-16le",
// "utf-16be", "windows-1253", "iso-8859-7".
std::string_view EncodingName(Encoding encoding);

// The encoding a name stands for, in any case, with the usual spellings:
//   "UTF-8", "utf8" -> Utf8; "utf-16" -> Utf16LE; "cp1253" -> Cp1253;
//   "ISO8859-7" (hunspell's), "iso-8859-7", "greek" -> Iso8859_7; "koi8-r" -> nothing.
std::optional<Encoding> EncodingFromName(std::string_view name);

// The byte-order mark that may open a text in the encoding; empty for the
// single-byte ones.
constexpr std::string_view ByteOrderMark(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return "\xEF\xBB\xBF";
        case Encoding::Utf16LE:
            return "\xFF\xFE";
        case Encoding::Utf16BE:
            return "\xFE\xFF";
        case Encoding::Cp1253:
        case Encoding::Iso8859_7:
            break;
    }
    return {};
}

}  // namespace bivano
