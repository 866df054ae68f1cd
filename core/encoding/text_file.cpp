// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_file.h"

#include <utility>

#include "core/encoding/cp1253.h"
#include "core/encoding/text_codec.h"

namespace bivano {

std::u16string DecodeTextFile(std::string_view bytes) {
    TextDecoder decoder(DetectEncoding(bytes).encoding);
    std::u16string text;
    text.reserve(bytes.size());
    decoder.Decode(bytes, text);
    decoder.Finish(text);
    return text;
}

std::string EncodeTextFile(std::u16string_view text) {
    std::string bytes(text.size(), '\0');
    for (std::size_t index = 0; index < text.size(); ++index) {
        const auto byte = Cp1253Encode(text[index]);
        if (!byte) {
            return ToUtf8(text);
        }
        bytes[index] = static_cast<char>(*byte);
    }
    return bytes;
}

}  // namespace bivano
