// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's model read from a file for the core's tests in WebAssembly,
// where io/ (mapping, the program's folders) is not built: node's own
// files through emscripten's NODERAWFS, read whole.
#include <fstream>
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
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    auto bytes =
        std::make_shared<std::vector<std::byte>>(size > 0 ? static_cast<std::size_t>(size) : 0);
    if (size > 0) {
        file.seekg(0);
        file.read(reinterpret_cast<char*>(bytes->data()), size);
    }
    if (size <= 0 || !file) {
        if (problem != nullptr) {
            *problem = GreekSpeller::Problem::Unreadable;
        }
        return nullptr;
    }
    return GreekSpeller::FromModelBytes(*bytes, bytes, problem);
}

}  // namespace bivano::io
