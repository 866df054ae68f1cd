// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace bivano::layout::letters {

// The shared Greek letter functions (core/encoding/greek_letters.h:
// IsGreekLetter, IsGreekUpper, GreekLower, PlainLetter) as one table of the
// Greek block made at compile time, for the repairer's questions about
// every character of a text. Made from its own switches, as a constant
// expression must be in every build (sanitized ones too); the tests check
// that it agrees with the shared functions for every character.
struct Letter {
    bool greek;      // a Greek letter: Ά, Έ to ώ but for the gaps
    bool upper;      // Ά, Έ to Ϋ but for the gaps
    char16_t lower;  // small, as GreekLower
    char16_t plain;  // without accent or diaeresis, σ for ς, as PlainLetter
    bool accented;   // a letter with an accent or a diaeresis: its small one is no plain letter
};

inline constexpr char16_t kFirst = 0x370;
inline constexpr char16_t kEnd = 0x400;

constexpr char16_t LowerOf(char16_t c) {
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {  // U+03A2 is unassigned
        return static_cast<char16_t>(c + 0x20);
    }
    switch (c) {
        case 0x386:
            return 0x3AC;
        case 0x388:
            return 0x3AD;
        case 0x389:
            return 0x3AE;
        case 0x38A:
            return 0x3AF;
        case 0x38C:
            return 0x3CC;
        case 0x38E:
            return 0x3CD;
        case 0x38F:
            return 0x3CE;
        default:
            return c;
    }
}

constexpr char16_t PlainOf(char16_t c) {
    switch (c) {
        case 0x3AC:
            return 0x3B1;  // ά
        case 0x3AD:
            return 0x3B5;  // έ
        case 0x3AE:
            return 0x3B7;  // ή
        case 0x3AF:
        case 0x3CA:
        case 0x390:
            return 0x3B9;  // ί ϊ ΐ
        case 0x3CC:
            return 0x3BF;  // ό
        case 0x3CD:
        case 0x3CB:
        case 0x3B0:
            return 0x3C5;  // ύ ϋ ΰ
        case 0x3CE:
            return 0x3C9;  // ώ
        case 0x3C2:
            return 0x3C3;  // ς
        default:
            return c;
    }
}

constexpr std::array<Letter, kEnd - kFirst> MakeLetters() {
    std::array<Letter, kEnd - kFirst> table{};
    for (char16_t c = kFirst; c < kEnd; ++c) {
        Letter& letter = table[c - kFirst];
        letter.greek =
            c == 0x386 || (c >= 0x388 && c <= 0x3CE && c != 0x38B && c != 0x38D && c != 0x3A2);
        letter.upper = letter.greek && c <= 0x3AB && c != 0x390;  // ΐ is small
        letter.lower = LowerOf(c);
        letter.plain = PlainOf(c);
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
