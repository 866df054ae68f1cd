// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_codec.h"
#include "recording_progress.h"

namespace bivano::testing {

std::u16string U16(std::string_view utf8) {
    return FromUtf8(utf8);
}

std::string U8(std::u16string_view utf16) {
    return ToUtf8(utf16);
}

}  // namespace bivano::testing
