// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "core/spelling/speller.h"

namespace bivano::io {

// The Greek reader's model as the program was built or installed with it:
// $BIVANO_MODEL when set, then share/bivano/greek.model beside the program
// (a build folder) or above it (an installed program), then the folder the
// program was installed to.
std::string DefaultGreekModelPath();

// The speller over the model file at `path`, mapped into memory rather than
// read; nothing, with `problem` saying why, when the file is missing,
// unreadable or no model.
std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path,
                                             GreekSpeller::Problem* problem = nullptr);

// The speller for a run: over the word list the user named (read and
// indexed at once, which takes a moment), or over the default model.
std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               GreekSpeller::Problem* problem = nullptr);

}  // namespace bivano::io
