// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/greek_model.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace bivano {
namespace {

using internal::PlainLetter;
using internal::SoundClass;
namespace format = model_format;

// The ending order: the word read backwards, by sound class.
bool EndsBefore(std::u16string_view a, std::u16string_view b) {
    return std::lexicographical_compare(
        a.rbegin(), a.rend(), b.rbegin(), b.rend(),
        [](char16_t x, char16_t y) { return SoundClass(x) < SoundClass(y); });
}

template <class T>
std::span<const T> SectionAs(std::span<const std::byte> bytes, const format::SectionPlace& place) {
    // The place lies within `bytes` (checked when read), so it fits a
    // size_t of 32 bits too.
    return {reinterpret_cast<const T*>(bytes.data() + static_cast<std::size_t>(place.offset)),
            static_cast<std::size_t>(place.size / sizeof(T))};
}

// The last of `sorted` whose key is not above `key`, or none: found by
// halves without a branch, so that which half follows is no guess to get
// wrong, and both places it may look at next are asked for ahead.
template <class Entry, class KeyOf>
const Entry* LastNotAbove(std::span<const Entry> sorted, std::uint32_t key, KeyOf key_of) {
    if (sorted.empty() || key_of(sorted.front()) > key) {
        return nullptr;
    }
    const Entry* at = sorted.data();
    std::size_t length = sorted.size();
    while (length > 1) {
        const std::size_t half = length / 2;
        const std::size_t next_half = (length - half) / 2;
        __builtin_prefetch(at + next_half);
        __builtin_prefetch(at + half + next_half);
        at = key_of(at[half]) <= key ? at + half : at;
        length -= half;
    }
    return at;
}

}  // namespace

std::span<const GreekModel::Word> GreekModel::WordsOf(std::u16string_view plain) const {
    const Node* node = Root();
    for (std::size_t i = 0; node != nullptr && i < plain.size(); ++i) {
        node = Child(*node, plain[i]);
    }
    return node == nullptr ? std::span<const Word>() : WordsAt(*node);
}

std::uint32_t GreekModel::PairCount(std::uint32_t first, std::uint32_t second) const {
    if (first >= words_.size() || second >= words_.size() ||
        (words_[first].flags & kBeginsPairs) == 0 || (words_[second].flags & kEndsPairs) == 0) {
        return 0;
    }
    return Probe(first, second);
}

std::uint32_t GreekModel::EndingOf(std::u16string_view lower) {
    const char16_t last = lower.empty() ? u' ' : PlainLetter(lower.back());
    const char16_t before = lower.size() < 2 ? u' ' : PlainLetter(lower[lower.size() - 2]);
    return format::kEndingMark | (static_cast<std::uint32_t>(before) << 16) | last;
}

std::uint32_t GreekModel::EndingPairCount(std::uint32_t first, std::uint32_t ending) const {
    if (first >= words_.size() || (words_[first].flags & kBeginsEndingPairs) == 0) {
        return 0;
    }
    return Probe(first, ending);
}

std::uint32_t GreekModel::EndingWordCount(std::uint32_t ending, std::uint32_t second) const {
    if (second >= words_.size() || (words_[second].flags & kEndsEndingPairs) == 0) {
        return 0;
    }
    return Probe(ending, second);
}

std::uint32_t GreekModel::PhraseEdgeCount(Beside beside, bool first, std::uint32_t word) const {
    if (word >= words_.size()) {
        return 0;
    }
    const auto kind = static_cast<std::uint32_t>(beside);
    return first ? Probe(format::kBeforePhrase + kind, word)
                 : Probe(word, format::kAfterPhrase + kind);
}

std::uint32_t GreekModel::PhraseEdgeTotal(Beside beside, bool first) const {
    const auto kind = static_cast<std::uint32_t>(beside);
    return first ? Probe(format::kBeforePhrase + kind, format::kAnyWord)
                 : Probe(format::kAnyWord, format::kAfterPhrase + kind);
}

