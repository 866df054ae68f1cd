// SPDX-License-Identifier: GPL-3.0-or-later
// The Greek reader: with a small word list made here, for each cause of a
// wrong word, and with the program's own model for the choices that need
// running text's word counts.
#include "core/spelling/speller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>
#include <random>
#include <vector>

#include "io/greek_model_file.h"
#include "program_model.h"
#include "recording_progress.h"
#include "small_models.h"

namespace bivano {
namespace {

using namespace bivano::testing;

const GreekSpeller& SmallSpeller() {
    static const GreekSpeller speller = SmallModelSpeller(
        {u"καλημέρα", u"καλή",     u"κάνεις",      u"τι",           u"έλα",       u"είσαι",
         u"θάλασσά",  u"θάλασσα",  u"ποιο",        u"πιο",          u"Αθήνα",     u"εθνικός",
         u"αυτό",     u"ώρα",      u"όρα",         u"παιδί",        u"πεδίο",     u"προϊόν",
         u"σούπερ",   u"βοηθήσει", u"έπαιξε",      u"χαρά",         u"μπύρα",     u"ντομάτα",
         u"γκρι",     u"όχι",      u"ηθικό",       u"θα",           u"διεύθυνση", u"ψυχή",
         u"ξέρω",     u"φως",      u"κομπλεξικοί", u"πανηγυρίζεις", u"το",        u"με",
         u"γυαλιά",   u"αγγελία",  u"θέλω",        u"ως",           u"φύλλο",     u"στήλη",
         u"έξοδος"});
    return speller;
}

std::string Read(const GreekSpeller& speller, std::string_view text,
                 ReadingStream::Source source = ReadingStream::Source::Latin, bool chat = false) {
    return ReadThroughStream(speller, text, source, chat);
}

struct Row {
    const char* typed;
    const char* read;
};

// Greek letters typed without accents, the vowels that sound alike mixed up.
TEST(GreekSpeller, SpellsGreekTypedWithoutAccents) {
    const Row rows[] = {
        {"καλιμερα", "καλημέρα"},
        {"κανις", "κάνεις"},
        {"ορα", "ώρα"},  // ώρα is in use, όρα is not
        {"ωρα", "ώρα"},
        {"πεδι", "παιδί"},                 // αι for ε
        {"πιο ποιο", "πιο ποιο"},          // the very letters win
        {"θαλασσα", "θάλασσα"},            // the enclitic form θάλασσά only by the rule
        {"προιον", "προϊόν"},              // the diaeresis
        {"Καλιμερα", "Καλημέρα"},          // a capital first
        {"Ελα", "Έλα"},                    // a capital takes its tonos
        {"ΚΑΛΙΜΕΡΑ ΕΛΑ", "ΚΑΛΗΜΕΡΑ ΕΛΑ"},  // capitals carry none
        {"αθινα Αθινα ΑΘΙΝΑ", "Αθήνα Αθήνα ΑΘΗΝΑ"},  // a name takes its capital
        {"ξξξ καλιμερα", "ξξξ καλημέρα"},
        {"abc 123 word, «τι»", "abc 123 word, «τι»"},  // other letters stay
        {"τι κανις? abc? τι ?", "τι κάνεις; abc? τι ?"},
        {"τι?? τι?!? abc??", "τι;; τι;!? abc??"},  // every question mark of the run
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(U8(SmallSpeller().Spell(U16(row.typed))), row.read) << row.typed;
    }
}

// Every reading people type for a Greek letter, from the Latin letters.
TEST(ReadingStream, FollowsEveryReadingOfTheLatinLetters) {
    const Row rows[] = {
        {"auto afto avto", "αυτό αυτό αυτό"},          // u, f, v for υ after α
        {"souper", "σούπερ"},                          // ou
        {"voithisei vohthhsei", "βοηθήσει βοηθήσει"},  // oi as ο and η
        {"epaixe epaije", "έπαιξε έπαιξε"},            // x and j for ξ
        {"xara hara", "χαρά χαρά"},                    // x and h for χ
        {"bira mpyra", "μπύρα μπύρα"},                 // b for μπ
        {"domata ntomata", "ντομάτα ντομάτα"},         // d for ντ
        {"gri gkri", "γκρι γκρι"},                     // g for γκ
        {"aggelia agelia", "αγγελία αγγελία"},         // gg, and a γ typed once
        {"8a tha", "θα θα"},
        // 8 at the start of a sentence takes a capital when sentences begin so.
        {"Ela. 8elw! 8a", "Έλα. Θέλω! Θα"},
        {"ela. 8elw", "έλα. θέλω"},
        {"dieuthynsh dieu8insi", "διεύθυνση διεύθυνση"},
        {"psyxh cixi", "ψυχή ψυχή"},  // ps and c for ψ
        // No such word: the likeliest letters, with a known ending's accent.
        {"ks3erw 3erw kserw", "ξξέρω ξέρω ξέρω"},
        {"fws phws", "φως φως"},  // f and ph for φ
        {"komplexikoi", "κομπλεξικοί"},
        {"panhgyrizeis panigirizeis", "πανηγυρίζεις πανηγυρίζεις"},
        {"eunikos", "εθνικός"},  // u for θ, as one spelling of θ writes it
        {"thalasa", "θάλασσα"},  // a consonant typed once for two
        {"Kalimera KALIMERA", "Καλημέρα ΚΑΛΗΜΕΡΑ"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(SmallSpeller(), row.typed), row.read) << row.typed;
    }
}

// What is plainly not Greek stays as typed.
// Short words and long ones are written whole, with a capital as typed,
// wherever they stand in a phrase.
TEST(ReadingStream, WritesWordsOfEveryLengthWhole) {
    std::vector<std::u16string> words{u"καλή"};
    struct Typed {
        std::string small;
        std::string capital;
        std::string read;
        std::string read_capital;
    };
    std::vector<Typed> rows;
    for (const std::size_t length : {7, 8, 19, 20, 21, 22, 23, 40}) {
        // κακα…λή, or κακα…λιά for an odd length.
        const bool odd = length % 2 == 1;
        std::u16string word;
        Typed typed;
        while (word.size() + (odd ? 3 : 2) < length) {
            word += u"κα";
            typed.small += "ka";
            typed.read += "κα";
        }
        word += odd ? u"λιά" : u"λή";
        typed.small += odd ? "lia" : "li";
        typed.read += odd ? "λιά" : "λή";
        typed.capital = typed.small;
        typed.capital[0] = 'K';
        typed.read_capital = typed.read;
        typed.read_capital.replace(0, std::string_view("κ").size(), "Κ");
        words.push_back(word);
        rows.push_back(typed);
    }
    const GreekSpeller speller = SmallModelSpeller(words);
    for (const Typed& row : rows) {
        SCOPED_TRACE(row.small);
        EXPECT_EQ(Read(speller, row.small), row.read);
        EXPECT_EQ(Read(speller, "kali " + row.small + " kali"), "καλή " + row.read + " καλή");
        EXPECT_EQ(Read(speller, row.capital + " kali"), row.read_capital + " καλή");
        EXPECT_EQ(Read(speller, "kali " + row.capital), "καλή " + row.read_capital);
    }
}

TEST(ReadingStream, KeepsWhatIsNotGreek) {
    const Row rows[] = {
        // English words that read as no Greek word as typed; "to", "me",
        // "auto" are Greek. "super" reads σούπερ only with ου for u.
        {"to super me word auto", "το super με word αυτό"},
        {"LVM USB2 KALIMERA", "LVM USB2 ΚΑΛΗΜΕΡΑ"},  // acronyms, and Greek in capitals
        // "vs" is English, but the commonest words read from it a little
        // more dearly (ω typed as v).
        {"ws vs super", "ως ως super"},
        // A Greek word numbered has its letters read; Sheet2 and A1 stay.
        {"Fyllo2 stili10 Sheet2 A1 fyllo38", "Φύλλο2 στήλη10 Sheet2 A1 φυλλοξθ"},
        // Paths and names of files and hosts stay; a slash between words
        // and an abbreviation's dots do not make one.
        {"/dev/sda1 ~/.config sources.list debian.org screen_io.py kalimera/kalh p.x.",
         "/dev/sda1 ~/.config sources.list debian.org screen_io.py καλημέρα/καλή π.χ."},
        // Words joined by hyphens stay when each would alone; settings stay.
        {"super-word vga=normal kalimera-kalh ELA", "super-word vga=normal καλημέρα-καλή ΕΛΑ"},
        // Keys pressed together stay; capitals then digits only at the end.
        {"Ctrl+Alt A1+B2 MP3 E3odos", "Ctrl+Alt A1+B2 MP3 Έξοδος"},
        {"des http://a.b/kalimera nikos@x.gr. www.kalimera.gr",
         "δες http://a.b/kalimera nikos@x.gr. www.kalimera.gr"},
        {"a@b ela. www A", "α@μπ έλα. ωωω Α"},         // not addresses
        {"*kalimera* kalimera", "kalimera καλημέρα"},  // a group between asterisks
        {"(kalimera)", "(καλημέρα)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(SmallSpeller(), row.typed), row.read) << row.typed;
    }
}

TEST(ReadingStream, ChatAbbreviationsAreWrittenOutOnlyWhenAsked) {
    EXPECT_EQ(Read(SmallSpeller(), "k kaneis? gt Tpt DLD tlk ntks ntx kk",
                   ReadingStream::Source::Latin, true),
              "και κάνεις; γιατί Τίποτα ΔΗΛΑΔΗ τελικά εντάξει εντάξει κκ");
    EXPECT_EQ(Read(SmallSpeller(), "k gt"), "κ γτ");
    EXPECT_EQ(Read(SmallSpeller(), "κ τι γτ", ReadingStream::Source::Greek, true), "και τι γιατί");
}

const GreekSpeller& EncliticSpeller() {
    static const GreekSpeller speller =
        SmallModelSpeller({u"το", u"σύστημα", u"σας", u"όνομα", u"του", u"υπολογιστή", u"άνθρωποι",
                           u"μου", u"καρδιά", u"άνοιξε", u"είναι"});
    return speller;
}

TEST(GreekSpeller, EncliticsGiveTheWordBeforeThemASecondAccent) {
    const Row rows[] = {
        {"το συστημα σας", "το σύστημά σας"},
        {"ανθρωποι μου!", "άνθρωποί μου!"},  // on the ι of οι
        {"το ονομα του.", "το όνομά του."},  // του ends the phrase
        {"ανοιξε το", "άνοιξέ το"},
        {"το συστημα του υπολογιστη", "το σύστημα του υπολογιστή"},  // του is the article
        {"το ονομα του ειναι", "το όνομα του είναι"},
        {"την καρδια μου", "την καρδιά μου"},  // stressed on the last syllable: nothing to add
        {"συστημα, σας", "σύστημα, σας"},      // not one blank apart
        {"ΣΥΣΤΗΜΑ ΣΑΣ", "ΣΥΣΤΗΜΑ ΣΑΣ"},        // capitals carry no tonos
        {"Συστημα σας", "Σύστημά σας"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(U8(EncliticSpeller().Spell(U16(row.typed))), row.read) << row.typed;
    }
    EXPECT_EQ(Read(EncliticSpeller(), "to systhma sas"), "το σύστημά σας");
}

TEST(GreekSpeller, UnknownWordsTakeTheAccentOfTheKnownEndingMostLikeThem) {
    // The endings come from the words in use, which the word counts hold.
    const Row rows[] = {
        {"εγκαταστατης", "εγκαταστάτης"},  // from -στάτης
        {"Εγκαταστατις", "Εγκαταστάτης"},  // its η for the ι typed
        {"ξξξξξξ", "ξξξξξξ"},              // no ending in common: as typed
    };
    for (const Row& row : rows) {
        EXPECT_EQ(U8(SmallSpeller().Spell(U16(row.typed))), row.read) << row.typed;
    }
    // From Latin letters, an unknown word takes its letters' likeliest
    // readings (u as υ), not the plain conversion's θ.
    EXPECT_EQ(Read(SmallSpeller(), "egkatastaths Eyrwpaikh"), "εγκαταστάτης Ευρωπαϊκή");
    // v before a consonant but ρ and λ is ω (no Greek word has βσ), unless
    // it follows α or ε.
    EXPECT_EQ(Read(SmallSpeller(), "diagnvstikh vrvmiko avrio"), "διαγνωστική βρώμικο αύριο");
}

// Whatever the pieces, the reader gives what it gives for the whole text.
// A group between asterisks that starts the text, or the piece after a
// line, stays whole even where a sentence ends inside it, in any pieces.
TEST(ReadingStream, AGroupBetweenAsterisksAtTheStartStaysWhole) {
    const Row rows[] = {
        {"*kalh. mera* ela", "kalh. mera έλα"},
        {"ela\n*kalh. mera* ela", "έλα\nkalh. mera έλα"},
        {"ela. *kalh. mera* ela", "έλα. kalh. mera έλα"},
    };
    for (const Row& row : rows) {
        const std::u16string typed = U16(row.typed);
        for (std::size_t cut = 0; cut <= typed.size(); ++cut) {
            ReadingStream stream(SmallSpeller(), ReadingStream::Source::Latin);
            std::u16string out;
            stream.Read(std::u16string_view(typed).substr(0, cut), out);
            stream.Read(std::u16string_view(typed).substr(cut), out);
            stream.Finish(out);
            EXPECT_EQ(U8(out), row.read) << row.typed << " cut at " << cut;
        }
    }
}

TEST(ReadingStream, PiecesGiveTheWholeTextsReading) {
    const struct {
        ReadingStream::Source source;
        const char* text;
    } texts[] = {
        {ReadingStream::Source::Latin,
         "Kalimera! ti kaneis?? *to ti* LVM, to systhma sas. to onoma tou\r\n8a "
         "kalimera\tthalasa http://a.b/c k"},
        {ReadingStream::Source::Greek,
         "το συστημα σας?? το ονομα του. ανοιξε το οι ανθρωποι μου το συστημα του υπολογιστη"},
    };
    for (const auto& [source, text] : texts) {
        const std::u16string whole = U16(Read(EncliticSpeller(), text, source, true));
        const std::u16string typed = U16(text);
        const std::u16string_view view(typed);
        for (std::size_t cut = 0; cut <= typed.size(); ++cut) {
            for (std::size_t second = cut; second <= typed.size(); second += 5) {
                ReadingStream stream(EncliticSpeller(), source, true);
                std::u16string out;
                stream.Read(view.substr(0, cut), out);
                stream.Read(view.substr(cut, second - cut), out);
                stream.Read(view.substr(second), out);
                stream.Finish(out);
                ASSERT_EQ(U8(out), U8(whole)) << "cut at " << cut << " and " << second;
            }
        }
    }
}

TEST(GreekSpeller, ReadsAHunspellList) {
    const std::string path = ::testing::TempDir() + "/small.dic";
    {
        std::ofstream file(path, std::ios::binary);
        file << "3\n\xEA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\n\xC1\xE8\xDE\xED\xE1/X\nabc\n";  // καλημέρα,
                                                                                       // Αθήνα
    }
    const auto speller = io::OpenHunspellList(path);
    ASSERT_NE(speller, nullptr);
    EXPECT_EQ(speller->ListWordCount(), 2u);
    EXPECT_EQ(U8(speller->Spell(U16("καλιμερα αθινα"))), "καλημέρα Αθήνα");
    Failure failure;
    EXPECT_EQ(io::OpenHunspellList(::testing::TempDir() + "/missing.dic", &failure), nullptr);
    EXPECT_EQ(failure.cause, Cause::System);
    EXPECT_EQ(failure.system_error, ENOENT);
}

// The program's own model: the choices that only the words around a word,
// and how often words occur, can make.
class WithTheModel : public WithProgramModel {};

TEST_F(WithTheModel, ChoosesByTheWordsAround) {
    const Row rows[] = {
        {"h glwssa einai wraia", "η γλώσσα είναι ωραία"},
        {"to ena h to allo", "το ένα ή το άλλο"},
        {"oi xrhstes ths efarmoghs", "οι χρήστες της εφαρμογής"},
        {"stis rythmiseis", "στις ρυθμίσεις"},
        {"ta arxeia twn xrhstwn", "τα αρχεία των χρηστών"},
        {"alla den 3erw", "αλλά δεν ξέρω"},
        {"me thn eikona", "με την εικόνα"},
        {"ena arxeio h enas fakelos", "ένα αρχείο ή ένας φάκελος"},  // ή, not η
        {"nai h oxi", "ναι ή όχι"},
        // η before να was never counted: its endings do not make it likely.
        {"enan sarwth h na fortwsete", "έναν σαρωτή ή να φορτώσετε"},
        {"h synarthsh epistrefei", "η συνάρτηση επιστρέφει"},
        {"ths kyrias eikonas", "της κύριας εικόνας"},  // της, not τις
        {"tis kyries eikones", "τις κύριες εικόνες"},
        {"ton xrhsth", "τον χρήστη"},
        {"alla arxeia", "άλλα αρχεία"},  // άλλα, not αλλά
        {"xrhsimopoieite to menou", "χρησιμοποιείτε το μενού"},
        {"xrhsimopoieitai apo to programma", "χρησιμοποιείται από το πρόγραμμα"},
        {"kaneis den 3erei", "κανείς δεν ξέρει"},
        // A question starts with a question word: τι, πού, πώς.
        {"ti 8eleis? pou eisai? pws eisai?", "τι θέλεις; πού είσαι; πώς είσαι;"},
        {"8elw th selida", "θέλω τη σελίδα"},
        // A letter alone is read as people type it alone.
        {"o a3onas Y", "ο άξονας Υ"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// What stands before and after a phrase: ή between two numbers or two
// A text cut into parts (ReadingCutter), the parts read by streams taking
// them in any order, reads as one stream reads it from the same pieces: a
// word typed with a digit first takes the capital that the sentences of
// earlier parts decide.
TEST(ReadingStream, PartsReadApartGiveWhatOneStreamGives) {
    static const GreekSpeller speller =
        SmallModelSpeller({u"θα", u"έλα", u"ξέρω", u"καλημέρα", u"καλή", u"το", u"σύστημα", u"σας",
                           u"όνομα", u"του", u"είναι"});
    std::string no_place_to_cut;  // more than 64 Ki characters
    while (no_place_to_cut.size() < 70'000) {
        no_place_to_cut += "ela kalh ";
    }
    // More words than the readers and their shared readings keep.
    std::mt19937 random(22);
    std::string many_words;
    for (int word = 0; word < 40'000; ++word) {
        for (int letter = 0; letter < 8; ++letter) {
            many_words += static_cast<char>('a' + random() % 26);
        }
        many_words += word % 10 == 9 ? ".\n8a ela " : " ";
    }
    const struct {
        const char* name;
        ReadingStream::Source source;
        std::string text;
    } texts[] = {
        {"more words than are kept", ReadingStream::Source::Latin, many_words},
        {"capitals decided by earlier parts", ReadingStream::Source::Latin,
         "Ela. 8a ela!\n8a ela\n\n  8a to systhma\nela 8a. 8a ela\n8a\nKalimera! 8a ela? 3ero. "
         "3ero\n8a"},
        {"sentences in small letters", ReadingStream::Source::Latin,
         "ela. 8a ela\n8a ela\nELA. 8a\n8a ela\n"},
        {"groups between asterisks over lines", ReadingStream::Source::Latin,
         "ela *a\nb* 8a\n*ab\n* ela. *x\n8a ela* 8a ela\n**\n*a*\n8a"},
        {"enclitics and question marks", ReadingStream::Source::Latin,
         "to systhma sas?\nto onoma tou. 8a ela??\n"},
        {"Greek letters", ReadingStream::Source::Greek,
         "το συστημα σας. το ονομα του\nΕλα. θα ελα\nο,τι ειναι"},
        {"a line with no place to cut", ReadingStream::Source::Latin,
         "Ela.\n" + no_place_to_cut + "\n8a ela. " + no_place_to_cut + ". 8a"},
    };
    for (const auto& [name, source, text] : texts) {
        const std::u16string typed = U16(text);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{4096}}) {
            if (piece < 4096 && typed.size() > 1000) {
                continue;
            }
            std::u16string expected;
            ReadingStream one(speller, source, true);
            for (std::size_t at = 0; at < typed.size(); at += piece) {
                one.Read(std::u16string_view(typed).substr(at, piece), expected);
            }
            one.Finish(expected);
            for (const std::size_t longest_part :
                 {std::size_t{1}, std::size_t{3}, std::size_t{17}, std::u16string::npos}) {
                SCOPED_TRACE(std::string(name) + ", pieces of " + std::to_string(piece) +
                             ", parts of " + std::to_string(longest_part));
                ReadingCutter cutter(longest_part);
                std::vector<ReadingPart> parts;
                ReadingPart part;
                for (std::size_t at = 0; at < typed.size(); at += piece) {
                    cutter.Add(std::u16string_view(typed).substr(at, piece));
                    while (cutter.Next(part)) {
                        parts.push_back(part);
                    }
                }
                cutter.Finish(part);
                parts.push_back(part);
                // Three readers sharing their words' readings, each taking
                // parts at random, then the readings put in order.
                SharedReadings shared;
                std::vector<ReadingStream> readers;
                for (int i = 0; i < 3; ++i) {
                    readers.emplace_back(speller, source, true, &shared);
                }
                std::vector<std::u16string> readings(parts.size());
                std::vector<ReadingStream::PartReading> how(parts.size());
                std::vector<std::size_t> order(parts.size());
                std::iota(order.begin(), order.end(), 0);
                std::shuffle(order.begin(), order.end(), random);
                for (const std::size_t i : order) {
                    how[i] = readers[random() % readers.size()].ReadPart(parts[i], readings[i]);
                }
                PartsInOrder in_order;
                std::u16string joined;
                for (std::size_t i = 0; i < parts.size(); ++i) {
                    in_order.Next(how[i], readings[i]);
                    joined += readings[i];
                }
                ASSERT_EQ(U8(joined), U8(expected));
            }
        }
    }
}

// Latin words, η first in a sentence.
// The reader remembers the words and phrases it has read, within bounds;
// when it starts afresh, in the middle of a text, nothing it writes
// changes: the same sentences read the same before and after.
TEST_F(WithTheModel, StartingAfreshChangesNothing) {
    const std::string sentences =
        "h glwssa einai wraia, to ena h to allo. Kalimera! ti kaneis? to systhma sas\n";
    const std::string alone = Read(*speller_, sentences);
    // Long words, each new, that fill the reader's memory again and again,
    // with the sentences between.
    std::mt19937 random(22);
    std::string text;
    std::string expected;
    for (int part = 0; part < 40; ++part) {
        std::string filler;
        for (int word = 0; word < 1000; ++word) {
            for (int letter = 0; letter < 60; ++letter) {
                filler += static_cast<char>('a' + random() % 26);
            }
            filler += word % 10 == 9 ? ".\n" : " ";
        }
        text += sentences + filler;
        expected += alone + Read(*speller_, filler);
    }
    EXPECT_EQ(Read(*speller_, text), expected);
}

TEST_F(WithTheModel, ChoosesByWhatStandsBesideThePhrase) {
    const Row rows[] = {
        {"Python h UNO", "Python ή UNO"},
        {"einai 0 h 1.", "είναι 0 ή 1."},
        {"(GIF h MNG)", "(GIF ή MNG)"},
        {"H epilogh emfanizetai.", "Η επιλογή εμφανίζεται."},
        {"Patontas Alt (h Ctrl+Alt)", "Πατώντας Alt (ή Ctrl+Alt)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// A phrase longer than the reader weighs at once is cut for its length,
// and still reads as the short one does.
TEST_F(WithTheModel, APhraseCutForItsLengthReadsAsOne) {
    std::string typed = "h glwssa h to allo";
    std::string read = "η γλώσσα ή το άλλο";
    for (int i = 1; i < 120; ++i) {
        typed += " h glwssa h to allo";
        read += " ή γλώσσα ή το άλλο";  // "το άλλο ή …"
    }
    EXPECT_EQ(Read(*speller_, typed), read);
}

// Greek typed with letters the reader cannot place as a word stays exactly
// as typed: its final ς, its accents and its case; an accent the user
// typed is kept, so that a word is read only as words stressed there.
TEST_F(WithTheModel, GreekThatCannotBePlacedStaysAsTyped) {
    const Row rows[] = {
        {"κέικς", "κέικς"},
        {"Κέικς και τσάι", "Κέικς και τσάι"},
        {"ό,τι θελεις", "ό,τι θέλεις"},
        {"κέικς ό,τι καλιμερα", "κέικς ό,τι καλημέρα"},
        {"ο,τι θελεις. Ο,τι θελεις", "ό,τι θέλεις. Ό,τι θέλεις"},
        {"α,β,γ", "α,β,γ"},
        {"ξγφδς", "ξγφδς"},
        {"ΞΓΦΔΣ", "ΞΓΦΔΣ"},
        {"το ξγφδς μας", "το ξγφδς μας"},
        {"αααααααααααααααααααααααααααααααααααααααααααααααααας",
         "αααααααααααααααααααααααααααααααααααααααααααααααααας"},
        // Words the reader places are still spelled.
        {"καλιμερα", "καλημέρα"},
        {"θάλασσα", "θάλασσα"},
        {"ο εγκαταστατης", "ο εγκαταστάτης"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(U8(speller_->Spell(U16(row.typed))), row.read) << row.typed;
    }
}

TEST_F(WithTheModel, NamesAndUnknownWords) {
    EXPECT_EQ(Read(*speller_, "sthn athina"), "στην Αθήνα");
    EXPECT_EQ(Read(*speller_, "o egkatastaths"), "ο εγκαταστάτης");
    EXPECT_EQ(Read(*speller_, "Diamantidis"), "Διαμαντίδης");
    // th before a consonant is τη in a word no dictionary has.
    EXPECT_EQ(Read(*speller_, "eurethriakh"), "ευρετηριακή");
    // Capitals that read only as a rare word (έφη) are an acronym.
    EXPECT_EQ(Read(*speller_, "to EFI kai to LVM"), "το EFI και το LVM");
    EXPECT_EQ(Read(*speller_, "h entolh apt-get install task-greek-desktop"),
              "η εντολή apt-get install task-greek-desktop");
    // A capitalised word inside a sentence that reads as nothing Greek is a name.
    EXPECT_EQ(Read(*speller_, "sto Calc kai sto Writer"), "στο Calc και στο Writer");
}

}  // namespace
}  // namespace bivano
