// SPDX-License-Identifier: GPL-3.0-or-later
// One word typed as two (kali mera -> καλημέρα): joined only where the
// model strongly prefers the one word, never across a mark, a line or a
// piece of the stream, and with the first part's case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/spelling/speller.h"
#include "core/spelling/word_joining.h"
#include "io/greek_model_file.h"
#include "model_builder/model_sources.h"
#include "program_model.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

struct Row {
    const char* name;
    const char* typed;
    const char* read;
};

std::string Read(const GreekSpeller& speller, std::string_view text, bool chat = true) {
    return ReadThroughStream(speller, text, ReadingStream::Source::Latin, chat);
}

class WordJoining : public WithProgramModel {};

TEST_F(WordJoining, OneWordTypedAsTwo) {
    const Row rows[] = {
        // καλή μέρα, καλή νύχτα: no pair of the counts, and the greetings
        // are far likelier than the two words.
        {"greeting", "kali mera", "καλημέρα"},
        {"greeting with eta", "kalh mera", "καλημέρα"},
        {"good night", "kalh nyxta", "καληνύχτα"},
        {"good night, two slips", "kali nixta", "καληνύχτα"},
        {"good evening, a part no word", "kali spera", "καλησπέρα"},
        {"please", "para kalo", "παρακαλώ"},
        {"second part no word", "tou laxiston", "τουλάχιστον"},
        {"anything", "oti dipote", "οτιδήποτε"},
        {"summer", "kalo kairi", "καλοκαίρι"},
        {"tonight", "apo pse", "απόψε"},
        {"at all", "kath olou", "καθόλου"},
        {"also", "epi shs", "επίσης"},
        {"usually", "syn hthws", "συνήθως"},
        {"first part no word", "ksa na", "ξανά"},
        {"in a sentence", "kalh nyxta kai kali mera!", "καληνύχτα και καλημέρα!"},
        {"each once", "kali mera mera", "καλημέρα μέρα"},
        // The first part's capital, or capitals throughout.
        {"capital first", "Kali mera sas", "Καλημέρα σας"},
        {"capitals", "KALI MERA", "ΚΑΛΗΜΕΡΑ"},
        {"after a sentence", "ela. Para kalo!", "έλα. Παρακαλώ!"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.name << ": " << row.typed;
        // The chat abbreviations have no part in it.
        EXPECT_EQ(Read(*speller_, row.typed, false), row.read) << row.name << ": " << row.typed;
    }
}

TEST_F(WordJoining, TwoWordsStayApart) {
    const Row rows[] = {
        // Pairs the counts have.
        {"article and noun", "to pws", "το πώς"},
        {"preposition and article", "me ta paidia", "με τα παιδιά"},
        // One of the commonest words, whatever the counts did not see.
        {"with milk, not big", "me gala", "με γάλα"},
        {"noun and article", "to systhma ta", "το σύστημά τα"},
        {"pronoun and verb", "se agapw", "σε αγαπώ"},
        {"pronoun and verb again", "mou aresei", "μου αρέσει"},
        {"article, one letter", "h mera", "η μέρα"},
        {"one letter", "o ti 8es", "ο τι θες"},
        {"preposition", "kata lathos", "κατά λάθος"},
        {"particle", "ka8e na", "κάθε να"},
        // Two words in use: no word reads from them, or it is not much
        // likelier.
        {"wishes", "kali idea, kalo taxidi", "καλή ιδέα, καλό ταξίδι"},
        {"good appetite", "kali orexi", "καλή όρεξη"},
        {"very much", "para poli", "πάρα πολύ"},
        {"from below", "apo kato", "από κάτω"},
        {"every day", "ka8e mera", "κάθε μέρα"},
        {"good good", "kala kala", "καλά καλά"},
        // Numbers, English words, words kept as typed.
        {"number", "2 mera", "2 μέρα"},
        {"English word", "super market", "super μάρκετ"},
        {"acronym first", "IP pou", "ΥΠ που"},
        {"acronym kept", "LVM mera", "LVM μέρα"},
        {"path kept", "/dev/sda1 mera", "/dev/sda1 μέρα"},
        {"capitals then small", "KALI mera", "ΚΑΛΗ μέρα"},
        {"capital second", "kali Mera", "καλή Μέρα"},
        {"between asterisks", "*kali* mera", "kali μέρα"},
        {"chat abbreviation", "k ala", "και άλλα"},
        // Not a single blank between them.
        {"comma", "kali, mera", "καλή, μέρα"},
        {"full stop", "kali. mera", "καλή. μέρα"},
        {"hyphen", "kali-mera", "καλή-μέρα"},
        {"line break", "kali\nmera", "καλή\nμέρα"},
        {"two blanks", "kali  mera", "καλή  μέρα"},
        {"tab", "kali\tmera", "καλή\tμέρα"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.name << ": " << row.typed;
    }
}

// Greek letters typed apart stay apart: whoever typed them in Greek meant
// two words.
TEST_F(WordJoining, OnlyLatinLetters) {
    ReadingStream stream(*speller_, ReadingStream::Source::Greek, true);
    std::u16string out;
    stream.Read(u"καλη μερα", out);
    stream.Finish(out);
    EXPECT_EQ(U8(out), "καλή μέρα");
}

// The stream decides alike whatever its pieces: a join never reaches
// across a place where the stream may cut, and one the whole text makes is
// made in pieces too.
TEST_F(WordJoining, PiecesDecideAsTheWhole) {
    const std::u16string text =
        u"Kali mera! kali mera, para kalo\nkalh nyxta. tou laxiston kali\nmera kai "
        u"para  kalo me ta paidia KALI MERA. kali mera";
    const std::string whole = Read(*speller_, U8(text));
    EXPECT_EQ(whole,
              "Καλημέρα! καλημέρα, παρακαλώ\nκαληνύχτα. τουλάχιστον καλή\nμέρα και παρά  "
              "καλό με τα παιδιά ΚΑΛΗΜΕΡΑ. καλημέρα");
    for (std::size_t piece = 1; piece <= 12; ++piece) {
        ReadingStream stream(*speller_, ReadingStream::Source::Latin, true);
        std::u16string out;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            stream.Read(std::u16string_view(text).substr(at, piece), out);
        }
        stream.Finish(out);
        EXPECT_EQ(U8(out), whole) << "pieces of " << piece;
    }
}

// The rule itself, on a model made here: the same two words are joined,
// unless the counts have them as a pair; and a model without everyday
// counts joins by its technical counts alone.
TEST(WordJoiningRule, ACountedPairStaysApart) {
    builder::ModelSource source;
    source.words = {u"καλημέρα", u"καλή", u"μέρα", u"και", u"να", u"το"};
    source.frequencies = {{u"καλημέρα", 400}, {u"καλή", 20}, {u"μέρα", 20},
                          {u"και", 3000},     {u"να", 2000}, {u"το", 4000}};
    for (int i = 0; i < 200; ++i) {
        source.words.push_back(u"λέξη" + std::u16string(1, static_cast<char16_t>(u'α' + i % 24)) +
                               std::u16string(1, static_cast<char16_t>(u'α' + i / 24)));
        source.frequencies.emplace_back(source.words.back(), 300);
    }
    const auto apart = builder::SpellerOf(source);
    ASSERT_NE(apart, nullptr);
    EXPECT_EQ(Read(*apart, "kali mera"), "καλημέρα");
    source.pairs = {{{u"καλή", u"μέρα"}, 3}};
    const auto counted = builder::SpellerOf(source);
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(Read(*counted, "kali mera"), "καλή μέρα");
}

TEST(WordJoiningRule, CaseAllowsJoining) {
    const struct {
        const char* name;
        const char16_t* first;
        const char16_t* second;
        bool allowed;
    } rows[] = {
        {"small", u"kali", u"mera", true},
        {"capital first", u"Kali", u"mera", true},
        {"capitals", u"KALI", u"MERA", true},
        {"capitals with a digit", u"KA8E", u"MERA", true},
        {"capital second", u"kali", u"Mera", false},
        {"both capitalised", u"Kali", u"Mera", false},
        {"capitals then small", u"KALI", u"mera", false},
        {"capital inside", u"kAli", u"mera", false},
        {"small then capitals", u"kali", u"MERA", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(internal::WordJoiner::CaseAllowsJoining(row.first, row.second), row.allowed)
            << row.name;
    }
}

}  // namespace
}  // namespace bivano
