// SPDX-License-Identifier: GPL-3.0-or-later
// The real bivano executable, run as a script would run it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Result {
    QByteArray out;
    QByteArray err;
    int status;
};

Result RunBivano(const QStringList& arguments, const QByteArray& input = {},
                 const QString& folder = {}) {
    QProcess process;
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    process.start(QStringLiteral(BIVANO_CLI), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return {process.readAllStandardOutput(), process.readAllStandardError(),
            process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Invocation {
    const char* name;
    QStringList arguments;
    QByteArray input;
    QByteArray output;
    int status;
};

void PrintTo(const Invocation& invocation, std::ostream* out) {
    *out << invocation.name;
}

class Invocations : public ::testing::TestWithParam<Invocation> {};

TEST_P(Invocations, GiveTheirBytesAndStatus) {
    const Invocation& invocation = GetParam();
    const Result result = RunBivano(invocation.arguments, invocation.input);
    EXPECT_EQ(result.out.toStdString(), invocation.output.toStdString());
    EXPECT_EQ(result.status, invocation.status) << result.err.toStdString();
}

const QByteArray kLatinTail =
    "\r\n\r\n\r\n\r\nMetatrapike apo Ellhnika me ton Lativo Bivano. www.example.org";

INSTANTIATE_TEST_SUITE_P(
    Pipes, Invocations,
    ::testing::Values(
        Invocation{
            "Defaults", {"latin"}, "θάλασσα ξένος ψυχή ώρα\n", "8alassa 3enos cyxh wra\n", 0},
        Invocation{"ShortOptions",
                   {"latin", "-x", "ks", "-t", "th", "-p", "ps", "-w", "v"},
                   "ΞΘΨΩ ξθψω",
                   "KsThPsV ksthpsv",
                   0},
        Invocation{"LongOptions", {"latin", "--xi", "j", "--theta=u"}, "ξθ", "ju", 0},
        Invocation{"OptionsAnyCase", {"latin", "--theta", "TH"}, "θ", "th", 0},
        Invocation{"GreekIgnoresOptions", {"greek", "-t", "8"}, "thalassa", "θαλασσα", 0},
        Invocation{"GreekRules", {"greek"}, "Pws eisai? *e-mail* a3b", "Πως εισαι? e-mail αξβ", 0},
        Invocation{"StandardInputByDash", {"greek", "-"}, "ksero", "ξερο", 0},
        Invocation{"LineBreaksKept", {"latin"}, "α\r\nβ\nγ\r", "a\r\nb\ng\r", 0},
        Invocation{"PolytonicFolded", {"latin"}, "ἄνθρωπος", "an8rwpos", 0},
        Invocation{"Credit", {"latin", "--credit"}, "α", "a" + kLatinTail, 0},
        Invocation{"CreditOnEmptyInput", {"latin", "--credit"}, "", kLatinTail, 0},
        Invocation{"GreekCredit",
                   {"greek", "--credit"},
                   "",
                   "\r\n\r\n\r\n\r\nΜετατράπηκε από Lativo με τον Lativo Bivano. www.example.org",
                   0},
        Invocation{"FromWindows1253", {"latin", "--from", "windows-1253"}, "\xE8\xDC", "8a", 0},
        Invocation{"AutoIso8859_7", {"latin"}, "\xB6\xED\xE8\xF1\xF9\xF0\xEF\xF2", "An8rwpos", 0},
        Invocation{"AutoUtf16", {"latin"}, QByteArray("\xFF\xFE\xB8\x03", 4), "8", 0},
        Invocation{"ToWindows1253", {"greek", "--to", "windows-1253"}, "abc", "\xE1\xE2\xF8", 0},
        Invocation{"NotInWindows1253", {"latin", "--to", "windows-1253"}, "α\nβЖγ", "a\nb", 1},
        Invocation{"NoCommand", {}, "", "", 2},
        Invocation{"UnknownCommand", {"translate"}, "", "", 2},
        Invocation{"UnknownOption", {"latin", "--bogus"}, "", "", 2},
        Invocation{"BadChoice", {"latin", "--psi", "x"}, "", "", 2},
        Invocation{"BadEncoding", {"latin", "--to", "koi8-r"}, "", "", 2},
        Invocation{"OptionTwice", {"latin", "-x", "j", "-x", "ks"}, "", "", 2},
        Invocation{"OutputAndDirectory", {"latin", "-o", "a", "-d", "b", "f"}, "", "", 2},
        Invocation{"DirectoryWithStandardInput", {"latin", "-d", "b"}, "", "", 2}));

TEST(Cli, HelpAndVersion) {
    const Result help = RunBivano({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("bivano latin")) << help.out.toStdString();
    const Result version = RunBivano({"-V"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.toStdString(), "bivano (Lativo Bivano) 3.3\n");
}

TEST(Cli, EncodingFailureNamesLineAndColumn) {
    const Result result = RunBivano({"latin", "--to", "windows-1253"}, "α\nβЖγ");
    EXPECT_TRUE(result.err.contains("2")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("U+0416")) << result.err.toStdString();
}

TEST(Cli, SeveralFilesOneAfterAnotherAndAMissingOneReported) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("a.txt"), "α\n");
    WriteAll(folder.filePath("b.txt"), "\xE2\r\n");  // Windows-1253
    const Result result = RunBivano({"latin", "a.txt", "missing.txt", "b.txt"}, {}, folder.path());
    EXPECT_EQ(result.out.toStdString(), "a\nb\r\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("missing.txt")) << result.err.toStdString();
}

TEST(Cli, DirectoryTakesEachFileUnderItsName) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("out"));
    WriteAll(folder.filePath("one.srt"), "kalimera");
    WriteAll(folder.filePath("two.srt"), "8alassa");
    const Result result = RunBivano({"greek", "-d", "out", "one.srt", "two.srt", "folder-as-input"},
                                    {}, folder.path());
    EXPECT_EQ(result.status, 1);  // the input that does not exist
    EXPECT_EQ(ReadAll(folder.filePath("out/one.srt")).toStdString(), "καλιμερα");
    EXPECT_EQ(ReadAll(folder.filePath("out/two.srt")).toStdString(), "θαλασσα");
    EXPECT_FALSE(QFile::exists(folder.filePath("out/folder-as-input")));
}

TEST(Cli, OutputFileOnlyWhenEverythingConverted) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("in.txt"), "ψ");
    WriteAll(folder.filePath("result.txt"), "old");
    // A missing input: the old result stays as it was.
    Result result = RunBivano({"latin", "-o", "result.txt", "in.txt", "nope"}, {}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ReadAll(folder.filePath("result.txt")).toStdString(), "old");
    // A character Windows-1253 lacks: likewise.
    WriteAll(folder.filePath("emoji.txt"), "\xF0\x9F\x98\x80");
    result = RunBivano({"latin", "--to", "windows-1253", "-o", "result.txt", "emoji.txt"}, {},
                       folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ReadAll(folder.filePath("result.txt")).toStdString(), "old");
    // All well: replaced.
    result = RunBivano({"latin", "-o", "result.txt", "in.txt", "in.txt"}, {}, folder.path());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(folder.filePath("result.txt")).toStdString(), "cc");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3);  // no temporary left
}

