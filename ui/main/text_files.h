// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include "core/pipeline.h"

namespace bivano::ui {

// Files larger than this are refused by Open: far more text than anyone
// edits in a text box, and a guard against opening a disk image by mistake.
// Open never reads more than this and one byte, whatever the file claims.
inline constexpr qint64 kMaxOpenBytes = qint64{256} * 1024 * 1024;

// What the text boxes take in. Qt's plain text box lays a line out whole:
// one of 2 Mi characters shows in about a second, one of 8 Mi in four, and
// one past some 70 M shows empty or crashes the program. A text of 64 Mi
// characters in ordinary lines shows in a few seconds. Results may grow to
// three times their source ("ϗ" gives "kai"; KS, TH and PS give two
// letters), and stay well inside what the box shows correctly.
inline constexpr qsizetype kMaxBoxCharacters = qsizetype{64} * 1024 * 1024;
inline constexpr qsizetype kMaxLineCharacters = qsizetype{2} * 1024 * 1024;

// Whether a text is within both bounds. CR, LF, CR LF and U+2029 each end
// a line.
bool FitsTextBox(QStringView text);

// The whole text of a regular file of at most kMaxOpenBytes, with CR LF line
// breaks kept as they are; a failure when it cannot be read (missing, a
// folder, a device, a FIFO, a file that would make the reading wait), or
// is too large (TooLarge: more bytes, or a text the box cannot hold).
Result<QString> ReadTextFile(const QString& path);

// Writes `text` followed by CR LF to `path`: Windows-1253 when every
// character has a byte there, else UTF-8, as io::SafeWriter writes:
//   - A target that exists and is no regular file (after links are
//     followed) is refused and left untouched.
//   - A regular file with one name whose owner, group and mode the new file
//     can take is replaced all at once: on failure it is left as it was.
//   - Otherwise (a second hard link, another owner that cannot be given, a
//     folder where no new file can be made) it is written in place, as the
//     old file itself, so that its owner, mode and links stay.
//   - A symbolic link stays a link; the file it points to is written.
Status WriteTextFile(const QString& path, const QString& text);

}  // namespace bivano::ui
