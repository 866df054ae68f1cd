// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace bivano::ui {

// Files larger than this are refused by Open: far more text than anyone
// edits in a text box, and a guard against opening a disk image by mistake.
inline constexpr qint64 kMaxOpenBytes = qint64{256} * 1024 * 1024;

// The whole text of a regular file of at most kMaxOpenBytes, with CR LF line
// breaks kept as they are; nothing when it cannot be read (missing, a
// folder, a device, too large, unreadable).
std::optional<QString> ReadTextFile(const QString& path);

// Replaces `path` with `text` followed by CR LF, all at once: on failure an
// existing file is left exactly as it was. Returns whether it succeeded.
bool WriteTextFile(const QString& path, const QString& text);

}  // namespace bivano::ui
