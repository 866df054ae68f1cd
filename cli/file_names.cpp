// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_names.h"

#include <cstdint>

namespace bivano::cli {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t SequenceLength(std::string_view bytes, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t index) { return static_cast<std::uint8_t>(bytes[index]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(at + index) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + index) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

QString ArgumentFromBytes(std::string_view bytes) {
    QString argument;
    argument.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = SequenceLength(bytes, at, code);
        if (length == 0) {
            argument.append(
                QChar(static_cast<char16_t>(kEscapeBase + static_cast<std::uint8_t>(bytes[at]))));
            ++at;
            continue;
        }
        if (code >= 0x10000) {
            argument.append(QChar(QChar::highSurrogate(code)));
            argument.append(QChar(QChar::lowSurrogate(code)));
        } else {
            argument.append(QChar(static_cast<char16_t>(code)));
        }
        at += length;
    }
    return argument;
}

std::string BytesFromArgument(const QString& argument) {
    std::string bytes;
    qsizetype run_start = 0;
    const auto flush = [&](qsizetype end) {
        bytes.append(argument.mid(run_start, end - run_start).toStdString());
    };
    for (qsizetype index = 0; index < argument.size(); ++index) {
        const char16_t unit = argument[index].unicode();
        const bool paired = index > 0 && argument[index - 1].isHighSurrogate();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !paired) {
            flush(index);
            bytes.push_back(static_cast<char>(unit - kEscapeBase));
            run_start = index + 1;
        }
    }
    flush(argument.size());
    return bytes;
}

}  // namespace bivano::cli
