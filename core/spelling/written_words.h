// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bivano::internal {

// Appends to `out` `spelled` (small letters, with accents) with the case
// of `typed`: all capitals ("KALIMERA" -> "ΚΑΛΗΜΕΡΑ", no tonos), a first
// capital ("Ela" -> "Έλα"), or, letter for letter, the capitals of a typed
// word as long.
void AppendWithCaseOf(std::u16string_view typed, std::u16string_view spelled, std::u16string& out);

// Puts a tonos on the last syllable of the word at [begin, end) of `text`,
// in small letters or with a capital first: σύστημα -> σύστημά, άνθρωποι
// -> άνθρωποί.
void AccentLastSyllable(std::u16string& text, std::size_t begin, std::size_t end);

// Whether `word` (small letters) is an enclitic, and whether only when it
// ends a phrase: του, το and the like are articles as often.
enum class Enclitic { No, Always, AtPhraseEnd };
Enclitic EncliticOf(std::u16string_view word);

}  // namespace bivano::internal
