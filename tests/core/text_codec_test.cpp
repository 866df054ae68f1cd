// SPDX-License-Identifier: GPL-3.0-or-later
// Encodings judged and decoded as Open does, in pieces of any size.
#include "core/encoding/text_codec.h"
#include "core/encoding/text_position.h"

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
    // UTF-8 asked for by name: a malformed byte, and a sequence cut off at
    // the end, each become U+FFFD.
    EXPECT_EQ(U8(DecodeInPieces("a\xE1\xCE", 1, TextDecoder(Encoding::Utf8))), "a\uFFFD\uFFFD");
    // UTF-16 without a mark is little-endian; half a unit at the end is lost.
    EXPECT_EQ(U8(DecodeInPieces(std::string("\xB1\x03z", 3), 2, TextDecoder(Encoding::Utf16LE))),
              "α\uFFFD");
}

// The same bytes are judged alike however they are read: a file in reads
// of 256 KiB, a pipe in reads of 64 KiB, a byte at a time. The sample is
// the 256 KiB from the first byte above ASCII, wherever the reads fall.
TEST(TextDecoder, JudgesTheSameBytesAlikeInPiecesOfAnySize) {
    const std::string greek =
        "\xCE\xB8\xCE\xAC\xCE\xBB\xCE\xB1\xCF\x83\xCF\x83\xCE\xB1";  // θάλασσα
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    const std::size_t kKiB = 1024;
    const Case cases[] = {
        // 0xFF lies past the sample: UTF-8, and the odd byte as Windows-1253.
        {"FFPastTheSample",
         std::string(100 * kKiB, 'a') + greek + std::string(290 * kKiB, 'b') + "\xFF",
         std::u16string(100 * kKiB, u'a') + u"θάλασσα" + std::u16string(290 * kKiB, u'b') +
             u"\uF8FB"},
        // 0xFF inside the sample: Windows-1253 throughout.
        {"FFInTheSample",
         std::string(100 * kKiB, 'a') + greek + std::string(200 * kKiB, 'b') + "\xFF",
         std::u16string(100 * kKiB, u'a') +
             u"\u039E\u0388\u039E\u00AC\u039E\u00BB\u039E\u00B1"
             u"\u039F\u0192\u039F\u0192\u039E\u00B1" +
             std::u16string(200 * kKiB, u'b') + u"\uF8FB"},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t{1}, 64 * kKiB, 256 * kKiB, c.bytes.size()}) {
            EXPECT_TRUE(DecodeInPieces(c.bytes, piece, TextDecoder()) == c.text)
                << c.name << ", pieces of " << piece;
        }
    }
}

struct ExplicitCase {
    const char* name;
    Encoding encoding;
    std::string bytes;
    const char* text;  // as UTF-8
    std::size_t line;  // of the first bad bytes; 0 for none
    std::size_t column;
    std::uint8_t byte;
};

void PrintTo(const ExplicitCase& sample, std::ostream* out) {
    *out << sample.name;
}

class NamedEncodings : public ::testing::TestWithParam<ExplicitCase> {};

