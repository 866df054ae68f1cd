// SPDX-License-Identifier: GPL-3.0-or-later
// The real bivano executable, run as a script would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>

namespace {

struct Result {
    QByteArray out;
    QByteArray err;
    int status;
};

// The environment with messages in the language given, whatever the
// caller's own.
QProcessEnvironment EnvironmentIn(const QString& language) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LC_CTYPE"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("LANG"), language);
    return environment;
}

Result RunBivano(const QStringList& arguments, const QByteArray& input = {},
                 const QString& folder = {}, const QString& language = QStringLiteral("C.UTF-8")) {
    QProcess process;
    process.setProcessEnvironment(EnvironmentIn(language));
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
        Invocation{"SchemeElot",
                   {"latin", "--scheme", "elot743"},
                   "Θεσσαλονίκη ΨΥΧΗ αύριο\n",
                   "Thessaloniki PSYCHI avrio\n",
                   0},
        Invocation{"SchemeInAnyCase", {"latin", "-s", "ISO843"}, "ώρα", "\xE1\xB9\x93ra", 0},
        Invocation{"SchemeSlug",
                   {"latin", "-s", "slug"},
                   "Θεσσαλονίκη, 2024!\nΚαλή χρονιά\n",
                   "thessaloniki-2024\nkali-chronia\n",
                   0},
        Invocation{"SchemeWithCredit",
                   {"latin", "-s", "bgn1962", "--credit"},
                   "Κέρκυρα",
                   "K\xC3\xA9rkira" + kLatinTail,
                   0},
        Invocation{"ChatOnlyWithAccents", {"greek", "--chat"}, "k", "", 2},
        Invocation{"SchemeUnknown", {"latin", "--scheme", "elot"}, "α", "", 2},
        Invocation{"SchemeOnlyForLatin", {"greek", "--scheme", "elot743"}, "a", "", 2},
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

TEST(Cli, MessagesInEnglishAndUnderAGreekLocaleInGreek) {
    // Messages follow the locale when the system has it, as with any program.
    if (std::setlocale(LC_ALL, "el_GR.UTF-8") == nullptr && qEnvironmentVariableIsEmpty("CI")) {
        GTEST_SKIP() << "no el_GR.UTF-8 locale here";
    }
    std::setlocale(LC_ALL, "C");
    const QString greek = QStringLiteral("el_GR.UTF-8");
    struct Case {
        QStringList arguments;
        const char* english;
        const char* in_greek;
    };
    const Case cases[] = {
        {{"--help"}, "Usage: bivano latin [OPTIONS]", "Χρήση: bivano latin [ΕΠΙΛΟΓΕΣ]"},
        {{"latin", "--bogus"}, "Unknown option 'bogus'.", "Άγνωστη επιλογή «bogus»."},
        {{"latin", "-x", "q"}, "invalid value “q” for --xi", "άκυρη τιμή «q» για την --xi"},
        {{"nope"}, "unknown command “nope”", "άγνωστη εντολή «nope»"},
        {{"latin", "-o", "/no/such/folder/x"}, "/no/such/folder/x: ", "/no/such/folder/x: "},
    };
    for (const Case& c : cases) {
        const Result english = RunBivano(c.arguments, {}, {}, QStringLiteral("C.UTF-8"));
        const Result in_greek = RunBivano(c.arguments, {}, {}, greek);
        EXPECT_TRUE((english.out + english.err).contains(c.english))
            << (english.out + english.err).toStdString();
        EXPECT_TRUE((in_greek.out + in_greek.err).contains(c.in_greek))
            << (in_greek.out + in_greek.err).toStdString();
        EXPECT_EQ(english.status, in_greek.status);
    }
    // The system's own error texts too.
    const QByteArray missing = RunBivano({"latin", "/missing"}, {}, {}, greek).err;
    EXPECT_TRUE(missing.contains("Δεν υπάρχει τέτοιο αρχείο")) << missing.toStdString();
}

// LANGUAGE picks the messages' language under any locale but C, the
// system's Greek locale or none; a program with no catalogue near it says
// its messages in English.
TEST(Cli, LanguagesInOrderOfPreferenceAndNoCatalogueNearby) {
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("bivano"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BIVANO_CLI), copy));
    struct Row {
        QString program;
        const char* lang;
        const char* language;
        const char* begins;
    };
    const Row rows[] = {
        {QStringLiteral(BIVANO_CLI), "C.UTF-8", "el:en", "Χρήση: bivano latin"},
        {QStringLiteral(BIVANO_CLI), "C.UTF-8", "fr:el", "Χρήση: bivano latin"},
        {QStringLiteral(BIVANO_CLI), "C", "el", "Usage: bivano latin"},
        {copy, "C.UTF-8", "el", "Usage: bivano latin"},
    };
    for (const Row& row : rows) {
        QProcess process;
        QProcessEnvironment environment = EnvironmentIn(QString::fromLatin1(row.lang));
        environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(row.language));
        process.setProcessEnvironment(environment);
        process.start(row.program, {QStringLiteral("--help")});
        ASSERT_TRUE(process.waitForFinished(30000));
        const QByteArray out = process.readAllStandardOutput();
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_TRUE(out.startsWith(row.begins))
            << row.program.toStdString() << " LANG=" << row.lang << " LANGUAGE=" << row.language
            << ": " << out.left(40).toStdString();
    }
}

