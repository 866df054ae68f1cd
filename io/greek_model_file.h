// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/spelling/speller.h"

namespace bivano::io {

// The Greek reader's model as the program was built or installed with it:
// $BIVANO_MODEL when set, then share/bivano/greek.model beside the program
// (a build folder) or above it (an installed program), then the folder the
// program was installed to.
std::string DefaultGreekModelPath();

// Every file the reader's data comes from (model, word list, .aff) is
// checked alike before a byte of it is read: a regular file, not empty and
// within its bound, so that a FIFO or a device is refused at once, never
// waited on, and a huge file is refused rather than exhausting memory.

// The speller over the model file at `path`, mapped into memory rather than
// read; nothing, with `problem` saying why, when the file is missing,
// unreadable or no model.
std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path,
                                             GreekSpeller::Problem* problem = nullptr);

// The speller over a hunspell word list (see GreekSpeller::FromHunspell),
// the .aff beside it (el_GR.dic, el_GR.aff) and the English word list,
// read and indexed at once, which takes a moment.
std::unique_ptr<GreekSpeller> OpenHunspellList(
    const std::string& path, GreekSpeller::Problem* problem = nullptr,
    const std::string& english = GreekSpeller::kEnglishWords);

// The bytes of a model made from those files and the lists of everyday
// word frequencies named in `everyday` (data/greek-everyday/, see
// GreekSpeller::BuildModel), as the build makes it. An everyday list passes
// the word list's check; nothing when a file cannot be read, with `problem`
// saying why and `unreadable` (when given) naming the file.
std::vector<std::byte> BuildGreekModel(const std::string& path, const std::string& english,
                                       GreekSpeller::Problem* problem,
                                       const std::vector<std::string>& everyday = {},
                                       std::string* unreadable = nullptr);

// The speller for a run: over the word list the user named (read and
// indexed at once, which takes a moment), or over the default model.
std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               GreekSpeller::Problem* problem = nullptr);

}  // namespace bivano::io
