// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include "core/pipeline.h"
#include "core/product.h"
#include "io/greek_model_file.h"
#include "io/safe_file.h"

namespace bivano::cli {
namespace {

// Read in pieces of this size: large enough that system calls cost
// nothing, small enough that memory stays flat whatever the input's size.
constexpr std::size_t kPieceBytes = std::size_t{256} << 10;

const std::string kStandardInput = "-";

// Writes "bivano: NAME: WHAT"; the name goes out as the bytes it is.
void Complain(std::string_view name, const QString& what) {
    std::string line = "bivano: ";
    line.append(name);
    line.append(": ");
    line.append(what.toLocal8Bit().toStdString());
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

QString SystemError(int error) {
    if (error == io::kNotRegularFile) {
        return QCoreApplication::translate("bivano", "not a regular file: left as it is");
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

std::string DisplayName(const std::string& input) {
    if (input != kStandardInput) {
        return input;
    }
    return QCoreApplication::translate("bivano", "(standard input)").toLocal8Bit().toStdString();
}

// Where one input's result goes.
class Output {
  public:
    virtual ~Output() = default;
    // Returns false, with `error` set, when the bytes could not be written.
    virtual bool Write(std::string_view bytes, int& error) = 0;
};

class StandardOutput final : public Output {
  public:
    bool Write(std::string_view bytes, int& error) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                error = errno;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
};

// A file that takes its target's place only when committed.
class FileOutput final : public Output {
  public:
    bool Open(const std::string& path, int& error) { return Check(writer_.Open(path), error); }
    bool Write(std::string_view bytes, int& error) override {
        return Check(writer_.Write(bytes), error);
    }
    bool Commit(int& error) { return Check(writer_.Commit(), error); }
    void Cancel() { writer_.Cancel(); }

  private:
    bool Check(bool done, int& error) {
        if (!done) {
            error = writer_.error();
        }
        return done;
    }
    io::SafeWriter writer_;
};

// An open input: standard input or a file, closed when done. Any file that
// can be read will do, FIFOs included, as with cat.
class Input {
  public:
    explicit Input(const std::string& name) : name_(name) {}
    ~Input() {
        if (fd_ > STDIN_FILENO) {
            ::close(fd_);
        }
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    bool Open(int& error) {
        if (name_ == kStandardInput) {
            fd_ = STDIN_FILENO;
            return true;
        }
        fd_ = ::open(name_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            error = errno;
            return false;
        }
        return true;
    }

    // Reads the next piece into `piece`; an empty piece is the end. The
    // piece stays valid until the next call.
    bool Read(std::string_view& piece, int& error) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got >= 0) {
                piece = std::string_view(buffer_.data(), static_cast<std::size_t>(got));
                return true;
            }
            if (errno != EINTR) {
                error = errno;
                return false;
            }
        }
    }

  private:
    std::string name_;
    int fd_ = -1;
    std::vector<char> buffer_ = std::vector<char>(kPieceBytes);
};

// The reasons one input's conversion stops early.
enum class Outcome { Done, ReadFailed, WriteFailed, NotEncodable };

// What the reading side hands to the writing side: text, or the end.
struct Piece {
    std::u16string text;
    bool last = false;
    bool failed = false;  // reading failed; `error` says why
    int error = 0;
};

// A queue of at most two pieces between the two sides of a conversion, so
// that reading and writing overlap and memory stays flat.
class Handoff {
  public:
    // Waits for room; false when the writing side has given up.
    bool Push(Piece piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || pieces_.size() < kDepth; });
        if (closed_) {
            return false;
        }
        pieces_.push_back(std::move(piece));
        changed_.notify_all();
        return true;
    }
    Piece Pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !pieces_.empty(); });
        Piece piece = std::move(pieces_.front());
        pieces_.pop_front();
        changed_.notify_all();
        return piece;
    }
    void Close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

  private:
    static constexpr std::size_t kDepth = 2;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;
    bool closed_ = false;
};

