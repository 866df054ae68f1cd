// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/spelling/speller.h"
#include "model_builder/greek_model_builder.h"

namespace bivano::builder {

// The bytes of a hunspell word list, of the .aff beside it when there is
// one, and of the English word list (one word a line) to go with it; the
// front ends read them (io/greek_model_file.h).
struct HunspellFiles {
    std::string_view list;
    std::optional<std::string_view> affix;
    std::string_view english;
};

// The bytes of the program's word counts (data/greek-counts/, described in
// data/README.md): lines of "word<TAB>count", "first<TAB>second<TAB>count"
// and "edge<TAB>word<TAB>count" (or "word<TAB>edge<TAB>count"). A line
// that does not read so is skipped.
struct CountFiles {
    std::string_view words;
    std::string_view pairs;
    std::string_view phrase_edges;
};

// Reads a hunspell word list: a count on the first line, then one word a
// line (anything from a "/" on is dropped), in the encoding that the SET
// line of its .aff names (UTF-8 or ISO8859-7, as Debian's el_GR has it).
// Without an .aff, well-formed UTF-8 is read as such and anything else as
// ISO-8859-7. Its Greek words go to `words`; a failure (EmptyFile,
// TooLarge, WordListEncodingUnknown, WordListEncodingWrong, NoGreekWords)
// means the list cannot be used: never a model that reads its words wrong.
Status ReadHunspell(const HunspellFiles& files, std::vector<std::u16string>& words);

// Adds the program's counts to `source`, in their order.
void AddCounts(ModelSource& source, const CountFiles& counts);

// Blends lists of everyday word frequencies (`everyday`, see
// data/greek-everyday/README.md: "word count" lines, or "word<TAB>cB",
// centibels of the share of running words) into the counts of `source`,
// whose words and counts are in place. Lines that cannot be read are
// skipped; without lists, or with none that has a usable line, nothing
// changes.
void AddEveryday(ModelSource& source, std::span<const std::string_view> everyday);

// Adds the English words of `words`, one a line.
void AddEnglish(ModelSource& source, std::string_view words);

// The bytes of a model made from a hunspell list, the program's counts and
// the everyday lists: what bivano-make-model writes. Empty, with `failure`
// (when given) saying why, when the list cannot be used.
std::vector<std::byte> BuildFromHunspell(const HunspellFiles& files, const CountFiles& counts,
                                         Failure* failure,
                                         std::span<const std::string_view> everyday = {});

// A speller over a model made in memory from a hunspell list and the
// program's counts (a word list the user names, bivano --dictionary);
// nothing, with `failure` (when given) saying why, when the list cannot be
// used.
std::unique_ptr<GreekSpeller> SpellerFromHunspell(const HunspellFiles& files,
                                                  const CountFiles& counts,
                                                  Failure* failure = nullptr);

// A speller over a model made in memory from `source`; nothing when the
// source makes no model.
std::unique_ptr<GreekSpeller> SpellerOf(const ModelSource& source);

}  // namespace bivano::builder
