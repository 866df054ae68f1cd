// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include "core/encoding/text_position.h"
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
    switch (error) {
        case io::kNotRegularFile:
            return QCoreApplication::translate("bivano", "not a regular file: left as it is");
        case io::kDanglingLink:
            return QCoreApplication::translate("bivano",
                                               "a symbolic link to no file: left as it is");
        case io::kWriteProtected:
            return QCoreApplication::translate(
                "bivano", "write-protected: left as it is (--force replaces it)");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

// What went wrong with a file being written: the target itself, or the
// temporary file its text gathers in.
QString WriterError(const io::SafeWriter& writer) {
    if (writer.error_folder().empty()) {
        return SystemError(writer.error());
    }
    return QCoreApplication::translate("bivano", "the temporary file in %1: %2")
        .arg(QString::fromLocal8Bit(writer.error_folder().c_str()), SystemError(writer.error()));
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
    virtual bool Write(std::string_view bytes, QString& error) = 0;
};

class StandardOutput final : public Output {
  public:
    // A standard output closed at start holds /dev/null: nothing goes there.
    explicit StandardOutput(bool closed) : closed_(closed) {}

    bool Write(std::string_view bytes, QString& error) override {
        if (closed_) {
            error = SystemError(EBADF);
            return false;
        }
        while (!bytes.empty()) {
            const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                error = SystemError(errno);
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

  private:
    bool closed_;
};

// A file that takes its target's place only when committed.
class FileOutput final : public Output {
  public:
    explicit FileOutput(io::WriteProtected write_protected) : write_protected_(write_protected) {}

    bool Open(const std::string& path, QString& error) {
        return Check(writer_.Open(path, write_protected_), error);
    }
    bool Write(std::string_view bytes, QString& error) override {
        return Check(writer_.Write(bytes), error);
    }
    bool Commit(QString& error) { return Check(writer_.Commit(), error); }
    void Cancel() { writer_.Cancel(); }

  private:
    bool Check(bool done, QString& error) {
        if (!done) {
            error = WriterError(writer_);
        }
        return done;
    }
    io::WriteProtected write_protected_;
    io::SafeWriter writer_;
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

    // `standard_input_closed`: it was closed at start (and holds /dev/null).
    bool Open(bool standard_input_closed, int& error) {
        if (name_ == kStandardInput) {
            if (standard_input_closed) {
                error = EBADF;
                return false;
            }
            fd_ = STDIN_FILENO;
            return true;
        }
        fd_ = ::open(name_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            error = errno;
            return false;
        }
        // Said now, before any output is made for it.
        struct stat status {};
        if (::fstat(fd_, &status) == 0 && S_ISDIR(status.st_mode)) {
            error = EISDIR;
            return false;
        }
        return true;
    }

    int fd() const { return fd_; }

    // Reads the next piece into `piece`; an empty piece is the end. The
    // piece stays valid until the next call. Returns false, with `error`
    // set, when the reading fails, and with `error` 0 when `stop` became
    // readable first.
    bool Read(std::string_view& piece, int stop, int& error) {
        for (;;) {
            std::array<pollfd, 2> waiting = {pollfd{fd_, POLLIN, 0}, pollfd{stop, POLLIN, 0}};
            if (::poll(waiting.data(), stop >= 0 ? 2 : 1, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                error = errno;
                return false;
            }
            if (waiting[1].revents != 0) {
                error = 0;
                return false;
            }
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
    std::u16string source;  // the decoded input, when `text` is already converted
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

QString HexByte(std::uint8_t byte) {
    return QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

QString EncodingLabel(Encoding encoding) {
    const std::string_view name = EncodingName(encoding);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Bytes of the input that could not be read and became U+FFFD.
QString BadInputMessage(const TextDecoder::BadBytes& bad, Encoding encoding) {
    if (encoding == Encoding::Iso8859_7) {
        return QCoreApplication::translate(
                   "bivano", "line %1, column %2: byte 0x%3 is undefined in %4: read as U+FFFD")
            .arg(bad.place.line)
            .arg(bad.place.column)
            .arg(HexByte(bad.byte), EncodingLabel(encoding));
    }
    return QCoreApplication::translate(
               "bivano", "line %1, column %2: byte 0x%3 is not valid %4: read as U+FFFD")
        .arg(bad.place.line)
        .arg(bad.place.column)
        .arg(HexByte(bad.byte), EncodingLabel(encoding));
}

// A character that the output encoding cannot write, placed in the input.
QString NotEncodableMessage(const Pipeline& pipeline, const TextEncoder::Failure& failure,
                            const RecentText& input) {
    const TextPlace place = pipeline.InputPlaceOf(failure, input);
    const std::optional<TextDecoder::BadBytes> bad = pipeline.BadInput();
    if (failure.character == 0xFFFD && bad && bad->place.line == place.line &&
        bad->place.column == place.column) {
        // Not a character of the text: bytes that could not be read.
        return QCoreApplication::translate("bivano",
                                           "line %1, column %2: byte 0x%3 is not valid %4, and "
                                           "windows-1253 has nothing to write in its place")
            .arg(place.line)
            .arg(place.column)
            .arg(HexByte(bad->byte), EncodingLabel(pipeline.InputEncoding()));
    }
    return QCoreApplication::translate(
               "bivano", "line %1, column %2: character U+%3 cannot be written in windows-1253")
        .arg(place.line)
        .arg(place.column)
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
// and writes, which splits the work about evenly either way. `warning`
// tells of bytes that could not be read, when the conversion went on.
Outcome ConvertInput(const PipelineSettings& settings, Input& input, Output& output, QString& error,
                     QString& warning) {
    const bool convert_while_reading = settings.direction != Direction::Latin;
    Pipeline pipeline(settings);
    const auto convert = [&](std::u16string_view text, bool last, std::u16string& out) {
        pipeline.Convert(text, out);
        if (last) {
            pipeline.FinishConverting(out);
        }
    };
    Handoff handoff;
    StopSignal stop;
    std::thread reader([&] {
        std::string_view bytes;
        for (;;) {
            Piece piece;
            try {
                std::u16string text;
                if (!input.Read(bytes, stop.fd(), piece.error)) {
                    if (piece.error == 0) {
                        return;  // the writing side has given up
                    }
                    piece.failed = true;
                    handoff.Push(std::move(piece));
                    return;
                }
                piece.last = bytes.empty();
                piece.last ? pipeline.FinishDecoding(text) : pipeline.Decode(bytes, text);
                if (convert_while_reading) {
                    convert(text, piece.last, piece.text);
                    piece.source = std::move(text);
                } else {
                    piece.text = std::move(text);
                }
            } catch (const std::bad_alloc&) {
                piece = Piece{{}, {}, false, true, ENOMEM};
                handoff.Push(std::move(piece));
                return;
            }
            if (!handoff.Push(std::move(piece)) || bytes.empty()) {
                return;
            }
        }
    });
    // The input lately converted, to place a character that cannot be
    // written where the input has it.
    RecentText recent;
    const auto outcome = [&]() {
        std::u16string converted;
        std::string encoded;
        for (;;) {
            Piece piece = handoff.Pop();
            if (piece.failed) {
                error = SystemError(piece.error);
                return Outcome::ReadFailed;
            }
            if (convert_while_reading) {
                converted = std::move(piece.text);
                recent.Add(std::move(piece.source));
            } else {
                converted.clear();
                convert(piece.text, piece.last, converted);
                recent.Add(std::move(piece.text));
            }
            encoded.clear();
            const bool encodable = pipeline.Encode(converted, encoded) &&
                                   (!piece.last || pipeline.FinishEncoding(encoded));
            if (!output.Write(encoded, error)) {
                return Outcome::WriteFailed;
            }
            if (!encodable) {
                return Outcome::NotEncodable;
            }
            if (piece.last) {
                return Outcome::Done;
            }
        }
    };
    Outcome result = Outcome::ReadFailed;
    try {
        result = outcome();
    } catch (const std::bad_alloc&) {
        error = SystemError(ENOMEM);
    }
    // The reading side may wait on an input that stays open: wake it.
    stop.Raise();
    handoff.Close();
    reader.join();
    // The reader has stopped: what it decoded can be asked about now.
    if (result == Outcome::NotEncodable) {
        error = NotEncodableMessage(pipeline, pipeline.EncodingFailure(), recent);
    } else if (const auto bad = pipeline.BadInput(); bad && result == Outcome::Done) {
        warning = BadInputMessage(*bad, pipeline.InputEncoding());
    }
    return result;
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
        case GreekSpeller::Problem::TooLarge:
            return QCoreApplication::translate(
                       "bivano", "the file is larger than a word list can be (%1 MiB)")
                .arg(GreekSpeller::kLargestWordList >> 20);
        case GreekSpeller::Problem::AffixUnreadable:
            return QCoreApplication::translate(
                "bivano", "the .aff file beside it cannot be read (or is not a regular file)");
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

int Run(const Request& request, const io::StandardDescriptors& standard) {
    bool all_well = true;
    std::unique_ptr<GreekSpeller> speller;
    if (request.accents) {
        GreekSpeller::Problem problem = GreekSpeller::Problem::None;
        speller = io::OpenGreekSpeller(
            request.dictionary_named ? request.dictionary : std::string(), &problem);
        if (speller == nullptr) {
            Complain(request.dictionary_named ? request.dictionary : io::DefaultGreekModelPath(),
                     DictionaryProblem(problem) +
                         QCoreApplication::translate("bivano", ": the text stays without accents"));
            // A list the user named and that cannot be used is a failure;
            // the program's model missing is only a loss of accents.
            all_well = !request.dictionary_named;
        }
    }
    const PipelineSettings settings = SettingsFor(request, speller.get());
    const io::WriteProtected write_protected =
        request.force ? io::WriteProtected::Replace : io::WriteProtected::Refuse;
    StandardOutput standard_output(standard.output_closed);
    std::unique_ptr<FileOutput> single_file;
    int error = 0;
    QString message;
    if (!request.output_file.empty()) {
        single_file = std::make_unique<FileOutput>(write_protected);
        if (!single_file->Open(request.output_file, message)) {
            Complain(request.output_file, message);
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
        if (!input.Open(standard.input_closed, error)) {
            Complain(DisplayName(name), SystemError(error));
            all_well = false;
            continue;
        }
        // Appending to one's own input would read what was written, on
        // and on, until the disk is full.
        if (output == &standard_output && io::SameRegularFile(input.fd(), STDOUT_FILENO)) {
            Complain(DisplayName(name),
                     QCoreApplication::translate("bivano", "input file is output file"));
            all_well = false;
            continue;
        }
        if (!request.output_directory.empty()) {
            own_file = std::make_unique<FileOutput>(write_protected);
            if (!own_file->Open(output_name, message)) {
                Complain(output_name, message);
                all_well = false;
                continue;
            }
            output = own_file.get();
            written_from.emplace(output_name,
                                 name);  // an input that could not be read claims no name
        }
        QString warning;
        const Outcome outcome = ConvertInput(settings, input, *output, message, warning);
        if (!warning.isEmpty()) {
            Complain(DisplayName(name), warning);
        }
        switch (outcome) {
            case Outcome::Done:
                if (own_file && !own_file->Commit(message)) {
                    Complain(output_name, message);
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
        } else if (!single_file->Commit(message)) {
            Complain(request.output_file, message);
            return 1;
        }
    }
    return all_well ? 0 : 1;
}

}  // namespace bivano::cli
