// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue.h"
#include "core/pipeline.h"
#include "core/product.h"
#include "io/greek_model_file.h"
#include "io/safe_file.h"
#include "io/thread_memory.h"
#include "messages.h"

namespace bivano::cli {
namespace {

// Read in pieces of this size: large enough that system calls cost
// nothing, small enough that memory stays flat whatever the input's size.
constexpr std::size_t kPieceBytes = std::size_t{256} << 10;

const std::string kStandardInput = "-";

// Writes "bivano: NAME: WHAT"; the name goes out as the bytes it is.
void Complain(std::string_view name, std::string_view what) {
    std::string line = "bivano: ";
    line.append(name);
    line.append(": ");
    line.append(what);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::string DisplayName(const std::string& input) {
    if (input != kStandardInput) {
        return input;
    }
    return Translate("(standard input)");
}

// Where one input's result goes.
class Output : public ByteSink {};

class StandardOutput final : public Output {
  public:
    // A standard output closed at start holds /dev/null: nothing goes there.
    explicit StandardOutput(bool closed) : closed_(closed) {}

    Status Write(std::string_view bytes) override {
        if (closed_) {
            return Failure::FromErrno(EBADF);
        }
        while (!bytes.empty()) {
            const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failure::FromErrno(errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return {};
    }

  private:
    bool closed_;
};

// A file that takes its target's place only when committed.
class FileOutput final : public Output {
  public:
    explicit FileOutput(io::WriteProtected write_protected) : write_protected_(write_protected) {}

    Status Open(const std::string& path) { return writer_.Open(path, write_protected_); }
    Status Write(std::string_view bytes) override { return writer_.Write(bytes); }
    Status Commit() { return writer_.Commit(); }
    void Cancel() { writer_.Cancel(); }

  private:
    io::WriteProtected write_protected_;
    io::SafeWriter writer_;
};

// Tells whether the failure of a run was the output's.
class WatchedOutput final : public ByteSink {
  public:
    explicit WatchedOutput(Output& output) : output_(output) {}

    Status Write(std::string_view bytes) override {
        Status written = output_.Write(bytes);
        failed_ = !written;
        return written;
    }
    bool failed() const { return failed_; }

  private:
    Output& output_;
    bool failed_ = false;
};

// A way to wake the reading side out of a read that may wait for ever (a
// terminal, a pipe kept open) once the writing side has given up.
class StopSignal {
  public:
    StopSignal() {
        if (::pipe2(ends_.data(), O_CLOEXEC) != 0) {
            ends_ = {-1, -1};
        }
    }
    ~StopSignal() {
        for (const int end : ends_) {
            if (end >= 0) {
                ::close(end);
            }
        }
    }
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise() {
        if (ends_[1] >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(ends_[1], "x", 1);
        }
    }
    int fd() const { return ends_[0]; }

  private:
    std::array<int, 2> ends_{};
};

// An open input: standard input or a file, closed when done. Any file that
// can be read will do, FIFOs included, as with cat.
class Input final : public ByteSource {
  public:
    explicit Input(const std::string& name) : name_(name) {}
    ~Input() override {
        if (fd_ > STDIN_FILENO) {
            ::close(fd_);
        }
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // `standard_input_closed`: it was closed at start (and holds /dev/null).
    Status Open(bool standard_input_closed) {
        if (name_ == kStandardInput) {
            if (standard_input_closed) {
                return Failure::FromErrno(EBADF);
            }
            fd_ = STDIN_FILENO;
            return {};
        }
        fd_ = ::open(name_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            return Failure::FromErrno(errno);
        }
        // Said now, before any output is made for it.
        struct stat status {};
        if (::fstat(fd_, &status) == 0 && S_ISDIR(status.st_mode)) {
            return Failure::FromErrno(EISDIR);
        }
        return {};
    }

    int fd() const { return fd_; }

    // The next piece, valid until the next call; empty at the end.
    Result<std::string_view> Read() override {
        for (;;) {
            std::array<pollfd, 2> waiting = {pollfd{fd_, POLLIN, 0}, pollfd{stop_.fd(), POLLIN, 0}};
            if (::poll(waiting.data(), stop_.fd() >= 0 ? 2 : 1, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failure::FromErrno(errno);
            }
            if (waiting[1].revents != 0) {
                return Failure::FromErrno(ECANCELED);  // which nobody waits for now
            }
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got >= 0) {
                return std::string_view(buffer_.data(), static_cast<std::size_t>(got));
            }
            if (errno != EINTR) {
                return Failure::FromErrno(errno);
            }
        }
    }

    void Interrupt() override { stop_.Raise(); }

  private:
    std::string name_;
    int fd_ = -1;
    StopSignal stop_;
    std::vector<char> buffer_ = std::vector<char>(kPieceBytes);
};

// How one input's conversion ended.
enum class Outcome { Done, InputFailed, OutputFailed };

PipelineSettings SettingsFor(const Request& request, const GreekSpeller* speller) {
    PipelineSettings settings;
    settings.direction = request.direction;
    settings.options = request.options;
    settings.from = request.from;
    settings.to = request.to;
    if (request.credit) {
        settings.credit = std::u16string(
            request.direction == Direction::Latin ? product::kLatinCredit : product::kGreekCredit);
    }
    settings.speller = speller;
    settings.chat = request.chat;
    settings.on_spelling_thread = io::PreferHugePagesForThisThread;
    return settings;
}

// Converts one input into `output`, piece by piece, reading on a thread of
// its own: Latin and Greek run some 15% faster so than on one thread
// (bench/stream_bench); the reader with its model reads parts of the text
// on two threads more. `error` says why
// it stopped early: the input (bytes that could not be read, a character
// the output encoding lacks) or the output. `warning` tells of bytes that
// could not be read, when the conversion went on.
Outcome ConvertInput(const PipelineSettings& settings, Input& input, Output& output,
                     std::string& error, std::string& warning) {
    Pipeline pipeline(settings);
    WatchedOutput watched(output);
    const Status streamed = pipeline.Stream(input, watched, Threads::Several);
    if (!streamed) {
        error = FailureMessage(streamed.failure());
        return watched.failed() ? Outcome::OutputFailed : Outcome::InputFailed;
    }
    if (const std::optional<Failure> unreadable = pipeline.UnreadableInput()) {
        warning = FailureMessage(*unreadable);
    }
    return Outcome::Done;
}

// Why the word list named, or the program's model, cannot be used: the
// reader's own causes as FailureMessage says them, a file too large for a
// word list, else that it cannot be read.
std::string DictionaryProblem(const Failure& failure) {
    switch (failure.cause) {
        case Cause::NotAModel:
        case Cause::WordListEncodingUnknown:
        case Cause::WordListEncodingWrong:
        case Cause::NoGreekWords:
        case Cause::AffixUnreadable:
            return FailureMessage(failure);
        case Cause::TooLarge:
            return Fill(Translate("the file is larger than a word list can be (%1 MiB)"),
                        {std::to_string(GreekSpeller::kLargestWordList >> 20)});
        default:
            return Translate("the file cannot be read");
    }
}

// Makes the folder of -d, with the folders above it, when it is missing.
Status MakeFolder(const std::string& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
        if (!S_ISDIR(status.st_mode)) {
            return Failure::FromErrno(ENOTDIR);
        }
        return {};
    }
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return Failure::FromErrno(errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return Failure::FromErrno(ENOTDIR);
    }
    return {};
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int Run(const Request& request, const io::StandardDescriptors& standard) {
    bool all_well = true;
    std::unique_ptr<GreekSpeller> speller;
    if (request.accents) {
        Failure failure;
        speller = io::OpenGreekSpeller(
            request.dictionary_named ? request.dictionary : std::string(), &failure);
        if (speller == nullptr) {
            const bool layout = request.direction == Direction::Layout;
            Complain(request.dictionary_named ? request.dictionary : io::DefaultGreekModelPath(),
                     DictionaryProblem(failure) +
                         (layout ? Translate(": no word can be judged, the text stays as it is")
                                 : Translate(": the text stays without accents")));
            // A list the user named and that cannot be used is a failure;
            // the program's model missing is only a loss of accents (but
            // the whole of layout).
            all_well = !request.dictionary_named && !layout;
        }
    }
    const PipelineSettings settings = SettingsFor(request, speller.get());
    const io::WriteProtected write_protected =
        request.force ? io::WriteProtected::Replace : io::WriteProtected::Refuse;
    StandardOutput standard_output(standard.output_closed);
    std::unique_ptr<FileOutput> single_file;
    if (!request.output_file.empty()) {
        single_file = std::make_unique<FileOutput>(write_protected);
        if (const Status opened = single_file->Open(request.output_file); !opened) {
            Complain(request.output_file, FailureMessage(opened.failure()));
            return 1;
        }
    }
    if (!request.output_directory.empty()) {
        if (const Status made = MakeFolder(request.output_directory); !made) {
            Complain(request.output_directory, FailureMessage(made.failure()));
            return 1;
        }
    }
    // -d: which input each output name came from, so that none is written twice.
    std::map<std::string, std::string> written_from;
    for (const std::string& name : request.inputs) {
        std::unique_ptr<FileOutput> own_file;
        Output* output = &standard_output;
        std::string output_name = Translate("(standard output)");
        if (single_file) {
            output = single_file.get();
            output_name = request.output_file;
        } else if (!request.output_directory.empty()) {
            output_name = request.output_directory + "/" + BaseName(name);
            const auto earlier = written_from.find(output_name);
            if (earlier != written_from.end()) {
                Complain(name,
                         Fill(Translate("its result would overwrite that of %1 (%2): not written"),
                              {earlier->second, output_name}));
                all_well = false;
                continue;
            }
            if (io::SameFile(output_name, name)) {
                Complain(output_name, Translate("not written over the file itself"));
                all_well = false;
                continue;
            }
        }
        Input input(name);
        if (const Status opened = input.Open(standard.input_closed); !opened) {
            Complain(DisplayName(name), FailureMessage(opened.failure()));
            all_well = false;
            continue;
        }
        // Appending to one's own input would read what was written, on
        // and on, until the disk is full.
        if (output == &standard_output && io::SameRegularFile(input.fd(), STDOUT_FILENO)) {
            Complain(DisplayName(name), Translate("input file is output file"));
            all_well = false;
            continue;
        }
        if (!request.output_directory.empty()) {
            own_file = std::make_unique<FileOutput>(write_protected);
            if (const Status opened = own_file->Open(output_name); !opened) {
                Complain(output_name, FailureMessage(opened.failure()));
                all_well = false;
                continue;
            }
            output = own_file.get();
            written_from.emplace(output_name,
                                 name);  // an input that could not be read claims no name
        }
        std::string message;
        std::string warning;
        const Outcome outcome = ConvertInput(settings, input, *output, message, warning);
        if (!warning.empty()) {
            Complain(DisplayName(name), warning);
        }
        switch (outcome) {
            case Outcome::Done:
                if (own_file) {
                    if (const Status committed = own_file->Commit(); !committed) {
                        Complain(output_name, FailureMessage(committed.failure()));
                        all_well = false;
                    }
                }
                continue;
            case Outcome::InputFailed:
                Complain(DisplayName(name), message);
                break;
            case Outcome::OutputFailed:
                Complain(output_name, message);
                break;
        }
        all_well = false;
        if (own_file) {
            own_file->Cancel();
        }
        if (outcome == Outcome::OutputFailed && !own_file) {
            break;  // the shared output is broken: nothing more can go there
        }
    }
    if (single_file) {
        if (!all_well) {
            single_file->Cancel();  // never leave a partial result
        } else if (const Status committed = single_file->Commit(); !committed) {
            Complain(request.output_file, FailureMessage(committed.failure()));
            return 1;
        }
    }
    return all_well ? 0 : 1;
}

}  // namespace bivano::cli
