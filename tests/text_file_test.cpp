// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_file.h"

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
    const EncodedText encoded = EncodeTextFile(text);
    EXPECT_EQ(encoded.encoding, TextEncoding::Cp1253);
    EXPECT_EQ(encoded.bytes, bytes);
}

TEST(TextFile, GreekTextIsWrittenAsWindows1253) {
    const EncodedText encoded = EncodeTextFile(U16("Καλημέρα\r\n"));
    EXPECT_EQ(encoded.encoding, TextEncoding::Cp1253);
    EXPECT_EQ(encoded.bytes, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1\r\n");
}

TEST(TextFile, TextOutsideTheCodePageIsWrittenAsUtf8AndReadBack) {
    for (const char* sample : {"Ж and α", "emoji \xF0\x9F\x98\x80", "\xC3\xA9t\xC3\xA9", "ÀΩ"}) {
        const std::u16string text = U16(sample);
        const EncodedText encoded = EncodeTextFile(text);
        EXPECT_EQ(encoded.encoding, TextEncoding::Utf8) << sample;
        EXPECT_EQ(encoded.bytes, sample);
        EXPECT_EQ(DecodeTextFile(encoded.bytes), text) << sample;
    }
}

TEST(TextFile, LoneSurrogateBecomesReplacementCharacter) {
    const std::u16string text = {u'a', char16_t(0xD800), u'Ж'};
    const EncodedText encoded = EncodeTextFile(text);
    EXPECT_EQ(encoded.bytes, "a\xEF\xBF\xBD\xD0\x96");
}

TEST(TextFile, ValidUtf8) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));  // a real U+FFFD
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\x80"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

}  // namespace
}  // namespace bivano
