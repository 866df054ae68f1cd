// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/encoding.h"

#include <gtest/gtest.h>

namespace bivano {
namespace {

TEST(Encoding, NamesInAnyCaseAndTheirUsualSpellings) {
    const std::pair<const char*, std::optional<Encoding>> rows[] = {
        {"UTF-8", Encoding::Utf8},          {"utf8", Encoding::Utf8},
        {"utf-16", Encoding::Utf16LE},      {"UTF-16BE", Encoding::Utf16BE},
        {"windows-1253", Encoding::Cp1253}, {"CP1253", Encoding::Cp1253},
        {"ISO8859-7", Encoding::Iso8859_7}, {"iso-8859-7", Encoding::Iso8859_7},
        {"koi8-r", std::nullopt},           {"", std::nullopt},
        {"utf-8 ", std::nullopt},           {"ISO8859-1", std::nullopt},
    };
    for (const auto& [name, encoding] : rows) {
        EXPECT_EQ(EncodingFromName(name), encoding) << name;
    }
}

TEST(Encoding, EveryNameReadsBackAndMarksOnlyForUnicode) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE,
                                    Encoding::Cp1253, Encoding::Iso8859_7}) {
        EXPECT_EQ(EncodingFromName(EncodingName(encoding)), encoding) << EncodingName(encoding);
    }
    EXPECT_EQ(ByteOrderMark(Encoding::Utf8), "\xEF\xBB\xBF");
    EXPECT_EQ(ByteOrderMark(Encoding::Utf16BE), "\xFE\xFF");
    EXPECT_TRUE(ByteOrderMark(Encoding::Cp1253).empty());
}

}  // namespace
}  // namespace bivano
