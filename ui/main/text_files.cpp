// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/text_files.h"

#include <QFile>

#include "core/pipeline.h"
#include "io/safe_file.h"

namespace bivano::ui {
namespace {

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

Result<QString> ReadTextFile(const QString& path) {
    const Result<std::string> bytes = io::ReadRegularFile(QFile::encodeName(path).toStdString(),
                                                          static_cast<std::size_t>(kMaxOpenBytes));
    if (!bytes) {
        return bytes.failure();
    }
    QString text = QString::fromStdU16String(DecodeTextFile(*bytes));
    if (!FitsTextBox(text)) {
        return Failure::Of(Cause::TooLarge);
    }
    return text;
}

Status WriteTextFile(const QString& path, const QString& text) {
    const QString with_break = text + QStringLiteral("\r\n");
    const std::string bytes =
        EncodeTextFile(std::u16string_view(reinterpret_cast<const char16_t*>(with_break.utf16()),
                                           static_cast<std::size_t>(with_break.size())));
    return io::WriteFileSafely(QFile::encodeName(path).toStdString(), bytes);
}

}  // namespace bivano::ui
