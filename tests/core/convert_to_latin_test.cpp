// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/convert_to_latin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "all_options.h"
#include "core/lativo/conversion_run.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

std::u16string Latin(std::u16string_view source, const ConversionOptions& options = {}) {
    SilentProgress progress;
    return ConvertToLatin(source, options, u"", progress);
}

ConversionOptions With(XiForm xi) {
    return {xi};
}
ConversionOptions With(ThetaForm theta) {
    return {.theta = theta};
}
ConversionOptions With(PsiForm psi) {
    return {.psi = psi};
}
ConversionOptions With(OmegaForm omega) {
    return {.omega = omega};
}

struct Sample {
    const char* name;
    const char* source;
    ConversionOptions options;
    const char* expected;
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.name;
}

class LatinSamples : public ::testing::TestWithParam<Sample> {};

TEST_P(LatinSamples, ConvertsAsDesigned) {
    const Sample& sample = GetParam();
    SilentProgress progress;
    const std::u16string result =
        ConvertToLatin(U16(sample.source), sample.options, u"CREDIT", progress);
    EXPECT_EQ(U8(result), U8(U16(sample.expected) + std::u16string(kTail) + u"CREDIT"));
}

INSTANTIATE_TEST_SUITE_P(
    Words, LatinSamples,
    ::testing::Values(
        Sample{"XenosKS", "ΞΕΝΟΣ", With(XiForm::XiKS), "KsENOS"},
        Sample{"XenosJ", "ΞΕΝΟΣ", With(XiForm::XiJ), "JENOS"},
        Sample{"Xenos3", "ΞΕΝΟΣ", With(XiForm::Xi3), "3ENOS"},
        Sample{"SmallXi", "ξ ξ", With(XiForm::XiJ), "j j"},
        Sample{"SmallXiKS", "ξένος", With(XiForm::XiKS), "ksenos"},
        Sample{"Thalassa8", "θάλασσα", With(ThetaForm::Theta8), "8alassa"},
        Sample{"ThalassaU", "θάλασσα", With(ThetaForm::ThetaU), "ualassa"},
        Sample{"ThalassaTH", "θάλασσα", With(ThetaForm::ThetaTH), "thalassa"},
        Sample{"CapitalTheta", "ΘΑ ΘΑ", With(ThetaForm::ThetaTH), "ThA ThA"},
        Sample{"CapitalThetaU", "Θ", With(ThetaForm::ThetaU), "U"},
        Sample{"PsychiC", "ψυχή", With(PsiForm::PsiC), "cyxh"},
        Sample{"PsychiPS", "ψυχή", With(PsiForm::PsiPS), "psyxh"},
        Sample{"CapitalPsi", "ΨΥΧΗ", With(PsiForm::PsiPS), "PsYXH"},
        Sample{"OraV", "Ώρα", With(OmegaForm::OmegaV), "Vra"},
        Sample{"OraW", "ώρα", With(OmegaForm::OmegaW), "wra"},
        Sample{"OmegaV", "Ωω ώ", With(OmegaForm::OmegaV), "Vv v"},
        Sample{"Logos", "λόγος", {}, "logos"}, Sample{"Diaeresis", "ϊ ΰ ΐ ϋ", {}, "i y i y"},
        Sample{"CapitalDiaeresis", "Ϊ Ϋ", {}, "I Y"},
        Sample{"AsciiUnchanged", "abc 123 ;.!", {}, "abc 123 ;.!"},
        Sample{"EtaIsH", "Ηη Ήή", {}, "Hh Hh"},
        Sample{"Accented", "Ά Έ Ί Ό Ύ ά έ ί ό ύ", {}, "A E I O Y a e i o y"},
        Sample{"WholeCapitals", "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ", {}, "ABGDEZH8IKLMN3OPRSTYFXCW"},
        Sample{"WholeSmall", "αβγδεζηθικλμνξοπρσςτυφχψω", {}, "abgdezh8iklmn3oprsstyfxcw"},
        Sample{"BareMarksAndOthers", "΄΅·«»€ Ж", {}, "΄΅·«»€ Ж"},
        Sample{"LineBreaksAndTabs", "α\r\nβ\tγ \n", {}, "a\r\nb\tg \n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertToLatin, EmptySourceGivesTailOnly) {
    RecordingProgress progress;
    const std::u16string result = ConvertToLatin(u"", {}, u"credit", progress);
    EXPECT_EQ(result, std::u16string(kTail) + u"credit");
    const std::vector<Call> expected = {Clear(), Append(result), Position(0), WindowRepaint()};
    EXPECT_EQ(progress.calls, expected);
}

TEST(ConvertToLatin, ReportsEveryCharacterInOrder) {
    RecordingProgress progress;
    const ConversionOptions options{.theta = ThetaForm::ThetaTH};
    const std::u16string result = ConvertToLatin(u"θα!", options, u"c", progress);
    const std::vector<Call> expected = {
        Clear(),       Maximum(3),     Position(1),
        Append(u"th"), Position(2),    Append(u"a"),
        Position(3),   Append(u"!"),   Append(std::u16string(kTail) + u"c"),
        Position(0),   WindowRepaint()};
    EXPECT_EQ(progress.calls, expected);
    EXPECT_EQ(result, u"tha!" + std::u16string(kTail) + u"c");
}

TEST(ConvertToLatin, SourceEndingInLineBreakGetsFiveBreaks) {
    EXPECT_EQ(Latin(u"α\r\n"), u"a\r\n\r\n\r\n\r\n\r\n");
}

TEST(ConvertToLatin, LoneSurrogatesAreCopied) {
    const std::u16string source = {u'α', char16_t(0xD800), u'β', char16_t(0xDC00)};
    EXPECT_EQ(Latin(source), std::u16string({u'a', char16_t(0xD800), u'b', char16_t(0xDC00)}) +
                                 std::u16string(kTail));
}

TEST(ConvertToLatin, OptionsMatterOnlyForTheirLetters) {
    const std::u16string plain = U16("Καλημέρα σας, τι κάνετε; Όλα καλά. 1984\r\n");
    const std::u16string reference = Latin(plain);
    for (const ConversionOptions& options : AllOptions()) {
        EXPECT_EQ(Latin(plain, options), reference);
    }
}

TEST(ConvertToLatin, EachGroupChangesOnlyItsOwnLetters) {
    // Changing one choice changes exactly the letters of that choice.
    const std::u16string source = U16("ξΞ θΘ ψΨ ωΩώΏ");
    const ConversionOptions base;
    EXPECT_EQ(Latin(source, base), U16("33 88 cC wWwW") + std::u16string(kTail));
    EXPECT_EQ(Latin(source, {.xi = XiForm::XiKS}), U16("ksKs 88 cC wWwW") + std::u16string(kTail));
    EXPECT_EQ(Latin(source, {.theta = ThetaForm::ThetaU}),
              U16("33 uU cC wWwW") + std::u16string(kTail));
    EXPECT_EQ(Latin(source, {.psi = PsiForm::PsiPS}),
              U16("33 88 psPs wWwW") + std::u16string(kTail));
    EXPECT_EQ(Latin(source, {.omega = OmegaForm::OmegaV}),
              U16("33 88 cC vVvV") + std::u16string(kTail));
    EXPECT_EQ(Latin(source, {XiForm::XiJ, ThetaForm::ThetaTH, PsiForm::PsiPS, OmegaForm::OmegaV}),
              U16("jJ thTh psPs vVvV") + std::u16string(kTail));
}

TEST(ConvertToLatin, TwoLetterFormsOnlyUnderTheirChoice) {
    const ConversionOptions pairs{XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS};
    EXPECT_EQ(TwoLetterForm(u'ξ', pairs), u"ks");
    EXPECT_EQ(TwoLetterForm(u'Ξ', pairs), u"Ks");
    EXPECT_EQ(TwoLetterForm(u'θ', pairs), u"th");
    EXPECT_EQ(TwoLetterForm(u'Θ', pairs), u"Th");
    EXPECT_EQ(TwoLetterForm(u'ψ', pairs), u"ps");
    EXPECT_EQ(TwoLetterForm(u'Ψ', pairs), u"Ps");
    EXPECT_TRUE(TwoLetterForm(u'α', pairs).empty());
    EXPECT_TRUE(TwoLetterForm(u'ξ', {}).empty());
    EXPECT_TRUE(TwoLetterForm(u'Θ', {.theta = ThetaForm::ThetaU}).empty());
}

TEST(ConvertToLatin, LongSourceReachesMaximumAndRepaintsNowAndThen) {
    const std::size_t length = 3 * kLatinRepaintInterval + 5;
    const std::u16string source(length, u'λ');
    RecordingProgress progress;
    const std::u16string result = ConvertToLatin(source, {}, u"", progress);
    EXPECT_EQ(result, std::u16string(length, u'l') + std::u16string(kTail));

    std::int32_t last_position = 0;
    int result_repaints = 0;
    for (std::size_t i = 0; i < progress.calls.size(); ++i) {
        const Call& call = progress.calls[i];
        if (call.kind == Kind::SetPosition && call.value != 0) {
            EXPECT_EQ(call.value, last_position + 1);
            last_position = call.value;
        }
        if (call.kind == Kind::RepaintResult) {
            ++result_repaints;
            EXPECT_EQ(progress.calls[i - 1].kind, Kind::RepaintProgress);
            EXPECT_EQ(progress.calls[i - 2].kind, Kind::AppendResult);
        }
    }
    EXPECT_EQ(last_position, static_cast<std::int32_t>(length));
    EXPECT_EQ(result_repaints, 3);
    EXPECT_EQ(progress.calls[1], Maximum(static_cast<std::int32_t>(length)));
}

}  // namespace
}  // namespace bivano

