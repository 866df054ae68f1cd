// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/spelling/speller.h"
#include "model_builder/model_sources.h"

namespace bivano::io {

// The Greek reader's model as the program was built or installed with it:
// $BIVANO_MODEL when set, then share/bivano/greek.model beside the program
// (a build folder) or above it (an installed program), then the folder the
// program was installed to.
std::string DefaultGreekModelPath();

// The program's word counts that a model is made from (data/greek-counts/
// in the sources, installed beside the model): $BIVANO_COUNTS when set,
// then share/bivano/counts beside the program or above it, then the folder
// the program was installed to.
std::string DefaultCountsFolder();

// The counts' files (words.tsv, pairs.tsv, phrase-edges.tsv) as read from
// a folder.
struct CountTexts {
    std::string words;
    std::string pairs;
    std::string phrase_edges;
    builder::CountFiles View() const { return {words, pairs, phrase_edges}; }
};
// The counts in `folder`; nothing when one of their files cannot be read,
// with `unreadable` (when given) naming it.
std::optional<CountTexts> ReadCounts(const std::string& folder, std::string* unreadable = nullptr);

// Every file the reader's data comes from (model, word list, .aff) is
// checked alike before a byte of it is read: a regular file, not empty and
// within its bound, so that a FIFO or a device is refused at once, never
// waited on, and a huge file is refused rather than exhausting memory.

// The speller over the model file at `path`, mapped into memory rather than
// read; nothing, with `failure` (when given) saying why, when the file is
// missing, unreadable (the system's error), not a regular file, empty or
// no model (Cause::NotAModel).
std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path, Failure* failure = nullptr);

// The speller over a hunspell word list (see builder::ReadHunspell), the
// .aff beside it (el_GR.dic, el_GR.aff), the English word list and the
// program's counts (DefaultCountsFolder; without them, the list alone),
// made into a model in memory at once, which takes a moment.
// Nothing, with `failure` (when given) saying why, when the list or its .aff
// cannot be read or the list cannot be used (builder::ReadHunspell).
std::unique_ptr<GreekSpeller> OpenHunspellList(
    const std::string& path, Failure* failure = nullptr,
    const std::string& english = GreekSpeller::kEnglishWords);

// The bytes of a model made from those files, the counts in
// `counts_folder` and the lists of everyday word frequencies named in
// `everyday` (data/greek-everyday/, see builder::AddEveryday), as the
// build makes it. The counts and an everyday list pass the word list's
// check; nothing when a file cannot be read or the list cannot be used,
// with `failure` (when given) saying why and `unreadable` (when given)
// naming a file that cannot be read.
std::vector<std::byte> BuildGreekModel(const std::string& path, const std::string& english,
                                       const std::string& counts_folder, Failure* failure,
                                       const std::vector<std::string>& everyday = {},
                                       std::string* unreadable = nullptr);

// The speller for a run: over the word list the user named (read and
// indexed at once, which takes a moment), or over the default model.
std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               Failure* failure = nullptr);

}  // namespace bivano::io
