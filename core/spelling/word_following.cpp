// SPDX-License-Identifier: GPL-3.0-or-later
// What the reader does for every word: its readings looked up among those
// it remembers, and for a word new to it, the search of the model's tree,
// which runs for every letter. Apart from word_reader.cpp, which weighs
// what the search finds once a new word, so that the web build can make
// that small and keep this fast.
#include <algorithm>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "core/encoding/greek_letters.h"
#include "core/spelling/chat_words.h"
#include "core/spelling/typed_readings.h"
#include "core/spelling/word_reader.h"

namespace bivano {
namespace internal {
namespace {

// Whether a word carries a tonos or a diaeresis (in either case).
bool HasMarks(std::u16string_view typed) {
    return std::any_of(typed.begin(), typed.end(),
                       [](char16_t c) { return HasTonos(c) || HasDiaeresis(c); });
}

std::size_t AccentCount(std::u16string_view lower) {
    return static_cast<std::size_t>(std::count_if(lower.begin(), lower.end(), IsAccented));
}

}  // namespace

std::uint32_t WordReader::Read(std::u16string_view typed, bool alone) {
    const bool chat = chat_ && alone && typed.size() <= kLongestAbbreviation;
    const std::size_t first = chat ? 1 : 0;
    key_.resize(first + typed.size());
    if (chat) {
        key_[0] = kChatKey;
    }
    std::transform(typed.begin(), typed.end(), key_.begin() + first, ReadingLower);
    const std::size_t letters = key_.size() - first;
    // Greek typed with accents of its own is read only as words that
    // keep them (ό alone is no ο): the small letters with the marks
    // follow the plain ones in the key.
    const bool marked = source_ == ReadingStream::Source::Greek && HasMarks(typed);
    if (marked) {
        key_.push_back(kMarksKey);
        std::transform(typed.begin(), typed.end(), std::back_inserter(key_), GreekLower);
    }
    const std::uint64_t hash = HashOf(key_);
    if (const std::uint32_t found = cache_.Find(key_, hash); found != ReadingCache::kNone) {
        return found;
    }
    return ReadAfresh(hash, first, letters, marked, chat);
}

void WordReader::FollowFromRoot(std::u16string_view word, float cost, bool slip) {
    read_word_ = word;
    readings_.clear();
    first_.clear();
    for (std::size_t at = 0; at < word.size(); ++at) {
        first_.push_back(static_cast<std::uint32_t>(readings_.size()));
        ForEachReading(word, at, [&](const Reading& reading) { readings_.push_back(reading); });
    }
    first_.push_back(static_cast<std::uint32_t>(readings_.size()));
    Follow(*model_.Root(), word, 0, cost, slip);
}

void WordReader::Follow(const GreekModel::Node& node, std::u16string_view word, std::size_t at,
                        float cost, bool slip) {
    if (at == word.size()) {
        const std::span<const GreekModel::Word> words = model_.WordsAt(node);
        // The enclitic forms (θάλασσά) are written by the rule, not chosen.
        const bool has_single_accent = std::any_of(
            words.begin(), words.end(),
            [&](const GreekModel::Word& w) { return AccentCount(model_.Letters(w)) <= 1; });
        std::size_t taken = 0;
        for (const GreekModel::Word& candidate : words) {
            if (taken == kWordWeights.most_per_form) {
                break;
            }
            if (has_single_accent && AccentCount(model_.Letters(candidate)) > 1) {
                continue;
            }
            const std::uint32_t number = model_.NumberOf(candidate);
            const auto same = std::find_if(found_.begin(), found_.end(),
                                           [&](const Choice& c) { return c.word == number; });
            if (same == found_.end()) {
                found_.push_back({number, cost, 0, 0});
            } else {
                same->cost = std::min(same->cost, cost);
            }
            ++taken;
        }
        return;
    }
    // A letter alone is read only as people type it most (i as η, not y).
    const float most = word.size() == 1 ? kWordWeights.letter_alone : kWordWeights.most_cost;
    const auto step = [&](const Reading& reading) {
        const float total = cost + reading.cost;
        if (total > most) {
            return;
        }
        const GreekModel::Node* here = &node;
        for (const char16_t letter : reading.greek) {
            here = model_.Child(*here, letter);
            if (here == nullptr) {
                return;
            }
        }
        Follow(*here, word, at + reading.length, total, slip);
        // The consonant typed once where Greek has two (not in a word of
        // one or two letters: μ is no μμ).
        if (reading.greek.size() == 1 && word.size() > 2 &&
            kDoubled.find(reading.greek[0]) != std::u16string::npos &&
            total + kWordWeights.doubled_cost <= kWordWeights.most_cost) {
            if (const GreekModel::Node* twice = model_.Child(*here, reading.greek[0])) {
                Follow(*twice, word, at + reading.length, total + kWordWeights.doubled_cost, slip);
            }
        }
    };
    if (word.data() == read_word_.data() && word.size() == read_word_.size()) {
        for (std::uint32_t reading = first_[at]; reading < first_[at + 1]; ++reading) {
            step(readings_[reading]);
        }
    } else {
        ForEachReading(word, at, step);  // a slip's changed letters
    }
    if (slip) {
        FollowSlips(node, word, at, cost);
    }
}

// One slip of typing at place `at`, then the rest read as typed: a letter
// typed twice or one too many (kalla, kalsa for καλά), one left out (kaa),
// one swapped for its neighbour on the keyboard (kalo for καλό typed kalp,
// v for n), or two neighbours swapped (klaa).
void WordReader::FollowSlips(const GreekModel::Node& node, std::u16string_view word, std::size_t at,
                             float cost) {
    const float total = cost + kWordWeights.slip_cost;
    if (total > kWordWeights.most_cost) {
        return;
    }
    if (at < word.size()) {
        Follow(node, word, at + 1, total);  // a letter too many
    }
    // A letter left out: any letter of the tree here, typed or not.
    const std::span<const GreekModel::Node> children = model_.ChildrenOf(node);
    for (const GreekModel::Node& child : children) {
        Follow(child, word, at, total);
    }
    if (at >= word.size()) {
        return;
    }
    std::u16string changed(word);
    for (const char16_t neighbour : KeyboardNeighbours(word[at])) {
        changed[at] = neighbour;
        Follow(node, changed, at, total);
    }
    if (at + 1 < word.size() && word[at] != word[at + 1]) {
        changed[at] = word[at + 1];
        changed[at + 1] = word[at];
        Follow(node, changed, at, total);
    }
}

}  // namespace internal
}  // namespace bivano
