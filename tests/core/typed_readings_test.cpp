// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of typed letters: the table, what it gives at a place of a
// word, and the likeliest letters of a word read one place at a time.
#include "core/spelling/typed_readings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;
using internal::ForEachReading;
using internal::Reading;
using internal::ReadingRowsOf;

// The readings at a place, as "greek/length/cost" in the order tried.
std::vector<std::string> ReadingsAt(std::u16string_view word, std::size_t at) {
    std::vector<std::string> readings;
    ForEachReading(word, at, [&](const Reading& reading) {
        readings.push_back(U8(reading.greek) + "/" + std::to_string(reading.length) + "/" +
                           std::to_string(static_cast<int>(reading.cost * 10 + 0.5F)));
    });
    return readings;
}

// Every letter people type for Greek reads as some Greek letter; a Greek
// letter typed first reads as itself.
TEST(TypedReadings, EveryLetterHasAReading) {
    for (char16_t c = u'a'; c <= u'z'; ++c) {
        EXPECT_FALSE(ReadingsAt(std::u16string(1, c), 0).empty()) << static_cast<char>(c);
    }
    EXPECT_EQ(ReadingsAt(u"3", 0), std::vector<std::string>{"ξ/1/0"});
    EXPECT_EQ(ReadingsAt(u"8", 0), std::vector<std::string>{"θ/1/0"});
    for (char16_t c = u'α'; c <= u'ω'; ++c) {
        if (c == u'ς') {
            continue;  // read as σ (ReadingLower)
        }
        const auto rows = ReadingRowsOf(c);
        ASSERT_FALSE(rows.empty()) << U8(std::u16string(1, c));
        EXPECT_EQ(rows.front().greek, std::u16string_view(&c, 1));
        EXPECT_EQ(rows.front().cost, 0);
    }
    // No reading for what nobody types for Greek.
    for (const char16_t c : std::u16string_view(u"1,.-ς'Α")) {
        EXPECT_TRUE(ReadingRowsOf(c).empty()) << U8(std::u16string(1, c));
    }
}

// Each reading is a Greek letter or two, of plain small letters, and no
// reading of a letter is given twice.
TEST(TypedReadings, RowsAreGreekLettersOnce) {
    for (const internal::ReadingRow& row : internal::kReadingRows) {
        EXPECT_TRUE(row.greek.size() == 1 || row.greek.size() == 2);
        for (const char16_t letter : row.greek) {
            EXPECT_EQ(internal::PlainLetter(letter), letter);
            EXPECT_TRUE(internal::IsGreekLetter(letter) && !internal::IsGreekUpper(letter));
        }
        EXPECT_GE(row.cost, 0);
        int same = 0;
        for (const internal::ReadingRow& other : internal::kReadingRows) {
            same += other.letter == row.letter && other.next == row.next &&
                    other.place == row.place && other.greek == row.greek;
        }
        EXPECT_EQ(same, 1) << U8(std::u16string(1, row.letter)) << " " << U8(row.greek);
    }
}

struct PlaceRow {
    const char* name;
    const char16_t* word;
    std::size_t at;
    std::vector<std::string> readings;
};

void PrintTo(const PlaceRow& row, std::ostream* out) {
    *out << row.name;
}

class ReadingsAtAPlace : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(ReadingsAtAPlace, InTheOrderTried) {
    EXPECT_EQ(ReadingsAt(GetParam().word, GetParam().at), GetParam().readings);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadingsAtAPlace,
    ::testing::Values(
        PlaceRow{"ThAsTheta", u"thalassa", 0, {"τ/1/0", "θ/2/0"}},
        PlaceRow{"TAlone", u"to", 0, {"τ/1/0"}},
        PlaceRow{"OAtTheEnd", u"to", 1, {"ο/1/0", "ω/1/1"}},
        PlaceRow{"OInside", u"ola", 0, {"ο/1/0", "ω/1/3"}},
        PlaceRow{"OuAsOneLetter", u"pou", 1, {"ο/1/0", "ω/1/3", "ου/2/0"}},
        PlaceRow{"FAfterA", u"afto", 1, {"φ/1/0", "υ/1/2"}},
        PlaceRow{"FFirst", u"fws", 0, {"φ/1/0"}},
        PlaceRow{"VAfterE", u"evxh", 1, {"β/1/0", "ω/1/8", "υ/1/1"}},
        PlaceRow{"DoubleG", u"aggelia", 1, {"γ/1/0", "γκ/1/5", "γγ/2/0", "γκ/2/4"}},
        PlaceRow{"KsAsXi", u"ksero", 0, {"κ/1/0", "ξ/2/0"}},
        PlaceRow{"IForEveryI", u"i", 0, {"ι/1/0", "η/1/5", "υ/1/5", "ει/1/5", "οι/1/6"}},
        PlaceRow{"GreekIota", u"ι", 0, {"ι/1/0", "η/1/15", "υ/1/15", "ει/1/15", "οι/1/15"}},
        PlaceRow{"GreekEpsilonIota", u"ει", 0, {"ε/1/0", "αι/1/15", "ι/2/15"}},
        PlaceRow{"GreekConsonant", u"λ", 0, {"λ/1/0"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The likeliest letters, for a word no dictionary word reads from.
TEST(TypedReadings, PrimaryReading) {
    const struct {
        const char16_t* typed;
        const char* read;
    } rows[] = {
        {u"kalhmera", "καλημερα"},
        {u"eurethriakh", "ευρετηριακη"},            // τη before a consonant
        {u"thalassa", "θαλασσα"},                   // θ before a vowel
        {u"aytodiagnvstikoy", "αυτοδιαγνωστικου"},  // v before a consonant is ω
        {u"avra", "αβρα"},
        {u"psaxnw", "ψαχνω"},
        {u"qz", "κζ"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(U8(internal::PrimaryReading(row.typed)), row.read) << U8(row.typed);
    }
}

TEST(TypedReadings, KeyboardNeighbours) {
    EXPECT_EQ(internal::KeyboardNeighbours(u'q'), u"w");
    EXPECT_EQ(internal::KeyboardNeighbours(u's'), u"ad");
    EXPECT_EQ(internal::KeyboardNeighbours(u'l'), u"k");
    EXPECT_EQ(internal::KeyboardNeighbours(u'b'), u"vn");  // v and n look alike
    EXPECT_EQ(internal::KeyboardNeighbours(u'n'), u"bmv");
    EXPECT_EQ(internal::KeyboardNeighbours(u'3'), u"");
}

}  // namespace
}  // namespace bivano
