// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/speller.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <optional>
#include <sstream>
#include <unordered_map>

#include "core/encoding/text_codec.h"
#include "core/spelling/word_frequencies.h"

namespace bivano {
namespace {

// The Greek letters a word is made of: Ά, Έ to Ώ, ΐ to ώ (not the ano
// teleia U+0387, nor the holes U+038B, U+038D, U+03A2).
bool IsGreekLetter(char16_t c) {
    return c == 0x386 || (c >= 0x388 && c <= 0x3CE && c != 0x38B && c != 0x38D && c != 0x3A2);
}

bool IsUpper(char16_t c) {
    return (c >= 0x391 && c <= 0x3AB) || c == 0x386 || (c >= 0x388 && c <= 0x38F);
}

char16_t ToLower(char16_t c) {
    if (c >= 0x391 && c <= 0x3AB) {
        return static_cast<char16_t>(c + 0x20);
    }
    switch (c) {
        case 0x386:
            return 0x3AC;  // Ά
        case 0x388:
            return 0x3AD;  // Έ
        case 0x389:
            return 0x3AE;  // Ή
        case 0x38A:
            return 0x3AF;  // Ί
        case 0x38C:
            return 0x3CC;  // Ό
        case 0x38E:
            return 0x3CD;  // Ύ
        case 0x38F:
            return 0x3CE;  // Ώ
        default:
            return c;
    }
}

char16_t ToUpper(char16_t c) {
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) {
        return static_cast<char16_t>(c - 0x20);
    }
    switch (c) {
        case 0x3C2:
            return 0x3A3;  // ς
        case 0x3AC:
            return 0x386;
        case 0x3AD:
            return 0x388;
        case 0x3AE:
            return 0x389;
        case 0x3AF:
            return 0x38A;
        case 0x3CC:
            return 0x38C;
        case 0x3CD:
            return 0x38E;
        case 0x3CE:
            return 0x38F;
        default:
            return c;
    }
}

// A small letter without its accent or diaeresis; final sigma as sigma.
char16_t Plain(char16_t c) {
    switch (c) {
        case 0x3AC:
            return 0x3B1;  // ά
        case 0x3AD:
            return 0x3B5;  // έ
        case 0x3AE:
            return 0x3B7;  // ή
        case 0x3AF:
        case 0x3CA:
        case 0x390:
            return 0x3B9;  // ί ϊ ΐ
        case 0x3CC:
            return 0x3BF;  // ό
        case 0x3CD:
        case 0x3CB:
        case 0x3B0:
            return 0x3C5;  // ύ ϋ ΰ
        case 0x3CE:
            return 0x3C9;  // ώ
        case 0x3C2:
            return 0x3C3;  // ς
        default:
            return c;
    }
}

// Capitals carry no tonos in Greek typography; the diaeresis stays.
char16_t CapitalWithoutTonos(char16_t small) {
    switch (small) {
        case 0x3AC:
            return 0x391;
        case 0x3AD:
            return 0x395;
        case 0x3AE:
            return 0x397;
        case 0x3AF:
            return 0x399;
        case 0x3CC:
            return 0x39F;
        case 0x3CD:
            return 0x3A5;
        case 0x3CE:
            return 0x3A9;
        case 0x390:
            return 0x3AA;  // ΐ -> Ϊ
        case 0x3B0:
            return 0x3AB;  // ΰ -> Ϋ
        default:
            return ToUpper(small);
    }
}

void PlainInto(std::u16string_view word, std::u16string& plain) {
    plain.clear();
    for (const char16_t c : word) {
        plain.push_back(Plain(ToLower(c)));
    }
}

// The key of a plain word: the vowels that sound alike fold together, into
// Latin letters that no Greek letter is mistaken for.
void KeyInto(std::u16string_view plain, std::u16string& key) {
    key.clear();
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char16_t c = plain[i];
        const char16_t next = i + 1 < plain.size() ? plain[i + 1] : u'\0';
        if (next == u'ι' && (c == u'ε' || c == u'ο' || c == u'υ')) {
            key.push_back(u'i');
            ++i;
        } else if (c == u'α' && next == u'ι') {
            key.push_back(u'e');
            ++i;
        } else if (c == u'ο' && next == u'υ') {
            key.push_back(u'u');
            ++i;
        } else if (c == u'η' || c == u'ι' || c == u'υ') {
            key.push_back(u'i');
        } else if (c == u'ο' || c == u'ω') {
            key.push_back(u'o');
        } else if (c == u'ε') {
            key.push_back(u'e');
        } else {
            key.push_back(c);
        }
    }
}

