// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The one file layer of both programs: reading only regular files, without
// ever waiting, and writing so that a failure never leaves a half-written
// file and a device, FIFO or socket is never touched. Paths are the
// system's bytes, whatever their encoding.
namespace bivano::io {

// The errors of a name that exists and may not be written as it is; every
// other error is an errno value.
// A folder, device, FIFO or socket: never read or written.
inline constexpr int kNotRegularFile = -1;
// A symbolic link that points to no file: neither followed to make a file
// nor replaced by one.
inline constexpr int kDanglingLink = -2;
// A file its user may not write (mode 0444): replaced only when asked to.
inline constexpr int kWriteProtected = -3;

// The bytes of the regular file `path`, at most `max_bytes` of them.
// Nothing, with `error` set, when it is no regular file, cannot be read,
// would make the reading wait (as some in /proc would), or holds more than
// `max_bytes` (EFBIG), whatever size it claims.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes,
                                           int& error);

// Whether SafeWriter may replace a file its user may not write.
enum class WriteProtected { Refuse, Replace };

// A file written in pieces that takes the place of its target only at
// Commit; until then the target stays as it was, and a writer that is
// destroyed uncommitted leaves it so.
//   - A target that exists and is no regular file, once links are followed,
//     is refused at Open (kNotRegularFile), and so is a symbolic link to no
//     file (kDanglingLink).
//   - A symbolic link stays a link: the file it points to is written.
//   - A file its user may not write is refused (kWriteProtected) unless
//     WriteProtected::Replace is given, as cp and the shell refuse it.
//   - A regular file with one name whose owner, group and mode a new file
//     can take is replaced all at once by a file written beside it.
//   - Otherwise (a second hard link, an owner that cannot be given, a folder
//     where no file can be made) the text is gathered in an unnamed file
//     (in TMPDIR, else beside the target) and Commit writes it over the old
//     file, so that its owner, mode and links stay. The old bytes are first
//     copied aside and room for the new ones reserved; a failure part-way
//     puts the old bytes back. Where that copy cannot be made, Commit fails
//     before the file is touched.
// While a temporary file or a new target exists, RemoveTemporariesOnSignals
// knows its name.
class SafeWriter {
  public:
    SafeWriter() = default;
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // Each returns false, with error() set, on failure; after one, the
    // writer is cancelled.
    bool Open(const std::string& path, WriteProtected write_protected = WriteProtected::Refuse);
    bool Write(std::string_view bytes);
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Cancel();

    int error() const { return error_; }
    // The folder of the temporary file when the error was there rather than
    // at the target (TMPDIR missing or full), else empty.
    const std::string& error_folder() const { return error_folder_; }

    // For tests: from now on the `nth` write of bytes (to any file of this
    // writer) fails with `error`, as on a full disk.
    void FailNthWrite(int nth, int error) {
        writes_until_failure_ = nth;
        failure_ = error;
    }

  private:
    enum class Mode { Closed, Replace, Create, InPlace };

    bool Fail(int error, std::string folder = {});
    bool TryReplace(const struct stat* old);
    bool CommitInPlace();
    bool WriteAt(int fd, std::string_view bytes, off_t offset);
    bool CopyBytes(int from, int to, off_t size, bool& reading_failed);
    int UnnamedFile(std::string& folder) const;
    std::string Blame(const std::string& folder) const;

    Mode mode_ = Mode::Closed;
    std::string target_;            // the file itself, links resolved
    std::string temporary_;         // beside it, for Replace
    std::string gathering_folder_;  // where the text gathers, for InPlace
    int fd_ = -1;                   // where Write goes
    off_t written_ = 0;
    int target_fd_ = -1;     // the old file, for InPlace
    int cleanup_slot_ = -1;  // the name a signal removes
    int error_ = 0;
    std::string error_folder_;
    int writes_until_failure_ = 0;  // 0: none fails
    int failure_ = 0;
};

// Writes `bytes` to `path` as SafeWriter does. Returns false, with `error`
// set, on failure.
bool WriteFileSafely(const std::string& path, std::string_view bytes, int& error);

// Whether two names are one file (the same device and inode).
bool SameFile(const std::string& a, const std::string& b);

// Whether two open descriptors are one regular file, as with
// `bivano latin x >> x`.
bool SameRegularFile(int a, int b);

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files of
// every SafeWriter (and a new target still being written) before the
// program ends with the signal, as it would have without. A signal ignored
// at start stays ignored.
void RemoveTemporariesOnSignals();

// Which of the standard descriptors 0, 1 and 2 were closed at start.
struct StandardDescriptors {
    bool input_closed = false;
    bool output_closed = false;
    bool error_closed = false;
};

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so
// that no file the program opens later takes its number, and says which
// were closed. Call it first, before anything opens a file.
StandardDescriptors ReopenClosedStandardDescriptors();

}  // namespace bivano::io
