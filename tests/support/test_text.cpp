// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_codec.h"
#include "recording_progress.h"

namespace bivano::testing {

std::u16string U16(std::string_view utf8) {
    TextDecoder decoder(Encoding::Utf8);
    std::u16string out;
    decoder.Decode(utf8, out);
    decoder.Finish(out);
    return out;
}

std::string U8(std::u16string_view utf16) {
    TextEncoder encoder(Encoding::Utf8);
    std::string out;
    encoder.Encode(utf16, out);
    encoder.Finish(out);
    return out;
}

}  // namespace bivano::testing