// Where a word is stressed, as a rank for breaking ties: most Greek words
// carry the accent on the next-to-last syllable, then on the last, then
// on the one before. Vowels that make one sound (ει, οι, αι, ου, υι, αυ,
// ευ) count as one syllable.
std::uint16_t StressRank(std::u16string_view lower) {
    const auto is_vowel = [](char16_t c) {
        return std::u16string_view(u"αεηιουωάέήίόύώϊϋΐΰ").find(c) != std::u16string_view::npos;
    };
    int syllable = 0;  // counted from the end
    for (std::size_t i = lower.size(); i-- > 0;) {
        const char16_t c = lower[i];
        if (!is_vowel(c)) {
            continue;
        }
        const bool accented = c != Plain(c) && c != u'ϊ' && c != u'ϋ';
        // A vowel that closes a pair with the one before it (ει, αυ, …).
        if (i > 0 && is_vowel(lower[i - 1])) {
            const char16_t before = Plain(lower[i - 1]);
            const char16_t here = Plain(c);
            const bool pair =
                (here == u'ι' && c != u'ϊ' &&
                 (before == u'ε' || before == u'ο' || before == u'α' || before == u'υ')) ||
                (here == u'υ' && c != u'ϋ' && (before == u'ο' || before == u'α' || before == u'ε'));
            if (pair) {
                if (accented || lower[i - 1] != before) {
                    return syllable == 1 ? 0 : syllable == 0 ? 1 : 2;
                }
                --i;
                ++syllable;
                continue;
            }
        }
        if (accented) {
            return syllable == 1 ? 0 : syllable == 0 ? 1 : 2;
        }
        ++syllable;
    }
    return 3;
}

// Whether a plain word holds a letter that only one Latin spelling gives.
bool IsMarked(std::u16string_view plain) {
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char16_t c = plain[i];
        if (c == u'η' || c == u'υ' || c == u'ω') {
            return true;
        }
        if (i + 1 < plain.size() && plain[i + 1] == u'ι' && (c == u'ε' || c == u'ο' || c == u'α')) {
            return true;
        }
    }
    return false;
}

// Gives `spelled` (small letters, with accents) the case pattern of `typed`.
std::u16string WithCaseOf(std::u16string_view typed, std::u16string_view spelled) {
    const auto upper = static_cast<std::size_t>(std::count_if(typed.begin(), typed.end(), IsUpper));
    std::u16string out(spelled);
    if (upper == 0) {
        return out;
    }
    if (upper == typed.size() && typed.size() > 1) {
        std::transform(out.begin(), out.end(), out.begin(), CapitalWithoutTonos);
        return out;
    }
    if (upper == 1 && IsUpper(typed.front())) {
        out.front() = ToUpper(out.front());
        return out;
    }
    if (typed.size() == out.size()) {
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (IsUpper(typed[i])) {
                out[i] = CapitalWithoutTonos(out[i]);
            }
        }
        return out;
    }
    return std::u16string(typed);
}

// An ending that lends its accent: at least this many letters, the accent
// among them, and a word longer than it.
constexpr std::size_t kShortestEnding = 4;

// The letter's class for matching endings: the vowels that sound alike, and
// no accents. Length for length, so that a place in one is a place in the other.
char16_t LetterClass(char16_t c) {
    const char16_t plain = Plain(ToLower(c));
    switch (plain) {
        case u'η':
        case u'υ':
            return u'ι';
        case u'ω':
            return u'ο';
        default:
            return plain;
    }
}

std::u16string ReversedClass(std::u16string_view word) {
    std::u16string reversed(word.rbegin(), word.rend());
    std::transform(reversed.begin(), reversed.end(), reversed.begin(), LetterClass);
    return reversed;
}

// Walks the kept ranges (in rising order) along with the text, so that each
// question costs next to nothing however many ranges there are.
class KeptRanges {
  public:
    explicit KeptRanges(std::span<const TextRange> kept) : kept_(kept) {}

    // Whether [begin, end) touches a kept range; `begin` never goes back.
    bool Touch(std::size_t begin, std::size_t end) {
        while (next_ < kept_.size() && kept_[next_].end <= begin) {
            ++next_;
        }
        return next_ < kept_.size() && kept_[next_].begin < end;
    }

  private:
    std::span<const TextRange> kept_;
    std::size_t next_ = 0;
};

std::uint64_t HashOf(std::u16string_view key) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char16_t c : key) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return hash ^ (hash >> 29);
}

}  // namespace