QString NotEncodableMessage(const TextEncoder::Failure& failure) {
    return QCoreApplication::translate(
               "bivano", "line %1, column %2: character U+%3 cannot be written in windows-1253")
        .arg(failure.line)
        .arg(failure.column)
        .arg(QString::number(static_cast<uint>(failure.character), 16)
                 .toUpper()
                 .rightJustified(4, QLatin1Char('0')));
}

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
    return settings;
}

// Converts one input into `output`, piece by piece, on two threads: one
// reads and decodes (and, for Greek, converts), the other does the rest
// and writes, which splits the work about evenly either way.
Outcome ConvertInput(const PipelineSettings& settings, Input& input, Output& output,
                     QString& error) {
    const bool convert_while_reading = settings.direction != Direction::Latin;
    Pipeline pipeline(settings);
    const auto convert = [&](std::u16string_view text, bool last, std::u16string& out) {
        pipeline.Convert(text, out);
        if (last) {
            pipeline.FinishConverting(out);
        }
    };
    Handoff handoff;
    std::thread reader([&] {
        std::string_view bytes;
        for (;;) {
            Piece piece;
            std::u16string text;
            if (!input.Read(bytes, piece.error)) {
                piece.failed = true;
                handoff.Push(std::move(piece));
                return;
            }
            piece.last = bytes.empty();
            piece.last ? pipeline.FinishDecoding(text) : pipeline.Decode(bytes, text);
            if (convert_while_reading) {
                convert(text, piece.last, piece.text);
            } else {
                piece.text = std::move(text);
            }
            if (!handoff.Push(std::move(piece)) || bytes.empty()) {
                return;
            }
        }
    });
    const auto outcome = [&]() {
        std::u16string converted;
        std::string encoded;
        int write_error = 0;
        for (;;) {
            Piece piece = handoff.Pop();
            if (piece.failed) {
                error = SystemError(piece.error);
                return Outcome::ReadFailed;
            }
            if (convert_while_reading) {
                converted = std::move(piece.text);
            } else {
                converted.clear();
                convert(piece.text, piece.last, converted);
            }
            encoded.clear();
            const bool encodable = pipeline.Encode(converted, encoded) &&
                                   (!piece.last || pipeline.FinishEncoding(encoded));
            if (!output.Write(encoded, write_error)) {
                error = SystemError(write_error);
                return Outcome::WriteFailed;
            }
            if (!encodable) {
                error = NotEncodableMessage(pipeline.EncodingFailure());
                return Outcome::NotEncodable;
            }
            if (piece.last) {
                return Outcome::Done;
            }
        }
    }();
    handoff.Close();
    reader.join();
    return outcome;
}

QString DictionaryProblem(GreekSpeller::Problem problem) {
    switch (problem) {
        case GreekSpeller::Problem::None:
        case GreekSpeller::Problem::Unreadable:
            break;
        case GreekSpeller::Problem::UnknownEncoding:
            return QCoreApplication::translate(
                "bivano",
                "the word list is in an encoding that cannot be read (its .aff names a SET other "
                "than UTF-8 and ISO8859-7)");
        case GreekSpeller::Problem::WrongEncoding:
            return QCoreApplication::translate(
                "bivano", "the word list is not in the encoding its .aff names");
        case GreekSpeller::Problem::NoGreekWords:
            return QCoreApplication::translate("bivano", "not a list of Greek words");
        case GreekSpeller::Problem::NotAModel:
            return QCoreApplication::translate(
                "bivano", "the Greek reader's model is damaged or of another version");
    }
    return QCoreApplication::translate("bivano", "the file cannot be read");
}

