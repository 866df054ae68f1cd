// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace bivano::internal {

// The chat abbreviations, as the plain conversion writes them (small, no
// accents, σ for ς), written out: the one- to four-letter forms people type
// for the commonest words.
inline constexpr std::pair<std::u16string_view, std::u16string_view> kChatAbbreviations[] = {
    {u"κ", u"και"},      {u"δν", u"δεν"},      {u"μ", u"μου"},
    {u"σ", u"σου"},      {u"π", u"που"},       {u"γτ", u"γιατί"},
    {u"τπτ", u"τίποτα"}, {u"τπτα", u"τίποτα"}, {u"δλδ", u"δηλαδή"},
    {u"τλκ", u"τελικά"}, {u"ντξ", u"εντάξει"}, {u"ντχ", u"εντάξει"},
    {u"κλ", u"καλά"},    {u"σμρ", u"σήμερα"},  {u"τεσπα", u"τέλος πάντων"},
};

// The longest chat abbreviation as typed (tespa, ntks).
inline constexpr std::size_t kLongestAbbreviation = 6;

// What a chat abbreviation (in plain small Greek letters) stands for:
// "δν" -> "δεν"; empty for anything else.
std::u16string_view ChatWord(std::u16string_view plain);

// Laughter, typed in Latin or Greek letters: two or more of one syllable
// of χ (x, h) and a vowel, perhaps with a last χ: xaxa, haha, xaxaxa,
// hehe, χαχαχα. Written as the same laughter in Greek letters, without an
// accent (χαχα, χεχε); empty for anything else.
std::u16string Laughter(std::u16string_view lower);

// Whether the word at [begin, end) of `text` stands alone, as a chat
// abbreviation does: blanks, an opening mark or the text's start before
// it; blanks, a closing mark or a sentence's end after it. Not in μ'αρέσει,
// π.χ., a-b, 5m.
bool StandsAlone(std::u16string_view text, std::size_t begin, std::size_t end);

}  // namespace bivano::internal
