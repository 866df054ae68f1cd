// SPDX-License-Identifier: GPL-3.0-or-later
#include "common_dialog.h"

#include <QFileInfo>

namespace bivano::ui {
namespace {

QString CaseInsensitivePattern(const QString& pattern) {
    if (pattern == QLatin1String("*.*")) {
        return QStringLiteral("*");
    }
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

QStringList CommonDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns += CaseInsensitivePattern(pattern.trimmed());
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
    return true;
}

}  // namespace bivano::ui
