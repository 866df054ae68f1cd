// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_file.h"

#include <cstdint>

#include "cp1253.h"
#include "text_codec.h"

namespace bivano {
namespace {

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < text.size() &&
            text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF) {
            AppendUtf8(out,
                       0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[index + 1] - 0xDC00));
            ++index;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes) {
    TextDecoder decoder(DetectEncoding(bytes).encoding);
    std::u16string text;
    text.reserve(bytes.size());
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

EncodedText EncodeTextFile(std::u16string_view text) {
    std::string bytes(text.size(), '\0');
    for (std::size_t index = 0; index < text.size(); ++index) {
        const auto byte = Cp1253Encode(text[index]);
        if (!byte) {
            return {EncodeUtf8(text), TextEncoding::Utf8};
        }
        bytes[index] = static_cast<char>(*byte);
    }
    return {std::move(bytes), TextEncoding::Cp1253};
}

}  // namespace bivano
