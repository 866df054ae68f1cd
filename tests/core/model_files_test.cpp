// SPDX-License-Identifier: GPL-3.0-or-later
// The files a model is made from, read through the file layer: the
// program's counts in their folder, found where the program is installed
// or where BIVANO_COUNTS says, and refused at once when they cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "io/greek_model_file.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::string FolderIn(const std::string& name) {
    const std::string folder = ::testing::TempDir() + "/" + name;
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ModelFiles, TheCountsAreReadFromTheirFolder) {
    std::string unreadable;
    const auto counts = io::ReadCounts(BIVANO_COUNTS_FOLDER, &unreadable);
    ASSERT_TRUE(counts.has_value()) << unreadable;
    EXPECT_TRUE(counts->words.starts_with("το\t"));
    EXPECT_FALSE(counts->pairs.empty());
    EXPECT_FALSE(counts->phrase_edges.empty());

    // A file missing, a FIFO or a folder in a file's place: refused at
    // once, never waited on, and named.
    const std::string folder = FolderIn("counts-refused");
    WriteFile(folder + "/words.tsv", "το\t5\n");
    const struct {
        const char* name;
        void (*make)(const std::string& path);
    } rows[] = {
        {"missing", [](const std::string&) {}},
        {"FIFO", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"folder", [](const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0700), 0); }},
        {"empty", [](const std::string& path) { WriteFile(path, ""); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string pairs = folder + "/pairs.tsv";
        ::unlink(pairs.c_str());
        ::rmdir(pairs.c_str());
        row.make(pairs);
        unreadable.clear();
        EXPECT_FALSE(io::ReadCounts(folder, &unreadable).has_value());
        EXPECT_EQ(unreadable, pairs);
    }
    ::unlink((folder + "/pairs.tsv").c_str());
    ::rmdir((folder + "/pairs.tsv").c_str());
}

TEST(ModelFiles, BivanoCountsNamesTheCountsFolder) {
    ::setenv("BIVANO_COUNTS", "/somewhere/counts", 1);
    EXPECT_EQ(io::DefaultCountsFolder(), "/somewhere/counts");
    ::unsetenv("BIVANO_COUNTS");
    EXPECT_NE(io::DefaultCountsFolder(), "/somewhere/counts");
}

// The model maker stops, naming the file, when the counts cannot be read;
// a word list named at run time is read without them.
TEST(ModelFiles, WithoutTheCounts) {
    const std::string folder = FolderIn("without-counts");
    const std::string dictionary = folder + "/small.dic";
    WriteFile(dictionary, "2\nκαλημέρα\nθάλασσα\n");
    WriteFile(folder + "/english", "word\n");
    Failure failure;
    std::string unreadable;
    EXPECT_TRUE(io::BuildGreekModel(dictionary, folder + "/english", folder + "/none", &failure, {},
                                    &unreadable)
                    .empty());
    EXPECT_EQ(failure.cause, Cause::System);
    EXPECT_EQ(failure.system_error, ENOENT);
    EXPECT_EQ(unreadable, folder + "/none/words.tsv");

    EXPECT_FALSE(io::BuildGreekModel(dictionary, folder + "/english", BIVANO_COUNTS_FOLDER, nullptr)
                     .empty());

    ::setenv("BIVANO_COUNTS", (folder + "/none").c_str(), 1);
    const auto speller = io::OpenHunspellList(dictionary);
    ::unsetenv("BIVANO_COUNTS");
    ASSERT_NE(speller, nullptr);
    EXPECT_EQ(speller->Model().RunningWords(), 0u);
    EXPECT_EQ(U8(speller->Spell(u"καλιμερα θαλασσα")), "καλημέρα θάλασσα");
}

// A word list that cannot be used is refused with its own cause, which
// bivano's messages tell apart; one that can gives a speller.
TEST(ModelFiles, WordListsThatCannotBeUsedSayWhy) {
    const std::string folder = FolderIn("unusable-lists");
    const std::string iso_greek = "2\n\xEA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\n";  // καλημέρα
    struct Row {
        const char* name;
        std::string list;
        std::optional<std::string> affix;  // none: no .aff; "/": a folder in its place
        std::optional<Cause> cause;        // none: read
    };
    const Row rows[] = {
        {"UTF-8, no .aff", "1\nκαλημέρα\n", std::nullopt, std::nullopt},
        {"ISO-8859-7 as its .aff says", iso_greek, "SET ISO8859-7\n", std::nullopt},
        {"an empty .aff", "1\nκαλημέρα\n", "", std::nullopt},
        {"empty", "", std::nullopt, Cause::EmptyFile},
        {"an encoding not read", "1\nκαλημέρα\n", "SET KOI8-R\n", Cause::WordListEncodingUnknown},
        {"UTF-8 said to be ISO-8859-7", "1\nκαλημέρα\n", "SET ISO8859-7\n",
         Cause::WordListEncodingWrong},
        {"ISO-8859-7 said to be UTF-8", iso_greek, "SET UTF-8\n", Cause::WordListEncodingWrong},
        {"English words", "2\nhello\nworld\n", std::nullopt, Cause::NoGreekWords},
        {"a folder for its .aff", "1\nκαλημέρα\n", "/", Cause::AffixUnreadable},
    };
    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string base = folder + "/list" + std::to_string(++number);
        WriteFile(base + ".dic", row.list);
        if (row.affix == "/") {
            ::mkdir((base + ".aff").c_str(), 0700);
        } else if (row.affix) {
            WriteFile(base + ".aff", *row.affix);
        }
        Failure failure = Failure::FromErrno(0);
        const auto speller = io::OpenHunspellList(base + ".dic", &failure, folder + "/no-english");
        if (!row.cause) {
            EXPECT_NE(speller, nullptr);
            continue;
        }
        EXPECT_EQ(speller, nullptr);
        EXPECT_EQ(failure.cause, *row.cause);
    }
}

}  // namespace
}  // namespace bivano
