// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's model: made by the builder from small word lists, read back
// through GreekModel, its file's layout, and its refusal of bytes that are
// no model of this version.
#include "core/spelling/greek_model.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>

#include "core/spelling/greek_model_format.h"
#include "core/spelling/speller.h"
#include "io/greek_model_file.h"
#include "model_builder/greek_model_builder.h"
#include "model_builder/model_sources.h"
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

// The builder's round trip: every word, count, pair and English word that
// goes in is what the model gives back; what cannot be a word (Latin
// letters, over 48 letters) stays out.
TEST(ModelBuilder, WhatGoesInIsWhatTheModelGives) {
    builder::ModelSource source;
    source.words = {u"καλημέρα",
                    u"θάλασσα",
                    u"θάλασσά",
                    u"Αθήνα",
                    u"τι",
                    u"και",
                    u"ένα",
                    u"αρχείο",
                    u"αρχεία",
                    u"abc",
                    std::u16string(49, u'α'),
                    std::u16string(48, u'β')};
    source.frequencies = {{u"και", 90},  {u"τι", 40},          {u"αρχείο", 12},   {u"ένα", 7},
                          {u"Αθήνα", 3}, {u"συμβολοσειρά", 5}, {u"Τρυφωνίδης", 2}};
    source.pairs = {{{u"τι", u"και"}, 6},   {{u"και", u"ένα"}, 5}, {{u"ένα", u"αρχείο"}, 4},
                    {{u"τι", u"~ρα"}, 3},   {{u"~αι", u"ένα"}, 2}, {{u"<.", u"τι"}, 8},
                    {{u"αρχείο", u".>"}, 9}};
    source.english = {"word", "Super", "file", "x", "auto", "file", "don't", ""};
    source.everyday = {{u"καλημέρα", 70}, {u"θάλασσα", 20}};
    auto bytes = std::make_shared<std::vector<std::byte>>(builder::BuildModel(source));
    const auto model = GreekModel::FromBytes(*bytes, bytes);
    ASSERT_NE(model, nullptr);
    const GreekModel& m = *model;

    const struct {
        const char* plain;
        const char* word;
        bool small;
        std::uint32_t frequency;
        std::uint32_t followed;
        std::uint32_t everyday;
    } words[] = {
        {"καλημερα", "καλημέρα", true, 0, 0, 70},
        {"θαλασσα", "θάλασσα", true, 0, 0, 20},
        {"αθηνα", "αθήνα", false, 3, 0, 0},
        {"τι", "τι", true, 40, 6, 0},
        {"και", "και", true, 90, 5, 0},
        {"ενα", "ένα", true, 7, 4, 0},
        {"αρχειο", "αρχείο", true, 12, 0, 0},
        {"αρχεια", "αρχεία", true, 0, 0, 0},
        {"συμβολοσειρα", "συμβολοσειρά", true, 5, 0, 0},
    };
    for (const auto& row : words) {
        SCOPED_TRACE(row.word);
        const auto found = m.WordsOf(U16(row.plain));
        ASSERT_FALSE(found.empty());
        const GreekModel::Word& word = found[0];
        EXPECT_EQ(LettersOf(m, word), row.word);
        EXPECT_EQ((word.flags & GreekModel::kSmall) != 0, row.small);
        EXPECT_EQ(word.Length(), U16(row.word).size());
        EXPECT_EQ(word.Stress(), internal::StressRank(U16(row.word)));
        EXPECT_EQ(m.Frequency(word), row.frequency);
        EXPECT_EQ(m.Followed(word), row.followed);
        EXPECT_EQ(m.EverydayCount(m.NumberOf(word)), row.everyday);
    }
    // Both accents of θάλασσα, the commoner first; the long words.
    ASSERT_EQ(m.WordsOf(u"θαλασσα").size(), 2u);
    EXPECT_EQ(LettersOf(m, m.WordsOf(u"θαλασσα")[1]), "θάλασσά");
    EXPECT_EQ(m.WordsOf(std::u16string(48, u'β')).size(), 1u);
    EXPECT_TRUE(m.WordsOf(std::u16string(49, u'α')).empty());
    EXPECT_TRUE(m.WordsOf(u"τρυφωνιδησ").empty());  // a name only the counts have
    EXPECT_EQ(m.ListWordCount(), 10u);
    EXPECT_EQ(m.WordCount(), 12u);  // and συμβολοσειρά, Τρυφωνίδης
    EXPECT_EQ(m.RunningWords(), 90u + 40 + 12 + 7 + 3 + 5 + 2);
    EXPECT_EQ(m.EverydayTotal(), 90u);

    const auto number = [&](const char* plain) { return m.NumberOf(m.WordsOf(U16(plain))[0]); };
    EXPECT_EQ(m.PairCount(number("τι"), number("και")), 6u);
    EXPECT_EQ(m.PairCount(number("και"), number("ενα")), 5u);
    EXPECT_EQ(m.PairCount(number("ενα"), number("αρχειο")), 4u);
    EXPECT_EQ(m.PairCount(number("και"), number("τι")), 0u);  // the other way round
    EXPECT_EQ(m.PairCount(number("ενα"), number("αρχεια")), 0u);
    EXPECT_EQ(m.EndingPairCount(number("τι"), GreekModel::EndingOf(u"καλημέρα")), 3u);
    EXPECT_EQ(m.EndingWordCount(GreekModel::EndingOf(u"και"), number("ενα")), 2u);
    EXPECT_EQ(m.EndingCount(GreekModel::EndingOf(u"ένα")), 7u + 3);  // and Αθήνα
    EXPECT_EQ(m.PhraseEdgeCount(GreekModel::Beside::Sentence, true, number("τι")), 8u);
    EXPECT_EQ(m.PhraseEdgeCount(GreekModel::Beside::Sentence, false, number("αρχειο")), 9u);

    for (const char* english : {"word", "super", "file", "x", "auto"}) {
        EXPECT_TRUE(m.IsEnglish(english)) << english;
    }
    for (const char* other : {"Super", "don't", "", "wor", "words", "filee", "y"}) {
        EXPECT_FALSE(m.IsEnglish(other)) << other;
    }
    std::vector<std::string> english;
    for (std::size_t index = 0; index < m.EnglishWordCount(); ++index) {
        english.emplace_back(m.EnglishWord(index));
    }
    EXPECT_EQ(english, (std::vector<std::string>{"x", "auto", "file", "word", "super"}));
    EXPECT_EQ(m.EnglishWord(5), "");

    std::vector<std::pair<std::u16string, std::uint32_t>> counted;
    m.ForEachCountedWord(
        [&](std::u16string_view word, std::uint32_t count) { counted.emplace_back(word, count); });
    EXPECT_EQ(counted, source.frequencies);
}

