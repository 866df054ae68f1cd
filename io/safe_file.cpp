// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/safe_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace bivano::io {
namespace {

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

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// An unnamed file in `folder`, gone when closed.
int UnnamedFileIn(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || errno == ENOENT || errno == ENOTDIR) {
        return fd;
    }
    // A file system without O_TMPFILE: a name for a moment.
    std::string name = folder + "/.bivano-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) {
        ::unlink(name.c_str());
    }
    return named;
}

// The names that a signal removes. A handler may run at any moment, on any
// thread, so these live outside any object, and a slot is read only once
// its name is wholly written: the one state the program shares that way.
struct CleanupSlot {
    std::atomic<int> state{0};
    std::array<char, PATH_MAX> path{};
};
constexpr int kSlotFree = 0;
constexpr int kSlotFilling = 1;
constexpr int kSlotReady = 2;
constinit std::array<CleanupSlot, 16> cleanup_slots{};

// The slot that now holds `path`, or -1 when none is free.
int RememberForCleanup(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (std::size_t index = 0; index < cleanup_slots.size(); ++index) {
        CleanupSlot& slot = cleanup_slots[index];
        int expected = kSlotFree;
        if (slot.state.compare_exchange_strong(expected, kSlotFilling)) {
            std::copy(path.begin(), path.end(), slot.path.begin());
            slot.path[path.size()] = '\0';
            slot.state.store(kSlotReady);
            return static_cast<int>(index);
        }
    }
    return -1;
}

void ForgetCleanup(int& slot) {
    if (slot >= 0) {
        cleanup_slots[static_cast<std::size_t>(std::exchange(slot, -1))].state.store(kSlotFree);
    }
}

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Async-signal-safe only: unlink and raise. Installed with SA_RESETHAND and
// SA_NODEFER, so that raising the signal again ends the program with it.
void RemoveTemporariesAndEnd(int signal) {
    for (const CleanupSlot& slot : cleanup_slots) {
        if (slot.state.load() == kSlotReady) {
            ::unlink(slot.path.data());
        }
    }
    ::raise(signal);
}

