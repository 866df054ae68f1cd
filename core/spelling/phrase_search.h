// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/spelling/greek_model.h"
#include "core/spelling/reading_cache.h"
#include "core/spelling/word_reader.h"

namespace bivano::internal {

// How the words of a phrase are weighed together. Scores are natural
// logarithms of likelihoods.
struct PhraseWeights {
    // How often a pair of words may have been seen that the counts leave
    // out: pairs are counted from three times on.
    double most_uncounted = 2.0;
    // A pair never seen, against one seen: about log 0.4.
    double back_off = -0.9;
    // What follows a word that only the everyday lists count, as the log
    // share of followers a counted word's pairs leave unaccounted, about
    // 0.3.
    double uncounted_followers = -1.2;
    // How much likelier a question word is at the head of a question.
    double question_bonus = 6.0;
    // How many words' worth of the average weighs against a word's own
    // count of standing at a phrase's edge.
    double edge_prior = 10.0;
    // The word pairs already tell much of what the edges do: they count
    // half.
    double edge_weight = 0.5;
    // Phrases longer than this many words are weighed in parts.
    std::size_t longest_phrase = 256;
};
inline constexpr PhraseWeights kPhraseWeights{};

// What stands around a phrase.
struct PhraseEdges {
    bool question = false;  // a question mark ends it
    bool starts = true;     // it starts where it stands (not cut for its length)
    bool ends = true;       // and ends there
    GreekModel::Beside before = GreekModel::Beside::Sentence;
    GreekModel::Beside after = GreekModel::Beside::Sentence;
};

// Chooses the likeliest words for a phrase, left to right (Viterbi): each
// word's choice scored alone, then by how often it follows the choice
// before it in running text, by what stands at the phrase's edges, and by
// whether a question begins with a question word.
class PhraseSearch {
  public:
    explicit PhraseSearch(const GreekModel& model) : model_(model) {}

    // For each word of the phrase (its choices, best first alone; none for
    // a word that cannot be placed), the number of its chosen choice, or -1
    // for a word without choices.
    std::span<const int> Choose(std::span<const std::vector<Choice>* const> words,
                                const PhraseEdges& edges);

  private:
    // The score of choice `second` after the word `first`: the log
    // likelihood of the pair less the reading's cost. Phrases repeat their
    // pairs: the last answer for a pair is kept.
    double PairScore(std::uint32_t first, const Choice& second) {
        const std::uint64_t key = PairMemoKey(first, second.word);
        Memo& memo = pair_memo_[PairMemoSlot(first, second.word)];
        if (memo.key != key) {
            memo = {key, PairLikelihood(first, second)};
        }
        return memo.likelihood - kWordWeights.cost_weight * second.cost;
    }
    static std::uint64_t PairMemoKey(std::uint32_t first, std::uint32_t second) {
        return (static_cast<std::uint64_t>(first) << 32 | second) + 1;
    }
    static std::size_t PairMemoSlot(std::uint32_t first, std::uint32_t second) {
        return static_cast<std::size_t>((PairMemoKey(first, second) * 0x9E3779B97F4A7C15ULL) >>
                                        (64 - kPairMemoBits));
    }
    double PairLikelihood(std::uint32_t first, const Choice& second);
    // What a pair's likelihood takes from its first word alone, whatever
    // follows: kept for the last words met, which come first in pair
    // after pair.
    struct FirstFacts {
        std::uint32_t word = 0xFFFFFFFF;  // none
        std::uint32_t ending = 0;         // GreekModel::EndingOf its letters
        std::uint32_t of_ending = 0;      // how often words of that ending occur
        double most = 0;                  // the log likelihood of an uncounted pair at most
        double unaccounted = 0;           // the log share of followers no pair accounts for
    };
    const FirstFacts& FactsOf(std::uint32_t first, const GreekModel::Word& word);
    bool IsInterrogative(std::uint32_t word) const;
    bool OpensAQuestion(std::uint32_t word) const;
    double EdgeScore(std::uint32_t word, GreekModel::Beside beside, bool first);
    double EdgeLikelihood(std::uint32_t word, GreekModel::Beside beside, bool first) const;

    const GreekModel& model_;
    // For each word's choice, the best score of a phrase ending in it and
    // where from.
    struct Cell {
        double score;
        std::uint32_t from;
    };
    std::vector<Cell> cells_;
    std::vector<std::size_t> first_cell_;
    std::vector<int> chosen_;
    struct Memo {
        std::uint64_t key = 0;  // first << 32 | second, plus one; 0 for none
        double likelihood = 0;
    };
    // Made at the first phrase that has a choice to make: a reader that
    // never gets one (empty input) does not touch their 1.25 MB.
    static constexpr int kPairMemoBits = 16;
    std::vector<Memo> pair_memo_;
    static constexpr int kEdgeMemoBits = 14;
    std::vector<Memo> edge_memo_;
    static constexpr std::size_t kFirstFacts = 256;
    std::vector<FirstFacts> first_facts_ = std::vector<FirstFacts>(kFirstFacts);
};

}  // namespace bivano::internal