// A slot holds a group's number plus one in its low half and the high half
// of its key's hash in the other, so that most probes settle without
// reading the key.
std::uint64_t GreekSpeller::Packed(std::u16string_view key, std::uint32_t number) {
    return (HashOf(key) & 0xFFFFFFFF00000000ULL) | number;
}

std::uint64_t& GreekSpeller::Slot(std::u16string_view key) {
    const std::uint64_t hash = HashOf(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        std::uint64_t& slot = slots_[at];
        if (slot == 0) {
            return slot;
        }
        if ((slot >> 32) == (hash >> 32)) {
            const Group& group = groups_[static_cast<std::uint32_t>(slot) - 1];
            if (std::u16string_view(keys_).substr(group.key_offset, group.key_length) == key) {
                return slot;
            }
        }
    }
}

std::uint32_t GreekSpeller::Find(std::u16string_view key) const {
    if (slots_.empty()) {
        return 0;
    }
    const std::uint64_t hash = HashOf(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (slot == 0) {
            return 0;
        }
        if ((slot >> 32) == (hash >> 32)) {
            const auto number = static_cast<std::uint32_t>(slot);
            const Group& group = groups_[number - 1];
            if (std::u16string_view(keys_).substr(group.key_offset, group.key_length) == key) {
                return number;
            }
        }
    }
}

// Gathers the words into groups by key, then orders each group best first.
class GreekSpeller::Builder {
  public:
    Builder(GreekSpeller& speller, std::size_t expected_words) : speller_(speller) {
        const std::string_view table = internal::GreekWordFrequencies();
        for (std::size_t at = 0; at < table.size();) {
            const std::size_t end = table.find('\n', at);
            const std::string_view line = table.substr(at, end - at);
            const std::size_t space = line.rfind(' ');
            frequency_[FromUtf8(line.substr(0, space))] =
                static_cast<std::uint32_t>(std::stoul(std::string(line.substr(space + 1))));
            at = end + 1;
        }
        std::size_t slots = 1024;
        while (slots < 2 * expected_words) {
            slots *= 2;
        }
        speller_.slots_.assign(slots, 0);
        pending_.reserve(expected_words);
        speller_.words_.reserve(expected_words * 10);
    }

    void Add(std::u16string_view word) {
        if (word.empty() || word.size() > 0xFFFF ||
            !std::all_of(word.begin(), word.end(), IsGreekLetter)) {
            return;
        }
        if (2 * (speller_.groups_.size() + 1) > speller_.slots_.size()) {
            Grow();
        }
        lower_.resize(word.size());
        std::transform(word.begin(), word.end(), lower_.begin(), ToLower);
        PlainInto(word, plain_);
        KeyInto(plain_, key_);
        std::uint64_t& slot = speller_.Slot(key_);
        if (slot == 0) {
            speller_.groups_.push_back({static_cast<std::uint32_t>(speller_.keys_.size()),
                                        static_cast<std::uint16_t>(key_.size()), 0, 0});
            speller_.keys_.append(key_);
            slot = Packed(key_, static_cast<std::uint32_t>(speller_.groups_.size()));
        }
        const auto found = frequency_.find(lower_);
        Pending pending;
        pending.entry = {static_cast<std::uint32_t>(speller_.words_.size()),
                         static_cast<std::uint16_t>(word.size()),
                         found == frequency_.end() ? 0 : found->second, lower_ == word};
        pending.group = static_cast<std::uint32_t>(slot) - 1;
        pending.stress = StressRank(lower_);
        pending.accents = static_cast<std::uint16_t>(
            std::inner_product(lower_.begin(), lower_.end(), plain_.begin(), 0, std::plus<>(),
                               [](char16_t a, char16_t b) { return a != b && b != u'σ'; }));
        ++speller_.groups_[pending.group].count;
        speller_.words_.append(lower_);
        pending_.push_back(pending);
    }

