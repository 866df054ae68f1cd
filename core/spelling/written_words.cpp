// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/written_words.h"

#include <algorithm>
#include <iterator>

#include "core/spelling/typed_readings.h"

namespace bivano::internal {

void AppendWithCaseOf(std::u16string_view typed, std::u16string_view spelled, std::u16string& out) {
    const std::size_t begin = out.size();
    out.append(spelled);
    std::size_t upper = 0;
    std::size_t digits = 0;  // 3 and 8 typed for ξ and θ have no case
    for (const char16_t c : typed) {
        upper += IsUpper(c) ? 1 : 0;
        digits += c == u'3' || c == u'8' ? 1 : 0;
    }
    if (upper == 0 || spelled.empty()) {
        return;
    }
    const auto word = out.begin() + static_cast<std::ptrdiff_t>(begin);
    if (upper + digits == typed.size() && typed.size() > 1) {
        std::transform(word, out.end(), word, GreekCapitalWithoutTonos);
        return;
    }
    if (typed.size() == spelled.size() && upper > 1) {
        for (std::size_t i = 0; i < spelled.size(); ++i) {
            if (IsUpper(typed[i])) {
                out[begin + i] = GreekCapitalWithoutTonos(out[begin + i]);
            }
        }
        return;
    }
    if (IsUpper(typed.front())) {
        *word = GreekUpper(*word);
    }
}

void AccentLastSyllable(std::u16string& text, std::size_t begin, std::size_t end) {
    for (std::size_t i = end; i-- > begin;) {
        const char16_t letter = text[i];
        if (const char16_t accented = WithTonos(letter); accented != letter) {
            text[i] = accented;
            return;
        }
        // Stressed already (ά, not ΐ), or in capitals, or ϊ, ϋ.
        if ((HasTonos(letter) && !HasDiaeresis(letter)) || IsGreekUpper(letter) || letter == u'ϊ' ||
            letter == u'ϋ') {
            return;
        }
    }
}

Enclitic EncliticOf(std::u16string_view word) {
    static constexpr std::u16string_view kAlways[] = {u"μου", u"σου", u"μας", u"σας"};
    static constexpr std::u16string_view kAtEnd[] = {u"του", u"της", u"τους", u"τον", u"την",
                                                     u"το",  u"τα",  u"τις",  u"τη"};
    if (std::find(std::begin(kAlways), std::end(kAlways), word) != std::end(kAlways)) {
        return Enclitic::Always;
    }
    if (std::find(std::begin(kAtEnd), std::end(kAtEnd), word) != std::end(kAtEnd)) {
        return Enclitic::AtPhraseEnd;
    }
    return Enclitic::No;
}

}  // namespace bivano::internal
