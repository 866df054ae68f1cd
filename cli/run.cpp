#include "run.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <variant>

#include "core/conversion_run.h"
#include "core/conversion_stream.h"
#include "core/product.h"
#include "core/text_codec.h"

namespace bivano::cli {
namespace {

// Read in pieces of this size: large enough that system calls cost
// nothing, small enough that memory stays flat whatever the input's size.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

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

    // Reads the next piece into `bytes`; an empty piece is the end.
    bool Read(std::string& bytes, QString& error) {
        bytes.resize(kPieceBytes);
        for (;;) {
            const ssize_t got = ::read(fd_, bytes.data(), bytes.size());
            if (got >= 0) {
                bytes.resize(static_cast<std::size_t>(got));
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
};

QString DisplayName(const QString& input) {
    return input == QLatin1String("-") ? QStringLiteral("(τυπική είσοδος)") : input;
}

// The conversion of one direction, whichever it is.
class Converter {
  public:
    explicit Converter(const Request& request) : stream_(Make(request)) {}
    void Convert(std::u16string_view piece, std::u16string& out) {
        std::visit([&](auto& stream) { stream.Convert(piece, out); }, stream_);
    }
    void Finish(std::u16string& out) {
        std::visit([&](auto& stream) { stream.Finish(out); }, stream_);
    }

  private:
    using Stream = std::variant<LatinStream, GreekStream>;

    static Stream Make(const Request& request) {
        if (request.direction == Direction::Latin) {
            return LatinStream(request.options);
        }
        return GreekStream();
    }

    Stream stream_;
};

// The reasons one input's conversion stops early.
enum class Outcome { Done, ReadFailed, WriteFailed, NotEncodable };

// Converts one input into `output`, piece by piece.
Outcome ConvertInput(const Request& request, Input& input, Output& output, QString& error) {
    TextDecoder decoder = request.from ? TextDecoder(*request.from) : TextDecoder();
    Converter converter(request);
    TextEncoder encoder(request.to);
    std::string bytes;
    std::u16string text;
    std::u16string converted;
    std::string encoded;
    const auto pass_on = [&](bool last) {
        converter.Convert(text, converted);
        if (last) {
            converter.Finish(converted);
            if (request.credit) {
                converted.append(internal::kTailBreaks);
                converted.append(request.direction == Direction::Latin ? product::kLatinCredit
                                                                       : product::kGreekCredit);
            }
        }
        const bool encodable =
            encoder.Encode(converted, encoded) && (!last || encoder.Finish(encoded));
        text.clear();
        converted.clear();
        if (!output.Write(encoded, error)) {
            return Outcome::WriteFailed;
        }
        encoded.clear();
        if (!encodable) {
            const TextEncoder::Failure failure = encoder.failure();
            error = QStringLiteral(
                        "γραμμή %1, στήλη %2: ο χαρακτήρας U+%3 δεν γράφεται σε windows-1253")
                        .arg(failure.line)
                        .arg(failure.column)
                        .arg(QString::number(static_cast<uint>(failure.character), 16)
                                 .toUpper()
                                 .rightJustified(4, QLatin1Char('0')));
            return Outcome::NotEncodable;
        }
        return Outcome::Done;
    };
    for (;;) {
        if (!input.Read(bytes, error)) {
            return Outcome::ReadFailed;
        }
        if (bytes.empty()) {
            decoder.Finish(text);
            return pass_on(true);
        }
        decoder.Decode(bytes, text);
        if (const Outcome outcome = pass_on(false); outcome != Outcome::Done) {
            return outcome;
        }
    }
}

}  // namespace

int Run(const Request& request) {
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
        const Outcome outcome = ConvertInput(request, input, *output, error);
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
