// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "core/pipeline.h"

namespace bivano::cli {

// What one call of `bivano` asks for.
struct Request {
    Direction direction = Direction::Latin;
    ConversionOptions options;
    std::optional<Encoding> from;  // nothing: judge each input
    Encoding to = Encoding::Utf8;
    bool credit = false;
    bool accents = false;           // spell the Greek with accents (greek --accents, accents)
    bool chat = false;              // and write out the chat abbreviations
    std::string dictionary;         // the Greek word list for it
    bool dictionary_named = false;  // --dictionary: a list that cannot be used fails
    // File names, as the system's bytes.
    std::string output_file;          // -o
    std::string output_directory;     // -d
    bool force = false;               // replace write-protected outputs too
    std::vector<std::string> inputs;  // "-" is standard input
};

// The outcome of reading the arguments: a request, or text to print and
// the status to end with (help, version, or a usage error).
struct Parsed {
    std::optional<Request> request;
    QString message;
    int status = 0;
};

// `arguments` as ArgumentFromBytes makes them, so that any file name passes.
Parsed ParseCommandLine(const QStringList& arguments);

}  // namespace bivano::cli
