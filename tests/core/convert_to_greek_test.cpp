// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/convert_to_greek.h"

#include "core/lativo/verbatim.h"

#include <gtest/gtest.h>

#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::u16string Greek(std::u16string_view source) {
    SilentProgress progress;
    return ConvertToGreek(source, u"", progress);
}

struct Sample {
    const char* name;
    const char* source;
    const char* expected;
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.name;
}

class GreekSamples : public ::testing::TestWithParam<Sample> {};

TEST_P(GreekSamples, ConvertsAsDesigned) {
    const Sample& sample = GetParam();
    SilentProgress progress;
    const std::u16string result = ConvertToGreek(U16(sample.source), u"CREDIT", progress);
    EXPECT_EQ(U8(result), U8(U16(sample.expected) + std::u16string(kTail) + u"CREDIT"));
}

INSTANTIATE_TEST_SUITE_P(
    Words, GreekSamples,
    ::testing::Values(
        Sample{"Thalassa", "thalassa", "θαλασσα"}, Sample{"Ths", "ths", "της"},
        Sample{"Psomi", "psomi", "ψομι"}, Sample{"Ksero", "ksero", "ξερο"},
        Sample{"ThreeEro", "3ero", "ξερο"}, Sample{"EightAlassa", "8alassa", "θαλασσα"},
        Sample{"Kalimera", "Kalimera", "Καλιμερα"}, Sample{"PwsEisai", "Pws eisai?", "Πως εισαι?"},
        Sample{"Ou", "ou", "ου"}, Sample{"Eu", "eu", "ευ"}, Sample{"Au", "au", "αθ"},
        Sample{"Auto", "auto", "αθτο"}, Sample{"CapitalOU", "OU", "Ου"}, Sample{"THA", "THA", "θΑ"},
        Sample{"Tha", "Tha", "θα"}, Sample{"Thu", "thu", "τηθ"}, Sample{"Thw", "thw", "θω"},
        Sample{"ThAtEnd", "th", "τη"}, Sample{"ThBeforeBlank", "th a", "τη α"},
        Sample{"OptionLetters", "cwjvhuy", "ψωξωηθυ"},
        Sample{"CapitalOptionLetters", "CWJVHUY", "ΨΩΞΩΗΘΥ"},
        Sample{"PsKsEitherCase", "PS Ps pS KS kS", "ψ ψ ψ ξ ξ"}, Sample{"Q", "QqA", "  Α"},
        Sample{"WholeAlphabet", "abdefgiklmnorxyz", "αβδεφγικλμνορχυζ"},
        Sample{"GreekAndDigitsUnchanged", "αβγ 12 ;:,\r\n", "αβγ 12 ;:,\r\n"},
        Sample{"DigitAfterLetter", "a3", "α3"}, Sample{"DigitBetweenLetters", "a3b", "αξβ"},
        Sample{"Equation", "x=3y", "χ=ξυ"}, Sample{"DigitAfterLineBreak", "a\r\n3b", "α\r\n3β"},
        Sample{"DigitAfterDigit", "13a 83", "13α 83"}, Sample{"DigitBeforeBlank", "a 3 b", "α 3 β"},
        Sample{"DigitAfterTab", "\t8a", "\t8α"},
        Sample{"FinalSigma", "s. s1 s s\r\nas", "ς. ς1 ς ς\r\nας"},
        Sample{"SigmaBeforeLetter", "sA sα", "σΑ σα"}, Sample{"CapitalSigmaStays", "S", "Σ"},
        Sample{"SigmaBeforeOutsideCodePage", "sЖ s€", "ςЖ σ€"},
        Sample{"Verbatim", "*word* ok", "word οκ"}, Sample{"VerbatimOneCharacter", "*a*", "*α*"},
        Sample{"VerbatimEmpty", "**a", "**α"}, Sample{"VerbatimTwo", "*ab*c", "abψ"},
        Sample{"VerbatimNineteen", "*abcdefghijklmnopqrs*t", "abcdefghijklmnopqrsτ"},
        Sample{"VerbatimTwenty", "*abcdefghijklmnopqrst*", "*αβψδεφγηιξκλμνοπ ρστ*"},
        Sample{"VerbatimAtEnd", "a*xyz*", "αxyz"},
        Sample{"VerbatimBackToBack", "*ab**cd*", "ab*ψδ*"},
        Sample{"DigitAfterVerbatim", "*ab*3c", "ab3ψ"}, Sample{"LoneAsterisk", "a*b", "α*β"},
        Sample{"VerbatimKeepsAsterisksInside", "*a b*s", "a bς"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertToGreek, EmptySourceGivesTailOnly) {
    RecordingProgress progress;
    const std::u16string result = ConvertToGreek(u"", u"credit", progress);
    EXPECT_EQ(result, std::u16string(kTail) + u"credit");
    const std::vector<Call> expected = {Clear(), Append(result), Position(0), WindowRepaint()};
    EXPECT_EQ(progress.calls, expected);
}

TEST(ConvertToGreek, ReportsEachPass) {
    RecordingProgress progress;
    ConvertToGreek(u"tha", u"c", progress);
    const std::vector<Call> expected = {Clear(),
                                        Maximum(3),
                                        Position(1),
                                        Append(u"θ"),
                                        Position(3),
                                        Append(u"α"),
                                        Append(std::u16string(kTail) + u"c"),
                                        Position(0),
                                        WindowRepaint()};
    EXPECT_EQ(progress.calls, expected);
}

TEST(ConvertToGreek, VerbatimGroupIsOnePass) {
    RecordingProgress progress;
    ConvertToGreek(u"*ab*c*de*", u"", progress);
    const std::vector<Call> expected = {
        Clear(),      Maximum(9),     Position(1),   Append(u"ab"),
        Append(u"ψ"), Position(6),    Append(u"de"), Append(std::u16string(kTail)),
        Position(0),  WindowRepaint()};
    EXPECT_EQ(progress.calls, expected);
}

// The one rule for groups between asterisks, which the conversion, the
// reader and the reader's stream (cutting between pieces) share.
TEST(ConvertToGreek, VerbatimGroupAfterAnAsterisk) {
    const struct {
        const char16_t* after;
        std::size_t length;
        bool undecided;
    } rows[] = {
        {u"ab*c", 2, false},
        {u"a*", 0, false},  // too short: an ordinary asterisk
        {u"*", 0, false},
        {u"abcdefghijklmnopqrs*", 19, false},
        {u"abcdefghijklmnopqrst*", 0, false},  // too long
        {u"abcdefghijklmnopqrs", 0, true},     // the closing one may come
        {u"abcdefghijklmnopqrst", 0, false},
        {u"", 0, true},
        {u"a b*s", 3, false},
    };
    for (const auto& row : rows) {
        const VerbatimGroup group = VerbatimGroupAfter(row.after);
        EXPECT_EQ(group.length, row.length) << U8(row.after);
        EXPECT_EQ(group.undecided, row.undecided) << U8(row.after);
    }
}

// Positions of the passes after which a repaint of the given kind follows.
std::vector<std::int32_t> RepaintPasses(const RecordingProgress& progress, Kind kind) {
    std::vector<std::int32_t> passes;
    std::int32_t pass = 0;
    for (const Call& call : progress.calls) {
        if (call.kind == Kind::SetPosition && call.value != 0) {
            ++pass;
        }
        if (call.kind == kind) {
            passes.push_back(pass);
        }
    }
    return passes;
}

TEST(ConvertToGreek, ResultRepaintsFollowEvery700CounterSteps) {
    RecordingProgress progress;
    ConvertToGreek(std::u16string(2500, u'a'), u"", progress);
    EXPECT_EQ(RepaintPasses(progress, Kind::RepaintResult),
              (std::vector<std::int32_t>{699, 1399, 2099}));
    EXPECT_TRUE(RepaintPasses(progress, Kind::RepaintProgress).empty());
}

TEST(ConvertToGreek, ProgressRepaintNeedsPositionAtTenTimesCounter) {
    // Each "ps" is one pass over two characters: pass n stands at the odd
    // position 2n - 1 with the counter at n, so the test never holds.
    RecordingProgress pairs;
    std::u16string source;
    for (int i = 0; i < 10; ++i) {
        source += u"ps";
    }
    ConvertToGreek(source, u"", pairs);
    EXPECT_TRUE(RepaintPasses(pairs, Kind::RepaintProgress).empty());

    // A group of 17 moves the position from 1 to 20 while the counter steps
    // to 2: the second test of that pass holds.
    RecordingProgress grouped;
    ConvertToGreek(u"*abcdefghijklmnopq*x", u"", grouped);
    EXPECT_EQ(RepaintPasses(grouped, Kind::RepaintProgress), (std::vector<std::int32_t>{1}));
}

TEST(ConvertToGreek, SameResultUnderAnyLetterCase) {
    // The rules' outputs are small letters whatever the input case.
    EXPECT_EQ(Greek(u"TH"), u"ΤΗ" + std::u16string(kTail));
    EXPECT_EQ(Greek(u"THE"), u"θΕ" + std::u16string(kTail));
}

}  // namespace
}  // namespace bivano
