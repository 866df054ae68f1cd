// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <future>
#include <memory>

#include "common_dialog.h"
#include "core/pipeline.h"
#include "result_feed.h"
#include "ui/common/platform.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace bivano::ui {

// The working window: source and result boxes, the two conversion buttons,
// the clipboard buttons, the progress bar and the menu. It is the receiver
// through which both conversions fill the result box and move the bar.
class FrmMain final : public QMainWindow, public ConversionProgress {
    Q_OBJECT

  public:
    // `current_options` is the record in force; it and `platform` must
    // outlive the window.
    FrmMain(const ConversionOptions& current_options, const Platform& platform,
            QWidget* parent = nullptr);
    ~FrmMain() override;

    // While another window of the program is up the main window takes no
    // input; the control that had the focus gets it back afterwards (at
    // start-up, "Lativo").
    void Lock();
    void Unlock();

    // Starts reading the Greek dictionary in the background, so that the
    // first run with accents finds it ready (it takes about half a second).
    void PrepareSpeller();

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

  Q_SIGNALS:
    // "Επιλογές" and "Σχετικά".
    void OptionsRequested();
    void AboutRequested();
    // The window was activated while locked: the window that locks it
    // should come back to the front.
    void ActivatedWhileLocked();
    // The program is ending: the other windows unload, in the order they
    // are connected, before this one closes.
    void Unloading();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Form_Load();
    void Form_Unload();
    void BuildControls();
    void BuildMenu();
    void PrepareFileDialog(int flags);
    void ShowBusy();
    void EndRun();
    const GreekSpeller* Speller();
    // A run of the text box's text in `direction`, ending with `credit`.
    PipelineSettings RunSettings(Direction direction, const QString& credit,
                                 const GreekSpeller* speller) const;

    const ConversionOptions& current_options_;
    MessageBox& message_box_;
    std::string greek_model_;
    std::string greek_dictionary_;
    std::unique_ptr<GreekSpeller> speller_;
    std::future<std::unique_ptr<GreekSpeller>> speller_coming_;
    bool speller_missing_ = false;
    std::unique_ptr<ResultFeed> feed_;
    QPointer<QWidget> focus_before_lock_;
    bool unloading_ = false;
    // A run has lasted long enough to show the busy cursor.
    bool busy_cursor_shown_ = false;
};

}  // namespace bivano::ui
