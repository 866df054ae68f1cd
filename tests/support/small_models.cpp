// SPDX-License-Identifier: GPL-3.0-or-later
#include "small_models.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace bivano::testing {
namespace {

std::string ReadCountFile(const char* name) {
    const std::string path = std::string(BIVANO_COUNTS_FOLDER) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        throw std::runtime_error("cannot read " + path);
    }
    if (bytes.empty()) {
        throw std::runtime_error(path + " is missing or empty");
    }
    return bytes;
}

}  // namespace

const builder::CountFiles& ProgramCountFiles() {
    static const std::string words = ReadCountFile("words.tsv");
    static const std::string pairs = ReadCountFile("pairs.tsv");
    static const std::string edges = ReadCountFile("phrase-edges.tsv");
    static const builder::CountFiles files{words, pairs, edges};
    return files;
}

const builder::ModelSource& ProgramCounts() {
    static const builder::ModelSource counts = [] {
        builder::ModelSource source;
        builder::AddCounts(source, ProgramCountFiles());
        return source;
    }();
    return counts;
}

GreekSpeller SmallModelSpeller(const std::vector<std::u16string>& words) {
    builder::ModelSource source = ProgramCounts();
    source.words = words;
    source.english = {"word", "super", "file", "auto"};
    std::unique_ptr<GreekSpeller> speller = builder::SpellerOf(source);
    if (speller == nullptr) {
        throw std::runtime_error("the builder made no model of the words given");
    }
    return std::move(*speller);
}

}  // namespace bivano::testing
