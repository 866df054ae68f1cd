// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace bivano::internal {

// The letters of modern (monotonic) Greek: the 24 letters in both cases,
// final sigma, the vowels with a tonos, ι and υ with a diaeresis and with
// both. What the reader, its model, the Latin schemes and Windows-1253 know
// of a Greek letter is read from this one table; polytonic letters and the
// letter variants are folds (to_latin_folds.h), not letters.

// A Greek letter taken apart: its small letter without marks (σ for ς too),
// its case and its marks. 'Ώ' -> {ω, capital, tonos}, 'ΐ' -> {ι, tonos,
// diaeresis}, 'ς' -> {σ, final}.
struct GreekLetterParts {
    char16_t base;
    bool capital = false;
    bool tonos = false;
    bool diaeresis = false;
    bool final_sigma = false;
};

namespace greek_letters {

struct Row {
    char16_t small;
    char16_t capital;  // 0 where Unicode has no capital (ΐ, ΰ)
    char16_t base;
    bool tonos;
    bool diaeresis;
};

// Every small letter with its capital: the table the rest is made from.
inline constexpr Row kRows[] = {
    {u'α', u'Α', u'α', false, false}, {u'β', u'Β', u'β', false, false},
    {u'γ', u'Γ', u'γ', false, false}, {u'δ', u'Δ', u'δ', false, false},
    {u'ε', u'Ε', u'ε', false, false}, {u'ζ', u'Ζ', u'ζ', false, false},
    {u'η', u'Η', u'η', false, false}, {u'θ', u'Θ', u'θ', false, false},
    {u'ι', u'Ι', u'ι', false, false}, {u'κ', u'Κ', u'κ', false, false},
    {u'λ', u'Λ', u'λ', false, false}, {u'μ', u'Μ', u'μ', false, false},
    {u'ν', u'Ν', u'ν', false, false}, {u'ξ', u'Ξ', u'ξ', false, false},
    {u'ο', u'Ο', u'ο', false, false}, {u'π', u'Π', u'π', false, false},
    {u'ρ', u'Ρ', u'ρ', false, false}, {u'σ', u'Σ', u'σ', false, false},
    {u'ς', u'Σ', u'σ', false, false}, {u'τ', u'Τ', u'τ', false, false},
    {u'υ', u'Υ', u'υ', false, false}, {u'φ', u'Φ', u'φ', false, false},
    {u'χ', u'Χ', u'χ', false, false}, {u'ψ', u'Ψ', u'ψ', false, false},
    {u'ω', u'Ω', u'ω', false, false}, {u'ά', u'Ά', u'α', true, false},
    {u'έ', u'Έ', u'ε', true, false},  {u'ή', u'Ή', u'η', true, false},
    {u'ί', u'Ί', u'ι', true, false},  {u'ό', u'Ό', u'ο', true, false},
    {u'ύ', u'Ύ', u'υ', true, false},  {u'ώ', u'Ώ', u'ω', true, false},
    {u'ϊ', u'Ϊ', u'ι', false, true},  {u'ϋ', u'Ϋ', u'υ', false, true},
    {u'ΐ', 0, u'ι', true, true},      {u'ΰ', 0, u'υ', true, true},
};

// The Greek letters lie between Ά (U+0386) and ώ (U+03CE).
inline constexpr char16_t kFirst = u'Ά';
inline constexpr char16_t kLast = u'ώ';

// One character of that range: what it is, and its forms.
struct Entry {
    char16_t small = 0;         // 0: no letter
    char16_t capital = 0;       // the capital of `small`; itself where there is none
    char16_t unmarked = 0;      // without tonos and diaeresis, case and ς kept
    char16_t bare_capital = 0;  // the capital without tonos, diaeresis kept
    char16_t with_tonos = 0;    // of a small vowel without marks: with a tonos
    GreekLetterParts parts{};
};

constexpr const Row& RowOf(char16_t small) {
    for (const Row& row : kRows) {
        if (row.small == small) {
            return row;
        }
    }
    return kRows[0];
}

constexpr std::array<Entry, kLast - kFirst + 1> MakeEntries() {
    std::array<Entry, kLast - kFirst + 1> entries{};
    for (const Row& row : kRows) {
        const bool final_sigma = row.small == u'ς';
        const Row& plain = RowOf(row.base);
        // The tonos dropped, the diaeresis kept: ΐ -> ϊ.
        const Row& bare = row.diaeresis ? RowOf(row.base == u'ι' ? u'ϊ' : u'ϋ') : plain;
        Entry& small = entries[row.small - kFirst];
        small.small = row.small;
        small.capital = row.capital != 0 ? row.capital : row.small;
        small.unmarked = final_sigma ? row.small : plain.small;
        small.bare_capital = bare.capital;
        small.parts = {row.base, false, row.tonos, row.diaeresis, final_sigma};
        if (row.tonos && !row.diaeresis) {
            entries[plain.small - kFirst].with_tonos = row.small;
        }
        if (row.capital != 0 && !final_sigma) {
            Entry& capital = entries[row.capital - kFirst];
            capital.small = row.small;
            capital.capital = row.capital;
            capital.unmarked = plain.capital;
            capital.bare_capital = row.capital;
            capital.parts = {row.base, true, row.tonos, row.diaeresis, false};
        }
    }
    return entries;
}

inline constexpr std::array<Entry, kLast - kFirst + 1> kEntries = MakeEntries();

// A copy, not a pointer: GCC refuses a pointer into the table compared
// with null as a constant expression in sanitized builds. None: small 0.
constexpr Entry EntryOf(char16_t c) {
    if (c < kFirst || c > kLast) {
        return Entry{};
    }
    return kEntries[c - kFirst];
}

}  // namespace greek_letters

