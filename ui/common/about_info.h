// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/product.h"

namespace bivano::about {

// Who made the program and where to find it: shown in the About window, the
// banner and the credit lines that end every conversion.
inline QString ProductName() {
    return QString::fromUtf8(product::kName.data(), product::kName.size());
}
inline QString Version() {
    // The About window has always spaced the version this way.
    return QStringLiteral("Version %1. %2").arg(product::kVersionMajor).arg(product::kVersionMinor);
}
inline QString AuthorName() {
    return QStringLiteral("Ομάδα Lativo Bivano");  // the Lativo Bivano team
}
inline QString AuthorNickname() {
    return QStringLiteral("Bivano");
}
inline QString WebAddress() {
    return QString::fromUtf8(product::kWebAddress.data(), product::kWebAddress.size());
}
inline QString EmailAddress() {
    return QStringLiteral("bivano@example.org");
}

}  // namespace bivano::about
