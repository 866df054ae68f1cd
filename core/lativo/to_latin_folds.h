// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace bivano::internal {

// A Greek character that Windows-1253 lacks, and the text "Lativo" reads in
// its place: ἄ -> "α", ϑ -> "θ", ϲ -> "ς", U+037E -> ";", ϛ -> "στ".
struct GreekFold {
    char16_t character;
    std::u16string_view text;
};

// Every fold, by rising character: all Greek letters of the Greek and Coptic
// block (but the Coptic ones) and of the Greek Extended block that
// Windows-1253 lacks, and a few signs with one-character equivalents.
std::span<const GreekFold> GreekFolds();

// Combining diacritical marks. After a Greek letter they make a composed
// letter that converts as its base letter does, so they are dropped there.
constexpr bool IsCombiningMark(char16_t character) {
    return character >= u'\u0300' && character <= u'\u036F';
}

}  // namespace bivano::internal
