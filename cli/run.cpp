// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "core/conversion_run.h"
#include "core/conversion_stream.h"
#include "core/greek_speller.h"
#include "core/product.h"
#include "core/text_codec.h"

namespace bivano::cli {
namespace {

// Read in pieces of this size: large enough that system calls cost
// nothing, small enough that memory stays flat whatever the input's size.
constexpr std::size_t kPieceBytes = std::size_t{256} << 10;

void Complain(const QString& name, const QString& what) {
    const QByteArray line = QStringLiteral("bivano: %1: %2\n").arg(name, what).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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
    bool Write(std::string_view bytes, QString& error) override {
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
};

// A file that replaces its target only when committed.
class FileOutput final : public Output {
  public:
    explicit FileOutput(const QString& path) : file_(path) {}

    bool Open(QString& error) {
        if (!file_.open(QIODevice::WriteOnly)) {
            error = file_.errorString();
            return false;
        }
        return true;
    }
    bool Write(std::string_view bytes, QString& error) override {
        const auto size = static_cast<qint64>(bytes.size());
        if (file_.write(bytes.data(), size) != size) {
            error = file_.errorString();
            return false;
        }
        return true;
    }
    bool Commit(QString& error) {
        if (!file_.commit()) {
            error = file_.errorString();
            return false;
        }
        return true;
    }
    void Cancel() { file_.cancelWriting(); }

  private:
    QSaveFile file_;
};

// An open input: standard input or a file, closed when done.
class Input {
  public:
    explicit Input(const QString& name) : name_(name) {}
    ~Input() {
        if (fd_ > STDIN_FILENO) {
            ::close(fd_);
        }
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    bool Open(QString& error) {
        if (name_ == QLatin1String("-")) {
            fd_ = STDIN_FILENO;
            return true;
        }
        fd_ = ::open(QFile::encodeName(name_).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            error = SystemError(errno);
            return false;
        }
        return true;
    }

    // Reads the next piece into `piece`; an empty piece is the end. The
    // piece stays valid until the next call.
    bool Read(std::string_view& piece, QString& error) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got >= 0) {
                piece = std::string_view(buffer_.data(), static_cast<std::size_t>(got));
                return true;
            }
            if (errno != EINTR) {
                error = SystemError(errno);
                return false;
            }
        }
    }

  private:
    QString name_;
    int fd_ = -1;
    std::vector<char> buffer_ = std::vector<char>(kPieceBytes);
};

QString DisplayName(const QString& input) {
    return input == QLatin1String("-") ? QStringLiteral("(τυπική είσοδος)") : input;
}

// The conversion of one direction, whichever it is, and the spelling pass
// after it when asked for.
class Converter {
  public:
    Converter(const Request& request, const GreekSpeller* speller) : stream_(Make(request)) {
        if (speller != nullptr) {
            spelling_.emplace(*speller);
        }
    }
    void Convert(std::u16string_view piece, std::u16string& out) {
        std::visit([&](auto& stream) { Run(stream, piece, out, false); }, stream_);
    }
    void Finish(std::u16string& out) {
        std::visit([&](auto& stream) { Run(stream, {}, out, true); }, stream_);
    }

  private:
    using Stream = std::variant<std::monostate, LatinStream, GreekStream>;

    static Stream Make(const Request& request) {
        switch (request.direction) {
            case Direction::Latin:
                return LatinStream(request.options);
            case Direction::Greek:
                return GreekStream();
            case Direction::AccentsOnly:
                break;
        }
        return std::monostate();
    }

    // Only the spelling pass, over the text as it is.
    void Run(std::monostate&, std::u16string_view piece, std::u16string& out, bool last) {
        if (!spelling_) {
            out.append(piece);
        } else if (last) {
            spelling_->Finish(out);
        } else {
            spelling_->Spell(piece, {}, out);
        }
    }
    void Run(LatinStream& stream, std::u16string_view piece, std::u16string& out, bool last) {
        last ? stream.Finish(out) : stream.Convert(piece, out);
    }
    void Run(GreekStream& stream, std::u16string_view piece, std::u16string& out, bool last) {
        if (!spelling_) {
            last ? stream.Finish(out) : stream.Convert(piece, out);
            return;
        }
        converted_.clear();
        verbatim_.clear();
        last ? stream.Finish(converted_, &verbatim_)
             : stream.Convert(piece, converted_, &verbatim_);
        spelling_->Spell(converted_, verbatim_, out);
        if (last) {
            spelling_->Finish(out);
        }
    }