// Holds back the ending signals of this thread while a file is
// half-written; one that came meanwhile acts when this ends.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t held;
        ::sigemptyset(&held);
        for (const int signal : kEndingSignals) {
            ::sigaddset(&held, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t before_{};
};

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { CloseQuietly(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

Result<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes) {
    struct stat status {};
    // Only regular files: opening a device or a FIFO may wait or act.
    if (::stat(path.c_str(), &status) != 0) {
        return Failure::FromErrno(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Failure::Of(Cause::NotRegularFile);
    }
    // Without waiting: a file that would block fails.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        return Failure::FromErrno(errno);
    }
    if (::fstat(file.get(), &status) != 0) {
        return Failure::FromErrno(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Failure::Of(Cause::NotRegularFile);
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
        const ssize_t got = ::read(file.get(), bytes.data() + start, room);
        if (got < 0) {
            bytes.resize(start);
            if (errno == EINTR) {
                continue;
            }
            return Failure::FromErrno(errno);
        }
        bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
        if (bytes.size() > max_bytes) {
            return Failure::Of(Cause::TooLarge);
        }
    }
    return bytes;
}

SafeWriter::~SafeWriter() {
    Cancel();
}

Failure SafeWriter::Fail(Failure failure) {
    Cancel();
    return failure;
}

Failure SafeWriter::Fail(int error, std::string folder) {
    return Fail(Failure::FromErrno(error, std::move(folder)));
}

Status SafeWriter::Open(const std::string& path, WriteProtected write_protected) {
    Cancel();
    target_ = path;
    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    if (!exists) {
        if (errno != ENOENT) {
            return Fail(errno);
        }
        // Making the file a link points to could write where the user never
        // meant to; replacing the link would break the promise that a link
        // stays a link.
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return Fail(Failure::Of(Cause::DanglingLink));
        }
    }
    if (exists) {
        if (!S_ISREG(status.st_mode)) {
            return Fail(Failure::Of(
                Cause::NotRegularFile));  // a device, FIFO, socket or folder: never replaced
        }
        // Write the file a link points to, and leave the link a link.
        std::array<char, PATH_MAX> resolved{};
        if (::realpath(path.c_str(), resolved.data()) == nullptr) {
            return Fail(errno);
        }
        target_ = resolved.data();
        // Renaming over a file needs only the folder's permission; a file of
        // one's own made read-only is meant to stay, as cp and the shell
        // keep it.
        if (write_protected == WriteProtected::Refuse && status.st_uid == ::geteuid() &&
            ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES) {
            return Fail(Failure::Of(Cause::WriteProtected));
        }
    }
    if (!exists || status.st_nlink == 1) {
        const Result<bool> replacing = TryReplace(exists ? &status : nullptr);
        if (!replacing) {
            return replacing.failure();
        }
        if (*replacing) {
            return {};
        }
    }
    if (!exists) {
        // No new file can be made beside it: create it itself, and remove
        // it again if the writing fails.
        {
            const SignalsHeld held;
            fd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                cleanup_slot_ = RememberForCleanup(target_);
            }
        }
        if (fd_ < 0) {
            return Fail(errno);
        }
        mode_ = Mode::Create;
        return {};
    }
    // Keep the old file itself: make sure now that it can be read and
    // written, and gather the text aside until Commit.
    target_fd_ = ::open(target_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (target_fd_ < 0) {
        return Fail(errno);
    }
    if (::fstat(target_fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        return Fail(Failure::Of(Cause::NotRegularFile));
    }
    fd_ = UnnamedFile(gathering_folder_);
    if (fd_ < 0) {
        return Fail(errno, gathering_folder_);
    }
    mode_ = Mode::InPlace;
    return {};
}

// Opens a new file beside the target that takes its owner, group and mode;
// false when that is not possible here.
Result<bool> SafeWriter::TryReplace(const struct stat* old) {
    // A short name of its own, so that a target name near the system's
    // limit still leaves room for it.
    temporary_ = FolderOf(target_) + "/.bivano-XXXXXX";
    {
        // No signal between the file's making and its name's remembering.
        const SignalsHeld held;
        fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
        if (fd_ >= 0) {
            cleanup_slot_ = RememberForCleanup(temporary_);
        }
    }
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

// An unnamed file for the text or the old bytes, gone when closed: in
// TMPDIR (or /tmp), where temporary data belongs, else beside the target.
// `folder` is where it was made; on failure, TMPDIR, with errno its error.
int SafeWriter::UnnamedFile(std::string& folder) const {
    folder = TemporaryFolder();
    const int fd = UnnamedFileIn(folder);
    if (fd >= 0) {
        return fd;
    }
    const int error = errno;
    const int beside = UnnamedFileIn(FolderOf(target_));
    if (beside >= 0) {
        folder = FolderOf(target_);
        return beside;
    }
    errno = error;
    return -1;
}

// The folder to name when writing into a file of `folder` fails: none when
// it is the target's own.
std::string SafeWriter::Blame(const std::string& folder) const {
    return folder == FolderOf(target_) ? std::string() : folder;
}

bool SafeWriter::WriteAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        if (writes_until_failure_ > 0 && --writes_until_failure_ == 0) {
            errno = failure_;
            return false;
        }
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool SafeWriter::CopyBytes(int from, int to, off_t size, bool& reading_failed) {
    reading_failed = false;
    std::array<char, 1 << 16> buffer{};
    for (off_t offset = 0; offset < size;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<off_t>(size - offset, off_t{buffer.size()}));
        const ssize_t got = ::pread(from, buffer.data(), wanted, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            errno = got == 0 ? EIO : errno;  // the file shrank meanwhile
            reading_failed = true;
            return false;
        }
        if (!WriteAt(to, std::string_view(buffer.data(), static_cast<std::size_t>(got)), offset)) {
            return false;
        }
        offset += got;
    }
    return true;
}

Status SafeWriter::Write(std::string_view bytes) {
    if (mode_ == Mode::Closed) {
        return Fail(EBADF);
    }
    if (!WriteAt(fd_, bytes, written_)) {
        return Fail(errno, mode_ == Mode::InPlace ? Blame(gathering_folder_) : std::string());
    }
    written_ += static_cast<off_t>(bytes.size());
    return {};
}

Status SafeWriter::CommitInPlace() {
    struct stat old {};
    if (::fstat(target_fd_, &old) != 0) {
        return Fail(errno);
    }
    // The old bytes aside first: with them the file can be put back after
    // any failure below.
    std::string folder;
    const Descriptor saved(UnnamedFile(folder));
    if (saved.get() < 0) {
        return Fail(errno, folder);
    }
    bool reading_failed = false;
    if (!CopyBytes(target_fd_, saved.get(), old.st_size, reading_failed)) {
        return Fail(errno, reading_failed ? std::string() : Blame(folder));
    }
    // Room for the new bytes reserved ahead, so that a full disk shows
    // before the old ones are touched.
    if (written_ > old.st_size && ::fallocate(target_fd_, FALLOC_FL_KEEP_SIZE, 0, written_) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        const int error = errno;
        // Gives back what was reserved; the bytes are untouched either way.
        [[maybe_unused]] const int released = ::ftruncate(target_fd_, old.st_size);
        return Fail(error);
    }
    // A signal now would find the file half-written: it waits until the
    // old or the new bytes are whole.
    const SignalsHeld held;
    if (!CopyBytes(fd_, target_fd_, written_, reading_failed) ||
        ::ftruncate(target_fd_, written_) != 0 || ::fsync(target_fd_) != 0) {
        const int error = errno;
        // They fit where they were. Should even this fail, the error told is
        // still the first one.
        if (CopyBytes(saved.get(), target_fd_, old.st_size, reading_failed) &&
            ::ftruncate(target_fd_, old.st_size) == 0) {
            ::fsync(target_fd_);
        }
        return Fail(error);
    }
    CloseQuietly(fd_);
    // A late write error shows at close.
    if (::close(std::exchange(target_fd_, -1)) != 0) {
        return Fail(errno);
    }
    mode_ = Mode::Closed;
    return {};
}

Status SafeWriter::Commit() {
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
            ForgetCleanup(cleanup_slot_);
            temporary_.clear();
            break;
        case Mode::Create: {
            // Once whole, the new file is no longer a signal's to remove.
            const SignalsHeld held;
            if (::close(std::exchange(fd_, -1)) != 0) {
                return Fail(errno);
            }
            ForgetCleanup(cleanup_slot_);
            break;
        }
    }
    mode_ = Mode::Closed;
    return {};
}

void SafeWriter::Cancel() {
    CloseQuietly(fd_);
    CloseQuietly(target_fd_);
    if (mode_ == Mode::Replace && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
    } else if (mode_ == Mode::Create) {
        ::unlink(target_.c_str());
    }
    ForgetCleanup(cleanup_slot_);
    temporary_.clear();
    written_ = 0;
    mode_ = Mode::Closed;
}

Status WriteFileSafely(const std::string& path, std::string_view bytes) {
    SafeWriter writer;
    Status done = writer.Open(path);
    if (done) {
        done = writer.Write(bytes);
    }
    if (done) {
        done = writer.Commit();
    }
    return done;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool SameRegularFile(int a, int b) {
    struct stat first {};
    struct stat second {};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && S_ISREG(first.st_mode) &&
           S_ISREG(second.st_mode) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

void RemoveTemporariesOnSignals() {
    for (const int signal : kEndingSignals) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) {
            continue;  // nohup and the like meant it to be ignored
        }
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndEnd;
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signal, &action, nullptr);
    }
}

StandardDescriptors ReopenClosedStandardDescriptors() {
    StandardDescriptors closed;
    const std::array<bool*, 3> flags = {&closed.input_closed, &closed.output_closed,
                                        &closed.error_closed};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        *flags[static_cast<std::size_t>(fd)] = true;
        // The lowest free number: this one, as the lower ones are open.
        const int opened = ::open("/dev/null", O_RDWR | O_NOCTTY);
        if (opened >= 0 && opened != fd) {
            ::close(opened);
        }
    }
    return closed;
}

}  // namespace bivano::io
