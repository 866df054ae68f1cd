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

// The error of a name that exists and is no regular file (a folder, device,
// FIFO or socket); every other error is an errno value.
inline constexpr int kNotRegularFile = -1;

// The bytes of the regular file `path`, at most `max_bytes` of them.
// Nothing, with `error` set, when it is no regular file, cannot be read,
// would make the reading wait (as some in /proc would), or holds more than
// `max_bytes` (EFBIG), whatever size it claims.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes,
                                           int& error);

// A file written in pieces that takes the place of its target only at
// Commit; until then the target stays as it was, and a writer that is
// destroyed uncommitted leaves it so.
//   - A target that exists and is no regular file, once links are followed,
//     is refused at Open (kNotRegularFile).
//   - A symbolic link stays a link: the file it points to is written.
//   - A regular file with one name whose owner, group and mode a new file
//     can take is replaced all at once by a file written beside it.
//   - Otherwise (a second hard link, an owner that cannot be given, a folder
//     where no file can be made) the text is gathered in a temporary file
//     and Commit writes it into the old file in place, so that its owner,
//     mode and links stay; only a failure during that last copy can leave
//     the file part-written.
class SafeWriter {
  public:
    SafeWriter() = default;
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // Each returns false, with error() set, on failure; after one, the
    // writer is cancelled.
    bool Open(const std::string& path);
    bool Write(std::string_view bytes);
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Cancel();

    int error() const { return error_; }

  private:
    enum class Mode { Closed, Replace, Create, InPlace };

    bool Fail(int error);
    bool TryReplace(const struct stat* old);
    bool CommitInPlace();

    Mode mode_ = Mode::Closed;
    std::string target_;     // the file itself, links resolved
    std::string temporary_;  // beside it, for Replace
    int fd_ = -1;            // where Write goes
    int target_fd_ = -1;     // the old file, for InPlace
    int error_ = 0;
};

// Writes `bytes` to `path` as SafeWriter does. Returns false, with `error`
// set, on failure.
bool WriteFileSafely(const std::string& path, std::string_view bytes, int& error);

// Whether two names are one file (the same device and inode).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace bivano::io
