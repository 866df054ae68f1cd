// SPDX-License-Identifier: GPL-3.0-or-later
// bivano against faults around it: full file systems, signals, closed
// descriptors, links to nothing, write-protected files and outputs that are
// its own inputs. Every fault is made here, in folders, pipes and tmpfs
// mounts of the test's own; no real device is written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <functional>

namespace {

constexpr int kSkipped = 77;

struct Result {
    QByteArray out;
    QByteArray err;
    int status;  // -1 when it did not end normally
};

QProcessEnvironment PlainEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LC_CTYPE", "TMPDIR"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return environment;
}

// Who runs a script: the test's own user, or one that permissions bind.
// Root may write any file and any folder, so as root the script runs as
// the user nobody.
enum class User { Self, Ordinary };

// Runs `script` with sh in `folder`, $0 being bivano. Exit status 77 from
// the script means the machine cannot make the fault.
Result RunScript(const QTemporaryDir& folder, const QString& script, User user = User::Self) {
    QProcess process;
    process.setProcessEnvironment(PlainEnvironment());
    process.setWorkingDirectory(folder.path());
    QStringList arguments = {QStringLiteral("-c"), script, QStringLiteral(BIVANO_CLI)};
    QString program = QStringLiteral("/bin/sh");
    if (user == User::Ordinary && ::geteuid() == 0) {
        ::chmod(QFile::encodeName(folder.path()).constData(), 0777);
        // A build in a folder of root's own is out of nobody's reach.
        arguments[1] = QStringLiteral(
                           "[ -x \"$0\" ] || { echo \"the user nobody cannot run $0\" >&2; "
                           "exit 77; }; ") +
                       script;
        arguments =
            QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments;
        program = QStringLiteral("setpriv");
    }
    process.start(program, arguments);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.readAllStandardOutput(), process.readAllStandardError(),
            process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

// One scripted case: what the script prints (bivano's status among it) and
// what its messages must say.
struct Scripted {
    const char* name;
    QString script;
    QByteArray out;
    QByteArray err_says = {};  // empty: anything
    QByteArray err_never = {};
};

void PrintTo(const Scripted& scripted, std::ostream* out) {
    *out << scripted.name;
}

void Check(const Scripted& scripted, const Result& result) {
    if (result.status == kSkipped) {
        GTEST_SKIP() << result.err.toStdString();
    }
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), scripted.out.toStdString()) << result.err.toStdString();
    if (!scripted.err_says.isEmpty()) {
        EXPECT_TRUE(result.err.contains(scripted.err_says)) << result.err.toStdString();
    }
    if (!scripted.err_never.isEmpty()) {
        EXPECT_FALSE(result.err.contains(scripted.err_never)) << result.err.toStdString();
    }
}

// A shell never lets a runaway output fill the disk or hang the test.
const QString kBounds = QStringLiteral("ulimit -f 400; ");

// --- Replacing in place on a full file system --------------------------

// Each script runs in a private mount namespace with a small tmpfs on m/;
// its files are m/h (the old text, 3,000 bytes) with a second link m/h2,
// old.txt (a copy of it), small.txt (shorter once converted) and big.txt
// (longer). "fill" fills the tmpfs.
class FullFileSystem : public ::testing::TestWithParam<Scripted> {};

TEST_P(FullFileSystem, NeverLeavesAHalfWrittenFile) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude = QStringLiteral(
        "if unshare -m true 2>/dev/null; then set -- unshare -m; "
        "elif unshare -rm true 2>/dev/null; then set -- unshare -rm; "
        "else echo 'no private mount namespace here' >&2; exit 77; fi; "
        "exec \"$@\" sh -c '"
        "mkdir m && mount -t tmpfs -o size=64k,nr_inodes=64 tmpfs m || exit 77; "
        "fill() { yes 0123456789 > m/fill 2>/dev/null; }; "
        "yes old | head -c 3000 > old.txt; cp old.txt m/h; ln m/h m/h2; "
        "yes ψ | head -c 2000 > small.txt; yes abcde | head -c 90000 > big.txt; "
        "B=$0; %1' \"$0\"");
    Check(scripted, RunScript(folder, kBounds + prelude.arg(scripted.script)));
}

