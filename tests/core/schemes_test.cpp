// SPDX-License-Identifier: GPL-3.0-or-later
// The published schemes for Greek in Latin letters, each on its own table
// of examples, and the ways a run and a stream of them must agree.
#include <gtest/gtest.h>

#include <random>

#include "core/lativo/conversion_stream.h"
#include "core/lativo/convert_to_latin.h"
#include "recording_progress.h"
#include "run_invariants.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::u16string Whole(LatinScheme scheme, std::u16string_view text) {
    ConversionOptions options;
    options.scheme = scheme;
    LatinStream stream(options);
    std::u16string out;
    stream.Convert(text, out);
    stream.Finish(out);
    return out;
}

struct Example {
    const char* greek;
    const char* latin;
};

struct SchemeTable {
    const char* name;
    LatinScheme scheme;
    std::vector<Example> examples;
};

void PrintTo(const SchemeTable& table, std::ostream* out) {
    *out << table.name;
}

class Schemes : public ::testing::TestWithParam<SchemeTable> {};

TEST_P(Schemes, WriteTheirExamples) {
    for (const Example& example : GetParam().examples) {
        EXPECT_EQ(U8(Whole(GetParam().scheme, U16(example.greek))), example.latin) << example.greek;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Published, Schemes,
    ::testing::Values(
        SchemeTable{
            "Elot743",
            LatinScheme::Elot743,
            {
                {"Θεσσαλονίκη", "Thessaloniki"},
                {"ΘΕΣΣΑΛΟΝΙΚΗ", "THESSALONIKI"},
                {"Θ. Χ. Ψαράς", "Th. Ch. Psaras"},
                {"ΧΑΝΙΑ Χανιά", "CHANIA Chania"},
                {"σας σου ασπίδα", "sas sou aspida"},
                // The vowels, one letter each but ου.
                {"ηι υ ει οι αι ω ο", "ii y ei oi ai o o"},
                {"ΕΙΡΗΝΗ ΑΙΚΑΤΕΡΙΝΗ", "EIRINI AIKATERINI"},
                // αυ, ευ, ηυ before a vowel, a voiced and a voiceless consonant, the end.
                {"Ευαγγελία αύριο ευχαριστώ αυτός ηύρα ηυξημένος",
                 "Evangelia avrio efcharisto aftos ivra ifximenos"},
                {"Εύβοια ευδοκία αυλή ευζωνος Ευρώπη", "Evvoia evdokia avli evzonos Evropi"},
                {"Πειραιεύς αύξηση εύθυμος ευπρεπής ευφυής αυτί",
                 "Peiraiefs afxisi efthymos efprepis effyis afti"},
                // A diaeresis or a tonos on the first vowel parts the pair.
                {"Μαΐου αϋπνία άυλος καΐκι", "Maiou aypnia aylos kaiki"},
                {"Μπαμπάς Λάμπρος ΜΠΑΜΠΗΣ", "Bampas Lampros BAMPIS"},
                {"Άγγελος αγκαλιά σφίγξ έγχορδος Ντίνος πέντε",
                 "Angelos agkalia sfinx enchordos Ntinos pente"},
                {"ουρανός υιός Ψυχή ώρα", "ouranos yios Psychi ora"},
                {"ἄνθρωπος ϐ", "anthropos v"},
                {"abc 123 Ж", "abc 123 Ж"},
            }},
        SchemeTable{
            "Iso843",
            LatinScheme::Iso843,
            {
                {"Θεσσαλονίκη", "Thessaloníkī"},
                {"ΘΕΣΣΑΛΟΝΙΚΗ", "THESSALONIKĪ"},
                {"ώρα Ώρα ψυχή", "ṓra Ṓra psychī́"},
                // υ is u in the diphthongs, y elsewhere.
                {"αυτός ευχή ουρανός υιός ηύρα Κέρκυρα", "autós euchī́ ouranós uiós īúra Kérkyra"},
                {"Μαΐου αϋπνία ΐ ΰ", "Maḯou aÿpnía ḯ ÿ\u0301"},
                {"Μπαμπάς Άγγελος έγχορδος", "Mpampás Ággelos égchordos"},
                {"σας ς", "sas s"},
            }},
        SchemeTable{"AlaLc",
                    LatinScheme::AlaLc,
                    {
                        {"Αθήνα Φιλοσοφία", "Athēna Philosophia"},
                        {"ΘΕΣΣΑΛΟΝΙΚΗ", "THESSALONIKĒ"},
                        {"Μπάμπης Ντίνος πέντε", "Bampēs Dinos pente"},
                        {"Άγγελος αγκαλιά σφίγξ έγχορδος", "Angelos ankalia sphinx enchordos"},
                        {"αυτός ευχή ουρανός ώρα", "autos euchē ouranos ōra"},
                        {"Μαΐου καΐκι", "Maïou kaïki"},
                    }},
        SchemeTable{"Bgn1962",
                    LatinScheme::Bgn1962,
                    {
                        {"Θεσσαλονίκη ΘΕΣΣΑΛΟΝΙΚΗ", "Thessaloníki THESSALONIKI"},
                        {"Κέρκυρα Χανιά Άγιος Γεώργιος", "Kérkira Khaniá Áyios Yeóryios"},
                        {"Αθήναι Πειραιεύς Εύβοια", "Athínai Piraiévs Évvia"},
                        {"ευχαριστώ αύριο ουρανός", "evkharistó ávrio ouranós"},
                        {"Μπαμπάς Λάμπρος Ντίνος πέντε", "Bambás Lámbros Dínos pénde"},
                        {"Γκαγκάρα αγκαλιά Άγγελος έγχορδος σφίγξ",
                         "Gangára angaliá Ángelos énkhordhos sfínx"},
                        {"Μαΐου καΐκι", "Maḯou kaḯki"},
                    }},
        SchemeTable{"Slug",
                    LatinScheme::Slug,
                    {
                        {"Θεσσαλονίκη, 2024!", "thessaloniki-2024"},
                        {"  Η Θεσσαλονίκη -- και η Αθήνα  ", "i-thessaloniki-kai-i-athina"},
                        {"Θάλασσα\r\nΞένος ψυχή\n", "thalassa\r\nxenos-psychi\n"},
                        {"Café Ωμέγα", "caf-omega"},
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// Texts thick with what the schemes read across letters.
std::u16string SchemeRichText(std::mt19937& random, std::size_t length) {
    static const std::u16string pieces[] = {
        u"αυ",      u"ευ", u"ηυ", u"ου", u"αύ", u"άυ",   u"αϋ", u"μπ", u"ΜΠ", u"ντ", u"γκ", u"γγ",
        u"γχ",      u"γξ", u"ει", u"οι", u"υι", u"ς",    u"σ",  u"Θ",  u"θ",  u"ψ",  u"ΐ",  u"ώ",
        u"ι\u0301", u"ἄ",  u"ϛ",  u" ",  u", ", u"\r\n", u"x",  u"9",  u"Ж",  u"-"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::u16string text;
    while (text.size() < length) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(Schemes, StreamsGiveTheWholeTextsResultAtEveryCut) {
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        const std::u16string text = SchemeRichText(random, 200);
        for (const LatinScheme scheme : kAllSchemes) {
            const std::u16string whole = Whole(scheme, text);
            ConversionOptions options;
            options.scheme = scheme;
            LatinStream stream(options);
            std::u16string pieces;
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t size = 1 + random() % 7;
                stream.Convert(std::u16string_view(text).substr(at, size), pieces);
                at += size;
            }
            stream.Finish(pieces);
            ASSERT_EQ(pieces, whole) << SchemeName(scheme) << " on " << U8(text);
        }
    }
}

TEST(Schemes, WindowRunsKeepTheProgressProtocolAndMatchTheStream) {
    std::mt19937 random(5);
    const std::u16string text = SchemeRichText(random, 3 * kLatinRepaintInterval + 17);
    for (const LatinScheme scheme : kAllSchemes) {
        ConversionOptions options;
        options.scheme = scheme;
        RecordingProgress progress;
        const std::u16string result = ConvertToLatin(text, options, u"credit", progress);
        EXPECT_EQ(RunInvariantBreach(progress, result, text.size(), u"credit"), std::nullopt)
            << SchemeName(scheme);
        EXPECT_EQ(result, Whole(scheme, text) + std::u16string(kTail) + u"credit")
            << SchemeName(scheme);
    }
}

TEST(Schemes, TheFourChoicesSteerLativoOnly) {
    ConversionOptions choices{XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS, OmegaForm::OmegaV};
    choices.scheme = LatinScheme::Elot743;
    LatinStream stream(choices);
    std::u16string out;
    stream.Convert(u"ξθψω", out);
    stream.Finish(out);
    EXPECT_EQ(out, u"xthpso");
}

// A "word" with no end (letters and marks without a break) is held back
// only up to 65,536 letters: the output keeps up with the pieces, and
// nothing is lost or doubled.
TEST(Schemes, AWordWithoutEndNeverPilesUp) {
    struct Case {
        const char* name;
        std::u16string unit;  // repeated to make the word
        std::u16string latin_unit;
    };
    const std::vector<Case> cases = {
        {"letters", u"α", u"a"},
        {"letters with a mark", u"ά", u"a"},
        {"letter and combining mark", u"α\u0301", u"a"},
    };
    constexpr std::size_t kUnits = 200'000;
    constexpr std::size_t kPiece = 4096;
    for (const Case& test : cases) {
        std::u16string text;
        for (std::size_t i = 0; i < kUnits; ++i) {
            text += test.unit;
        }
        ConversionOptions options;
        options.scheme = LatinScheme::Elot743;
        LatinStream stream(options);
        std::u16string out;
        std::size_t fed = 0;
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::u16string_view piece = std::u16string_view(text).substr(at, kPiece);
            stream.Convert(piece, out);
            fed += piece.size();
            // What is held back is at most the longest word and one piece.
            ASSERT_LE(fed / test.unit.size() - out.size() / test.latin_unit.size(),
                      (std::size_t{1} << 16) + kPiece)
                << test.name << " after " << fed;
        }
        stream.Finish(out);
        std::u16string expected;
        for (std::size_t i = 0; i < kUnits; ++i) {
            expected += test.latin_unit;
        }
        EXPECT_EQ(out, expected) << test.name;
    }
}

TEST(Schemes, NamesReadBack) {
    for (const LatinScheme scheme : kAllSchemes) {
        EXPECT_EQ(SchemeFromName(SchemeName(scheme)), scheme);
    }
    EXPECT_EQ(SchemeFromName("ELOT743"), std::nullopt);  // the command line lowers it first
    EXPECT_EQ(SchemeFromName("elot"), std::nullopt);
}

}  // namespace
}  // namespace bivano
