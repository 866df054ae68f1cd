// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "test_doubles.h"
#include "ui/common/about_info.h"

namespace bivano {
namespace {

using ui::FrmMain;

const QString kTail = QStringLiteral("\r\n\r\n\r\n\r\n");

class FrmMainTest : public ::testing::Test {
  protected:
    FrmMainTest() : window(options, {clock, file_dialog, message_box}) {}

    ConversionOptions options;
    testing::HandWoundClock clock;
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    FrmMain window;
};

TEST_F(FrmMainTest, StartsWithEmptyBoxesAndTheBarAtRest) {
    EXPECT_TRUE(window.Text1->toPlainText().isEmpty());
    EXPECT_TRUE(window.Text2->toPlainText().isEmpty());
    EXPECT_EQ(window.PrBar->minimum(), 0);
    EXPECT_EQ(window.PrBar->maximum(), 100);
    EXPECT_EQ(window.PrBar->value(), 0);
    EXPECT_FALSE(window.Picture1->pixmap().isNull());
}

TEST_F(FrmMainTest, MenuBarHoldsTheFileMenuAndTwoCommands) {
    const QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("Αρχείο"));
    EXPECT_EQ(bar[0]->menu(), window.File);
    EXPECT_EQ(bar[1], window.Choice);
    EXPECT_EQ(bar[1]->text(), QStringLiteral("Επιλογές"));
    EXPECT_EQ(bar[2], window.Info);
    EXPECT_EQ(bar[2]->text(), QStringLiteral("Σχετικά"));
    QStringList items;
    for (QAction* item : window.File->actions()) {
        items << item->text();
        EXPECT_TRUE(item->shortcut().isEmpty());
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("Άνοιγμα"), QStringLiteral("Κλείσιμο"),
                                  QStringLiteral("Αποθήκευση"), QStringLiteral("Έξοδος")}));
}

TEST_F(FrmMainTest, FocusStartsOnLativoAndFollowsTheTabOrder) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), window.EnglishBtn);
    const std::vector<QWidget*> order = {window.GreekBtn, window.PasteBtn, window.CopyBtn,
                                         window.Text1,    window.Text2,    window.EnglishBtn};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
}

TEST_F(FrmMainTest, ResultBoxCannotBeTypedInto) {
    window.Text2->setFocus();
    QTest::keyClicks(window.Text2, QStringLiteral("abc"));
    EXPECT_TRUE(window.Text2->toPlainText().isEmpty());
    EXPECT_TRUE(window.Text2->isReadOnly());
    EXPECT_TRUE(window.Text2->textInteractionFlags() & Qt::TextSelectableByMouse);
}

TEST_F(FrmMainTest, TypedGreekTextConverts) {
    window.show();
    window.Text1->setFocus();
    // One key event per character: keyClicks cannot carry Greek letters.
    for (const QChar character : QStringLiteral("Ψυχή μου")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(window.Text1, &press);
    }
    QTest::keyClick(window.Text1, Qt::Key_Return);
    EXPECT_EQ(window.SourceText(), QStringLiteral("Ψυχή μου\r\n"));
    window.EnglishBtn->click();
    EXPECT_EQ(window.ResultText(), QStringLiteral("Cyxh moy\r\n") + kTail + window.LatinCredit);
}

TEST_F(FrmMainTest, LativoConvertsTheSourceWithTheOptionsInForce) {
    window.SetSourceText(QStringLiteral("θάλασσα"));
    window.EnglishBtn->click();
    EXPECT_EQ(window.ResultText(), QStringLiteral("8alassa") + kTail + window.LatinCredit);
    EXPECT_EQ(window.PrBar->value(), 0);
    EXPECT_EQ(window.PrBar->maximum(), 7);

    options.theta = ThetaForm::ThetaTH;  // as the options dialog would
    window.EnglishBtn->click();
    EXPECT_EQ(window.ResultText(), QStringLiteral("thalassa") + kTail + window.LatinCredit);
}