std::uint32_t GreekModel::EndingCount(std::uint32_t ending) const {
    const std::size_t slot = format::EndingSlot(ending);
    return slot == format::kNoEndingSlot ? Probe(format::kAnyWord, ending)
                                         : ending_counts_[slot].count;
}

std::uint32_t GreekModel::EverydayCount(std::uint32_t word) const {
    const format::WordCounts* counts = CountsOf(word);
    return counts == nullptr ? 0 : counts->everyday;
}

std::uint32_t GreekModel::EverydayEndingCount(std::uint32_t ending) const {
    if ((ending & format::kEndingMark) == 0) {
        return 0;
    }
    const std::size_t slot = format::EndingSlot(ending);
    return slot == format::kNoEndingSlot ? Probe(format::kEveryday, ending)
                                         : ending_counts_[slot].everyday;
}

std::uint64_t GreekModel::EverydayTotal() const {
    return Probe(format::kEveryday, format::kAnyWord);
}

std::uint32_t GreekModel::Probe(std::uint32_t first, std::uint32_t second) const {
    // The first's entry: a word's from its block of counts, any other key's
    // by search among the keys after the words.
    std::size_t entry = pair_firsts_.size();
    // (A word's number is below kEndingMark; saying so lets the compiler
    // see that a constant key is none.)
    if (first < format::kEndingMark && first < words_.size()) {
        const format::CountedBlock& block = counted_blocks_[first / format::kWordsPerCountedBlock];
        const std::uint32_t bit = 1U << (first % format::kWordsPerCountedBlock);
        if ((block.pair_bits & bit) == 0) {
            return 0;
        }
        entry = std::size_t{block.pairs_before} + format::CountBits(block.pair_bits & (bit - 1));
    } else {
        const format::PairFirst* found =
            LastNotAbove(pair_firsts_.subspan(std::min(word_firsts_, pair_firsts_.size())), first,
                         [](const format::PairFirst& group) { return group.first; });
        if (found != nullptr) {
            entry = static_cast<std::size_t>(found - pair_firsts_.data());
        }
    }
    if (entry >= pair_firsts_.size() || pair_firsts_[entry].first != first) {
        return 0;
    }
    const std::size_t begin = pair_firsts_[entry].begin;
    const std::size_t end =
        entry + 1 == pair_firsts_.size() ? pair_seconds_.size() : pair_firsts_[entry + 1].begin;
    if (begin > end || end > pair_seconds_.size()) {
        return 0;
    }
    const format::PairSecond* found =
        LastNotAbove(pair_seconds_.subspan(begin, end - begin), second,
                     [](const format::PairSecond& group) { return group.second; });
    return found != nullptr && found->second == second ? found->count : 0;
}

std::pair<const GreekModel::Word*, std::size_t> GreekModel::LongestEnding(
    std::u16string_view plain) const {
    const auto letters_of = [&](std::uint32_t number) {
        const Word* word = WordAt(number);
        return word == nullptr ? Spelling() : Letters(*word);
    };
    const auto at = std::lower_bound(endings_.begin(), endings_.end(), plain,
                                     [&](std::uint32_t number, std::u16string_view wanted) {
                                         return EndsBefore(letters_of(number), wanted);
                                     });
    const auto common_length = [&](std::uint32_t number) {
        const Spelling spelling = letters_of(number);
        const std::u16string_view known = spelling;
        std::size_t length = 0;
        while (length < known.size() && length < plain.size() &&
               SoundClass(known[known.size() - 1 - length]) ==
                   SoundClass(plain[plain.size() - 1 - length])) {
            ++length;
        }
        return length;
    };
    // The longest ending in common is a neighbour's, in this order; the
    // words that share it lie around, and the commonest of them lends its
    // ending (-ίδης rather than -ήδης).
    std::size_t best_length = 0;
    for (auto it = at == endings_.begin() ? at : at - 1; it != endings_.end() && it <= at; ++it) {
        best_length = std::max(best_length, common_length(*it));
    }
    if (best_length == 0) {
        return {nullptr, 0};
    }
    constexpr std::ptrdiff_t kMostLooked = 64;
    const Word* best = nullptr;
    std::uint32_t best_frequency = 0;
    const std::ptrdiff_t middle = at - endings_.begin();
    const auto size = static_cast<std::ptrdiff_t>(endings_.size());
    for (const std::ptrdiff_t step : {std::ptrdiff_t{-1}, std::ptrdiff_t{1}}) {
        for (std::ptrdiff_t i = step < 0 ? middle - 1 : middle, looked = 0;
             i >= 0 && i < size && looked < kMostLooked; i += step, ++looked) {
            const auto number = endings_[static_cast<std::size_t>(i)];
            if (common_length(number) < best_length) {
                break;
            }
            const Word* word = WordAt(number);
            if (word != nullptr && (best == nullptr || Frequency(*word) > best_frequency)) {
                best = word;
                best_frequency = Frequency(*word);
            }
        }
    }
    return {best, best == nullptr ? 0 : best_length};
}

