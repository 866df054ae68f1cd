// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random texts through both conversions: whatever the text, every run
// keeps its reporting promises.
#include <gtest/gtest.h>

#include <random>

#include "all_options.h"
#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "run_invariants.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::u16string RandomText(std::mt19937& random, std::size_t length) {
    static const std::u16string pieces[] = {u"α",          u"ώ",
                                            u"Ξ",          u"θ",
                                            u"ψ",          u"ς",
                                            u"Ϊ",          u"Ϋ",
                                            u"ΐ",          u"th",
                                            u"ps",         u"ks",
                                            u"TH",         u"a",
                                            u"s",          u"u",
                                            u"o",          u"e",
                                            u"Q",          u"3",
                                            u"8",          u"1",
                                            u"*",          u"**",
                                            u" ",          u".",
                                            u"?",          u"\r\n",
                                            u"\n",         u"\t",
                                            u"Ж",          u"€",
                                            u"\U0001F600", std::u16string(1, char16_t(0xD800)),
                                            u"\uF8FA",     std::u16string(1, u'\0'),
                                            u"\uFFFF",     u"[",
                                            u"h"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::u16string text;
    while (text.size() < length) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(RandomText, BothConversionsKeepTheirPromises) {
    std::mt19937 random(20261208);
    const auto all_options = AllOptions();
    for (int round = 0; round < 300; ++round) {
        const std::size_t length = round % 50 == 0 ? 5000 : random() % 120;
        const std::u16string source = RandomText(random, length);
        const std::u16string credit = round % 2 ? u"credit" : u"";
        {
            RecordingProgress progress;
            const std::u16string result = ConvertToGreek(source, credit, progress);
            const auto breach = RunInvariantBreach(progress, result, source.size(), credit);
            ASSERT_FALSE(breach) << "Greek, round " << round << ": " << *breach;
        }
        {
            const ConversionOptions& options = all_options[round % all_options.size()];
            RecordingProgress progress;
            const std::u16string result = ConvertToLatin(source, options, credit, progress);
            const auto breach = RunInvariantBreach(progress, result, source.size(), credit);
            ASSERT_FALSE(breach) << "Latin, round " << round << ": " << *breach;
        }
    }
}

TEST(RandomText, NothingCarriesFromOneRunToTheNext) {
    // Nothing carries from one run to the next: the same input twice gives
    // the same output, whatever ran in between.
    std::mt19937 random(7);
    const std::u16string first = RandomText(random, 400);
    const std::u16string second = RandomText(random, 400);
    SilentProgress progress;
    for (const ConversionOptions& options : AllOptions()) {
        const std::u16string latin = ConvertToLatin(first, options, u"", progress);
        ConvertToLatin(second, options, u"", progress);
        ConvertToGreek(second, u"", progress);
        EXPECT_EQ(ConvertToLatin(first, options, u"", progress), latin);
    }
    const std::u16string greek = ConvertToGreek(first, u"", progress);
    ConvertToGreek(second, u"", progress);
    EXPECT_EQ(ConvertToGreek(first, u"", progress), greek);
}

TEST(RandomText, LatinResultHoldsNoGreekLetters) {
    std::mt19937 random(99);
    const std::u16string source = RandomText(random, 3000);
    for (const ConversionOptions& options : AllOptions()) {
        SilentProgress progress;
        const std::u16string result = ConvertToLatin(source, options, u"", progress);
        for (char16_t c : result) {
            ASSERT_FALSE(c >= u'\u0386' && c <= u'\u03CE' && c != u'\u0387')
                << "Greek letter " << int(c) << " left in a Latin result";
        }
    }
}

}  // namespace
}  // namespace bivano