TEST(Cli, UnknownSchemeListsTheSchemes) {
    const Result result = RunBivano({"latin", "--scheme", "passport"}, "α");
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("lativo, elot743, iso843, alalc, bgn1962, slug"))
        << result.err.toStdString();
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
    const QString dictionary = WriteDictionary(folder, {"καλημέρα", "εσύ", "είσαι", "έλα"});
    Result result = RunBivano({"greek", "--accents", "--dictionary", dictionary},
                              "Kalimera esy eisai? *kalimera* ELA\r\n");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), "Καλημέρα εσύ είσαι; kalimera ΕΛΑ\r\n");
    result = RunBivano({"accents", "--dictionary", dictionary}, "καλιμερα εσυ εισε?");
    EXPECT_EQ(result.out.toStdString(), "καλημέρα εσύ είσαι;");
    result =
        RunBivano({"greek", "--accents", "--chat", "--dictionary", dictionary}, "k esy eisai? gt");
    EXPECT_EQ(result.out.toStdString(), "και εσύ είσαι; γιατί");
    // The program's own model, mapped at start.
    result = RunBivano({"greek", "--accents"}, "Nai. 8a to kanw auto, alla den 3erw\n");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), "Ναι. Θα το κάνω αυτό, αλλά δεν ξέρω\n");
    // Without the mode, the design's letters; without the dictionary, too,
    // with one message.
    result = RunBivano({"greek"}, "Kalimera ti kaneis?");
    EXPECT_EQ(result.out.toStdString(), "Καλιμερα τι κανεις?");
    // A list the user named and that cannot be used is a failure.
    result =
        RunBivano({"greek", "--accents", "--dictionary", folder.filePath("none.dic")}, "Kalimera");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.toStdString(), "Καλιμερα");
    EXPECT_EQ(result.err.count("none.dic"), 1) << result.err.toStdString();
    EXPECT_EQ(RunBivano({"latin", "--accents"}, "α").status, 2);
}

// The program's own model missing, in a folder's place, cut short or not a
// model at all: one message naming it, the plain conversion, and success,
// since the user asked for no particular file.
TEST(Cli, AModelThatCannotBeUsedGivesOneMessageAndThePlainConversion) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("garbage.model"), QByteArray(4096, 'x'));
    WriteAll(folder.filePath("cut.model"), ReadAll(QStringLiteral(BIVANO_MODEL)).left(4096));
    struct Case {
        QString path;
        const char* says;
    };
    const Case cases[] = {{folder.filePath("none.model"), "cannot be read"},
                          {folder.path(), "cannot be read"},
                          {folder.filePath("garbage.model"), "damaged"},
                          {folder.filePath("cut.model"), "damaged"}};
    for (const Case& model : cases) {
        qputenv("BIVANO_MODEL", QFile::encodeName(model.path));
        const Result result = RunBivano({"greek", "--accents"}, "Kalimera\nKalimera\n");
        qunsetenv("BIVANO_MODEL");
        EXPECT_EQ(result.status, 0) << model.path.toStdString();
        EXPECT_EQ(result.out.toStdString(), "Καλιμερα\nΚαλιμερα\n");
        EXPECT_EQ(result.err.count(QFile::encodeName(model.path)), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(model.says)) << result.err.toStdString();
    }
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

