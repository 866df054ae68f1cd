// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/layout/greek_keyboard.h"

#include <gtest/gtest.h>

#include <string>

#include "core/encoding/text_codec.h"
#include "core/layout/greek_letters.h"
#include "core/spelling/greek_model.h"

namespace bivano::layout {
namespace {

std::string Utf8(std::u16string_view text) {
    return ToUtf8(text);
}

// Every key of the table gives its letter, and that letter is typed with it
// (Σ, on S and on W, with S).
TEST(GreekKeyboard, EveryKeyBothWays) {
    for (const KeyPair& key : kGreekKeys) {
        const std::u16string latin(1, static_cast<char16_t>(key.latin));
        const std::u16string greek(1, key.greek);
        EXPECT_EQ(Utf8(TypeOnGreekLayout(latin)), Utf8(greek)) << key.latin;
        const std::u16string back = KeysTypedFor(greek);
        EXPECT_EQ(Utf8(back), key.latin == 'W' ? "S" : std::string(1, key.latin)) << key.latin;
        EXPECT_EQ(GreekOfKey(static_cast<char16_t>(key.latin)), key.greek);
    }
}

TEST(GreekKeyboard, TheTableHasEveryLetterKeyWithAndWithoutShift) {
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        EXPECT_NE(GreekOfKey(static_cast<char16_t>(letter)), 0) << letter;
        EXPECT_NE(GreekOfKey(static_cast<char16_t>(letter - 32)), 0) << letter;
    }
    // The dead keys give nothing by themselves, and the other keys are the same.
    for (const char16_t same :
         std::u16string_view(u"0123456789 ,./'\"[]-=`\\!@#$%^&*()_+{}|<>?~")) {
        EXPECT_EQ(GreekOfKey(same), 0) << static_cast<char>(same);
        EXPECT_EQ(Utf8(TypeOnGreekLayout(std::u16string(1, same))),
                  std::string(1, static_cast<char>(same)));
    }
}

// The accent (;) and the diaeresis (:) on every letter that takes them, in
// both orders for both, and back.
TEST(GreekKeyboard, DeadKeysBothWays) {
    for (const DeadKeyLetters& letters : kDeadKeyLetters) {
        const char16_t key = static_cast<char16_t>(LatinKeyOf(letters.plain));
        ASSERT_NE(key, 0);
        const struct {
            std::u16string keys;
            char16_t letter;
        } cases[] = {
            {std::u16string(u";") + key, letters.acute},
            {std::u16string(u":") + key, letters.diaeresis},
            {std::u16string(u";:") + key, letters.both},
            {std::u16string(u":;") + key, letters.both},
        };
        for (const auto& c : cases) {
            const std::u16string typed = TypeOnGreekLayout(c.keys);
            if (c.letter == 0) {
                EXPECT_EQ(Utf8(typed), "") << Utf8(c.keys);  // no such letter: nothing
                continue;
            }
            EXPECT_EQ(Utf8(typed), Utf8(std::u16string(1, c.letter))) << Utf8(c.keys);
            EXPECT_EQ(Utf8(TypeOnGreekLayout(KeysTypedFor(typed))), Utf8(typed));
        }
    }
}

TEST(GreekKeyboard, CombinationsThatGiveNoLetter) {
    const struct {
        const char16_t* keys;
        const char16_t* typed;
    } rows[] = {
        {u";k", u""},                            // no accented κ
        {u":a", u""},                            // no α with a diaeresis
        {u";:a", u""},                           // nor with both
        {u";:;i", u"ι"},                         // a third dead key drops the two before it
        {u";1", u""},                            // not a letter
        {u";q", u""},                            // the Greek ; takes no accent
        {u"a;", u"α"},                           // the accent waits for a key that never comes
        {u";;", u"\u0384"},                      // twice: the mark alone
        {u"::", u"\u00A8"}, {u"; ", u"\u0384"},  // and with Space, which it takes
        {u": ", u"\u00A8"}, {u";: ", u"\u0385"}, {u";k;a", u"ά"},  // the next accent is unharmed
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Utf8(TypeOnGreekLayout(row.keys)), Utf8(row.typed)) << Utf8(row.keys);
    }
}

