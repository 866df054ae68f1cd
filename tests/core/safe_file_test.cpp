// SPDX-License-Identifier: GPL-3.0-or-later
// The file layer both programs write through: targets of every kind.
#include "io/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
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
    int error = 0;
    ASSERT_TRUE(WriteFileSafely(Path("new.txt"), "abc", error)) << error;
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
    int error = 0;
    ASSERT_TRUE(WriteFileSafely(Path("symbolic.txt"), "via symlink", error));
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
        EXPECT_FALSE(writer.Open(target)) << target;
        EXPECT_EQ(writer.error(), kNotRegularFile) << target;
        int error = 0;
        EXPECT_FALSE(ReadRegularFile(target, 100, error)) << target;
        EXPECT_EQ(error, kNotRegularFile) << target;
        EXPECT_EQ(fs::symlink_status(target).type(), before) << target;
    }
}

TEST_F(SafeFile, ReadingStopsPastTheBound) {
    Write(Path("ten.txt"), "0123456789");
    int error = 0;
    EXPECT_EQ(ReadRegularFile(Path("ten.txt"), 10, error).value_or("<none>"), "0123456789");
    EXPECT_FALSE(ReadRegularFile(Path("ten.txt"), 9, error));
    EXPECT_EQ(error, EFBIG);
    EXPECT_FALSE(ReadRegularFile(Path("missing"), 9, error));
    EXPECT_EQ(error, ENOENT);
}

TEST_F(SafeFile, MissingFolderIsAnError) {
    SafeWriter writer;
    EXPECT_FALSE(writer.Open(Path("no/such/file")));
    EXPECT_EQ(writer.error(), ENOENT);
    EXPECT_FALSE(writer.Write("x"));
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
