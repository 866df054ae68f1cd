// SPDX-License-Identifier: GPL-3.0-or-later
// The real bivano under odd input: encodings named and judged, bytes that
// cannot be read, characters that cannot be written, damaged models and
// word lists that are no files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <random>

#if defined(__has_feature)
#define BIVANO_HAS_ADDRESS_SANITIZER __has_feature(address_sanitizer)
#else
#define BIVANO_HAS_ADDRESS_SANITIZER 0
#endif

namespace {

struct Result {
    QByteArray out;
    QByteArray err;
    int status;
    bool finished;
};

QProcessEnvironment PlainEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LC_CTYPE", "BIVANO_MODEL"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return environment;
}

Result RunProgram(const QString& program, const QStringList& arguments, const QByteArray& input,
                  const QProcessEnvironment& environment = PlainEnvironment(),
                  int wait_ms = 30000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(wait_ms);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    return {process.readAllStandardOutput(), process.readAllStandardError(),
            process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, finished};
}

Result RunBivano(const QStringList& arguments, const QByteArray& input = {},
                 const QProcessEnvironment& environment = PlainEnvironment()) {
    return RunProgram(QStringLiteral(BIVANO_CLI), arguments, input, environment);
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct Case {
    const char* name;
    QStringList arguments;
    QByteArray input;
    QByteArray out;
    int status;
    const char* says;  // on standard error, in one message; "" for silence
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class Encodings : public ::testing::TestWithParam<Case> {};

TEST_P(Encodings, ReadAndWriteAsTheyPromise) {
    const Case& c = GetParam();
    const Result result = RunBivano(c.arguments, c.input);
    EXPECT_EQ(result.out.toStdString(), c.out.toStdString());
    EXPECT_EQ(result.status, c.status) << result.err.toStdString();
    if (*c.says == '\0') {
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    } else {
        EXPECT_EQ(result.err.count("bivano:"), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
}

const QByteArray kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(Cli, Encodings,
                         ::testing::Values(
                             // Only auto guesses; UTF-8 by name reads a bad byte as U+FFFD and
                             // says where, once.
                             Case{"AutoFallsBackToWindows1253",
                                  {"latin"},
                                  "ab\xE2"
                                  "cd",
                                  "abbcd",
                                  0,
                                  ""},
                             Case{"NamedUtf8BadByte",
                                  {"latin", "--from", "utf-8"},
                                  "ab\xE2"
                                  "cd",
                                  "ab" + kReplacement + "cd",
                                  0,
                                  "line 1, column 3: byte 0xE2 is not valid utf-8"},
                             Case{"NamedUtf8OneWarningForMany",
                                  {"latin", "--from", "UTF8"},
                                  "\xCE\xB1\r\nb\xFF\n\xFF",
                                  "a\r\nb" + kReplacement + "\n" + kReplacement,
                                  0,
                                  "line 2, column 2: byte 0xFF"},
                             Case{"NamedUtf8CutAtTheEnd",
                                  {"latin", "--from", "utf-8"},
                                  "x\xCE",
                                  "x" + kReplacement,
                                  0,
                                  "line 1, column 2: byte 0xCE"},
                             // UTF-16 follows its mark, either one; without one, little-endian.
                             Case{"Utf16BigEndianMark",
                                  {"latin", "--from", "utf-16"},
                                  QByteArray("\xFE\xFF\x03\xB8\x03\xB1", 6),
                                  "8a",
                                  0,
                                  ""},
                             Case{"Utf16LittleEndianMark",
                                  {"latin", "--from", "utf-16"},
                                  QByteArray("\xFF\xFE\xB8\x03\xB1\x03", 6),
                                  "8a",
                                  0,
                                  ""},
                             Case{"Utf16NoMark",
                                  {"latin", "--from", "utf-16"},
                                  QByteArray("\xB8\x03\xB1\x03", 4),
                                  "8a",
                                  0,
                                  ""},
                             // ISO-8859-7 leaves three bytes undefined.
                             Case{"IsoUndefinedByte",
                                  {"latin", "--from", "iso-8859-7"},
                                  "\xE1\n\xE2\xFF",
                                  "a\nb" + kReplacement,
                                  0,
                                  "line 2, column 2: byte 0xFF is undefined in iso-8859-7"},
                             Case{"IsoUndefinedByteToWindows1253",
                                  {"latin", "--from", "iso-8859-7", "--to", "windows-1253"},
                                  "\xE1\xAE",
                                  "a",
                                  1,
                                  "line 1, column 2: byte 0xAE is not valid iso-8859-7"},
                             // What Windows-1253 cannot write is placed where the input has it.
                             Case{"ColumnOfTheInput",
                                  {"latin", "-p", "ps", "--to", "windows-1253"},
                                  "ψψψψ Ж",
                                  "pspspsps ",
                                  1,
                                  "line 1, column 6: character U+0416"},
                             Case{"CarriageReturnsEndLines",
                                  {"latin", "-p", "ps", "--to", "windows-1253"},
                                  "α\rβ\r\nψψ\rψЖ",
                                  "a\rb\r\npsps\rps",
                                  1,
                                  "line 4, column 2: character U+0416"},
                             Case{"GreekColumn",
                                  {"greek", "--to", "windows-1253"},
                                  "thalassa ks Ж",
                                  "\xE8\xE1\xEB\xE1\xF3\xF3\xE1 \xEE ",
                                  1,
                                  "line 1, column 13: character U+0416"},
                             Case{"AccentsColumn",
                                  {"accents", "--to", "windows-1253"},
                                  "καλιμερα\nτι Ж",
                                  "\xEA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\n\xF4\xE9 ",
                                  1,
                                  "line 2, column 4: character U+0416"},
                             Case{"SchemeLetterPlacedAtItsGreekLetter",
                                  {"latin", "-s", "iso843", "--to", "windows-1253"},
                                  "α\nθ ώρα",
                                  "a\nth ",
                                  1,
                                  "line 2, column 3: character U+1E53"}));

// The sample auto judges by is the same bytes whatever the reads: a file
// (read 256 KiB at a time) and a pipe (64 KiB at a time) agree.
TEST(CliInput, AutoJudgesAFileAndAPipeAlike) {
    QTemporaryDir folder;
    const QByteArray bytes =
        QByteArray(100 * 1024, 'a') + "\xCE\xB8\xCE\xB1 " + QByteArray(290 * 1024, 'b') + "\xFF";
    const QString file = folder.filePath("in.txt");
    WriteAll(file, bytes);
    const Result from_file = RunBivano({"latin", file});
    const Result from_pipe = RunBivano({"latin"}, bytes);
    ASSERT_EQ(from_file.status, 0) << from_file.err.toStdString();
    ASSERT_EQ(from_pipe.status, 0) << from_pipe.err.toStdString();
    EXPECT_TRUE(from_file.out == from_pipe.out);
    EXPECT_TRUE(from_file.out.contains(QByteArray(100 * 1024, 'a') + "8a "));  // UTF-8
}

TEST(CliInput, DictionaryUsageErrors) {
    struct Usage {
        QStringList arguments;
        int status;
        const char* says;
    };
    const Usage cases[] = {
        {{"latin", "--dictionary", "el.dic"}, 2, "--dictionary goes with accents"},
        {{"greek", "--dictionary", "el.dic"}, 2, "--dictionary goes with accents"},
        {{"accents", "--dictionary", ""}, 2, "--dictionary needs a file name"},
        {{"greek", "--accents", "--dictionary="}, 2, "--dictionary needs a file name"},
        {{"accents", "--dictionary", "/no/such.dic"}, 1, "/no/such.dic"},
    };
    for (const Usage& usage : cases) {
        const Result result = RunBivano(usage.arguments, "kalimera");
        EXPECT_EQ(result.status, usage.status) << usage.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(usage.says)) << result.err.toStdString();
    }
}

// A word list, its .aff or the model that is a FIFO is refused at once:
// nobody will ever write into it.
TEST(CliInput, FifoDictionariesAreRefusedWithoutWaiting) {
    QTemporaryDir folder;
    const auto fifo = [&](const QString& name) {
        const QString path = folder.filePath(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    };
    fifo(QStringLiteral("fifo.dic"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("aff")));
    WriteAll(folder.filePath("aff/el.dic"), "2\nκαλημέρα\nθάλασσα\n");
    fifo(QStringLiteral("aff/el.aff"));
    fifo(QStringLiteral("greek.model"));
    struct Fifo {
        const char* name;
        QStringList arguments;
        QString model;
        int status;
        const char* says;
    };
    const Fifo cases[] = {
        {"List",
         {"greek", "--accents", "--dictionary", folder.filePath("fifo.dic")},
         {},
         1,
         "fifo.dic: the file cannot be read"},
        {"Affix", {"accents", "--dictionary", folder.filePath("aff/el.dic")}, {}, 1, ".aff"},
        {"Model", {"greek", "--accents"}, folder.filePath("greek.model"), 0, "greek.model"},
    };
    for (const Fifo& c : cases) {
        QProcessEnvironment environment = PlainEnvironment();
        if (!c.model.isEmpty()) {
            environment.insert(QStringLiteral("BIVANO_MODEL"), c.model);
        }
        const Result result =
            RunProgram(QStringLiteral(BIVANO_CLI), c.arguments, "kalimera", environment, 10000);
        EXPECT_TRUE(result.finished) << c.name << ": still waiting after 10 s";
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << c.name << ": " << result.err.toStdString();
    }
}

// A word list past the bound is refused before a byte of it is read (the
// index of one costs some 40 bytes a byte); memory that runs out all the
// same ends with a message and status 1, not an abort.
TEST(CliInput, HugeWordListsAndExhaustedMemory) {
    QTemporaryDir folder;
    const QString huge = folder.filePath("huge.dic");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize((qint64{64} << 20) + 1));  // sparse: no disk spent
    }
    const Result refused = RunBivano({"accents", "--dictionary", huge}, "καλιμερα");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.toStdString(), "καλιμερα");
    EXPECT_TRUE(refused.err.contains("64 MiB")) << refused.err.toStdString();

#if defined(__SANITIZE_ADDRESS__) || BIVANO_HAS_ADDRESS_SANITIZER
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
    // Six megabytes of words under a 160 MB address-space limit.
    std::mt19937 random(7);
    const std::u16string letters = u"αβγδεζηθικλμνξοπρστυφχψω";
    QByteArray list = "400000\n";
    while (list.size() < 6'000'000) {
        QString word;
        for (int k = 0, length = 4 + static_cast<int>(random() % 9); k < length; ++k) {
            word += QChar(letters[random() % letters.size()]);
        }
        list += word.toUtf8() + "\n";
    }
    WriteAll(folder.filePath("big.dic"), list);
    const Result exhausted =
        RunProgram(QStringLiteral("/bin/sh"),
                   {"-c", "ulimit -v 160000 && exec \"$0\" greek --accents --dictionary \"$1\"",
                    QStringLiteral(BIVANO_CLI), folder.filePath("big.dic")},
                   "kalimera");
    EXPECT_EQ(exhausted.status, 1) << exhausted.err.toStdString();
    EXPECT_TRUE(exhausted.err.contains("out of memory")) << exhausted.err.toStdString();
    QProcessEnvironment greek = PlainEnvironment();
    greek.insert(QStringLiteral("LANG"), QStringLiteral("el_GR.UTF-8"));
    const Result in_greek =
        RunProgram(QStringLiteral("/bin/sh"),
                   {"-c", "ulimit -v 160000 && exec \"$0\" greek --accents --dictionary \"$1\"",
                    QStringLiteral(BIVANO_CLI), folder.filePath("big.dic")},
                   "kalimera", greek);
    EXPECT_EQ(in_greek.status, 1);
    EXPECT_TRUE(in_greek.err.contains("η μνήμη εξαντλήθηκε")) << in_greek.err.toStdString();
#endif
}

// Damage anywhere in the model's header, however it reads, gives the one
// message and the plain conversion.
TEST(CliInput, AModelWithADamagedHeaderIsNotUsed) {
    QTemporaryDir folder;
    QFile original(QStringLiteral(BIVANO_MODEL));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray model = original.readAll();
    for (const int offset : {12, 40, 56, 100, 151}) {
        QByteArray damaged = model;
        damaged[offset] = static_cast<char>(damaged[offset] ^ 0x10);
        const QString path = folder.filePath(QStringLiteral("damaged-%1.model").arg(offset));
        WriteAll(path, damaged);
        QProcessEnvironment environment = PlainEnvironment();
        environment.insert(QStringLiteral("BIVANO_MODEL"), path);
        const Result result =
            RunBivano({"greek", "--accents"}, "Kalimera ti kaneis\n", environment);
        EXPECT_EQ(result.status, 0) << offset;
        EXPECT_EQ(result.out.toStdString(), "Καλιμερα τι κανεις\n") << offset;
        EXPECT_EQ(result.err.count("bivano:"), 1) << offset << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("damaged")) << offset << ": " << result.err.toStdString();
    }
}

// Greek that the reader cannot place stays as it was typed.
TEST(CliInput, AccentsKeepWhatTheyCannotPlace) {
    const Result result = RunBivano({"accents"}, "κέικς ό,τι ξγφδς\n");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), "κέικς ό,τι ξγφδς\n");
}

}  // namespace
