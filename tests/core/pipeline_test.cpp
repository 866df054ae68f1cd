// SPDX-License-Identifier: GPL-3.0-or-later
// The front door: bytes through decoding, conversion, spelling and encoding.
#include "core/pipeline.h"

#include <gtest/gtest.h>

#include <random>

#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "core/lativo/result_tail.h"
#include "recording_progress.h"
#include "run_invariants.h"
#include "small_models.h"

namespace bivano {
namespace {

using testing::RecordingProgress;
using testing::SmallModelSpeller;
using testing::U16;
using testing::U8;

// Runs `bytes` through a pipeline in pieces of `piece` bytes.
std::string Through(const PipelineSettings& settings, std::string_view bytes,
                    std::size_t piece = 1 << 20, bool* encodable = nullptr) {
    Pipeline pipeline(settings);
    std::string out;
    bool ok = true;
    for (std::size_t at = 0; at < bytes.size() && ok; at += piece) {
        ok = pipeline.Run(bytes.substr(at, piece), out).ok();
    }
    ok = ok && pipeline.Finish(out).ok();
    if (encodable != nullptr) {
        *encodable = ok;
    }
    return out;
}

PipelineSettings Settings(Direction direction, const GreekSpeller* speller = nullptr) {
    PipelineSettings settings;
    settings.direction = direction;
    settings.speller = speller;
    return settings;
}

GreekSpeller SmallSpeller() {
    return SmallModelSpeller({u"καλημέρα", u"τι", u"κάνεις", u"θάλασσα"});
}

struct Row {
    const char* name;
    Direction direction;
    std::string in;
    std::string out;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class PipelineRows : public ::testing::TestWithParam<Row> {};

TEST_P(PipelineRows, GiveTheirBytesInEveryPieceSize) {
    const GreekSpeller speller = SmallSpeller();
    const PipelineSettings settings = Settings(GetParam().direction, &speller);
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1000}}) {
        EXPECT_EQ(Through(settings, GetParam().in, piece), GetParam().out) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, PipelineRows,
    ::testing::Values(
        Row{"Latin", Direction::Latin, "θάλασσα, ψυχή\r\n", "8alassa, cyxh\r\n"},
        // A speller given to Latin changes nothing: Latin letters have no Greek spelling.
        Row{"LatinIgnoresTheSpeller", Direction::Latin, "καλημέρα", "kalhmera"},
        Row{"GreekSpelled", Direction::Greek, "Kalimera kaneis? *kalimera*",
            "Καλημέρα κάνεις; kalimera"},
        Row{"AccentsOnly", Direction::AccentsOnly, "καλιμερα θαλασα", "καλημέρα θάλασσα"},
        // Addresses and Latin acronyms stay as typed; Greek in capitals does not.
        Row{"AddressesAndAcronymsStay", Direction::Greek,
            "des http://a.b/kalimera LVM? KALIMERA (USB2) kalimera nikos@x.gr. kaneis?",
            "δες http://a.b/kalimera LVM? ΚΑΛΗΜΕΡΑ (USB2) καλημέρα nikos@x.gr. κάνεις;"},
        Row{"NotAddresses", Direction::Greek, "a@b kaneis. www A", "α@μπ κάνεις. ωωω Α"},
        Row{"Windows1253In", Direction::Latin, "\xE8\xDC", "8a"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pipeline, CreditEndsTheTextOnce) {
    PipelineSettings settings = Settings(Direction::Greek);
    settings.credit = u"credit";
    EXPECT_EQ(Through(settings, "ab", 1), U8(u"αβ" + std::u16string(kTailBreaks) + u"credit"));
}

TEST(Pipeline, WindowsOutputStopsAtTheFirstCharacterItLacks) {
    PipelineSettings settings = Settings(Direction::Latin);
    settings.to = Encoding::Cp1253;
    bool encodable = true;
    const std::string out = Through(settings, "ab\nc\xD0\x96", 1 << 20, &encodable);
    EXPECT_FALSE(encodable);
    EXPECT_EQ(out, "ab\nc");
    Pipeline pipeline(settings);
    std::string bytes;
    // The bytes wait while their encoding is judged; the end tells.
    ASSERT_TRUE(pipeline.Run("x\n\xD0\x96", bytes));
    const Status finished = pipeline.Finish(bytes);
    ASSERT_FALSE(finished);
    EXPECT_EQ(finished.failure().cause, Cause::NotEncodable);
    EXPECT_EQ(finished.failure().place.line, 2u);
    EXPECT_EQ(finished.failure().place.column, 1u);
    EXPECT_EQ(finished.failure().code, U'Ж');
}

// The window's spelled run and the command line's give one and the same
// text, the window's through the receiver, once, as a run must.
TEST(Pipeline, SpelledRunMatchesTheStreamAndKeepsTheProtocol) {
    const GreekSpeller speller = SmallSpeller();
    std::mt19937 random(7);
    const char* words[] = {"kalimera ",   "ti ",          "kaneis? ",
                           "*kalimera* ", "thalassa\r\n", "8alassa "};
    for (const std::size_t length : {std::size_t{0}, std::size_t{30}, std::size_t{13000}}) {
        std::string text;
        while (text.size() < length) {
            text += words[random() % std::size(words)];
        }
        const std::u16string credit = u"credit";
        PipelineSettings settings = Settings(Direction::Greek, &speller);
        settings.credit = credit;
        settings.chat = true;  // as the window's mode has it
        RecordingProgress progress;
        const std::u16string window = ConvertWithProgress(settings, U16(text), progress);
        EXPECT_EQ(testing::RunInvariantBreach(progress, window, U16(text).size(), credit),
                  std::nullopt);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            EXPECT_EQ(U16(Through(settings, text, piece)), window) << "pieces of " << piece;
        }
        EXPECT_TRUE(window.ends_with(std::u16string(kTailBreaks) + credit));
    }
}

TEST(Pipeline, StreamReportsWhereVerbatimGroupsLanded) {
    GreekStream stream;
    std::u16string out = u"xy";
    stream.Convert(u"ab *cd* e*", out);
    std::vector<TextRange> groups(stream.VerbatimGroups().begin(), stream.VerbatimGroups().end());
    stream.Convert(u"fgh* i", out);
    groups.insert(groups.end(), stream.VerbatimGroups().begin(), stream.VerbatimGroups().end());
    stream.Finish(out);
    groups.insert(groups.end(), stream.VerbatimGroups().begin(), stream.VerbatimGroups().end());
    EXPECT_EQ(out, u"xyαβ cd εfgh ι");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(out.substr(groups[0].begin, groups[0].end - groups[0].begin), u"cd");
    EXPECT_EQ(out.substr(groups[1].begin, groups[1].end - groups[1].begin), u"fgh");
}

}  // namespace
}  // namespace bivano
