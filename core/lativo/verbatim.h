// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace bivano {

// A group of 2 to 19 characters between asterisks stays as typed, without
// the asterisks, when Latin letters are converted to Greek ones (and read
// with accents): "*word* ok" -> "word οκ", "*a b*s" -> "a bς"; "*a*" and
// "a*b" keep their asterisks as ordinary characters.
inline constexpr std::size_t kVerbatimMin = 2;
inline constexpr std::size_t kVerbatimMax = 19;

// The group an asterisk opens, from the text right after it: how many
// characters it keeps (0 when the asterisk is an ordinary character), and
// whether that cannot be told yet because the text ends before a closing
// asterisk could come. "ab*" -> {2}; "a*" -> {0}; "ab" -> {0, undecided}.
struct VerbatimGroup {
    std::size_t length = 0;
    bool undecided = false;
};

constexpr VerbatimGroup VerbatimGroupAfter(std::u16string_view after_asterisk) {
    const std::size_t closing = after_asterisk.substr(0, kVerbatimMax + 1).find(u'*');
    if (closing == std::u16string_view::npos) {
        return {0, after_asterisk.size() <= kVerbatimMax};
    }
    return {closing >= kVerbatimMin ? closing : 0, false};
}

}  // namespace bivano