// Many words of every length, several to a plain form and many to a node's
// children: every one is found where it belongs, across the blocks of 8
// nodes and 32 words whose places the model works out.
// Firsts followed by one word up to by hundreds, in every place of their
// lists: each counted pair is found with its count, and no other.
TEST(ModelBuilder, EveryPairOfEveryFirstIsFound) {
    constexpr std::u16string_view kLetters = u"αβγδεζηθικλμνξοπρστυφχψω";
    builder::ModelSource source;
    std::vector<std::u16string> words;
    for (std::size_t index = 0; index < 300; ++index) {
        std::u16string word = u"κα";
        word += kLetters[index % kLetters.size()];
        word += kLetters[index / kLetters.size()];
        words.push_back(word);
        source.words.push_back(word);
        source.frequencies.push_back({word, 5000});
    }
    // First k is followed by every (k + 1)th word, each pair counted by
    // where it stands.
    const auto counted = [](std::size_t first, std::size_t second) -> std::uint32_t {
        return first < 40 && second % (first + 1) == 0 ? 3 + static_cast<std::uint32_t>(second) : 0;
    };
    for (std::size_t first = 0; first < 40; ++first) {
        for (std::size_t second = 0; second < words.size(); ++second) {
            if (const std::uint32_t count = counted(first, second); count > 0) {
                source.pairs.push_back({{words[first], words[second]}, count});
            }
        }
    }
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    const auto number = [&](std::size_t index) {
        const auto found = model->WordsOf(words[index]);
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? 0 : model->NumberOf(found[0]);
    };
    for (std::size_t first = 0; first < 45; ++first) {
        for (std::size_t second = 0; second < words.size(); ++second) {
            ASSERT_EQ(model->PairCount(number(first), number(second)), counted(first, second))
                << first << " " << second;
        }
    }
}

