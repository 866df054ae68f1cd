// SPDX-License-Identifier: GPL-3.0-or-later
// Encodings judged and decoded as Open does, in pieces of any size.
#include "core/encoding/text_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

struct DetectCase {
    const char* name;
    std::string bytes;
    Encoding encoding;
    std::size_t mark_length;
    const char* text;  // as UTF-8
};

void PrintTo(const DetectCase& sample, std::ostream* out) {
    *out << sample.name;
}

class Detection : public ::testing::TestWithParam<DetectCase> {};

std::u16string DecodeInPieces(std::string_view bytes, std::size_t piece, TextDecoder decoder) {
    std::u16string text;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        decoder.Decode(bytes.substr(at, piece), text);
    }
    decoder.Finish(text);
    return text;
}

TEST_P(Detection, JudgesAndDecodesWholeOrInPieces) {
    const DetectCase& sample = GetParam();
    const DetectedEncoding detected = DetectEncoding(sample.bytes);
    EXPECT_EQ(detected.encoding, sample.encoding);
    EXPECT_EQ(detected.mark_length, sample.mark_length);
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4096}}) {
        EXPECT_TRUE(DecodeInPieces(sample.bytes, piece, TextDecoder()) == U16(sample.text))
            << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Detection,
    ::testing::Values(
        DetectCase{"Ascii", "abc\r\n", Encoding::Cp1253, 0, "abc\r\n"},
        DetectCase{"Cp1253", "\xC1\xE8\xDE\xED\xE1", Encoding::Cp1253, 0, "Αθήνα"},
        DetectCase{"Cp1253CapitalAlphaTonos", "\xA2\xED\xE8\xF1\xF9\xF0\xEF\xF2 \xB6",
                   Encoding::Cp1253, 0, "Άνθρωπος ¶"},
        DetectCase{"Iso8859_7", "\xB6\xED\xE8\xF1\xF9\xF0\xEF\xF2", Encoding::Iso8859_7, 0,
                   "Άνθρωπος"},
        DetectCase{"PilcrowAloneStaysCp1253", "see \xB6 3", Encoding::Cp1253, 0, "see ¶ 3"},
        DetectCase{"BothUsedAsLettersIsCp1253", "\xA2\xED \xB6\xED", Encoding::Cp1253, 0, "Άν ¶ν"},
        DetectCase{"Utf8", "\xCE\xB1\xCE\xB2 ok", Encoding::Utf8, 0, "αβ ok"},
        DetectCase{"Utf8Mark", "\xEF\xBB\xBFx", Encoding::Utf8, 3, "x"},
        DetectCase{"Utf8Emoji", "\xF0\x9F\x98\x80", Encoding::Utf8, 0, "\xF0\x9F\x98\x80"},
        DetectCase{"InvalidUtf8IsCp1253", "\xCE\xB1\xFF", Encoding::Cp1253, 0, "Ξ±\uF8FB"},
        DetectCase{"Utf16LE", std::string("\xFF\xFE\xB1\x03\x0D\x00\x0A\x00", 8), Encoding::Utf16LE,
                   2, "α\r\n"},
        DetectCase{"Utf16BE", std::string("\xFE\xFF\x03\xB1\x00z", 6), Encoding::Utf16BE, 2, "αz"},
        DetectCase{"OnlyAMark", "\xFF\xFE", Encoding::Utf16LE, 2, ""},
        DetectCase{"Empty", "", Encoding::Cp1253, 0, ""}));

TEST(TextDecoder, JudgesFromTheBytesAfterALongAsciiStart) {
    // ASCII passes at once; the first byte above it starts the sample.
    const std::string bytes = std::string(3 * 4096, 'a') + "\xCE\xB1" + std::string(10, 'b');
    EXPECT_EQ(U8(DecodeInPieces(bytes, 1000, TextDecoder())),
              std::string(3 * 4096, 'a') + "α" + std::string(10, 'b'));
}

TEST(TextDecoder, NamedEncodingsAndMalformedBytes) {
    EXPECT_EQ(U8(DecodeInPieces("\xB6\xE1", 1, TextDecoder(Encoding::Iso8859_7))), "Άα");
    EXPECT_EQ(U8(DecodeInPieces("\xB6\xE1", 1, TextDecoder(Encoding::Cp1253))), "¶α");
    // A malformed byte in UTF-8 keeps its Windows-1253 character; a
    // sequence cut off at the end as well.
    EXPECT_EQ(U8(DecodeInPieces("a\xE1\xCE", 1, TextDecoder(Encoding::Utf8))), "aαΞ");
    // UTF-16 without a mark is little-endian; half a unit at the end is lost.
    EXPECT_EQ(U8(DecodeInPieces(std::string("\xB1\x03z", 3), 2, TextDecoder(Encoding::Utf16LE))),
              "α\uFFFD");
}

TEST(TextEncoder, Utf8InPiecesWithSurrogatePairsAcrossThem) {
    const std::u16string text = u"aα€\U0001F600\xD800x";
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
        TextEncoder encoder(Encoding::Utf8);
        std::string bytes;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            ASSERT_TRUE(encoder.Encode(std::u16string_view(text).substr(at, piece), bytes));
        }
        encoder.Finish(bytes);
        EXPECT_EQ(bytes, "a\xCE\xB1\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBDx")
            << "pieces of " << piece;
    }
}

TEST(TextEncoder, Cp1253RefusesWithLineAndColumn) {
    TextEncoder encoder(Encoding::Cp1253);
    std::string bytes;
    ASSERT_TRUE(encoder.Encode(u"αβ\r\nγ", bytes));
    EXPECT_FALSE(encoder.Encode(u"δ\U0001F600!", bytes));
    EXPECT_EQ(bytes, "\xE1\xE2\r\n\xE3\xE4");
    EXPECT_EQ(encoder.failure().line, 2u);
    EXPECT_EQ(encoder.failure().column, 3u);
    EXPECT_EQ(encoder.failure().character, U'\U0001F600');
}

TEST(TextCodec, RandomBytesRoundTripThroughWindows1253) {
    // Whatever a Windows-1253 file holds reads and writes back byte for byte.
    std::mt19937 random(1253);
    std::string bytes(5000, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    const std::u16string text = DecodeInPieces(bytes, 7, TextDecoder(Encoding::Cp1253));
    TextEncoder encoder(Encoding::Cp1253);
    std::string back;
    ASSERT_TRUE(encoder.Encode(text, back));
    EXPECT_EQ(back, bytes);
}

}  // namespace
}  // namespace bivano