// An encoding given by name is never judged again: bad bytes become U+FFFD
// (one for each malformed stretch), never letters of another encoding, and
// the first of them is placed by line and column, in pieces of any size.
TEST_P(NamedEncodings, ReadBadBytesAsReplacementsAndTellWhere) {
    const ExplicitCase& sample = GetParam();
    for (std::size_t piece = 1; piece <= sample.bytes.size() + 1; ++piece) {
        TextDecoder decoder(sample.encoding);
        std::u16string text;
        for (std::size_t at = 0; at < sample.bytes.size(); at += piece) {
            decoder.Decode(std::string_view(sample.bytes).substr(at, piece), text);
        }
        decoder.Finish(text);
        EXPECT_EQ(U8(text), sample.text) << "pieces of " << piece;
        const auto bad = decoder.bad_bytes();
        ASSERT_EQ(bad.has_value(), sample.line != 0) << "pieces of " << piece;
        if (bad) {
            EXPECT_EQ(bad->place.line, sample.line) << "pieces of " << piece;
            EXPECT_EQ(bad->place.column, sample.column) << "pieces of " << piece;
            EXPECT_EQ(bad->byte, sample.byte) << "pieces of " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Decoding, NamedEncodings,
    ::testing::Values(
        ExplicitCase{"Utf8Good", Encoding::Utf8, "ab\xCE\xB1", "abα", 0, 0, 0},
        ExplicitCase{"Utf8OneBadByte", Encoding::Utf8,
                     "ab\xE2"
                     "cd",
                     "ab\uFFFDcd", 1, 3, 0xE2},
        ExplicitCase{"Utf8CutSequenceIsOne", Encoding::Utf8, "a\xE2\x82z", "a\uFFFDz", 1, 2, 0xE2},
        ExplicitCase{"Utf8CutAtTheEnd", Encoding::Utf8, "a\xF0\x9F\x98", "a\uFFFD", 1, 2, 0xF0},
        ExplicitCase{"Utf8OverlongIsTwo", Encoding::Utf8, "\xC0\xAF", "\uFFFD\uFFFD", 1, 1, 0xC0},
        ExplicitCase{"Utf8Surrogate", Encoding::Utf8, "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD", 1, 1,
                     0xED},
        ExplicitCase{"Utf8OnLaterLines", Encoding::Utf8, "α\r\nβ\rγ\nδ\xFF", "α\r\nβ\rγ\nδ\uFFFD",
                     4, 2, 0xFF},
        ExplicitCase{"Utf8ColumnsCountCharacters", Encoding::Utf8, "\xF0\x9F\x98\x80\xCE\xB1\x80",
                     "\U0001F600α\uFFFD", 1, 3, 0x80},
        ExplicitCase{"Utf8MarkSkipped", Encoding::Utf8, "\xEF\xBB\xBFok", "ok", 0, 0, 0},
        ExplicitCase{"Iso8859_7Undefined", Encoding::Iso8859_7, "\xE1\n\xE2\xFF", "α\nβ\uFFFD", 2,
                     2, 0xFF},
        ExplicitCase{"Iso8859_7UndefinedAE", Encoding::Iso8859_7, "\xAE", "\uFFFD", 1, 1, 0xAE},
        ExplicitCase{"Utf16NoMarkIsLittleEndian", Encoding::Utf16LE,
                     std::string("\xB1\x03z\x00", 4), "αz", 0, 0, 0},
        ExplicitCase{"Utf16LittleEndianMark", Encoding::Utf16LE, std::string("\xFF\xFE\xB1\x03", 4),
                     "α", 0, 0, 0},
        ExplicitCase{"Utf16BigEndianMark", Encoding::Utf16LE,
                     std::string("\xFE\xFF\x03\xB1\x00z", 6), "αz", 0, 0, 0},
        ExplicitCase{"Utf16BeNamedLittleEndianMark", Encoding::Utf16BE,
                     std::string("\xFF\xFE\xB1\x03", 4), "α", 0, 0, 0},
        ExplicitCase{"Utf16HalfAUnit", Encoding::Utf16LE, std::string("\xB1\x03z", 3), "α\uFFFD", 1,
                     2, 'z'}));

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

// UTF-8 one character at a time, as the standard writes it.
std::string ReferenceUtf8(std::u16string_view text) {
    std::string bytes;
    const auto append = [&](char32_t code) {
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            append(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            append(0xFFFD);
        } else {
            append(unit);
        }
    }
    return bytes;
}

TEST(TextEncoder, Utf8OfEveryMixAtEveryPlace) {
    // Runs of ASCII and of Greek are written several units at a step: the
    // edges of each width, mixed at random, in pieces of every size from 1
    // to 9 units, give what one character at a time gives.
    const std::u16string units = {u'\0',    u'a',     u'\x7F', u'\x80',   u'\xFF',   u'ά',     u'ω',
                                  u'\x7FF', u'\x800', u'€',    u'\xFFFF', u'\xD83D', u'\xDE00'};
    std::mt19937 random(8);
    for (int round = 0; round < 200; ++round) {
        std::u16string text;
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i) {
            // Long runs of one width, where the wide steps apply.
            const int kind = static_cast<int>(random() % 4);
            text += kind == 0   ? u'a' + static_cast<char16_t>(random() % 26)
                    : kind == 1 ? u'α' + static_cast<char16_t>(random() % 25)
                                : units[random() % units.size()];
        }
        const std::string expected = ReferenceUtf8(text);
        for (std::size_t piece = 1; piece <= 9; ++piece) {
            TextEncoder encoder(Encoding::Utf8);
            std::string bytes;
            for (std::size_t at = 0; at < text.size(); at += piece) {
                ASSERT_TRUE(encoder.Encode(std::u16string_view(text).substr(at, piece), bytes));
            }
            encoder.Finish(bytes);
            ASSERT_EQ(bytes, expected) << "round " << round << ", pieces of " << piece;
        }
    }
}

TEST(TextEncoder, Cp1253RefusesWithLineAndColumn) {
    TextEncoder encoder(Encoding::Cp1253);
    std::string bytes;
    ASSERT_TRUE(encoder.Encode(u"αβ\r\nγ", bytes));
    const Status emoji = encoder.Encode(u"δ\U0001F600!", bytes);
    ASSERT_FALSE(emoji);
    EXPECT_EQ(bytes, "\xE1\xE2\r\n\xE3\xE4");
    EXPECT_EQ(emoji.failure().cause, Cause::NotEncodable);
    EXPECT_EQ(emoji.failure().place.line, 2u);
    EXPECT_EQ(emoji.failure().place.column, 3u);
    EXPECT_EQ(emoji.failure().code, U'\U0001F600');
    // A CR alone ends a line too, as a CR LF does once.
    TextEncoder after_breaks(Encoding::Cp1253);
    const Status zhe = after_breaks.Encode(u"a\rb\r\n\rcd\u0416", bytes);
    ASSERT_FALSE(zhe);
    EXPECT_EQ(zhe.failure().place.line, 4u);
    EXPECT_EQ(zhe.failure().place.column, 3u);
}

// Lines and columns counted a piece at a time (the fast count) agree with
// counting one unit at a time, CR LF and surrogate pairs cut or not; and
// text kept from recent pieces places a character by them.
TEST(TextPosition, PiecesCountAsUnitsDo) {
    std::mt19937 random(21);
    const std::u16string alphabet = u"ab\r\n\n\r\xD83D\xDE00α  ";
    for (int round = 0; round < 200; ++round) {
        std::u16string text;
        for (int k = 0, length = static_cast<int>(random() % 300); k < length; ++k) {
            text.push_back(alphabet[random() % alphabet.size()]);
        }
        TextPosition by_units;
        for (const char16_t unit : text) {
            by_units.Step(unit);
        }
        TextPosition by_pieces;
        RecentText recent(1000);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = 1 + random() % 40;
            by_pieces.Advance(std::u16string_view(text).substr(at, length));
            recent.Add(text.substr(at, length));
            at += length;
        }
        EXPECT_EQ(by_pieces.Next().line, by_units.Next().line) << round;
        EXPECT_EQ(by_pieces.Next().column, by_units.Next().column) << round;
    }
    RecentText recent(2);
    for (const std::u16string piece : {u"x\r\nyy\rz", u"\n\u0416", u"w\nabc\u0416"}) {
        recent.Add(piece);
    }
    const auto on = [&](std::size_t line) {
        const auto place = recent.Find(line, [](char32_t code) { return code == U'\u0416'; });
        return place ? std::make_pair(place->line, place->column)
                     : std::make_pair(std::size_t{0}, std::size_t{0});
    };
    EXPECT_EQ(on(4), std::make_pair(std::size_t{4}, std::size_t{1}));
    EXPECT_EQ(on(5), std::make_pair(std::size_t{5}, std::size_t{4}));
    EXPECT_FALSE(recent.Find(1, [](char32_t code) { return code == U'x'; }));  // no longer kept
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
