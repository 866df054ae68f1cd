// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <memory>

#include "ui/common/platform.h"
#include "ui/common/top_level.h"
#include "ui/main/frm_main.h"
#include "ui/options/frm_choice.h"

class QLabel;
class QPushButton;

namespace bivano::ui {

// The information window, and the program's start-up window: creating it
// creates the options dialog and the main window, shows the main window
// disabled, and counts down six seconds before its OK button appears. OK
// hands the program to the main window; the main window's "Σχετικά" shows
// this window again, with OK at once.
class frmAbout final : public FixedToolWindow {
    Q_OBJECT

  public:
    // `platform` must outlive the windows.
    explicit frmAbout(const Platform& platform);
    ~frmAbout() override;

    FrmChoice& OptionsDialog() { return *options_dialog_; }
    FrmMain& MainWindow() { return *main_window_; }

    QPushButton* cmdOK;
    QLabel* picIcon;
    QLabel* lblDescription;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* L6;
    QWidget* Line1;

    // Shown again from the main window's "Σχετικά", with OK at once.
    void ShowAbout();
    // Removes the window at the end of the program; any other close comes
    // from the window system and counts as OK once OK is there.
    void Unload();

    void cmdOK_Click();

    // One pass of the countdown: shows the seconds left, and OK once six
    // seconds have passed. A timer runs it until OK is visible, so the wait
    // costs no processor time.
    void CountdownStep();

  protected:
    void Activated() override { Form_Activate(); }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Load(const Platform& platform);
    void Form_Activate();
    void BuildControls();

    const Clock& clock_;
    // The options dialog outlives the main window, which reads its options.
    std::unique_ptr<FrmChoice> options_dialog_;
    std::unique_ptr<FrmMain> main_window_;
    QTimer countdown_;
    int start_time_ = 0;
    bool unloading_ = false;
};

}  // namespace bivano::ui
