// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/encoding/greek_letters.h"

namespace bivano::internal {

// The letters as the reader sees them.
constexpr bool IsLatinLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
constexpr bool IsLatinOrDigit(char16_t c) {
    return IsLatinLetter(c) || (c >= u'0' && c <= u'9');
}
constexpr bool IsBlankOrBreak(char16_t c) {
    // One test of a bit for the four: ' ', '\t', '\r', '\n'.
    constexpr std::uint64_t kBlanks = 1ULL << u' ' | 1ULL << u'\t' | 1ULL << u'\r' | 1ULL << u'\n';
    return c <= u' ' && ((kBlanks >> c) & 1) != 0;
}
static_assert(IsBlankOrBreak(u' ') && IsBlankOrBreak(u'\t') && IsBlankOrBreak(u'\r') &&
              IsBlankOrBreak(u'\n') && !IsBlankOrBreak(u'\0') && !IsBlankOrBreak(u'\v') &&
              !IsBlankOrBreak(u'!') && !IsBlankOrBreak(u'\x2020'));
// A capital, Latin or Greek.
constexpr bool IsUpper(char16_t c) {
    return (c >= u'A' && c <= u'Z') || IsGreekUpper(c);
}
// Small letters for the readings: Latin ones, and Greek ones without
// accents ('Ά' -> 'α', 'ς' -> 'σ', 'K' -> 'k').
constexpr char16_t ReadingLower(char16_t c) {
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + 32);
    }
    return PlainLetter(GreekLower(c));
}

// Small Greek letters without accents, as the chat words and the letter
// tree are keyed: "Καλημέρα" -> "καλημερα".
inline std::u16string PlainForm(std::u16string text) {
    for (char16_t& c : text) {
        c = PlainLetter(GreekLower(c));
    }
    return text;
}

// One way to read the letters at a place of a typed word: how many it
// takes, the Greek letters (plain, one or two) it gives, and how unlikely
// a typing it is.
struct Reading {
    std::uint8_t length;
    std::u16string_view greek;
    float cost;
};

// Where a reading of a letter holds.
enum class ReadingPlace : std::uint8_t {
    Anywhere,
    AfterAOrE,    // after a or e (α, ε): the υ of αυ and ευ typed as f or v
    AtWordEnd,    // the last letter of the word
    NotAtWordEnd  // any but the last
};

// A reading of a typed letter, or of the letter and the next one (`next`).
// The costs are in units of how much likelier a word must be in running
// text to win against a better reading: a few units for a reading people
// seldom type.
struct ReadingRow {
    char16_t letter;
    char16_t next;  // 0: a reading of the letter alone
    ReadingPlace place;
    std::u16string_view greek;
    float cost;
};

// A vowel of Greek letters typed for another that sounds alike: on a Greek
// keyboard they are seldom mixed up, but they are.
inline constexpr float kGreekSlip = 1.5F;

