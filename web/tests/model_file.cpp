// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's model read from a file for the core's tests in WebAssembly,
// where io/ (mapping, the program's folders) is not built: node's own
// files through emscripten's NODERAWFS, read whole; a word list made into a
// model with the program's counts in the sources' data/greek-counts/.
#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/greek_model_file.h"

namespace bivano::io {

namespace {

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

std::string DefaultGreekModelPath() {
    return "share/bivano/greek.model";
}

std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path, Failure* failure) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    auto bytes =
        std::make_shared<std::vector<std::byte>>(size > 0 ? static_cast<std::size_t>(size) : 0);
    if (size > 0) {
        file.seekg(0);
        file.read(reinterpret_cast<char*>(bytes->data()), size);
    }
    if (size <= 0 || !file) {
        if (failure != nullptr) {
            *failure = Failure::FromErrno(ENOENT);
        }
        return nullptr;
    }
    return GreekSpeller::FromModelBytes(*bytes, bytes, failure);
}

std::unique_ptr<GreekSpeller> OpenHunspellList(const std::string& path, Failure* failure,
                                               const std::string& english) {
    const std::optional<std::string> list = ReadWhole(path);
    if (!list || list->empty()) {
        if (failure != nullptr) {
            *failure = Failure::FromErrno(ENOENT);
        }
        return nullptr;
    }
    const std::string affix_path =
        (path.ends_with(".dic") ? path.substr(0, path.size() - 4) : path) + ".aff";
    const std::optional<std::string> affix = ReadWhole(affix_path);
    const std::string english_words = ReadWhole(english).value_or(std::string());
    const std::string folder = BIVANO_COUNTS_FOLDER;
    const std::string words = ReadWhole(folder + "/words.tsv").value_or(std::string());
    const std::string pairs = ReadWhole(folder + "/pairs.tsv").value_or(std::string());
    const std::string edges = ReadWhole(folder + "/phrase-edges.tsv").value_or(std::string());
    return builder::SpellerFromHunspell(
        {*list, affix ? std::optional<std::string_view>(*affix) : std::nullopt, english_words},
        {words, pairs, edges}, failure);
}

}  // namespace bivano::io
