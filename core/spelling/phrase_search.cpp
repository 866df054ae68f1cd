// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/phrase_search.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

#include "core/spelling/word_reader.h"

namespace bivano::internal {

std::span<const int> PhraseSearch::Choose(std::span<const std::vector<Choice>* const> words,
                                          const PhraseEdges& edges) {
    if (pair_memo_.empty()) {
        pair_memo_.resize(std::size_t{1} << kPairMemoBits);
        edge_memo_.resize(std::size_t{1} << kEdgeMemoBits);
    }
    const std::size_t count = words.size();
    first_cell_.resize(count + 1);
    std::size_t cells = 0;
    for (std::size_t i = 0; i < count; ++i) {
        first_cell_[i] = cells;
        cells += words[i]->size();
    }
    first_cell_[count] = cells;
    cells_.resize(cells);
    // The remembered pairs lie all over their table: asked for together,
    // before any is needed, their waits overlap.
    for (std::size_t i = 1; i < count; ++i) {
        for (const Choice& choice : *words[i]) {
            for (const Choice& before : *words[i - 1]) {
                __builtin_prefetch(&pair_memo_[PairMemoSlot(before.word, choice.word)]);
            }
        }
    }
    Cell* cell = cells_.data();
    for (std::size_t i = 0; i < count; ++i) {
        const std::vector<Choice>& choices = *words[i];
        const std::vector<Choice>* before = i > 0 ? words[i - 1] : nullptr;
        for (const Choice& choice : choices) {
            const double last =
                i + 1 == count && edges.ends ? EdgeScore(choice.word, edges.after, false) : 0;
            if (before == nullptr || before->empty()) {
                const double asking = i == 0 && edges.question && IsInterrogative(choice.word)
                                          ? kPhraseWeights.question_bonus
                                          : 0;
                const double first =
                    i == 0 && edges.starts ? EdgeScore(choice.word, edges.before, true) : 0;
                *cell++ = {choice.score + asking + first + last, 0};
                continue;
            }
            Cell best{-1e300, 0};
            for (std::size_t p = 0; p < before->size(); ++p) {
                // A greeting or a word that opens a question may stand
                // before its question word: καλημέρα, πώς είσαι;
                const double asking = i == 1 && edges.question && IsInterrogative(choice.word) &&
                                              OpensAQuestion((*before)[p].word)
                                          ? kPhraseWeights.question_bonus
                                          : 0;
                const double score = cells_[first_cell_[i - 1] + p].score +
                                     PairScore((*before)[p].word, choice) + asking;
                if (score > best.score) {
                    best = {score, static_cast<std::uint32_t>(p)};
                }
            }
            best.score += last;
            *cell++ = best;
        }
    }
    chosen_.assign(count, -1);
    for (std::size_t i = count; i-- > 0;) {
        const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(first_cell_[i]);
        const auto end = cells_.begin() + static_cast<std::ptrdiff_t>(first_cell_[i + 1]);
        if (begin == end) {
            continue;
        }
        if (i + 1 == count || chosen_[i + 1] < 0) {
            chosen_[i] = static_cast<int>(
                std::max_element(begin, end,
                                 [](const Cell& a, const Cell& b) { return a.score < b.score; }) -
                begin);
        } else {
            chosen_[i] = static_cast<int>(
                cells_[first_cell_[i + 1] + static_cast<std::size_t>(chosen_[i + 1])].from);
        }
    }
    return chosen_;
}

// A greeting or a word that opens a question.
bool PhraseSearch::OpensAQuestion(std::uint32_t number) const {
    static constexpr std::u16string_view kOpening[] = {
        u"καλημέρα", u"καλησπέρα", u"γεια", u"ρε",   u"λοιπόν", u"και", u"ε",
        u"μα",       u"αλλά",      u"οκ",   u"φίλε", u"παιδιά", u"εσύ", u"εσείς",
    };
    const GreekModel::Word* word = model_.WordAt(number);
    return word != nullptr && std::find(std::begin(kOpening), std::end(kOpening),
                                        model_.Letters(*word)) != std::end(kOpening);
}

// A question word: τι, πού, πώς, ποιος.
bool PhraseSearch::IsInterrogative(std::uint32_t number) const {
    static constexpr std::u16string_view kQuestionWords[] = {
        u"τι",    u"πού",   u"πώς",   u"πότε",  u"πόσο",  u"πόση",   u"πόσα",  u"πόσοι",
        u"πόσες", u"ποιος", u"ποια",  u"ποιο",  u"ποιοι", u"ποιες",  u"ποιον", u"ποιους",
        u"ποιας", u"ποιου", u"ποιων", u"γιατί", u"μήπως", u"πόσους", u"πόσων",
    };
    const GreekModel::Word* word = model_.WordAt(number);
    if (word == nullptr) {
        return false;
    }
    const GreekModel::Spelling spelling = model_.Letters(*word);
    const std::u16string_view letters = spelling;
    return std::find(std::begin(kQuestionWords), std::end(kQuestionWords), letters) !=
           std::end(kQuestionWords);
}

// How much likelier than the average word `word` is to stand first (or
// last) in a phrase with `beside` there, as a log: the article η seldom
// stands between two numbers or two Latin words, ή often does. A word seen
// seldom counts as the average.
double PhraseSearch::EdgeScore(std::uint32_t number, GreekModel::Beside beside, bool first) {
    const std::uint64_t key = (static_cast<std::uint64_t>(number) << 8 |
                               static_cast<std::uint64_t>(beside) << 1 | (first ? 1 : 0)) +
                              1;
    Memo& memo = edge_memo_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kEdgeMemoBits)];
    if (memo.key != key) {
        memo = {key, EdgeLikelihood(number, beside, first)};
    }
    return memo.likelihood;
}

