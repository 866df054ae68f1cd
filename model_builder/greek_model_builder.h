// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace bivano::builder {

// What a model of the Greek reader is made from.
struct ModelSource {
    std::vector<std::u16string> words;  // as the dictionary writes them
    // How often words occur in running text, as the counts write them
    // (data/greek-counts/words.tsv): a word with a capital is a name.
    std::vector<std::pair<std::u16string, std::uint32_t>> frequencies;
    // How often the second follows the first: words, endings ("~ης") and
    // the edges of phrases ("<a", "a>", "*"), as data/README.md has them.
    std::vector<std::pair<std::pair<std::u16string, std::u16string>, std::uint32_t>> pairs;
    std::vector<std::string> english;
    // How common words are in everyday Greek, in the counts' units;
    // words the dictionary and the counts lack are left out.
    std::vector<std::pair<std::u16string, std::uint32_t>> everyday;
};

// The bytes of a model of `source` (core/spelling/greek_model_format.h),
// for a file or for GreekModel::FromBytes: every word of the dictionary
// whose letters are all Greek and at most 48, and every counted word that
// sounds like none of them. Empty when the words cannot be laid out: more
// than 63 words of one plain form, or more words than the format numbers.
std::vector<std::byte> BuildModel(const ModelSource& source);

// Writes the checksum of changed model bytes, so that tests and the fuzzer
// reach the checks behind it: a model whose indexes point anywhere must
// still give words, or none, never a crash.
void Reseal(std::span<std::byte> bytes);

}  // namespace bivano::builder
