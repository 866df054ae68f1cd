// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_file.h"

#include <gtest/gtest.h>

#include "recording_progress.h"

namespace bivano {
namespace {

using testing::U16;

struct DecodeCase {
    const char* name;
    std::string bytes;
    const char* text;
};

class DecodeTextFileCases : public ::testing::TestWithParam<DecodeCase> {};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

TEST_P(DecodeTextFileCases, ReadsTheRightEncoding) {
    EXPECT_EQ(DecodeTextFile(GetParam().bytes), U16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeTextFileCases,
    ::testing::Values(DecodeCase{"Empty", "", ""}, DecodeCase{"Ascii", "abc\r\n", "abc\r\n"},
                      DecodeCase{"Cp1253", "\xE1\xE2\xE3 \xC1\xDC", "αβγ Αά"},
                      DecodeCase{"Utf8", "\xCE\xB1\xCE\xB2 \xE2\x82\xAC", "αβ €"},
                      DecodeCase{"Utf8WithMark", "\xEF\xBB\xBF\xCE\xB1x", "αx"},
                      DecodeCase{"MarkOnly", "\xEF\xBB\xBF", ""},
                      DecodeCase{"Utf8FourBytes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
                      // Windows-1253 bytes that happen to look like a UTF-8 lead byte.
                      DecodeCase{"Cp1253NotUtf8", "\xCE\xE1", "Ξα"},
                      DecodeCase{"TruncatedUtf8IsCp1253", "a\xCE", "aΞ"},
                      DecodeCase{"OverlongIsCp1253", "\xC0\xAF", "ΐ―"},
                      DecodeCase{"EncodedSurrogateIsCp1253", "\xED\xA0\x80", "ν\u00A0€"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFile, EveryByteSurvivesAWindows1253RoundTrip) {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.push_back(static_cast<char>(byte));
    }
    const std::u16string text = DecodeTextFile(bytes);
    ASSERT_EQ(text.size(), 256u);
    const std::string encoded = EncodeTextFile(text);
    EXPECT_EQ(encoded, bytes);
}

TEST(TextFile, GreekTextIsWrittenAsWindows1253) {
    const std::string encoded = EncodeTextFile(U16("Καλημέρα\r\n"));
    EXPECT_EQ(encoded, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\r\n");
}

TEST(TextFile, TextOutsideTheCodePageIsWrittenAsUtf8AndReadBack) {
    for (const char* sample : {"Ж and α", "emoji \xF0\x9F\x98\x80", "\xC3\xA9t\xC3\xA9", "ÀΩ"}) {
        const std::u16string text = U16(sample);
        const std::string encoded = EncodeTextFile(text);
        EXPECT_EQ(encoded, sample);
        EXPECT_EQ(DecodeTextFile(encoded), text) << sample;
    }
}

TEST(TextFile, LoneSurrogateBecomesReplacementCharacter) {
    const std::u16string text = {u'a', char16_t(0xD800), u'Ж'};
    const std::string encoded = EncodeTextFile(text);
    EXPECT_EQ(encoded, "a\xEF\xBF\xBD\xD0\x96");
}

TEST(TextFile, OnlyWellFormedUtf8IsJudgedUtf8) {
    EXPECT_EQ(DetectEncoding("\xEF\xBF\xBD").encoding, Encoding::Utf8);  // a real U+FFFD
    EXPECT_EQ(DetectEncoding("\xF4\x8F\xBF\xBF").encoding, Encoding::Utf8);
    EXPECT_EQ(DetectEncoding("\xF4\x90\x80\x80").encoding, Encoding::Cp1253);  // above U+10FFFF
    EXPECT_EQ(DetectEncoding("\xE0\x80\x80").encoding, Encoding::Cp1253);      // overlong
    EXPECT_EQ(DetectEncoding("\x80").encoding, Encoding::Cp1253);
}

}  // namespace
}  // namespace bivano
