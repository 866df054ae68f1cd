// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/layout/layout_repair.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/encoding/text_codec.h"
#include "core/layout/greek_keyboard.h"
#include "core/layout/paragraph_direction.h"
#include "core/pipeline.h"
#include "core/spelling/speller.h"
#include "io/greek_model_file.h"
#include "program_model.h"

namespace bivano::layout {
namespace {

// The decisions rest on the reader's model as the build makes it.
class LayoutTest : public testing::WithProgramModel {
  protected:
    static const GreekModel& Model() { return speller_->Model(); }
    static std::string Repair(std::u16string_view text) {
        return ToUtf8(RepairLayout(text, Model()));
    }
};

struct Row {
    const char16_t* typed;
    const char16_t* meant;
};

void ExpectRows(std::initializer_list<Row> rows, const GreekModel& model) {
    for (const Row& row : rows) {
        EXPECT_EQ(ToUtf8(RepairLayout(row.typed, model)), ToUtf8(row.meant)) << ToUtf8(row.typed);
    }
}

TEST_F(LayoutTest, AWordWhoseOtherReadingIsAWordIsRewritten) {
    ExpectRows({{u"Kalhm;era", u"Καλημέρα"},
                {u";ola", u"όλα"},
                {u"ηελλο", u"hello"},
                {u"ηελλο ςορλδ", u"hello world"},
                {u"Kalhm;era, ti k;aneiwq", u"Καλημέρα, τι κάνεις;"},
                {u"Λινθχ", u"Linux"}},
               Model());
}

TEST_F(LayoutTest, AWordThatIsAWordAsItIsStays) {
    ExpectRows({{u"Καλημέρα", u"Καλημέρα"},
                {u"hello world", u"hello world"},
                {u"και", u"και"},  // kai is no English word
                {u"to", u"to"},    // both are words: alone, nothing says which
                {u"το", u"το"},
                {u"ok", u"ok"},  // neither is a word
                {u"οκ", u"οκ"},
                {u"kalimera ti kaneis", u"kalimera ti kaneis"},  // Greeklish
                {u"kai ti na kanoume", u"kai ti na kanoume"}},
               Model());
}

TEST_F(LayoutTest, Verdicts) {
    LayoutRepairer repairer(Model());
    const struct {
        const char16_t* run;
        Verdict verdict;
    } rows[] = {
        {u"Kalhm;era", Verdict::Rewrite}, {u"ηελλο", Verdict::Rewrite}, {u"hello", Verdict::Keep},
        {u"Καλημέρα", Verdict::Keep},     {u"και", Verdict::Keep},      {u"kai", Verdict::Likely},
        {u"to", Verdict::Weak},           {u"το", Verdict::Weak},       {u"ok", Verdict::Keep},
        {u"ξζψ", Verdict::Neutral},       {u"mp3", Verdict::Neutral},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(static_cast<int>(repairer.Judge(row.run)), static_cast<int>(row.verdict))
            << ToUtf8(row.run);
    }
}

TEST_F(LayoutTest, MixedTextWordByWord) {
    ExpectRows(
        {// Short and two-way words go with the words around them.
         {u"To arxe;io ;anoije kai doyle;yei", u"Το αρχείο άνοιξε και δουλεύει"},
         {u"ηε ςεντ το τηε σηοπ", u"he went to the shop"},
         // A Greek sentence with one English word typed in Greek letters.
         {u"Άνοιξε το ςινδοςσ", u"Άνοιξε το windows"},
         {u"Το ηελλο είναι αγγλικά", u"Το hello είναι αγγλικά"},
         // Names and acronyms in Latin letters inside Greek stay.
         {u"To arxe;io toy Python kai to API", u"Το αρχείο του Python και το API"},
         {u"Kalhm;era hello", u"Καλημέρα hello"}},
        Model());
}

TEST_F(LayoutTest, WebAndMailAddresses) {
    ExpectRows({{u"ςςς.γοογλε.ψομ", u"www.google.com"},
                {u"ινφο@εχαμπλε.ψομ", u"info@example.com"},
                {u"ηττπσ/ςςς.γοογλε.ψομ/σεαρψη", u"https://www.google.com/search"},
                {u"www.google.com", u"www.google.com"},
                {u"De;ite to www.example.com ;amesa", u"Δείτε το www.example.com άμεσα"},
                {u"Στείλτε στο info@example.com", u"Στείλτε στο info@example.com"}},
               Model());
}

TEST_F(LayoutTest, DigitsAndPunctuation) {
    ExpectRows({{u"mp3", u"mp3"},
                {u"3D", u"3D"},
                {u"ηελλο 123 ςορλδ", u"hello 123 world"},
                {u"(ηελλο), ςορλδ!", u"(hello), world!"},
                {u"ηελλο΄ςορλδ", u"hello; world"},      // ; and Space gave ΄
                {u"Σημείωση¨τηισ", u"Σημείωση: this"},  // : and Space gave ¨
                {u"Σημείωση¨ Ελληνικά", u"Σημείωση¨ Ελληνικά"},
                {u"Prosox;hQ ;ola kal;a", u"Προσοχή: όλα καλά"},
                {u"(tim;h)Q ;ola", u"(τιμή): όλα"},
                {u"x = 1; y = 2;", u"x = 1; y = 2;"},
                {u"i=0;i<n;i++", u"i=0;i<n;i++"}},
               Model());
}

TEST_F(LayoutTest, CaseIsKept) {
    ExpectRows({{u"ΗΕΛΛΟ ΣΟΡΛΔ", u"HELLO WORLD"},
                {u"Ηελλο", u"Hello"},
                {u"KALHM;ERA", u"ΚΑΛΗΜΈΡΑ"},
                {u"Σινδοςσ", u"Windows"}},  // Σ is on W too
               Model());
}

TEST_F(LayoutTest, OnlyWrongLayoutRunsChange) {
    const std::u16string text =
        u"Plain English, numbers 1,234.5 and signs: #!@ {x}; Ελληνικά με τόνους.\r\n"
        u"\tΚείμενο «εισαγωγικά» — και ό,τι άλλο; emoji 😀 ok\n";
    EXPECT_EQ(Repair(text), ToUtf8(text));
}

// Whatever the pieces, the output is that of the whole text.
TEST_F(LayoutTest, StreamAtEveryPieceBoundary) {
    const std::u16string text =
        u"Kalhm;era, ti k;aneiwq\r\nηελλο ςορλδ 😀 ςςς.γοογλε.ψομ\n\nΆνοιξε το ςινδοςσ";
    const std::u16string whole = RepairLayout(text, Model());
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        for (std::size_t second = cut; second <= text.size(); second += 17) {
            LayoutStream stream(Model());
            std::u16string out;
            stream.Convert(std::u16string_view(text).substr(0, cut), out);
            stream.Convert(std::u16string_view(text).substr(cut, second - cut), out);
            stream.Convert(std::u16string_view(text).substr(second), out);
            stream.Finish(out);
            ASSERT_EQ(ToUtf8(out), ToUtf8(whole)) << cut << " " << second;
        }
    }
}

// Lines are found by their line break's byte, which other characters hold
// too (U+0A0A, U+010A, U+0A00): only a whole U+000A ends a line.
TEST(LayoutLines, TheLineBreakAmongCharactersOfTheSameByte) {
    const std::u16string long_line = std::u16string(1000, u'\u0A0A') + u"\n";
    const struct {
        const char* name;
        std::u16string_view text;
        std::size_t line_end;
    } rows[] = {
        {"empty", u"", std::u16string_view::npos},
        {"plain", u"ab\ncd\n", 2},
        {"first", u"\n", 0},
        {"after CR", u"\r\n", 1},
        {"byte in other characters", u"\u0A0A\u010A\u0A00x\n", 4},
        {"none among them", u"\u0A0A\u010A\u0A00", std::u16string_view::npos},
        {"high byte before", u"\u0A00\u000A", 1},
        {"far", long_line, 1000},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FindLineEnd(row.text), row.line_end) << row.name;
    }
}