TEST_F(FrmMainTest, EllinikaConvertsLinesAndKeepsThemApart) {
    window.SetSourceText(QStringLiteral("Kalimera\r\nths *word*\r\n"));
    window.GreekBtn->click();
    EXPECT_EQ(window.ResultText(),
              QStringLiteral("Καλιμερα\r\nτης word\r\n") + kTail + window.GreekCredit);
    EXPECT_EQ(window.Text2->blockCount(), 7);
    EXPECT_EQ(window.PrBar->value(), 0);
}

TEST_F(FrmMainTest, CreditLinesDifferAndNameTheWebAddress) {
    EXPECT_EQ(
        window.LatinCredit,
        QStringLiteral("Metatrapike apo Ellhnika me ton Lativo Bivano. ") + about::WebAddress());
    EXPECT_EQ(window.GreekCredit, QStringLiteral("Μετατράπηκε από Lativo με τον Lativo Bivano. ") +
                                      about::WebAddress());
}

TEST_F(FrmMainTest, EmptySourceLeavesTheTailAndTheBarsMaximum) {
    window.SetSourceText(QStringLiteral("abc"));
    window.GreekBtn->click();
    window.SetSourceText(QString());
    window.GreekBtn->click();
    EXPECT_EQ(window.ResultText(), kTail + window.GreekCredit);
    EXPECT_EQ(window.PrBar->maximum(), 3);
    window.EnglishBtn->click();
    EXPECT_EQ(window.ResultText(), kTail + window.LatinCredit);
}

TEST_F(FrmMainTest, TextPassesThroughTheBoxesUnaltered) {
    // Non-breaking spaces and line separators are the user's, not ours to change;
    // CR, LF and CR LF each are one line break.
    window.SetSourceText(QStringLiteral("a\u00A0b\u2028c\rd\ne\r\nf\t"));
    EXPECT_EQ(window.SourceText(), QStringLiteral("a\u00A0b\u2028c\r\nd\r\ne\r\nf\t"));
    window.EnglishBtn->click();
    EXPECT_EQ(window.ResultText(),
              QStringLiteral("a\u00A0b\u2028c\r\nd\r\ne\r\nf\t") + kTail + window.LatinCredit);
}

TEST_F(FrmMainTest, LineBreakSplitAcrossRepaintsStaysOneBreak) {
    window.ClearResult();
    window.AppendResult(u"a\r");
    window.RepaintWindow();
    window.AppendResult(u"\nb");
    window.RepaintWindow();
    EXPECT_EQ(window.ResultText(), QStringLiteral("a\r\nb"));
}

TEST_F(FrmMainTest, ResultIsCompleteWheneverRepaintedInALongRun) {
    // Long enough to cross the window's repaint interval many times over.
    QString source;
    for (int i = 0; i < 20000; ++i) {
        source += QStringLiteral("ths thalassas psomi\r\n");
    }
    window.show();
    window.SetSourceText(source);
    window.GreekBtn->click();
    const QString expected_line = QStringLiteral("της θαλασσας ψομι\r\n");
    EXPECT_EQ(window.ResultText(), expected_line.repeated(20000) + kTail + window.GreekCredit);
    EXPECT_EQ(window.PrBar->maximum(), source.size());
    EXPECT_EQ(window.PrBar->value(), 0);
}

TEST_F(FrmMainTest, PasteReplacesTheWholeSource) {
    window.SetSourceText(QStringLiteral("old text"));
    QTextCursor cursor = window.Text1->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    window.Text1->setTextCursor(cursor);
    QGuiApplication::clipboard()->setText(QStringLiteral("καινούργιο\nκείμενο"));
    window.PasteBtn->click();
    EXPECT_EQ(window.SourceText(), QStringLiteral("καινούργιο\r\nκείμενο"));
}

TEST_F(FrmMainTest, PasteWithoutTextChangesNothing) {
    window.SetSourceText(QStringLiteral("keep"));
    auto* data = new QMimeData;
    data->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(data);
    window.PasteBtn->click();
    EXPECT_EQ(window.SourceText(), QStringLiteral("keep"));
    EXPECT_TRUE(message_box.messages.isEmpty());
}

