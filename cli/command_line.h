// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "core/conversion_options.h"
#include "core/text_codec.h"

namespace bivano::cli {

enum class Direction { Latin, Greek, AccentsOnly };

// What one call of `bivano` asks for.
struct Request {
    Direction direction = Direction::Latin;
    ConversionOptions options;
    std::optional<Encoding> from;  // nothing: judge each input
    Encoding to = Encoding::Utf8;
    bool credit = false;
    bool accents = false;      // spell the Greek with accents (greek --accents, accents)
    std::string dictionary;    // the Greek word list for it
    QString output_file;       // -o
    QString output_directory;  // -d
    QStringList inputs;        // "-" is standard input
};

// The outcome of reading the arguments: a request, or text to print and
// the status to end with (help, version, or a usage error).
struct Parsed {
    std::optional<Request> request;
    QString message;
    int status = 0;
};

Parsed ParseCommandLine(const QStringList& arguments);

}  // namespace bivano::cli