INSTANTIATE_TEST_SUITE_P(
    Output, FullFileSystem,
    ::testing::Values(
        Scripted{"HardLinkedTargetTooSmallForTheResult",
                 "fill; $B latin -o m/h big.txt; echo $?; cmp -s m/h old.txt && echo kept; "
                 "stat -c %h m/h; ls -A m",
                 "1\nkept\n2\nfill\nh\nh2\n", "No space left on device"},
        Scripted{"HardLinkedTargetWithRoomOnlyForAShorterResult",
                 "fill; $B latin -o m/h small.txt; echo $?; stat -c %h m/h; head -c 4 m/h2; "
                 "echo; ls -A m",
                 "0\n2\nc\nc\n\nfill\nh\nh2\n"},
        Scripted{"SingleLinkTarget",
                 "rm m/h2; fill; $B latin -o m/h big.txt; echo $?; cmp -s m/h old.txt && "
                 "echo kept; ls -A m",
                 "1\nkept\nfill\nh\n", "No space left on device"},
        // No inode left for a file beside a target of one name: it is
        // written in place, as one with a second link is.
        Scripted{"SingleLinkTargetNoInodes",
                 "rm m/h2; i=0; while touch m/f$i 2>/dev/null; do i=$((i+1)); done; "
                 "$B latin -o m/h small.txt; echo $?; stat -c %h m/h; head -c 4 m/h",
                 "0\n1\nc\nc\n"},
        Scripted{"SingleLinkTargetNoInodesNoRoom",
                 "rm m/h2; fill; i=0; while touch m/f$i 2>/dev/null; do i=$((i+1)); done; "
                 "$B latin -o m/h big.txt; echo $?; cmp -s m/h old.txt && echo kept",
                 "1\nkept\n", "No space left on device"},
        Scripted{"NewTarget", "fill; $B latin -o m/new big.txt; echo $?; ls -A m",
                 "1\nfill\nh\nh2\n", "No space left on device"},
        // No inode left for a file beside the target, and no TMPDIR: the
        // message names the folder that is missing, not the target.
        Scripted{"HardLinkedTargetNoInodesNoTemporaryFolder",
                 "i=0; while touch m/f$i 2>/dev/null; do i=$((i+1)); done; "
                 "TMPDIR=/nonexistent $B latin -o m/h small.txt; echo $?; cmp -s m/h old.txt && "
                 "echo kept",
                 "1\nkept\n", "/nonexistent", "m/h: No such file"},
        Scripted{"TemporaryFolderFull",
                 "fill; TMPDIR=$PWD/m $B latin -o h.txt big.txt; echo $?; cp old.txt h.txt; "
                 "ln h.txt h2.txt; TMPDIR=$PWD/m $B latin -o h.txt big.txt; echo $?; "
                 "stat -c %h h.txt; head -c 5 h2.txt",
                 "0\n1\n2\nold\no", "/m: No space left on device"}));

// --- A write that fails part-way: the conversion stops reading ----------

// bivano's standard output fails (a pipe whose reader is gone, with SIGPIPE
// ignored, or a closed descriptor) while its input stays open: it ends at
// once, as cat does, instead of waiting for the input to end. The input's
// encoding is named, so that the text goes out before the input ends.
struct BrokenOutput {
    const char* name;
    std::function<void()> in_child;  // makes standard output fail
    QStringList arguments;
    QByteArray input;
    QByteArray err_says;
};

void PrintTo(const BrokenOutput& broken, std::ostream* out) {
    *out << broken.name;
}

class BrokenOutputs : public ::testing::TestWithParam<BrokenOutput> {};

TEST_P(BrokenOutputs, EndTheProgramWithoutWaitingForTheInput) {
    const BrokenOutput& broken = GetParam();
    QProcess process;
    process.setProcessEnvironment(PlainEnvironment());
    process.setChildProcessModifier(broken.in_child);
    process.start(QStringLiteral(BIVANO_CLI), broken.arguments);
    ASSERT_TRUE(process.waitForStarted());
    process.write(broken.input);
    // The input stays open: only the failed output may end the program.
    const bool ended = process.waitForFinished(15000);
    process.closeWriteChannel();
    process.waitForFinished(15000);
    EXPECT_TRUE(ended) << "still reading after the output failed";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains(broken.err_says));
}

