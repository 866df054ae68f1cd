// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace bivano {

// What both conversions append after the converted text: four CR LF pairs,
// then the credit line, in one piece.
inline constexpr std::u16string_view kTailBreaks = u"\r\n\r\n\r\n\r\n";

}  // namespace bivano
