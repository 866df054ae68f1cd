// SPDX-License-Identifier: GPL-3.0-or-later
// "Ελληνικά" with accents and spelling, in the window and its options.
#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "test_doubles.h"
#include "ui/main/frm_main.h"
#include "ui/options/frm_choice.h"

namespace bivano {
namespace {

class AccentsTest : public ::testing::Test {
  protected:
    ui::Platform PlatformWith(const std::string& dictionary) {
        ui::Platform platform{clock, file_dialog, message_box};
        platform.greek_dictionary = dictionary;
        return platform;
    }

    QTemporaryDir folder;
    testing::HandWoundClock clock;
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
    ConversionOptions options{.greek = GreekSpelling::Accented};
};

TEST_F(AccentsTest, EllinikaSpellsTheResultAndKeepsTheTailAndVerbatimGroups) {
    ui::FrmMain window(options, PlatformWith(testing::WriteGreekWordList(folder)));
    window.SetSourceText(QStringLiteral("Kalimera esy eisai?\r\n*kalimera* ELA LVM k gt"));
    window.GreekBtn->click();
    EXPECT_EQ(window.ResultText(),
              QStringLiteral("Καλημέρα εσύ είσαι;\r\nkalimera ΕΛΑ LVM και γιατί\r\n\r\n\r\n\r\n") +
                  window.GreekCredit);
    EXPECT_TRUE(message_box.messages.isEmpty());
    // Lativo is not touched by the mode.
    window.SetSourceText(QStringLiteral("καλημέρα"));
    window.EnglishBtn->click();
    EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("kalhmera\r\n")));
}

TEST_F(AccentsTest, WithoutTheDictionaryItSaysSoOnceAndConvertsAsDesigned) {
    ui::FrmMain window(options,
                       PlatformWith(QFile::encodeName(folder.filePath("none.dic")).toStdString()));
    window.PrepareSpeller();
    for (int run = 0; run < 2; ++run) {
        window.SetSourceText(QStringLiteral("Kalimera"));
        window.GreekBtn->click();
        EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("Καλιμερα\r\n")));
    }
    ASSERT_EQ(message_box.messages.size(), 1);
    EXPECT_TRUE(message_box.messages.front().contains(QStringLiteral("greek.model")));
}

TEST_F(AccentsTest, AsWrittenLeavesTheDesignsResult) {
    ConversionOptions as_written;
    ui::FrmMain window(as_written, PlatformWith(testing::WriteGreekWordList(folder)));
    window.SetSourceText(QStringLiteral("Kalimera ti kaneis?"));
    window.GreekBtn->click();
    EXPECT_TRUE(window.ResultText().startsWith(QStringLiteral("Καλιμερα τι κανεις?\r\n")));
}

TEST(FrmChoiceAccents, FifthFrameSetsTheRecordAndDefaultReturnsToAsWritten) {
    ui::FrmChoice dialog;
    QSignalSpy chosen(&dialog, &ui::FrmChoice::AccentsChosen);
    EXPECT_EQ(dialog.Frame5->title(), QStringLiteral("Ελληνικά"));
    EXPECT_EQ(dialog.Option11->text(), QStringLiteral("Όπως γράφτηκαν"));
    EXPECT_EQ(dialog.Option12->text(), QStringLiteral("Με τόνους και ορθογραφία"));
    EXPECT_TRUE(dialog.Option11->isChecked());
    dialog.show();
    dialog.Option12->click();
    EXPECT_EQ(dialog.CurrentOptions().greek, GreekSpelling::Accented);
    EXPECT_EQ(chosen.count(), 1);
    dialog.BtnCancel->click();
    EXPECT_EQ(dialog.CurrentOptions().greek, GreekSpelling::AsWritten);
    dialog.show();
    dialog.Option12->click();
    dialog.BtnOK->click();
    EXPECT_EQ(dialog.CurrentOptions().greek, GreekSpelling::Accented);
    dialog.show();
    dialog.BtnDefault->click();
    EXPECT_EQ(dialog.CurrentOptions(), ConversionOptions{});
    // The buttons sit below the fifth frame.
    EXPECT_GT(dialog.BtnOK->y(), dialog.Frame5->geometry().bottom());
}

}  // namespace
}  // namespace bivano
