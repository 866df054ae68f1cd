// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text_file.h"

namespace bivano::ui {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting a failure (a late write error shows here).
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

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

// Empties the regular file `name` and writes `bytes` into it.
bool WriteInPlace(const QByteArray& name, std::string_view bytes) {
    Descriptor file(::open(name.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    return ::ftruncate(file.get(), 0) == 0 && WriteAll(file.get(), bytes) && file.Close();
}

enum class Replaced { Done, Failed, NotPossible };

// Writes `bytes` to a new file beside `name` and renames it over `name`.
// `old` is the file being replaced, if any: the new one takes its owner,
// group and mode, or the replacement is not possible.
Replaced ReplaceAtOnce(const QByteArray& name, std::string_view bytes, const struct stat* old) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(name)).absolutePath());
    // A short name of its own, so that a target name near the system's
    // limit still leaves room for it.
    QByteArray temporary = folder + "/.bivano-XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.valid()) {
        return Replaced::NotPossible;  // e.g. a folder we may not write in
    }
    const auto discard = [&](Replaced outcome) {
        ::unlink(temporary.constData());
        return outcome;
    };
    if (old != nullptr) {
        if (::fchown(file.get(), old->st_uid, old->st_gid) != 0 ||
            ::fchmod(file.get(), old->st_mode & 07777) != 0) {
            return discard(Replaced::NotPossible);
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(file.get(), 0666 & ~mask) != 0) {
            return discard(Replaced::Failed);
        }
    }
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.Close()) {
        return discard(Replaced::Failed);
    }
    if (::rename(temporary.constData(), name.constData()) != 0) {
        return discard(Replaced::Failed);
    }
    return Replaced::Done;
}

bool IsLineBreak(QChar character) {
    return character == QLatin1Char('\n') || character == QLatin1Char('\r') ||
           character == QChar::ParagraphSeparator;
}

}  // namespace

bool FitsTextBox(QStringView text) {
    if (text.size() > kMaxBoxCharacters) {
        return false;
    }
    qsizetype line = 0;
    for (const QChar character : text) {
        line = IsLineBreak(character) ? 0 : line + 1;
        if (line > kMaxLineCharacters) {
            return false;
        }
    }
    return true;
}

std::optional<QString> ReadTextFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    // Only regular files: opening a device or a FIFO may wait or act.
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // Without waiting: a file that would block (as some in /proc do) fails.
    Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // The size said is only a hint: files in /proc say 0 and hold more.
    std::string bytes;
    bytes.reserve(
        static_cast<std::size_t>(std::clamp<off_t>(status.st_size, 0, kMaxOpenBytes) + 1));
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (;;) {
        const std::size_t start = bytes.size();
        const std::size_t room =
            std::min(kPiece, static_cast<std::size_t>(kMaxOpenBytes) + 1 - start);
        bytes.resize(start + room);
        const ssize_t got = ::read(file.get(), bytes.data() + start, room);
        if (got < 0) {
            if (errno == EINTR) {
                bytes.resize(start);
                continue;
            }
            return std::nullopt;
        }
        bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
        if (bytes.size() > static_cast<std::size_t>(kMaxOpenBytes)) {
            return std::nullopt;
        }
    }
    QString text = QString::fromStdU16String(DecodeTextFile(bytes));
    if (!FitsTextBox(text)) {
        return std::nullopt;
    }
    return text;
}

bool WriteTextFile(const QString& path, const QString& text) {
    const QString with_break = text + QStringLiteral("\r\n");
    const EncodedText encoded =
        EncodeTextFile(std::u16string_view(reinterpret_cast<const char16_t*>(with_break.utf16()),
                                           static_cast<std::size_t>(with_break.size())));
    QByteArray name = QFile::encodeName(path);
    struct stat status {};
    const bool exists = ::stat(name.constData(), &status) == 0;
    if (exists) {
        if (!S_ISREG(status.st_mode)) {
            return false;  // a device, FIFO, socket or folder: never replaced
        }
        // Write the file a link points to, and leave the link a link.
        char resolved[PATH_MAX];
        if (::realpath(name.constData(), resolved) == nullptr) {
            return false;
        }
        name = resolved;
    } else if (errno != ENOENT) {
        return false;
    }
    if (!exists || status.st_nlink == 1) {
        switch (ReplaceAtOnce(name, encoded.bytes, exists ? &status : nullptr)) {
            case Replaced::Done:
                return true;
            case Replaced::Failed:
                return false;
            case Replaced::NotPossible:
                break;
        }
    }
    if (!exists) {
        // No new file can be made beside it: try creating it itself.
        Descriptor file(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        return file.valid() && WriteAll(file.get(), encoded.bytes) && file.Close();
    }
    return WriteInPlace(name, encoded.bytes);
}

}  // namespace bivano::ui
