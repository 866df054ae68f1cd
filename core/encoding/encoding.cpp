// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/encoding.h"

#include <array>
#include <utility>

namespace bivano {
namespace {

constexpr std::array<std::pair<std::string_view, Encoding>, 14> kNames = {{
    {"utf-8", Encoding::Utf8},
    {"utf8", Encoding::Utf8},
    {"utf-16", Encoding::Utf16LE},
    {"utf16", Encoding::Utf16LE},
    {"utf-16le", Encoding::Utf16LE},
    {"utf-16be", Encoding::Utf16BE},
    {"windows-1253", Encoding::Cp1253},
    {"cp1253", Encoding::Cp1253},
    {"microsoft-cp1253", Encoding::Cp1253},
    {"iso-8859-7", Encoding::Iso8859_7},
    {"iso8859-7", Encoding::Iso8859_7},
    {"iso_8859-7", Encoding::Iso8859_7},
    {"greek", Encoding::Iso8859_7},
    {"elot_928", Encoding::Iso8859_7},
}};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t index = 0; index < a.size(); ++index) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[index]) != lower(b[index])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string_view EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return "utf-8";
        case Encoding::Utf16LE:
            return "utf-16le";
        case Encoding::Utf16BE:
            return "utf-16be";
        case Encoding::Cp1253:
            return "windows-1253";
        case Encoding::Iso8859_7:
            break;
    }
    return "iso-8859-7";
}

std::optional<Encoding> EncodingFromName(std::string_view name) {
    for (const auto& [known, encoding] : kNames) {
        if (SameLetters(name, known)) {
            return encoding;
        }
    }
    return std::nullopt;
}

}  // namespace bivano
