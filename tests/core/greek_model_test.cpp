// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's model: made by the builder from small word lists, read back
// through GreekModel, its file's layout, and its refusal of bytes that are
// no model of this version.
#include "core/spelling/greek_model.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "core/spelling/greek_model_format.h"
#include "core/spelling/speller.h"
#include "io/greek_model_file.h"
#include "model_builder/greek_model_builder.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::string Read(const GreekSpeller& speller, std::string_view text) {
    ReadingStream stream(speller, ReadingStream::Source::Latin);
    std::u16string out;
    stream.Read(U16(std::string(text)), out);
    stream.Finish(out);
    return U8(out);
}

std::string LettersOf(const GreekModel& model, const GreekModel::Word& word) {
    return U8(std::u16string(model.Letters(word)));
}

// What stands beside phrases is counted under edges that no word has; a
// mark that is no edge is no word either.
TEST(GreekModel, CountsWhatStandsBesidePhrases) {
    using Beside = GreekModel::Beside;
    builder::ModelSource source;
    source.words = {u"ή", u"η"};
    source.frequencies = {{u"ή", 40}, {u"η", 90}};
    source.pairs = {{{u"<a", u"ή"}, 7},   {{u"ή", u"0>"}, 5},   {{u"<.", u"η"}, 30},
                    {{u"<a", u"*"}, 100}, {{u"*", u"0>"}, 60},  {{u"<x", u"ή"}, 9},
                    {{u"ή", u"a"}, 9},    {{u"<a", u"κάτι"}, 9}};
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    const std::uint32_t either = model->NumberOf(model->WordsOf(u"η")[0]);
    const std::uint32_t or_word = model->WordsOf(u"η")[0].Stress() == 1 ? either : either ^ 1;
    const std::uint32_t article = or_word ^ 1;
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Latin, true, or_word), 7u);
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Digit, false, or_word), 5u);
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Digit, true, or_word), 0u);  // the other side
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Sentence, true, article), 30u);
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Latin, true, article), 0u);
    EXPECT_EQ(model->PhraseEdgeTotal(Beside::Latin, true), 100u);
    EXPECT_EQ(model->PhraseEdgeTotal(Beside::Digit, false), 60u);
    EXPECT_EQ(model->PhraseEdgeTotal(Beside::Comma, true), 0u);
    EXPECT_EQ(model->PhraseEdgeCount(Beside::Latin, true, 1000), 0u);  // no such word
}

// A name only the counts have (a place, a translator) is never read for a
// typed word, but lends its ending; of the words sharing the longest
// ending, the commonest lends it.
TEST(GreekModel, NamesOfTheCountsOnlyLendTheirEndings) {
    builder::ModelSource source;
    source.words = {u"μπύρα"};
    source.frequencies = {{u"Μπέιρα", 40},
                          {u"Τρυφωνίδης", 300},
                          {u"Γανυμήδης", 3},
                          {u"Κοσμίδης", 20},
                          {u"καλίδης", 2}};
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->WordsOf(u"μπειρα").empty());
    EXPECT_TRUE(model->WordsOf(u"τρυφωνιδησ").empty());
    EXPECT_EQ(model->WordsOf(u"καλιδησ").size(), 1u);  // written small: a word
    const auto [known, length] = model->LongestEnding(u"διαμαντιδησ");
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(U8(std::u16string(model->Letters(*known))), "τρυφωνίδης");
    EXPECT_EQ(length, 4u);
}

// Words of the counts fill in for terms the dictionary lacks, not for
// slips that sound like one of its words.
TEST(GreekModel, CountedSlipsAreNoWords) {
    builder::ModelSource source;
    source.words = {u"τρέχω"};
    source.frequencies = {{u"τρέχο", 50}, {u"τρεχω", 9}, {u"συμβολοσειρά", 30}};
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->WordsOf(u"τρεχο").empty());
    ASSERT_EQ(model->WordsOf(u"τρεχω").size(), 1u);  // the dictionary's, accent and all
    EXPECT_EQ(U8(std::u16string(model->Letters(model->WordsOf(u"τρεχω")[0]))), "τρέχω");
    EXPECT_EQ(model->WordsOf(u"συμβολοσειρα").size(), 1u);
}

