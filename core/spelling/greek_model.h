// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/greek_letters.h"
#include "core/result.h"
#include "core/spelling/greek_model_format.h"

namespace bivano {

// What the Greek reader knows, as one block of bytes that is used where it
// lies: made by the builder (model_builder/), then mapped from its file at
// every start instead of being read word by word. It holds
//   - the words of the dictionary, lower case with accents, each with how
//     often it occurs in running text and whether it is a name;
//   - a letter tree over their plain forms (small letters, no accents, σ
//     for ς), so that every reading of a typed word is followed letter by
//     letter and dropped as soon as no word starts so;
//   - how often one word follows another;
//   - the words in use, ordered by their endings;
//   - English words, which stay in Latin letters;
//   - the counted words as the counts write them, for the statistics of
//     letters that the layout repair keeps.
// The layout is greek_model_format.h. Every index read from the bytes is
// checked, so that a damaged file gives missing words, never a crash; a
// checksum over the whole file catches the damage first.
class GreekModel {
  public:
    // A word: 2 bytes of the file. Its number (NumberOf) keys its letters,
    // its counts and its pairs.
    struct Word {
        std::uint8_t flags;  // kSmall, kBeginsPairs, kEndsPairs, ...
        std::uint8_t shape;  // its length (low 6 bits) and Stress (high 2)
        // 0 next-to-last, 1 last, 2 third from last, 3 none.
        std::uint8_t Stress() const { return static_cast<std::uint8_t>(shape >> 6); }
        std::size_t Length() const { return shape & 0x3FU; }
    };
    // A word's flags: written in small letters (not only with a capital,
    // as a name), first or second of a counted pair.
    static constexpr std::uint8_t kSmall = 1;
    static constexpr std::uint8_t kBeginsPairs = 2;
    static constexpr std::uint8_t kEndsPairs = 4;
    static constexpr std::uint8_t kBeginsEndingPairs = 8;
    static constexpr std::uint8_t kEndsEndingPairs = 16;
    // A node of the letter tree: 2 bytes of the file, its plain letter (α
    // 1 to ω 25, 0 at the root), how many children and words it has. Where
    // they are follows from its place (Child, WordsAt).
    struct Node {
        std::uint16_t bits;
        char16_t Letter() const {
            return (bits & 0x1FU) == 0 ? u'\0' : static_cast<char16_t>(0x3B0 + (bits & 0x1FU));
        }
        std::size_t ChildCount() const { return (bits >> 5) & 0x1FU; }
        std::size_t WordCount() const { return bits >> 10; }
    };
    static_assert(sizeof(Word) == 2 && sizeof(Node) == 2);

    // A word's letters, decoded from the model's bytes: a value, read as a
    // std::u16string_view for as long as it lives.
    class Spelling {
      public:
        operator std::u16string_view() const { return {letters_.data(), size_}; }
        std::size_t size() const { return size_; }
        friend bool operator==(const Spelling& spelling, std::u16string_view other) {
            return std::u16string_view(spelling) == other;
        }

      private:
        friend class GreekModel;
        // Only the first size_ are written: a word's letters, no more.
        std::array<char16_t, model_format::kLongestStoredWord> letters_;
        std::size_t size_ = 0;
    };

    // The model's header: its name, version, counts, checksum and the
    // places of its sections, all covered by the checksum.
    static constexpr std::size_t kHeaderBytes = sizeof(model_format::Header);

    // What Failure::detail says of bytes that are no model (Cause::NotAModel).
    static constexpr const char* kTooShort = "too short";
    static constexpr const char* kNoModel = "no model";
    static constexpr const char* kOtherVersion = "another version";
    static constexpr const char* kDamaged = "damaged";

    // A view of `bytes`, which `owner` keeps alive (a mapping, a buffer);
    // nothing, with `failure` (when given) saying why, when the bytes are no
    // model.
    static std::unique_ptr<GreekModel> FromBytes(std::span<const std::byte> bytes,
                                                 std::shared_ptr<const void> owner,
                                                 Failure* failure = nullptr);

