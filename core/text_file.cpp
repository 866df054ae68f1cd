#include "text_file.h"

#include <cstdint>

#include "cp1253.h"

namespace bivano {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Decodes UTF-8, replacing each malformed byte with U+FFFD and saying so
// through `malformed`.
std::u16string DecodeUtf8(std::string_view bytes, bool& malformed) {
    malformed = false;
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t index = 0;
    while (index < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[index]);
        int extra = 0;
        char32_t code = lead;
        char32_t minimum = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0x80) {
            malformed = true;
            text.push_back(u'\uFFFD');
            ++index;
            continue;
        }
        bool well_formed = index + extra < bytes.size();
        for (int k = 1; well_formed && k <= extra; ++k) {
            const auto follow = static_cast<std::uint8_t>(bytes[index + k]);
            well_formed = (follow & 0xC0) == 0x80;
            code = (code << 6) | (follow & 0x3F);
        }
        if (!well_formed || code < minimum || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            malformed = true;
            text.push_back(u'\uFFFD');
            ++index;
            continue;
        }
        index += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
    }
    return text;
}

bool HasMultiByteSequence(std::string_view bytes) {
    for (const char byte : bytes) {
        if (static_cast<std::uint8_t>(byte) >= 0x80) {
            return true;
        }
    }
    return false;
}

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

bool IsValidUtf8(std::string_view bytes) {
    bool malformed = false;
    DecodeUtf8(bytes, malformed);
    return !malformed;
}

std::u16string DecodeTextFile(std::string_view bytes) {
    bool malformed = false;
    if (bytes.starts_with(kUtf8Mark)) {
        return DecodeUtf8(bytes.substr(kUtf8Mark.size()), malformed);
    }
    if (HasMultiByteSequence(bytes)) {
        std::u16string text = DecodeUtf8(bytes, malformed);
        if (!malformed) {
            return text;
        }
    }
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        text[index] = Cp1253Decode(static_cast<std::uint8_t>(bytes[index]));
    }
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
