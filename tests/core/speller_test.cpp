// SPDX-License-Identifier: GPL-3.0-or-later
// Accents and spelling, with a small word list made here, and a handful of
// everyday sentences with Debian's Greek dictionary.
#include "core/spelling/speller.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

const GreekSpeller& SmallSpeller() {
    static const GreekSpeller speller(std::vector<std::u16string>{
        u"καλημέρα", u"καλή", u"κάνεις", u"τι", u"έλα", u"είσαι", u"θάλασσά", u"θάλασσα", u"ποιο",
        u"πιο", u"Αθήνα", u"εθνικός", u"αυτό", u"ώρα", u"όρα", u"παιδί", u"πεδίο", u"προϊόν",
        u"word"});
    return speller;
}

std::string Spelled(const char* text, std::vector<TextRange> kept = {}) {
    return U8(SmallSpeller().Spell(U16(text), kept));
}

struct Case {
    const char* name;
    const char* typed;
    const char* spelled;
};

void PrintTo(const Case& sample, std::ostream* out) {
    *out << sample.name;
}

class Spelling : public ::testing::TestWithParam<Case> {};

TEST_P(Spelling, FindsTheWordMeant) {
    EXPECT_EQ(Spelled(GetParam().typed), GetParam().spelled);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Spelling,
    ::testing::Values(
        Case{"EtaWrittenAsIota", "καλιμερα", "καλημέρα"},
        Case{"EiWrittenAsIota", "κανις", "κάνεις"},
        Case{"UnmarkedLetterTakesTheFrequentWord", "ορα", "ώρα"},  // ώρα is counted, όρα not
        Case{"OmicronWhereOmegaMeant", "ωρα", "ώρα"},
        Case{"AiAndEpsilon", "πεδι", "παιδί"},  // no πεδί: the class finds παιδί
        Case{"ExactLettersWin", "πιο ποιο", "πιο ποιο"},
        Case{"FewestAccentsOnATie", "θαλασσα", "θάλασσα"}, Case{"Diaeresis", "προιον", "προϊόν"},
        Case{"FirstCapital", "Καλιμερα", "Καλημέρα"}, Case{"CapitalTakesItsTonos", "Ελα", "Έλα"},
        Case{"AllCapitalsWithoutTonos", "ΚΑΛΙΜΕΡΑ ΕΛΑ", "ΚΑΛΗΜΕΡΑ ΕΛΑ"},
        Case{"NameTakesItsCapital", "αθινα Αθινα ΑΘΙΝΑ", "Αθήνα Αθήνα ΑΘΗΝΑ"},
        Case{"ThetaWrittenAsUAfterE", "ευνικος", "εθνικός"},
        Case{"UnknownWordStays", "ξξξ καλιμερα", "ξξξ καλημέρα"},
        Case{"OtherTextStays", "abc 123 word, «τι»", "abc 123 word, «τι»"},
        Case{"QuestionMarkAfterAGreekWord", "τι κανις? abc? τι ?", "τι κάνεις; abc? τι ?"},
        Case{"EveryQuestionMarkOfTheRun", "τι?? τι?!? abc??", "τι;; τι;!? abc??"},
        Case{"Empty", "", ""}));

// What the Latin letters behind a converted letter may have meant: the
// design reads u as θ, v as ω, x as χ, h as η, and b, d, g as single letters.
TEST(GreekSpeller, ConvertedLettersAreReadAsTheLatinLettersMayHaveMeant) {
    const GreekSpeller speller(std::vector<std::u16string>{u"αυτό", u"σούπερ", u"βοηθήσει",
                                                           u"έπαιξε", u"χαρά", u"μπύρα", u"ντομάτα",
                                                           u"γκρι", u"όχι", u"ηθικό"});
    const std::pair<const char*, const char*> rows[] = {
        {"αθτο", "αυτό"},            // auto
        {"σθπερ", "σούπερ"},         // super
        {"ωοιθισει", "βοηθήσει"},    // voithisei
        {"επαιχε", "έπαιξε"},        // epaixe
        {"ηαρα", "χαρά"},            // hara
        {"βιρα", "μπύρα"},           // bira
        {"δοματα", "ντομάτα"},       // domata
        {"γρι", "γκρι"},             // gri
        {"οχι ιθικο", "όχι ηθικό"},  // the converted letters' own word stays
        {"Αθτο ΑΘΤΟ", "Αυτό ΑΥΤΟ"},
    };
    for (const auto& [typed, spelled] : rows) {
        EXPECT_EQ(U8(speller.Spell(U16(typed))), spelled) << typed;
    }
}