// Every reading of every letter people type for Greek, by letter, in the
// order they are tried (the first of two alike wins).
inline constexpr ReadingRow kReadingRows[] = {
    {u'a', 0, ReadingPlace::Anywhere, u"α", 0},
    {u'a', u'i', ReadingPlace::Anywhere, u"αι", 0},
    {u'b', 0, ReadingPlace::Anywhere, u"μπ", 0},
    {u'b', 0, ReadingPlace::Anywhere, u"β", 0.3F},
    {u'c', u'h', ReadingPlace::Anywhere, u"χ", 0},
    {u'c', 0, ReadingPlace::Anywhere, u"ψ", 0},
    {u'c', 0, ReadingPlace::Anywhere, u"κ", 1.5F},
    {u'c', 0, ReadingPlace::Anywhere, u"σ", 1.5F},
    {u'd', 0, ReadingPlace::Anywhere, u"δ", 0},
    {u'd', 0, ReadingPlace::Anywhere, u"ντ", 0.4F},
    {u'e', 0, ReadingPlace::Anywhere, u"ε", 0},
    {u'e', 0, ReadingPlace::Anywhere, u"αι", 0.5F},
    {u'e', 0, ReadingPlace::Anywhere, u"η", 1.8F},
    {u'e', u'i', ReadingPlace::Anywhere, u"ει", 0},
    {u'f', 0, ReadingPlace::Anywhere, u"φ", 0},
    {u'f', 0, ReadingPlace::AfterAOrE, u"υ", 0.2F},
    {u'g', 0, ReadingPlace::Anywhere, u"γ", 0},
    {u'g', 0, ReadingPlace::Anywhere, u"γκ", 0.5F},
    {u'g', u'k', ReadingPlace::Anywhere, u"γκ", 0},
    {u'g', u'g', ReadingPlace::Anywhere, u"γγ", 0},
    {u'g', u'g', ReadingPlace::Anywhere, u"γκ", 0.4F},
    {u'h', 0, ReadingPlace::Anywhere, u"η", 0},
    {u'h', 0, ReadingPlace::Anywhere, u"χ", 0.5F},
    {u'i', 0, ReadingPlace::Anywhere, u"ι", 0},
    {u'i', 0, ReadingPlace::Anywhere, u"η", 0.5F},
    {u'i', 0, ReadingPlace::Anywhere, u"υ", 0.5F},
    {u'i', 0, ReadingPlace::Anywhere, u"ει", 0.5F},
    {u'i', 0, ReadingPlace::Anywhere, u"οι", 0.6F},
    {u'j', 0, ReadingPlace::Anywhere, u"ξ", 0.3F},
    {u'j', 0, ReadingPlace::Anywhere, u"τζ", 1.2F},
    {u'k', 0, ReadingPlace::Anywhere, u"κ", 0},
    {u'k', u's', ReadingPlace::Anywhere, u"ξ", 0},
    {u'k', u'h', ReadingPlace::Anywhere, u"χ", 0.5F},
    {u'l', 0, ReadingPlace::Anywhere, u"λ", 0},
    {u'm', 0, ReadingPlace::Anywhere, u"μ", 0},
    {u'n', 0, ReadingPlace::Anywhere, u"ν", 0},
    {u'o', 0, ReadingPlace::Anywhere, u"ο", 0},
    // At the end of a word ω is as likely: the verbs' -ω.
    {u'o', 0, ReadingPlace::AtWordEnd, u"ω", 0.1F},
    {u'o', 0, ReadingPlace::NotAtWordEnd, u"ω", 0.3F},
    {u'o', u'i', ReadingPlace::Anywhere, u"οι", 0},
    {u'o', u'u', ReadingPlace::Anywhere, u"ου", 0},
    {u'o', u'y', ReadingPlace::Anywhere, u"ου", 0.3F},
    {u'p', 0, ReadingPlace::Anywhere, u"π", 0},
    {u'p', u's', ReadingPlace::Anywhere, u"ψ", 0},
    {u'p', u'h', ReadingPlace::Anywhere, u"φ", 0},
    {u'q', 0, ReadingPlace::Anywhere, u"κ", 1.0F},
    {u'r', 0, ReadingPlace::Anywhere, u"ρ", 0},
    {u's', 0, ReadingPlace::Anywhere, u"σ", 0},
    {u't', 0, ReadingPlace::Anywhere, u"τ", 0},
    {u't', u'h', ReadingPlace::Anywhere, u"θ", 0},
    {u'u', 0, ReadingPlace::Anywhere, u"υ", 0},
    {u'u', 0, ReadingPlace::Anywhere, u"ου", 0.6F},
    {u'u', 0, ReadingPlace::Anywhere, u"θ", 1.0F},
    {u'v', 0, ReadingPlace::Anywhere, u"β", 0},
    {u'v', 0, ReadingPlace::Anywhere, u"ω", 0.8F},
    {u'v', 0, ReadingPlace::AfterAOrE, u"υ", 0.1F},
    {u'w', 0, ReadingPlace::Anywhere, u"ω", 0},
    {u'w', 0, ReadingPlace::Anywhere, u"ο", 1.2F},
    {u'x', 0, ReadingPlace::Anywhere, u"χ", 0},
    {u'x', 0, ReadingPlace::Anywhere, u"ξ", 0.6F},
    {u'y', 0, ReadingPlace::Anywhere, u"υ", 0},
    {u'y', 0, ReadingPlace::Anywhere, u"ι", 0.7F},
    {u'y', 0, ReadingPlace::Anywhere, u"η", 0.7F},
    {u'y', 0, ReadingPlace::Anywhere, u"γ", 1.0F},
    {u'z', 0, ReadingPlace::Anywhere, u"ζ", 0},
    {u'3', 0, ReadingPlace::Anywhere, u"ξ", 0},
    {u'8', 0, ReadingPlace::Anywhere, u"θ", 0},
    // Greek letters typed without accents: each is itself, and a vowel
    // may be one that sounds alike.
    {u'α', 0, ReadingPlace::Anywhere, u"α", 0},
    {u'α', u'ι', ReadingPlace::Anywhere, u"ε", kGreekSlip},
    {u'β', 0, ReadingPlace::Anywhere, u"β", 0},
    {u'γ', 0, ReadingPlace::Anywhere, u"γ", 0},
    {u'δ', 0, ReadingPlace::Anywhere, u"δ", 0},
    {u'ε', 0, ReadingPlace::Anywhere, u"ε", 0},
    {u'ε', 0, ReadingPlace::Anywhere, u"αι", kGreekSlip},
    {u'ε', u'ι', ReadingPlace::Anywhere, u"ι", kGreekSlip},
    {u'ζ', 0, ReadingPlace::Anywhere, u"ζ", 0},
    {u'η', 0, ReadingPlace::Anywhere, u"η", 0},
    {u'η', 0, ReadingPlace::Anywhere, u"ι", kGreekSlip},
    {u'η', 0, ReadingPlace::Anywhere, u"υ", kGreekSlip},
    {u'θ', 0, ReadingPlace::Anywhere, u"θ", 0},
    {u'ι', 0, ReadingPlace::Anywhere, u"ι", 0},
    {u'ι', 0, ReadingPlace::Anywhere, u"η", kGreekSlip},
    {u'ι', 0, ReadingPlace::Anywhere, u"υ", kGreekSlip},
    {u'ι', 0, ReadingPlace::Anywhere, u"ει", kGreekSlip},
    {u'ι', 0, ReadingPlace::Anywhere, u"οι", kGreekSlip},
    {u'κ', 0, ReadingPlace::Anywhere, u"κ", 0},
    {u'λ', 0, ReadingPlace::Anywhere, u"λ", 0},
    {u'μ', 0, ReadingPlace::Anywhere, u"μ", 0},
    {u'ν', 0, ReadingPlace::Anywhere, u"ν", 0},
    {u'ξ', 0, ReadingPlace::Anywhere, u"ξ", 0},
    {u'ο', 0, ReadingPlace::Anywhere, u"ο", 0},
    {u'ο', 0, ReadingPlace::Anywhere, u"ω", kGreekSlip},
    {u'π', 0, ReadingPlace::Anywhere, u"π", 0},
    {u'ρ', 0, ReadingPlace::Anywhere, u"ρ", 0},
    {u'σ', 0, ReadingPlace::Anywhere, u"σ", 0},
    {u'τ', 0, ReadingPlace::Anywhere, u"τ", 0},
    {u'υ', 0, ReadingPlace::Anywhere, u"υ", 0},
    {u'υ', 0, ReadingPlace::Anywhere, u"ι", kGreekSlip},
    {u'υ', 0, ReadingPlace::Anywhere, u"η", kGreekSlip},
    {u'φ', 0, ReadingPlace::Anywhere, u"φ", 0},
    {u'χ', 0, ReadingPlace::Anywhere, u"χ", 0},
    {u'ψ', 0, ReadingPlace::Anywhere, u"ψ", 0},
    {u'ω', 0, ReadingPlace::Anywhere, u"ω", 0},
    {u'ω', 0, ReadingPlace::Anywhere, u"ο", kGreekSlip},
};

