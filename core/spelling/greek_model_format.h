// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The layout of the reader's model file, which the builder (model_builder/)
// writes and GreekModel maps and reads in place. Every record has a fixed
// size and fixed places, asserted below, so that a model made on one
// machine reads the same on any little-endian one, of 64 bits or 32
// (i386, armhf, WebAssembly). The file is
//   Header, then the sections it names, each at the first multiple of 8
//   after the one before, the last up to the end of the file.
// A model of another byte order or version is refused, not converted.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace bivano::model_format {

inline constexpr std::array<char, 8> kMagic = {'B', 'I', 'V', 'A', 'N', 'O', 'G', 'M'};
// 5: one byte a letter, the words numbered by the letter tree, narrow tree
// nodes and a sorted pair array. 4 was the first layout, twice the size.
inline constexpr std::uint32_t kVersion = 5;
inline constexpr std::uint32_t kByteOrder = 0x01020304;

enum Section : std::size_t {
    kLetters,            // std::uint8_t: the words' letters, one byte each (LetterByte)
    kWords,              // GreekModel::Word, in word order
    kLengthRuns,         // LengthRun, kLengthRunCount of them
    kCountedBlocks,      // CountedBlock, one for every 32 words
    kCounts,             // WordCounts, one for every word that has counts
    kNodes,              // GreekModel::Node, in breadth-first order, a multiple of 16
    kNodeBlocks,         // NodeBlock, one for every 16 nodes
    kPairFirsts,         // PairFirst, by first
    kPairSeconds,        // PairSecond, by first, then by second
    kEndings,            // std::uint32_t: word numbers, by their endings read backwards
    kEnglishLetters,     // char: the English words by length, then alphabetically
    kEnglishLengths,     // EnglishLength: where the words of each length begin
    kCountedWords,       // std::uint8_t: the counted words, each its length, then its letters
    kCountedWordCounts,  // std::uint32_t: their counts, in the same order
    kSectionCount
};

struct SectionPlace {
    std::uint64_t offset;  // from the start of the file
    std::uint64_t size;    // in bytes
};
static_assert(sizeof(SectionPlace) == 16);

struct Header {
    std::array<char, 8> magic;
    std::uint32_t version;
    std::uint32_t byte_order;
    std::uint64_t checksum;  // of the whole file, this field taken as 0
    std::uint64_t list_words;
    std::uint64_t running_words;
    std::uint64_t tree_words;  // the words numbered below this are in the letter tree
    std::array<SectionPlace, kSectionCount> sections;
};
static_assert(offsetof(Header, version) == 8 && offsetof(Header, byte_order) == 12 &&
              offsetof(Header, checksum) == 16 && offsetof(Header, list_words) == 24 &&
              offsetof(Header, running_words) == 32 && offsetof(Header, tree_words) == 40 &&
              offsetof(Header, sections) == 48);
static_assert(sizeof(Header) == 48 + 16 * kSectionCount);

// A Greek letter (U+0381 to U+03FF, accents and capitals included) is
// stored as one byte, its code less kLetterBase.
inline constexpr char16_t kLetterBase = 0x380;
constexpr bool FitsLetterByte(char16_t c) {
    return c > kLetterBase && c < kLetterBase + 0x80;
}

// The words are numbered breadth-first by the letter tree, so that the
// words of one length lie together and their letters too; a word's letters
// are at first_letter + (number - first_word) * length, from the run of
// its length: runs [0, 64) for the words in the tree, [64, 128) for the
// others (see tree_words).
struct LengthRun {
    std::uint32_t first_word;
    std::uint32_t first_letter;
};
static_assert(sizeof(LengthRun) == 8);
inline constexpr std::size_t kLengthRunCount = 128;
inline constexpr std::size_t kLongestStoredWord = 63;

// Which words have counts, 32 words a block: the counts of word n are at
// before + the number of bits set below n's.
struct CountedBlock {
    std::uint32_t before;
    std::uint32_t bits;
};
static_assert(sizeof(CountedBlock) == 8);
inline constexpr std::size_t kWordsPerCountedBlock = 32;