TEST_F(FrmMainTest, CopyPutsTheWholeResultOnTheClipboardWithLfLineBreaks) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    window.CopyBtn->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());

    window.SetSourceText(QStringLiteral("ab\r\ncd"));
    window.GreekBtn->click();
    window.CopyBtn->click();
    // LF on the clipboard, as the platform's programs expect; the box keeps CR LF.
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("αβ\nψδ\n\n\n\n") + window.GreekCredit);
    EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("αβ\r\nψδ\r\n")));
    EXPECT_EQ(window.SourceText(), QStringLiteral("ab\r\ncd"));
}

TEST_F(FrmMainTest, CloseEmptiesBothBoxesAndLeavesTheBar) {
    window.SetSourceText(QStringLiteral("abcd"));
    window.GreekBtn->click();
    window.CloseFile->trigger();
    EXPECT_TRUE(window.SourceText().isEmpty());
    EXPECT_TRUE(window.ResultText().isEmpty());
    EXPECT_EQ(window.PrBar->maximum(), 4);
    EXPECT_EQ(window.PrBar->value(), 0);
}

// Records the order in which windows receive their close.
class CloseRecorder : public QObject {
  public:
    QStringList closed;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed << watched->objectName();
        }
        return false;
    }
};

TEST_F(FrmMainTest, ExitAndCloseUnloadTheDialogThenAboutThenThemselves) {
    for (bool by_menu : {true, false}) {
        ui::FrmMain main(options, {clock, file_dialog, message_box});
        QWidget options_dialog;
        QWidget about_window;
        options_dialog.setObjectName(QStringLiteral("FrmChoice"));
        about_window.setObjectName(QStringLiteral("frmAbout"));
        main.setObjectName(QStringLiteral("FrmMain"));
        CloseRecorder recorder;
        for (QObject* watched :
             {static_cast<QObject*>(&options_dialog), static_cast<QObject*>(&about_window),
              static_cast<QObject*>(&main)}) {
            watched->installEventFilter(&recorder);
        }
        // As the About window wires them, in this order.
        QObject::connect(&main, &ui::FrmMain::Unloading, &options_dialog, &QWidget::close);
        QObject::connect(&main, &ui::FrmMain::Unloading, &about_window, &QWidget::close);
        main.show();
        about_window.show();
        if (by_menu) {
            main.ProgrExit->trigger();
        } else {
            main.close();
        }
        // Exit unloads the dialog, the About window, then the main window; the
        // close button reaches the main window first, which then unloads the two.
        const QStringList expected =
            by_menu ? QStringList{QStringLiteral("FrmChoice"), QStringLiteral("frmAbout"),
                                  QStringLiteral("FrmMain")}
                    : QStringList{QStringLiteral("FrmMain"), QStringLiteral("FrmChoice"),
                                  QStringLiteral("frmAbout")};
        EXPECT_EQ(recorder.closed, expected);
        EXPECT_FALSE(main.isVisible());
        EXPECT_FALSE(about_window.isVisible());
    }
}

TEST_F(FrmMainTest, LockedWindowRefusesItsCloseButtonAndAsksForTheOtherWindow) {
    int asked = 0;
    QObject::connect(&window, &ui::FrmMain::ActivatedWhileLocked, [&] { ++asked; });
    window.show();
    window.Lock();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(asked, 1);
    window.Unlock();
    EXPECT_TRUE(window.close());
}

TEST_F(FrmMainTest, UnlockGivesTheFocusBackWhereItWas) {
    window.show();
    QApplication::setActiveWindow(&window);
    window.PasteBtn->setFocus();
    window.Lock();
    EXPECT_FALSE(window.isEnabled());
    window.Unlock();
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), window.PasteBtn);
}

TEST_F(FrmMainTest, EnterPressesTheFocusedButton) {
    window.show();
    QApplication::setActiveWindow(&window);
    window.SetSourceText(QStringLiteral("ks"));
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        window.CloseFile_Click();
        window.SetSourceText(QStringLiteral("ks"));
        window.GreekBtn->setFocus();
        QTest::keyClick(window.GreekBtn, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("ξ"))) << key;
    }
}

}  // namespace
}  // namespace bivano
