// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about/frm_about.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "test_doubles.h"

namespace bivano {
namespace {

using ui::frmAbout;

using testing::HandWoundClock;
using ui::FrmMain;

class FrmAboutTest : public ::testing::Test {
  protected:
    FrmAboutTest() : about({clock, file_dialog, message_box}) {}

    // Runs the countdown through `seconds` clock seconds, one pass per
    // second as the timer would, and returns the numbers shown.
    QStringList CountDown(int seconds) {
        QStringList shown;
        for (int i = 0; i < seconds && !about.cmdOK->isVisible(); ++i) {
            ++clock.now;
            about.CountdownStep();
            shown << about.L6->text();
        }
        return shown;
    }

    HandWoundClock clock{12 * 3600};
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    frmAbout about;
};

TEST_F(FrmAboutTest, StartUpShowsTheMainWindowDisabledUnderTheCountdown) {
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isVisible());
    EXPECT_FALSE(about.MainWindow().isEnabled());
    EXPECT_FALSE(about.OptionsDialog().isVisible());
    EXPECT_FALSE(about.cmdOK->isVisible());
    EXPECT_EQ(about.L6->text(), QStringLiteral("6"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 3. 3"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral(" Πληροφορίες"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Lativo Bivano"));
    EXPECT_TRUE(about.lblDescription->text().startsWith(
        QStringLiteral("Αμφίδρομη μετάφραση Ελληνικών και Lativo κειμένων.")));
}

TEST_F(FrmAboutTest, AboutAndOptionsAreFixedWindowsWithoutTitleBarButtons) {
    for (QWidget* window :
         {static_cast<QWidget*>(&about), static_cast<QWidget*>(&about.OptionsDialog())}) {
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);  // no task-bar entry
        EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
    }
}

TEST_F(FrmAboutTest, CountsDownSixSecondsThenShowsOk) {
    EXPECT_EQ(CountDown(10), (QStringList{"5", "4", "3", "2", "1", "0"}));
    EXPECT_TRUE(about.cmdOK->isVisible());
    EXPECT_FALSE(about.MainWindow().isEnabled());
}

TEST_F(FrmAboutTest, RepeatedPassesWithinASecondShowTheSameNumber) {
    about.CountdownStep();
    about.CountdownStep();
    EXPECT_EQ(about.L6->text(), QStringLiteral("6"));
    EXPECT_FALSE(about.cmdOK->isVisible());
}

TEST_F(FrmAboutTest, OkHandsTheProgramToTheMainWindow) {
    CountDown(6);
    about.cmdOK->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isEnabled());
    EXPECT_TRUE(about.MainWindow().isActiveWindow() || QApplication::platformName() == "offscreen");
}

TEST_F(FrmAboutTest, EnterAndEscDoNothingUntilOkThenPressIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTest::keyClick(&about, key);
        EXPECT_TRUE(about.isVisible());
    }
    CountDown(6);
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isEnabled());

    about.MainWindow().Info->trigger();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(FrmAboutTest, InfoShowsTheWindowAgainWithOkAtOnce) {
    CountDown(6);
    about.cmdOK->click();
    about.move(about.pos() + QPoint(30, 20));
    const QPoint where = about.pos();
    about.MainWindow().Info->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.cmdOK->isVisible());
    EXPECT_FALSE(about.MainWindow().isEnabled());
    EXPECT_EQ(about.pos(), where);
    about.cmdOK->click();
    EXPECT_TRUE(about.MainWindow().isEnabled());
}

TEST_F(FrmAboutTest, ChangeOfDayEndsTheCountdownAtOnce) {
    HandWoundClock late(86399);
    frmAbout midnight({late, file_dialog, message_box});
    late.now = 0;
    midnight.CountdownStep();
    EXPECT_TRUE(midnight.cmdOK->isVisible());
    EXPECT_EQ(midnight.L6->text(), QStringLiteral("-53"));  // 6 - (86399 mod 60)
}

TEST_F(FrmAboutTest, WindowSystemCloseWaitsForTheCountdownThenActsAsOk) {
    EXPECT_FALSE(about.close());  // as the window system would, e.g. on Alt+F4
    EXPECT_TRUE(about.isVisible());
    CountDown(6);
    about.close();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isEnabled());
}

TEST_F(FrmAboutTest, OptionsChosenInTheDialogSteerTheNextLativoRun) {
    CountDown(6);
    about.cmdOK->click();
    ui::FrmMain& main_window = about.MainWindow();
    main_window.SetSourceText(QStringLiteral("ξένος"));
    main_window.EnglishBtn_Click();
    EXPECT_TRUE(main_window.ResultText().startsWith(QStringLiteral("3enos\r\n")));

    main_window.Choice->trigger();
    EXPECT_TRUE(about.OptionsDialog().isVisible());
    EXPECT_FALSE(main_window.isEnabled());
    about.OptionsDialog().Option3->click();
    about.OptionsDialog().BtnOK->click();
    EXPECT_TRUE(main_window.isEnabled());
    main_window.EnglishBtn_Click();
    EXPECT_TRUE(main_window.ResultText().startsWith(QStringLiteral("ksenos\r\n")));
}