// A model that is cut short, damaged, of another kind or not there gives
// no speller and says why, never one that reads words wrong.
TEST(GreekModel, RefusesBytesThatAreNoModel) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"τι"};
    const std::vector<std::byte> good = builder::BuildModel(source);
    const auto open = [](std::vector<std::byte> bytes) {
        auto owned = std::make_shared<std::vector<std::byte>>(std::move(bytes));
        GreekSpeller::Problem problem = GreekSpeller::Problem::None;
        const bool opened = GreekSpeller::FromModelBytes(*owned, owned, &problem) != nullptr;
        return std::make_pair(opened, problem);
    };
    EXPECT_EQ(open(good), std::make_pair(true, GreekSpeller::Problem::None));
    std::vector<std::byte> cut(good.begin(),
                               good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    std::vector<std::byte> damaged = good;
    damaged[good.size() - 3] ^= std::byte{0x40};
    std::vector<std::byte> foreign = good;
    std::memcpy(foreign.data(), "PK\3\4", 4);
    for (const auto& bytes : {std::vector<std::byte>{}, cut, damaged, foreign,
                              std::vector<std::byte>(good.begin(), good.begin() + 40)}) {
        EXPECT_EQ(open(bytes), std::make_pair(false, GreekSpeller::Problem::NotAModel));
    }
    GreekSpeller::Problem problem = GreekSpeller::Problem::None;
    EXPECT_EQ(io::OpenGreekModel(::testing::TempDir(), &problem), nullptr);  // a folder
    EXPECT_EQ(problem, GreekSpeller::Problem::Unreadable);
    EXPECT_EQ(io::OpenGreekModel(::testing::TempDir() + "/none.model", &problem), nullptr);
    EXPECT_EQ(problem, GreekSpeller::Problem::Unreadable);
    // A FIFO in a model's place is refused at once, never waited on.
    const std::string fifo = ::testing::TempDir() + "/fifo.model";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(io::OpenGreekModel(fifo, &problem), nullptr);
    EXPECT_EQ(problem, GreekSpeller::Problem::Unreadable);
    ::unlink(fifo.c_str());
    // A model written to a file and mapped back reads as the bytes did.
    const std::string file = ::testing::TempDir() + "/small.model";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(good.data()),
                  static_cast<std::streamsize>(good.size()));
    }
    const auto mapped = io::OpenGreekModel(file, &problem);
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(U8(mapped->Spell(u"καλιμερα τι")), "καλημέρα τι");
    ::setenv("BIVANO_MODEL", file.c_str(), 1);
    EXPECT_EQ(io::DefaultGreekModelPath(), file);
    ::unsetenv("BIVANO_MODEL");
    ::unlink(file.c_str());
}

// The header is covered too: whichever bit of it is flipped, the model is
// refused rather than read with other sizes or places (other words, or
// none, without a word of warning).
TEST(GreekModel, EveryBitFlipInTheHeaderIsRefused) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"θάλασσα", u"τι"};
    source.frequencies = {{u"τι", 4}};
    source.everyday = {{u"καλημέρα", 7}};
    source.english = {"word"};
    const std::vector<std::byte> good = builder::BuildModel(source);
    ASSERT_NE(GreekModel::FromBytes(good, nullptr), nullptr);
    std::size_t accepted = 0;
    for (std::size_t bit = 0; bit < 8 * GreekModel::kHeaderBytes; ++bit) {
        std::vector<std::byte> bytes = good;
        bytes[bit / 8] ^= static_cast<std::byte>(1U << (bit % 8));
        GreekModel::Problem problem = GreekModel::Problem::None;
        if (GreekModel::FromBytes(bytes, nullptr, &problem) != nullptr) {
            ++accepted;
            ADD_FAILURE() << "bit " << bit << " of the header flipped, and the model was read";
        } else {
            EXPECT_NE(problem, GreekModel::Problem::None);
        }
    }
    EXPECT_EQ(accepted, 0u);
    // Places that disagree with the file are refused even under a checksum
    // made to match: the offsets of the sections, at 48 + 16 k.
    for (std::size_t section = 0; section < model_format::kSectionCount; ++section) {
        for (std::size_t bit = 0; bit < 64; ++bit) {
            std::vector<std::byte> bytes = good;
            bytes[48 + 16 * section + bit / 8] ^= static_cast<std::byte>(1U << (bit % 8));
            builder::Reseal(bytes);
            EXPECT_EQ(GreekModel::FromBytes(bytes, nullptr), nullptr)
                << "section " << section << ", bit " << bit;
        }
    }
}

// Bytes changed behind the checksum's back: every index is checked, so a
// reading gives words or none, never a read out of bounds (the sanitized
// run and the fuzzer would see one).
TEST(GreekModel, ChangedBytesNeverReadOutOfBounds) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"θάλασσα", u"τι", u"και", u"Αθήνα"};
    source.frequencies = {{u"και", 9}, {u"τι", 4}};
    source.pairs = {{{u"και", u"τι"}, 3}, {{u"τι", u"~αι"}, 3}};
    source.english = {"word"};
    const std::vector<std::byte> good = builder::BuildModel(source);
    std::mt19937 random(11);
    std::size_t opened = 0;
    for (int round = 0; round < 400; ++round) {
        auto bytes = std::make_shared<std::vector<std::byte>>(good);
        for (int change = 0; change < 1 + round % 8; ++change) {
            (*bytes)[random() % bytes->size()] = static_cast<std::byte>(random());
        }
        builder::Reseal(*bytes);
        const auto speller = GreekSpeller::FromModelBytes(*bytes, bytes);
        if (speller == nullptr) {
            continue;
        }
        ++opened;
        Read(*speller, "kalimera ti kai thalassa Athina? word KALIMERA 8a");
        (void)speller->Spell(u"καλιμερα θαλασα τι και");
    }
    EXPECT_GT(opened, 100u);  // most changes land in the words, not the header
}

}  // namespace
}  // namespace bivano