    void Finish() {
        speller_.list_words_ = pending_.size();
        // The words of the frequency table come from real text, typing
        // slips included: they fill in only for keys the list has no word
        // for (terms it lacks, such as συμβολοσειρά).
        for (const auto& [word, count] : frequency_) {
            PlainInto(word, plain_);
            KeyInto(plain_, key_);
            if (speller_.Find(key_) == 0) {
                Add(word);
            }
        }
        std::uint32_t first = 0;
        for (Group& group : speller_.groups_) {
            group.first = first;
            first += group.count;
            group.count = 0;
        }
        std::vector<std::uint32_t> order(pending_.size());
        for (std::uint32_t index = 0; index < pending_.size(); ++index) {
            Group& group = speller_.groups_[pending_[index].group];
            order[group.first + group.count++] = index;
        }
        // Within a key: the most frequent first, then the fewest accents
        // (θάλασσα before the enclitic θάλασσά), then the commonest place of
        // the accent (καλημέρα before καλήμερα), then words in small letters
        // (not names), then the list's own order.
        for (const Group& group : speller_.groups_) {
            const auto begin = order.begin() + group.first;
            std::sort(begin, begin + group.count, [&](std::uint32_t a, std::uint32_t b) {
                const Pending& x = pending_[a];
                const Pending& y = pending_[b];
                if (x.entry.frequency != y.entry.frequency) {
                    return x.entry.frequency > y.entry.frequency;
                }
                if (x.accents != y.accents) {
                    return x.accents < y.accents;
                }
                if (x.stress != y.stress) {
                    return x.stress < y.stress;
                }
                if (x.entry.lower_case != y.entry.lower_case) {
                    return x.entry.lower_case;
                }
                return a < b;
            });
        }
        speller_.entries_.reserve(order.size());
        for (const std::uint32_t index : order) {
            speller_.entries_.push_back(pending_[index].entry);
        }
        speller_.words_.shrink_to_fit();
        speller_.keys_.shrink_to_fit();
        for (const auto& [word, count] : frequency_) {
            if (word.size() >= kShortestEnding && StressRank(word) < 3) {
                speller_.endings_.push_back({ReversedClass(word), word});
            }
        }
        std::sort(
            speller_.endings_.begin(), speller_.endings_.end(),
            [](const Ending& a, const Ending& b) { return a.reversed_class < b.reversed_class; });
    }

  private:
    struct Pending {
        Entry entry;
        std::uint32_t group;
        std::uint16_t accents;
        std::uint16_t stress;
    };

    void Grow() {
        std::vector<std::uint64_t> old(speller_.slots_.size() * 2, 0);
        old.swap(speller_.slots_);
        for (std::uint32_t number = 1; number <= speller_.groups_.size(); ++number) {
            const Group& group = speller_.groups_[number - 1];
            const std::u16string_view key =
                std::u16string_view(speller_.keys_).substr(group.key_offset, group.key_length);
            speller_.Slot(key) = Packed(key, number);
        }
    }

    GreekSpeller& speller_;
    std::unordered_map<std::u16string, std::uint32_t> frequency_;
    std::vector<Pending> pending_;
    std::u16string lower_;
    std::u16string plain_;
    std::u16string key_;
};

GreekSpeller::GreekSpeller(const std::vector<std::u16string>& words) {
    Builder builder(*this, words.size());
    for (const std::u16string& word : words) {
        builder.Add(word);
    }
    builder.Finish();
}

GreekSpeller::GreekSpeller(std::string_view hunspell_list, Encoding encoding) {
    const std::size_t first_break = std::min(hunspell_list.find('\n'), hunspell_list.size());
    std::size_t count = 0;
    for (const char digit : hunspell_list.substr(0, std::min<std::size_t>(first_break, 9))) {
        if (digit < '0' || digit > '9') {
            break;
        }
        count = count * 10 + static_cast<std::size_t>(digit - '0');
    }
    Builder builder(*this, count);
    std::u16string word;
    // Word by word, so that the list is never held twice over.
    for (std::size_t at = first_break; at < hunspell_list.size();) {
        const std::size_t start = at + 1;
        const std::size_t end = std::min(hunspell_list.find('\n', start), hunspell_list.size());
        std::string_view line = hunspell_list.substr(start, end - start);
        line = line.substr(0, std::min(line.find('/'), line.find('\r')));
        word.clear();
        TextDecoder decoder(encoding);
        decoder.Decode(line, word);
        decoder.Finish(word);
        builder.Add(word);
        at = end;
    }
    builder.Finish();
}

namespace {

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size <= 0 || size > (std::streamoff{1} << 30)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!file.read(bytes.data(), size)) {
        return std::nullopt;
    }
    return bytes;
}

// The encoding named by the SET line of an .aff file; the empty string when
// there is no such line.
std::string AffixEncodingName(const std::string& affix) {
    std::istringstream lines(affix);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("SET ") || line.starts_with("SET\t")) {
            const std::size_t begin = line.find_first_not_of(" \t", 3);
            if (begin == std::string::npos) {
                return {};
            }
            const std::size_t end = line.find_first_of(" \t\r", begin);
            return line.substr(begin, end == std::string::npos ? end : end - begin);
        }
    }
    return {};
}

