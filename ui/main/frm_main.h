// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

#include "common_dialog.h"
#include "core/conversion_options.h"
#include "core/conversion_progress.h"
#include "ui/common/message_box.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace bivano::ui {

// Where the main window reaches the platform's modal windows; tests replace them.
struct FrmMainServices {
    FileDialogBackend* file_dialog = nullptr;  // nullptr: the platform's
    MessageBox* message_box = nullptr;         // nullptr: the platform's
};

// The working window: source and result boxes, the two conversion buttons,
// the clipboard buttons, the progress bar and the menu. It is the receiver
// through which both conversions fill the result box and move the bar.
class FrmMain final : public QMainWindow, public ConversionProgress {
    Q_OBJECT

    // Declared first: CommonDialog1 below is built on the backend.
    std::unique_ptr<FileDialogBackend> own_file_dialog_;
    std::unique_ptr<MessageBox> own_message_box_;
    FileDialogBackend& file_dialog_;
    MessageBox& message_box_;

  public:
    using Services = FrmMainServices;

    // `current_options` is the record in force; it must outlive the window.
    explicit FrmMain(const ConversionOptions& current_options, Services services = {},
                     QWidget* parent = nullptr);
    ~FrmMain() override;

    // The options dialog and the About window, shown from the menu bar and
    // unloaded with this window: through their Unload() slot where they have
    // one, else by closing them.
    void SetCompanions(QWidget* options_dialog, QWidget* about_window);

    // The boxes' texts as the conversions and files see them: lines end in
    // CR LF, and nothing else is changed.
    QString SourceText() const;
    QString ResultText() const;
    void SetSourceText(const QString& text);

    QString LatinCredit;
    QString GreekCredit;

    QFrame* Line1;
    QLabel* Label2;
    QLabel* Label3;
    QPlainTextEdit* Text1;
    QPlainTextEdit* Text2;
    QPushButton* EnglishBtn;
    QPushButton* GreekBtn;
    QPushButton* PasteBtn;
    QPushButton* CopyBtn;
    QProgressBar* PrBar;
    QLabel* Picture1;
    QMenu* File;
    QAction* Openfile;
    QAction* CloseFile;
    QAction* SaveFile;
    QAction* ProgrExit;
    QAction* Choice;
    QAction* Info;
    CommonDialog CommonDialog1;

    void EnglishBtn_Click();
    void GreekBtn_Click();
    void PasteBtn_Click();
    void CopyBtn_Click();
    void Openfile_Click();
    void SaveFile_Click();
    void CloseFile_Click();
    void ProgrExit_Click();
    void Choice_Click();
    void Info_Click();

    // ConversionProgress, over Text2, PrBar and the window.
    void ClearResult() override;
    void SetMaximum(std::int32_t count) override;
    void SetPosition(std::int32_t value) override;
    void RepaintProgress() override;
    void AppendResult(std::u16string_view text) override;
    void RepaintResult() override;
    void RepaintWindow() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Unload();
    void BuildControls();
    void BuildMenu();
    void UnloadCompanions();
    void PrepareFileDialog(int flags);
    void FlushResult();
    void ShowPosition();
    bool PaintDue(QElapsedTimer& last_paint);
    bool RunEndsSoon() const;
    void ShowBusy();
    void EndRun();

    const ConversionOptions& current_options_;
    QPointer<QWidget> options_dialog_;
    QPointer<QWidget> about_window_;

    // Appended text not yet in Text2. Brought in only when the screen is
    // about to show it: many small inserts into a long line are slow.
    QString pending_result_;
    // Text2's last piece ended in CR, already shown as a line break: a LF
    // that follows it belongs to the same break.
    bool result_ends_in_cr_ = false;
    std::int32_t position_ = 0;
    QElapsedTimer run_timer_;
    QElapsedTimer last_progress_paint_;
    QElapsedTimer last_result_paint_;
    qint64 last_result_cost_ms_ = 0;
    // A run has lasted long enough to show the busy cursor.
    bool busy_cursor_shown_ = false;
};

}  // namespace bivano::ui