// Makes the folder of -d, with the folders above it, when it is missing.
bool MakeFolder(const std::string& folder, int& error) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
        if (!S_ISDIR(status.st_mode)) {
            error = ENOTDIR;
            return false;
        }
        return true;
    }
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            error = errno;
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        error = ENOTDIR;
        return false;
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int Run(const Request& request) {
    bool all_well = true;
    std::unique_ptr<GreekSpeller> speller;
    if (request.accents) {
        GreekSpeller::Problem problem = GreekSpeller::Problem::None;
        speller = io::OpenGreekSpeller(
            request.dictionary_named ? request.dictionary : std::string(), &problem);
        if (speller == nullptr) {
            const bool layout = request.direction == Direction::Layout;
            Complain(request.dictionary_named ? request.dictionary : io::DefaultGreekModelPath(),
                     DictionaryProblem(problem) +
                         (layout ? QCoreApplication::translate(
                                       "bivano", ": no word can be judged, the text stays as it is")
                                 : QCoreApplication::translate(
                                       "bivano", ": the text stays without accents")));
            // A list the user named and that cannot be used is a failure;
            // the program's model missing is only a loss of accents (but
            // the whole of layout).
            all_well = !request.dictionary_named && !layout;
        }
    }
    const PipelineSettings settings = SettingsFor(request, speller.get());
    StandardOutput standard_output;
    std::unique_ptr<FileOutput> single_file;
    int error = 0;
    if (!request.output_file.empty()) {
        single_file = std::make_unique<FileOutput>();
        if (!single_file->Open(request.output_file, error)) {
            Complain(request.output_file, SystemError(error));
            return 1;
        }
    }
    if (!request.output_directory.empty() && !MakeFolder(request.output_directory, error)) {
        Complain(request.output_directory, SystemError(error));
        return 1;
    }
    // -d: which input each output name came from, so that none is written twice.
    std::map<std::string, std::string> written_from;
    for (const std::string& name : request.inputs) {
        std::unique_ptr<FileOutput> own_file;
        Output* output = &standard_output;
        std::string output_name =
            QCoreApplication::translate("bivano", "(standard output)").toLocal8Bit().toStdString();
        if (single_file) {
            output = single_file.get();
            output_name = request.output_file;
        } else if (!request.output_directory.empty()) {
            output_name = request.output_directory + "/" + BaseName(name);
            const auto earlier = written_from.find(output_name);
            if (earlier != written_from.end()) {
                Complain(name,
                         QCoreApplication::translate(
                             "bivano", "its result would overwrite that of %1 (%2): not written")
                             .arg(QString::fromStdString(earlier->second),
                                  QString::fromStdString(output_name)));
                all_well = false;
                continue;
            }
            if (io::SameFile(output_name, name)) {
                Complain(output_name,
                         QCoreApplication::translate("bivano", "not written over the file itself"));
                all_well = false;
                continue;
            }
        }
        Input input(name);
        if (!input.Open(error)) {
            Complain(DisplayName(name), SystemError(error));
            all_well = false;
            continue;
        }
        if (!request.output_directory.empty()) {
            own_file = std::make_unique<FileOutput>();
            if (!own_file->Open(output_name, error)) {
                Complain(output_name, SystemError(error));
                all_well = false;
                continue;
            }
            output = own_file.get();
            written_from.emplace(output_name,
                                 name);  // an input that could not be read claims no name
        }
        QString message;
        const Outcome outcome = ConvertInput(settings, input, *output, message);
        switch (outcome) {
            case Outcome::Done:
                if (own_file && !own_file->Commit(error)) {
                    Complain(output_name, SystemError(error));
                    all_well = false;
                }
                continue;
            case Outcome::ReadFailed:
            case Outcome::NotEncodable:
                Complain(DisplayName(name), message);
                break;
            case Outcome::WriteFailed:
                Complain(output_name, message);
                break;
        }
        all_well = false;
        if (own_file) {
            own_file->Cancel();
        }
        if (outcome == Outcome::WriteFailed && !own_file) {
            break;  // the shared output is broken: nothing more can go there
        }
    }
    if (single_file) {
        if (!all_well) {
            single_file->Cancel();  // never leave a partial result
        } else if (!single_file->Commit(error)) {
            Complain(request.output_file, SystemError(error));
            return 1;
        }
    }
    return all_well ? 0 : 1;
}

}  // namespace bivano::cli