bool HasMultiByteUtf8(std::string_view bytes) {
    return DetectEncoding(bytes).encoding == Encoding::Utf8 &&
           std::any_of(bytes.begin(), bytes.end(), [](char byte) { return byte & 0x80; });
}

}  // namespace

std::unique_ptr<GreekSpeller> GreekSpeller::FromHunspellFile(const std::string& path,
                                                             Problem* problem) {
    Problem ignored = Problem::None;
    Problem& outcome = problem != nullptr ? *problem : ignored;
    outcome = Problem::None;
    const std::optional<std::string> bytes = ReadWhole(path);
    if (!bytes) {
        outcome = Problem::Unreadable;
        return nullptr;
    }
    const std::string affix_path =
        (path.ends_with(".dic") ? path.substr(0, path.size() - 4) : path) + ".aff";
    const std::optional<std::string> affix = ReadWhole(affix_path);
    const bool utf8 = HasMultiByteUtf8(*bytes);
    Encoding encoding = utf8 ? Encoding::Utf8 : Encoding::Iso8859_7;
    if (affix) {
        if (const std::string name = AffixEncodingName(*affix); !name.empty()) {
            const std::optional<Encoding> named = EncodingFromName(name);
            if (named != Encoding::Utf8 && named != Encoding::Iso8859_7) {
                outcome = Problem::UnknownEncoding;
                return nullptr;
            }
            encoding = *named;
        }
    }
    // A list that is well-formed UTF-8 said to be ISO-8859-7, or one that is
    // not UTF-8 said to be UTF-8, would give wrong letters in every word.
    const bool plain_ascii =
        std::none_of(bytes->begin(), bytes->end(), [](char byte) { return byte & 0x80; });
    if (!plain_ascii && utf8 != (encoding == Encoding::Utf8)) {
        outcome = Problem::WrongEncoding;
        return nullptr;
    }
    auto speller = std::unique_ptr<GreekSpeller>(new GreekSpeller(*bytes, encoding));
    if (speller->ListWordCount() == 0) {
        outcome = Problem::NoGreekWords;
        return nullptr;
    }
    return speller;
}

const GreekSpeller::Entry* GreekSpeller::Best(std::u16string_view plain) const {
    thread_local std::u16string key;
    KeyInto(plain, key);
    const std::uint32_t slot = Find(key);
    if (slot == 0) {
        return nullptr;
    }
    const Group& group = groups_[slot - 1];
    const Entry* first = &entries_[group.first];
    // A word written with a letter that only one spelling gives (η from h,
    // υ from y, ω from w, ει, οι, αι) meant a candidate with those very
    // letters. An ι, ο or ε may stand for any of its class: there the very
    // letters win when that word is in use at all ("ti" is τι, not the more
    // frequent τη), and otherwise the most frequent ("poli" is πολύ, not the
    // rare πόλι).
    const bool marked = IsMarked(plain);
    thread_local std::u16string candidate;
    for (std::uint32_t i = 0; i < group.count; ++i) {
        const Entry& entry = first[i];
        if (!marked && entry.frequency == 0 && first->frequency > 0) {
            break;
        }
        if (entry.length == plain.size()) {
            PlainInto(Word(entry), candidate);
            if (candidate == plain) {
                return &entry;
            }
        }
    }
    return first;
}

