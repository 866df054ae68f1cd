// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_names.h"

#include <gtest/gtest.h>

namespace bivano::cli {
namespace {

TEST(FileNames, EveryByteStringComesBackExactly) {
    const std::string rows[] = {
        "plain.txt",
        "θάλασσα.txt",
        "x\xFF.txt",
        "\xE1\xE2\xE3",  // Windows-1253
        "\xCE",
        "\xC0\xAF",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",
        "emoji \xF0\x9F\x98\x80",
        "\xF0\x9F\x98",
        "a\x80"
        "b",
        "",
    };
    for (const std::string& bytes : rows) {
        EXPECT_EQ(BytesFromArgument(ArgumentFromBytes(bytes)), bytes) << bytes;
    }
}

TEST(FileNames, WellFormedUtf8ReadsAsItsText) {
    EXPECT_EQ(ArgumentFromBytes("θ.txt"), QStringLiteral("θ.txt"));
    EXPECT_EQ(ArgumentFromBytes("x\xFF"), QString(QChar(u'x')) + QChar(char16_t{0xDCFF}));
    // A real character next to an escaped byte stays itself.
    const QString emoji_and_byte = QString::fromUtf8("\xF0\x9F\x98\x80") + QChar(char16_t{0xDC80});
    EXPECT_EQ(BytesFromArgument(emoji_and_byte), "\xF0\x9F\x98\x80\x80");
}

}  // namespace
}  // namespace bivano::cli