TEST_F(LayoutTest, AVeryLongLineIsCutTheSameWayInAnyPieces) {
    std::u16string text;
    while (text.size() < 3 * LayoutStream::kLongestLine) {
        text += u"ηελλο ςορλδ Kalhm;era ";
    }
    text += std::u16string(LayoutStream::kLongestLine + 5, u'ς');  // no blank at all
    text += u"😀";
    const std::u16string whole = RepairLayout(text, Model());
    EXPECT_EQ(whole.size(), text.size() - 22 * 0 + (whole.size() - text.size()));
    for (const std::size_t piece : {std::size_t{1}, std::size_t{4093}, std::size_t{65536}}) {
        LayoutStream stream(Model());
        std::u16string out;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            stream.Convert(std::u16string_view(text).substr(at, piece), out);
        }
        stream.Finish(out);
        ASSERT_EQ(out, whole) << piece;
    }
    EXPECT_NE(ToUtf8(whole).find("hello world Καλημέρα"), std::string::npos);
}

TEST_F(LayoutTest, AutoTurnsEachLineTheOtherWay) {
    const std::u16string text =
        u"kalimera ti kaneis?\n"
        u"Καλημέρα, τι κάνεις;\n"
        u"the file is open now\n"
        u"ok\n"
        u"\n"
        u"ok\n";
    ParagraphStream stream({}, speller_.get(), false);
    std::u16string out;
    stream.Convert(text, out);
    stream.Finish(out);
    EXPECT_EQ(ToUtf8(out),
              "καλημέρα τι κάνεις;\n"
              "Kalhmera, ti kaneis;\n"
              "the file is open now\n"
              "ok\n"  // too short: as the line before it, English
              "\n"
              "ok\n");  // a paragraph of its own: as it is
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        ParagraphStream pieces({}, speller_.get(), false);
        std::u16string out_in_pieces;
        pieces.Convert(std::u16string_view(text).substr(0, cut), out_in_pieces);
        pieces.Convert(std::u16string_view(text).substr(cut), out_in_pieces);
        pieces.Finish(out_in_pieces);
        ASSERT_EQ(out_in_pieces, out) << cut;
    }
}