const GreekSpeller& EncliticSpeller() {
    static const GreekSpeller speller(
        std::vector<std::u16string>{u"το", u"σύστημα", u"σας", u"όνομα", u"του", u"υπολογιστή",
                                    u"άνθρωποι", u"μου", u"καρδιά", u"άνοιξε", u"είναι"});
    return speller;
}

TEST(GreekSpeller, EncliticsGiveTheWordBeforeThemASecondAccent) {
    const std::pair<const char*, const char*> rows[] = {
        {"το συστημα σας", "το σύστημά σας"},
        {"ανθρωποι μου!", "άνθρωποί μου!"},  // on the ι of οι
        {"το ονομα του.", "το όνομά του."},  // του ends the phrase
        {"ανοιξε το", "άνοιξέ το"},
        {"το συστημα του υπολογιστη", "το σύστημα του υπολογιστή"},  // του is the article
        {"το ονομα του ειναι", "το όνομα του είναι"},
        {"η καρδια μου", "η καρδιά μου"},  // stressed on the last syllable: nothing to add
        {"συστημα, σας", "σύστημα, σας"},  // not one blank apart
        {"ΣΥΣΤΗΜΑ ΣΑΣ", "ΣΥΣΤΗΜΑ ΣΑΣ"},    // capitals carry no tonos
        {"Συστημα σας", "Σύστημά σας"},
    };
    for (const auto& [typed, spelled] : rows) {
        EXPECT_EQ(U8(EncliticSpeller().Spell(U16(typed))), spelled) << typed;
    }
    // A kept enclitic leaves the word as it is.
    EXPECT_EQ(U8(EncliticSpeller().Spell(U16("συστημα σας"), std::vector<TextRange>{{8, 11}})),
              "σύστημα σας");
}

TEST(SpellingStream, EncliticsAndQuestionMarksAcrossEveryCut) {
    const std::u16string text =
        U16("το συστημα σας?? το ονομα του. ανοιξε το οι ανθρωποι μου το συστημα του υπολογιστη");
    const std::u16string whole = EncliticSpeller().Spell(text);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        for (std::size_t second = cut; second <= text.size(); second += 5) {
            SpellingStream stream(EncliticSpeller());
            std::u16string out;
            const std::u16string_view view(text);
            stream.Spell(view.substr(0, cut), {}, out);
            stream.Spell(view.substr(cut, second - cut), {}, out);
            stream.Spell(view.substr(second), {}, out);
            stream.Finish(out);
            ASSERT_EQ(U8(out), U8(whole)) << "cut at " << cut << " and " << second;
        }
    }
}

TEST(GreekSpeller, UnknownWordsTakeTheAccentOfTheKnownEndingMostLikeThem) {
    // The endings come from the words in use, which the frequency table holds.
    const GreekSpeller& speller = SmallSpeller();
    const std::pair<const char*, const char*> rows[] = {
        {"εγκαταστατης", "εγκαταστάτης"},  // from -στάτης
        {"Εγκαταστατις", "Εγκαταστάτης"},  // its η for the ι typed
        {"ξξξξξξ", "ξξξξξξ"},              // no ending in common: as typed
    };
    for (const auto& [typed, spelled] : rows) {
        EXPECT_EQ(U8(speller.Spell(U16(typed))), spelled) << typed;
    }
}

