// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/greek_model.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace bivano {
namespace {

using internal::GreekLower;
using internal::IsGreekLetter;
using internal::PlainLetter;
using internal::SoundClass;

constexpr std::array<char, 8> kMagic = {'B', 'I', 'V', 'A', 'N', 'O', 'G', 'M'};
constexpr std::uint32_t kVersion = 4;
constexpr std::uint32_t kByteOrder = 0x01020304;

enum Section : std::size_t {
    kLetters,
    kWords,
    kNodes,
    kPairs,
    kEndings,
    kEnglishOffsets,
    kEnglishLetters,
    kSectionCount
};

struct SectionPlace {
    std::uint64_t offset;
    std::uint64_t size;
};

struct Header {
    std::array<char, 8> magic;
    std::uint32_t version;
    std::uint32_t byte_order;
    std::uint64_t list_words;
    std::uint64_t running_words;
    std::uint64_t checksum;  // of every byte, this field taken as 0
    std::array<SectionPlace, kSectionCount> sections;
};
static_assert(sizeof(Header) == GreekModel::kHeaderBytes && sizeof(Header) % 8 == 0);

std::uint64_t Checksum(std::span<const std::byte> bytes,
                       std::uint64_t hash = 0x9E3779B97F4A7C15ULL) {
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        hash = (hash ^ word) * 0x100000001B3ULL;
        hash ^= hash >> 31;
    }
    for (; at < bytes.size(); ++at) {
        hash = (hash ^ static_cast<std::uint64_t>(bytes[at])) * 0x100000001B3ULL;
    }
    return hash;
}

std::uint64_t PairHash(std::uint32_t first, std::uint32_t second) {
    std::uint64_t hash = (static_cast<std::uint64_t>(first) << 32 | second) * 0x9E3779B97F4A7C15ULL;
    return hash ^ (hash >> 29);
}

// Pairs of a word and an ending have the ending's mark; the count of an
// ending alone is under a first word that no word has.
constexpr std::uint32_t kEndingMark = 0x80000000U;
constexpr std::uint32_t kAnyWord = 0xFFFFFFFFU;
// What stands before a phrase, or after it, in place of a word: numbers no
// word has, nor an ending (those have a Greek letter in their high half).
constexpr std::uint32_t kBeforePhrase = 0xFFFFFFF0U;
constexpr std::uint32_t kAfterPhrase = 0xFFFFFFF8U;
// Everyday counts stand in the pair table under a first number no word
// has, their total under kAnyWord.
constexpr std::uint32_t kEveryday = 0xFFFFFFE0U;
constexpr std::u16string_view kBesideMarks = u".,(0a";  // in the order of Beside

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
    return (before ? kBeforePhrase : kAfterPhrase) + static_cast<std::uint32_t>(kind);
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

// The checksum of a model: the header without its checksum, then the rest.
std::uint64_t ModelChecksum(Header header, std::span<const std::byte> rest) {
    header.checksum = 0;
    std::array<std::byte, sizeof(Header)> head;
    std::memcpy(head.data(), &header, sizeof header);
    return Checksum(rest, Checksum(head));
}

template <class T>
std::span<const T> SectionAs(std::span<const std::byte> bytes, const SectionPlace& place) {
    // The place lies within `bytes` (checked when read), so it fits a
    // size_t of 32 bits too.
    return {reinterpret_cast<const T*>(bytes.data() + static_cast<std::size_t>(place.offset)),
            static_cast<std::size_t>(place.size / sizeof(T))};
}

}  // namespace

std::u16string_view GreekModel::Letters(const Word& word) const {
    if (word.offset > letters_.size() || letters_.size() - word.offset < word.length) {
        return {};
    }
    return {letters_.data() + word.offset, word.length};
}