double PhraseSearch::EdgeLikelihood(std::uint32_t number, GreekModel::Beside beside,
                                    bool first) const {
    const GreekModel::Word* word = model_.WordAt(number);
    const double phrases = model_.PhraseEdgeTotal(beside, first);
    const double running = static_cast<double>(model_.RunningWords());
    if (word == nullptr || phrases <= 0 || running < phrases) {
        return 0;
    }
    const double average = phrases / running;
    const double count =
        std::min<double>(model_.PhraseEdgeCount(beside, first, number), model_.Frequency(*word));
    const double likelihood = (count + kPhraseWeights.edge_prior * average) /
                              (model_.Frequency(*word) + kPhraseWeights.edge_prior);
    return kPhraseWeights.edge_weight * std::log(likelihood / average);
}

// The log likelihood of word `second.word` after `first`, the part of the
// pair's score that is the same for every reading. A pair never seen backs
// off to what the words' endings tell: how often `first` goes with a word of
// the second's ending (της with -ης, τις with -ες), shared out among the
// words of that ending; and how often a word of the first's ending goes
// with the second, when the second is one of the commonest words (a noun in
// -ίνα before ή rather than η). Without either, to the second word alone,
// weighed by how much of what follows `first` no counted pair accounts
// for: after a word nearly always followed by the same few, an unseen
// follower is unlikely.
const PhraseSearch::FirstFacts& PhraseSearch::FactsOf(std::uint32_t first,
                                                      const GreekModel::Word& word) {
    FirstFacts& facts = first_facts_[first % kFirstFacts];
    if (facts.word != first) {
        const double frequency = model_.Frequency(word);
        facts.word = first;
        facts.ending = GreekModel::EndingOf(model_.Letters(word));
        facts.of_ending = model_.EndingCount(facts.ending);
        facts.most = std::log(kPhraseWeights.most_uncounted / frequency);
        const double unaccounted = std::max(
            1.0, frequency -
                     static_cast<double>(std::min(model_.Followed(word), model_.Frequency(word))));
        facts.unaccounted = std::log(unaccounted / frequency);
    }
    return facts;
}

double PhraseSearch::PairLikelihood(std::uint32_t first, const Choice& second) {
    const double alone = second.score + kWordWeights.cost_weight * second.cost;
    const GreekModel::Word* word = model_.WordAt(first);
    if (word == nullptr || model_.Frequency(*word) == 0) {
        // A word only the everyday lists count has no pairs: what follows
        // it is as unknown as what follows a counted word in a pair never
        // seen, no likelier.
        return kPhraseWeights.back_off + alone +
               (model_.EverydayCount(first) > 0 ? kPhraseWeights.uncounted_followers : 0.0);
    }
    const std::uint32_t together = model_.PairCount(first, second.word);
    const double frequency = model_.Frequency(*word);
    if (together > 0 && model_.Frequency(*word) >= together) {
        return std::log(together / frequency);
    }
    double evidence = 0;
    int kinds = 0;
    const std::uint32_t with_ending = model_.EndingPairCount(first, second.ending);
    const std::uint32_t ending = model_.EndingCount(second.ending);
    if (with_ending > 0 && ending > 0 && model_.Frequency(*word) >= with_ending) {
        // The word's share of its ending, in the technical text and the
        // everyday lists together.
        const GreekModel::Word* next = model_.WordAt(second.word);
        const double share = (next == nullptr ? 0.0
                                              : static_cast<double>(model_.Frequency(*next)) +
                                                    model_.EverydayCount(second.word)) +
                             0.1;
        const double of_ending =
            static_cast<double>(ending) + model_.EverydayEndingCount(second.ending);
        evidence += std::log(with_ending / frequency) + std::log(share / of_ending);
        ++kinds;
    }
    const FirstFacts& facts = FactsOf(first, *word);
    const std::uint32_t after_ending = model_.EndingWordCount(facts.ending, second.word);
    const std::uint32_t of_ending = facts.of_ending;
    if (after_ending > 0 && of_ending >= after_ending) {
        evidence += std::log(static_cast<double>(after_ending) / of_ending);
        ++kinds;
    }
    // A pair is counted from three times on: one not counted was seen at
    // most twice, however likely its endings make it (η before να).
    const double most = facts.most;
    if (kinds > 0) {
        return std::min(kPhraseWeights.back_off + evidence / kinds, most);
    }
    return std::min(kPhraseWeights.back_off + facts.unaccounted + alone, most);
}

}  // namespace bivano::internal