    // The letters of `word`, lower case with accents; none for a word whose
    // place a damaged model gives wrong.
    Spelling Letters(const Word& word) const { return Letters(NumberOf(word), word); }
    // The same of word `number`, from a copy of its entry.
    Spelling Letters(std::uint32_t number, Word word) const {
        return SpellingOf(LetterBytes(number, word));
    }
    // The model's bytes for those letters (each a letter's code less
    // model_format::kLetterBase); none where Letters gives none.
    std::span<const std::uint8_t> LetterBytes(std::uint32_t number, Word word) const {
        const std::size_t length = word.Length();
        const model_format::LengthRun& run = length_runs_[(number < tree_words_ ? 0 : 64) + length];
        if (number < run.first_word) {
            return {};
        }
        const std::uint64_t offset =
            run.first_letter + std::uint64_t{number - run.first_word} * length;
        if (offset > letters_.size() || letters_.size() - offset < length) {
            return {};
        }
        return letters_.subspan(static_cast<std::size_t>(offset), length);
    }
    // The letters such bytes stand for.
    static Spelling SpellingOf(std::span<const std::uint8_t> bytes) {
        Spelling spelling;
        const std::size_t length = std::min(bytes.size(), spelling.letters_.size());
        for (std::size_t i = 0; i < length; ++i) {
            spelling.letters_[i] = static_cast<char16_t>(model_format::kLetterBase + bytes[i]);
        }
        spelling.size_ = length;
        return spelling;
    }
    // Asks for the letters of word `number` to be brought near, ahead of
    // Letters: a phrase asks for all its words' before it writes any.
    void PrefetchLetters(std::uint32_t number, Word word) const {
        if (const std::span<const std::uint8_t> bytes = LetterBytes(number, word); !bytes.empty()) {
            __builtin_prefetch(bytes.data());
        }
    }
    std::size_t WordCount() const { return words_.size(); }
    const Word* WordAt(std::uint32_t number) const {
        return number < words_.size() ? &words_[number] : nullptr;
    }
    std::uint32_t NumberOf(const Word& word) const {
        return static_cast<std::uint32_t>(&word - words_.data());
    }
    // How often `word` occurs in running text (0 for a word only the
    // dictionary has); of those, how many times a word of a counted pair
    // follows it.
    std::uint32_t Frequency(const Word& word) const {
        const model_format::WordCounts* counts = CountsOf(NumberOf(word));
        return counts == nullptr ? 0 : counts->frequency;
    }
    std::uint32_t Followed(const Word& word) const {
        const model_format::WordCounts* counts = CountsOf(NumberOf(word));
        return counts == nullptr ? 0 : counts->followed;
    }
    // How many of the words came from the dictionary itself.
    std::size_t ListWordCount() const { return list_words_; }
    std::uint64_t RunningWords() const { return running_words_; }

    // The letter tree: the root, and a node's child for a plain letter.
    const Node* Root() const { return nodes_.empty() ? nullptr : &nodes_[0]; }
    const Node* Child(const Node& node, char16_t letter) const {
        if (letter <= 0x3B0 || letter > 0x3B0 + 0x1F) {
            return nullptr;
        }
        const std::span<const Node> children = ChildrenOf(node);
        const auto wanted = static_cast<std::uint16_t>(letter - 0x3B0);
        const auto found = std::lower_bound(
            children.begin(), children.end(), wanted,
            [](const Node& child, std::uint16_t key) { return (child.bits & 0x1FU) < key; });
        return found != children.end() && (found->bits & 0x1FU) == wanted ? &*found : nullptr;
    }
    // All of a node's children, by letter.
    std::span<const Node> ChildrenOf(const Node& node) const {
        const std::size_t first = FirstChild(static_cast<std::size_t>(&node - nodes_.data()));
        if (nodes_.size() - first < node.ChildCount()) {
            return {};
        }
        return nodes_.subspan(first, node.ChildCount());
    }
    // The words whose plain form ends at `node`, best first.
    std::span<const Word> WordsAt(const Node& node) const {
        const std::size_t first = FirstWord(static_cast<std::size_t>(&node - nodes_.data()));
        if (words_.size() - first < node.WordCount()) {
            return {};
        }
        return words_.subspan(first, node.WordCount());
    }
    // The words of one plain form.
    std::span<const Word> WordsOf(std::u16string_view plain) const;

    // How often word `second` follows word `first` in running text.
    std::uint32_t PairCount(std::uint32_t first, std::uint32_t second) const;
    // The ending of a word for the counts: its last two plain letters.
    static std::uint32_t EndingOf(std::u16string_view lower);
    // How often word `first` is followed by a word with `ending`; and how
    // often words with that ending occur at all.
    std::uint32_t EndingPairCount(std::uint32_t first, std::uint32_t ending) const;
    std::uint32_t EndingCount(std::uint32_t ending) const;
    // What stands beside a phrase of Greek words (with only blanks between
    // them): a sentence's start or end, a comma, another mark, a digit, a
    // Latin letter.
    enum class Beside : std::uint8_t { Sentence, Comma, Mark, Digit, Latin };
    // How often `word` was the first of a phrase with `beside` before it
    // (or, `first` false, the last with `beside` after it); and how many
    // phrases had that edge.
    std::uint32_t PhraseEdgeCount(Beside beside, bool first, std::uint32_t word) const;
    std::uint32_t PhraseEdgeTotal(Beside beside, bool first) const;
    // How often a word with `ending` is followed by word `second` (one of
    // the commonest words).
    std::uint32_t EndingWordCount(std::uint32_t ending, std::uint32_t second) const;

    // How often `word` occurs in everyday Greek, in the units of its
    // frequency, and all everyday words together: 0 for a model made
    // without the everyday lists.
    std::uint32_t EverydayCount(std::uint32_t word) const;
    std::uint64_t EverydayTotal() const;
    // How often words with `ending` occur in everyday Greek, so measured.
    std::uint32_t EverydayEndingCount(std::uint32_t ending) const;

    // The word in use whose ending is longest in common with `plain`'s
    // (letters that sound alike count as one), with that length.
    std::pair<const Word*, std::size_t> LongestEnding(std::u16string_view plain) const;

