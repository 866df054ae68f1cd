// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <string>
#include <string_view>

#include "core/text_file.h"

namespace bivano::ui {

std::optional<QString> ReadTextFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() > kMaxOpenBytes) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxOpenBytes) {
        return std::nullopt;
    }
    const std::u16string text =
        DecodeTextFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QString::fromStdU16String(text);
}

bool WriteTextFile(const QString& path, const QString& text) {
    const QString with_break = text + QStringLiteral("\r\n");
    const EncodedText encoded =
        EncodeTextFile(std::u16string_view(reinterpret_cast<const char16_t*>(with_break.utf16()),
                                           static_cast<std::size_t>(with_break.size())));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto size = static_cast<qint64>(encoded.bytes.size());
    if (file.write(encoded.bytes.data(), size) != size || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace bivano::ui