TEST(GreekSpeller, ChatAbbreviationsAreWrittenOutOnlyWhenAsked) {
    const std::u16string typed = U16("κ τι? γτ Τπτ ΔΛΔ τλκ ντξ κκ");
    std::u16string chat;
    SmallSpeller().SpellInto(typed, typed.size(), {}, chat, true);
    EXPECT_EQ(U8(chat), "και τι; γιατί Τίποτα ΔΗΛΑΔΗ τελικά εντάξει κκ");
    EXPECT_EQ(U8(SmallSpeller().Spell(U16("κ γτ"))), "κ γτ");
    // Kept, it stays.
    std::u16string kept;
    SmallSpeller().SpellInto(U16("γτ"), 2, std::vector<TextRange>{{0, 2}}, kept, true);
    EXPECT_EQ(U8(kept), "γτ");
}

TEST(GreekSpeller, KeptRangesStayAsTheyAre) {
    // "καλιμερα καλιμερα?" with the second word (and its "?") kept.
    EXPECT_EQ(Spelled("καλιμερα καλιμερα?", {{9, 18}}), "καλημέρα καλιμερα?");
    EXPECT_EQ(Spelled("καλιμερα?", {{0, 8}}), "καλιμερα?");
}

TEST(SpellingStream, PiecesGiveTheWholeTextsSpelling) {
    const std::u16string text = U16("Καλιμερα! τι κανις? ΕΛΑ εδω, καλιμερα θαλασσα");
    const std::vector<TextRange> kept = {{30, 38}};
    const std::u16string whole = SmallSpeller().Spell(text, kept);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        for (std::size_t second = cut; second <= text.size(); second += 7) {
            SpellingStream stream(SmallSpeller());
            std::u16string out;
            const std::u16string_view view(text);
            const std::size_t bounds[] = {0, cut, second, text.size()};
            for (int piece = 0; piece < 3; ++piece) {
                std::vector<TextRange> local;
                for (const TextRange& range : kept) {
                    const std::size_t begin = std::max(range.begin, bounds[piece]);
                    const std::size_t end = std::min(range.end, bounds[piece + 1]);
                    if (begin < end) {
                        local.push_back({begin - bounds[piece], end - bounds[piece]});
                    }
                }
                stream.Spell(view.substr(bounds[piece], bounds[piece + 1] - bounds[piece]), local,
                             out);
            }
            stream.Finish(out);
            ASSERT_EQ(U8(out), U8(whole)) << "cut at " << cut << " and " << second;
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
    const auto speller = GreekSpeller::FromHunspellFile(path);
    ASSERT_NE(speller, nullptr);
    EXPECT_GE(speller->WordCount(), 2u);
    EXPECT_EQ(U8(speller->Spell(U16("καλιμερα αθινα"))),
              "καλημέρα Αθήνα");  // a name keeps its capital
    EXPECT_EQ(GreekSpeller::FromHunspellFile(::testing::TempDir() + "/missing.dic"), nullptr);
}

TEST(GreekSpeller, EverydaySentencesWithDebiansDictionary) {
    const auto speller = GreekSpeller::FromHunspellFile(GreekSpeller::kHunspellGreek);
    if (speller == nullptr) {
        if (std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true") {
            FAIL() << "hunspell-el is not installed";
        }
        GTEST_SKIP() << "hunspell-el is not installed: the real dictionary is not checked";
    }
    const std::pair<const char*, const char*> sentences[] = {
        {"Καλιμερα τι κανεις?", "Καλημέρα τι κάνεις;"},
        {"Πως εισαι?", "Πώς είσαι;"},
        {"ευχαριστω πολι", "ευχαριστώ πολύ"},
        {"θα ερθω αυριο το πρωι", "θα έρθω αύριο το πρωί"},
        {"ΚΑΛΙΣΠΕΡΑ", "ΚΑΛΗΣΠΕΡΑ"},
    };
    for (const auto& [typed, spelled] : sentences) {
        EXPECT_EQ(U8(speller->Spell(U16(typed))), spelled);
    }
}

}  // namespace
}  // namespace bivano
