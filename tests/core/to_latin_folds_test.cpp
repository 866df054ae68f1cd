// SPDX-License-Identifier: GPL-3.0-or-later
// "Lativo" reads every Greek letter of Unicode, not only the code page's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "all_options.h"
#include "core/encoding/cp1253.h"
#include "core/lativo/convert_to_latin.h"
#include "core/lativo/to_latin_folds.h"
#include "recording_progress.h"
#include "run_invariants.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::u16string Latin(std::u16string_view source, const ConversionOptions& options = {}) {
    SilentProgress progress;
    std::u16string result = ConvertToLatin(source, options, u"", progress);
    result.resize(result.size() - kTail.size());
    return result;
}

struct FoldSample {
    const char* name;
    const char* source;
    ConversionOptions options;
    const char* expected;
};

void PrintTo(const FoldSample& sample, std::ostream* out) {
    *out << sample.name;
}

class FoldSamples : public ::testing::TestWithParam<FoldSample> {};

TEST_P(FoldSamples, ConvertAsTheirLetter) {
    const FoldSample& sample = GetParam();
    EXPECT_EQ(U8(Latin(U16(sample.source), sample.options)), sample.expected);
}

constexpr ConversionOptions kLong{XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS,
                                  OmegaForm::OmegaV};

INSTANTIATE_TEST_SUITE_P(
    Letters, FoldSamples,
    ::testing::Values(
        FoldSample{"Polytonic", "ἄνθρωπος", {}, "an8rwpos"},
        FoldSample{"PolytonicLong", "ἄνθρωπος", kLong, "anthrvpos"},
        FoldSample{"Subscripts", "ᾄ ᾠδή ῥ Ῥ", {}, "a wdh r R"},
        FoldSample{"CapitalsKeepCase", "ἈΘΗΝᾼ Ὠ", {}, "A8HNA W"},
        FoldSample{"DiaeresisWithAccents", "ῒ ΐ ῢ", {}, "i i y"},
        FoldSample{"Variants", "ϐ ϑ ϕ ϖ ϰ ϱ ϲ ϵ ϴ", {}, "b 8 f p k r s e 8"},
        FoldSample{"VariantsFollowOptions", "ϑϴ", kLong, "thTh"},
        FoldSample{"SignsAsTheirEquivalents", "Ναι; ναι·", {}, "Nai; nai·"},
        FoldSample{"ArchaicLetters", "ϛ Ϝ ϙ ϗ", {}, "st W q kai"},
        FoldSample{"CombiningAccent", "α\u0301λλα", {}, "alla"},
        FoldSample{"SeveralMarks", "ι\u0308\u0301 Ω\u0313\u0345", kLong, "i V"},
        FoldSample{"MarksAfterFoldedLetter", "ἀ\u0301", {}, "a"},
        FoldSample{"MarksAfterOthersStay", "e\u0301 \u0301 3\u0308", {}, "e\u0301 \u0301 3\u0308"},
        FoldSample{"MarkAfterSignStays", "; \u0301", {}, "; \u0301"}));

// Every letter of Unicode's Greek blocks but the Coptic ones, as Unicode 14
// lists them (general category L).
constexpr std::pair<char16_t, char16_t> kGreekLetters[] = {
    {0x0370, 0x0374}, {0x0376, 0x0377}, {0x037A, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386},
    {0x0388, 0x038A}, {0x038C, 0x038C}, {0x038E, 0x03A1}, {0x03A3, 0x03E1}, {0x03F0, 0x03F5},
    {0x03F7, 0x03FF}, {0x1F00, 0x1F15}, {0x1F18, 0x1F1D}, {0x1F20, 0x1F45}, {0x1F48, 0x1F4D},
    {0x1F50, 0x1F57}, {0x1F59, 0x1F59}, {0x1F5B, 0x1F5B}, {0x1F5D, 0x1F5D}, {0x1F5F, 0x1F7D},
    {0x1F80, 0x1FB4}, {0x1FB6, 0x1FBC}, {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FC4}, {0x1FC6, 0x1FCC},
    {0x1FD0, 0x1FD3}, {0x1FD6, 0x1FDB}, {0x1FE0, 0x1FEC}, {0x1FF2, 0x1FF4}, {0x1FF6, 0x1FFC}};

bool IsGreekLetter(char16_t c) {
    for (const auto& [first, last] : kGreekLetters) {
        if (c >= first && c <= last) {
            return true;
        }
    }
    return false;
}

struct FoldOfSample {
    const char* name;
    char16_t character;
    const char* fold;  // UTF-8; nullptr for none
};

void PrintTo(const FoldOfSample& sample, std::ostream* out) {
    *out << sample.name;
}

class FoldsOf : public ::testing::TestWithParam<FoldOfSample> {};

