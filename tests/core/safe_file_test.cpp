// SPDX-License-Identifier: GPL-3.0-or-later
// The file layer both programs write through: targets of every kind.
#include "io/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace bivano::io {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "safe-file-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const char* name) const { return (folder_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return file ? bytes.str() : "<unreadable>";
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
};

TEST_F(SafeFile, NewFileTakesTheUsualModeAndNothingIsLeftBeside) {
    const Status written = WriteFileSafely(Path("new.txt"), "abc");
    ASSERT_TRUE(written) << written.failure().system_error;
    EXPECT_EQ(Read(Path("new.txt")), "abc");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status {};
    ASSERT_EQ(::stat(Path("new.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(SafeFile, ReplacedFileKeepsItsModeAndIsOldUntilCommit) {
    Write(Path("old.txt"), "old");
    ASSERT_EQ(::chmod(Path("old.txt").c_str(), 0640), 0);
    SafeWriter writer;
    ASSERT_TRUE(writer.Open(Path("old.txt")));
    ASSERT_TRUE(writer.Write("ne"));
    ASSERT_TRUE(writer.Write("w"));
    EXPECT_EQ(Read(Path("old.txt")), "old");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(Read(Path("old.txt")), "new");
    struct stat status {};
    ASSERT_EQ(::stat(Path("old.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(SafeFile, UncommittedOrCancelledLeavesTheTargetAsItWas) {
    Write(Path("old.txt"), "old");
    {
        SafeWriter writer;
        ASSERT_TRUE(writer.Open(Path("old.txt")));
        ASSERT_TRUE(writer.Write("partial"));
    }
    EXPECT_EQ(Read(Path("old.txt")), "old");
    SafeWriter writer;
    ASSERT_TRUE(writer.Open(Path("missing.txt")));
    ASSERT_TRUE(writer.Write("partial"));
    writer.Cancel();
    EXPECT_FALSE(fs::exists(Path("missing.txt")));
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(SafeFile, LinksStayLinks) {
    Write(Path("real.txt"), "old");
    fs::create_symlink("real.txt", Path("symbolic.txt"));
    ASSERT_EQ(::link(Path("real.txt").c_str(), Path("hard.txt").c_str()), 0);
    ASSERT_TRUE(WriteFileSafely(Path("symbolic.txt"), "via symlink"));
    EXPECT_TRUE(fs::is_symlink(Path("symbolic.txt")));
    EXPECT_EQ(Read(Path("real.txt")), "via symlink");
    EXPECT_EQ(Read(Path("hard.txt")), "via symlink");

    // A second hard link: the file is written in place, only at Commit.
    SafeWriter writer;
    ASSERT_TRUE(writer.Open(Path("hard.txt")));
    ASSERT_TRUE(writer.Write("via hard link"));
    EXPECT_EQ(Read(Path("real.txt")), "via symlink");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(Read(Path("real.txt")), "via hard link");
    struct stat status {};
    ASSERT_EQ(::stat(Path("real.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_nlink, 2u);
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(SafeFile, FifosFoldersAndDevicesAreRefusedUntouchedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(Path("folder"));
    std::vector<std::string> targets = {Path("fifo"), Path("folder")};
    // A node of our own, never the system's: as root, one like /dev/null.
    if (::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        targets.push_back(Path("null"));
    }
    fs::create_symlink("fifo", Path("link-to-fifo"));
    targets.push_back(Path("link-to-fifo"));
    for (const std::string& target : targets) {
        const auto before = fs::symlink_status(target).type();
        SafeWriter writer;
        const Status opened = writer.Open(target);
        ASSERT_FALSE(opened) << target;
        EXPECT_EQ(opened.failure().cause, Cause::NotRegularFile) << target;
        const Result<std::string> read = ReadRegularFile(target, 100);
        ASSERT_FALSE(read) << target;
        EXPECT_EQ(read.failure().cause, Cause::NotRegularFile) << target;
        EXPECT_EQ(fs::symlink_status(target).type(), before) << target;
    }
}

TEST_F(SafeFile, ReadingStopsPastTheBound) {
    Write(Path("ten.txt"), "0123456789");
    const Result<std::string> whole = ReadRegularFile(Path("ten.txt"), 10);
    ASSERT_TRUE(whole);
    EXPECT_EQ(*whole, "0123456789");
    const Result<std::string> too_large = ReadRegularFile(Path("ten.txt"), 9);
    ASSERT_FALSE(too_large);
    EXPECT_EQ(too_large.failure().cause, Cause::TooLarge);
    const Result<std::string> missing = ReadRegularFile(Path("missing"), 9);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().cause, Cause::System);
    EXPECT_EQ(missing.failure().system_error, ENOENT);
}

TEST_F(SafeFile, MissingFolderIsAnError) {
    SafeWriter writer;
    const Status opened = writer.Open(Path("no/such/file"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.failure().system_error, ENOENT);
    const Status written = writer.Write("x");
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().system_error, EBADF);
}

// A write failing part-way, as on a full disk: at every write of bytes in
// turn (the text gathered, the old bytes copied aside, the new ones written
// over the old file), the target must come out as it was, links and all,
// with nothing left beside it.
struct FailingTarget {
    const char* name;
    bool exists;
    bool second_link;
    bool through_symbolic_link;
    bool temporary_folder_missing;  // the text then gathers beside the target
    int writes_at_least;            // of a writing that succeeds
};

void PrintTo(const FailingTarget& target, std::ostream* out) {
    *out << target.name;
}

class SafeFileFailingWrites : public SafeFile,
                              public ::testing::WithParamInterface<FailingTarget> {};

TEST_P(SafeFileFailingWrites, LeaveTheTargetAsItWas) {
    const FailingTarget& target = GetParam();
    const std::string old_text = std::string(150'000, 'o');
    const std::string piece = std::string(100'000, 'n');
    const std::string temporary_folder = Path("tmp");
    const std::string real = Path("real.txt");
    const std::string path = target.through_symbolic_link ? Path("symbolic.txt") : real;
    const char* saved_tmpdir = std::getenv("TMPDIR");
    const std::string saved = saved_tmpdir != nullptr ? saved_tmpdir : "";
    ::setenv("TMPDIR",
             target.temporary_folder_missing ? Path("missing").c_str() : temporary_folder.c_str(),
             1);
    const auto prepare = [&] {
        fs::remove_all(folder_);
        fs::create_directories(temporary_folder);
        if (target.exists) {
            Write(real, old_text);
            ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
        }
        if (target.second_link) {
            ASSERT_EQ(::link(real.c_str(), Path("second.txt").c_str()), 0);
        }
        if (target.through_symbolic_link) {
            fs::create_symlink("real.txt", path);
        }
    };
    int failures = 0;
    for (int nth = 1; nth < 100; ++nth) {
        prepare();
        const std::size_t entries = Entries();
        SafeWriter writer;
        writer.FailNthWrite(nth, ENOSPC);
        Status written = writer.Open(path);
        for (int pieces = 0; pieces < 3 && written; ++pieces) {
            written = writer.Write(piece);
        }
        if (written) {
            written = writer.Commit();
        }
        if (written) {
            EXPECT_EQ(Read(real), piece + piece + piece);
            break;
        }
        ++failures;
        SCOPED_TRACE("write " + std::to_string(nth) + " failing");
        EXPECT_EQ(written.failure().cause, Cause::System);
        EXPECT_EQ(written.failure().system_error, ENOSPC);
        EXPECT_TRUE(written.failure().detail.empty() ||
                    written.failure().detail == temporary_folder)
            << written.failure().detail;
        EXPECT_EQ(Entries(), entries);
        EXPECT_TRUE(fs::is_empty(temporary_folder));
        if (!target.exists) {
            EXPECT_FALSE(fs::exists(real));
            continue;
        }
        EXPECT_TRUE(Read(real) == old_text);
        struct stat status {};
        ASSERT_EQ(::stat(real.c_str(), &status), 0);
        EXPECT_EQ(status.st_nlink, target.second_link ? 2u : 1u);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
    }
    EXPECT_GE(failures, target.writes_at_least);
    if (saved_tmpdir != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

// Written in place: the three pieces gathered, the 150,000 old bytes copied
// aside in three writes and the 300,000 new ones written over them in five.
INSTANTIATE_TEST_SUITE_P(
    Targets, SafeFileFailingWrites,
    ::testing::Values(FailingTarget{"New", false, false, false, false, 3},
                      FailingTarget{"OneName", true, false, false, false, 3},
                      FailingTarget{"SecondHardLink", true, true, false, false, 11},
                      FailingTarget{"SymbolicLinkToASecondHardLink", true, true, true, false, 11},
                      FailingTarget{"SecondHardLinkWithoutTemporaryFolder", true, true, false, true,
                                    11}));

TEST_F(SafeFile, TheFailureOfATemporaryFileNamesItsFolder) {
    Write(Path("real.txt"), "old");
    ASSERT_EQ(::link(Path("real.txt").c_str(), Path("second.txt").c_str()), 0);
    fs::create_directory(Path("tmp"));
    const char* saved_tmpdir = std::getenv("TMPDIR");
    const std::string saved = saved_tmpdir != nullptr ? saved_tmpdir : "";
    ::setenv("TMPDIR", Path("tmp").c_str(), 1);
    SafeWriter gathering;
    ASSERT_TRUE(gathering.Open(Path("real.txt")));
    gathering.FailNthWrite(1, ENOSPC);
    const Status gathered = gathering.Write("new");
    ASSERT_FALSE(gathered);
    EXPECT_EQ(gathered.failure().system_error, ENOSPC);
    EXPECT_EQ(gathered.failure().detail, Path("tmp"));
    SafeWriter over_the_old_file;
    ASSERT_TRUE(over_the_old_file.Open(Path("real.txt")));
    ASSERT_TRUE(over_the_old_file.Write("new"));
    over_the_old_file.FailNthWrite(2, EIO);  // the copy aside passes, the new bytes fail
    const Status committed = over_the_old_file.Commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.failure().system_error, EIO);
    EXPECT_EQ(committed.failure().detail, "");
    EXPECT_EQ(Read(Path("second.txt")), "old");
    if (saved_tmpdir != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

TEST_F(SafeFile, LinksToNothingAreRefusedAndLeftAsTheyAre) {
    fs::create_symlink("missing.txt", Path("dangling"));
    fs::create_symlink("dangling", Path("chain"));
    for (const char* name : {"dangling", "chain"}) {
        SafeWriter writer;
        const Status opened = writer.Open(Path(name));
        ASSERT_FALSE(opened) << name;
        EXPECT_EQ(opened.failure().cause, Cause::DanglingLink) << name;
        EXPECT_TRUE(fs::is_symlink(Path(name))) << name;
    }
    EXPECT_FALSE(fs::exists(Path("missing.txt")));
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(SafeFile, SameFileSeesThroughLinks) {
    Write(Path("a"), "x");
    ASSERT_EQ(::link(Path("a").c_str(), Path("b").c_str()), 0);
    Write(Path("c"), "x");
    EXPECT_TRUE(SameFile(Path("a"), Path("b")));
    EXPECT_FALSE(SameFile(Path("a"), Path("c")));
    EXPECT_FALSE(SameFile(Path("a"), Path("missing")));
}

}  // namespace
}  // namespace bivano::io
