// SPDX-License-Identifier: GPL-3.0-or-later
#include "model_builder/greek_model_builder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/spelling/greek_model.h"
#include "core/spelling/greek_model_format.h"

namespace bivano::builder {
namespace {

namespace format = model_format;
using internal::GreekLower;
using internal::IsGreekLetter;
using internal::PlainLetter;
using internal::SoundClass;
using Word = GreekModel::Word;
using Node = GreekModel::Node;

constexpr std::u16string_view kBesideMarks = u".,(0a";  // in the order of GreekModel::Beside

// The number of an edge written "<a" (before a phrase) or "a>" (after
// one) in the counts.
std::optional<std::uint32_t> EdgeNumber(std::u16string_view text) {
    if (text.size() != 2) {
        return std::nullopt;
    }
    const bool before = text[0] == u'<';
    const std::size_t kind = kBesideMarks.find(before ? text[1] : text[0]);
    if (kind == std::u16string_view::npos || (before ? false : text[1] != u'>')) {
        return std::nullopt;
    }
    return (before ? format::kBeforePhrase : format::kAfterPhrase) +
           static_cast<std::uint32_t>(kind);
}

std::u16string PlainOf(std::u16string_view lower) {
    std::u16string plain(lower);
    std::transform(plain.begin(), plain.end(), plain.begin(), PlainLetter);
    return plain;
}

// The ending order: the word read backwards, by sound class.
bool EndsBefore(std::u16string_view a, std::u16string_view b) {
    return std::lexicographical_compare(
        a.rbegin(), a.rend(), b.rbegin(), b.rend(),
        [](char16_t x, char16_t y) { return SoundClass(x) < SoundClass(y); });
}

// How the words of one plain form are ordered, best first: the most
// frequent, then the fewest accents (θάλασσα before the enclitic θάλασσά),
// then the commonest place of the accent (καλημέρα before καλήμερα), then
// words in small letters (not names), then the dictionary's order.
struct Candidate {
    std::u16string lower;
    std::u16string plain;
    std::uint32_t frequency = 0;
    std::uint32_t everyday = 0;
    std::uint16_t accents = 0;
    std::uint8_t stress = 3;
    bool lower_case = false;
    bool ending_only = false;  // a name only the counts have: it lends its ending, no more
    std::uint32_t order = 0;
};

bool Better(const Candidate& x, const Candidate& y) {
    if (x.ending_only != y.ending_only) {
        return y.ending_only;  // after every word the letter tree holds
    }
    if (x.plain != y.plain) {
        return x.plain < y.plain;
    }
    if (std::uint64_t{x.frequency} + x.everyday != std::uint64_t{y.frequency} + y.everyday) {
        return std::uint64_t{x.frequency} + x.everyday > std::uint64_t{y.frequency} + y.everyday;
    }
    if (x.accents != y.accents) {
        return x.accents < y.accents;
    }
    if (x.stress != y.stress) {
        return x.stress < y.stress;
    }
    if (x.lower_case != y.lower_case) {
        return x.lower_case;
    }
    return x.order < y.order;
}

// A word as it is laid out, in the order of the candidates.
struct Laid {
    std::uint8_t flags = 0;
    std::uint32_t frequency = 0;
    std::uint32_t followed = 0;
    std::uint32_t everyday = 0;
};

// A node of the letter tree as it is made: the candidates [first_word,
// first_word + word_count) end at it.
struct Branch {
    std::uint32_t first_word = 0;
    std::uint32_t word_count = 0;
    std::uint32_t child_count = 0;
    char16_t letter = 0;
};

class Image {
  public:
    template <class T>
    void Put(format::Section section, const std::vector<T>& items) {
        while (bytes_.size() % 8 != 0) {
            bytes_.push_back(std::byte{0});
        }
        places_[section] = {bytes_.size(), items.size() * sizeof(T)};
        const auto* first = reinterpret_cast<const std::byte*>(items.data());
        bytes_.insert(bytes_.end(), first, first + items.size() * sizeof(T));
    }
    std::vector<std::byte> Finish(format::Header header) {
        while (bytes_.size() % 8 != 0) {
            bytes_.push_back(std::byte{0});
        }
        header.magic = format::kMagic;
        header.version = format::kVersion;
        header.byte_order = format::kByteOrder;
        header.sections = places_;
        for (format::SectionPlace& place : header.sections) {
            place.offset += sizeof header;
        }
        header.checksum = format::ModelChecksum(header, bytes_);
        std::vector<std::byte> out(sizeof header + bytes_.size());
        std::memcpy(out.data(), &header, sizeof header);
        std::memcpy(out.data() + sizeof header, bytes_.data(), bytes_.size());
        return out;
    }