TEST_P(FoldsOf, Character) {
    const FoldOfSample& sample = GetParam();
    const auto fold = internal::GreekFold(sample.character);
    if (sample.fold == nullptr) {
        EXPECT_FALSE(fold.has_value()) << U8(std::u16string(*fold));
    } else {
        ASSERT_TRUE(fold.has_value());
        EXPECT_EQ(U8(std::u16string(*fold)), sample.fold);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FoldsOf,
                         ::testing::Values(FoldOfSample{"FirstOfBlock", u'\u0370', "Η"},
                                           FoldOfSample{"ToTwoLetters", u'\u03DB', "στ"},
                                           FoldOfSample{"ToThreeLetters", u'\u03CF', "ΚΑΙ"},
                                           FoldOfSample{"ToLatinLetters", u'\u03F7', "Sh"},
                                           FoldOfSample{"ToNothing", u'\u037A', ""},
                                           FoldOfSample{"Sign", u'\u037E', ";"},
                                           FoldOfSample{"Polytonic", u'\u1F04', "α"},
                                           FoldOfSample{"LastFolded", u'\u1FFD', "´"},
                                           FoldOfSample{"CodePageLetter", u'\u03B1', nullptr},
                                           FoldOfSample{"CopticLetter", u'\u03E2', nullptr},
                                           FoldOfSample{"Unassigned", u'\u1FFF', nullptr},
                                           FoldOfSample{"CombiningMark", u'\u0301', nullptr},
                                           FoldOfSample{"Latin", u'a', nullptr}));

TEST(GreekFold, NoneOutsideTheGreekBlocksNoneLong) {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const auto character = static_cast<char16_t>(c);
        const auto fold = internal::GreekFold(character);
        const bool inside = std::any_of(
            internal::kFoldedBlocks.begin(), internal::kFoldedBlocks.end(), [&](const auto& block) {
                return character >= block.first && character <= block.second;
            });
        ASSERT_TRUE(inside || !fold) << "U+" << std::hex << int(c);
        ASSERT_LE(fold.value_or(u"").size(), 3U) << "U+" << std::hex << int(c);
    }
}

TEST(GreekFold, NoGreekLetterSurvivesUnderAnyOptions) {
    std::u16string every;
    for (char16_t c = 0x370; c < 0x2000; ++c) {
        if (IsGreekLetter(c)) {
            every += c;
            every += u' ';
        }
    }
    for (const ConversionOptions& options : AllOptions()) {
        for (const char16_t c : Latin(every, options)) {
            ASSERT_FALSE(IsGreekLetter(c)) << "U+" << std::hex << int(c) << " survived";
        }
    }
}

TEST(GreekFold, CodePageCharactersKeepTheirOwnRules) {
    // The fold never reaches a character the code page has, Ϊ and ΐ
    // included, nor the bare tonos and dialytika tonos.
    std::u16string code_page;
    for (char16_t c = 0x370; c < 0x400; ++c) {
        if (Cp1253Code(c)) {
            code_page += c;
        }
    }
    EXPECT_EQ(U8(Latin(code_page)),
              "΄΅AEHIOYWiABGDEZH8IKLMN3OPRSTYFXCWIYaehiyabgdezh8iklmn3oprssty"
              "fxcwiyoyw");
}

TEST(GreekFold, DecomposedAndComposedTextsAgree) {
    // NFC and NFD of the same polytonic text.
    const std::u16string composed = u"Ἐν ἀρχῇ ἦν ὁ λόγος, ᾠδὴ Ῥόδου· ΐ ϋ Ώ;";
    const std::u16string decomposed =
        u"Ε\u0313\u0300ν α\u0313ρχη\u0342\u0345 η\u0313\u0342ν ο\u0314 λο\u0301γος, "
        u"ω\u0345\u0313\u0301δη\u0300 Ρ\u0314ο\u0301δου\u0387 ι\u0308\u0301 υ\u0308 Ω\u0301\u037E";
    for (const ConversionOptions& options : AllOptions()) {
        EXPECT_EQ(U8(Latin(composed, options)), U8(Latin(decomposed, options)));
    }
    EXPECT_EQ(U8(Latin(composed)), "En arxh hn o logos, wdh Rodoy· i y W;");
}

TEST(GreekFold, DroppedMarksStillReportTheirPosition) {
    RecordingProgress progress;
    const std::u16string source = u"α\u0301\u0308β";
    const std::u16string result = ConvertToLatin(source, {}, u"c", progress);
    EXPECT_FALSE(RunInvariantBreach(progress, result, source.size(), u"c"));
    EXPECT_EQ(U8(result.substr(0, 2)), "ab");
}

}  // namespace
}  // namespace bivano
