// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/greek_letters.h"
#include "core/spelling/greek_model.h"
#include "core/spelling/reading_cache.h"
#include "core/spelling/speller.h"
#include "core/spelling/typed_readings.h"

namespace bivano::internal {

// A small letter with a tonos: ά, ΐ; not ϊ, nor a capital.
inline bool IsAccented(char16_t c) {
    return HasTonos(c) && !IsGreekUpper(c);
}

// How a typed word is read: what its readings may cost, which words they
// may give, and when an English word or an acronym stays as typed. Costs
// are in the units of the readings table (typed_readings.h); shares of
// running words are natural logarithms.
struct WordWeights {
    // Readings costlier than this, added up over a word, are not followed.
    float most_cost = 2.6F;
    // A letter typed alone is read at most this dearly: i as η or οι, not
    // y as η.
    float letter_alone = 0.65F;
    // A consonant typed once for two.
    float doubled_cost = 0.9F;
    // A slip of typing (a letter left out, one too many, one swapped for
    // its neighbour), read only in a word no reading places.
    float slip_cost = 1.0F;
    // What a slip may read as: words in use (log share of running words,
    // about one in 30,000), of typed words of this many letters or more,
    // and of this many at most.
    double slip_word = -10.3;
    std::size_t shortest_slipped = 4;
    std::size_t longest_mended = 14;
    // Two words typed as one: each this common (log share of running
    // words), and either counted as a pair or each very common.
    double split_word = -9.0;
    double very_common_word = -7.0;
    std::size_t shortest_split = 5;
    // A run of one letter typed for emphasis, read as the letter once:
    // dearer than capitals read as Greek (capitals_as_greek), so that ZZZ
    // stays.
    float emphasis_cost = 0.7F;
    // How much one unit of reading cost weighs against the word model's
    // natural logarithms.
    double cost_weight = 2.3;
    // The most words of one plain form, and of one typed word, weighed.
    std::size_t most_per_form = 4;
    std::size_t most_choices = 8;
    // A choice this much less likely alone than the best is not weighed.
    double widest_margin = 9.0;
    // Words longer than this are not followed, nor kept in the cache.
    std::size_t longest_word = 48;
    // Readings this cheap are the letters as typed: an English word stays
    // in Latin letters unless a Greek word reads from it so (to, me, auto,
    // paw).
    float as_typed = 0.5F;
    // A word counted this often is in use: a capitalised English word that
    // reads as one (To, Mia) is Greek; one seen a few times (άλτ) does not
    // make Alt Greek.
    std::uint32_t in_use = 10;
    // A word this common (its log share of running words) reads from an
    // English word at this cost.
    double common_word = -7.6;
    float common_as_typed = 1.0F;
    // A Greek word rarer than this (its log share of running words, about
    // one in 300,000) does not make an English word Greek, however it
    // reads: the, nice, game stay (θε, νίψε, γάμε are rare); to, me, den,
    // tis are Greek.
    double rare_word = -12.6;
    // Capitals read as Greek ones when a word reads from them this easily
    // (KALIMERA); otherwise they are an acronym (LVM, BASIC).
    float capitals_as_greek = 0.6F;
    // An unknown word takes the accent of a known ending this long or
    // longer.
    std::size_t shortest_ending = 4;
    // Words remembered before the cache starts afresh, and characters of
    // their keys and spellings: a bound on its memory, whatever the words.
    std::size_t most_remembered = std::size_t{1} << 15;
    std::size_t most_remembered_characters = std::size_t{1} << 20;
};
inline constexpr WordWeights kWordWeights{};

// Reads typed words one at a time: each typed word (its small letters) is
// followed through every reading of its letters down the model's letter
// tree to the words it may be, best first by the word alone; or, when none
// is found, mended (a slip of typing, a letter typed for emphasis, two
// words typed as one), or spelled by the known word that ends most like
// it. The readings of every word met are kept, by number, until
// ForgetIfFull starts afresh.
class WordReader {
  public:
    // `shared`, when given, holds what other readers of the same text have
    // read.
    WordReader(const GreekModel& model, ReadingStream::Source source, bool chat,
               SharedReadings* shared = nullptr);

    // The number of the readings of a typed word, from the cache when it
    // was met before; good until ForgetIfFull forgets. A word that stands
    // alone (`alone`: blanks or sentence marks around it, no apostrophe,
    // dot or hyphen joining it to more) may be a chat abbreviation.
    std::uint32_t Read(std::u16string_view typed, bool alone = false);
    const WordReading& At(std::uint32_t number) const { return cache_.At(number); }
    const WordReading& ReadingOf(std::u16string_view typed) { return At(Read(typed)); }