namespace bivano::internal {
namespace {

TEST(ProgressScale, SourcesBeyondTheCounterRangeAreReportedInProportion) {
    const std::size_t fits = 2'147'483'647u;
    EXPECT_EQ(ProgressScale(fits)(fits), 2'147'483'647);
    EXPECT_EQ(ProgressScale(fits)(12345), 12345);
    // The lengths a 32-bit size_t (i386, WebAssembly) cannot hold are left
    // out there; the longest it holds is not.
    for (const std::uint64_t wanted :
         {std::uint64_t{fits} + 1, std::uint64_t{5'000'000'000u}, std::uint64_t{1} << 40,
          std::uint64_t{std::numeric_limits<std::size_t>::max()}}) {
        if (wanted > std::numeric_limits<std::size_t>::max()) {
            continue;
        }
        const auto length = static_cast<std::size_t>(wanted);
        const ProgressScale scale(length);
        const std::int32_t maximum = scale(length);
        EXPECT_GT(maximum, 1'000'000'000) << length;  // still fine-grained
        EXPECT_LE(scale(length - 1), maximum);
        EXPECT_EQ(scale(0), 0);
        EXPECT_LE(scale(length / 2), maximum / 2 + 1);
    }
}

}  // namespace
}  // namespace bivano::internal