const GreekModel::Node* GreekModel::Child(const Node& node, char16_t letter) const {
    if (node.first_child >= nodes_.size() || nodes_.size() - node.first_child < node.child_count) {
        return nullptr;
    }
    const Node* begin = nodes_.data() + node.first_child;
    const Node* end = begin + node.child_count;
    const Node* found =
        std::lower_bound(begin, end, letter,
                         [](const Node& child, char16_t wanted) { return child.letter < wanted; });
    return found != end && found->letter == letter ? found : nullptr;
}

std::span<const GreekModel::Node> GreekModel::ChildrenOf(const Node& node) const {
    if (node.first_child >= nodes_.size() || nodes_.size() - node.first_child < node.child_count) {
        return {};
    }
    return nodes_.subspan(node.first_child, node.child_count);
}

std::span<const GreekModel::Word> GreekModel::WordsAt(const Node& node) const {
    if (node.first_word > words_.size() || words_.size() - node.first_word < node.word_count) {
        return {};
    }
    return words_.subspan(node.first_word, node.word_count);
}

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
    return kEndingMark | (static_cast<std::uint32_t>(before) << 16) | last;
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
    return first ? Probe(kBeforePhrase + kind, word) : Probe(word, kAfterPhrase + kind);
}

std::uint32_t GreekModel::PhraseEdgeTotal(Beside beside, bool first) const {
    const auto kind = static_cast<std::uint32_t>(beside);
    return first ? Probe(kBeforePhrase + kind, kAnyWord) : Probe(kAnyWord, kAfterPhrase + kind);
}

std::uint32_t GreekModel::EndingCount(std::uint32_t ending) const {
    return Probe(kAnyWord, ending);
}

std::uint32_t GreekModel::EverydayCount(std::uint32_t word) const {
    return word < words_.size() ? Probe(kEveryday, word) : 0;
}

std::uint32_t GreekModel::EverydayEndingCount(std::uint32_t ending) const {
    return (ending & kEndingMark) != 0 ? Probe(kEveryday, ending) : 0;
}

std::uint64_t GreekModel::EverydayTotal() const {
    return Probe(kEveryday, kAnyWord);
}

std::uint32_t GreekModel::Probe(std::uint32_t first, std::uint32_t second) const {
    if (pairs_.empty()) {
        return 0;
    }
    const std::size_t mask = pairs_.size() - 1;
    // At most every slot: a damaged table could be full.
    for (std::size_t at = PairHash(first, second) & mask, step = 0; step < pairs_.size();
         at = (at + 1) & mask, ++step) {
        const Pair& pair = pairs_[at];
        if (pair.count == 0) {
            return 0;
        }
        if (pair.first == first && pair.second == second) {
            return pair.count;
        }
    }
    return 0;
}

std::pair<const GreekModel::Word*, std::size_t> GreekModel::LongestEnding(
    std::u16string_view plain) const {
    const auto letters_of = [&](std::uint32_t number) {
        const Word* word = WordAt(number);
        return word == nullptr ? std::u16string_view() : Letters(*word);
    };
    const auto at = std::lower_bound(endings_.begin(), endings_.end(), plain,
                                     [&](std::uint32_t number, std::u16string_view wanted) {
                                         return EndsBefore(letters_of(number), wanted);
                                     });
    const auto common_length = [&](std::uint32_t number) {
        const std::u16string_view known = letters_of(number);
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
            if (word != nullptr && (best == nullptr || word->frequency > best->frequency)) {
                best = word;
            }
        }
    }
    return {best, best == nullptr ? 0 : best_length};
}

std::string_view GreekModel::EnglishWord(std::size_t index) const {
    if (index + 1 >= english_offsets_.size()) {
        return {};
    }
    const std::uint32_t begin = english_offsets_[index];
    const std::uint32_t end = english_offsets_[index + 1];
    if (begin > end || end > english_letters_.size()) {
        return {};
    }
    return {english_letters_.data() + begin, end - begin};
}

