// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/spelling/speller.h"
#include "model_builder/greek_model_builder.h"
#include "model_builder/model_sources.h"

namespace bivano::testing {

// A speller over a model made here by the builder from `words` (the tests'
// small dictionaries), the program's own counts (data/greek-counts/) and
// the English words "word", "super", "file" and "auto".
GreekSpeller SmallModelSpeller(const std::vector<std::u16string>& words);

// The program's counts, read once from data/greek-counts/: their bytes, and
// a model source that has them.
const builder::CountFiles& ProgramCountFiles();
const builder::ModelSource& ProgramCounts();

}  // namespace bivano::testing
