// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/word_joining.h"

#include <algorithm>

#include "core/spelling/typed_readings.h"

namespace bivano::internal {

std::span<const Choice> WordReader::ScoredBestFirst(float start) {
    for (Choice& choice : found_) {
        choice.cost = std::max(0.0F, choice.cost - start);
        choice.score = WordScore(choice.word) - kWordWeights.cost_weight * choice.cost;
    }
    SortFoundBestFirst();
    return found_;
}

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
    return ScoredBestFirst(start);
}

std::span<const Choice> WordReader::ReadOn(std::span<const ReadFrom> from,
                                           std::u16string_view second, float most_cost) {
    found_.clear();
    key_.resize(second.size());
    std::transform(second.begin(), second.end(), key_.begin(), ReadingLower);
    read_word_ = {};  // no letters' readings kept from before are for these
    const float start = std::max(0.0F, kWordWeights.most_cost - most_cost);
    for (const ReadFrom& place : from) {
        if (start + place.cost <= kWordWeights.most_cost) {
            Follow(*place.node, key_, 0, start + place.cost);
        }
    }
    return ScoredBestFirst(start);
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

JoinPart WordJoiner::PartOfReading(const WordReading& reading, std::size_t length) {
    if (length < kJoinWeights.shortest_part ||
        length + kJoinWeights.shortest_part > kJoinWeights.longest_joined || reading.chat ||
        reading.english) {
        return JoinPart::None;
    }
    if (reading.choices.empty() || reading.mended) {
        return JoinPart::NoWord;
    }
    return reading.choices.front().score >= kJoinWeights.commonest_word ? JoinPart::Commonest
                                                                        : JoinPart::Word;
}

JoinPart WordJoiner::RememberPart(std::uint32_t number, std::size_t length) {
    const JoinPart part = PartOfReading(words_.At(number), length);
    if (number >= parts_.size()) {
        parts_.resize(std::size_t{number} + 1, kUnknownPart);
    }
    parts_[number] = static_cast<std::uint8_t>(part);
    return part;
}

bool WordJoiner::OneWord(std::u16string_view first, std::uint32_t first_reading,
                         std::u16string_view second, std::uint32_t second_reading) {
    return OneWord(first, first_reading, PartOf(first_reading, first.size()), second,
                   second_reading, PartOf(second_reading, second.size()));
}

bool WordJoiner::OneWord(std::u16string_view first, std::uint32_t first_reading,
                         JoinPart first_part, std::u16string_view second,
                         std::uint32_t second_reading, JoinPart second_part) {
    if (!MayJoin(first_part, first.size(), second_part) ||
        first.size() + second.size() > kJoinWeights.longest_joined) {
        return false;
    }
    if (memo_bits_ < kMostMemoBits && decided_ >= (std::size_t{1} << memo_bits_) / 2) {
        memo_bits_ = memo_bits_ == 0 ? kFirstMemoBits : kMostMemoBits;
        memo_.assign(std::size_t{1} << memo_bits_, Memo{});
        places_.assign(std::size_t{1} << (memo_bits_ - 2), Places{});
    }
    const std::uint64_t key =
        (static_cast<std::uint64_t>(first_reading) << 32 | second_reading) + 1;
    Memo& memo = memo_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - memo_bits_)];
    if (memo.key != key || memo.generation != words_.generation()) {
        ++decided_;
        memo = {key, words_.generation(),
                Decide(first_reading, words_.At(first_reading), first_part, first,
                       words_.At(second_reading), second_part, second)};
    }
    return memo.joined;
}

std::span<const WordReader::ReadFrom> WordJoiner::PlacesOf(std::uint32_t number,
                                                           const WordReading& reading) {
    Places& places = places_[(number * 0x9E3779B9U) >> (32 - (memo_bits_ - 2))];
    if (places.reading == number + 1 && places.generation == words_.generation()) {
        return std::span<const WordReader::ReadFrom>(places.from).first(places.count);
    }
    places.reading = number + 1;
    places.generation = words_.generation();
    places.count = 0;
    const GreekModel& model = words_.Model();
    const std::size_t choices = std::min(reading.choices.size(), kJoinWeights.read_on);
    for (std::size_t i = 0; i < choices && model.Root() != nullptr; ++i) {
        const GreekModel::Word* word = model.WordAt(reading.choices[i].word);
        if (word == nullptr) {
            continue;
        }
        const GreekModel::Spelling spelling = model.Letters(*word);
        const GreekModel::Node* node = model.Root();
        for (const char16_t letter : std::u16string_view(spelling)) {
            node = model.Child(*node, PlainLetter(letter));
            if (node == nullptr) {
                break;
            }
        }
        // A word no longer word starts from, or one of the same plain form
        // as one before, leads nowhere new.
        const auto before = places.from.begin() + places.count;
        if (node == nullptr || node->ChildCount() == 0 ||
            std::any_of(places.from.begin(), before,
                        [&](const WordReader::ReadFrom& place) { return place.node == node; })) {
            continue;
        }
        places.from[places.count++] = {node, reading.choices[i].cost};
    }
    return std::span<const WordReader::ReadFrom>(places.from).first(places.count);
}

bool WordJoiner::Decide(std::uint32_t first_reading, const WordReading& first, JoinPart first_part,
                        std::u16string_view first_typed, const WordReading& second,
                        JoinPart second_part, std::u16string_view second_typed) {
    const GreekModel& model = words_.Model();
    // The word read together: the likeliest that is written in small
    // letters (no name), in common use.
    const std::span<const Choice> together =
        first_part == JoinPart::NoWord
            ? words_.ReadTogether(first_typed, second_typed, kJoinWeights.most_cost)
            : words_.ReadOn(PlacesOf(first_reading, first), second_typed, kJoinWeights.most_cost);
    const auto word = std::find_if(together.begin(), together.end(), [&](const Choice& choice) {
        const GreekModel::Word* known = model.WordAt(choice.word);
        return known != nullptr && (known->flags & GreekModel::kSmall) != 0;
    });
    if (word == together.end() ||
        word->score + kWordWeights.cost_weight * word->cost < kJoinWeights.common_word) {
        return false;
    }
    // Two words the counts have together are Greek as typed: με τα, το πώς.
    const std::size_t firsts = std::min(first.choices.size(), kJoinWeights.pairs_asked);
    const std::size_t seconds = std::min(second.choices.size(), kJoinWeights.pairs_asked);
    for (std::size_t i = 0; i < firsts; ++i) {
        for (std::size_t j = 0; j < seconds; ++j) {
            if (model.PairCount(first.choices[i].word, second.choices[j].word) > 0) {
                return false;
            }
        }
    }
    // A part that is no word (or one only a slip of typing places) makes
    // the two words unlikely whatever the other: kali spera, tou laxiston.
    if (first_part == JoinPart::NoWord || second_part == JoinPart::NoWord) {
        return true;
    }
    return word->score >=
           first.choices.front().score + second.choices.front().score + kJoinWeights.margin;
}

}  // namespace bivano::internal
