// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that keep a word in Latin letters as typed, one row a case:
// which rule settles each word, and what the reader then writes. The near
// misses are words that look like addresses, acronyms or English but are
// Greek as typed.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "core/spelling/kept_as_typed.h"
#include "io/greek_model_file.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;
using internal::JudgeKeptAsTyped;
using internal::KeptAsTypedRules;
using internal::WordReader;

struct KeptRow {
    const char* name;
    const char* word;
    bool inside;       // inside a sentence, not its first word
    const char* rule;  // the rule that settles it; "" when none does
    bool kept;
    const char* read;  // what the reader writes, the word inside a sentence or first
};

void PrintTo(const KeptRow& row, std::ostream* out) {
    *out << row.name;
}

class KeptAsTyped : public ::testing::TestWithParam<KeptRow> {
  protected:
    static void SetUpTestSuite() { speller_ = io::OpenGreekModel(BIVANO_TEST_MODEL); }
    static void TearDownTestSuite() { speller_.reset(); }
    void SetUp() override { ASSERT_NE(speller_, nullptr) << BIVANO_TEST_MODEL; }
    static std::unique_ptr<GreekSpeller> speller_;
};
std::unique_ptr<GreekSpeller> KeptAsTyped::speller_;

TEST_P(KeptAsTyped, SettledByItsRule) {
    const KeptRow& row = GetParam();
    WordReader reader(speller_->Model(), ReadingStream::Source::Latin, false);
    const internal::KeptJudgement judged = JudgeKeptAsTyped(U16(row.word), row.inside, reader);
    EXPECT_EQ(std::string(judged.rule), row.rule);
    EXPECT_EQ(judged.kept, row.kept);

    // The reader keeps it, or reads it, where it stands.
    ReadingStream stream(*speller_, ReadingStream::Source::Latin);
    std::u16string out;
    stream.Read(U16(std::string(row.inside ? "ela " : "") + row.word), out);
    stream.Finish(out);
    EXPECT_EQ(U8(out), std::string(row.inside ? "έλα " : "") + row.read);
}

constexpr KeptRow kRows[] = {
    // Addresses, paths, names of files and hosts.
    {"WebAddress", "http://example.com/kalimera", false, "web address", true,
     "http://example.com/kalimera"},
    {"WebAddressFromWww", "www.kalimera.gr/nea", false, "web address", true, "www.kalimera.gr/nea"},
    {"HostName", "debian.org", false, "file or host name", true, "debian.org"},
    {"MailAddress", "nikos@example.gr", false, "e-mail address", true, "nikos@example.gr"},
    {"AtWithoutAHost", "a@b", false, "other marks", false, "α@μπ"},
    {"DevicePath", "/dev/sda1", false, "path", true, "/dev/sda1"},
    {"HomePath", "~/.config", false, "path", true, "~/.config"},
    {"HerePath", "./configure", false, "path", true, "./configure"},
    {"SlashBetweenWords", "kalimera/kalh", false, "other marks", false, "καλημέρα/καλή"},
    {"FileName", "sources.list", false, "file or host name", true, "sources.list"},
    {"ScriptName", "screen_io.py", false, "file or host name", true, "screen_io.py"},
    {"AbbreviationDots", "p.x.", false, "other marks", false, "π.χ."},
    {"ElidedWord", "m'aresei", false, "other marks", false, "μ'αρέσει"},
    // Keys, settings, names in Latin letters, words joined by hyphens.
    {"KeysTogether", "Ctrl+Alt", false, "keys or a setting", true, "Ctrl+Alt"},
    {"SumOfCells", "A1+B2", false, "keys or a setting", true, "A1+B2"},
    {"Setting", "vga=normal", false, "keys or a setting", true, "vga=normal"},
    {"NameInLatinLetters", "LibreOffice", false, "name in Latin letters", true, "LibreOffice"},
    {"CommandWithHyphen", "apt-get", false, "words joined by hyphens", true, "apt-get"},
    {"GreekWithHyphen", "leksh-kleidi", false, "words joined by hyphens", false, "λέξη-κλειδί"},
    // Acronyms and numbers.
    {"Acronym", "LVM", false, "acronym", true, "LVM"},
    {"AcronymWithANumber", "USB2", false, "acronym with a number", true, "USB2"},
    {"AcronymWithThree", "MP3", false, "acronym with a number", true, "MP3"},
    {"LettersWithDigits", "x86", false, "letters with digits", true, "x86"},
    {"EnglishWithANumber", "Sheet2", false, "letters with digits", true, "Sheet2"},
    {"GreekWithANumber", "Fyllo2", false, "Greek word with a number", false, "Φύλλο2"},
    {"GreekInCapitals", "KALIMERA", false, "Greek in capitals", false, "ΚΑΛΗΜΕΡΑ"},
    {"GreekInCapitalsWithXi", "3ERW", false, "Greek in capitals", false, "ΞΕΡΩ"},
    {"XiTypedAsThree", "E3odos", false, "short or with digits", false, "Έξοδος"},
    {"OneCapital", "A", false, "short or with digits", false, "Α"},
    // English words, names, chat.
    {"EnglishWord", "the", true, "English word", true, "the"},
    {"EnglishWordFirst", "nice", false, "English word", true, "nice"},
    {"EnglishThatIsGreek", "to", true, "", false, "το"},
    {"EnglishThatIsGreekToo", "auto", true, "", false, "αυτό"},
    {"EnglishNameInside", "Menu", true, "English name", true, "Menu"},
    {"EnglishNameFirst", "Menu", false, "", false, "Μενού"},
    {"GreekThatIsEnglish", "Mia", true, "", false, "Μια"},
    {"UnknownNameInside", "Calc", true, "unknown name", true, "Calc"},
    {"UnknownWordFirst", "Calc", false, "", false, "Ψαλψ"},
    {"Laughter", "Xaxa", true, "chat word or laughter", false, "Χαχα"},
    {"GreekWord", "kalimera", false, "", false, "καλημέρα"},
};

INSTANTIATE_TEST_SUITE_P(Rows, KeptAsTyped, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Every rule is named once, and every one settles some row above.
TEST(KeptAsTypedRules, EachNamedOnceAndEachTried) {
    std::set<std::string_view> names;
    for (const internal::KeptRule& rule : KeptAsTypedRules()) {
        EXPECT_TRUE(names.insert(rule.name).second) << rule.name;
    }
    for (const std::string_view name : names) {
        EXPECT_TRUE(std::any_of(std::begin(kRows), std::end(kRows),
                                [&](const KeptRow& row) { return row.rule == name; }))
            << "no row for the rule " << name;
    }
}

}  // namespace
}  // namespace bivano
