// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/word_joining.h"

#include <algorithm>

#include "core/spelling/typed_readings.h"

namespace bivano::internal {

std::span<const Choice> WordReader::ReadTogether(std::u16string_view first,
                                                 std::u16string_view second, float most_cost) {
    key_.resize(first.size() + second.size());
    std::transform(first.begin(), first.end(), key_.begin(), ReadingLower);
    std::transform(second.begin(), second.end(),
                   key_.begin() + static_cast<std::ptrdiff_t>(first.size()), ReadingLower);
    found_.clear();
    if (model_.Root() == nullptr || key_.size() > kWordWeights.longest_word) {
        return {};
    }
    // Started at the cost a reading may not pass, the search leaves the
    // dearer readings at once.
    const float start = std::max(0.0F, kWordWeights.most_cost - most_cost);
    FollowFromRoot(key_, start);
    for (Choice& choice : found_) {
        choice.cost = std::max(0.0F, choice.cost - start);
        choice.score = WordScore(choice.word) - kWordWeights.cost_weight * choice.cost;
    }
    std::sort(found_.begin(), found_.end(),
              [](const Choice& a, const Choice& b) { return a.score > b.score; });
    return found_;
}

bool WordJoiner::CaseAllowsJoining(std::u16string_view first, std::u16string_view second) {
    const auto has_capital = [](std::u16string_view word) {
        return std::any_of(word.begin(), word.end(), IsUpper);
    };
    const auto all_capitals = [](std::u16string_view word) {
        return std::none_of(word.begin(), word.end(),
                            [](char16_t c) { return c >= u'a' && c <= u'z'; });
    };
    if (!has_capital(second)) {
        // The first small, or with a capital first only: not IP pou.
        return !has_capital(first.substr(1));
    }
    return has_capital(first) && all_capitals(first) && all_capitals(second);
}

bool WordJoiner::OneWord(std::u16string_view first, std::uint32_t first_reading,
                         std::u16string_view second, std::uint32_t second_reading) {
    const std::uint64_t key =
        (static_cast<std::uint64_t>(first_reading) << 32 | second_reading) + 1;
    Memo& memo = memo_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kMemoBits)];
    if (memo.key != key || memo.generation != words_.generation()) {
        const bool joined =
            Decide(first, words_.At(first_reading), second, words_.At(second_reading));
        memo = {key, words_.generation(), joined};
    }
    return memo.joined;
}

bool WordJoiner::Decide(std::u16string_view first, const WordReading& first_reading,
                        std::u16string_view second, const WordReading& second_reading) {
    if (first.size() < kJoinWeights.shortest_part || second.size() < kJoinWeights.shortest_part ||
        first.size() + second.size() > kJoinWeights.longest_joined) {
        return false;
    }
    // A chat abbreviation, laughter or an English word is meant as it
    // stands.
    if (first_reading.chat || second_reading.chat || first_reading.english ||
        second_reading.english) {
        return false;
    }
    // Two words the counts have together are Greek as typed: με τα, το πώς.
    const GreekModel& model = words_.Model();
    const std::size_t firsts = std::min(first_reading.choices.size(), kJoinWeights.pairs_asked);
    const std::size_t seconds = std::min(second_reading.choices.size(), kJoinWeights.pairs_asked);
    for (std::size_t i = 0; i < firsts; ++i) {
        for (std::size_t j = 0; j < seconds; ++j) {
            if (model.PairCount(first_reading.choices[i].word, second_reading.choices[j].word) >
                0) {
                return false;
            }
        }
    }
    // The word read together: the likeliest that is written in small
    // letters (no name), in common use.
    const std::span<const Choice> together =
        words_.ReadTogether(first, second, kJoinWeights.most_cost);
    const auto word = std::find_if(together.begin(), together.end(), [&](const Choice& choice) {
        const GreekModel::Word* known = model.WordAt(choice.word);
        return known != nullptr && (known->flags & GreekModel::kSmall) != 0;
    });
    if (word == together.end() ||
        word->score + kWordWeights.cost_weight * word->cost < kJoinWeights.common_word) {
        return false;
    }
    // A part that is no word (or one only a slip of typing places) makes
    // the two words unlikely whatever the other: kali spera, tou laxiston.
    if (first_reading.choices.empty() || second_reading.choices.empty() || first_reading.mended ||
        second_reading.mended) {
        return true;
    }
    // Two words, one of them among the commonest (an article, a pronoun, a
    // particle), may well go together where the counts did not look:
    // συστήματα is common, and so is σύστημα τα.
    const double first_alone = first_reading.choices.front().score;
    const double second_alone = second_reading.choices.front().score;
    if (std::max(first_alone, second_alone) >= kJoinWeights.commonest_word) {
        return false;
    }
    return word->score >= first_alone + second_alone + kJoinWeights.margin;
}

}  // namespace bivano::internal
