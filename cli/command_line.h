// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
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
    std::string message;  // in the user's language and the locale's character set
    int status = 0;
};

// `arguments` without the program's name, as the system's bytes (file names
// need not be UTF-8). Options may come before, between and after the file
// names; "--" ends them. Short ones may be run together, a value joined to
// its letter (-x3) or next (-x 3); long ones take theirs after "=" or next.
Parsed ParseCommandLine(std::span<const std::string_view> arguments);

}  // namespace bivano::cli
