// SPDX-License-Identifier: GPL-3.0-or-later
// What bivano says of each cause of failure, in English and in Greek.
#include "messages.h"

#include <gtest/gtest.h>
#include <libintl.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <string>

namespace bivano::cli {
namespace {

struct MessageRow {
    const char* name;
    Failure failure;
    std::string english;
    std::string greek;  // empty: the system's words, which follow its locale
};

void PrintTo(const MessageRow& row, std::ostream* out) {
    *out << row.name;
}

class Messages : public ::testing::TestWithParam<MessageRow> {
  protected:
    static void SetUpTestSuite() { ::bindtextdomain("bivano", BIVANO_CLI_CATALOGUES); }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(Messages, SayTheCauseAndWhere) {
    std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(FailureMessage(GetParam().failure), GetParam().english);
    if (GetParam().greek.empty()) {
        return;
    }
    if (std::setlocale(LC_ALL, "el_GR.UTF-8") == nullptr) {
        if (std::getenv("CI") == nullptr) {
            GTEST_SKIP() << "no el_GR.UTF-8 locale here";
        }
        FAIL() << "no el_GR.UTF-8 locale";
    }
    EXPECT_EQ(FailureMessage(GetParam().failure), GetParam().greek);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, Messages,
    ::testing::Values(
        MessageRow{"Missing", Failure::FromErrno(ENOENT), "No such file or directory", {}},
        MessageRow{"Folder", Failure::FromErrno(EISDIR), "Is a directory", {}},
        MessageRow{"FullTemporaryFolder",
                   Failure::FromErrno(ENOSPC, "/tmp/x"),
                   "the temporary file in /tmp/x: No space left on device",
                   {}},
        MessageRow{"NotRegularFile", Failure::Of(Cause::NotRegularFile),
                   "not a regular file: left as it is",
                   "δεν είναι κανονικό αρχείο· μένει όπως ήταν"},
        MessageRow{"DanglingLink", Failure::Of(Cause::DanglingLink),
                   "a symbolic link to no file: left as it is",
                   "συμβολικός σύνδεσμος σε αρχείο που δεν υπάρχει· μένει όπως ήταν"},
        MessageRow{"WriteProtected", Failure::Of(Cause::WriteProtected),
                   "write-protected: left as it is (--force replaces it)",
                   "προστατευμένο από εγγραφή· μένει όπως ήταν (η --force το "
                   "αντικαθιστά)"},
        MessageRow{"TooLarge", Failure::Of(Cause::TooLarge), "File too large", {}},
        MessageRow{"NotEncodable", Failure::InText(Cause::NotEncodable, {2, 3}, U'Ж'),
                   "line 2, column 3: character U+0416 cannot be written in windows-1253",
                   "γραμμή 2, στήλη 3: ο χαρακτήρας U+0416 δεν γράφεται σε windows-1253"},
        MessageRow{"NotEncodableBeyondSixteenBits",
                   Failure::InText(Cause::NotEncodable, {1, 12}, U'\U0001F600'),
                   "line 1, column 12: character U+1F600 cannot be written in windows-1253",
                   {}},
        MessageRow{"InvalidByte", Failure::InText(Cause::InvalidByte, {4, 1}, 0x0A, "utf-8"),
                   "line 4, column 1: byte 0x0A is not valid utf-8: read as U+FFFD",
                   "γραμμή 4, στήλη 1: το byte 0x0A δεν είναι έγκυρο utf-8: "
                   "διαβάστηκε ως U+FFFD"},
        MessageRow{"UndefinedByte",
                   Failure::InText(Cause::UndefinedByte, {1, 3}, 0xAE, "iso-8859-7"),
                   "line 1, column 3: byte 0xAE is undefined in iso-8859-7: read as U+FFFD",
                   "γραμμή 1, στήλη 3: το byte 0xAE δεν ορίζεται στην iso-8859-7: "
                   "διαβάστηκε ως U+FFFD"},
        MessageRow{"InvalidByteNotEncodable",
                   Failure::InText(Cause::InvalidByteNotEncodable, {1, 3}, 0xFF, "utf-16le"),
                   "line 1, column 3: byte 0xFF is not valid utf-16le, and "
                   "windows-1253 has nothing to write in its place",
                   "γραμμή 1, στήλη 3: το byte 0xFF δεν είναι έγκυρο utf-16le, και "
                   "η windows-1253 δεν έχει τίποτα να γράψει στη θέση του"},
        // The reader's model and word lists: the detail says how a model
        // fails, for no message (it names no temporary file).
        MessageRow{"NotAModel", Failure::Of(Cause::NotAModel, "damaged"),
                   "the Greek reader's model is damaged or of another version",
                   "το μοντέλο ελληνικών του προγράμματος είναι κατεστραμμένο ή άλλης έκδοσης"},
        MessageRow{"EmptyFile", Failure::Of(Cause::EmptyFile), "the file cannot be read",
                   "το αρχείο δεν διαβάζεται"},
        MessageRow{"WordListEncodingUnknown", Failure::Of(Cause::WordListEncodingUnknown),
                   "the word list is in an encoding that cannot be read (its .aff "
                   "names a SET other than UTF-8 and ISO8859-7)",
                   "το λεξικό είναι σε κωδικοποίηση που δεν διαβάζεται (το .aff του "
                   "ορίζει άλλο SET από UTF-8 και ISO8859-7)"},
        MessageRow{"WordListEncodingWrong", Failure::Of(Cause::WordListEncodingWrong),
                   "the word list is not in the encoding its .aff names",
                   "το λεξικό δεν είναι στην κωδικοποίηση που ορίζει το .aff του"},
        MessageRow{"NoGreekWords", Failure::Of(Cause::NoGreekWords), "not a list of Greek words",
                   "δεν είναι λεξικό ελληνικών λέξεων"},
        MessageRow{"AffixUnreadable", Failure::Of(Cause::AffixUnreadable),
                   "the .aff file beside it cannot be read (or is not a regular file)",
                   "το αρχείο .aff δίπλα του δεν διαβάζεται (ή δεν είναι κανονικό αρχείο)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bivano::cli
