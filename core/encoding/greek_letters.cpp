// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/greek_letters.h"

namespace bivano::internal {

char16_t SoundClass(char16_t c) {
    const char16_t plain = PlainLetter(GreekLower(c));
    switch (plain) {
        case u'η':
        case u'υ':
            return u'ι';
        case u'ω':
            return u'ο';
        default:
            return plain;
    }
}

std::uint8_t StressRank(std::u16string_view lower) {
    const auto is_vowel = [](char16_t c) { return IsGreekVowel(c) && !IsGreekUpper(c); };
    int syllable = 0;  // counted from the end
    for (std::size_t i = lower.size(); i-- > 0;) {
        const char16_t c = lower[i];
        if (!is_vowel(c)) {
            continue;
        }
        const bool accented = c != PlainLetter(c) && c != u'ϊ' && c != u'ϋ';
        // A vowel that closes a pair with the one before it (ει, αυ, …)
        // makes one syllable with it.
        if (i > 0 && is_vowel(lower[i - 1])) {
            const char16_t before = PlainLetter(lower[i - 1]);
            const char16_t here = PlainLetter(c);
            const bool pair =
                (here == u'ι' && c != u'ϊ' &&
                 (before == u'ε' || before == u'ο' || before == u'α' || before == u'υ')) ||
                (here == u'υ' && c != u'ϋ' && (before == u'ο' || before == u'α' || before == u'ε'));
            if (pair) {
                if (accented || lower[i - 1] != before) {
                    return syllable == 1 ? 0 : syllable == 0 ? 1 : 2;
                }
                --i;
                ++syllable;
                continue;
            }
        }
        if (accented) {
            return syllable == 1 ? 0 : syllable == 0 ? 1 : 2;
        }
        ++syllable;
    }
    return 3;
}

}  // namespace bivano::internal