namespace {

// What else a letter of the converted text may have been meant as, from the
// Latin letters that give it: u (θ) is also υ and ου, v (ω) is β, x (χ) is
// ξ, h (η) is χ, b, d and g are also μπ, ντ and γκ, and the i of a pair
// may be η.
std::u16string_view OtherReadings(char16_t letter) {
    switch (letter) {
        case u'θ':
            return u"υ";  // and ου, tried apart
        case u'ω':
            return u"β";
        case u'χ':
            return u"ξ";
        case u'η':
            return u"χ";
        default:
            return {};
    }
}

// At most this many readings of one word are looked up.
constexpr std::size_t kMostReadings = 64;

// The readings of `plain` other than itself: each letter that has others
// takes each of them in turn, with every choice for the letters before it.
void OtherWordReadings(std::u16string_view plain, std::vector<std::u16string>& readings) {
    readings.assign(1, std::u16string(plain));
    for (std::size_t i = 0; i < plain.size(); ++i) {
        std::u16string_view others = OtherReadings(plain[i]);
        // "oi", "ei", "ai" are pairs, or a vowel and η: voithisei is βοηθήσει.
        if (plain[i] == u'ι' && i > 0 &&
            std::u16string_view(u"αεου").find(plain[i - 1]) != std::u16string_view::npos) {
            others = u"η";
        }
        const bool digraphs =
            plain[i] == u'θ' || plain[i] == u'β' || plain[i] == u'δ' || plain[i] == u'γ';
        if (others.empty() && !digraphs) {
            continue;
        }
        const std::size_t count = readings.size();
        for (std::size_t r = 0; r < count && readings.size() < kMostReadings; ++r) {
            // Positions move as digraphs are put in: find this letter's place
            // by what is left of the word after it.
            const std::u16string reading = readings[r];  // the vector grows below
            const std::size_t at = reading.size() - (plain.size() - i);
            for (const char16_t other : others) {
                std::u16string variant = reading;
                variant[at] = other;
                readings.push_back(std::move(variant));
            }
            const std::u16string_view digraph = plain[i] == u'θ'   ? u"ου"
                                                : plain[i] == u'β' ? u"μπ"
                                                : plain[i] == u'δ' ? u"ντ"
                                                : plain[i] == u'γ' ? u"γκ"
                                                                   : u"";
            if (!digraph.empty() && readings.size() < kMostReadings) {
                std::u16string variant = reading;
                variant.replace(at, 1, digraph);
                readings.push_back(std::move(variant));
            }
        }
    }
    // Two ways a θ reads back as other letters: "th" before a consonant
    // gives τη, and "u" after o or e gives υ. Try θ at each such place.
    for (std::size_t i = 0; i + 1 < plain.size() && readings.size() < kMostReadings; ++i) {
        if (plain[i] == u'τ' && plain[i + 1] == u'η') {
            std::u16string variant(plain);
            variant[i] = u'θ';
            variant.erase(i + 1, 1);
            readings.push_back(std::move(variant));
        }
        if (plain[i + 1] == u'υ' && (plain[i] == u'ο' || plain[i] == u'ε')) {
            std::u16string variant(plain);
            variant[i + 1] = u'θ';
            readings.push_back(std::move(variant));
        }
    }
    readings.erase(readings.begin());
}

}  // namespace

std::optional<std::u16string> GreekSpeller::SpellByEnding(std::u16string_view plain) const {
    if (plain.size() <= kShortestEnding || endings_.empty()) {
        return std::nullopt;
    }
    const std::u16string reversed = ReversedClass(plain);
    // The longest shared ending is with a neighbour of where the word would go.
    const auto at = std::lower_bound(endings_.begin(), endings_.end(), reversed,
                                     [](const Ending& ending, const std::u16string& key) {
                                         return ending.reversed_class < key;
                                     });
    const Ending* best = nullptr;
    std::size_t best_length = 0;
    for (auto it = at == endings_.begin() ? at : at - 1; it != endings_.end() && it <= at; ++it) {
        const auto mismatch = std::mismatch(reversed.begin(), reversed.end(),
                                            it->reversed_class.begin(), it->reversed_class.end());
        const auto length = static_cast<std::size_t>(mismatch.first - reversed.begin());
        if (length > best_length) {
            best_length = length;
            best = &*it;
        }
    }
    if (best == nullptr || best_length < kShortestEnding || best_length >= plain.size()) {
        return std::nullopt;
    }
    // The accent must lie inside the shared ending.
    const std::u16string_view known = best->word;
    const std::u16string_view ending = known.substr(known.size() - best_length);
    if (std::none_of(ending.begin(), ending.end(),
                     [](char16_t c) { return c != Plain(c) && c != u'ϊ' && c != u'ϋ'; })) {
        return std::nullopt;
    }
    // The word as typed, with the known ending's accent, and its η where an
    // ι was typed (the commonest slip); other letters stay as typed, since a
    // υ or ω there is a guess.
    static constexpr std::u16string_view kPlainVowels = u"αεηιουω";
    static constexpr std::u16string_view kAccentedVowels = u"άέήίόύώ";
    std::u16string spelled(plain);
    const std::size_t start = plain.size() - best_length;
    for (std::size_t i = 0; i < best_length; ++i) {
        const char16_t typed = plain[start + i];
        const char16_t meant = ending[i];
        char16_t letter = Plain(meant) == u'η' && typed == u'ι' ? u'η' : typed;
        if (meant != Plain(meant) && meant != u'ϊ' && meant != u'ϋ') {
            const std::size_t vowel = kPlainVowels.find(letter);
            if (vowel != std::u16string_view::npos) {
                letter = kAccentedVowels[vowel];
            }
        }
        spelled[start + i] = letter;
    }
    if (spelled.back() == u'σ') {
        spelled.back() = u'ς';
    }
    return spelled;
}

