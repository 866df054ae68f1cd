// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace bivano::testing {

// The messages of the two file commands, as the user reads them.
inline const QString kOpenFailure =
    QStringLiteral("Σφάλμα Συστήματος. Σιγουρευτήτε ότι το αρχείο δεν είναι μεγάλύτερο από 64ΚΒ");
inline const QString kSaveFailure = QStringLiteral("Σφάλμα Συστήματος για το αρχείο ");

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

}  // namespace bivano::testing