// What a shell passes: any bytes, not only UTF-8, through sh and printf.
Result RunInShell(const QString& folder, const QByteArray& script) {
    QProcess process;
    process.setProcessEnvironment(EnvironmentIn(QStringLiteral("C.UTF-8")));
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/sh"), {"-c", QString::fromLatin1(script), BIVANO_CLI});
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return {process.readAllStandardOutput(), process.readAllStandardError(),
            process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

TEST(Cli, OutputOntoAFifoOrDeviceIsRefusedAndLeftAsItWas) {
    QTemporaryDir folder;
    const QByteArray fifo = QFile::encodeName(folder.filePath("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QStringList targets = {folder.filePath("fifo")};
    // Our own node, never the system's: as root, a twin of /dev/null.
    const QByteArray node = QFile::encodeName(folder.filePath("null"));
    if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        targets << folder.filePath("null");
    }
    for (const QString& target : targets) {
        const Result result = RunBivano({"latin", "-o", target}, "α");
        EXPECT_EQ(result.status, 1) << target.toStdString();
        EXPECT_TRUE(result.err.contains(QFile::encodeName(target))) << result.err.toStdString();
        struct stat status {};
        ASSERT_EQ(::lstat(QFile::encodeName(target).constData(), &status), 0);
        EXPECT_FALSE(S_ISREG(status.st_mode)) << target.toStdString();
    }
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                  .size(),
              targets.size());
}

TEST(Cli, OutputKeepsHardLinksAndMode) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("result.txt"), "old");
    const QByteArray result_name = QFile::encodeName(folder.filePath("result.txt"));
    ASSERT_EQ(::chmod(result_name.constData(), 0604), 0);
    ASSERT_EQ(::link(result_name.constData(),
                     QFile::encodeName(folder.filePath("other-name.txt")).constData()),
              0);
    const Result result = RunBivano({"latin", "-o", "result.txt"}, "ψ", folder.path());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(folder.filePath("other-name.txt")).toStdString(), "c");
    struct stat status {};
    ASSERT_EQ(::stat(result_name.constData(), &status), 0);
    EXPECT_EQ(status.st_nlink, 2u);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

TEST(Cli, DirectoryRefusesTwoInputsOfOneNameAndMakesAMissingFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("a"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("b"));
    WriteAll(folder.filePath("a/x.txt"), "α");
    WriteAll(folder.filePath("b/x.txt"), "β");
    WriteAll(folder.filePath("y.txt"), "γ");
    const Result result =
        RunBivano({"latin", "-d", "new/out", "a/x.txt", "b/x.txt", "y.txt"}, {}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("b/x.txt")) << result.err.toStdString();
    EXPECT_EQ(ReadAll(folder.filePath("new/out/x.txt")).toStdString(), "a");  // the first stays
    EXPECT_EQ(ReadAll(folder.filePath("new/out/y.txt")).toStdString(), "g");
    // An input that cannot be read claims no name.
    const Result after_missing = RunBivano(
        {"latin", "-d", "again", "a/missing.txt", "a/x.txt", "b/x.txt"}, {}, folder.path());
    EXPECT_EQ(after_missing.status, 1);
    EXPECT_EQ(ReadAll(folder.filePath("again/x.txt")).toStdString(), "a");
    EXPECT_TRUE(QFile::rename(folder.filePath("a/x.txt"), folder.filePath("a/missing.txt")));
    const Result first_missing =
        RunBivano({"latin", "-d", "third", "a/x.txt", "b/x.txt"}, {}, folder.path());
    EXPECT_EQ(first_missing.status, 1);  // a/x.txt is gone now
    EXPECT_EQ(ReadAll(folder.filePath("third/x.txt")).toStdString(), "b");
    // A file where the folder should be is named.
    WriteAll(folder.filePath("plain"), "");
    const Result onto_file = RunBivano({"latin", "-d", "plain", "y.txt"}, {}, folder.path());
    EXPECT_EQ(onto_file.status, 1);
    EXPECT_TRUE(onto_file.err.startsWith("bivano: plain:")) << onto_file.err.toStdString();
}

TEST(Cli, NamesThatAreNotUtf8AreReadAndWrittenAsTheyAre) {
    QTemporaryDir folder;
    const Result result = RunInShell(
        folder.path(),
        "in=$(printf 'in\\377.txt'); out=$(printf 'out\\351.txt'); printf '\\350' > \"$in\" && "
        "\"$0\" latin \"$in\" && \"$0\" latin -o \"$out\" \"$in\" && mkdir d && "
        "\"$0\" latin -d d \"$in\" && cat \"$out\" \"d/$in\"");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), "888");
    const Result missing = RunInShell(folder.path(), "\"$0\" latin \"$(printf 'no\\377')\"");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("no\xFF")) << missing.err.toStdString();
}

// A hunspell list and its .aff, in the encoding given.
QString WriteDictionaryIn(const QTemporaryDir& folder, const QByteArray& set_line,
                          const QByteArray& words) {
    WriteAll(folder.filePath("list.aff"), set_line + "\nTRY abc\n");
    WriteAll(folder.filePath("list.dic"), words);
    return folder.filePath("list.dic");
}