  private:
    std::vector<std::byte> bytes_;
    std::array<format::SectionPlace, format::kSectionCount> places_{};
};

// The longest word the reader follows; no Greek word comes near it.
constexpr std::size_t kLongestWord = 48;
static_assert(kLongestWord <= format::kLongestStoredWord);
// The most words of one plain form a node can hold (6 bits).
constexpr std::size_t kMostWordsPerNode = 63;

std::uint8_t LetterByte(char16_t c) {
    return static_cast<std::uint8_t>(c - format::kLetterBase);
}

}  // namespace

std::vector<std::byte> BuildModel(const ModelSource& source) {
    // A word counted with a capital is a name: it lends its count to the
    // dictionary's word, but is no word of its own.
    std::unordered_map<std::u16string, std::uint32_t> frequency;
    std::uint64_t running_words = 0;
    for (const auto& [word, count] : source.frequencies) {
        std::u16string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(), GreekLower);
        frequency[lower] += count;
        running_words += count;
    }
    std::unordered_map<std::u16string, std::uint32_t> everyday;
    for (const auto& [word, count] : source.everyday) {
        std::u16string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(), GreekLower);
        everyday[lower] = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(std::uint64_t{everyday[lower]} + count, 0xFFFFFFFFU));
    }
    std::vector<Candidate> candidates;
    std::unordered_map<std::u16string, std::size_t> by_lower;
    const auto add = [&](std::u16string_view word) {
        if (word.empty() || word.size() > kLongestWord ||
            !std::all_of(word.begin(), word.end(), IsGreekLetter)) {
            return;
        }
        std::u16string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(), GreekLower);
        const bool small = lower == word;
        if (const auto known = by_lower.find(lower); known != by_lower.end()) {
            candidates[known->second].lower_case |= small;
            return;
        }
        Candidate candidate;
        candidate.plain = PlainOf(lower);
        candidate.accents = static_cast<std::uint16_t>(std::inner_product(
            lower.begin(), lower.end(), candidate.plain.begin(), 0, std::plus<>(),
            [](char16_t a, char16_t b) { return a != b && b != u'σ'; }));
        candidate.stress = internal::StressRank(lower);
        const auto found = frequency.find(lower);
        candidate.frequency = found == frequency.end() ? 0 : found->second;
        const auto common = everyday.find(lower);
        candidate.everyday = common == everyday.end() ? 0 : common->second;
        candidate.lower_case = small;
        candidate.order = static_cast<std::uint32_t>(candidates.size());
        by_lower.emplace(lower, candidates.size());
        candidate.lower = std::move(lower);
        candidates.push_back(std::move(candidate));
    };
    for (const std::u16string& word : source.words) {
        add(word);
    }
    const std::size_t list_words = candidates.size();
    // The words of running text come with its typing slips: they fill in
    // only where the dictionary has no word that sounds the same (terms it
    // lacks, such as συμβολοσειρά; but τρέχο is a slip for τρέχω).
    {
        const auto sound_of = [](std::u16string_view word) {
            std::u16string sound(word);
            std::transform(sound.begin(), sound.end(), sound.begin(), SoundClass);
            return sound;
        };
        std::unordered_set<std::u16string> sounds;
        for (const Candidate& candidate : candidates) {
            sounds.insert(sound_of(candidate.plain));
        }
        for (const auto& [word, count] : source.frequencies) {
            if (!sounds.contains(sound_of(word))) {
                const bool name = std::any_of(word.begin(), word.end(),
                                              [](char16_t c) { return GreekLower(c) != c; });
                const std::size_t before = candidates.size();
                add(word);
                if (name && candidates.size() > before) {
                    candidates.back().ending_only = true;
                }
            }
        }
    }
    if (candidates.empty() || candidates.size() >= format::kEndingMark) {
        return {};
    }
    std::sort(candidates.begin(), candidates.end(), Better);
    // From here on a word is known by its place in this order until the
    // end, where the words are numbered as the file lays them out.
    std::vector<Laid> laid(candidates.size());
    std::unordered_map<std::u16string_view, std::uint32_t> number_of;
    for (std::uint32_t number = 0; number < candidates.size(); ++number) {
        laid[number].flags = candidates[number].lower_case ? GreekModel::kSmall : 0;
        laid[number].frequency = candidates[number].frequency;
        number_of.emplace(candidates[number].lower, number);
    }

    // The letter tree, a level at a time so that a node's children lie
    // side by side: each node covers the candidates [begin, end) whose
    // plain forms share its path of `depth` letters.
    struct Pending {
        std::uint32_t node;
        std::uint32_t begin;
        std::uint32_t end;
        std::uint32_t depth;
    };
    std::vector<Branch> branches(1);
    const auto in_tree = static_cast<std::uint32_t>(
        std::find_if(candidates.begin(), candidates.end(),
                     [](const Candidate& candidate) { return candidate.ending_only; }) -
        candidates.begin());
    std::vector<Pending> level = {{0, 0, in_tree, 0}};
    while (!level.empty()) {
        std::vector<Pending> next;
        for (const Pending& pending : level) {
            std::uint32_t at = pending.begin;
            // The words whose plain form ends here come first in the order.
            while (at < pending.end && candidates[at].plain.size() == pending.depth) {
                ++at;
            }
            branches[pending.node].first_word = pending.begin;
            branches[pending.node].word_count = at - pending.begin;
            while (at < pending.end) {
                const char16_t letter = candidates[at].plain[pending.depth];
                std::uint32_t stop = at;
                while (stop < pending.end && candidates[stop].plain[pending.depth] == letter) {
                    ++stop;
                }
                next.push_back(
                    {static_cast<std::uint32_t>(branches.size()), at, stop, pending.depth + 1});
                branches.push_back(Branch{0, 0, 0, letter});
                ++branches[pending.node].child_count;
                at = stop;
            }
        }
        level = std::move(next);
    }

    // Word pairs, word and ending pairs, and the counts of the endings.
    std::vector<std::pair<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t>> counted;
    std::unordered_map<std::uint32_t, std::uint32_t> ending_counts;
    for (std::uint32_t number = 0; number < candidates.size(); ++number) {
        if (candidates[number].frequency > 0) {
            ending_counts[GreekModel::EndingOf(candidates[number].lower)] +=
                candidates[number].frequency;
        }
    }
    std::vector<format::EndingCounts> ending_table(format::kEndingCountSlots,
                                                   format::EndingCounts{0, 0});
    for (const auto& [ending, total] : ending_counts) {
        if (const std::size_t slot = format::EndingSlot(ending); slot != format::kNoEndingSlot) {
            ending_table[slot].count = total;
        } else {
            counted.push_back({{format::kAnyWord, ending}, total});
        }
    }
    std::uint64_t everyday_total = 0;
    std::unordered_map<std::uint32_t, std::uint64_t> everyday_endings;
    for (std::uint32_t number = 0; number < candidates.size(); ++number) {
        if (candidates[number].everyday > 0 && !candidates[number].ending_only) {
            laid[number].everyday = candidates[number].everyday;
            everyday_total += candidates[number].everyday;
            everyday_endings[GreekModel::EndingOf(candidates[number].lower)] +=
                candidates[number].everyday;
        }
    }
    for (const auto& [ending, total] : everyday_endings) {
        const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, 0xFFFFFFFFU));
        if (const std::size_t slot = format::EndingSlot(ending); slot != format::kNoEndingSlot) {
            ending_table[slot].everyday = count;
        } else {
            counted.push_back({{format::kEveryday, ending}, count});
        }
    }
    if (everyday_total > 0) {
        counted.push_back(
            {{format::kEveryday, format::kAnyWord},
             static_cast<std::uint32_t>(std::min<std::uint64_t>(everyday_total, 0xFFFFFFFFU))});
    }
    const auto is_ending = [](std::u16string_view word) {
        return word.size() >= 2 && word.size() <= 3 && word[0] == u'~';
    };
    for (const auto& [words_of_pair, count] : source.pairs) {
        // A phrase's edges: "<a word", "word a>", and their totals under
        // "*", any word.
        const auto before = EdgeNumber(words_of_pair.first);
        const auto after = EdgeNumber(words_of_pair.second);
        if (before || after) {
            const auto number = [&](const std::u16string& word) -> std::optional<std::uint32_t> {
                if (word == u"*") {
                    return format::kAnyWord;
                }
                const auto found = number_of.find(word);
                return found == number_of.end() ? std::nullopt
                                                : std::optional<std::uint32_t>(found->second);
            };
            const auto word = before ? number(words_of_pair.second) : number(words_of_pair.first);
            if (word && count > 0) {
                counted.push_back(
                    {before ? std::pair{*before, *word} : std::pair{*word, *after}, count});
            }
            continue;
        }
        if (is_ending(words_of_pair.first) && count > 0) {
            const auto second = number_of.find(words_of_pair.second);
            if (second != number_of.end()) {
                counted.push_back(
                    {{GreekModel::EndingOf(std::u16string_view(words_of_pair.first).substr(1)),
                      second->second},
                     count});
                laid[second->second].flags |= GreekModel::kEndsEndingPairs;
            }
            continue;
        }
        const auto first = number_of.find(words_of_pair.first);
        if (first == number_of.end() || count == 0) {
            continue;
        }
        if (is_ending(words_of_pair.second)) {
            counted.push_back(
                {{first->second, GreekModel::EndingOf(words_of_pair.second.substr(1))}, count});
            laid[first->second].flags |= GreekModel::kBeginsEndingPairs;
            continue;
        }
        const auto second = number_of.find(words_of_pair.second);
        if (second == number_of.end()) {
            continue;
        }
        counted.push_back({{first->second, second->second}, count});
        laid[first->second].flags |= GreekModel::kBeginsPairs;
        laid[first->second].followed += count;
        laid[second->second].flags |= GreekModel::kEndsPairs;
    }

    // Endings lend an accent: words in use, accented, of four letters or more.
    std::vector<std::uint32_t> endings;
    for (std::uint32_t number = 0; number < candidates.size(); ++number) {
        if (candidates[number].frequency > 0 && candidates[number].lower.size() >= 4 &&
            candidates[number].stress < 3) {
            endings.push_back(number);
        }
    }
    std::sort(endings.begin(), endings.end(), [&](std::uint32_t a, std::uint32_t b) {
        return EndsBefore(candidates[a].lower, candidates[b].lower);
    });

    // The file's numbering: the words of the tree's nodes breadth-first, so
    // that a node's first word, like its first child, is the sum of the
    // counts of the nodes before it, and the words of one length lie
    // together; then the words only the endings know, by length.
    std::vector<std::uint32_t> renumbered(candidates.size());
    std::vector<std::uint32_t> in_file_order;
    in_file_order.reserve(candidates.size());
    for (const Branch& branch : branches) {
        if (branch.word_count > kMostWordsPerNode) {
            return {};
        }
        for (std::uint32_t k = 0; k < branch.word_count; ++k) {
            in_file_order.push_back(branch.first_word + k);
        }
    }
    const std::size_t tree_words = in_file_order.size();
    for (std::uint32_t number = in_tree; number < candidates.size(); ++number) {
        in_file_order.push_back(number);
    }
    std::stable_sort(in_file_order.begin() + static_cast<std::ptrdiff_t>(tree_words),
                     in_file_order.end(), [&](std::uint32_t a, std::uint32_t b) {
                         return candidates[a].lower.size() < candidates[b].lower.size();
                     });
    for (std::uint32_t number = 0; number < in_file_order.size(); ++number) {
        renumbered[in_file_order[number]] = number;
    }
    const auto key_in_file = [&](std::uint32_t key) {
        return key < renumbered.size() ? renumbered[key] : key;
    };

    std::vector<std::uint8_t> letters;
    std::vector<Word> words;
    std::vector<format::LengthRun> runs(format::kLengthRunCount, format::LengthRun{0, 0});
    std::vector<bool> run_seen(format::kLengthRunCount, false);
    std::vector<format::CountedBlock> counted_blocks(
        (in_file_order.size() + format::kWordsPerCountedBlock - 1) / format::kWordsPerCountedBlock,
        format::CountedBlock{0, 0, 0, 0});
    std::vector<format::WordCounts> counts;
    std::uint64_t letters_laid = 0;  // the places of letters are 32 bits
    for (std::uint32_t number = 0; number < in_file_order.size(); ++number) {
        const Candidate& candidate = candidates[in_file_order[number]];
        const Laid& word = laid[in_file_order[number]];
        const std::size_t length = candidate.lower.size();
        const std::size_t run = (number < tree_words ? 0 : 64) + length;
        if (!run_seen[run]) {
            run_seen[run] = true;
            runs[run] = {number, static_cast<std::uint32_t>(letters.size())};
        }
        words.push_back({word.flags, static_cast<std::uint8_t>(length | candidate.stress << 6)});
        letters_laid += length;
        for (const char16_t c : candidate.lower) {
            letters.push_back(LetterByte(c));
        }
        format::CountedBlock& block = counted_blocks[number / format::kWordsPerCountedBlock];
        if (number % format::kWordsPerCountedBlock == 0) {
            block.before = static_cast<std::uint32_t>(counts.size());
        }
        if (word.frequency > 0 || word.followed > 0 || word.everyday > 0) {
            block.bits |= 1U << (number % format::kWordsPerCountedBlock);
            counts.push_back({word.frequency, word.followed, word.everyday});
        }
    }
    if (letters_laid > 0xFFFFFFFFU) {
        return {};
    }

    std::vector<Node> nodes;
    std::vector<format::NodeBlock> node_blocks;
    std::uint32_t first_child = 1;
    std::uint32_t first_word = 0;
    for (const Branch& branch : branches) {
        if (nodes.size() % format::kNodesPerBlock == 0) {
            node_blocks.push_back({first_child, first_word});
        }
        const std::uint16_t letter =
            branch.letter == 0 ? 0 : static_cast<std::uint16_t>(branch.letter - 0x3B0);
        nodes.push_back({static_cast<std::uint16_t>(letter | branch.child_count << 5 |
                                                    branch.word_count << 10)});
        first_child += branch.child_count;
        first_word += branch.word_count;
    }
    while (nodes.size() % format::kNodesPerBlock != 0) {
        nodes.push_back({0});
    }

    // The pairs in order; of a pair counted twice, the last count holds.
    for (auto& [key, count] : counted) {
        key = {key_in_file(key.first), key_in_file(key.second)};
    }
    std::stable_sort(counted.begin(), counted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<format::PairFirst> pair_firsts;
    std::vector<format::PairSecond> pair_seconds;
    for (std::size_t i = 0; i < counted.size(); ++i) {
        if (i + 1 < counted.size() && counted[i + 1].first == counted[i].first) {
            continue;
        }
        const auto [first, second] = counted[i].first;
        if (pair_firsts.empty() || pair_firsts.back().first != first) {
            pair_firsts.push_back({first, static_cast<std::uint32_t>(pair_seconds.size())});
        }
        pair_seconds.push_back({second, counted[i].second});
    }
    // The words that are the first of pairs, marked where their counts are.
    for (const format::PairFirst& group : pair_firsts) {
        if (group.first < words.size()) {
            counted_blocks[group.first / format::kWordsPerCountedBlock].pair_bits |=
                1U << (group.first % format::kWordsPerCountedBlock);
        }
    }
    std::uint32_t pairs_before = 0;
    for (format::CountedBlock& block : counted_blocks) {
        block.pairs_before = pairs_before;
        pairs_before += static_cast<std::uint32_t>(format::CountBits(block.pair_bits));
    }
    for (std::uint32_t& number : endings) {
        number = renumbered[number];
    }

    std::vector<std::string> english;
    for (const std::string& word : source.english) {
        std::string lower;
        bool letters_only = !word.empty();
        for (const char c : word) {
            const char small = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
            letters_only = letters_only && small >= 'a' && small <= 'z';
            lower.push_back(small);
        }
        if (letters_only) {
            english.push_back(std::move(lower));
        }
    }
    std::sort(english.begin(), english.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    english.erase(std::unique(english.begin(), english.end()), english.end());
    std::vector<char> english_letters;
    std::vector<format::EnglishLength> english_lengths;
    for (std::uint32_t index = 0; index < english.size(); ++index) {
        while (english_lengths.size() <= english[index].size()) {
            english_lengths.push_back({index, static_cast<std::uint32_t>(english_letters.size())});
        }
        english_letters.insert(english_letters.end(), english[index].begin(), english[index].end());
    }
    english_lengths.push_back({static_cast<std::uint32_t>(english.size()),
                               static_cast<std::uint32_t>(english_letters.size())});

    // The counted words as the counts write them, for statistics of their
    // letters (the layout's).
    std::vector<std::uint8_t> counted_words;
    std::vector<std::uint32_t> counted_word_counts;
    for (const auto& [word, count] : source.frequencies) {
        if (word.size() <= 0xFF && std::all_of(word.begin(), word.end(), format::FitsLetterByte)) {
            counted_words.push_back(static_cast<std::uint8_t>(word.size()));
            for (const char16_t c : word) {
                counted_words.push_back(LetterByte(c));
            }
            counted_word_counts.push_back(count);
        }
    }

    Image image;
    image.Put(format::kLetters, letters);
    image.Put(format::kWords, words);
    image.Put(format::kLengthRuns, runs);
    image.Put(format::kCountedBlocks, counted_blocks);
    image.Put(format::kCounts, counts);
    image.Put(format::kNodes, nodes);
    image.Put(format::kNodeBlocks, node_blocks);
    image.Put(format::kPairFirsts, pair_firsts);
    image.Put(format::kPairSeconds, pair_seconds);
    image.Put(format::kEndingCounts, ending_table);
    image.Put(format::kEndings, endings);
    image.Put(format::kEnglishLetters, english_letters);
    image.Put(format::kEnglishLengths, english_lengths);
    image.Put(format::kCountedWords, counted_words);
    image.Put(format::kCountedWordCounts, counted_word_counts);
    format::Header header{};
    header.list_words = list_words;
    header.running_words = running_words;
    header.tree_words = tree_words;
    return image.Finish(header);
}

void Reseal(std::span<std::byte> bytes) {
    format::Header header;
    if (bytes.size() < sizeof header) {
        return;
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    header.checksum = format::ModelChecksum(header, bytes.subspan(sizeof header));
    std::memcpy(bytes.data(), &header, sizeof header);
}

}  // namespace bivano::builder