void OutputIntoAPipeWithoutReader() {
    int ends[2];
    if (::pipe(ends) != 0) {
        ::_exit(kSkipped);
    }
    ::close(ends[0]);
    ::dup2(ends[1], STDOUT_FILENO);
    ::close(ends[1]);
    ::signal(SIGPIPE, SIG_IGN);
}

void ClosedOutput() {
    ::close(STDOUT_FILENO);
}

INSTANTIATE_TEST_SUITE_P(
    Output, BrokenOutputs,
    ::testing::Values(
        BrokenOutput{"PipeWithoutReader",
                     OutputIntoAPipeWithoutReader,
                     {"latin", "--from", "utf-8"},
                     "αβγ\n",
                     "Broken pipe"},
        BrokenOutput{
            "ClosedStandardOutput", ClosedOutput, {"greek"}, "abc\n", "Bad file descriptor"},
        BrokenOutput{"CharacterWindows1253Lacks",
                     [] {},
                     {"latin", "--from", "utf-8", "--to", "windows-1253"},
                     "αЖ\n",
                     "U+0416"}));

// --- An output that is one of the inputs -------------------------------

class OutputIsInput : public ::testing::TestWithParam<Scripted> {};

TEST_P(OutputIsInput, IsRefusedAsCatRefusesIt) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude = QStringLiteral("printf 'α' > x; printf 'β' > y; ");
    Check(scripted, RunScript(folder, kBounds + prelude + scripted.script));
}

INSTANTIATE_TEST_SUITE_P(
    Output, OutputIsInput,
    ::testing::Values(
        Scripted{"AppendedToItsInput", "$0 latin x >> x; echo \" $?\"; cat x", " 1\nα",
                 "x: input file is output file"},
        Scripted{"StandardInputIsTheOutput", "$0 greek < x >> x; echo \" $?\"; cat x", " 1\nα",
                 "input file is output file"},
        Scripted{"ThroughASecondLink", "ln x x2; $0 latin x2 >> x; echo \" $?\"; cat x", " 1\nα",
                 "x2: input file is output file"},
        Scripted{"OtherInputsStillConvert", "$0 latin y x y >> x; echo \" $?\"; cat x", " 1\nαbb",
                 "input file is output file"},
        Scripted{"AnotherFileIsFine", "$0 latin x >> y; echo \" $?\"; cat y", " 0\nβa"},
        Scripted{"OutputOptionMayNameItsInput", "$0 latin -o x x; echo \" $?\"; cat x", " 0\na"}));

// --- Closed standard descriptors -----------------------------------------

class ClosedDescriptors : public ::testing::TestWithParam<Scripted> {};

TEST_P(ClosedDescriptors, AreNoticedAndNeverTakenForFiles) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude = QStringLiteral("printf 'β' > in.txt; ");
    Check(scripted, RunScript(folder, kBounds + prelude + scripted.script));
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, ClosedDescriptors,
    ::testing::Values(
        Scripted{"ClosedOutput", "printf 'αβγ' | $0 latin >&-; echo $?", "1\n",
                 "Bad file descriptor"},
        // Eight bytes once went into a file the program had opened itself.
        Scripted{"ClosedOutputEightBytes", "printf 'αβγδεζηθ' | $0 latin >&-; echo $?", "1\n",
                 "Bad file descriptor"},
        Scripted{"ClosedOutputNotNeededWithOutputFile",
                 "$0 latin -o out.txt in.txt >&-; echo $?; cat out.txt", "0\nb"},
        Scripted{"ClosedInput", "$0 latin <&-; echo $?", "1\n", "Bad file descriptor",
                 "temporarily unavailable"},
        Scripted{"ClosedInputNotNeededWithFiles", "$0 latin in.txt <&-; echo \" $?\"", "b 0\n"},
        Scripted{"ClosedErrorOutput", "$0 latin in.txt missing in.txt 2>&-; echo \" $?\"; ls",
                 "bb 1\nin.txt\n"},
        Scripted{"HelpIntoAClosedOutput", "$0 --help >&-; echo $?", "1\n", "Bad file descriptor"}));

