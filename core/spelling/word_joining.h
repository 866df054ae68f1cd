// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/spelling/word_reader.h"

namespace bivano::internal {

// When two typed words are one word typed as two. Scores are natural
// logarithms of likelihoods, as the word reader's (word_reader.h).
struct JoinWeights {
    // The word they make together, read from their very letters at no
    // more than this cost, must be in use as much as a word a slip of
    // typing may give: its log share of running words at least this (about
    // one in 30,000 words).
    float most_cost = 1.0F;
    double common_word = -10.3;
    // And likelier than the two words apart, taken as if each came
    // independently of the other, by this much (about 50 times).
    double margin = 3.9;
    // Two words either of which is this common (about one word in 1,100)
    // stay apart.
    double commonest_word = -7.0;
    // Each part has this many letters or more (o, h, i are articles), the
    // first this many at most (a short word or a prefix typed apart: kali,
    // para, apo, tou; two long words are two words), and the two this many
    // at most.
    std::size_t shortest_part = 2;
    std::size_t longest_first = 6;
    std::size_t longest_joined = 16;
    // The choices of each part whose pair the counts are asked for, and of
    // the first part that are read on with the second's letters.
    std::size_t pairs_asked = 3;
    std::size_t read_on = 3;
};
inline constexpr JoinWeights kJoinWeights{};

// What a typed word may be in one word typed as two: no part of one
// (a chat abbreviation, laughter, an English word, too short or too long),
// one of the commonest words (an article, a pronoun, a particle), another
// word, or no word (nothing places it, or only a slip of typing does).
enum class JoinPart : std::uint8_t { None, Commonest, Word, NoWord };

// Tells whether two words with a blank between them are one word typed as
// two: `kali mera` is καλημέρα, `para kalo` παρακαλώ, `tou laxiston`
// τουλάχιστον; `me ta` stays με τα and `to pws` το πώς (the commonest
// words, and pairs the counts have), `kali idea` καλή ιδέα (no word reads
// from kaliidea). Only where the model strongly prefers the one word: it
// is common, the two parts are no pair the counts know, and the word is
// much likelier than the parts (or a part is no word at all). The answers
// are remembered by the parts' readings, until the reader forgets them.
class WordJoiner {
  public:
    explicit WordJoiner(WordReader& words) : words_(words) {}

    // What the word read as reading `number` (typed with `length` letters)
    // may be in a word typed as two; remembered by the number.
    JoinPart PartOf(std::uint32_t number, std::size_t length) {
        if (parts_generation_ != words_.generation()) {
            parts_.clear();
            parts_generation_ = words_.generation();
        }
        if (number < parts_.size() && parts_[number] != kUnknownPart) {
            return static_cast<JoinPart>(parts_[number]);
        }
        return RememberPart(number, length);
    }
    // Whether parts of these kinds may be one word. Two words, one of them
    // among the commonest, may well go together where the counts did not
    // look (συστήματα is common, and so is σύστημα τα): they stay apart.
    // Most pairs of running text end here, at no cost.
    static bool MayJoin(JoinPart first, std::size_t first_length, JoinPart second) {
        if (first == JoinPart::None || second == JoinPart::None ||
            first_length > kJoinWeights.longest_first) {
            return false;
        }
        return (first != JoinPart::Commonest || second == JoinPart::NoWord) &&
               (second != JoinPart::Commonest || first == JoinPart::NoWord);
    }

    // Whether `first` and `second` (typed in Latin letters, read as the
    // word reader's readings `first_reading` and `second_reading`) are one
    // word, whatever their case.
    bool OneWord(std::u16string_view first, std::uint32_t first_reading, std::u16string_view second,
                 std::uint32_t second_reading);
    // The same, with what each may be (PartOf) known.
    bool OneWord(std::u16string_view first, std::uint32_t first_reading, JoinPart first_part,
                 std::u16string_view second, std::uint32_t second_reading, JoinPart second_part);

    // Whether the case of two typed words lets them be one: the second in
    // small letters (kali mera, Kali mera), or both in capitals (KALI
    // MERA); not kali Mera, a name perhaps.
    static bool CaseAllowsJoining(std::u16string_view first, std::u16string_view second);

  private:
    static JoinPart PartOfReading(const WordReading& reading, std::size_t length);
    JoinPart RememberPart(std::uint32_t number, std::size_t length);
    bool Decide(std::uint32_t first_reading, const WordReading& first, JoinPart first_part,
                std::u16string_view first_typed, const WordReading& second, JoinPart second_part,
                std::u16string_view second_typed);
    // Where in the letter tree the likeliest words of reading `number`
    // end, for longer words to be read on from; remembered by the number.
    std::span<const WordReader::ReadFrom> PlacesOf(std::uint32_t number,
                                                   const WordReading& reading);

    WordReader& words_;
    static constexpr std::uint8_t kUnknownPart = 0xFF;
    std::vector<std::uint8_t> parts_;  // by reading number
    std::uint64_t parts_generation_ = 0;
    struct Memo {
        std::uint64_t key = 0;  // the readings' numbers, plus one; 0 for none
        std::uint64_t generation = 0;
        bool joined = false;
    };
    // Small at first, and as large as they may be once a text has given
    // them that many pairs to decide: a short text (a test, a sentence)
    // starts at no cost.
    static constexpr int kFirstMemoBits = 6;
    static constexpr int kMostMemoBits = 13;
    int memo_bits_ = 0;
    std::size_t decided_ = 0;
    std::vector<Memo> memo_;
    struct Places {
        std::uint32_t reading = 0;  // its number, plus one; 0 for none
        std::uint8_t count = 0;
        std::uint64_t generation = 0;
        std::array<WordReader::ReadFrom, kJoinWeights.read_on> from{};
    };
    std::vector<Places> places_;  // a quarter as many
};

}  // namespace bivano::internal