TEST(GreekKeyboard, Words) {
    const struct {
        const char16_t* keys;
        const char16_t* greek;
    } rows[] = {
        {u"Kalhm;era", u"Καλημέρα"},
        {u";ola", u"όλα"},
        {u"ka:i", u"καϊ"},
        {u":;i", u"ΐ"},
        {u"ti k;aneiwq", u"τι κάνεις;"},
        {u"KALHM;ERA", u"ΚΑΛΗΜΈΡΑ"},
        {u"ProsoxhQ", u"Προσοχη:"},
        {u"ηελλο", u"ηελλο"},  // Greek letters pass as they are
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Utf8(TypeOnGreekLayout(row.keys)), Utf8(row.greek)) << Utf8(row.keys);
    }
    EXPECT_EQ(Utf8(KeysTypedFor(u"Καλημέρα, τι κάνεις;")), "Kalhm;era, ti k;aneiwq");
    EXPECT_EQ(Utf8(KeysTypedFor(u"ΰ Ϊ ΐ")), ":;y :I :;i");
    EXPECT_EQ(Utf8(KeysTypedFor(u"hello «ok» 12")), "hello «ok» 12");  // no key of the two levels
    EXPECT_EQ(Utf8(KeysTypedFor(u"\u0384\u00A8")), "; : ");
    EXPECT_EQ(Utf8(KeysTypedFor(std::u16string(1, u'\0'))), std::string(1, '\0'));
}

// Every monotonic Greek letter is typed by some keys, and those keys type it.
TEST(GreekKeyboard, EveryGreekLetterRoundTrips) {
    for (char16_t c = u'Ά'; c <= u'ώ'; ++c) {
        if (c == 0x387 || c == 0x38B || c == 0x38D || c == 0x3A2) {
            continue;  // not letters
        }
        const std::u16string letter(1, c);
        const std::u16string keys = KeysTypedFor(letter);
        EXPECT_NE(Utf8(keys), Utf8(letter)) << Utf8(letter);
        EXPECT_EQ(Utf8(TypeOnGreekLayout(keys)), Utf8(letter)) << Utf8(keys);
    }
}

// And every printable ASCII character but the dead keys the other way.
TEST(GreekKeyboard, EveryAsciiKeyRoundTrips) {
    for (char16_t c = u' '; c < 0x7F; ++c) {
        if (c == u';' || c == u':') {
            continue;
        }
        const std::u16string key(1, c);
        const std::string back = Utf8(KeysTypedFor(TypeOnGreekLayout(key)));
        EXPECT_EQ(back, c == u'W' ? "S" : Utf8(key));
    }
}

// The dead keys by table give, for every character, what the rows of
// kDeadKeyLetters say: the row's letters for its plain letter, the letter
// itself without a dead key, and nothing for any other with one.
TEST(GreekKeyboard, DeadKeysOnEveryCharacter) {
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        const auto c = static_cast<char16_t>(code);
        const DeadKeyLetters* row = nullptr;
        for (const DeadKeyLetters& letters : kDeadKeyLetters) {
            row = letters.plain == c ? &letters : row;
        }
        ASSERT_EQ(WithDeadKeys(c, false, false), c) << code;
        ASSERT_EQ(WithDeadKeys(c, true, false), row ? row->acute : 0) << code;
        ASSERT_EQ(WithDeadKeys(c, false, true), row ? row->diaeresis : 0) << code;
        ASSERT_EQ(WithDeadKeys(c, true, true), row ? row->both : 0) << code;
    }
}

// The repairer's table of letters answers as the reader's functions do, for
// every character: the two must never tell a letter differently.
TEST(GreekLetters, TheTableAgreesWithTheReader) {
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        const auto c = static_cast<char16_t>(code);
        ASSERT_EQ(letters::IsGreekLetter(c), internal::IsGreekLetter(c)) << code;
        ASSERT_EQ(letters::IsGreekUpper(c), internal::IsGreekUpper(c)) << code;
        ASSERT_EQ(letters::GreekLower(c), internal::GreekLower(c)) << code;
        ASSERT_EQ(letters::PlainLetter(c), internal::PlainLetter(c)) << code;
        const char16_t lower = internal::GreekLower(c);
        ASSERT_EQ(letters::IsAccentedLetter(c), internal::IsGreekLetter(c) && lower != u'ς' &&
                                                    internal::PlainLetter(lower) != lower)
            << code;
    }
}

}  // namespace
}  // namespace bivano::layout