bool GreekSpeller::Knows(std::u16string_view word) const {
    std::u16string plain;
    PlainInto(word, plain);
    return Lookup(plain) != nullptr;
}

std::u16string GreekSpeller::SpellWord(std::u16string_view word) const {
    thread_local std::u16string plain;
    PlainInto(word, plain);
    const Entry* best = Lookup(plain);
    if (best == nullptr) {
        if (std::optional<std::u16string> by_ending = SpellByEnding(plain)) {
            return WithCaseOf(word, *by_ending);
        }
        return std::u16string(word);
    }
    std::u16string spelled = WithCaseOf(word, Word(*best));
    // A word the list knows only with a capital (a name) takes it, however
    // it was typed.
    if (!best->lower_case && !spelled.empty() && !IsUpper(spelled.front())) {
        spelled.front() = ToUpper(spelled.front());
    }
    return spelled;
}

const GreekSpeller::Entry* GreekSpeller::Lookup(std::u16string_view plain) const {
    const Entry* best = Best(plain);
    if ((best == nullptr || best->frequency == 0) && plain.size() > 1) {
        // The letters as converted make no word in use: try what else the
        // Latin letters behind them may have meant, and take the most
        // frequent word they make.
        thread_local std::vector<std::u16string> readings;
        OtherWordReadings(plain, readings);
        // A word in use beats the converted letters' rare one; with no word
        // at all, any reading's word will do.
        const Entry* converted = best;
        for (const std::u16string& reading : readings) {
            const Entry* found = Best(reading);
            if (found != nullptr && (best == nullptr || found->frequency > best->frequency ||
                                     (best == converted && found->frequency > 0))) {
                best = found;
            }
        }
    }
    return best;
}

namespace {

// Whether `word` (small letters) is an enclitic, and whether only when it
// ends a phrase: του, το and the like are articles as often.
enum class Enclitic { No, Always, AtPhraseEnd };
Enclitic EncliticOf(std::u16string_view word) {
    static constexpr std::u16string_view kAlways[] = {u"μου", u"σου", u"μας", u"σας"};
    static constexpr std::u16string_view kAtEnd[] = {u"του", u"της", u"τους", u"τον", u"την",
                                                     u"το",  u"τα",  u"τις",  u"τη"};
    if (std::find(std::begin(kAlways), std::end(kAlways), word) != std::end(kAlways)) {
        return Enclitic::Always;
    }
    if (std::find(std::begin(kAtEnd), std::end(kAtEnd), word) != std::end(kAtEnd)) {
        return Enclitic::AtPhraseEnd;
    }
    return Enclitic::No;
}

bool EndsAPhrase(char16_t c) {
    return std::u16string_view(u".,;·!?:)»\"\r\n").find(c) != std::u16string_view::npos;
}

// Puts a tonos on the last syllable of a word in small letters or with a
// capital first: σύστημα -> σύστημά, άνθρωποι -> άνθρωποί.
void AccentLastSyllable(std::u16string& word) {
    static constexpr std::u16string_view kPlain = u"αεηιουω";
    static constexpr std::u16string_view kAccented = u"άέήίόύώ";
    for (std::size_t i = word.size(); i-- > 0;) {
        const std::size_t vowel = kPlain.find(word[i]);
        if (vowel != std::u16string_view::npos) {
            word[i] = kAccented[vowel];
            return;
        }
        if (kAccented.find(word[i]) != std::u16string_view::npos || IsUpper(word[i]) ||
            word[i] == u'ϊ' || word[i] == u'ϋ') {
            return;  // stressed already, or in capitals
        }
    }
}

}  // namespace

namespace {

// The chat abbreviations written out, with the case they were typed in;
// empty for any other word.
std::u16string ChatWord(std::u16string_view word) {
    static constexpr std::pair<std::u16string_view, std::u16string_view> kAbbreviations[] = {
        {u"κ", u"και"},      {u"γτ", u"γιατί"},   {u"τπτ", u"τίποτα"},
        {u"δλδ", u"δηλαδή"}, {u"τλκ", u"τελικά"}, {u"ντξ", u"εντάξει"},
    };
    std::u16string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(), ToLower);
    for (const auto& [short_form, long_form] : kAbbreviations) {
        if (lower == short_form) {
            return WithCaseOf(word, long_form);
        }
    }
    return {};
}

}  // namespace

std::u16string GreekSpeller::Spell(std::u16string_view text,
                                   std::span<const TextRange> kept) const {
    std::u16string out;
    out.reserve(text.size());
    SpellInto(text, text.size(), kept, out);
    return out;
}