namespace typed_readings {

// Where each letter's rows are: ASCII by its code, the small Greek letters
// α to ω after them.
inline constexpr std::size_t kGreekFrom = 128;
inline constexpr std::size_t kSlots = kGreekFrom + (u'ω' - u'α' + 1);

constexpr std::size_t SlotOf(char16_t c) {
    if (c < kGreekFrom) {
        return c;
    }
    if (c >= u'α' && c <= u'ω') {
        return kGreekFrom + (c - u'α');
    }
    return kSlots;
}

struct Rows {
    std::uint8_t first = 0;
    std::uint8_t count = 0;
};

constexpr std::array<Rows, kSlots> MakeIndex() {
    std::array<Rows, kSlots> index{};
    for (std::size_t row = 0; row < std::size(kReadingRows); ++row) {
        Rows& rows = index[SlotOf(kReadingRows[row].letter)];
        if (rows.count == 0) {
            rows.first = static_cast<std::uint8_t>(row);
        }
        ++rows.count;
    }
    return index;
}
static_assert(std::size(kReadingRows) < 256);

inline constexpr std::array<Rows, kSlots> kIndex = MakeIndex();

// Whether the rows of each letter stand together, as the index needs.
constexpr bool RowsStandTogether() {
    for (std::size_t row = 0; row < std::size(kReadingRows); ++row) {
        const Rows rows = kIndex[SlotOf(kReadingRows[row].letter)];
        if (row < rows.first || row >= std::size_t{rows.first} + rows.count) {
            return false;
        }
    }
    return true;
}
static_assert(RowsStandTogether());

}  // namespace typed_readings

