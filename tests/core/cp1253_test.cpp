// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/cp1253.h"

#include <gtest/gtest.h>

namespace bivano {
namespace {

TEST(Cp1253, KnownCodes) {
    const std::pair<char16_t, int> known[] = {
        {u'A', 65},  {u' ', 32},  {u'Α', 193}, {u'Ρ', 209}, {u'Σ', 211}, {u'Ω', 217},
        {u'Ϊ', 218}, {u'Ϋ', 219}, {u'ά', 220}, {u'ΰ', 224}, {u'α', 225}, {u'ς', 242},
        {u'σ', 243}, {u'ω', 249}, {u'ϊ', 250}, {u'ώ', 254}, {u'Ά', 162}, {u'Έ', 184},
        {u'Ό', 188}, {u'Ώ', 191}, {u'ΐ', 192}, {u'€', 128}, {u'΄', 180}, {u'΅', 161},
    };
    for (const auto& [character, code] : known) {
        ASSERT_TRUE(Cp1253Code(character).has_value()) << int(character);
        EXPECT_EQ(*Cp1253Code(character), code) << int(character);
    }
    for (char16_t missing : {u'Ж', u'\u0081', u'\uF8FA', char16_t(0xD800), u'\u00C0'}) {
        EXPECT_FALSE(Cp1253Code(missing).has_value()) << int(missing);
    }
}

TEST(Cp1253, EveryByteSurvivesDecodeAndEncode) {
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = Cp1253Decode(static_cast<std::uint8_t>(byte));
        const auto back = Cp1253Encode(character);
        ASSERT_TRUE(back.has_value()) << byte;
        EXPECT_EQ(*back, byte);
    }
}

TEST(Cp1253, StrictCodeAgreesWithDecodeOnDefinedBytes) {
    int defined = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = Cp1253Decode(static_cast<std::uint8_t>(byte));
        if (const auto code = Cp1253Code(character)) {
            EXPECT_EQ(*code, byte);
            ++defined;
        }
    }
    EXPECT_EQ(defined, 256 - 17);  // the code page leaves 17 bytes undefined
}

TEST(Cp1253, EncodeRefusesCharactersNoByteDecodesTo) {
    for (char16_t character : {u'Ж', u'\u0100', char16_t(0xD800), u'\uFFFF', u'\u00C0'}) {
        EXPECT_FALSE(Cp1253Encode(character).has_value()) << int(character);
    }
}

}  // namespace
}  // namespace bivano
