// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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
// The same, appended to `out`; or written from `write` on, which has room
// for keys.size() characters (no key gives more than one), up to the end
// returned.
void AppendTypedOnGreekLayout(std::u16string_view keys, std::u16string& out);
char16_t* TypeOnGreekLayoutInto(std::u16string_view keys, char16_t* write);

// The other way: the keys that give `greek` on the Greek layout, as the US
// layout shows them: "Καλημέρα" -> "Kalhm;era", "ς" -> "w", ";" -> "q",
// "Σ" -> "S" (W gives it too), "΄" -> "; ". Characters that need no other
// key, or that no key of the two levels gives, pass as they are.
std::u16string KeysTypedFor(std::u16string_view greek);

namespace keyboard {

// The tables above by character, made at compile time, for the lookups
// below, which run for every character of a text.
struct KeyIndex {
    static constexpr char16_t kFirstGreek = 0x370;
    std::array<char16_t, 128> greek_of_key{};
    std::array<char, 0x400 - kFirstGreek> key_of_greek{};
    std::array<std::uint8_t, 0x400 - kFirstGreek> dead_key_row{};  // 1 + its row, 0 for none
};

constexpr KeyIndex MakeKeyIndex() {
    KeyIndex index;
    for (const KeyPair& pair : kGreekKeys) {
        index.greek_of_key[static_cast<unsigned char>(pair.latin)] = pair.greek;
        if (pair.greek >= KeyIndex::kFirstGreek && pair.greek < 0x400 &&
            index.key_of_greek[pair.greek - KeyIndex::kFirstGreek] == 0) {
            // Σ is on S and on W: S, where people type it.
            index.key_of_greek[pair.greek - KeyIndex::kFirstGreek] = pair.latin;
        }
    }
    for (std::size_t row = 0; row < kDeadKeyLetters.size(); ++row) {
        const char16_t plain = kDeadKeyLetters[row].plain;
        if (plain >= KeyIndex::kFirstGreek && plain < 0x400 &&
            index.dead_key_row[plain - KeyIndex::kFirstGreek] == 0) {
            index.dead_key_row[plain - KeyIndex::kFirstGreek] = static_cast<std::uint8_t>(row + 1);
        }
    }
    return index;
}

inline constexpr KeyIndex kKeyIndex = MakeKeyIndex();

}  // namespace keyboard

// The Greek character of one key, 0 for a key not in kGreekKeys.
inline char16_t GreekOfKey(char16_t latin) {
    return latin < 128 ? keyboard::kKeyIndex.greek_of_key[latin] : char16_t{0};
}

// The key of one Greek character that needs no dead key, 0 for none.
inline char LatinKeyOf(char16_t greek) {
    if (greek == u';') {
        return 'q';
    }
    if (greek == u':') {
        return 'Q';
    }
    return greek >= keyboard::KeyIndex::kFirstGreek && greek < 0x400
               ? keyboard::kKeyIndex.key_of_greek[greek - keyboard::KeyIndex::kFirstGreek]
               : '\0';
}

// `letter` under the dead keys (`acute`, `diaeresis`); 0 for no letter.
inline char16_t WithDeadKeys(char16_t letter, bool acute, bool diaeresis) {
    const std::size_t row =
        letter >= keyboard::KeyIndex::kFirstGreek && letter < 0x400
            ? keyboard::kKeyIndex.dead_key_row[letter - keyboard::KeyIndex::kFirstGreek]
            : 0;
    if (row == 0) {
        return acute || diaeresis ? char16_t{0} : letter;
    }
    const DeadKeyLetters& letters = kDeadKeyLetters[row - 1];
    if (acute && diaeresis) {
        return letters.both;
    }
    return acute ? letters.acute : diaeresis ? letters.diaeresis : letter;
}

}  // namespace bivano::layout