std::string_view GreekModel::EnglishWord(std::size_t index) const {
    // The length whose words hold `index`: the last that begins at or before it.
    const auto after = std::upper_bound(english_lengths_.begin(), english_lengths_.end(), index,
                                        [](std::size_t wanted, const format::EnglishLength& entry) {
                                            return wanted < entry.first_word;
                                        });
    if (after == english_lengths_.begin() || after == english_lengths_.end()) {
        return {};
    }
    const format::EnglishLength& group = *(after - 1);
    const std::size_t length = static_cast<std::size_t>(after - 1 - english_lengths_.begin());
    const std::uint64_t begin =
        group.first_letter + std::uint64_t{index - group.first_word} * length;
    if (begin > english_letters_.size() || english_letters_.size() - begin < length) {
        return {};
    }
    return {english_letters_.data() + static_cast<std::size_t>(begin), length};
}

bool GreekModel::IsEnglish(std::string_view lower) const {
    const std::size_t length = lower.size();
    if (length + 1 >= english_lengths_.size()) {
        return false;
    }
    const format::EnglishLength& group = english_lengths_[length];
    const std::uint32_t next = english_lengths_[length + 1].first_word;
    if (next < group.first_word || length == 0) {
        return false;
    }
    const std::size_t count = next - group.first_word;
    if (group.first_letter > english_letters_.size() ||
        (english_letters_.size() - group.first_letter) / length < count) {
        return false;
    }
    const char* letters = english_letters_.data() + group.first_letter;
    std::size_t low = 0;
    std::size_t high = count;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const std::string_view word(letters + middle * length, length);
        if (word == lower) {
            return true;
        }
        if (word < lower) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return false;
}

