// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_choice.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "ui/common/twips.h"

namespace bivano::ui {

FrmChoice::FrmChoice() : FixedToolWindow(3645, 4275) {
    BuildControls();
    Form_Load();
}

void FrmChoice::BuildControls() {
    setWindowTitle(QStringLiteral(" Επιλογές"));

    Frame1 = new QGroupBox(QStringLiteral("Ξ"), this);
    Frame2 = new QGroupBox(QStringLiteral("Θ"), this);
    Frame3 = new QGroupBox(QStringLiteral("Ψ"), this);
    Frame4 = new QGroupBox(QStringLiteral("Ω"), this);
    Option1 = new QRadioButton(QStringLiteral("3"), Frame1);
    Option2 = new QRadioButton(QStringLiteral("J"), Frame1);
    Option3 = new QRadioButton(QStringLiteral("KS"), Frame1);
    Option4 = new QRadioButton(QStringLiteral("8"), Frame2);
    Option5 = new QRadioButton(QStringLiteral("U"), Frame2);
    Option6 = new QRadioButton(QStringLiteral("TH"), Frame2);
    Option7 = new QRadioButton(QStringLiteral("C"), Frame3);
    Option8 = new QRadioButton(QStringLiteral("PS"), Frame3);
    Option9 = new QRadioButton(QStringLiteral("W"), Frame4);
    Option10 = new QRadioButton(QStringLiteral("V"), Frame4);
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnDefault = new QPushButton(QStringLiteral("Default"), this);

    const FontSpec dialog_font{};
    ApplyLayout({
        // control       left   top  width height tab  font
        {Frame1, 360, 240, 1095, 1575, -1, Arial(9.75)},
        {Frame2, 1920, 240, 1215, 1575, -1, Arial(9.75)},
        {Frame3, 360, 2160, 1095, 1095, -1, Arial(9.75)},
        {Frame4, 1920, 2160, 1215, 1095, -1, Arial(9.75)},
        {Option1, 240, 360, 615, 255, 4, Arial(9)},
        {Option2, 240, 720, 615, 255, 5, Arial(9)},
        {Option3, 240, 1080, 615, 255, 6, Arial(9)},
        {Option4, 360, 360, 615, 255, 7, Arial(9)},
        {Option5, 360, 720, 615, 255, 8, Arial(9)},
        {Option6, 360, 1080, 615, 255, 9, Arial(9)},
        {Option7, 240, 360, 735, 255, 10, Arial(9)},
        {Option8, 240, 720, 615, 255, 11, Arial(9)},
        {Option9, 360, 360, 615, 195, 12, Arial(9)},
        {Option10, 360, 600, 615, 255, 13, Arial(9)},
        {BtnOK, 120, 3600, 975, 495, 14, dialog_font},
        {BtnCancel, 1320, 3600, 975, 495, 15, dialog_font},
        {BtnDefault, 2520, 3600, 975, 495, 16, dialog_font},
    });
    // Enter and Esc press none of the three buttons.
    for (QPushButton* button : {BtnOK, BtnCancel, BtnDefault}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    for (QRadioButton* option : {Option1, Option2, Option3, Option4, Option5, Option6, Option7,
                                 Option8, Option9, Option10}) {
        connect(option, &QRadioButton::toggled, this, [this](bool selected) {
            if (selected) {
                current_options_ = OptionsFromButtons();
            }
        });
    }
    connect(BtnOK, &QPushButton::clicked, this, &FrmChoice::BtnOK_Click);
    connect(BtnCancel, &QPushButton::clicked, this, &FrmChoice::BtnCancel_Click);
    connect(BtnDefault, &QPushButton::clicked, this, &FrmChoice::BtnDefault_Click);
}

void FrmChoice::SetMainWindow(QWidget* main_window) {
    main_window_ = main_window;
}

namespace {

// A group's buttons stand in the order of its enumerators, top to bottom.
template <typename Form, std::size_t N>
void Select(const std::array<QRadioButton*, N>& buttons, Form value) {
    for (std::size_t index = 0; index < N; ++index) {
        buttons[index]->setChecked(static_cast<Form>(index) == value);
    }
}

// Leaves `field` as it is while no button of the group is selected, which
// happens only while the dialog is being set up.
template <typename Form, std::size_t N>
void Read(const std::array<QRadioButton*, N>& buttons, Form& field) {
    for (std::size_t index = 0; index < N; ++index) {
        if (buttons[index]->isChecked()) {
            field = static_cast<Form>(index);
        }
    }
}

}  // namespace

void FrmChoice::SelectButtons(const ConversionOptions& options) {
    // In button order, Option1 to Option10.
    Select(std::array{Option1, Option2, Option3}, options.xi);
    Select(std::array{Option4, Option5, Option6}, options.theta);
    Select(std::array{Option7, Option8}, options.psi);
    Select(std::array{Option9, Option10}, options.omega);
}

ConversionOptions FrmChoice::OptionsFromButtons() const {
    ConversionOptions options = current_options_;
    Read(std::array{Option1, Option2, Option3}, options.xi);
    Read(std::array{Option4, Option5, Option6}, options.theta);
    Read(std::array{Option7, Option8}, options.psi);
    Read(std::array{Option9, Option10}, options.omega);
    return options;
}

void FrmChoice::Form_Load() {
    BtnDefault_Click();
    saved_options_ = current_options_;
}

void FrmChoice::Form_Activate() {
    if (main_window_) {
        main_window_->setEnabled(false);
    }
}

void FrmChoice::BtnOK_Click() {
    saved_options_ = current_options_;
    CloseDialog();
}

void FrmChoice::BtnCancel_Click() {
    SelectButtons(saved_options_);
    CloseDialog();
}

void FrmChoice::BtnDefault_Click() {
    SelectButtons(ConversionOptions{});
    CloseDialog();
}

void FrmChoice::CloseDialog() {
    if (main_window_) {
        main_window_->setEnabled(true);
    }
    hide();
}

void FrmChoice::Unload() {
    unloading_ = true;
    close();
}

void FrmChoice::closeEvent(QCloseEvent* event) {
    // There is no close button, but a keystroke of the window system may
    // still close the dialog: that counts as Cancel.
    if (!unloading_ && isVisible()) {
        BtnCancel_Click();
    }
    event->accept();
}

}  // namespace bivano::ui