// The rows of letter `c` (small, see ReadingLower): none for a letter
// nobody types for Greek.
constexpr std::span<const ReadingRow> ReadingRowsOf(char16_t c) {
    const std::size_t slot = typed_readings::SlotOf(c);
    if (slot >= typed_readings::kSlots) {
        return {};
    }
    const typed_readings::Rows rows = typed_readings::kIndex[slot];
    return std::span<const ReadingRow>(kReadingRows).subspan(rows.first, rows.count);
}

// Every reading of the letters of `word` (small, see ReadingLower) from
// place `at` on; `add` is called with each, in the order of the table.
template <class Add>
void ForEachReading(std::u16string_view word, std::size_t at, Add&& add) {
    const char16_t next = at + 1 < word.size() ? word[at + 1] : u'\0';
    const char16_t before = at > 0 ? word[at - 1] : u'\0';
    for (const ReadingRow& row : ReadingRowsOf(word[at])) {
        if (row.next != 0 && row.next != next) {
            continue;
        }
        switch (row.place) {
            case ReadingPlace::Anywhere:
                break;
            case ReadingPlace::AfterAOrE:
                if (before != u'a' && before != u'e' && before != u'α' && before != u'ε') {
                    continue;
                }
                break;
            case ReadingPlace::AtWordEnd:
                if (at + 1 != word.size()) {
                    continue;
                }
                break;
            case ReadingPlace::NotAtWordEnd:
                if (at + 1 == word.size()) {
                    continue;
                }
                break;
        }
        add(Reading{static_cast<std::uint8_t>(row.next != 0 ? 2 : 1), row.greek, row.cost});
    }
}

// The likeliest letters of a typed word read one place at a time: the
// cheapest reading at each, the longer of two alike (th is θ, ou is ου).
// "kalhmera" -> "καλημερα", "eurethriakh" -> "ευρετηριακη".
std::u16string PrimaryReading(std::u16string_view word);

// The letters next to a Latin letter on the keyboard's row, and v and n,
// which look alike to the Greek eye (ν): 's' -> "ad", 'b' -> "vn".
std::u16string_view KeyboardNeighbours(char16_t c);

// Consonants that people type once where Greek doubles them.
inline constexpr std::u16string_view kDoubled = u"λμνρσπτκγ";

}  // namespace bivano::internal
