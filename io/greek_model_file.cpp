// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/greek_model_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <span>
#include <utility>

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

// A file closed with its owner.
struct FileDescriptor {
    int fd = -1;
    explicit FileDescriptor(int opened) : fd(opened) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Opens a data file for reading, after the one check every such file
// passes: a regular file, not empty, at most `largest` bytes. Opening never
// blocks, a FIFO included. On failure the descriptor is -1 and `problem`
// (and `error`, the system's reason) say why.
FileDescriptor OpenDataFile(const std::string& path, off_t largest, off_t& size,
                            GreekSpeller::Problem& problem, int& error) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    problem = GreekSpeller::Problem::Unreadable;
    error = errno;
    if (file.fd < 0) {
        return file;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        error = 0;
        return FileDescriptor(-1);
    }
    if (status.st_size > largest) {
        problem = GreekSpeller::Problem::TooLarge;
        error = 0;
        return FileDescriptor(-1);
    }
    problem = GreekSpeller::Problem::None;
    size = status.st_size;
    return file;
}

// The whole of a data file, or nothing (see OpenDataFile). `error` is
// ENOENT for a file that is not there.
std::optional<std::string> ReadDataFile(const std::string& path, off_t largest,
                                        GreekSpeller::Problem& problem, int& error) {
    off_t size = 0;
    const FileDescriptor file = OpenDataFile(path, largest, size, problem, error);
    if (file.fd < 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // shorter than it said: what there is
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    if (bytes.empty()) {
        problem = GreekSpeller::Problem::Unreadable;
        return std::nullopt;
    }
    return bytes;
}

// The files of a hunspell list, read; nothing, with `problem` set, when
// the list or its .aff cannot be read. The English list is optional.
std::optional<std::pair<std::string, std::optional<std::string>>> ReadHunspellFiles(
    const std::string& path, GreekSpeller::Problem& problem) {
    const auto largest = static_cast<off_t>(GreekSpeller::kLargestWordList);
    int error = 0;
    std::optional<std::string> list = ReadDataFile(path, largest, problem, error);
    if (!list) {
        return std::nullopt;
    }
    const std::string affix_path =
        (path.ends_with(".dic") ? path.substr(0, path.size() - 4) : path) + ".aff";
    std::optional<std::string> affix = ReadDataFile(affix_path, largest, problem, error);
    if (!affix) {
        struct stat status {};
        const bool empty_file = ::stat(affix_path.c_str(), &status) == 0 &&
                                S_ISREG(status.st_mode) && status.st_size == 0;
        if (error != ENOENT && !empty_file) {
            problem = problem == GreekSpeller::Problem::TooLarge
                          ? GreekSpeller::Problem::TooLarge
                          : GreekSpeller::Problem::AffixUnreadable;
            return std::nullopt;
        }
        problem = GreekSpeller::Problem::None;  // no .aff: judged from the list
    }
    return std::make_pair(std::move(*list), std::move(affix));
}

using HunspellBytes = std::pair<std::string, std::optional<std::string>>;

builder::HunspellFiles ViewOf(const HunspellBytes& files, const std::string& english) {
    return {files.first,
            files.second ? std::optional<std::string_view>(*files.second) : std::nullopt, english};
}

std::string ReadEnglishWords(const std::string& path) {
    GreekSpeller::Problem ignored = GreekSpeller::Problem::None;
    int error = 0;
    return ReadDataFile(path, static_cast<off_t>(GreekSpeller::kLargestWordList), ignored, error)
        .value_or(std::string());
}

// `name` in share/bivano beside the program (a build folder) or above it
// (an installed program) when `there` holds for it; else nothing.
template <class There>
std::optional<std::string> BesideTheProgram(const std::string& name, There there) {
    const std::string folder = ProgramFolder();
    for (const std::string& candidate :
         {folder + "/share/bivano/" + name, folder + "/../share/bivano/" + name}) {
        if (!folder.empty() && there(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::string DefaultGreekModelPath() {
    if (const char* chosen = std::getenv("BIVANO_MODEL"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    return BesideTheProgram("greek.model", IsRegularFile).value_or(BIVANO_INSTALLED_MODEL);
}

std::string DefaultCountsFolder() {
    if (const char* chosen = std::getenv("BIVANO_COUNTS"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    return BesideTheProgram("counts", IsFolder).value_or(BIVANO_INSTALLED_COUNTS);
}

std::optional<CountTexts> ReadCounts(const std::string& folder, std::string* unreadable) {
    CountTexts counts;
    for (auto [name, text] :
         {std::pair{"/words.tsv", &counts.words}, std::pair{"/pairs.tsv", &counts.pairs},
          std::pair{"/phrase-edges.tsv", &counts.phrase_edges}}) {
        GreekSpeller::Problem problem = GreekSpeller::Problem::None;
        int error = 0;
        std::optional<std::string> bytes = ReadDataFile(
            folder + name, static_cast<off_t>(GreekSpeller::kLargestWordList), problem, error);
        if (!bytes) {
            if (unreadable != nullptr) {
                *unreadable = folder + name;
            }
            return std::nullopt;
        }
        *text = std::move(*bytes);
    }
    return counts;
}

std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path,
                                             GreekSpeller::Problem* problem) {
    GreekSpeller::Problem ignored = GreekSpeller::Problem::None;
    GreekSpeller::Problem& outcome = problem != nullptr ? *problem : ignored;
    off_t size = 0;
    int error = 0;
    const FileDescriptor file = OpenDataFile(path, kLargestModel, size, outcome, error);
    if (file.fd < 0) {
        return nullptr;
    }
    auto mapping = std::make_shared<Mapping>();
    mapping->size = static_cast<std::size_t>(size);
    // Every page is read at once by the checksum: mapped in one call rather
    // than one fault at a time.
#ifdef MAP_POPULATE
    constexpr int kMapFlags = MAP_PRIVATE | MAP_POPULATE;
#else
    constexpr int kMapFlags = MAP_PRIVATE;
#endif
    mapping->address = ::mmap(nullptr, mapping->size, PROT_READ, kMapFlags, file.fd, 0);
    if (mapping->address == MAP_FAILED) {
        outcome = GreekSpeller::Problem::Unreadable;
        return nullptr;
    }
    const std::span<const std::byte> bytes(static_cast<const std::byte*>(mapping->address),
                                           mapping->size);
    return GreekSpeller::FromModelBytes(bytes, mapping, &outcome);
}

std::unique_ptr<GreekSpeller> OpenHunspellList(const std::string& path,
                                               GreekSpeller::Problem* problem,
                                               const std::string& english) {
    GreekSpeller::Problem ignored = GreekSpeller::Problem::None;
    GreekSpeller::Problem& outcome = problem != nullptr ? *problem : ignored;
    const auto files = ReadHunspellFiles(path, outcome);
    if (!files) {
        return nullptr;
    }
    const std::string english_words = ReadEnglishWords(english);
    const CountTexts counts = ReadCounts(DefaultCountsFolder()).value_or(CountTexts());
    return builder::SpellerFromHunspell(ViewOf(*files, english_words), counts.View(), &outcome);
}

std::vector<std::byte> BuildGreekModel(const std::string& path, const std::string& english,
                                       const std::string& counts_folder,
                                       GreekSpeller::Problem* problem,
                                       const std::vector<std::string>& everyday,
                                       std::string* unreadable) {
    GreekSpeller::Problem ignored = GreekSpeller::Problem::None;
    GreekSpeller::Problem& outcome = problem != nullptr ? *problem : ignored;
    const auto files = ReadHunspellFiles(path, outcome);
    if (!files) {
        if (unreadable != nullptr) {
            *unreadable = path;
        }
        return {};
    }
    const std::optional<CountTexts> counts = ReadCounts(counts_folder, unreadable);
    if (!counts) {
        outcome = GreekSpeller::Problem::Unreadable;
        return {};
    }
    std::vector<std::string> everyday_bytes;
    everyday_bytes.reserve(everyday.size());
    for (const std::string& list : everyday) {
        int error = 0;
        std::optional<std::string> bytes =
            ReadDataFile(list, static_cast<off_t>(GreekSpeller::kLargestWordList), outcome, error);
        if (!bytes) {
            if (unreadable != nullptr) {
                *unreadable = list;
            }
            return {};
        }
        everyday_bytes.push_back(std::move(*bytes));
    }
    const std::vector<std::string_view> everyday_views(everyday_bytes.begin(),
                                                       everyday_bytes.end());
    const std::string english_words = ReadEnglishWords(english);
    return builder::BuildFromHunspell(ViewOf(*files, english_words), counts->View(), &outcome,
                                      everyday_views);
}

std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               GreekSpeller::Problem* problem) {
    if (!named_dictionary.empty()) {
        return OpenHunspellList(named_dictionary, problem);
    }
    return OpenGreekModel(DefaultGreekModelPath(), problem);
}

}  // namespace bivano::io
