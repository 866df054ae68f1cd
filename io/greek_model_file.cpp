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
// blocks, a FIFO included. On failure, why: the system's error (ENOENT for
// a file that is not there), NotRegularFile, EmptyFile or TooLarge.
Result<FileDescriptor> OpenDataFile(const std::string& path, off_t largest, off_t& size) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.fd < 0) {
        return Failure::FromErrno(errno);
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        return Failure::FromErrno(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Failure::Of(Cause::NotRegularFile);
    }
    if (status.st_size <= 0) {
        return Failure::Of(Cause::EmptyFile);
    }
    if (status.st_size > largest) {
        return Failure::Of(Cause::TooLarge);
    }
    size = status.st_size;
    return file;
}

// The whole of a data file (see OpenDataFile).
Result<std::string> ReadDataFile(const std::string& path, off_t largest) {
    off_t size = 0;
    Result<FileDescriptor> file = OpenDataFile(path, largest, size);
    if (!file) {
        return file.failure();
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file->fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
        }
        if (got <= 0) {
            break;  // shorter than it said: what there is
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    if (bytes.empty()) {
        return error != 0 ? Failure::FromErrno(error) : Failure::Of(Cause::EmptyFile);
    }
    return bytes;
}

Result<std::string> ReadWordListFile(const std::string& path) {
    return ReadDataFile(path, static_cast<off_t>(GreekSpeller::kLargestWordList));
}

using HunspellBytes = std::pair<std::string, std::optional<std::string>>;

// The files of a hunspell list, read; the failure when the list or its .aff
// cannot be read. The .aff may be missing or empty: the list is then
// judged alone.
Result<HunspellBytes> ReadHunspellFiles(const std::string& path) {
    Result<std::string> list = ReadWordListFile(path);
    if (!list) {
        return list.failure();
    }
    const std::string affix_path =
        (path.ends_with(".dic") ? path.substr(0, path.size() - 4) : path) + ".aff";
    Result<std::string> affix = ReadWordListFile(affix_path);
    if (affix) {
        return HunspellBytes(std::move(*list), std::move(*affix));
    }
    const Failure& failure = affix.failure();
    if ((failure.cause == Cause::System && failure.system_error == ENOENT) ||
        failure.cause == Cause::EmptyFile) {
        return HunspellBytes(std::move(*list), std::nullopt);
    }
    return failure.cause == Cause::TooLarge ? failure : Failure::Of(Cause::AffixUnreadable);
}

builder::HunspellFiles ViewOf(const HunspellBytes& files, const std::string& english) {
    return {files.first,
            files.second ? std::optional<std::string_view>(*files.second) : std::nullopt, english};
}

std::string ReadEnglishWords(const std::string& path) {
    Result<std::string> words = ReadWordListFile(path);
    return words ? std::move(*words) : std::string();
}

// Sets `*failure`, when given, and gives nothing of type T.
template <class T>
T FailWith(Failure* failure, Failure why) {
    if (failure != nullptr) {
        *failure = std::move(why);
    }
    return T();
}

// The counts' files; the failure of the first that cannot be read, which
// `unreadable` (when given) names.
Result<CountTexts> ReadCountFiles(const std::string& folder, std::string* unreadable) {
    CountTexts counts;
    for (auto [name, text] :
         {std::pair{"/words.tsv", &counts.words}, std::pair{"/pairs.tsv", &counts.pairs},
          std::pair{"/phrase-edges.tsv", &counts.phrase_edges}}) {
        Result<std::string> bytes = ReadWordListFile(folder + name);
        if (!bytes) {
            if (unreadable != nullptr) {
                *unreadable = folder + name;
            }
            return bytes.failure();
        }
        *text = std::move(*bytes);
    }
    return counts;
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

// Every page is read at once by the checksum: read in one call rather than
// one fault at a time, and in pages as large as the system allows. A model
// read into small pages costs a fault per 4 KiB in every run after (as long
// as it stays cached), at each start about as long as all the rest of it.
void ReadWholeMapping(void* address, std::size_t size) {
#ifdef MADV_HUGEPAGE
    ::madvise(address, size, MADV_HUGEPAGE);  // a hint: refused is fine
#endif
#ifdef MADV_POPULATE_READ
    ::madvise(address, size, MADV_POPULATE_READ);  // else the checksum faults them in
#endif
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
    Result<CountTexts> counts = ReadCountFiles(folder, unreadable);
    if (!counts) {
        return std::nullopt;
    }
    return std::move(*counts);
}

std::unique_ptr<GreekSpeller> OpenGreekModel(const std::string& path, Failure* failure) {
    off_t size = 0;
    const Result<FileDescriptor> file = OpenDataFile(path, kLargestModel, size);
    if (!file) {
        return FailWith<std::unique_ptr<GreekSpeller>>(failure, file.failure());
    }
    auto mapping = std::make_shared<Mapping>();
    mapping->size = static_cast<std::size_t>(size);
    mapping->address = ::mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE, file->fd, 0);
    if (mapping->address == MAP_FAILED) {
        return FailWith<std::unique_ptr<GreekSpeller>>(failure, Failure::FromErrno(errno));
    }
    ReadWholeMapping(mapping->address, mapping->size);
    const std::span<const std::byte> bytes(static_cast<const std::byte*>(mapping->address),
                                           mapping->size);
    return GreekSpeller::FromModelBytes(bytes, mapping, failure);
}

std::unique_ptr<GreekSpeller> OpenHunspellList(const std::string& path, Failure* failure,
                                               const std::string& english) {
    const Result<HunspellBytes> files = ReadHunspellFiles(path);
    if (!files) {
        return FailWith<std::unique_ptr<GreekSpeller>>(failure, files.failure());
    }
    const std::string english_words = ReadEnglishWords(english);
    const CountTexts counts = ReadCounts(DefaultCountsFolder()).value_or(CountTexts());
    return builder::SpellerFromHunspell(ViewOf(*files, english_words), counts.View(), failure);
}

std::vector<std::byte> BuildGreekModel(const std::string& path, const std::string& english,
                                       const std::string& counts_folder, Failure* failure,
                                       const std::vector<std::string>& everyday,
                                       std::string* unreadable) {
    using Bytes = std::vector<std::byte>;
    const Result<HunspellBytes> files = ReadHunspellFiles(path);
    if (!files) {
        if (unreadable != nullptr) {
            *unreadable = path;
        }
        return FailWith<Bytes>(failure, files.failure());
    }
    const Result<CountTexts> counts = ReadCountFiles(counts_folder, unreadable);
    if (!counts) {
        return FailWith<Bytes>(failure, counts.failure());
    }
    std::vector<std::string> everyday_bytes;
    everyday_bytes.reserve(everyday.size());
    for (const std::string& list : everyday) {
        Result<std::string> bytes = ReadWordListFile(list);
        if (!bytes) {
            if (unreadable != nullptr) {
                *unreadable = list;
            }
            return FailWith<Bytes>(failure, bytes.failure());
        }
        everyday_bytes.push_back(std::move(*bytes));
    }
    const std::vector<std::string_view> everyday_views(everyday_bytes.begin(),
                                                       everyday_bytes.end());
    const std::string english_words = ReadEnglishWords(english);
    return builder::BuildFromHunspell(ViewOf(*files, english_words), counts->View(), failure,
                                      everyday_views);
}

std::unique_ptr<GreekSpeller> OpenGreekSpeller(const std::string& named_dictionary,
                                               Failure* failure) {
    if (!named_dictionary.empty()) {
        return OpenHunspellList(named_dictionary, failure);
    }
    return OpenGreekModel(DefaultGreekModelPath(), failure);
}

}  // namespace bivano::io