TEST(ModelBuilder, EveryWordOfALongListIsFound) {
    std::mt19937 random(7);
    const std::u16string letters = u"αβγδεζηθικλμνξοπρστυφχψω";
    const std::u16string accented = u"άέήίόύώ";
    builder::ModelSource source;
    std::vector<std::u16string> expected;
    for (int i = 0; i < 6000; ++i) {
        std::u16string word;
        const std::size_t length = 1 + random() % (i % 10 == 0 ? 48 : 9);
        for (std::size_t k = 0; k < length; ++k) {
            word.push_back(letters[random() % (i % 3 == 0 ? 3 : letters.size())]);
        }
        source.words.push_back(word);
        // The same letters with an accent: a second word of the plain form.
        if (const std::size_t vowel = word.find_first_of(u"αεηιουω");
            vowel != std::u16string::npos && i % 2 == 0) {
            std::u16string other = word;
            other[vowel] = accented[std::u16string_view(u"αεηιουω").find(word[vowel])];
            source.words.push_back(other);
        }
        if (i % 5 == 0) {
            source.frequencies.emplace_back(source.words.back(), 1 + i);
        }
    }
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    std::map<std::u16string, std::uint32_t> frequency;
    for (const auto& [word, count] : source.frequencies) {
        frequency[word] += count;
    }
    std::size_t missing = 0;
    for (const std::u16string& word : source.words) {
        std::u16string plain = word;
        std::transform(plain.begin(), plain.end(), plain.begin(), internal::PlainLetter);
        const auto found = model->WordsOf(plain);
        const auto it = std::find_if(found.begin(), found.end(), [&](const GreekModel::Word& w) {
            return model->Letters(w) == word;
        });
        if (it == found.end()) {
            ++missing;
            continue;
        }
        EXPECT_EQ(model->Frequency(*it), frequency.contains(word) ? frequency[word] : 0u);
    }
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(model->ListWordCount(),
              std::set<std::u16string>(source.words.begin(), source.words.end()).size());
}

// The file's layout, byte for byte, for a model of one word: what the
// static_asserts of greek_model_format.h fix, as the builder writes it. A
// change here is a new version of the format.
TEST(ModelFile, HasTheLayoutOfItsVersion) {
    builder::ModelSource source;
    source.words = {u"τι"};
    source.frequencies = {{u"τι", 3}};
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    ASSERT_NE(GreekModel::FromBytes(bytes, nullptr), nullptr);
    const auto u32 = [&](std::size_t at) {
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        return value;
    };
    const auto u64 = [&](std::size_t at) {
        std::uint64_t value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        return value;
    };
    const auto byte = [&](std::size_t at) { return std::to_integer<unsigned>(bytes[at]); };
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 8), "BIVANOGM");
    EXPECT_EQ(u32(8), 5u);  // the version
    EXPECT_EQ(u32(12), 0x01020304u);
    EXPECT_EQ(u64(24), 1u);  // words of the list
    EXPECT_EQ(u64(32), 3u);  // running words
    EXPECT_EQ(u64(40), 1u);  // words in the tree
    const auto section = [&](model_format::Section which) {
        return std::pair{u64(48 + 16 * which), u64(56 + 16 * which)};
    };
    EXPECT_EQ(section(model_format::kLetters), std::pair(std::uint64_t{288}, std::uint64_t{2}));
    EXPECT_EQ(byte(288), 0x44u);  // τ, U+03C4
    EXPECT_EQ(byte(289), 0x39u);  // ι, U+03B9
    const auto [words, words_size] = section(model_format::kWords);
    EXPECT_EQ(words, 296u);
    EXPECT_EQ(words_size, 2u);
    EXPECT_EQ(byte(296), GreekModel::kSmall);
    EXPECT_EQ(byte(297), 2u | 3u << 6);  // two letters, no accent
    // The run of two-letter words: its first word and letter.
    const auto [runs, runs_size] = section(model_format::kLengthRuns);
    EXPECT_EQ(runs_size, 128u * 8);
    EXPECT_EQ(u32(runs + 2 * 8), 0u);
    EXPECT_EQ(u32(runs + 2 * 8 + 4), 0u);
    const auto [blocks, blocks_size] = section(model_format::kCountedBlocks);
    EXPECT_EQ(blocks_size, 16u);
    EXPECT_EQ(u32(blocks), 0u);
    EXPECT_EQ(u32(blocks + 4), 1u);  // word 0 has counts
    EXPECT_EQ(u32(blocks + 8), 0u);
    EXPECT_EQ(u32(blocks + 12), 0u);  // and is no first of a pair
    const auto [counts, counts_size] = section(model_format::kCounts);
    EXPECT_EQ(counts_size, 12u);
    EXPECT_EQ(u32(counts), 3u);      // its frequency
    EXPECT_EQ(u32(counts + 4), 0u);  // followed
    EXPECT_EQ(u32(counts + 8), 0u);  // everyday
    // The root (one child), τ (one child), ι (one word), 5 nodes of padding.
    const auto [nodes, nodes_size] = section(model_format::kNodes);
    EXPECT_EQ(nodes_size, 8u * 2);
    EXPECT_EQ(byte(nodes) | byte(nodes + 1) << 8, 1u << 5);
    EXPECT_EQ(byte(nodes + 2) | byte(nodes + 3) << 8, 0x14u | 1u << 5);
    EXPECT_EQ(byte(nodes + 4) | byte(nodes + 5) << 8, 0x09u | 1u << 10);
    const auto [node_blocks, node_blocks_size] = section(model_format::kNodeBlocks);
    EXPECT_EQ(node_blocks_size, 8u);
    EXPECT_EQ(u32(node_blocks), 1u);
    EXPECT_EQ(u32(node_blocks + 4), 0u);
    // No pairs; the count of the ending -τι in its slot (τ 20, ι 9).
    EXPECT_EQ(section(model_format::kPairFirsts).second, 0u);
    EXPECT_EQ(section(model_format::kPairSeconds).second, 0u);
    const auto [endings, endings_size] = section(model_format::kEndingCounts);
    EXPECT_EQ(endings_size, 26u * 26 * 8);
    EXPECT_EQ(model_format::EndingSlot(GreekModel::EndingOf(u"τι")), 20u * 26 + 9);
    EXPECT_EQ(u32(endings + 8 * (20 * 26 + 9)), 3u);
    EXPECT_EQ(u32(endings + 8 * (20 * 26 + 9) + 4), 0u);
    // The counted words: τι, 3.
    const auto [counted, counted_size] = section(model_format::kCountedWords);
    EXPECT_EQ(counted_size, 3u);
    EXPECT_EQ(byte(counted), 2u);
    EXPECT_EQ(byte(counted + 1), 0x44u);
    EXPECT_EQ(bytes.size() % 8, 0u);
}

