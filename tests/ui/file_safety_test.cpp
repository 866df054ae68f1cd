// SPDX-License-Identifier: GPL-3.0-or-later
// Open and Save against what a careless or hostile user may point them at,
// and the window against huge texts, failing clipboards and input given
// during a long run. Every special file is made here, in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>

#include "file_helpers.h"
#include "test_doubles.h"
#include "ui/main/frm_main.h"
#include "ui/main/text_files.h"

namespace bivano {
namespace {

using testing::kOpenFailure;
using testing::kSaveFailure;
using testing::ReadBytes;
using testing::WriteBytes;
using ui::FrmMain;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

struct stat StatOf(const QString& path) {
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Runs `body` in a child process as nobody:nogroup; true when it returned
// true there. Only root can do this.
bool AsNobody(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(kNogroup, kNogroup, kNogroup) == 0 &&
                             ::setresuid(kNobody, kNobody, kNobody) == 0;
        ::_exit(dropped && body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FileSafetyTest : public ::testing::Test {
  protected:
    FileSafetyTest() : window(options, {clock, file_dialog, message_box}) {
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
    }

    QString Path(const QString& name) const { return folder.filePath(name); }
    QByteArray Name(const QString& name) const { return QFile::encodeName(Path(name)); }

    void Save(const QString& path) {
        file_dialog.Choose(path);
        window.SaveFile->trigger();
    }
    void Open(const QString& path) {
        file_dialog.Choose(path);
        window.Openfile->trigger();
    }

    QTemporaryDir folder;
    ConversionOptions options;
    testing::HandWoundClock clock;
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    FrmMain window;
};

TEST_F(FileSafetyTest, SaveRefusesEveryTargetThatIsNoRegularFile) {
    ASSERT_EQ(::mkfifo(Name("fifo").constData(), 0644), 0);
    const bool have_node = ::mknod(Name("null").constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socket_name = Name("socket");
    ASSERT_LT(static_cast<std::size_t>(socket_name.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socket_name.constData(),
                static_cast<std::size_t>(socket_name.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::symlink(Name("fifo").constData(), Name("link-to-fifo").constData()), 0);

    QStringList targets = {Path("fifo"), Path("socket"), Path("link-to-fifo"), folder.path()};
    if (have_node) {
        targets << Path("null");
    } else {
        std::puts("note: no device node made here (not permitted); checked the others");
    }
    window.SetSourceText(QStringLiteral("abc"));
    window.GreekBtn->click();
    for (const QString& target : targets) {
        message_box.messages.clear();
        const mode_t type = StatOf(target).st_mode & S_IFMT;
        Save(target);
        EXPECT_EQ(message_box.messages, QStringList{kSaveFailure + target}) << target.toStdString();
        EXPECT_EQ(StatOf(target).st_mode & S_IFMT, type) << target.toStdString() << " was replaced";
    }
    if (have_node) {
        EXPECT_TRUE(S_ISCHR(StatOf(Path("null")).st_mode));
    }
    ::close(listener);
}

TEST_F(FileSafetyTest, SaveThroughALinkWritesTheFileAndKeepsTheLink) {
    WriteBytes(Path("real.txt"), "old");
    ASSERT_EQ(::symlink("real.txt", Name("link.txt").constData()), 0);
    window.SetSourceText(QStringLiteral("ab"));
    window.GreekBtn->click();
    Save(Path("link.txt"));
    EXPECT_TRUE(message_box.messages.isEmpty());
    EXPECT_TRUE(S_ISLNK(StatOf(Path("link.txt")).st_mode));
    EXPECT_TRUE(ReadBytes(Path("real.txt")).startsWith("\xE1\xE2\r\n"));
}

TEST_F(FileSafetyTest, SaveKeepsHardLinksTogether) {
    WriteBytes(Path("one.txt"), "old");
    ASSERT_EQ(::link(Name("one.txt").constData(), Name("two.txt").constData()), 0);
    window.SetSourceText(QStringLiteral("ab"));
    window.GreekBtn->click();
    Save(Path("one.txt"));
    EXPECT_TRUE(message_box.messages.isEmpty());
    EXPECT_EQ(ReadBytes(Path("two.txt")), ReadBytes(Path("one.txt")));
    EXPECT_TRUE(ReadBytes(Path("two.txt")).startsWith("\xE1\xE2\r\n"));
    EXPECT_EQ(StatOf(Path("one.txt")).st_nlink, 2u);
}

TEST_F(FileSafetyTest, SaveKeepsAnotherUsersOwnershipAndMode) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file to another user";
    }
    WriteBytes(Path("theirs.txt"), "private");
    ASSERT_EQ(::chown(Name("theirs.txt").constData(), kNobody, kNogroup), 0);
    ASSERT_EQ(::chmod(Name("theirs.txt").constData(), 0600), 0);
    window.SetSourceText(QStringLiteral("ab"));
    window.GreekBtn->click();
    Save(Path("theirs.txt"));
    EXPECT_TRUE(message_box.messages.isEmpty());
    const struct stat status = StatOf(Path("theirs.txt"));
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kNogroup);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    // Its owner can still read it.
    EXPECT_TRUE(AsNobody([&] { return ReadBytes(Path("theirs.txt")).startsWith("\xE1\xE2"); }));
}

TEST_F(FileSafetyTest, UnprivilegedSaveInAReadOnlyFolderWritesInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    // The folder is root's and read-only to nobody; the file is nobody's.
    WriteBytes(Path("mine.txt"), "old text");
    ASSERT_EQ(::chown(Name("mine.txt").constData(), kNobody, kNogroup), 0);
    ASSERT_EQ(::chmod(Name("mine.txt").constData(), 0640), 0);
    const QString long_name = Path(QString(250, QLatin1Char('n')) + QStringLiteral(".TXT"));
    const bool saved = AsNobody([&] {
        return ui::WriteTextFile(Path("mine.txt"), QStringLiteral("αβ")) &&
               !ui::WriteTextFile(Path("new.txt"), QStringLiteral("x"));  // cannot create here
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadBytes(Path("mine.txt")), QByteArray("\xE1\xE2\r\n"));
    EXPECT_EQ(StatOf(Path("mine.txt")).st_uid, kNobody);
    EXPECT_EQ(StatOf(Path("mine.txt")).st_mode & 07777, 0640u);
    // A name near the system's limit of 255 bytes saves too.
    EXPECT_TRUE(ui::WriteTextFile(long_name, QStringLiteral("αβ")));
    EXPECT_EQ(ReadBytes(long_name), QByteArray("\xE1\xE2\r\n"));
}

TEST_F(FileSafetyTest, UnprivilegedSaveOfItsOwnFileReplacesItAtOnce) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    ASSERT_EQ(::chown(QFile::encodeName(folder.path()).constData(), kNobody, kNogroup), 0);
    EXPECT_TRUE(AsNobody([&] {
        return ui::WriteTextFile(Path("own.txt"), QStringLiteral("a")) &&
               ui::WriteTextFile(Path("own.txt"), QStringLiteral("β"));
    }));
    EXPECT_EQ(ReadBytes(Path("own.txt")), QByteArray("\xE2\r\n"));
    EXPECT_EQ(StatOf(Path("own.txt")).st_uid, kNobody);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(FileSafetyTest, OpenNeverWaitsOnAFifoOrReadsPastItsBound) {
    ASSERT_EQ(::mkfifo(Name("fifo").constData(), 0644), 0);
    QElapsedTimer timer;
    timer.start();
    window.SetSourceText(QStringLiteral("keep"));
    Open(Path("fifo"));
    EXPECT_LT(timer.elapsed(), 5000);
    // A file of the system's that says it is empty and holds far more.
    Open(QStringLiteral("/proc/self/pagemap"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("keep"));
    EXPECT_EQ(message_box.messages, (QStringList{kOpenFailure, kOpenFailure}));
}

TEST_F(FileSafetyTest, OpenReadsUtf16AndIso8859_7) {
    WriteBytes(Path("le.txt"), QByteArray("\xFF\xFE\xB1\x03\r\x00\n\x00", 8));
    Open(Path("le.txt"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("α\r\n"));
    WriteBytes(Path("be.txt"), QByteArray("\xFE\xFF\x03\xB1", 4));
    Open(Path("be.txt"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("α"));
    WriteBytes(Path("iso.txt"), "\xB6\xED\xE8\xF1\xF9\xF0\xEF\xF2");
    Open(Path("iso.txt"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("Άνθρωπος"));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST(TextBoxBounds, LinesAndTotal) {
    const qsizetype line = ui::kMaxLineCharacters;
    struct Case {
        const char* name;
        QString text;
        bool fits;
    } cases[] = {
        {"empty", QString(), true},
        {"longest line", QString(line, QLatin1Char('a')), true},
        {"line too long", QString(line + 1, QLatin1Char('a')), false},
        {"CR LF ends a line",
         QString(line, QLatin1Char('a')) + "\r\n" + QString(line, QLatin1Char('b')), true},
        {"CR alone", QString(line, QLatin1Char('a')) + "\r" + QString(line, QLatin1Char('b')),
         true},
        {"paragraph separator", QString(line, QLatin1Char('a')) + QChar::ParagraphSeparator + "b",
         true},
        {"line separator does not", QString(line, QLatin1Char('a')) + QChar::LineSeparator + "b",
         false},
        {"too much in all",
         QString(ui::kMaxBoxCharacters / 2, QLatin1Char('a')) +
             QString(ui::kMaxBoxCharacters / 2, QLatin1Char('\n')) + "x",
         false},
    };
    for (const Case& sample : cases) {
        EXPECT_EQ(ui::FitsTextBox(sample.text), sample.fits) << sample.name;
    }
}

TEST_F(FileSafetyTest, OpenAndPasteRefuseALineTheBoxCannotHold) {
    WriteBytes(Path("line.txt"), QByteArray(ui::kMaxLineCharacters + 1, 'a'));
    window.SetSourceText(QStringLiteral("keep"));
    Open(Path("line.txt"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("keep"));
    EXPECT_EQ(message_box.messages, QStringList{kOpenFailure});

    QGuiApplication::clipboard()->setText(QString(ui::kMaxLineCharacters + 1, QLatin1Char('a')));
    window.PasteBtn->click();
    EXPECT_EQ(window.SourceText(), QStringLiteral("keep"));
}

// A clipboard owner that promises text and then gives none.
class RefusingMimeData final : public QMimeData {
  public:
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& format) const override {
        return format == QLatin1String("text/plain");
    }

  protected:
    QVariant retrieveData(const QString&, QMetaType) const override { return {}; }
};

TEST_F(FileSafetyTest, PasteThatYieldsNoTextKeepsTheSourceBox) {
    window.SetSourceText(QStringLiteral("my precious typed text"));
    QGuiApplication::clipboard()->setMimeData(new RefusingMimeData);
    window.PasteBtn->click();
    EXPECT_EQ(window.SourceText(), QStringLiteral("my precious typed text"));
}

void PostClick(QWidget* target) {
    const QPointF centre = QRectF(target->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            target, new QMouseEvent(type, centre, target->mapToGlobal(centre), Qt::LeftButton,
                                    Qt::LeftButton, Qt::NoModifier));
    }
}

TEST_F(FileSafetyTest, InputGivenDuringALongRunIsDropped) {
    window.show();
    QString source;
    while (source.size() < 3'000'000) {
        source += QStringLiteral("θάλασσα ψυχή\r\n");
    }
    window.SetSourceText(source);
    // Clicks that wait in the queue while the run holds the window: the
    // run takes long enough to show the busy cursor, and they are dropped.
    PostClick(window.GreekBtn);
    window.EnglishBtn->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("8alassa cyxh")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // After a short run, input is handled as usual.
    window.SetSourceText(QStringLiteral("ab"));
    PostClick(window.GreekBtn);
    window.EnglishBtn->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("αβ")));
}

}  // namespace
}  // namespace bivano
