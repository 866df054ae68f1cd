// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/options/frm_choice.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/common/twips.h"

namespace bivano::ui {

FrmChoice::FrmChoice() : FixedToolWindow(3645, 6315) {
    BuildControls();
    Form_Load();
}

void FrmChoice::BuildControls() {
    setWindowTitle(QStringLiteral(" Επιλογές"));

    Frame1 = new QGroupBox(QStringLiteral("Ξ"), this);
    Frame2 = new QGroupBox(QStringLiteral("Θ"), this);
    Frame3 = new QGroupBox(QStringLiteral("Ψ"), this);
    Frame4 = new QGroupBox(QStringLiteral("Ω"), this);
    Frame5 = new QGroupBox(QStringLiteral("Ελληνικά"), this);
    Frame6 = new QGroupBox(QStringLiteral("Πρότυπο"), this);
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
    Option11 = new QRadioButton(QStringLiteral("Όπως γράφτηκαν"), Frame5);
    Option12 = new QRadioButton(QStringLiteral("Με τόνους και ορθογραφία"), Frame5);
    Option13 = new QRadioButton(QStringLiteral("Lativo"), Frame6);
    Option14 = new QRadioButton(QStringLiteral("ΕΛΟΤ 743"), Frame6);
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
        {Frame5, 360, 3420, 2895, 975, -1, Arial(9.75)},
        {Frame6, 360, 4500, 2895, 975, -1, Arial(9.75)},
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
        {Option11, 240, 300, 2580, 255, 14, Arial(9)},
        {Option12, 240, 600, 2580, 255, 15, Arial(9)},
        {Option13, 240, 300, 2580, 255, 16, Arial(9)},
        {Option14, 240, 600, 2580, 255, 17, Arial(9)},
        {BtnOK, 120, 5640, 975, 495, 18, dialog_font},
        {BtnCancel, 1320, 5640, 975, 495, 19, dialog_font},
        {BtnDefault, 2520, 5640, 975, 495, 20, dialog_font},
    });
    // Enter and Esc press none of the three buttons, but Enter presses the
    // one that has the focus, as Space does.
    for (QPushButton* button : {BtnOK, BtnCancel, BtnDefault}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    LetEnterPressButtons(this);

    const auto group = [this](std::initializer_list<QRadioButton*> buttons) {
        auto* buttons_group = new QButtonGroup(this);
        int id = 0;
        for (QRadioButton* button : buttons) {
            buttons_group->addButton(button, id++);  // in the order of the enumerators
        }
        connect(buttons_group, &QButtonGroup::idToggled, this, [this](int, bool selected) {
            if (selected) {
                current_options_ = OptionsFromButtons();
            }
        });
        return buttons_group;
    };
    xi_buttons_ = group({Option1, Option2, Option3});
    theta_buttons_ = group({Option4, Option5, Option6});
    psi_buttons_ = group({Option7, Option8});
    omega_buttons_ = group({Option9, Option10});
    greek_buttons_ = group({Option11, Option12});
    // LatinScheme's first two enumerators: Lativo, Elot743.
    scheme_buttons_ = group({Option13, Option14});
    connect(Option12, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) {
            Q_EMIT AccentsChosen();
        }
    });
    connect(BtnOK, &QPushButton::clicked, this, &FrmChoice::BtnOK_Click);
    connect(BtnCancel, &QPushButton::clicked, this, &FrmChoice::BtnCancel_Click);
    connect(BtnDefault, &QPushButton::clicked, this, &FrmChoice::BtnDefault_Click);
}

namespace {

template <typename Form>
void Select(QButtonGroup* group, Form value) {
    group->button(static_cast<int>(value))->setChecked(true);
}

// Leaves `field` as it is while no button of the group is selected, which
// happens only while the dialog is being set up.
template <typename Form>
void Read(const QButtonGroup* group, Form& field) {
    if (group->checkedId() >= 0) {
        field = static_cast<Form>(group->checkedId());
    }
}

}  // namespace

void FrmChoice::SelectButtons(const ConversionOptions& options) {
    Select(xi_buttons_, options.xi);
    Select(theta_buttons_, options.theta);
    Select(psi_buttons_, options.psi);
    Select(omega_buttons_, options.omega);
    Select(greek_buttons_, options.greek);
    // The window offers two of the schemes; the others belong to bivano.
    if (options.scheme == LatinScheme::Lativo || options.scheme == LatinScheme::Elot743) {
        Select(scheme_buttons_, options.scheme);
    }
}

ConversionOptions FrmChoice::OptionsFromButtons() const {
    ConversionOptions options = current_options_;
    Read(xi_buttons_, options.xi);
    Read(theta_buttons_, options.theta);
    Read(psi_buttons_, options.psi);
    Read(omega_buttons_, options.omega);
    Read(greek_buttons_, options.greek);
    Read(scheme_buttons_, options.scheme);
    return options;
}

void FrmChoice::Form_Load() {
    BtnDefault_Click();
    saved_options_ = current_options_;
}

void FrmChoice::Form_Activate() {
    Q_EMIT LockOwner();
}

void FrmChoice::ShowDialog() {
    // Each showing starts at the first group, whatever had the focus last.
    xi_buttons_->checkedButton()->setFocus();
    show();
    BringToFront();
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
    hide();
    Q_EMIT UnlockOwner();
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