// --- Links to nothing ------------------------------------------------------

class LinksToNothing : public ::testing::TestWithParam<Scripted> {};

TEST_P(LinksToNothing, AreRefusedAndLeftAsTheyAre) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude = QStringLiteral("printf 'β' > in.txt; mkdir out; ");
    Check(scripted, RunScript(folder, prelude + scripted.script));
}

INSTANTIATE_TEST_SUITE_P(
    Output, LinksToNothing,
    ::testing::Values(
        Scripted{"OutputFile",
                 "ln -s missing.txt link; $0 latin -o link in.txt; echo $?; "
                 "test -L link && echo link; ls",
                 "1\nlink\nin.txt\nlink\nout\n", "link: a symbolic link to no file"},
        Scripted{"LinkToALinkToNothing",
                 "ln -s missing.txt a; ln -s a b; $0 latin -o b in.txt; echo $?; ls",
                 "1\na\nb\nin.txt\nout\n", "b: a symbolic link to no file"},
        Scripted{"InTheOutputFolder",
                 "ln -s ../missing.txt out/in.txt; $0 latin -d out in.txt; echo $?; "
                 "test -L out/in.txt && echo link; ls",
                 "1\nlink\nin.txt\nout\n", "out/in.txt: a symbolic link to no file"},
        Scripted{"LinkToAFileIsWritten",
                 "printf old > real.txt; ln -s real.txt link; $0 latin -o link in.txt; echo $?; "
                 "test -L link && cat link",
                 "0\nb"}));

// --- Write-protected files -------------------------------------------------

class WriteProtected : public ::testing::TestWithParam<Scripted> {};

TEST_P(WriteProtected, AreReplacedOnlyWithForce) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude =
        QStringLiteral("printf 'β' > in.txt; printf old > out.txt; chmod 444 out.txt; ");
    Check(scripted, RunScript(folder, prelude + scripted.script, User::Ordinary));
}

INSTANTIATE_TEST_SUITE_P(
    Output, WriteProtected,
    ::testing::Values(
        Scripted{"Refused", "$0 latin -o out.txt in.txt; echo \" $?\"; cat out.txt", " 1\nold",
                 "out.txt: write-protected"},
        Scripted{"ReplacedWithForce",
                 "$0 latin --force -o out.txt in.txt; echo \" $?\"; cat out.txt; "
                 "stat -c ' %a' out.txt",
                 " 0\nb 444\n"},
        Scripted{"RefusedInTheOutputFolder",
                 "mkdir d; cp out.txt d/in.txt; $0 latin -d d in.txt; echo \" $?\"; cat d/in.txt",
                 " 1\nold", "d/in.txt: write-protected"},
        Scripted{"ReplacedInTheOutputFolderWithForce",
                 "mkdir d; cp out.txt d/in.txt; $0 latin --force -d d in.txt; echo \" $?\"; "
                 "cat d/in.txt",
                 " 0\nb"},
        Scripted{"WritableIsReplaced",
                 "chmod 644 out.txt; $0 latin -o out.txt in.txt; echo \" $?\"; cat out.txt",
                 " 0\nb"}));

// --- Messages that name the real cause ------------------------------------

class RealCauses : public ::testing::TestWithParam<Scripted> {};

TEST_P(RealCauses, AreNamedInTheMessage) {
    const Scripted& scripted = GetParam();
    QTemporaryDir folder;
    const QString prelude = QStringLiteral("printf 'β' > in.txt; ");
    Check(scripted, RunScript(folder, prelude + scripted.script, User::Ordinary));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, RealCauses,
    ::testing::Values(
        Scripted{"FolderAsInputWithOutputFolder", "mkdir dir out; $0 latin -d out dir/; echo $?",
                 "1\n", "bivano: dir/: Is a directory", "out"},
        // The target's folder may not be written, and TMPDIR is missing.
        Scripted{"MissingTemporaryFolder",
                 "mkdir d; printf old > d/h; ln d/h d/h2; chmod 555 d; "
                 "TMPDIR=/nonexistent $0 latin -o d/h in.txt; echo \" $?\"; cat d/h; chmod 755 d",
                 " 1\nold", "/nonexistent: No such file or directory", "d/h: No such file"},
        // The folder may be written: the text gathers there instead.
        Scripted{"MissingTemporaryFolderButRoomBeside",
                 "mkdir d; printf old > d/h; ln d/h d/h2; "
                 "TMPDIR=/nonexistent $0 latin -o d/h in.txt; echo \" $?\"; cat d/h2; ls d",
                 " 0\nbh\nh2\n"}));