// A model of another version, or written in the other byte order, is
// refused as such even with a checksum that matches it: never read as if
// its records were this version's.
TEST(ModelFile, OtherVersionsAreRefused) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"τι"};
    const std::vector<std::byte> good = builder::BuildModel(source);
    const struct {
        const char* name;
        std::size_t at;
        std::uint32_t value;
    } rows[] = {
        {"the first version", 8, 4},
        {"a later version", 8, 6},
        {"the other byte order", 12, 0x04030201},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::byte> bytes = good;
        std::memcpy(bytes.data() + row.at, &row.value, sizeof row.value);
        builder::Reseal(bytes);
        Failure failure;
        EXPECT_EQ(GreekModel::FromBytes(bytes, nullptr, &failure), nullptr);
        EXPECT_EQ(failure.cause, Cause::NotAModel);
        EXPECT_EQ(failure.detail, GreekModel::kOtherVersion);
    }
}

// The program's own model holds every word of the hunspell list it was
// made from (of at most 48 Greek letters), with its accents, and as a word
// in small letters where the list writes it so.
TEST(TheProgramsModel, HoldsEveryWordOfItsList) {
    std::ifstream file(BIVANO_HUNSPELL_LIST, std::ios::binary);
    const std::string list((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (list.empty()) {
        GTEST_SKIP() << BIVANO_HUNSPELL_LIST << " is not here";
    }
    std::ifstream affix_file(
        std::string(BIVANO_HUNSPELL_LIST).substr(0, std::string(BIVANO_HUNSPELL_LIST).size() - 4) +
            ".aff",
        std::ios::binary);
    const std::string affix((std::istreambuf_iterator<char>(affix_file)),
                            std::istreambuf_iterator<char>());
    std::vector<std::u16string> words;
    ASSERT_TRUE(builder::ReadHunspell({list, affix, ""}, words));
    const auto speller = io::OpenGreekModel(BIVANO_TEST_MODEL);
    ASSERT_NE(speller, nullptr);
    const GreekModel& model = speller->Model();
    std::size_t missing = 0;
    std::set<std::u16string> distinct;
    for (const std::u16string& word : words) {
        if (word.size() > 48) {
            continue;
        }
        std::u16string lower = word;
        std::transform(lower.begin(), lower.end(), lower.begin(), internal::GreekLower);
        distinct.insert(lower);
        std::u16string plain = lower;
        std::transform(plain.begin(), plain.end(), plain.begin(), internal::PlainLetter);
        const auto found = model.WordsOf(plain);
        const bool there = std::any_of(found.begin(), found.end(), [&](const GreekModel::Word& w) {
            return model.Letters(w) == lower &&
                   (lower != word || (w.flags & GreekModel::kSmall) != 0);
        });
        if (!there && ++missing <= 10) {
            ADD_FAILURE() << "missing: " << U8(word);
        }
    }
    EXPECT_EQ(missing, 0u);
    EXPECT_GT(distinct.size(), 800'000u);
    EXPECT_EQ(model.ListWordCount(), distinct.size());
}

// A model that is cut short, damaged, of another kind or not there gives
// no speller and says why, never one that reads words wrong.
TEST(GreekModel, RefusesBytesThatAreNoModel) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"τι"};
    const std::vector<std::byte> good = builder::BuildModel(source);
    const auto open = [](std::vector<std::byte> bytes, Failure& failure) {
        auto owned = std::make_shared<std::vector<std::byte>>(std::move(bytes));
        return GreekSpeller::FromModelBytes(*owned, owned, &failure) != nullptr;
    };
    Failure failure;
    EXPECT_TRUE(open(good, failure));
    std::vector<std::byte> damaged = good;
    damaged[good.size() - 3] ^= std::byte{0x40};
    std::vector<std::byte> foreign = good;
    std::memcpy(foreign.data(), "PK\3\4", 4);
    struct Refused {
        const char* name;
        std::vector<std::byte> bytes;
        const char* how;  // Failure::detail
    };
    const Refused rows[] = {
        {"no bytes", {}, GreekModel::kTooShort},
        {"part of a header", {good.begin(), good.begin() + 40}, GreekModel::kTooShort},
        {"cut in half",
         {good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)},
         GreekModel::kDamaged},
        {"a bit flipped", damaged, GreekModel::kDamaged},
        {"a zip file", foreign, GreekModel::kNoModel},
    };
    for (const Refused& row : rows) {
        SCOPED_TRACE(row.name);
        failure = Failure();
        EXPECT_FALSE(open(row.bytes, failure));
        EXPECT_EQ(failure.cause, Cause::NotAModel);
        EXPECT_EQ(failure.detail, row.how);
    }
    // Files that cannot be a model, each with the cause the messages tell.
    const std::string fifo = ::testing::TempDir() + "/fifo.model";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string empty = ::testing::TempDir() + "/empty.model";
    std::ofstream(empty, std::ios::binary).close();
    struct Unusable {
        const char* name;
        std::string path;
        Cause cause;
        int system_error;
    };
    const Unusable files[] = {
        {"a folder", ::testing::TempDir(), Cause::NotRegularFile, 0},
        {"not there", ::testing::TempDir() + "/none.model", Cause::System, ENOENT},
        // Refused at once, never waited on.
        {"a FIFO", fifo, Cause::NotRegularFile, 0},
        {"an empty file", empty, Cause::EmptyFile, 0},
    };
    for (const Unusable& row : files) {
        SCOPED_TRACE(row.name);
        failure = Failure();
        EXPECT_EQ(io::OpenGreekModel(row.path, &failure), nullptr);
        EXPECT_EQ(failure.cause, row.cause);
        EXPECT_EQ(failure.system_error, row.system_error);
    }
    ::unlink(fifo.c_str());
    ::unlink(empty.c_str());
    // A model written to a file and mapped back reads as the bytes did.
    const std::string file = ::testing::TempDir() + "/small.model";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(good.data()),
                  static_cast<std::streamsize>(good.size()));
    }
    const auto mapped = io::OpenGreekModel(file, &failure);
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
        Failure failure;
        if (GreekModel::FromBytes(bytes, nullptr, &failure) != nullptr) {
            ++accepted;
            ADD_FAILURE() << "bit " << bit << " of the header flipped, and the model was read";
        } else {
            EXPECT_EQ(failure.cause, Cause::NotAModel);
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