TEST(Cli, UnwritableOutputFails) {
    QTemporaryDir folder;
    const Result result = RunBivano({"latin", "-o", "no/such/folder/out.txt"}, "α", folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("out.txt")) << result.err.toStdString();
}

TEST(Cli, FolderAsInputFailsAndOthersStillConvert) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("in.txt"), "β");
    const Result result = RunBivano({"latin", ".", "in.txt"}, {}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.toStdString(), "b");
}

TEST(Cli, LargeInputStreamsThroughThePipe) {
    // Several read pieces, with multi-byte sequences cut between them.
    QByteArray input;
    while (input.size() < 3 * (1 << 20) + 17) {
        input += "θάλασσα thalassa ";
    }
    const Result latin = RunBivano({"latin"}, input);
    ASSERT_EQ(latin.status, 0);
    QByteArray expected = input;
    expected.replace("θάλασσα", "8alassa");
    EXPECT_TRUE(latin.out == expected);
}

// A hunspell word list in ISO-8859-7, as Debian's hunspell-el ships it.
QString WriteDictionary(const QTemporaryDir& folder, const QStringList& words) {
    QByteArray bytes = QByteArray::number(words.size()) + "\n";
    for (const QString& word : words) {
        for (const QChar c : word) {
            bytes += static_cast<char>(c.unicode() >= 0x386 ? c.unicode() - 0x2D0 : c.unicode());
        }
        bytes += "\n";
    }
    const QString path = folder.filePath("el_GR.dic");
    WriteAll(path, bytes);
    return path;
}

TEST(Cli, AccentsAndSpelling) {
    QTemporaryDir folder;
    const QString dictionary = WriteDictionary(folder, {"καλημέρα", "τι", "κάνεις", "έλα"});
    Result result = RunBivano({"greek", "--accents", "--dictionary", dictionary},
                              "Kalimera ti kaneis? *kalimera* ELA\r\n");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), "Καλημέρα τι κάνεις; kalimera ΕΛΑ\r\n");
    result = RunBivano({"accents", "--dictionary", dictionary}, "καλιμερα τι κανις?");
    EXPECT_EQ(result.out.toStdString(), "καλημέρα τι κάνεις;");
    // Without the mode, the design's letters; without the dictionary, too,
    // with one message.
    result = RunBivano({"greek"}, "Kalimera ti kaneis?");
    EXPECT_EQ(result.out.toStdString(), "Καλιμερα τι κανεις?");
    // A list the user named and that cannot be used is a failure.
    result =
        RunBivano({"greek", "--accents", "--dictionary", folder.filePath("none.dic")}, "Kalimera");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.toStdString(), "Καλιμερα");
    EXPECT_EQ(result.err.count("hunspell-el"), 1) << result.err.toStdString();
    EXPECT_EQ(RunBivano({"latin", "--accents"}, "α").status, 2);
}

TEST(Cli, AccentsAcrossReadPieces) {
    // Words cut between the pieces the program reads still find their spelling.
    QTemporaryDir folder;
    const QString dictionary = WriteDictionary(folder, {"καλημέρα", "θάλασσα"});
    QByteArray input;
    QByteArray expected;
    while (input.size() < 600'000) {
        input += "kalimera thalassa *kalimera* ";
        expected += "καλημέρα θάλασσα kalimera ";
    }
    const Result result = RunBivano({"greek", "--accents", "--dictionary", dictionary}, input);
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out == expected);
}

}  // namespace