bool GreekModel::IsEnglish(std::string_view lower) const {
    const auto word_at = [&](std::uint32_t index) -> std::string_view {
        const std::uint32_t begin = english_offsets_[index];
        const std::uint32_t end = english_offsets_[index + 1];
        if (begin > end || end > english_letters_.size()) {
            return {};
        }
        return {english_letters_.data() + begin, end - begin};
    };
    if (english_offsets_.size() < 2) {
        return false;
    }
    std::size_t low = 0;
    std::size_t high = english_offsets_.size() - 1;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const std::string_view word = word_at(static_cast<std::uint32_t>(middle));
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

void GreekModel::Reseal(std::span<std::byte> bytes) {
    Header header;
    if (bytes.size() < sizeof header) {
        return;
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    header.checksum = ModelChecksum(header, bytes.subspan(sizeof header));
    std::memcpy(bytes.data(), &header, sizeof header);
}

std::unique_ptr<GreekModel> GreekModel::FromBytes(std::span<const std::byte> bytes,
                                                  std::shared_ptr<const void> owner,
                                                  Problem* problem) {
    Problem ignored = Problem::None;
    Problem& outcome = problem != nullptr ? *problem : ignored;
    outcome = Problem::None;
    Header header;
    if (bytes.size() < sizeof header) {
        outcome = Problem::TooShort;
        return nullptr;
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.magic != kMagic) {
        outcome = Problem::NotAModel;
        return nullptr;
    }
    if (header.version != kVersion || header.byte_order != kByteOrder) {
        outcome = Problem::OtherVersion;
        return nullptr;
    }
    if (reinterpret_cast<std::uintptr_t>(bytes.data()) % 8 != 0 ||
        ModelChecksum(header, bytes.subspan(sizeof header)) != header.checksum) {
        outcome = Problem::Damaged;
        return nullptr;
    }
    // The sections lie one after another, as Build lays them, each at the
    // first multiple of 8 after the one before, the last up to the file's
    // end: a header whose sizes and offsets disagree is damaged even when
    // its checksum was made to match.
    static constexpr std::array<std::size_t, kSectionCount> kElementSizes = {
        sizeof(char16_t),      sizeof(Word),          sizeof(Node), sizeof(Pair),
        sizeof(std::uint32_t), sizeof(std::uint32_t), sizeof(char)};
    const auto round_up = [](std::uint64_t at) { return (at + 7) / 8 * 8; };
    std::uint64_t next = sizeof header;
    for (std::size_t section = 0; section < kSectionCount; ++section) {
        const SectionPlace& place = header.sections[section];
        if (place.offset != next || place.offset > bytes.size() ||
            bytes.size() - place.offset < place.size || place.size % kElementSizes[section] != 0) {
            outcome = Problem::Damaged;
            return nullptr;
        }
        next = round_up(place.offset + place.size);
    }
    if (next != bytes.size() || header.list_words > header.sections[kWords].size / sizeof(Word)) {
        outcome = Problem::Damaged;
        return nullptr;
    }
    auto model = std::unique_ptr<GreekModel>(new GreekModel());
    model->owner_ = std::move(owner);
    model->letters_ = SectionAs<char16_t>(bytes, header.sections[kLetters]);
    model->words_ = SectionAs<Word>(bytes, header.sections[kWords]);
    model->nodes_ = SectionAs<Node>(bytes, header.sections[kNodes]);
    model->pairs_ = SectionAs<Pair>(bytes, header.sections[kPairs]);
    model->endings_ = SectionAs<std::uint32_t>(bytes, header.sections[kEndings]);
    model->english_offsets_ = SectionAs<std::uint32_t>(bytes, header.sections[kEnglishOffsets]);
    model->english_letters_ = SectionAs<char>(bytes, header.sections[kEnglishLetters]);
    model->list_words_ = header.list_words;
    model->running_words_ = header.running_words;
    // The pair table's probing needs a power of two.
    if ((model->pairs_.size() & (model->pairs_.size() - 1)) != 0 || model->words_.empty() ||
        model->nodes_.empty()) {
        outcome = Problem::Damaged;
        return nullptr;
    }
    return model;
}

namespace {

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

class Image {
  public:
    template <class T>
    void Put(Section section, const std::vector<T>& items) {
        while (bytes_.size() % 8 != 0) {
            bytes_.push_back(std::byte{0});
        }
        places_[section] = {bytes_.size(), items.size() * sizeof(T)};
        const auto* first = reinterpret_cast<const std::byte*>(items.data());
        bytes_.insert(bytes_.end(), first, first + items.size() * sizeof(T));
    }
    std::vector<std::byte> Finish(std::uint64_t list_words, std::uint64_t running_words) {
        while (bytes_.size() % 8 != 0) {
            bytes_.push_back(std::byte{0});
        }
        Header header{};
        header.magic = kMagic;
        header.version = kVersion;
        header.byte_order = kByteOrder;
        header.list_words = list_words;
        header.running_words = running_words;
        header.sections = places_;
        for (SectionPlace& place : header.sections) {
            place.offset += sizeof header;
        }
        header.checksum = ModelChecksum(header, bytes_);
        std::vector<std::byte> out(sizeof header + bytes_.size());
        std::memcpy(out.data(), &header, sizeof header);
        std::memcpy(out.data() + sizeof header, bytes_.data(), bytes_.size());
        return out;
    }

  private:
    std::vector<std::byte> bytes_;
    std::array<SectionPlace, kSectionCount> places_{};
};

// The longest word the reader follows; no Greek word comes near it.
constexpr std::size_t kLongestWord = 48;

}  // namespace

std::vector<std::byte> GreekModel::Build(const Source& source) {
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
    std::sort(candidates.begin(), candidates.end(), Better);

    std::vector<char16_t> letters;
    std::vector<Word> words;
    std::unordered_map<std::u16string_view, std::uint32_t> number_of;
    words.reserve(candidates.size());
    for (const Candidate& candidate : candidates) {
        words.push_back({static_cast<std::uint32_t>(letters.size()),
                         static_cast<std::uint16_t>(candidate.lower.size()),
                         static_cast<std::uint8_t>(candidate.lower_case ? kSmall : 0),
                         candidate.stress, candidate.frequency, 0});
        letters.insert(letters.end(), candidate.lower.begin(), candidate.lower.end());
        number_of.emplace(candidate.lower, static_cast<std::uint32_t>(words.size() - 1));
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
    std::vector<Node> nodes(1, Node{0, 0, 0, 0, 0, 0});
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
            nodes[pending.node].first_word = pending.begin;
            nodes[pending.node].word_count = static_cast<std::uint16_t>(at - pending.begin);
            nodes[pending.node].first_child = static_cast<std::uint32_t>(nodes.size());
            while (at < pending.end) {
                const char16_t letter = candidates[at].plain[pending.depth];
                std::uint32_t stop = at;
                while (stop < pending.end && candidates[stop].plain[pending.depth] == letter) {
                    ++stop;
                }
                next.push_back(
                    {static_cast<std::uint32_t>(nodes.size()), at, stop, pending.depth + 1});
                nodes.push_back(Node{0, 0, 0, letter, 0, 0});
                ++nodes[pending.node].child_count;
                at = stop;
            }
        }
        level = std::move(next);
    }

    // Word pairs, word and ending pairs, and the counts of the endings.
    std::vector<std::pair<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t>> counted;
    std::unordered_map<std::uint32_t, std::uint32_t> ending_counts;
    for (const Word& word : words) {
        if (word.frequency > 0) {
            const std::u16string_view lower(letters.data() + word.offset, word.length);
            ending_counts[EndingOf(lower)] += word.frequency;
        }
    }
    for (const auto& [ending, total] : ending_counts) {
        counted.push_back({{kAnyWord, ending}, total});
    }
    std::uint64_t everyday_total = 0;
    std::unordered_map<std::uint32_t, std::uint64_t> everyday_endings;
    for (std::uint32_t number = 0; number < candidates.size(); ++number) {
        if (candidates[number].everyday > 0 && !candidates[number].ending_only) {
            counted.push_back({{kEveryday, number}, candidates[number].everyday});
            everyday_total += candidates[number].everyday;
            everyday_endings[EndingOf(candidates[number].lower)] += candidates[number].everyday;
        }
    }
    for (const auto& [ending, total] : everyday_endings) {
        counted.push_back(
            {{kEveryday, ending},
             static_cast<std::uint32_t>(std::min<std::uint64_t>(total, 0xFFFFFFFFU))});
    }
    if (everyday_total > 0) {
        counted.push_back(
            {{kEveryday, kAnyWord},
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
                    return kAnyWord;
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
                    {{EndingOf(std::u16string_view(words_of_pair.first).substr(1)), second->second},
                     count});
                words[second->second].flags |= kEndsEndingPairs;
            }
            continue;
        }
        const auto first = number_of.find(words_of_pair.first);
        if (first == number_of.end() || count == 0) {
            continue;
        }
        if (is_ending(words_of_pair.second)) {
            counted.push_back({{first->second, EndingOf(words_of_pair.second.substr(1))}, count});
            words[first->second].flags |= kBeginsEndingPairs;
            continue;
        }
        const auto second = number_of.find(words_of_pair.second);
        if (second == number_of.end()) {
            continue;
        }
        counted.push_back({{first->second, second->second}, count});
        words[first->second].flags |= kBeginsPairs;
        words[first->second].followed += count;
        words[second->second].flags |= kEndsPairs;
    }
    std::size_t pair_slots = 16;
    while (pair_slots < 2 * counted.size()) {
        pair_slots *= 2;
    }
    std::vector<Pair> pairs(pair_slots, Pair{0, 0, 0, 0});
    for (const auto& [key, count] : counted) {
        for (std::size_t at = PairHash(key.first, key.second) & (pair_slots - 1);;
             at = (at + 1) & (pair_slots - 1)) {
            if (pairs[at].count == 0 ||
                (pairs[at].first == key.first && pairs[at].second == key.second)) {
                pairs[at] = {key.first, key.second, count, 0};
                break;
            }
        }
    }

    // Endings lend an accent: words in use, accented, of four letters or more.
    std::vector<std::uint32_t> endings;
    for (std::uint32_t number = 0; number < words.size(); ++number) {
        if (words[number].frequency > 0 && words[number].length >= 4 && words[number].stress < 3) {
            endings.push_back(number);
        }
    }
    const auto letters_of = [&](std::uint32_t number) {
        return std::u16string_view(letters.data() + words[number].offset, words[number].length);
    };
    std::sort(endings.begin(), endings.end(), [&](std::uint32_t a, std::uint32_t b) {
        return EndsBefore(letters_of(a), letters_of(b));
    });

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
    std::sort(english.begin(), english.end());
    english.erase(std::unique(english.begin(), english.end()), english.end());
    std::vector<std::uint32_t> english_offsets;
    std::vector<char> english_letters;
    for (const std::string& word : english) {
        english_offsets.push_back(static_cast<std::uint32_t>(english_letters.size()));
        english_letters.insert(english_letters.end(), word.begin(), word.end());
    }
    english_offsets.push_back(static_cast<std::uint32_t>(english_letters.size()));

    Image image;
    image.Put(kLetters, letters);
    image.Put(kWords, words);
    image.Put(kNodes, nodes);
    image.Put(kPairs, pairs);
    image.Put(kEndings, endings);
    image.Put(kEnglishOffsets, english_offsets);
    image.Put(kEnglishLetters, english_letters);
    return image.Finish(list_words, running_words);
}

}  // namespace bivano
