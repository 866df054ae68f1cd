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
#include <initializer_list>
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
    kNodes,              // GreekModel::Node, in breadth-first order, a multiple of 8
    kNodeBlocks,         // NodeBlock, one for every 8 nodes
    kPairFirsts,         // PairFirst, by first
    kPairSeconds,        // PairSecond, by first, then by second
    kEndingCounts,       // EndingCounts, kEndingCountSlots of them, by EndingSlot
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

// GreekModel::Node's 16 bits, four to a 64-bit word: its child count in bits 5-9
// of each lane, its word count in bits 10-15.
inline constexpr std::uint64_t kChildCounts = 0x001F001F001F001FULL;
inline constexpr std::uint64_t kWordCounts = 0x003F003F003F003FULL;

// The child counts of a block's 8 nodes go into the bytes of one word,
// nodes 0-3 in bytes 0, 2, 4, 6 and nodes 4-7 in bytes 1, 3, 5, 7: the
// bytes of the nodes before node j of the block.
inline constexpr std::array<std::uint64_t, 8> kNodesBefore = [] {
    std::array<std::uint64_t, 8> masks{};
    for (std::size_t j = 1; j < 8; ++j) {
        const std::size_t node = j - 1;
        const std::size_t byte = node < 4 ? 2 * node : 2 * (node - 4) + 1;
        masks[j] = masks[j - 1] | std::uint64_t{0xFF} << (8 * byte);
    }
    return masks;
}();
// The 16-bit lanes of the first k nodes of four, k from 0 to 4.
inline constexpr std::array<std::uint64_t, 5> kLanesBefore = {0, 0xFFFFULL, 0xFFFFFFFFULL,
                                                              0xFFFFFFFFFFFFULL, ~std::uint64_t{0}};

// Which words have counts, and which are the first of pairs, 32 words a
// block: the counts of word n are at before + the number of bits set below
// n's, its pairs' entry in the pair firsts at pairs_before + the number of
// pair_bits set below n's.
struct CountedBlock {
    std::uint32_t before;
    std::uint32_t bits;
    std::uint32_t pairs_before;
    std::uint32_t pair_bits;
};
static_assert(sizeof(CountedBlock) == 16);
inline constexpr std::size_t kWordsPerCountedBlock = 32;

// The bits set in a block's word, counted in registers: std::popcount is
// a library call where the machine's instruction cannot be assumed.
constexpr std::size_t CountBits(std::uint32_t bits) {
    bits = bits - ((bits >> 1) & 0x55555555U);
    bits = (bits & 0x33333333U) + ((bits >> 2) & 0x33333333U);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0FU;
    return (bits * 0x01010101U) >> 24;
}
static_assert(CountBits(0) == 0 && CountBits(0xFFFFFFFFU) == 32 && CountBits(0x80000101U) == 3);

struct WordCounts {
    std::uint32_t frequency;  // in running text
    std::uint32_t followed;   // of those, how many times by a word of a counted pair
    std::uint32_t everyday;   // in everyday Greek, in the units of frequency
};
static_assert(sizeof(WordCounts) == 12);

// Where the children and the words of the first node of each 8 begin;
// those of the others follow from the counts of the nodes before them.
struct NodeBlock {
    std::uint32_t first_child;
    std::uint32_t first_word;
};
static_assert(sizeof(NodeBlock) == 8);
inline constexpr std::size_t kNodesPerBlock = 8;

// The pairs: for every first, where its seconds begin (they end where the
// next first's begin); the counts under a first, by second. Words come
// first, then the other keys below.
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

// How often words of each ending occur (GreekModel::EndingOf: the last two
// plain letters, or a blank and the one letter of a word of one), in
// running text and in everyday Greek, at EndingSlot(ending). An ending of
// other letters has no slot; its counts stand in the pair array.
struct EndingCounts {
    std::uint32_t count;
    std::uint32_t everyday;
};
static_assert(sizeof(EndingCounts) == 8);
inline constexpr std::size_t kEndingLetters = 26;  // a blank, then α (1) to ω (25)
inline constexpr std::size_t kEndingCountSlots = kEndingLetters * kEndingLetters;
inline constexpr std::size_t kNoEndingSlot = kEndingCountSlots;
constexpr std::size_t EndingSlot(std::uint32_t ending) {
    const auto letter = [](std::uint32_t c) -> std::size_t {
        return c == u' ' ? 0 : c > 0x3B0 && c <= 0x3C9 ? c - 0x3B0 : kEndingLetters;
    };
    const std::size_t before = letter((ending >> 16) & 0x7FFFU);
    const std::size_t last = letter(ending & 0xFFFFU);
    return before == kEndingLetters || last == kEndingLetters ? kNoEndingSlot
                                                              : before * kEndingLetters + last;
}

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
// Everyday counts of endings stand in the pair array under a first number
// no word has, the total of all words under kAnyWord (a word's own is in
// WordCounts).
inline constexpr std::uint32_t kEveryday = 0xFFFFFFE0U;

// A checksum quick enough to run over the whole file at every start: four
// lanes of 8-byte words, each step (xor, rotate, multiply by an odd number)
// undoing nothing, so that a change of any one word always changes the
// sum. Little-endian words, as the file's.
inline std::uint64_t Checksum(std::span<const std::byte> bytes, std::uint64_t seed) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    const auto mix = [](std::uint64_t lane, std::uint64_t word) {
        const std::uint64_t mixed = lane ^ word;
        return ((mixed << 29) | (mixed >> 35)) * kMultiplier;
    };
    std::uint64_t lane0 = seed;
    std::uint64_t lane1 = seed ^ 0x243F6A8885A308D3ULL;
    std::uint64_t lane2 = seed ^ 0x13198A2E03707344ULL;
    std::uint64_t lane3 = seed ^ 0xA4093822299F31D0ULL;
    const std::byte* at = bytes.data();
    const std::byte* const end = at + bytes.size();
    const auto word = [](const std::byte* place) {
        std::uint64_t value;
        std::memcpy(&value, place, sizeof value);
        return value;
    };
    for (; end - at >= 32; at += 32) {
        lane0 = mix(lane0, word(at));
        lane1 = mix(lane1, word(at + 8));
        lane2 = mix(lane2, word(at + 16));
        lane3 = mix(lane3, word(at + 24));
    }
    for (; end - at >= 8; at += 8) {
        lane0 = mix(lane0, word(at));
    }
    std::uint64_t last = 0;
    if (at < end) {
        std::memcpy(&last, at, static_cast<std::size_t>(end - at));
    }
    std::uint64_t sum = mix(bytes.size(), last);
    for (const std::uint64_t lane : {lane0, lane1, lane2, lane3}) {
        sum = mix(sum, lane);
        sum ^= sum >> 31;
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
