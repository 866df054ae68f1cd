// SPDX-License-Identifier: GPL-3.0-or-later
// The Greek letters' table: case, marks, base letter and final sigma, one
// row a kind of letter; and the code page and the schemes agreeing with it.
#include "core/encoding/greek_letters.h"

#include <gtest/gtest.h>

#include <string>

#include "core/encoding/cp1253.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;
using namespace bivano::internal;

struct LetterRow {
    const char* name;
    char16_t letter;
    char16_t lower;
    char16_t upper;
    char16_t plain;          // PlainLetter
    char16_t without_marks;  // WithoutMarks
    char16_t bare_capital;   // GreekCapitalWithoutTonos
    bool capital;
    bool tonos;
    bool diaeresis;
};

void PrintTo(const LetterRow& row, std::ostream* out) {
    *out << row.name;
}

class GreekLetters : public ::testing::TestWithParam<LetterRow> {};

TEST_P(GreekLetters, FormsAndParts) {
    const LetterRow& row = GetParam();
    EXPECT_TRUE(IsGreekLetter(row.letter));
    EXPECT_EQ(GreekLower(row.letter), row.lower);
    EXPECT_EQ(GreekUpper(row.letter), row.upper);
    EXPECT_EQ(PlainLetter(row.letter), row.plain);
    EXPECT_EQ(WithoutMarks(row.letter), row.without_marks);
    EXPECT_EQ(GreekCapitalWithoutTonos(row.letter), row.bare_capital);
    EXPECT_EQ(IsGreekUpper(row.letter), row.capital);
    EXPECT_EQ(HasTonos(row.letter), row.tonos);
    EXPECT_EQ(HasDiaeresis(row.letter), row.diaeresis);
    const auto parts = PartsOf(row.letter);
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->capital, row.capital);
    EXPECT_EQ(parts->tonos, row.tonos);
    EXPECT_EQ(parts->diaeresis, row.diaeresis);
    EXPECT_EQ(parts->final_sigma, row.letter == u'ς');
    EXPECT_EQ(parts->base, PlainLetter(GreekLower(row.letter)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GreekLetters,
    ::testing::Values(
        LetterRow{"Alpha", u'α', u'α', u'Α', u'α', u'α', u'Α', false, false, false},
        LetterRow{"CapitalAlpha", u'Α', u'α', u'Α', u'Α', u'Α', u'Α', true, false, false},
        LetterRow{"AlphaWithTonos", u'ά', u'ά', u'Ά', u'α', u'α', u'Α', false, true, false},
        LetterRow{"CapitalAlphaWithTonos", u'Ά', u'ά', u'Ά', u'Ά', u'Α', u'Ά', true, true, false},
        LetterRow{"OmegaWithTonos", u'ώ', u'ώ', u'Ώ', u'ω', u'ω', u'Ω', false, true, false},
        LetterRow{"IotaWithDiaeresis", u'ϊ', u'ϊ', u'Ϊ', u'ι', u'ι', u'Ϊ', false, false, true},
        LetterRow{"CapitalUpsilonWithDiaeresis", u'Ϋ', u'ϋ', u'Ϋ', u'Ϋ', u'Υ', u'Ϋ', true, false,
                  true},
        LetterRow{"IotaWithBoth", u'ΐ', u'ΐ', u'ΐ', u'ι', u'ι', u'Ϊ', false, true, true},
        LetterRow{"UpsilonWithBoth", u'ΰ', u'ΰ', u'ΰ', u'υ', u'υ', u'Ϋ', false, true, true},
        LetterRow{"FinalSigma", u'ς', u'ς', u'Σ', u'σ', u'ς', u'Σ', false, false, false},
        LetterRow{"CapitalSigma", u'Σ', u'σ', u'Σ', u'Σ', u'Σ', u'Σ', true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Other characters are no letters and pass through every helper unchanged.
TEST(GreekLettersTable, OtherCharactersAreNoLetters) {
    for (const char16_t c : std::u16string_view(u"aZ9 ;·\u0387\u038B\u038D\u03A2\u03CF\u03D1ἄϲ")) {
        EXPECT_FALSE(IsGreekLetter(c)) << std::hex << static_cast<int>(c);
        EXPECT_FALSE(IsGreekUpper(c));
        EXPECT_FALSE(PartsOf(c).has_value());
        EXPECT_EQ(GreekLower(c), c);
        EXPECT_EQ(GreekUpper(c), c);
        EXPECT_EQ(PlainLetter(c), c);
        EXPECT_EQ(WithoutMarks(c), c);
        EXPECT_EQ(GreekCapitalWithoutTonos(c), c);
    }
}

// Across the whole table: case goes there and back, and the letters are
// exactly the Greek letters of Windows-1253.
TEST(GreekLettersTable, CaseRoundTripsAndTheCodePageAgrees) {
    int letters = 0;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const auto c = static_cast<char16_t>(u);
        if (!IsGreekLetter(c)) {
            continue;
        }
        ++letters;
        EXPECT_TRUE(Cp1253Code(c).has_value()) << std::hex << static_cast<int>(c);
        if (IsGreekUpper(c)) {
            EXPECT_EQ(GreekUpper(GreekLower(c)), c);
        } else if (c != u'ς' && c != u'ΐ' && c != u'ΰ') {
            EXPECT_EQ(GreekLower(GreekUpper(c)), c);
            EXPECT_NE(GreekUpper(c), c);
        }
        EXPECT_EQ(SoundClass(c), SoundClass(GreekLower(c)));
    }
    EXPECT_EQ(letters, 2 * 24 + 1 + 2 * 7 + 2 * 2 + 2);
}

TEST(GreekLettersTable, VowelsAndTheirTonos) {
    const struct {
        char16_t letter;
        bool vowel;
        char16_t with_tonos;
    } rows[] = {
        {u'α', true, u'ά'}, {u'ω', true, u'ώ'},  {u'ι', true, u'ί'},  {u'υ', true, u'ύ'},
        {u'ά', true, u'ά'}, {u'ϊ', true, u'ϊ'},  {u'ΰ', true, u'ΰ'},  {u'Α', true, u'Α'},
        {u'Ώ', true, u'Ώ'}, {u'β', false, u'β'}, {u'ς', false, u'ς'}, {u'a', false, u'a'},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsGreekVowel(row.letter), row.vowel) << U8(std::u16string(1, row.letter));
        EXPECT_EQ(WithTonos(row.letter), row.with_tonos) << U8(std::u16string(1, row.letter));
    }
}

TEST(GreekLettersTable, SoundClassAndStress) {
    EXPECT_EQ(SoundClass(u'Ή'), u'ι');
    EXPECT_EQ(SoundClass(u'ϋ'), u'ι');
    EXPECT_EQ(SoundClass(u'ώ'), u'ο');
    EXPECT_EQ(SoundClass(u'ς'), u'σ');
    const struct {
        const char* word;
        int rank;
    } rows[] = {
        {"θάλασσα", 2}, {"παιδί", 1},    {"του", 3},    {"καΐκι", 0}, {"είναι", 0},
        {"αυτό", 1},    {"άνθρωποι", 2}, {"προϊόν", 1}, {"", 3},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(StressRank(U16(row.word)), row.rank) << row.word;
    }
}

}  // namespace
}  // namespace bivano