// --- Signals ----------------------------------------------------------------

struct Interruption {
    const char* name;
    int signal;
    bool directory;  // -d with a FIFO as input, else -o with standard input
};

void PrintTo(const Interruption& interruption, std::ostream* out) {
    *out << interruption.name;
}

class Interruptions : public ::testing::TestWithParam<Interruption> {};

QStringList EntriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

// Waits until the temporary file of a result shows in `folder`.
bool TemporaryAppears(const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (!QDir(folder).entryList({".bivano-*"}, QDir::Files | QDir::Hidden).isEmpty()) {
            return true;
        }
        QThread::msleep(10);
    }
    return false;
}

TEST_P(Interruptions, LeaveNoTemporaryFileAndEndWithTheSignal) {
    const Interruption& interruption = GetParam();
    QTemporaryDir folder;
    const QString out_folder = folder.filePath("out");
    ASSERT_TRUE(QDir(folder.path()).mkdir("out"));
    {
        QFile old(folder.filePath("out/in"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const QByteArray fifo = QFile::encodeName(folder.filePath("in"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QProcess process;
    process.setProcessEnvironment(PlainEnvironment());
    process.setWorkingDirectory(folder.path());
    if (interruption.directory) {
        process.start(QStringLiteral(BIVANO_CLI), {"latin", "-d", "out", "in"});
    } else {
        process.start(QStringLiteral(BIVANO_CLI), {"latin", "-o", "out/in"});
    }
    ASSERT_TRUE(process.waitForStarted());
    int fifo_writer = -1;
    const QByteArray text = QByteArray("θάλασσα ").repeated(4000);
    if (interruption.directory) {
        // Once bivano reads the FIFO; never waiting for ever should it not.
        QElapsedTimer timer;
        timer.start();
        while (fifo_writer < 0 && timer.elapsed() < 15000) {
            fifo_writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            QThread::msleep(fifo_writer < 0 ? 10 : 0);
        }
        ASSERT_GE(fifo_writer, 0) << "bivano never opened its input";
        ASSERT_EQ(::fcntl(fifo_writer, F_SETFL, 0), 0);
        ASSERT_EQ(::write(fifo_writer, text.constData(), text.size()), text.size());
    } else {
        process.write(text);
        process.waitForBytesWritten(5000);
    }
    ASSERT_TRUE(TemporaryAppears(out_folder));
    ::kill(static_cast<pid_t>(process.processId()), interruption.signal);
    EXPECT_TRUE(process.waitForFinished(15000));
    if (fifo_writer >= 0) {
        ::close(fifo_writer);
    }
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(process.exitCode(), interruption.signal);
    EXPECT_EQ(EntriesOf(out_folder).join(QLatin1Char(' ')).toStdString(), "in");
    QFile old(folder.filePath("out/in"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}

INSTANTIATE_TEST_SUITE_P(Signals, Interruptions,
                         ::testing::Values(Interruption{"TermDuringOutputFile", SIGTERM, false},
                                           Interruption{"TermDuringOutputFolder", SIGTERM, true},
                                           Interruption{"InterruptDuringOutputFile", SIGINT, false},
                                           Interruption{"InterruptDuringOutputFolder", SIGINT,
                                                        true},
                                           Interruption{"HangUpDuringOutputFile", SIGHUP, false},
                                           Interruption{"HangUpDuringOutputFolder", SIGHUP, true},
                                           Interruption{"PipeDuringOutputFile", SIGPIPE, false},
                                           Interruption{"PipeDuringOutputFolder", SIGPIPE, true}));

}  // namespace
