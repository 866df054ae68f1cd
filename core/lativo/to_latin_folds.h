// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace bivano::internal {

// The text "Lativo" reads in place of a Greek character that Windows-1253
// lacks: ἄ -> "α", ϑ -> "θ", ϲ -> "ς", U+037E -> ";", ϛ -> "στ", U+037A
// (ypogegrammeni) -> ""; nothing for any other character. Folded are all
// Greek letters of the Greek and Coptic block (but the Coptic ones) and of
// the Greek Extended block that Windows-1253 lacks, and a few signs with
// one-character equivalents: no character outside kFoldedBlocks, none to
// more than three characters.
std::optional<std::u16string_view> GreekFold(char16_t character);

inline constexpr std::array<std::pair<char16_t, char16_t>, 2> kFoldedBlocks = {
    {{u'\u0370', u'\u03FF'}, {u'\u1F00', u'\u1FFF'}}};

// Combining diacritical marks. After a Greek letter they make a composed
// letter that converts as its base letter does, so they are dropped there.
constexpr bool IsCombiningMark(char16_t character) {
    return character >= u'\u0300' && character <= u'\u036F';
}

}  // namespace bivano::internal