TEST(LayoutJudgeLine, ByItsWords) {
    EXPECT_EQ(JudgeLine(u"Καλημέρα σας", nullptr), LineWay::ToLatin);
    EXPECT_EQ(JudgeLine(u"kalimera sas", nullptr), LineWay::Unchanged);  // no model: kept
    EXPECT_EQ(JudgeLine(u"ok", nullptr), std::nullopt);
    EXPECT_EQ(JudgeLine(u"1234 !!", nullptr), std::nullopt);
}

TEST_F(LayoutTest, ThroughThePipeline) {
    PipelineSettings settings;
    settings.direction = Direction::Layout;
    settings.speller = speller_.get();
    settings.to = Encoding::Cp1253;
    Pipeline pipeline(settings);
    std::string out;
    ASSERT_TRUE(pipeline.Run("Kalhm;era\n\xCE\xBE\xCE\xB6\xCF\x88", out));
    ASSERT_TRUE(pipeline.Finish(out));
    EXPECT_EQ(out, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\n\xEE\xE6\xF8");  // ξζψ is no word

    // Without a model nothing can be judged: the text passes as it is.
    settings.speller = nullptr;
    settings.to = Encoding::Utf8;
    Pipeline without(settings);
    out.clear();
    ASSERT_TRUE(without.Run("Kalhm;era", out));
    ASSERT_TRUE(without.Finish(out));
    EXPECT_EQ(out, "Kalhm;era");
}

}  // namespace
}  // namespace bivano::layout
