// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/options/frm_choice.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "test_doubles.h"

namespace bivano {
namespace {

using ui::FrmChoice;

class FrmChoiceTest : public ::testing::Test {
  protected:
    // Wired as the About window wires the real main window.
    FrmChoiceTest() {
        QObject::connect(&dialog, &ui::FixedToolWindow::LockOwner, &main_window,
                         [this] { main_window.setEnabled(false); });
        QObject::connect(&dialog, &ui::FixedToolWindow::UnlockOwner, &main_window,
                         [this] { main_window.setEnabled(true); });
    }

    void Show() {
        main_window.show();
        dialog.show();
    }

    QWidget main_window;
    FrmChoice dialog;
};

TEST_F(FrmChoiceTest, StartsHiddenWithTheDefaults) {
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    EXPECT_EQ(dialog.SavedOptions(), ConversionOptions{});
    EXPECT_TRUE(dialog.Option1->isChecked());
    EXPECT_TRUE(dialog.Option4->isChecked());
    EXPECT_TRUE(dialog.Option7->isChecked());
    EXPECT_TRUE(dialog.Option9->isChecked());
}

TEST_F(FrmChoiceTest, IsAFixedWindowWithEachFramesButtonsInIt) {
    EXPECT_EQ(dialog.Option3->parentWidget(), dialog.Frame1);
    EXPECT_EQ(dialog.Option10->parentWidget(), dialog.Frame4);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(FrmChoiceTest, SelectingAButtonChangesItsFieldAtOnceAndNoOther) {
    dialog.Option6->click();
    EXPECT_EQ(dialog.CurrentOptions(), (ConversionOptions{.theta = ThetaForm::ThetaTH}));
    dialog.Option3->click();
    dialog.Option8->click();
    dialog.Option10->click();
    EXPECT_EQ(dialog.CurrentOptions(), (ConversionOptions{XiForm::XiKS, ThetaForm::ThetaTH,
                                                          PsiForm::PsiPS, OmegaForm::OmegaV}));
    EXPECT_FALSE(dialog.Option1->isChecked());
    EXPECT_FALSE(dialog.Option2->isChecked());
    EXPECT_TRUE(dialog.Option3->isChecked());
}

TEST_F(FrmChoiceTest, CancelAtOnceChangesNothing) {
    Show();
    dialog.BtnCancel->click();
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FrmChoiceTest, OkKeepsTheChoiceAndCancelReturnsToIt) {
    Show();
    dialog.Option2->click();
    dialog.BtnOK->click();
    EXPECT_EQ(dialog.CurrentOptions().xi, XiForm::XiJ);
    EXPECT_EQ(dialog.SavedOptions().xi, XiForm::XiJ);

    Show();
    EXPECT_TRUE(dialog.Option2->isChecked());
    dialog.Option3->click();
    EXPECT_EQ(dialog.CurrentOptions().xi, XiForm::XiKS);
    dialog.BtnCancel->click();
    EXPECT_EQ(dialog.CurrentOptions().xi, XiForm::XiJ);
    Show();
    EXPECT_TRUE(dialog.Option2->isChecked());
}

TEST_F(FrmChoiceTest, DefaultLeavesTheSavedCopyForCancel) {
    Show();
    dialog.Option5->click();
    dialog.BtnOK->click();
    Show();
    dialog.BtnDefault->click();
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    EXPECT_EQ(dialog.SavedOptions().theta, ThetaForm::ThetaU);
    Show();
    dialog.BtnCancel->click();
    EXPECT_EQ(dialog.CurrentOptions().theta, ThetaForm::ThetaU);
}

TEST_F(FrmChoiceTest, MainWindowTakesNoInputWhileTheDialogIsUp) {
    for (QPushButton* button : {dialog.BtnOK, dialog.BtnCancel, dialog.BtnDefault}) {
        Show();
        EXPECT_FALSE(main_window.isEnabled());
        button->click();
        EXPECT_TRUE(main_window.isEnabled());
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(FrmChoiceTest, EnterAndEscPressNoButton) {
    Show();
    dialog.Option2->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(dialog.Option2, key);
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(main_window.isEnabled());
}

TEST_F(FrmChoiceTest, EnterPressesTheFocusedButton) {
    Show();
    dialog.Option6->click();
    dialog.BtnDefault->setFocus();
    QTest::keyClick(dialog.BtnDefault, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    Show();
    dialog.Option6->click();
    dialog.BtnOK->setFocus();
    QTest::keyClick(dialog.BtnOK, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.SavedOptions().theta, ThetaForm::ThetaTH);
}

TEST_F(FrmChoiceTest, MinimisedAloneItComesBackAtOnce) {
    Show();
    dialog.setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    EXPECT_FALSE(dialog.isMinimized());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FrmChoiceTest, WindowSystemCloseActsAsCancel) {
    Show();
    dialog.Option6->click();
    dialog.close();  // as the window system would, e.g. on Alt+F4
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(main_window.isEnabled());
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
}

}  // namespace
}  // namespace bivano
