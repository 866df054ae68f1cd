// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/greek_letters.h"

namespace bivano {

// What the Greek reader knows, as one block of bytes that is used where it
// lies: made once when the program is built, then mapped from its file at
// every start instead of being read word by word. It holds
//   - the words of the dictionary, lower case with accents, each with how
//     often it occurs in running text and whether it is a name;
//   - a letter tree over their plain forms (small letters, no accents, σ
//     for ς), so that every reading of a typed word is followed letter by
//     letter and dropped as soon as no word starts so;
//   - how often one word follows another;
//   - the words in use, ordered by their endings;
//   - English words, which stay in Latin letters.
// Every index read from the bytes is checked, so that a damaged file gives
// missing words, never a crash; a checksum catches the damage first.
class GreekModel {
  public:
    struct Word {
        std::uint32_t offset;  // into the letters
        std::uint16_t length;
        std::uint8_t flags;       // kSmall, kBeginsPairs, kEndsPairs
        std::uint8_t stress;      // 0 next-to-last, 1 last, 2 third from last, 3 none
        std::uint32_t frequency;  // in running text; 0 for a word only the dictionary has
        std::uint32_t followed;   // of those, how many times by a word of a counted pair
    };
    // A word's flags: written in small letters (not only with a capital,
    // as a name), first or second of a counted pair.
    static constexpr std::uint8_t kSmall = 1;
    static constexpr std::uint8_t kBeginsPairs = 2;
    static constexpr std::uint8_t kEndsPairs = 4;
    static constexpr std::uint8_t kBeginsEndingPairs = 8;
    static constexpr std::uint8_t kEndsEndingPairs = 16;
    struct Node {
        std::uint32_t first_child;
        std::uint32_t first_word;  // the words of this plain form
        std::uint16_t word_count;
        char16_t letter;
        std::uint16_t child_count;
        std::uint16_t unused;
    };
    struct Pair {
        std::uint32_t first;  // word numbers
        std::uint32_t second;
        std::uint32_t count;  // 0: an empty slot
        std::uint32_t unused;
    };

    // The model's header: its name, version, counts, checksum and the
    // places of its sections, all covered by the checksum.
    static constexpr std::size_t kHeaderBytes = 152;

    // Why a block of bytes is no model.
    enum class Problem { None, TooShort, NotAModel, OtherVersion, Damaged };

    // A view of `bytes`, which `owner` keeps alive (a mapping, a buffer);
    // nothing, with `problem` saying why, when the bytes are no model.
    static std::unique_ptr<GreekModel> FromBytes(std::span<const std::byte> bytes,
                                                 std::shared_ptr<const void> owner,
                                                 Problem* problem = nullptr);

    // The word list and the counts it was made from.
    struct Source {
        std::vector<std::u16string> words;  // as the dictionary writes them
        std::vector<std::pair<std::u16string, std::uint32_t>> frequencies;
        std::vector<std::pair<std::pair<std::u16string, std::u16string>, std::uint32_t>> pairs;
        std::vector<std::string> english;
        // How common words are in everyday Greek, in the counts' units;
        // words the dictionary and the counts lack are left out.
        std::vector<std::pair<std::u16string, std::uint32_t>> everyday;
    };
    // The bytes of a model of `source`, for a file or for FromBytes.
    static std::vector<std::byte> Build(const Source& source);
    // Writes the checksum of changed model bytes, so that tests and the
    // fuzzer reach the checks behind it: a model whose indexes point
    // anywhere must still give words, or none, never a crash.
    static void Reseal(std::span<std::byte> bytes);

    std::u16string_view Letters(const Word& word) const;
    std::size_t WordCount() const { return words_.size(); }
    const Word* WordAt(std::uint32_t number) const {
        return number < words_.size() ? &words_[number] : nullptr;
    }
    std::uint32_t NumberOf(const Word& word) const {
        return static_cast<std::uint32_t>(&word - words_.data());
    }
    // How many of the words came from the dictionary itself.
    std::size_t ListWordCount() const { return list_words_; }
    std::uint64_t RunningWords() const { return running_words_; }

    // The letter tree: the root, and a node's child for a plain letter.
    const Node* Root() const { return nodes_.empty() ? nullptr : &nodes_[0]; }
    const Node* Child(const Node& node, char16_t letter) const;
    // All of a node's children, by letter.
    std::span<const Node> ChildrenOf(const Node& node) const;
    // The words whose plain form ends at `node`, best first.
    std::span<const Word> WordsAt(const Node& node) const;
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
    // The English words, in order: for statistics over them.
    std::size_t EnglishWordCount() const {
        return english_offsets_.empty() ? 0 : english_offsets_.size() - 1;
    }
    std::string_view EnglishWord(std::size_t index) const;

  private:
    GreekModel() = default;
    std::uint32_t Probe(std::uint32_t first, std::uint32_t second) const;

    std::shared_ptr<const void> owner_;
    std::span<const char16_t> letters_;
    std::span<const Word> words_;
    std::span<const Node> nodes_;
    std::span<const Pair> pairs_;
    std::span<const std::uint32_t> endings_;  // word numbers, by reversed sound
    std::span<const std::uint32_t> english_offsets_;
    std::span<const char> english_letters_;
    std::size_t list_words_ = 0;
    std::uint64_t running_words_ = 0;
};

}  // namespace bivano
