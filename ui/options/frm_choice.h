// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pipeline.h"
#include "ui/common/top_level.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace bivano::ui {

// The options dialog: four groups of option buttons that edit the spelling
// choices in force, a fifth for how "Ελληνικά" spells its result, and a
// sixth for the scheme "Lativo" writes by (its own, which the four steer,
// or ELOT 743). Selecting a button changes
// CurrentOptions at once; OK keeps the choices as the saved copy, Cancel returns to that copy,
// Default returns to the defaults. While it is on screen the main window takes no input.
class FrmChoice final : public FixedToolWindow {
    Q_OBJECT

  public:
    FrmChoice();

    // The record in force; the main window reads it at each Lativo run.
    const ConversionOptions& CurrentOptions() const { return current_options_; }
    const ConversionOptions& SavedOptions() const { return saved_options_; }

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QGroupBox* Frame5;
    QGroupBox* Frame6;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QRadioButton* Option6;
    QRadioButton* Option7;
    QRadioButton* Option8;
    QRadioButton* Option9;
    QRadioButton* Option10;
    QRadioButton* Option11;
    QRadioButton* Option12;
    QRadioButton* Option13;
    QRadioButton* Option14;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;
    QPushButton* BtnDefault;

    // Shown from the main window's "Επιλογές".
    void ShowDialog();
    // Removes the dialog at the end of the program; any other close comes
    // from the window system and counts as Cancel.
    void Unload();

    void BtnOK_Click();
    void BtnCancel_Click();
    void BtnDefault_Click();

  Q_SIGNALS:
    // "Με τόνους και ορθογραφία" was selected: its dictionary may be made
    // ready before the next run needs it.
    void AccentsChosen();

  protected:
    void Activated() override { Form_Activate(); }
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Activate();
    void CloseDialog();
    void BuildControls();
    void SelectButtons(const ConversionOptions& options);
    ConversionOptions OptionsFromButtons() const;

    // One group per frame; each button's id is its enumerator's value.
    QButtonGroup* xi_buttons_;
    QButtonGroup* theta_buttons_;
    QButtonGroup* psi_buttons_;
    QButtonGroup* omega_buttons_;
    QButtonGroup* greek_buttons_;
    QButtonGroup* scheme_buttons_;
    ConversionOptions current_options_;
    ConversionOptions saved_options_;
    bool unloading_ = false;
};

}  // namespace bivano::ui