void GreekSpeller::SpellInto(std::u16string_view text, std::size_t end_of_part,
                             std::span<const TextRange> kept, std::u16string& out,
                             bool chat) const {
    KeptRanges kept_ranges(kept);
    bool asking = false;  // a "?" after a Greek word has begun: "??" gives ";;"
    thread_local std::u16string next_lower;
    for (std::size_t i = 0; i < end_of_part;) {
        if (!IsGreekLetter(text[i])) {
            const bool question =
                text[i] == u'?' && i > 0 &&
                ((IsGreekLetter(text[i - 1]) && !kept_ranges.Touch(i - 1, i + 1)) || asking);
            asking = question;
            out.push_back(question ? u';' : text[i]);
            ++i;
            continue;
        }
        asking = false;
        std::size_t end = i + 1;
        while (end < text.size() && IsGreekLetter(text[end])) {
            ++end;
        }
        const std::u16string_view word = text.substr(i, end - i);
        if (kept_ranges.Touch(i, end)) {
            out.append(word);
            i = end;
            continue;
        }
        std::u16string spelled = chat ? ChatWord(word) : std::u16string();
        if (spelled.empty()) {
            spelled = SpellWord(word);
        }
        // The word after one blank, if it is an enclitic that gives this
        // word a second accent.
        if (end + 1 < text.size() && text[end] == u' ' && IsGreekLetter(text[end + 1])) {
            std::size_t next_end = end + 1;
            while (next_end < text.size() && IsGreekLetter(text[next_end])) {
                ++next_end;
            }
            next_lower.clear();
            if (next_end - end - 1 <= 4) {  // the enclitics are short: most words stop here
                for (std::size_t k = end + 1; k < next_end; ++k) {
                    next_lower.push_back(ToLower(text[k]));
                }
            }
            const Enclitic enclitic = next_lower.empty() ? Enclitic::No : EncliticOf(next_lower);
            const bool applies = enclitic == Enclitic::Always ||
                                 (enclitic == Enclitic::AtPhraseEnd &&
                                  (next_end == text.size() || EndsAPhrase(text[next_end])));
            if (applies) {
                thread_local std::u16string lower;
                lower.resize(spelled.size());
                std::transform(spelled.begin(), spelled.end(), lower.begin(), ToLower);
                if (StressRank(lower) == 2 && !kept_ranges.Touch(end + 1, next_end)) {
                    AccentLastSyllable(spelled);
                }
            }
        }
        out.append(spelled);
        i = end;
    }
}

void SpellingStream::Spell(std::u16string_view piece, std::span<const TextRange> kept,
                           std::u16string& out) {
    std::u16string text = std::move(held_);
    std::vector<TextRange> ranges = std::move(held_kept_);
    const std::size_t shift = text.size();
    text.append(piece);
    for (const TextRange& range : kept) {
        ranges.push_back({range.begin + shift, range.end + shift});
    }
    // Hold back what may still change with the next piece: a last word that
    // reaches the end (it may be cut, and the word before it waits on it for
    // its second accent), or one that a single blank or question marks
    // follow (an enclitic, or more question marks, may come).
    const auto letter = [&](std::size_t at) { return IsGreekLetter(text[at]); };
    std::size_t last_end = text.size();
    while (last_end > 0 && !letter(last_end - 1)) {
        --last_end;
    }
    std::size_t last_start = last_end;
    while (last_start > 0 && letter(last_start - 1)) {
        --last_start;
    }
    const std::u16string_view gap = std::u16string_view(text).substr(last_end);
    std::size_t cut = text.size();
    if (last_end == 0) {
        // No Greek word: nothing waits.
    } else if (gap.empty()) {
        cut = last_start;
        if (last_start >= 2 && text[last_start - 1] == u' ' && letter(last_start - 2)) {
            cut = last_start - 1;
            while (cut > 0 && letter(cut - 1)) {
                --cut;
            }
        }
    } else if (gap == u" " || gap.find_first_not_of(u'?') == std::u16string_view::npos) {
        cut = last_start;
    }
    held_ = text.substr(cut);
    held_kept_.clear();
    for (const TextRange& range : ranges) {
        if (range.end > cut) {
            held_kept_.push_back({std::max(range.begin, cut) - cut, range.end - cut});
        }
    }
    speller_.SpellInto(text, cut, ranges, out, chat_);
}

void SpellingStream::Finish(std::u16string& out) {
    speller_.SpellInto(held_, held_.size(), held_kept_, out, chat_);
    held_.clear();
    held_kept_.clear();
}

}  // namespace bivano
