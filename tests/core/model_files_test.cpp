// SPDX-License-Identifier: GPL-3.0-or-later
// The files a model is made from, read through the file layer: the
// program's counts in their folder, found where the program is installed
// or where BIVANO_COUNTS says, and refused at once when they cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
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
    GreekSpeller::Problem problem = GreekSpeller::Problem::None;
    std::string unreadable;
    EXPECT_TRUE(io::BuildGreekModel(dictionary, folder + "/english", folder + "/none", &problem, {},
                                    &unreadable)
                    .empty());
    EXPECT_EQ(problem, GreekSpeller::Problem::Unreadable);
    EXPECT_EQ(unreadable, folder + "/none/words.tsv");

    problem = GreekSpeller::Problem::None;
    EXPECT_FALSE(
        io::BuildGreekModel(dictionary, folder + "/english", BIVANO_COUNTS_FOLDER, &problem)
            .empty());
    EXPECT_EQ(problem, GreekSpeller::Problem::None);

    ::setenv("BIVANO_COUNTS", (folder + "/none").c_str(), 1);
    const auto speller = io::OpenHunspellList(dictionary, &problem);
    ::unsetenv("BIVANO_COUNTS");
    ASSERT_NE(speller, nullptr);
    EXPECT_EQ(problem, GreekSpeller::Problem::None);
    EXPECT_EQ(speller->Model().RunningWords(), 0u);
    EXPECT_EQ(U8(speller->Spell(u"καλιμερα θαλασσα")), "καλημέρα θάλασσα");
}

}  // namespace
}  // namespace bivano
