#include "frm_choice.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/common/top_level.h"
#include "ui/common/twips.h"

namespace bivano::ui {

FrmChoice::FrmChoice() : QWidget(nullptr) {
    BuildControls();
    Form_Load();
}

void FrmChoice::BuildControls() {
    setWindowTitle(QStringLiteral(" Επιλογές"));
    MakeFixedToolWindow(*this, 3645, 4275);

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

void FrmChoice::SelectButtons(const ConversionOptions& options) {
    // In button order, Option1 to Option10.
    Option1->setChecked(options.xi == XiForm::Xi3);
    Option2->setChecked(options.xi == XiForm::XiJ);
    Option3->setChecked(options.xi == XiForm::XiKS);
    Option4->setChecked(options.theta == ThetaForm::Theta8);
    Option5->setChecked(options.theta == ThetaForm::ThetaU);
    Option6->setChecked(options.theta == ThetaForm::ThetaTH);
    Option7->setChecked(options.psi == PsiForm::PsiC);
    Option8->setChecked(options.psi == PsiForm::PsiPS);
    Option9->setChecked(options.omega == OmegaForm::OmegaW);
    Option10->setChecked(options.omega == OmegaForm::OmegaV);
}

ConversionOptions FrmChoice::OptionsFromButtons() const {
    // A group with no selection yet (only while the dialog is being set up)
    // keeps the field it had.
    ConversionOptions options = current_options_;
    if (Option1->isChecked())
        options.xi = XiForm::Xi3;
    if (Option2->isChecked())
        options.xi = XiForm::XiJ;
    if (Option3->isChecked())
        options.xi = XiForm::XiKS;
    if (Option4->isChecked())
        options.theta = ThetaForm::Theta8;
    if (Option5->isChecked())
        options.theta = ThetaForm::ThetaU;
    if (Option6->isChecked())
        options.theta = ThetaForm::ThetaTH;
    if (Option7->isChecked())
        options.psi = PsiForm::PsiC;
    if (Option8->isChecked())
        options.psi = PsiForm::PsiPS;
    if (Option9->isChecked())
        options.omega = OmegaForm::OmegaW;
    if (Option10->isChecked())
        options.omega = OmegaForm::OmegaV;
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

bool FrmChoice::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void FrmChoice::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_before_) {
        shown_before_ = true;
        CentreOnScreen(*this);
    }
    // Some window systems never make a window active on its own; the main
    // window must still take no input while the dialog is up.
    Form_Activate();
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
