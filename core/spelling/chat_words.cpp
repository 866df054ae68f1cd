// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/chat_words.h"

#include "core/spelling/typed_readings.h"

namespace bivano::internal {

using namespace std::string_view_literals;

std::u16string_view ChatWord(std::u16string_view plain) {
    for (const auto& [short_form, long_form] : kChatAbbreviations) {
        if (plain == short_form) {
            return long_form;
        }
    }
    return {};
}

std::u16string Laughter(std::u16string_view lower) {
    const auto is_chi = [](char16_t c) { return c == u'x' || c == u'h' || c == u'χ'; };
    const auto vowel_of = [](char16_t c) -> char16_t {
        switch (c) {
            case u'a':
            case u'α':
                return u'α';
            case u'e':
            case u'ε':
                return u'ε';
            case u'i':
            case u'ι':
                return u'ι';
            default:
                return 0;
        }
    };
    std::size_t end = lower.size();
    if (end % 2 == 1 && is_chi(lower.back())) {
        --end;  // xaxax
    }
    if (end < 4 || end % 2 == 1) {
        return {};
    }
    const char16_t vowel = vowel_of(lower[1]);
    std::u16string laughter;
    for (std::size_t i = 0; i < end; i += 2) {
        if (!is_chi(lower[i]) || vowel == 0 || vowel_of(lower[i + 1]) != vowel) {
            return {};
        }
        laughter += u'χ';
        laughter += vowel;
    }
    if (end < lower.size()) {
        laughter += u'χ';
    }
    return laughter;
}

bool StandsAlone(std::u16string_view text, std::size_t begin, std::size_t end) {
    const bool open_before = begin == 0 || IsBlankOrBreak(text[begin - 1]) ||
                             u"([{\"«"sv.find(text[begin - 1]) != std::u16string_view::npos;
    if (!open_before) {
        return false;
    }
    if (end == text.size() || IsBlankOrBreak(text[end]) ||
        u",;!?)]}\"»"sv.find(text[end]) != std::u16string_view::npos) {
        return true;
    }
    // A full stop or colon ends it when a blank or the end follows.
    return (text[end] == u'.' || text[end] == u':') &&
           (end + 1 == text.size() || IsBlankOrBreak(text[end + 1]) || text[end + 1] == u'.');
}

}  // namespace bivano::internal