    // Whether a typed word reads as a Greek word from its very letters, or
    // as one in use with readings that cost no more than `most`: ELA is
    // έλα, KALIMERA καλημέρα, but EFI no rare έφη.
    bool ReadsAsGreek(std::u16string_view typed, float most);
    // Whether a typed word is written out as a chat word (when chat words
    // are) or as laughter: Tpt, Xaxa.
    bool WrittenOut(std::u16string_view typed);

    // The words that `first` and `second` read as when typed as one, from
    // their very letters at no more than `most_cost` (no slip mended), best
    // first, with their scores; good until the next read. Not remembered:
    // word_joining.cpp, beside the one that asks.
    std::span<const Choice> ReadTogether(std::u16string_view first, std::u16string_view second,
                                         float most_cost);
    // The same, when the first part's words lead to the nodes of the
    // letter tree `from` (at their costs): read on from there with the
    // second part's letters, much quicker than both parts' letters afresh.
    struct ReadFrom {
        const GreekModel::Node* node;
        float cost;
    };
    std::span<const Choice> ReadOn(std::span<const ReadFrom> from, std::u16string_view second,
                                   float most_cost);

    // Changes whenever the numbers given out become void.
    std::uint64_t generation() const { return cache_.generation(); }
    // Forgets every word once the cache holds most_remembered, or their
    // characters most_remembered_characters; whether it did.
    // (Asked after every phrase: the test is inline, the clearing not.)
    bool ForgetIfFull() {
        if (cache_.size() < kWordWeights.most_remembered &&
            cache_.key_characters() + spelled_characters_ <
                kWordWeights.most_remembered_characters) {
            return false;
        }
        Forget();
        return true;
    }

    const GreekModel& Model() const { return model_; }
    bool Latin() const { return source_ == ReadingStream::Source::Latin; }

  private:
    void Forget();
    // The words found by a search started at `start`, their costs counted
    // from there, scored and best first.
    std::span<const Choice> ScoredBestFirst(float start);
    // Orders found_ best score first. The one place that sorts them, so
    // that the sort is compiled once.
    void SortFoundBestFirst();

    // `marked`: the word in small letters with the accents typed, when
    // it was typed with some; `chat`: it may be a chat abbreviation.
    WordReading Weigh(std::u16string_view lower, std::u16string_view marked, bool chat);
    // Read's work for a key (key_, of `letters` typed letters after `first`)
    // that it does not remember: weighed, or taken from the shared readings.
    std::uint32_t ReadAfresh(std::uint64_t hash, std::size_t first, std::size_t letters,
                             bool marked, bool chat);
    // Follows every reading of `word` from place `at` down the letter tree;
    // with `slip`, one slip of typing too (see FollowSlips).
    void Follow(const GreekModel::Node& node, std::u16string_view word, std::size_t at, float cost,
                bool slip = false);
    void FollowSlips(const GreekModel::Node& node, std::u16string_view word, std::size_t at,
                     float cost);
    // Follows `word` from the root: the readings of its letters found
    // once, for every branch of the search.
    void FollowFromRoot(std::u16string_view word, float cost, bool slip = false);
    // The readings of a word no reading places: with a run of one letter
    // collapsed, with a slip of typing, or as two words typed as one.
    void Mend(std::u16string_view lower, WordReading& reading);
    // Copies the first choice's entry and letters beside the choices.
    void KeepFirstChoice(WordReading& reading) const;
    std::u16string Converted(std::u16string_view lower) const;
    std::u16string ByEnding(std::u16string_view plain) const;
    double WordScore(std::uint32_t word) const;

    // What sets a chat abbreviation's key apart, and the accents typed in
    // a word's key.
    static constexpr char16_t kChatKey = 1;
    static constexpr char16_t kMarksKey = 2;

    const GreekModel& model_;
    ReadingStream::Source source_;
    bool chat_;
    SharedReadings* shared_;
    double running_words_;  // of the counts and the everyday lists, plus one
    ReadingCache cache_;
    std::u16string key_;
    std::size_t spelled_characters_ = 0;  // of the readings remembered
    std::vector<Choice> found_;           // Follow's findings
    // The readings at each place of the word followed from the root
    // (typed_readings.h): those of place `at` are readings_[first_[at]] up
    // to readings_[first_[at + 1]].
    std::u16string_view read_word_;
    std::vector<Reading> readings_;
    std::vector<std::uint32_t> first_;
};

}  // namespace bivano::internal
