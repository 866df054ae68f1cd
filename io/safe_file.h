// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/result.h"

// Reading and writing the files the user names (Open and Save, -o and -d):
// reading only regular files, without ever waiting, and writing so that a
// failure never leaves a half-written file and a device, FIFO or socket is
// never touched. Paths are the system's bytes, whatever their encoding.
// Failures say their cause: an errno value (Cause::System), or
// NotRegularFile, DanglingLink, WriteProtected or TooLarge.
namespace bivano::io {

// The bytes of the regular file `path`, at most `max_bytes` of them. A
// failure when it is no regular file (NotRegularFile), cannot be read,
// would make the reading wait (as some in /proc would), or holds more than
// `max_bytes` (TooLarge), whatever size it claims.
Result<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes);

// Whether SafeWriter may replace a file its user may not write.
enum class WriteProtected { Refuse, Replace };

// A file written in pieces that takes the place of its target only at
// Commit; until then the target stays as it was, and a writer that is
// destroyed uncommitted leaves it so.
//   - A target that exists and is no regular file, once links are followed,
//     is refused at Open (NotRegularFile), and so is a symbolic link to no
//     file (DanglingLink).
//   - A symbolic link stays a link: the file it points to is written.
//   - A file its user may not write is refused (WriteProtected) unless
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

    // After a failure the writer is cancelled. A failure's detail names the
    // folder of the temporary file when it was there rather than at the
    // target (TMPDIR missing or full).
    Status Open(const std::string& path, WriteProtected write_protected = WriteProtected::Refuse);
    Status Write(std::string_view bytes);
    Status Commit();
    // Drops what was written; the target stays as it was.
    void Cancel();

    // For tests: from now on the `nth` write of bytes (to any file of this
    // writer) fails with `error`, as on a full disk.
    void FailNthWrite(int nth, int error) {
        writes_until_failure_ = nth;
        failure_ = error;
    }

  private:
    enum class Mode { Closed, Replace, Create, InPlace };

    Failure Fail(Failure failure);
    Failure Fail(int error, std::string folder = {});
    Result<bool> TryReplace(const struct stat* old);
    Status CommitInPlace();
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
    int target_fd_ = -1;            // the old file, for InPlace
    int cleanup_slot_ = -1;         // the name a signal removes
    int writes_until_failure_ = 0;  // 0: none fails
    int failure_ = 0;
};

// Writes `bytes` to `path` as SafeWriter does.
Status WriteFileSafely(const std::string& path, std::string_view bytes);

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
