// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/typed_readings.h"

namespace bivano::internal {

using namespace std::string_view_literals;

std::u16string PrimaryReading(std::u16string_view word) {
    std::u16string greek;
    for (std::size_t at = 0; at < word.size();) {
        // th is θ before a vowel, as the plain conversion reads it, and τη
        // before a consonant (eurethriakh).
        const bool th_before_consonant =
            word[at] == u't' && at + 1 < word.size() && word[at + 1] == u'h' &&
            at + 2 < word.size() && u"aeiouwy"sv.find(word[at + 2]) == std::u16string_view::npos;
        // v before a consonant but ρ and λ, not after α or ε (αυ, ευ), is
        // ω: no Greek word has βσ or βμ (aytodiagnvstikoy).
        const bool omega = word[at] == u'v' && at + 1 < word.size() &&
                           u"aeiouywrlv"sv.find(word[at + 1]) == std::u16string_view::npos &&
                           IsLatinLetter(word[at + 1]) &&
                           (at == 0 || (word[at - 1] != u'a' && word[at - 1] != u'e'));
        if (omega) {
            greek.push_back(u'ω');
            ++at;
            continue;
        }
        Reading best{1, {}, 1e9F};
        ForEachReading(word, at, [&](const Reading& reading) {
            if (reading.cost < best.cost ||
                (reading.cost == best.cost && reading.length > best.length &&
                 !th_before_consonant)) {
                best = reading;
            }
        });
        if (best.greek.empty()) {
            greek.push_back(word[at]);
        } else {
            greek.append(best.greek);
        }
        at += best.length;
    }
    return greek;
}

std::u16string_view KeyboardNeighbours(char16_t c) {
    static constexpr std::u16string_view kRows[] = {u"qwertyuiop", u"asdfghjkl", u"zxcvbnm"};
    static constexpr std::u16string_view kNeighbours[] = {
        u"w",  u"qe", u"wr", u"et", u"ry", u"tu", u"yi", u"uo", u"ip", u"o",   u"s",  u"ad",  u"sf",
        u"dg", u"fh", u"gj", u"hk", u"jl", u"k",  u"x",  u"zc", u"xv", u"cbn", u"vn", u"bmv", u"n"};
    std::size_t index = 0;
    for (const std::u16string_view row : kRows) {
        if (const std::size_t at = row.find(c); at != std::u16string_view::npos) {
            return kNeighbours[index + at];
        }
        index += row.size();
    }
    return {};
}

}  // namespace bivano::internal