TEST_F(FrmAboutTest, ElotChosenInTheSixthFrameWritesThePassportsWayUntilDefault) {
    CountDown(6);
    about.cmdOK->click();
    ui::FrmMain& main_window = about.MainWindow();
    ui::FrmChoice& dialog = about.OptionsDialog();
    main_window.SetSourceText(QStringLiteral("Θεσσαλονίκη, ΨΥΧΗ, αύριο"));
    EXPECT_EQ(dialog.Frame6->title(), QStringLiteral("Πρότυπο"));
    EXPECT_TRUE(dialog.Option13->isChecked());

    main_window.Choice->trigger();
    dialog.Option6->click();  // TH, for Lativo only
    dialog.Option14->click();
    dialog.BtnOK->click();
    main_window.EnglishBtn_Click();
    EXPECT_TRUE(
        main_window.ResultText().startsWith(QStringLiteral("Thessaloniki, PSYCHI, avrio\r\n")))
        << main_window.ResultText().toStdString();
    EXPECT_EQ(main_window.PrBar->value(), 0);

    main_window.Choice->trigger();
    dialog.Option13->click();
    dialog.BtnCancel->click();  // back to ΕΛΟΤ 743
    EXPECT_EQ(dialog.CurrentOptions().scheme, LatinScheme::Elot743);
    main_window.Choice->trigger();
    dialog.Option13->click();
    dialog.BtnOK->click();
    main_window.EnglishBtn_Click();
    EXPECT_TRUE(
        main_window.ResultText().startsWith(QStringLiteral("Thessalonikh, CYXH, ayrio\r\n")))
        << main_window.ResultText().toStdString();

    main_window.Choice->trigger();
    dialog.Option14->click();
    dialog.BtnDefault->click();
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    EXPECT_GT(dialog.BtnOK->y(), dialog.Frame6->geometry().bottom());
}

TEST_F(FrmAboutTest, ExitUnloadsAllThreeWindows) {
    CountDown(6);
    about.cmdOK->click();
    about.MainWindow().Choice->trigger();
    about.OptionsDialog().BtnOK->click();
    about.MainWindow().ProgrExit->trigger();
    EXPECT_FALSE(about.MainWindow().isVisible());
    EXPECT_FALSE(about.OptionsDialog().isVisible());
    EXPECT_FALSE(about.isVisible());
}

TEST_F(FrmAboutTest, AuthorLeavesAGapBeforeTheAuthorsName) {
    EXPECT_LT(about.Label3->geometry().right() + 2, about.Label2->x());
    EXPECT_EQ(about.Label3->text(), QStringLiteral("Author"));
}

TEST_F(FrmAboutTest, TheLockedMainWindowIgnoresItsCloseButton) {
    // During the countdown, and while the options dialog is up.
    EXPECT_FALSE(about.MainWindow().close());
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isVisible());
    CountDown(6);
    about.cmdOK->click();
    about.MainWindow().Choice->trigger();
    EXPECT_FALSE(about.MainWindow().close());
    EXPECT_TRUE(about.OptionsDialog().isVisible());
    about.OptionsDialog().BtnCancel->click();
    // Unlocked, it closes and takes the others with it.
    EXPECT_TRUE(about.MainWindow().close());
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(about.OptionsDialog().isVisible());
}

TEST_F(FrmAboutTest, FocusReturnsToLativoAfterStartUpAndWhereItWasAfterward) {
    QApplication::setActiveWindow(&about);
    CountDown(6);
    about.cmdOK->click();
    FrmMain& main = about.MainWindow();
    EXPECT_EQ(main.focusWidget(), main.EnglishBtn);
    main.CopyBtn->setFocus();
    main.Choice->trigger();
    EXPECT_FALSE(main.isEnabled());
    about.OptionsDialog().BtnOK->click();
    EXPECT_EQ(main.focusWidget(), main.CopyBtn);
    main.Info->trigger();
    EXPECT_TRUE(about.isVisible());
    about.cmdOK->click();
    EXPECT_EQ(main.focusWidget(), main.CopyBtn);
}

// The window manager may minimise the main window along with the dialog; the
// dialog comes back (the main window with it, still maximised), and its
// focus is where it was.
TEST_F(FrmAboutTest, MinimisedDialogComesBackWithItsFocusAndTheMainWindowAsItWas) {
    CountDown(6);
    about.cmdOK->click();
    FrmMain& main = about.MainWindow();
    main.setWindowState(Qt::WindowMaximized);
    main.Choice->trigger();
    ui::FrmChoice& options = about.OptionsDialog();
    options.Option5->setFocus();
    main.setWindowState(main.windowState() | Qt::WindowMinimized);
    options.setWindowState(options.windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !options.isMinimized() && !main.isMinimized(); }));
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(main.windowState(), Qt::WindowMaximized);
    EXPECT_FALSE(main.isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return options.focusWidget() == options.Option5; }));
    options.BtnCancel->click();
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(FrmAboutTest, AWindowClosedWhileMinimisedStaysClosed) {
    CountDown(6);
    about.setWindowState(Qt::WindowMinimized);
    about.cmdOK->click();
    QTest::qWait(1500);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(about.MainWindow().isEnabled());
}

}  // namespace
}  // namespace bivano
