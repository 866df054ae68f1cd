// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace bivano::io {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void CloseQuietly(int& fd) {
    if (fd >= 0) {
        ::close(std::exchange(fd, -1));
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An unnamed file for gathering text, gone when closed.
int AnonymousFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string base = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    const int fd = ::open(base.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        return fd;
    }
    std::string name = base + "/.bivano-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) {
        ::unlink(name.c_str());
    }
    return named;
}

}  // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes,
                                           int& error) {
    struct stat status {};
    // Only regular files: opening a device or a FIFO may wait or act.
    if (::stat(path.c_str(), &status) != 0) {
        error = errno;
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error = kNotRegularFile;
        return std::nullopt;
    }
    // Without waiting: a file that would block fails.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    const auto failed = [&](int code) -> std::optional<std::string> {
        error = code;
        CloseQuietly(fd);
        return std::nullopt;
    };
    if (::fstat(fd, &status) != 0) {
        return failed(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return failed(kNotRegularFile);
    }
    // The size said is only a hint: files in /proc say 0 and hold more.
    std::string bytes;
    bytes.reserve(std::min<std::size_t>(
                      static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)), max_bytes) +
                  1);
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (;;) {
        const std::size_t start = bytes.size();
        const std::size_t room = std::min(kPiece, max_bytes + 1 - start);
        bytes.resize(start + room);
        const ssize_t got = ::read(fd, bytes.data() + start, room);
        if (got < 0) {
            bytes.resize(start);
            if (errno == EINTR) {
                continue;
            }
            return failed(errno);
        }
        bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
        if (bytes.size() > max_bytes) {
            return failed(EFBIG);
        }
    }
    CloseQuietly(fd);
    return bytes;
}

SafeWriter::~SafeWriter() {
    Cancel();
}

bool SafeWriter::Fail(int error) {
    error_ = error;
    Cancel();
    return false;
}

bool SafeWriter::Open(const std::string& path) {
    Cancel();
    error_ = 0;
    target_ = path;
    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return Fail(errno);
    }
    if (exists) {
        if (!S_ISREG(status.st_mode)) {
            return Fail(kNotRegularFile);  // a device, FIFO, socket or folder: never replaced
        }
        // Write the file a link points to, and leave the link a link.
        std::array<char, PATH_MAX> resolved{};
        if (::realpath(path.c_str(), resolved.data()) == nullptr) {
            return Fail(errno);
        }
        target_ = resolved.data();
    }
    if ((!exists || status.st_nlink == 1) && TryReplace(exists ? &status : nullptr)) {
        return true;
    }
    if (error_ != 0) {
        return false;
    }
    if (!exists) {
        // No new file can be made beside it: create it itself, and remove
        // it again if the writing fails.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            return Fail(errno);
        }
        mode_ = Mode::Create;
        return true;
    }
    // Keep the old file itself: make sure now that it can be written, and
    // gather the text aside until Commit.
    target_fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (target_fd_ < 0) {
        return Fail(errno);
    }
    if (::fstat(target_fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        return Fail(kNotRegularFile);
    }
    fd_ = AnonymousFile();
    if (fd_ < 0) {
        return Fail(errno);
    }
    mode_ = Mode::InPlace;
    return true;
}

// Opens a new file beside the target that takes its owner, group and mode;
// false with no error when that is not possible here.
bool SafeWriter::TryReplace(const struct stat* old) {
    // A short name of its own, so that a target name near the system's
    // limit still leaves room for it.
    temporary_ = FolderOf(target_) + "/.bivano-XXXXXX";
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        temporary_.clear();
        return false;  // e.g. a folder we may not write in
    }
    mode_ = Mode::Replace;
    if (old != nullptr) {
        if (::fchown(fd_, old->st_uid, old->st_gid) != 0 ||
            ::fchmod(fd_, old->st_mode & 07777) != 0) {
            Cancel();
            return false;
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd_, 0666 & ~mask) != 0) {
            return Fail(errno);
        }
    }
    return true;
}

bool SafeWriter::Write(std::string_view bytes) {
    if (mode_ == Mode::Closed) {
        return Fail(EBADF);
    }
    if (!WriteAll(fd_, bytes)) {
        return Fail(errno);
    }
    return true;
}

bool SafeWriter::CommitInPlace() {
    if (::lseek(fd_, 0, SEEK_SET) != 0 || ::ftruncate(target_fd_, 0) != 0) {
        return Fail(errno);
    }
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(errno);
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(target_fd_, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            return Fail(errno);
        }
    }
    CloseQuietly(fd_);
    // A late write error shows at close.
    if (::close(std::exchange(target_fd_, -1)) != 0) {
        return Fail(errno);
    }
    mode_ = Mode::Closed;
    return true;
}

bool SafeWriter::Commit() {
    switch (mode_) {
        case Mode::Closed:
            return Fail(EBADF);
        case Mode::InPlace:
            return CommitInPlace();
        case Mode::Replace:
            if (::fsync(fd_) != 0 || ::close(std::exchange(fd_, -1)) != 0 ||
                ::rename(temporary_.c_str(), target_.c_str()) != 0) {
                return Fail(errno);
            }
            temporary_.clear();
            break;
        case Mode::Create:
            if (::close(std::exchange(fd_, -1)) != 0) {
                return Fail(errno);
            }
            break;
    }
    mode_ = Mode::Closed;
    return true;
}

void SafeWriter::Cancel() {
    CloseQuietly(fd_);
    CloseQuietly(target_fd_);
    if (mode_ == Mode::Replace && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
    } else if (mode_ == Mode::Create) {
        ::unlink(target_.c_str());
    }
    temporary_.clear();
    mode_ = Mode::Closed;
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, int& error) {
    SafeWriter writer;
    if (writer.Open(path) && writer.Write(bytes) && writer.Commit()) {
        return true;
    }
    error = writer.error();
    return false;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace bivano::io
