// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue.h"

namespace bivano::cli {
namespace {

// In upper-case hexadecimal, of at least `digits` digits.
std::string Hex(char32_t code, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*lX", digits, static_cast<unsigned long>(code));
    return text;
}

// The failure itself, wherever it happened.
std::string FileMessage(const Failure& failure) {
    switch (failure.cause) {
        case Cause::NotRegularFile:
            return Translate("not a regular file: left as it is");
        case Cause::DanglingLink:
            return Translate("a symbolic link to no file: left as it is");
        case Cause::WriteProtected:
            return Translate("write-protected: left as it is (--force replaces it)");
        case Cause::TooLarge:
            return std::strerror(EFBIG);
        default:
            return std::strerror(failure.system_error);
    }
}

}  // namespace

std::string FailureMessage(const Failure& failure) {
    const std::string line = std::to_string(failure.place.line);
    const std::string column = std::to_string(failure.place.column);
    const std::string_view detail = failure.detail;
    switch (failure.cause) {
        case Cause::NotEncodable:
            return Fill(
                Translate("line %1, column %2: character U+%3 cannot be written in windows-1253"),
                {line, column, Hex(failure.code, 4)});
        case Cause::InvalidByte:
            return Fill(Translate("line %1, column %2: byte 0x%3 is not valid %4: read as U+FFFD"),
                        {line, column, Hex(failure.code, 2), detail});
        case Cause::UndefinedByte:
            return Fill(
                Translate("line %1, column %2: byte 0x%3 is undefined in %4: read as U+FFFD"),
                {line, column, Hex(failure.code, 2), detail});
        case Cause::InvalidByteNotEncodable:
            return Fill(Translate("line %1, column %2: byte 0x%3 is not valid %4, and "
                                  "windows-1253 has nothing to write in its place"),
                        {line, column, Hex(failure.code, 2), detail});
        case Cause::NotAModel:
            return Translate("the Greek reader's model is damaged or of another version");
        case Cause::WordListEncodingUnknown:
            return Translate(
                "the word list is in an encoding that cannot be read (its .aff names a SET other "
                "than UTF-8 and ISO8859-7)");
        case Cause::WordListEncodingWrong:
            return Translate("the word list is not in the encoding its .aff names");
        case Cause::NoGreekWords:
            return Translate("not a list of Greek words");
        case Cause::AffixUnreadable:
            return Translate("the .aff file beside it cannot be read (or is not a regular file)");
        case Cause::EmptyFile:
            return Translate("the file cannot be read");
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
        return Fill(Translate("the temporary file in %1: %2"), {detail, FileMessage(failure)});
    }
    return FileMessage(failure);
}

}  // namespace bivano::cli
