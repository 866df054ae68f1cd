// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace bivano::cli {
namespace {

QString HexByte(char32_t byte) {
    return QString::number(static_cast<uint>(byte), 16)
        .toUpper()
        .rightJustified(2, QLatin1Char('0'));
}

QString Detail(const Failure& failure) {
    return QString::fromLocal8Bit(failure.detail.data(),
                                  static_cast<qsizetype>(failure.detail.size()));
}

// The failure itself, wherever it happened.
QString FileMessage(const Failure& failure) {
    switch (failure.cause) {
        case Cause::NotRegularFile:
            return QCoreApplication::translate("bivano", "not a regular file: left as it is");
        case Cause::DanglingLink:
            return QCoreApplication::translate("bivano",
                                               "a symbolic link to no file: left as it is");
        case Cause::WriteProtected:
            return QCoreApplication::translate(
                "bivano", "write-protected: left as it is (--force replaces it)");
        case Cause::TooLarge:
            return QString::fromLocal8Bit(std::strerror(EFBIG));
        default:
            return QString::fromLocal8Bit(std::strerror(failure.system_error));
    }
}

}  // namespace

QString FailureMessage(const Failure& failure) {
    const auto line = static_cast<qulonglong>(failure.place.line);
    const auto column = static_cast<qulonglong>(failure.place.column);
    switch (failure.cause) {
        case Cause::NotEncodable:
            return QCoreApplication::translate(
                       "bivano",
                       "line %1, column %2: character U+%3 cannot be written in windows-1253")
                .arg(line)
                .arg(column)
                .arg(QString::number(static_cast<uint>(failure.code), 16)
                         .toUpper()
                         .rightJustified(4, QLatin1Char('0')));
        case Cause::InvalidByte:
            return QCoreApplication::translate(
                       "bivano", "line %1, column %2: byte 0x%3 is not valid %4: read as U+FFFD")
                .arg(line)
                .arg(column)
                .arg(HexByte(failure.code), Detail(failure));
        case Cause::UndefinedByte:
            return QCoreApplication::translate(
                       "bivano", "line %1, column %2: byte 0x%3 is undefined in %4: read as U+FFFD")
                .arg(line)
                .arg(column)
                .arg(HexByte(failure.code), Detail(failure));
        case Cause::InvalidByteNotEncodable:
            return QCoreApplication::translate("bivano",
                                               "line %1, column %2: byte 0x%3 is not valid %4, and "
                                               "windows-1253 has nothing to write in its place")
                .arg(line)
                .arg(column)
                .arg(HexByte(failure.code), Detail(failure));
        case Cause::NotAModel:
            return QCoreApplication::translate(
                "bivano", "the Greek reader's model is damaged or of another version");
        case Cause::WordListEncodingUnknown:
            return QCoreApplication::translate(
                "bivano",
                "the word list is in an encoding that cannot be read (its .aff names a SET other "
                "than UTF-8 and ISO8859-7)");
        case Cause::WordListEncodingWrong:
            return QCoreApplication::translate(
                "bivano", "the word list is not in the encoding its .aff names");
        case Cause::NoGreekWords:
            return QCoreApplication::translate("bivano", "not a list of Greek words");
        case Cause::AffixUnreadable:
            return QCoreApplication::translate(
                "bivano", "the .aff file beside it cannot be read (or is not a regular file)");
        case Cause::EmptyFile:
            return QCoreApplication::translate("bivano", "the file cannot be read");
        case Cause::System:
        case Cause::NotRegularFile:
        case Cause::DanglingLink:
        case Cause::WriteProtected:
        case Cause::TooLarge:
            break;
    }
    // A file failure that happened in the temporary file its text gathers
    // in rather than at the file named.
    if (!failure.detail.empty()) {
        return QCoreApplication::translate("bivano", "the temporary file in %1: %2")
            .arg(Detail(failure), FileMessage(failure));
    }
    return FileMessage(failure);
}

}  // namespace bivano::cli