    // Whether `lower` (small Latin letters) is an English word.
    bool IsEnglish(std::string_view lower) const;
    // The English words, by length, then alphabetically: for statistics
    // over them.
    std::size_t EnglishWordCount() const {
        return english_lengths_.empty() ? 0 : english_lengths_.back().first_word;
    }
    std::string_view EnglishWord(std::size_t index) const;

    // Calls visit(word, count) for every word of the counts the model was
    // made from, as the counts write it (a name with its capital), in their
    // order; far fewer than the model's words, and all in one place.
    template <class Visit>
    void ForEachCountedWord(Visit visit) const {
        std::array<char16_t, 255> letters;
        std::size_t at = 0;
        for (const std::uint32_t count : counted_word_counts_) {
            if (at >= counted_words_.size() ||
                counted_words_.size() - at - 1 < counted_words_[at]) {
                return;
            }
            const std::size_t length = counted_words_[at];
            for (std::size_t i = 0; i < length; ++i) {
                letters[i] =
                    static_cast<char16_t>(model_format::kLetterBase + counted_words_[at + 1 + i]);
            }
            visit(std::u16string_view(letters.data(), length), count);
            at += 1 + length;
        }
    }

  private:
    GreekModel() = default;
    std::uint32_t Probe(std::uint32_t first, std::uint32_t second) const;
    const model_format::WordCounts* CountsOf(std::uint32_t number) const {
        const std::size_t block = number / model_format::kWordsPerCountedBlock;
        if (block >= counted_blocks_.size()) {
            return nullptr;
        }
        const model_format::CountedBlock& counted = counted_blocks_[block];
        const std::uint32_t bit = 1U << (number % model_format::kWordsPerCountedBlock);
        if ((counted.bits & bit) == 0) {
            return nullptr;
        }
        const std::size_t index =
            std::size_t{counted.before} + model_format::CountBits(counted.bits & (bit - 1));
        return index < counts_.size() ? &counts_[index] : nullptr;
    }
    // Where the children, and the words, of node `index` begin: the first
    // of its block's, and the sum of the counts of the nodes before it in
    // the block, taken a 64-bit word at a time.
    std::size_t FirstChild(std::size_t index) const {
        const std::size_t block = index / model_format::kNodesPerBlock;
        std::array<std::uint64_t, 2> lanes;
        std::memcpy(lanes.data(), &nodes_[block * model_format::kNodesPerBlock], sizeof lanes);
        // At most 7 counts of at most 31 before a node: one byte holds their sum.
        const std::uint64_t counts = ((lanes[0] >> 5) & model_format::kChildCounts) |
                                     ((lanes[1] >> 5) & model_format::kChildCounts) << 8;
        const std::uint64_t before =
            counts & model_format::kNodesBefore[index % model_format::kNodesPerBlock];
        const std::uint64_t first =
            node_blocks_[block].first_child + ((before * 0x0101010101010101ULL) >> 56);
        return static_cast<std::size_t>(std::min<std::uint64_t>(first, nodes_.size()));
    }
    std::size_t FirstWord(std::size_t index) const {
        const std::size_t block = index / model_format::kNodesPerBlock;
        const std::size_t before = index % model_format::kNodesPerBlock;
        std::array<std::uint64_t, 2> lanes;
        std::memcpy(lanes.data(), &nodes_[block * model_format::kNodesPerBlock], sizeof lanes);
        // Lane by lane, two counts of at most 63; then the four lanes summed.
        const std::uint64_t counts =
            ((lanes[0] >> 10) & model_format::kWordCounts &
             model_format::kLanesBefore[std::min<std::size_t>(before, 4)]) +
            ((lanes[1] >> 10) & model_format::kWordCounts &
             model_format::kLanesBefore[std::max<std::size_t>(before, 4) - 4]);
        const std::uint64_t first =
            node_blocks_[block].first_word + ((counts * 0x0001000100010001ULL) >> 48);
        return static_cast<std::size_t>(std::min<std::uint64_t>(first, words_.size()));
    }

    std::shared_ptr<const void> owner_;
    std::span<const std::uint8_t> letters_;
    std::span<const Word> words_;
    std::span<const model_format::LengthRun> length_runs_;
    std::span<const model_format::CountedBlock> counted_blocks_;
    std::span<const model_format::WordCounts> counts_;
    std::span<const Node> nodes_;
    std::span<const model_format::NodeBlock> node_blocks_;
    std::span<const model_format::PairFirst> pair_firsts_;
    std::span<const model_format::PairSecond> pair_seconds_;
    std::span<const model_format::EndingCounts> ending_counts_;
    std::span<const std::uint32_t> endings_;  // word numbers, by reversed sound
    std::span<const char> english_letters_;
    std::span<const model_format::EnglishLength> english_lengths_;
    std::span<const std::uint8_t> counted_words_;
    std::span<const std::uint32_t> counted_word_counts_;
    std::size_t word_firsts_ = 0;  // the pair firsts that are words, before the other keys
    std::size_t list_words_ = 0;
    std::size_t tree_words_ = 0;
    std::uint64_t running_words_ = 0;
};

}  // namespace bivano
