#pragma once

#include <QString>

namespace bivano::about {

// Who made the program and where to find it: shown in the About window, the
// banner and the credit lines that end every conversion.
inline QString ProductName() {
    return QStringLiteral("Lativo Bivano");
}
inline QString Version() {
    return QStringLiteral("Version 3. 3");
}
inline QString AuthorName() {
    return QStringLiteral("Ομάδα Lativo Bivano");  // the Lativo Bivano team
}
inline QString AuthorNickname() {
    return QStringLiteral("Bivano");
}
inline QString WebAddress() {
    return QStringLiteral("www.example.org");
}
inline QString EmailAddress() {
    return QStringLiteral("bivano@example.org");
}

}  // namespace bivano::about
