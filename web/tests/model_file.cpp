// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's model read from a file for the core's tests in WebAssembly,
// where io/ (mapping, the program's folders) is not built: node's own
// files through emscripten's NODERAWFS, read whole.
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "io/greek_model_file.h"

namespace bivano::io {

std::string DefaultGreekModelPath() {
    return "share/bivano/greek.model";
}

std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path,
                                             GreekSpeller::Problem* problem) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> read(std::istreambuf_iterator<char>(file), {});
    if (!file.eof() || read.empty()) {
        if (problem != nullptr) {
            *problem = GreekSpeller::Problem::Unreadable;
        }
        return nullptr;
    }
    auto bytes = std::make_shared<std::vector<std::byte>>(read.size());
    std::memcpy(bytes->data(), read.data(), read.size());
    return GreekSpeller::FromModelBytes(*bytes, bytes, problem);
}

}  // namespace bivano::io