TEST(Cli, WordListsAreReadInTheEncodingTheirAffixFileNames) {
    const QByteArray utf8_words = "2\nκαλημέρα/A\nθάλασσα\n";
    const QByteArray iso_words =
        "2\n\xEA\xE1\xEB\xE7\xEC\xDD\xF1\xE1/A\n\xE8\xDC\xEB\xE1\xF3\xF3\xE1\n";
    struct Case {
        const char* name;
        QByteArray set_line;
        QByteArray words;
        int status;
        const char* out;
    };
    const Case cases[] = {
        {"Utf8", "SET UTF-8", utf8_words, 0, "καλημέρα θάλασσα"},
        {"Iso", "SET ISO8859-7", iso_words, 0, "καλημέρα θάλασσα"},
        {"NoSetLineUtf8", "", utf8_words, 0, "καλημέρα θάλασσα"},
        {"Utf8SaidIso", "SET ISO8859-7", utf8_words, 1, "καλιμερα θαλασσα"},
        {"IsoSaidUtf8", "SET UTF-8", iso_words, 1, "καλιμερα θαλασσα"},
        {"OtherEncoding", "SET KOI8-R", iso_words, 1, "καλιμερα θαλασσα"},
        {"NoGreek", "SET UTF-8", "2\nhello\nworld\n", 1, "καλιμερα θαλασσα"},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString dictionary = WriteDictionaryIn(folder, c.set_line, c.words);
        const Result result =
            RunBivano({"greek", "--accents", "--dictionary", dictionary}, "kalimera thalassa");
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err.toStdString();
        EXPECT_EQ(result.out.toStdString(), c.out) << c.name;
        EXPECT_EQ(result.err.count("bivano:"), c.status) << c.name;
    }
}

#ifdef BIVANO_WINDOW
TEST(Cli, WindowProgramAnswersHelpWithoutADisplay) {
    QProcess process;
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    process.setProcessEnvironment(environment);
    for (const char* argument : {"--help", "--version"}) {
        process.start(QStringLiteral(BIVANO_WINDOW), {argument});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << argument;
        EXPECT_EQ(process.exitCode(), 0) << argument;
        EXPECT_TRUE(process.readAllStandardOutput().contains("lativo-bivano")) << argument;
    }
    process.start(QStringLiteral(BIVANO_WINDOW), {});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("DISPLAY"));
}
#endif

// Text typed with the wrong keyboard layout, and lines turned the way
// their words show; both read with the model the build makes.
TEST(Cli, LayoutAndAuto) {
    const struct {
        const char* name;
        QStringList arguments;
        QByteArray input;
        QByteArray output;
        int status;
    } rows[] = {
        {"LayoutBothWays",
         {"layout"},
         "Kalhm;era, ti k;aneiwq\r\nηελλο ςορλδ, ςςς.γοογλε.ψομ\nκαι ok\n",
         "Καλημέρα, τι κάνεις;\r\nhello world, www.google.com\nκαι ok\n",
         0},
        {"LayoutFromAndToWindows1253",
         {"layout", "--from", "windows-1253", "--to", "windows-1253"},
         "\xE7\xE5\xEB\xEB\xEF \xE3\xF1\xDC\xEC\xEC\xE1",  // ηελλο γράμμα
         "hello \xE3\xF1\xDC\xEC\xEC\xE1",
         0},
        {"LayoutNotInWindows1253", {"layout", "--to", "windows-1253"}, "ok Ж", "ok ", 1},
        {"LayoutLeavesOtherBytes",
         {"layout"},
         QByteArray("a\0b\x01 ;k", 7),
         QByteArray("a\0b\x01 ;k", 7),
         0},
        {"Auto",
         {"auto"},
         "kalimera ti kaneis?\nΚαλημέρα, τι κάνεις;\nthe file is open\n",
         "καλημέρα τι κάνεις;\nKalhmera, ti kaneis;\nthe file is open\n",
         0},
        {"AutoWithAScheme",
         {"auto", "-s", "elot743"},
         "Θεσσαλονίκη και Αθήνα",
         "Thessaloniki kai Athina",
         0},
        {"LayoutTakesNoAccents", {"layout", "--accents"}, "", "", 2},
        {"LayoutTakesNoChat", {"layout", "--chat"}, "", "", 2},
        {"LayoutTakesNoScheme", {"layout", "-s", "elot743"}, "", "", 2},
    };
    for (const auto& row : rows) {
        const Result result = RunBivano(row.arguments, row.input);
        EXPECT_EQ(result.out.toStdString(), row.output.toStdString()) << row.name;
        EXPECT_EQ(result.status, row.status) << row.name << ": " << result.err.toStdString();
    }
}

TEST(Cli, LayoutIntoADirectoryAndWithoutTheModel) {
    QTemporaryDir folder;
    WriteAll(folder.filePath("a.txt"), "ηελλο\n");
    Result result = RunBivano({"layout", "-d", "out", "a.txt"}, {}, folder.path());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(folder.filePath("out/a.txt")).toStdString(), "hello\n");

    // Without a model no word can be judged: the text passes as it is, and
    // the run fails with a message that says so.
    QProcess process;
    QProcessEnvironment environment = EnvironmentIn(QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("BIVANO_MODEL"), folder.filePath("missing.model"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BIVANO_CLI), {"layout"});
    process.write("ηελλο");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "ηελλο");
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("the text stays as it is"));
}

}  // namespace