std::unique_ptr<GreekModel> GreekModel::FromBytes(std::span<const std::byte> bytes,
                                                  std::shared_ptr<const void> owner,
                                                  Failure* failure) {
    const auto refused = [failure](const char* how) -> std::unique_ptr<GreekModel> {
        if (failure != nullptr) {
            *failure = Failure::Of(Cause::NotAModel, how);
        }
        return nullptr;
    };
    format::Header header;
    if (bytes.size() < sizeof header) {
        return refused(kTooShort);
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.magic != format::kMagic) {
        return refused(kNoModel);
    }
    if (header.version != format::kVersion || header.byte_order != format::kByteOrder) {
        return refused(kOtherVersion);
    }
    if (reinterpret_cast<std::uintptr_t>(bytes.data()) % 8 != 0 ||
        format::ModelChecksum(header, bytes.subspan(sizeof header)) != header.checksum) {
        return refused(kDamaged);
    }
    // The sections lie one after another, as the builder lays them, each
    // at the first multiple of 8 after the one before, the last up to the
    // file's end: a header whose sizes and offsets disagree is damaged even
    // when its checksum was made to match.
    static constexpr std::array<std::size_t, format::kSectionCount> kElementSizes = {
        sizeof(std::uint8_t),          sizeof(Word),
        sizeof(format::LengthRun),     sizeof(format::CountedBlock),
        sizeof(format::WordCounts),    sizeof(Node),
        sizeof(format::NodeBlock),     sizeof(format::PairFirst),
        sizeof(format::PairSecond),    sizeof(format::EndingCounts),
        sizeof(std::uint32_t),         sizeof(char),
        sizeof(format::EnglishLength), sizeof(std::uint8_t),
        sizeof(std::uint32_t)};
    const auto round_up = [](std::uint64_t at) { return (at + 7) / 8 * 8; };
    std::uint64_t next = sizeof header;
    for (std::size_t section = 0; section < format::kSectionCount; ++section) {
        const format::SectionPlace& place = header.sections[section];
        if (place.offset != next || place.offset > bytes.size() ||
            bytes.size() - place.offset < place.size || place.size % kElementSizes[section] != 0) {
            return refused(kDamaged);
        }
        next = round_up(place.offset + place.size);
    }
    const auto count_of = [&](format::Section section) {
        return header.sections[section].size / kElementSizes[section];
    };
    const std::uint64_t words = count_of(format::kWords);
    const std::uint64_t nodes = count_of(format::kNodes);
    // The counts that the layout fixes: a damaged header is refused here
    // rather than read with other sizes.
    if (next != bytes.size() || header.list_words > words || header.tree_words > words ||
        words == 0 || words >= format::kEndingMark || nodes == 0 ||
        nodes % format::kNodesPerBlock != 0 ||
        count_of(format::kNodeBlocks) != nodes / format::kNodesPerBlock ||
        count_of(format::kLengthRuns) != format::kLengthRunCount ||
        count_of(format::kEndingCounts) != format::kEndingCountSlots ||
        count_of(format::kCountedBlocks) !=
            (words + format::kWordsPerCountedBlock - 1) / format::kWordsPerCountedBlock ||
        count_of(format::kCountedWordCounts) > count_of(format::kCountedWords)) {
        return refused(kDamaged);
    }
    auto model = std::unique_ptr<GreekModel>(new GreekModel());
    model->owner_ = std::move(owner);
    const auto& sections = header.sections;
    model->letters_ = SectionAs<std::uint8_t>(bytes, sections[format::kLetters]);
    model->words_ = SectionAs<Word>(bytes, sections[format::kWords]);
    model->length_runs_ = SectionAs<format::LengthRun>(bytes, sections[format::kLengthRuns]);
    model->counted_blocks_ =
        SectionAs<format::CountedBlock>(bytes, sections[format::kCountedBlocks]);
    model->counts_ = SectionAs<format::WordCounts>(bytes, sections[format::kCounts]);
    model->nodes_ = SectionAs<Node>(bytes, sections[format::kNodes]);
    model->node_blocks_ = SectionAs<format::NodeBlock>(bytes, sections[format::kNodeBlocks]);
    model->pair_firsts_ = SectionAs<format::PairFirst>(bytes, sections[format::kPairFirsts]);
    model->pair_seconds_ = SectionAs<format::PairSecond>(bytes, sections[format::kPairSeconds]);
    model->ending_counts_ = SectionAs<format::EndingCounts>(bytes, sections[format::kEndingCounts]);
    model->endings_ = SectionAs<std::uint32_t>(bytes, sections[format::kEndings]);
    model->english_letters_ = SectionAs<char>(bytes, sections[format::kEnglishLetters]);
    model->english_lengths_ =
        SectionAs<format::EnglishLength>(bytes, sections[format::kEnglishLengths]);
    model->counted_words_ = SectionAs<std::uint8_t>(bytes, sections[format::kCountedWords]);
    model->counted_word_counts_ =
        SectionAs<std::uint32_t>(bytes, sections[format::kCountedWordCounts]);
    // Where the keys that are no words begin among the pair firsts.
    model->word_firsts_ = static_cast<std::size_t>(
        std::lower_bound(
            model->pair_firsts_.begin(), model->pair_firsts_.end(), format::kEndingMark,
            [](const format::PairFirst& group, std::uint32_t key) { return group.first < key; }) -
        model->pair_firsts_.begin());
    model->list_words_ = static_cast<std::size_t>(header.list_words);
    model->tree_words_ = static_cast<std::size_t>(header.tree_words);
    model->running_words_ = header.running_words;
    return model;
}

}  // namespace bivano
