// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/greek_model_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <span>

namespace bivano::io {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

// A read-only mapping, unmapped with its last owner.
struct Mapping {
    void* address = MAP_FAILED;
    std::size_t size = 0;
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (address != MAP_FAILED) {
            ::munmap(address, size);
        }
    }
};

constexpr off_t kLargestModel = off_t{1} << 30;

}  // namespace

std::string DefaultGreekModelPath() {
    if (const char* chosen = std::getenv("BIVANO_MODEL"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    const std::string folder = ProgramFolder();
    for (const std::string& candidate :
         {folder + "/share/bivano/greek.model", folder + "/../share/bivano/greek.model"}) {
        if (!folder.empty() && IsRegularFile(candidate)) {
            return candidate;
        }
    }
    return BIVANO_INSTALLED_MODEL;
}

std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path,
                                             GreekSpeller::Problem* problem) {
    GreekSpeller::Problem ignored = GreekSpeller::Problem::None;
    GreekSpeller::Problem& outcome = problem != nullptr ? *problem : ignored;
    outcome = GreekSpeller::Problem::Unreadable;
    // Regular files only: a FIFO or a device would block or never end.
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0 ||
        status.st_size > kLargestModel) {
        ::close(file);
        return nullptr;
    }
    auto mapping = std::make_shared<Mapping>();
    mapping->size = static_cast<std::size_t>(status.st_size);
    mapping->address = ::mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE, file, 0);
    ::close(file);
    if (mapping->address == MAP_FAILED) {
        return nullptr;
    }
    const std::span<const std::byte> bytes(static_cast<const std::byte*>(mapping->address),
                                           mapping->size);
    return GreekSpeller::FromModelBytes(bytes, mapping, &outcome);
}

std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               GreekSpeller::Problem* problem) {
    if (!named_dictionary.empty()) {
        return GreekSpeller::FromHunspellFile(named_dictionary, problem);
    }
    return OpenGreekModel(DefaultGreekModelPath(), problem);
}

}  // namespace bivano::io