struct WordCounts {
    std::uint32_t frequency;  // in running text
    std::uint32_t followed;   // of those, how many times by a word of a counted pair
};
static_assert(sizeof(WordCounts) == 8);

// Where the children and the words of the first node of each 16 begin;
// those of the others follow from the counts of the nodes before them.
struct NodeBlock {
    std::uint32_t first_child;
    std::uint32_t first_word;
};
static_assert(sizeof(NodeBlock) == 8);
inline constexpr std::size_t kNodesPerBlock = 16;

// The pairs: for every first, where its seconds begin (they end where the
// next first's begin); the counts under a first, by second.
struct PairFirst {
    std::uint32_t first;
    std::uint32_t begin;
};
static_assert(sizeof(PairFirst) == 8);
struct PairSecond {
    std::uint32_t second;
    std::uint32_t count;
};
static_assert(sizeof(PairSecond) == 8);

// The English words of length L are [lengths[L].first_word,
// lengths[L + 1].first_word), their letters from lengths[L].first_letter.
struct EnglishLength {
    std::uint32_t first_word;
    std::uint32_t first_letter;
};
static_assert(sizeof(EnglishLength) == 8);

// Keys of the pair array besides word numbers (which stay below
// kEndingMark). Pairs of a word and an ending have the ending's mark; the
// count of an ending alone is under a first word that no word has.
inline constexpr std::uint32_t kEndingMark = 0x80000000U;
inline constexpr std::uint32_t kAnyWord = 0xFFFFFFFFU;
// What stands before a phrase, or after it, in place of a word: numbers no
// word has, nor an ending (those have a Greek letter in their high half).
inline constexpr std::uint32_t kBeforePhrase = 0xFFFFFFF0U;
inline constexpr std::uint32_t kAfterPhrase = 0xFFFFFFF8U;
// Everyday counts stand in the pair array under a first number no word
// has, their total under kAnyWord.
inline constexpr std::uint32_t kEveryday = 0xFFFFFFE0U;

// A checksum quick enough to run over the whole file at every start: four
// lanes of 8-byte words, each step (xor, multiply by an odd number, shift
// xor) undoing nothing, so that a change of any one word always changes
// the sum. Little-endian words, as the file's.
inline std::uint64_t Checksum(std::span<const std::byte> bytes, std::uint64_t seed) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    const auto mix = [](std::uint64_t lane, std::uint64_t word) {
        lane = (lane ^ word) * kMultiplier;
        return lane ^ (lane >> 29);
    };
    std::array<std::uint64_t, 4> lanes = {seed, seed ^ 0x243F6A8885A308D3ULL,
                                          seed ^ 0x13198A2E03707344ULL,
                                          seed ^ 0xA4093822299F31D0ULL};
    std::size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32) {
        std::array<std::uint64_t, 4> words;
        std::memcpy(words.data(), bytes.data() + at, 32);
        for (std::size_t lane = 0; lane < 4; ++lane) {
            lanes[lane] = mix(lanes[lane], words[lane]);
        }
    }
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        lanes[0] = mix(lanes[0], word);
    }
    std::uint64_t last = 0;
    if (at < bytes.size()) {
        std::memcpy(&last, bytes.data() + at, bytes.size() - at);
    }
    std::uint64_t sum = mix(bytes.size(), last);
    for (const std::uint64_t lane : lanes) {
        sum = mix(sum, lane);
    }
    return sum;
}

// The checksum of a model: its header with the checksum taken as 0, then
// the rest.
inline std::uint64_t ModelChecksum(Header header, std::span<const std::byte> rest) {
    header.checksum = 0;
    std::array<std::byte, sizeof(Header)> head;
    std::memcpy(head.data(), &header, sizeof header);
    return Checksum(rest, Checksum(head, 0x6A09E667F3BCC908ULL));
}

}  // namespace bivano::model_format
