// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace bivano::layout {

// The standard Greek keyboard of Linux (X11's "gr" layout, basic level and
// Shift) and Windows, against the US layout: each key by the character the
// US layout gives and the one the Greek layout gives. Keys that give the
// same character on both (digits, most punctuation) are left out. On the
// Greek layout `;` and `:` are dead keys (the accent and the diaeresis),
// so they have no character of their own.
struct KeyPair {
    char latin;
    char16_t greek;
};

inline constexpr std::array<KeyPair, 52> kGreekKeys = {{
    {'a', u'α'}, {'A', u'Α'}, {'b', u'β'}, {'B', u'Β'}, {'c', u'ψ'}, {'C', u'Ψ'}, {'d', u'δ'},
    {'D', u'Δ'}, {'e', u'ε'}, {'E', u'Ε'}, {'f', u'φ'}, {'F', u'Φ'}, {'g', u'γ'}, {'G', u'Γ'},
    {'h', u'η'}, {'H', u'Η'}, {'i', u'ι'}, {'I', u'Ι'}, {'j', u'ξ'}, {'J', u'Ξ'}, {'k', u'κ'},
    {'K', u'Κ'}, {'l', u'λ'}, {'L', u'Λ'}, {'m', u'μ'}, {'M', u'Μ'}, {'n', u'ν'}, {'N', u'Ν'},
    {'o', u'ο'}, {'O', u'Ο'}, {'p', u'π'}, {'P', u'Π'}, {'q', u';'}, {'Q', u':'}, {'r', u'ρ'},
    {'R', u'Ρ'}, {'s', u'σ'}, {'S', u'Σ'}, {'t', u'τ'}, {'T', u'Τ'}, {'u', u'θ'}, {'U', u'Θ'},
    {'v', u'ω'}, {'V', u'Ω'}, {'w', u'ς'}, {'W', u'Σ'}, {'x', u'χ'}, {'X', u'Χ'}, {'y', u'υ'},
    {'Y', u'Υ'}, {'z', u'ζ'}, {'Z', u'Ζ'},
}};

// The dead keys of the Greek layout, on the US layout's `;` and `:`.
inline constexpr char kAcuteKey = ';';
inline constexpr char kDiaeresisKey = ':';

// What the dead keys make of a letter: with the accent, the diaeresis, and
// both (in either order). 0 where the layout gives no letter.
struct DeadKeyLetters {
    char16_t plain;
    char16_t acute;
    char16_t diaeresis;
    char16_t both;
};

inline constexpr std::array<DeadKeyLetters, 14> kDeadKeyLetters = {{
    {u'α', u'ά', 0, 0},
    {u'ε', u'έ', 0, 0},
    {u'η', u'ή', 0, 0},
    {u'ι', u'ί', u'ϊ', u'ΐ'},
    {u'ο', u'ό', 0, 0},
    {u'υ', u'ύ', u'ϋ', u'ΰ'},
    {u'ω', u'ώ', 0, 0},
    {u'Α', u'Ά', 0, 0},
    {u'Ε', u'Έ', 0, 0},
    {u'Η', u'Ή', 0, 0},
    {u'Ι', u'Ί', u'Ϊ', 0},
    {u'Ο', u'Ό', 0, 0},
    {u'Υ', u'Ύ', u'Ϋ', 0},
    {u'Ω', u'Ώ', 0, 0},
}};

// A dead key followed by Space (or by itself) gives the mark alone.
inline constexpr char16_t kSpacingAcute = u'\u0384';           // ΄
inline constexpr char16_t kSpacingDiaeresis = u'\u00A8';       // ¨
inline constexpr char16_t kSpacingAcuteDiaeresis = u'\u0385';  // ΅

// What typing `keys` (the characters the US layout shows for them) gives on
// the Greek layout: "Kalhm;era" -> "Καλημέρα", ":;i" -> "ΐ", "www" ->
// "ςςς". Other characters pass as they are. A dead key followed by a key
// it makes nothing of (";k") gives nothing, as X11's compose tables have it.
std::u16string TypeOnGreekLayout(std::u16string_view keys);

// The other way: the keys that give `greek` on the Greek layout, as the US
// layout shows them: "Καλημέρα" -> "Kalhm;era", "ς" -> "w", ";" -> "q",
// "Σ" -> "S" (W gives it too), "΄" -> "; ". Characters that need no other
// key, or that no key of the two levels gives, pass as they are.
std::u16string KeysTypedFor(std::u16string_view greek);

// The Greek character of one key, 0 for a key not in kGreekKeys.
char16_t GreekOfKey(char16_t latin);
// The key of one Greek character that needs no dead key, 0 for none.
char LatinKeyOf(char16_t greek);
// `letter` under the dead keys (`acute`, `diaeresis`); 0 for no letter.
char16_t WithDeadKeys(char16_t letter, bool acute, bool diaeresis);

}  // namespace bivano::layout