// Whether `c` is a Greek letter of the table: 'λ', 'Ώ', 'ς', 'ΐ'; not the
// unassigned U+03A2, nor a polytonic 'ἄ' or a variant 'ϑ'.
constexpr bool IsGreekLetter(char16_t c) {
    return greek_letters::EntryOf(c).small != 0;
}

// The parts of a Greek letter; nothing for any other character.
constexpr std::optional<GreekLetterParts> PartsOf(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 ? std::nullopt : std::optional<GreekLetterParts>(entry.parts);
}

// Whether `c` is a capital Greek letter: 'Α', 'Ά', 'Ϊ'; not 'α'.
constexpr bool IsGreekUpper(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small != 0 && entry.parts.capital;
}

// The small letter of a capital, marks kept: 'Ά' -> 'ά', 'Σ' -> 'σ';
// any other character as it is.
constexpr char16_t GreekLower(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 ? c : entry.small;
}

// The capital of a small letter, marks kept: 'ά' -> 'Ά', 'ς' -> 'Σ'; 'ΐ'
// and 'ΰ', which have none, and any other character as they are.
constexpr char16_t GreekUpper(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 ? c : entry.capital;
}

// The capital as Greek typography writes capitals: without the tonos,
// with the diaeresis. 'ά' -> 'Α', 'ΐ' -> 'Ϊ', 'ϋ' -> 'Ϋ', 'ς' -> 'Σ'; a
// capital as it is ('Ά' stays).
constexpr char16_t GreekCapitalWithoutTonos(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    if (entry.small == 0 || entry.parts.capital) {
        return c;
    }
    return entry.bare_capital;
}

// A small letter without its tonos or diaeresis, σ for ς: 'ώ' -> 'ω',
// 'ΐ' -> 'ι', 'ς' -> 'σ'. Capitals and any other character as they are:
// the letter tree and the readings are keyed by these.
constexpr char16_t PlainLetter(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 || entry.parts.capital ? c : entry.parts.base;
}

// A letter without its tonos or diaeresis, its case and ς kept: 'Ώ' ->
// 'Ω', 'ϊ' -> 'ι', 'ς' stays.
constexpr char16_t WithoutMarks(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 ? c : entry.unmarked;
}

// Whether a letter is a vowel, in either case and with any marks: 'α', 'Ώ',
// 'ΐ'; not 'β'.
constexpr bool IsGreekVowel(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small != 0 &&
           std::u16string_view(u"αεηιουω").find(entry.parts.base) != std::u16string_view::npos;
}

// A small vowel without marks with a tonos: 'α' -> 'ά', 'ω' -> 'ώ'; any
// other character as it is ('ά', 'ϊ', 'Α', 'β').
constexpr char16_t WithTonos(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small == 0 || entry.with_tonos == 0 ? c : entry.with_tonos;
}

// Whether a letter carries a tonos (in either case): 'ά', 'Ώ', 'ΐ'.
constexpr bool HasTonos(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small != 0 && entry.parts.tonos;
}

// Whether a letter carries a diaeresis (in either case): 'ϊ', 'Ϋ', 'ΰ'.
constexpr bool HasDiaeresis(char16_t c) {
    const greek_letters::Entry entry = greek_letters::EntryOf(c);
    return entry.small != 0 && entry.parts.diaeresis;
}

// The sound class of a letter, for endings: η and υ as ι, ω as ο, the
// small plain letter otherwise ('Ή' -> 'ι', 'ώ' -> 'ο', 'ς' -> 'σ').
char16_t SoundClass(char16_t c);

// Where a word in small letters is stressed: 0 on the next-to-last
// syllable, 1 on the last, 2 on the one before, 3 nowhere. "θάλασσα" ->
// 2, "παιδί" -> 1, "είναι" -> 0, "του" -> 3.
std::uint8_t StressRank(std::u16string_view lower);

}  // namespace bivano::internal
