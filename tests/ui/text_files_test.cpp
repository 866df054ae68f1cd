// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/text_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <csignal>

#include "file_helpers.h"
#include "test_doubles.h"
#include "ui/main/frm_main.h"

namespace bivano {
namespace {

using testing::kOpenFailure;
using testing::kSaveFailure;
using testing::ReadBytes;
using testing::WriteBytes;
using ui::FrmMain;

class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest() : window(options, {clock, file_dialog, message_box}) {}

    QString Path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    ConversionOptions options;
    testing::HandWoundClock clock;
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    FrmMain window;
};

TEST_F(FileCommandsTest, OpenReadsWindows1253AndUtf8Files) {
    WriteBytes(Path("old.txt"), "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\r\n\xE1\xE2");
    file_dialog.Choose(Path("old.txt"));
    window.Openfile->trigger();
    EXPECT_EQ(window.SourceText(), QStringLiteral("Καλημέρα\r\nαβ"));

    WriteBytes(Path("new.txt"), "\xEF\xBB\xBF\xCE\xB1\xCE\xB2\nline");
    file_dialog.Choose(Path("new.txt"));
    window.Openfile->trigger();
    EXPECT_EQ(window.SourceText(), QStringLiteral("αβ\r\nline"));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST_F(FileCommandsTest, DialogsAreSetUpAsTheCommandsAsk) {
    file_dialog.Cancel();
    window.Openfile->trigger();
    file_dialog.Cancel();
    window.SaveFile->trigger();
    ASSERT_EQ(file_dialog.requests.size(), 2u);
    const ui::FileDialogRequest& open = file_dialog.requests[0];
    const ui::FileDialogRequest& save = file_dialog.requests[1];
    EXPECT_EQ(open.mode, ui::FileDialogRequest::Mode::Open);
    EXPECT_TRUE(open.must_exist);
    EXPECT_FALSE(open.confirm_overwrite);
    EXPECT_EQ(save.mode, ui::FileDialogRequest::Mode::Save);
    EXPECT_FALSE(save.must_exist);
    EXPECT_TRUE(save.confirm_overwrite);
    for (const auto& request : {open, save}) {
        EXPECT_EQ(request.default_suffix, QStringLiteral("TXT"));
        EXPECT_EQ(request.name_filters, (QStringList{QStringLiteral("Text files (*.TXT)"),
                                                     QStringLiteral("All files (*.*)")}));
    }
    EXPECT_EQ(window.CommonDialog1.Flags, 2);
}

TEST_F(FileCommandsTest, CancelChangesNothing) {
    window.SetSourceText(QStringLiteral("source"));
    window.CommonDialog1.FileName = Path("kept.txt");
    file_dialog.Cancel();
    window.Openfile->trigger();
    file_dialog.Cancel();
    window.SaveFile->trigger();
    EXPECT_EQ(window.SourceText(), QStringLiteral("source"));
    EXPECT_EQ(window.CommonDialog1.FileName, Path("kept.txt"));
    EXPECT_FALSE(QFile::exists(Path("kept.txt")));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST_F(FileCommandsTest, SaveWritesTheResultAndALineBreak) {
    file_dialog.Choose(Path("empty.txt"));
    window.SaveFile->trigger();
    EXPECT_EQ(ReadBytes(Path("empty.txt")), QByteArray("\r\n"));

    window.SetSourceText(QStringLiteral("ths\r\nkai"));
    window.GreekBtn->click();
    file_dialog.Choose(Path("greek.txt"));
    window.SaveFile->trigger();
    const QByteArray bytes = ReadBytes(Path("greek.txt"));
    EXPECT_TRUE(bytes.startsWith("\xF4\xE7\xF2\r\n\xEA\xE1\xE9\r\n\r\n\r\n\r\n"));
    EXPECT_TRUE(bytes.endsWith("example.org\r\n"));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST_F(FileCommandsTest, SaveReplacesAnExistingFileAndOpenReadsItBack) {
    WriteBytes(Path("out.txt"), QByteArray(5000, 'x'));
    window.SetSourceText(QStringLiteral("Ж and θ"));  // Ж needs UTF-8
    window.EnglishBtn->click();
    file_dialog.Choose(Path("out.txt"));
    window.SaveFile->trigger();
    EXPECT_TRUE(ReadBytes(Path("out.txt")).startsWith("\xD0\x96 and 8\r\n"));

    const QString saved = window.ResultText();
    window.CloseFile->trigger();
    file_dialog.Choose(Path("out.txt"));
    window.Openfile->trigger();
    EXPECT_EQ(window.SourceText(), saved + QStringLiteral("\r\n"));
}

TEST_F(FileCommandsTest, SaveProposesTheNameOfTheLastOpen) {
    WriteBytes(Path("letter.txt"), "abc");
    file_dialog.Choose(Path("letter.txt"));
    window.Openfile->trigger();
    file_dialog.Cancel();
    window.SaveFile->trigger();
    EXPECT_EQ(file_dialog.requests.back().file_name, Path("letter.txt"));
}

TEST_F(FileCommandsTest, OpenRefusesWhatIsNoReadableTextFile) {
    QFile big(Path("big.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(ui::kMaxOpenBytes + 1));  // sparse: costs no disk
    big.close();
    for (const QString& path :
         {Path("missing.txt"), folder.path(), QStringLiteral("/dev/null"), Path("big.txt")}) {
        window.SetSourceText(QStringLiteral("keep"));
        message_box.messages.clear();
        file_dialog.Choose(path);
        window.Openfile->trigger();
        EXPECT_EQ(window.SourceText(), QStringLiteral("keep")) << path.toStdString();
        EXPECT_EQ(message_box.messages, QStringList{kOpenFailure}) << path.toStdString();
    }
}

TEST_F(FileCommandsTest, EmptyFileGivesAnEmptySourceBox) {
    WriteBytes(Path("empty.txt"), "");
    window.SetSourceText(QStringLiteral("old"));
    file_dialog.Choose(Path("empty.txt"));
    window.Openfile->trigger();
    EXPECT_TRUE(window.SourceText().isEmpty());
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST_F(FileCommandsTest, FailedSaveNamesTheFileAndTheNextSaveWorks) {
    const QString impossible = Path("no-such-folder/out.txt");
    file_dialog.Choose(impossible);
    window.SaveFile->trigger();
    EXPECT_EQ(message_box.messages, QStringList{kSaveFailure + impossible});

    file_dialog.Choose(Path("fine.txt"));
    window.SaveFile->trigger();
    EXPECT_EQ(message_box.messages.size(), 1);
    EXPECT_EQ(ReadBytes(Path("fine.txt")), QByteArray("\r\n"));
}

// Lowers the largest file this process may write, so that a write fails
// part-way whatever the user's privileges.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_handler_);
    }

  private:
    rlimit saved_{};
    void (*previous_handler_)(int);
};

TEST_F(FileCommandsTest, FailedSaveLeavesTheOldFileIntact) {
    const QByteArray old_content = "the old file\r\n";
    WriteBytes(Path("keep.txt"), old_content);
    window.SetSourceText(QString(20000, QLatin1Char('a')));
    window.GreekBtn->click();
    {
        FileSizeLimit limit(4096);
        file_dialog.Choose(Path("keep.txt"));
        window.SaveFile->trigger();
    }
    EXPECT_EQ(message_box.messages, QStringList{kSaveFailure + Path("keep.txt")});
    EXPECT_EQ(ReadBytes(Path("keep.txt")), old_content);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});

    file_dialog.Choose(Path("keep.txt"));
    window.SaveFile->trigger();
    EXPECT_EQ(ReadBytes(Path("keep.txt")).size(), window.ResultText().size() + 2);
}

TEST(FileDialog, TypedNameWithoutExtensionGetsTxt) {
    QTemporaryDir folder;
    for (const auto& [typed, expected] :
         {std::pair{"letter", "letter.TXT"}, std::pair{"notes.md", "notes.md"}}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ui::FileDialogRequest request;
        request.mode = ui::FileDialogRequest::Mode::Save;
        request.default_suffix = QStringLiteral("TXT");
        request.name_filters =
            ui::CommonDialog::NameFilters(QStringLiteral("Text files|*.TXT|All files|*.*"));
        ui::ConfigureFileDialog(dialog, request);
        dialog.setDirectory(folder.path());
        dialog.show();
        auto* name_box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name_box, nullptr);
        name_box->setText(QString::fromUtf8(typed));
        QTest::keyClick(name_box, Qt::Key_Return);
        ASSERT_EQ(dialog.selectedFiles().size(), 1);
        EXPECT_EQ(dialog.selectedFiles().first(), folder.filePath(QString::fromUtf8(expected)));
    }
}

TEST(FileDialog, LabelsButtonsAndQtsOwnTextsAreGreek) {
    ui::InstallGreekDialogTexts();
    for (const bool open : {true, false}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ui::FileDialogRequest request;
        request.mode = open ? ui::FileDialogRequest::Mode::Open : ui::FileDialogRequest::Mode::Save;
        ui::ConfigureFileDialog(dialog, request);
        dialog.show();
        QCoreApplication::processEvents();
        const auto label = [&](const char* name) {
            auto* widget = dialog.findChild<QLabel*>(QString::fromLatin1(name));
            return widget != nullptr ? widget->text() : QStringLiteral("<missing>");
        };
        EXPECT_EQ(label("lookInLabel"), QStringLiteral("Φάκελος:"));
        EXPECT_EQ(label("fileNameLabel"), QStringLiteral("Όνομα αρχείου:"));
        EXPECT_EQ(label("fileTypeLabel"), QStringLiteral("Αρχεία τύπου:"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(open ? QDialogButtonBox::Open : QDialogButtonBox::Save)->text(),
                  open ? QStringLiteral("Άνοιγμα") : QStringLiteral("Αποθήκευση"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Άκυρο"));
        // What Qt itself writes: the title, the tool tips, the column heads.
        EXPECT_EQ(dialog.windowTitle(),
                  open ? QStringLiteral("Άνοιγμα") : QStringLiteral("Αποθήκευση ως"));
        auto* back = dialog.findChild<QToolButton*>(QStringLiteral("backButton"));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->toolTip(), QStringLiteral("Πίσω"));
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Όνομα"));
    }
}

// The names the dialog lists in `folder` under the chosen file type.
QStringList Listed(QFileDialog& dialog, const QString& folder) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    QStringList names;
    if (model == nullptr) {
        return {QStringLiteral("<no model>")};
    }
    (void)QTest::qWaitFor([&] {
        return !model->index(folder).isValid() || model->rowCount(model->index(folder)) > 0;
    });
    QTest::qWait(200);  // the model sorts and filters on its own thread
    const QModelIndex root = model->index(folder);
    for (int row = 0; row < model->rowCount(root); ++row) {
        names << model->index(row, 0, root).data().toString();
    }
    names.sort();
    return names;
}

TEST(FileDialog, FileTypesShowAsWrittenAndMatchAnyCase) {
    EXPECT_EQ(
        ui::CommonDialog::NameFilters(QStringLiteral("Text files|*.TXT|All files|*.*")),
        (QStringList{QStringLiteral("Text files (*.TXT)"), QStringLiteral("All files (*.*)")}));
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "B.TXT", "README", "c.md"}) {
        WriteBytes(folder.filePath(QString::fromLatin1(name)), "x");
    }
    for (const bool all : {false, true}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ui::FileDialogRequest request;
        request.name_filters =
            ui::CommonDialog::NameFilters(QStringLiteral("Text files|*.TXT|All files|*.*"));
        request.selected_filter = all ? request.name_filters[1] : QString();
        ui::ConfigureFileDialog(dialog, request);
        dialog.setDirectory(folder.path());
        dialog.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog.selectedNameFilter(), request.name_filters[all ? 1 : 0]);
        const QStringList expected =
            all ? QStringList{"B.TXT", "README", "a.txt", "c.md"} : QStringList{"B.TXT", "a.txt"};
        EXPECT_EQ(Listed(dialog, folder.path()), expected) << (all ? "all files" : "text files");
    }
}

TEST_F(FileCommandsTest, OpenOfNameDotTxtTakesTheLowerCaseFileWhenOnlyItExists) {
    WriteBytes(Path("letter.txt"), "\xE1");
    file_dialog.Choose(Path("letter.TXT"));  // as the dialog completes a typed "letter"
    window.Openfile->trigger();
    EXPECT_EQ(window.SourceText(), QStringLiteral("α"));
    EXPECT_EQ(window.CommonDialog1.FileName, Path("letter.txt"));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

}  // namespace
}  // namespace bivano
