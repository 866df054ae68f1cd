// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "core/encoding/greek_letters.h"

namespace bivano::layout::letters {

// The shared Greek letter functions (core/encoding/greek_letters.h) as one
// table of the Greek block made at compile time, so that the repairer's
// questions about every character of a text are one look-up each.
struct Letter {
    bool greek;      // a Greek letter: Ά, Έ to ώ but for the gaps
    bool upper;      // a capital, as IsGreekUpper
    char16_t lower;  // small, as GreekLower
    char16_t plain;  // without accent or diaeresis, σ for ς, as PlainLetter
    bool accented;   // a letter with an accent or a diaeresis: its small one is no plain letter
};

inline constexpr char16_t kFirst = 0x370;
inline constexpr char16_t kEnd = 0x400;

constexpr std::array<Letter, kEnd - kFirst> MakeLetters() {
    std::array<Letter, kEnd - kFirst> table{};
    for (char16_t c = kFirst; c < kEnd; ++c) {
        Letter& letter = table[c - kFirst];
        letter.greek = internal::IsGreekLetter(c);
        letter.upper = internal::IsGreekUpper(c);
        letter.lower = internal::GreekLower(c);
        letter.plain = internal::PlainLetter(c);
    }
    for (Letter& letter : table) {
        letter.accented = letter.greek && letter.lower != u'ς' &&
                          table[letter.lower - kFirst].plain != letter.lower;
    }
    return table;
}

inline constexpr std::array<Letter, kEnd - kFirst> kLetters = MakeLetters();

inline bool IsGreekLetter(char16_t c) {
    return c >= kFirst && c < kEnd && kLetters[c - kFirst].greek;
}
inline bool IsGreekUpper(char16_t c) {
    return c >= kFirst && c < kEnd && kLetters[c - kFirst].upper;
}
inline char16_t GreekLower(char16_t c) {
    return c >= kFirst && c < kEnd ? kLetters[c - kFirst].lower : c;
}
inline char16_t PlainLetter(char16_t c) {
    return c >= kFirst && c < kEnd ? kLetters[c - kFirst].plain : c;
}
// A Greek letter whose small letter is not plain: ά, Ώ, ϊ, ΐ (not ς).
inline bool IsAccentedLetter(char16_t c) {
    return c >= kFirst && c < kEnd && kLetters[c - kFirst].accented;
}

}  // namespace bivano::layout::letters