    Stream stream_;
    std::optional<SpellingStream> spelling_;
    std::u16string converted_;
    std::vector<TextRange> verbatim_;
};

// The reasons one input's conversion stops early.
enum class Outcome { Done, ReadFailed, WriteFailed, NotEncodable };

// What the reading side hands to the writing side: text, or the end.
struct Piece {
    std::u16string text;
    bool last = false;
    bool failed = false;  // reading failed; `error` says why
    QString error;
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
    return QStringLiteral("γραμμή %1, στήλη %2: ο χαρακτήρας U+%3 δεν γράφεται σε windows-1253")
        .arg(failure.line)
        .arg(failure.column)
        .arg(QString::number(static_cast<uint>(failure.character), 16)
                 .toUpper()
                 .rightJustified(4, QLatin1Char('0')));
}

// Converts one input into `output`, piece by piece, on two threads: one
// reads and decodes (and, for Greek, converts), the other does the rest
// and writes, which splits the work about evenly either way.
Outcome ConvertInput(const Request& request, const GreekSpeller* speller, Input& input,
                     Output& output, QString& error) {
    const bool convert_while_reading = request.direction != Direction::Latin;
    Converter converter(request, speller);
    Handoff handoff;
    std::thread reader([&] {
        TextDecoder decoder = request.from ? TextDecoder(*request.from) : TextDecoder();
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
            if (piece.last) {
                decoder.Finish(text);
            } else {
                decoder.Decode(bytes, text);
            }
            if (convert_while_reading) {
                converter.Convert(text, piece.text);
                if (piece.last) {
                    converter.Finish(piece.text);
                }
            } else {
                piece.text = std::move(text);
            }
            if (!handoff.Push(std::move(piece)) || bytes.empty()) {
                return;
            }
        }
    });
    const auto outcome = [&]() {
        TextEncoder encoder(request.to);
        std::u16string converted;
        std::string encoded;
        for (;;) {
            Piece piece = handoff.Pop();
            if (piece.failed) {
                error = piece.error;
                return Outcome::ReadFailed;
            }
            if (convert_while_reading) {
                converted = std::move(piece.text);
            } else {
                converted.clear();
                converter.Convert(piece.text, converted);
                if (piece.last) {
                    converter.Finish(converted);
                }
            }
            if (piece.last && request.credit) {
                converted.append(internal::kTailBreaks);
                converted.append(request.direction == Direction::Latin ? product::kLatinCredit
                                                                       : product::kGreekCredit);
            }
            encoded.clear();
            const bool encodable =
                encoder.Encode(converted, encoded) && (!piece.last || encoder.Finish(encoded));
            if (!output.Write(encoded, error)) {
                return Outcome::WriteFailed;
            }
            if (!encodable) {
                error = NotEncodableMessage(encoder.failure());
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

}  // namespace

int Run(const Request& request) {
    std::unique_ptr<GreekSpeller> speller;
    if (request.accents) {
        speller = GreekSpeller::FromHunspellFile(request.dictionary);
        if (speller == nullptr) {
            Complain(QFile::decodeName(request.dictionary.c_str()),
                     QStringLiteral("δεν βρέθηκε το λεξικό της ελληνικής ορθογραφίας (πακέτο "
                                    "hunspell-el): το κείμενο μένει χωρίς τόνους"));
        }
    }
    bool all_well = true;
    StandardOutput standard_output;
    std::unique_ptr<FileOutput> single_file;
    QString error;
    if (!request.output_file.isEmpty()) {
        single_file = std::make_unique<FileOutput>(request.output_file);
        if (!single_file->Open(error)) {
            Complain(request.output_file, error);
            return 1;
        }
    }
    for (const QString& name : request.inputs) {
        Input input(name);
        if (!input.Open(error)) {
            Complain(DisplayName(name), error);
            all_well = false;
            continue;
        }
        std::unique_ptr<FileOutput> own_file;
        Output* output = &standard_output;
        QString output_name = QStringLiteral("(τυπική έξοδος)");
        if (single_file) {
            output = single_file.get();
            output_name = request.output_file;
        } else if (!request.output_directory.isEmpty()) {
            output_name = QDir(request.output_directory).filePath(QFileInfo(name).fileName());
            if (QFileInfo(output_name).absoluteFilePath() == QFileInfo(name).absoluteFilePath()) {
                Complain(output_name, QStringLiteral("δεν γράφεται πάνω στο ίδιο το αρχείο"));
                all_well = false;
                continue;
            }
            own_file = std::make_unique<FileOutput>(output_name);
            if (!own_file->Open(error)) {
                Complain(output_name, error);
                all_well = false;
                continue;
            }
            output = own_file.get();
        }
        const Outcome outcome = ConvertInput(request, speller.get(), input, *output, error);
        switch (outcome) {
            case Outcome::Done:
                if (own_file && !own_file->Commit(error)) {
                    Complain(output_name, error);
                    all_well = false;
                }
                continue;
            case Outcome::ReadFailed:
            case Outcome::NotEncodable:
                Complain(DisplayName(name), error);
                break;
            case Outcome::WriteFailed:
                Complain(output_name, error);
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
            Complain(request.output_file, error);
            return 1;
        }
    }
    return all_well ? 0 : 1;
}

}  // namespace bivano::cli
