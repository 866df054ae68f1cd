// SPDX-License-Identifier: GPL-3.0-or-later
#include "common_dialog.h"

#include <QFileInfo>

namespace bivano::ui {
QStringList CommonDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns += pattern.trimmed();
        }
        filters +=
            parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

bool CommonDialog::Show(QWidget* parent, FileDialogRequest::Mode mode) {
    FileDialogRequest request;
    request.mode = mode;
    request.name_filters = NameFilters(Filter);
    request.default_suffix = DefaultExt;
    request.must_exist = (Flags & cdlOFNFileMustExist) != 0;
    request.confirm_overwrite = (Flags & cdlOFNOverwritePrompt) != 0;
    request.file_name = FileName;
    const std::optional<QString> chosen = backend_.Run(parent, request);
    if (!chosen) {
        return false;
    }
    FileName = *chosen;
    // A name typed without an extension got the default one; on this
    // platform the file is as often "name.txt" as "name.TXT".
    if (mode == FileDialogRequest::Mode::Open && !QFileInfo::exists(FileName) &&
        !DefaultExt.isEmpty() && FileName.endsWith(QLatin1Char('.') + DefaultExt)) {
        const QString lower = FileName.chopped(DefaultExt.size()) + DefaultExt.toLower();
        if (QFileInfo::exists(lower)) {
            FileName = lower;
        }
    }
    return true;
}

}  // namespace bivano::ui
