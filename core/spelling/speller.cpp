// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/speller.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "core/encoding/text_codec.h"
#include "core/lativo/conversion_stream.h"
#include "core/lativo/text_range.h"
#include "core/lativo/to_greek_rules.h"

namespace bivano {

using namespace std::string_view_literals;
namespace {

using internal::GreekLower;
using internal::GreekUpper;
using internal::IsGreekLetter;
using internal::IsGreekUpper;
using internal::PlainLetter;

bool IsLatinLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsBlankOrBreak(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsUpper(char16_t c) {
    return (c >= u'A' && c <= u'Z') || IsGreekUpper(c);
}

// Small letters for the readings: Latin ones, and Greek ones without accents.
char16_t ReadingLower(char16_t c) {
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + 32);
    }
    return PlainLetter(GreekLower(c));
}

// Small Greek letters without accents, as the chat words and the letter
// tree are keyed.
std::u16string PlainForm(std::u16string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char16_t c) { return PlainLetter(GreekLower(c)); });
    return text;
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
            return GreekUpper(small);
    }
}

bool IsAccented(char16_t c) {
    return c != PlainLetter(c) && c != u'ϊ' && c != u'ϋ' && c != u'ς';
}

// Whether a word carries a tonos or a diaeresis (in either case).
bool HasMarks(std::u16string_view typed) {
    return std::any_of(typed.begin(), typed.end(), [](char16_t c) {
        const char16_t lower = GreekLower(c);
        return lower != PlainLetter(lower) && lower != u'ς';
    });
}

std::size_t AccentCount(std::u16string_view lower) {
    return static_cast<std::size_t>(std::count_if(lower.begin(), lower.end(), IsAccented));
}

// Appends to `out` `spelled` (small letters, with accents) with the case
// of `typed`: all capitals, a first capital, or, letter for letter, the
// capitals of a typed word as long.
void AppendWithCaseOf(std::u16string_view typed, std::u16string_view spelled, std::u16string& out) {
    const std::size_t begin = out.size();
    out.append(spelled);
    std::size_t upper = 0;
    std::size_t digits = 0;  // 3 and 8 typed for ξ and θ have no case
    for (const char16_t c : typed) {
        upper += IsUpper(c) ? 1 : 0;
        digits += c == u'3' || c == u'8' ? 1 : 0;
    }
    if (upper == 0 || spelled.empty()) {
        return;
    }
    const auto word = out.begin() + static_cast<std::ptrdiff_t>(begin);
    if (upper + digits == typed.size() && typed.size() > 1) {
        std::transform(word, out.end(), word, CapitalWithoutTonos);
        return;
    }
    if (typed.size() == spelled.size() && upper > 1) {
        for (std::size_t i = 0; i < spelled.size(); ++i) {
            if (IsUpper(typed[i])) {
                out[begin + i] = CapitalWithoutTonos(out[begin + i]);
            }
        }
        return;
    }
    if (IsUpper(typed.front())) {
        *word = GreekUpper(*word);
    }
}

// Puts a tonos on the last syllable of a word in small letters or with a
// capital first: σύστημα -> σύστημά, άνθρωποι -> άνθρωποί.
void AccentLastSyllable(std::u16string& text, std::size_t begin, std::size_t end) {
    static constexpr std::u16string_view kPlain = u"αεηιουω";
    static constexpr std::u16string_view kAccented = u"άέήίόύώ";
    std::u16string& word = text;
    for (std::size_t i = end; i-- > begin;) {
        const std::size_t vowel = kPlain.find(word[i]);
        if (vowel != std::u16string_view::npos) {
            word[i] = kAccented[vowel];
            return;
        }
        if (kAccented.find(word[i]) != std::u16string_view::npos || IsGreekUpper(word[i]) ||
            word[i] == u'ϊ' || word[i] == u'ϋ') {
            return;  // stressed already, or in capitals
        }
    }
}

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

// What a character beside a phrase is, for the counts of phrases' edges.
GreekModel::Beside BesideOf(char16_t c) {
    using Beside = GreekModel::Beside;
    if (u".;!?·:\n\r"sv.find(c) != std::u16string_view::npos) {
        return Beside::Sentence;
    }
    if (c == u',') {
        return Beside::Comma;
    }
    if (c >= u'0' && c <= u'9') {
        return Beside::Digit;
    }
    return IsLatinLetter(c) ? Beside::Latin : Beside::Mark;
}

bool EndsAPhrase(char16_t c) {
    return u".,;·!?:)»\"\r\n"sv.find(c) != std::u16string_view::npos;
}

// The chat abbreviations, as the plain conversion writes them (small, no
// accents, σ for ς), written out: the one- to four-letter forms people type
// for the commonest words.
constexpr std::pair<std::u16string_view, std::u16string_view> kChatAbbreviations[] = {
    {u"κ", u"και"},      {u"δν", u"δεν"},      {u"μ", u"μου"},
    {u"σ", u"σου"},      {u"π", u"που"},       {u"γτ", u"γιατί"},
    {u"τπτ", u"τίποτα"}, {u"τπτα", u"τίποτα"}, {u"δλδ", u"δηλαδή"},
    {u"τλκ", u"τελικά"}, {u"ντξ", u"εντάξει"}, {u"ντχ", u"εντάξει"},
    {u"κλ", u"καλά"},    {u"σμρ", u"σήμερα"},  {u"τεσπα", u"τέλος πάντων"},
};

std::u16string_view ChatWord(std::u16string_view plain) {
    for (const auto& [short_form, long_form] : kChatAbbreviations) {
        if (plain == short_form) {
            return long_form;
        }
    }
    return {};
}

// The longest chat abbreviation as typed (tespa, ntks).
constexpr std::size_t kLongestAbbreviation = 6;

// Laughter, typed in Latin or Greek letters: two or more of one syllable
// of χ (x, h) and a vowel, perhaps with a last χ: xaxa, haha, xaxaxa,
// hehe, χαχαχα. Written as the same laughter in Greek letters, without an
// accent (χαχα, χεχε); empty for anything else.
std::u16string Laughter(std::u16string_view lower) {
    const auto is_chi = [](char16_t c) { return c == u'x' || c == u'h' || c == u'χ'; };
    const auto vowel_of = [](char16_t c) -> char16_t {
        switch (c) {
            case u'a':
            case u'α':
                return u'α';
            case u'e':
            case u'ε':
                return u'ε';
            case u'i':
            case u'ι':
                return u'ι';
            default:
                return 0;
        }
    };
    std::size_t end = lower.size();
    if (end % 2 == 1 && is_chi(lower.back())) {
        --end;  // xaxax
    }
    if (end < 4 || end % 2 == 1) {
        return {};
    }
    const char16_t vowel = vowel_of(lower[1]);
    std::u16string laughter;
    for (std::size_t i = 0; i < end; i += 2) {
        if (!is_chi(lower[i]) || vowel == 0 || vowel_of(lower[i + 1]) != vowel) {
            return {};
        }
        laughter += u'χ';
        laughter += vowel;
    }
    if (end < lower.size()) {
        laughter += u'χ';
    }
    return laughter;
}

// One way to read the letters at a place of a typed word: how many it
// takes, the Greek letters (plain, one or two) it gives, and how unlikely
// a typing it is.
struct Reading {
    std::uint8_t length;
    std::u16string_view greek;
    float cost;
};

// A vowel of Greek letters typed for another that sounds alike.
constexpr float kGreekSlip = 1.5F;

// Consonants that people type once where Greek doubles them.
constexpr std::u16string_view kDoubled = u"λμνρσπτκγ";

// Every reading of the letters of `word` (small, see ReadingLower) from
// place `at` on; `add` is called with each. The costs are in units of how
// much likelier a word must be in running text to win against a better
// reading: a few units for a reading people seldom type.
template <class Add>
void ForEachReading(std::u16string_view word, std::size_t at, Add&& add) {
    const char16_t c = word[at];
    const char16_t next = at + 1 < word.size() ? word[at + 1] : u'\0';
    const char16_t before = at > 0 ? word[at - 1] : u'\0';
    const bool after_a_or_e = before == u'a' || before == u'e' || before == u'α' || before == u'ε';
    const auto one = [&](std::u16string_view greek, float cost) { add(Reading{1, greek, cost}); };
    const auto two = [&](std::u16string_view greek, float cost) { add(Reading{2, greek, cost}); };
    switch (c) {
        case u'a':
            one(u"α", 0);
            if (next == u'i') {
                two(u"αι", 0);
            }
            return;
        case u'b':
            one(u"μπ", 0);
            one(u"β", 0.3F);
            return;
        case u'c':
            if (next == u'h') {
                two(u"χ", 0);
            }
            one(u"ψ", 0);
            one(u"κ", 1.5F);
            one(u"σ", 1.5F);
            return;
        case u'd':
            one(u"δ", 0);
            one(u"ντ", 0.4F);
            return;
        case u'e':
            one(u"ε", 0);
            one(u"αι", 0.5F);
            one(u"η", 1.8F);
            if (next == u'i') {
                two(u"ει", 0);
            }
            return;
        case u'f':
            one(u"φ", 0);
            if (after_a_or_e) {
                one(u"υ", 0.2F);
            }
            return;
        case u'g':
            one(u"γ", 0);
            one(u"γκ", 0.5F);
            if (next == u'k') {
                two(u"γκ", 0);
            } else if (next == u'g') {
                two(u"γγ", 0);
                two(u"γκ", 0.4F);
            }
            return;
        case u'h':
            one(u"η", 0);
            one(u"χ", 0.5F);
            return;
        case u'i':
            one(u"ι", 0);
            one(u"η", 0.5F);
            one(u"υ", 0.5F);
            one(u"ει", 0.5F);
            one(u"οι", 0.6F);
            return;
        case u'j':
            one(u"ξ", 0.3F);
            one(u"τζ", 1.2F);
            return;
        case u'k':
            one(u"κ", 0);
            if (next == u's') {
                two(u"ξ", 0);
            } else if (next == u'h') {
                two(u"χ", 0.5F);
            }
            return;
        case u'o':
            one(u"ο", 0);
            // At the end of a word ω is as likely: the verbs' -ω.
            one(u"ω", at + 1 == word.size() ? 0.1F : 0.3F);
            if (next == u'i') {
                two(u"οι", 0);
            } else if (next == u'u') {
                two(u"ου", 0);
            } else if (next == u'y') {
                two(u"ου", 0.3F);
            }
            return;
        case u'p':
            one(u"π", 0);
            if (next == u's') {
                two(u"ψ", 0);
            } else if (next == u'h') {
                two(u"φ", 0);
            }
            return;
        case u'q':
            one(u"κ", 1.0F);
            return;
        case u't':
            one(u"τ", 0);
            if (next == u'h') {
                two(u"θ", 0);
            }
            return;
        case u'u':
            one(u"υ", 0);
            one(u"ου", 0.6F);
            one(u"θ", 1.0F);
            return;
        case u'v':
            one(u"β", 0);
            one(u"ω", 0.8F);
            if (after_a_or_e) {
                one(u"υ", 0.1F);
            }
            return;
        case u'w':
            one(u"ω", 0);
            one(u"ο", 1.2F);
            return;
        case u'x':
            one(u"χ", 0);
            one(u"ξ", 0.6F);
            return;
        case u'y':
            one(u"υ", 0);
            one(u"ι", 0.7F);
            one(u"η", 0.7F);
            one(u"γ", 1.0F);
            return;
        case u'l':
            one(u"λ", 0);
            return;
        case u'm':
            one(u"μ", 0);
            return;
        case u'n':
            one(u"ν", 0);
            return;
        case u'r':
            one(u"ρ", 0);
            return;
        case u's':
            one(u"σ", 0);
            return;
        case u'z':
            one(u"ζ", 0);
            return;
        case u'3':
            one(u"ξ", 0);
            return;
        case u'8':
            one(u"θ", 0);
            return;
        // Greek letters typed without accents: on a Greek keyboard the
        // vowels that sound alike are seldom mixed up, but they are.
        case u'ι':
            one(u"ι", 0);
            one(u"η", kGreekSlip);
            one(u"υ", kGreekSlip);
            one(u"ει", kGreekSlip);
            one(u"οι", kGreekSlip);
            return;
        case u'η':
        case u'υ':
            one(std::u16string_view(&word[at], 1), 0);
            one(u"ι", kGreekSlip);
            one(c == u'η' ? u"υ" : u"η", kGreekSlip);
            return;
        case u'ο':
            one(u"ο", 0);
            one(u"ω", kGreekSlip);
            return;
        case u'ω':
            one(u"ω", 0);
            one(u"ο", kGreekSlip);
            return;
        case u'ε':
            one(u"ε", 0);
            one(u"αι", kGreekSlip);
            if (next == u'ι') {
                two(u"ι", kGreekSlip);
            }
            return;
        case u'α':
            one(u"α", 0);
            if (next == u'ι') {
                two(u"ε", kGreekSlip);
            }
            return;
        default:
            break;
    }
    if (IsGreekLetter(c)) {
        add(Reading{1, std::u16string_view(&word[at], 1), 0});
    }
}

// The likeliest letters of a typed word read one place at a time: the
// cheapest reading at each, the longer of two alike (th is θ, ou is ου).
std::u16string PrimaryReading(std::u16string_view word) {
    std::u16string greek;
    for (std::size_t at = 0; at < word.size();) {
        // th is θ before a vowel, as the plain conversion reads it, and τη
        // before a consonant (eurethriakh).
        const bool th_before_consonant =
            word[at] == u't' && at + 1 < word.size() && word[at + 1] == u'h' &&
            at + 2 < word.size() && u"aeiouwy"sv.find(word[at + 2]) == std::u16string_view::npos;
        // v before a consonant but ρ and λ, not after α or ε (αυ, ευ), is
        // ω: no Greek word has βσ or βμ (aytodiagnvstikoy).
        const bool omega = word[at] == u'v' && at + 1 < word.size() &&
                           u"aeiouywrlv"sv.find(word[at + 1]) == std::u16string_view::npos &&
                           IsLatinLetter(word[at + 1]) &&
                           (at == 0 || (word[at - 1] != u'a' && word[at - 1] != u'e'));
        if (omega) {
            greek.push_back(u'ω');
            ++at;
            continue;
        }
        Reading best{1, {}, 1e9F};
        ForEachReading(word, at, [&](const Reading& reading) {
            if (reading.cost < best.cost ||
                (reading.cost == best.cost && reading.length > best.length &&
                 !th_before_consonant)) {
                best = reading;
            }
        });
        if (best.greek.empty()) {
            greek.push_back(word[at]);
        } else {
            greek.append(best.greek);
        }
        at += best.length;
    }
    return greek;
}

// Readings costlier than this, added up over a word, are not followed.
constexpr float kMostCost = 2.6F;
// A slip of typing (a letter left out, one too many, one swapped for its
// neighbour), read only in a word no reading places.
constexpr float kSlipCost = 1.0F;
// What a slip may read as: words in use (log share of running words, about
// one in 30,000), of typed words of this many letters or more.
constexpr double kSlipWord = -10.3;
constexpr std::size_t kShortestSlipped = 4;
// Two words typed as one: each this common (log share of running words),
// and either counted as a pair or each very common.
constexpr double kSplitWord = -9.0;
constexpr double kVeryCommonWord = -7.0;
constexpr std::size_t kShortestSplit = 5;
// A run of one letter typed for emphasis, read as the letter once: dearer
// than capitals read as Greek (kCapitalsAsGreek), so that ZZZ stays.
constexpr float kEmphasisCost = 0.7F;

// The letters next to a Latin letter on the keyboard's row, and v and n,
// which look alike to the Greek eye (ν).
std::u16string_view KeyboardNeighbours(char16_t c) {
    static constexpr std::u16string_view kRows[] = {u"qwertyuiop", u"asdfghjkl", u"zxcvbnm"};
    static constexpr std::u16string_view kNeighbours[] = {
        u"w",  u"qe", u"wr", u"et", u"ry", u"tu", u"yi", u"uo", u"ip", u"o",   u"s",  u"ad",  u"sf",
        u"dg", u"fh", u"gj", u"hk", u"jl", u"k",  u"x",  u"zc", u"xv", u"cbn", u"vn", u"bmv", u"n"};
    std::size_t index = 0;
    for (const std::u16string_view row : kRows) {
        if (const std::size_t at = row.find(c); at != std::u16string_view::npos) {
            return kNeighbours[index + at];
        }
        index += row.size();
    }
    return {};
}
// A consonant typed once for two.
constexpr float kDoubledCost = 0.9F;
// How often a pair of words may have been seen that the counts leave out.
constexpr double kMostUncounted = 2.0;
// A pair never seen, against one seen: about log 0.4.
constexpr double kBackOff = -0.9;
// What follows a word that only the everyday lists count, as the log share
// of followers a counted word's pairs leave unaccounted, about 0.3.
constexpr double kUncountedFollowers = -1.2;
// How much one unit of reading cost weighs against the word model's
// natural logarithms.
constexpr double kCostWeight = 2.3;
// The most words of one plain form, and of one typed word, weighed.
constexpr std::size_t kMostPerForm = 4;
constexpr std::size_t kMostChoices = 8;
// A letter typed alone is read at most this dearly: i as η or οι, not y as η.
constexpr float kLetterAlone = 0.65F;
// How much likelier a question word is at the head of a question.
constexpr double kQuestionBonus = 6.0;
// How many words' worth of the average weighs against a word's own count
// of standing at a phrase's edge.
constexpr double kEdgePrior = 10.0;
// The word pairs already tell much of what the edges do: they count half.
constexpr double kEdgeWeight = 0.5;
// A choice this much less likely alone than the best is not weighed.
constexpr double kWidestMargin = 9.0;
// Words longer than this are not followed, nor kept in the cache.
constexpr std::size_t kLongestWord = 48;
// Readings this cheap are the letters as typed: an English word stays in
// Latin letters unless a Greek word reads from it so (to, me, auto, paw).
constexpr float kAsTyped = 0.5F;
// A word counted this often is in use: a capitalised English word that
// reads as one (To, Mia) is Greek; one seen a few times (άλτ) does not make
// Alt Greek.
constexpr std::uint32_t kInUse = 10;
// A word this common (its log share of running words) reads from an
// English word at this cost.
constexpr double kCommonWord = -7.6;
constexpr float kCommonAsTyped = 1.0F;
// A Greek word rarer than this (its log share of running words, about one
// in 300,000) does not make an English word Greek, however it reads: the,
// nice, game stay (θε, νίψε, γάμε are rare); to, me, den, tis are Greek.
constexpr double kRareWord = -12.6;
// Capitals read as Greek ones when a word reads from them this easily
// (KALIMERA); otherwise they are an acronym (LVM, BASIC).
constexpr float kCapitalsAsGreek = 0.6F;
// Phrases longer than this many words are weighed in parts.
constexpr std::size_t kLongestPhrase = 256;
// A piece with no place to cut is read whole past this length.
constexpr std::size_t kLongestHeld = std::size_t{1} << 16;
// Words remembered by one reader before it starts afresh.
constexpr std::size_t kMostRemembered = std::size_t{1} << 16;

}  // namespace

// ---------------------------------------------------------------------------

// One choice for a typed word: a word of the model, how unlikely the
// reading that gives it, and its score alone (the word's log likelihood
// less the reading's cost).
struct Choice {
    std::uint32_t word;
    float cost;
    double score;
    std::uint32_t ending;  // the word's ending, for the counts
};

// What a typed word (in small letters) may be.
struct WordReading {
    std::vector<Choice> choices;  // best first; empty for an unknown word
    std::u16string fixed;         // an unknown word spelled by its ending, a chat word
    std::u16string converted;     // an unknown word's letters, small
    bool chat = false;            // a chat abbreviation, written out
    bool in_english = false;      // in the English word list
    bool exact = false;           // a Greek word in use reads from its very letters
    bool english = false;         // and reads as no Greek word as typed
    bool mended = false;          // read only with a slip of typing, or as two words
};

std::uint64_t HashOf(std::u16string_view key) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char16_t c : key) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return hash ^ (hash >> 29);
}

// The readings of the typed words met so far, by their small letters:
// most words of a text are met again and again.
class ReadingCache {
  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    std::uint32_t Find(std::u16string_view key, std::uint64_t hash) const {
        if (slots_.empty()) {
            return kNone;
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint32_t slot = slots_[at];
            if (slot == 0) {
                return kNone;
            }
            const Entry& entry = entries_[slot - 1];
            if (entry.hash == hash && KeyOf(entry) == key) {
                return slot - 1;
            }
        }
    }
    std::uint32_t Add(std::u16string_view key, std::uint64_t hash, WordReading reading) {
        if (2 * (entries_.size() + 1) > slots_.size()) {
            Grow();
        }
        entries_.push_back({keys_.size(), key.size(), hash, std::move(reading)});
        keys_.append(key);
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (slots_[at] != 0) {
            at = (at + 1) & mask;
        }
        slots_[at] = static_cast<std::uint32_t>(entries_.size());
        return static_cast<std::uint32_t>(entries_.size() - 1);
    }
    const WordReading& At(std::uint32_t index) const { return entries_[index].reading; }
    std::size_t size() const { return entries_.size(); }
    // Changes whenever Clear makes the numbers given out void.
    std::uint64_t generation() const { return generation_; }
    void Clear() {
        ++generation_;
        entries_.clear();
        keys_.clear();
        std::fill(slots_.begin(), slots_.end(), 0);
    }

  private:
    struct Entry {
        std::size_t key_offset;
        std::size_t key_length;
        std::uint64_t hash;
        WordReading reading;
    };
    std::u16string_view KeyOf(const Entry& entry) const {
        return std::u16string_view(keys_).substr(entry.key_offset, entry.key_length);
    }
    void Grow() {
        slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t number = 0; number < entries_.size(); ++number) {
            std::size_t at = entries_[number].hash & mask;
            while (slots_[at] != 0) {
                at = (at + 1) & mask;
            }
            slots_[at] = number + 1;
        }
    }

    std::vector<Entry> entries_;
    std::u16string keys_;
    std::vector<std::uint32_t> slots_;
    std::uint64_t generation_ = 0;
};

class ReadingStream::Reader {
  public:
    Reader(const GreekSpeller& speller, Source source, bool chat)
        : model_(speller.Model()),
          source_(source),
          chat_(chat),
          running_words_(static_cast<double>(model_.RunningWords()) +
                         static_cast<double>(model_.EverydayTotal()) + 1.0) {}

    // The readings of a typed word, from the cache when it was met before;
    // good until the end of the phrase.
    // A word that stands alone (`alone`: blanks or sentence marks around
    // it, no apostrophe, dot or hyphen joining it to more) may be a chat
    // abbreviation; its readings are kept apart, under a key no typed word
    // has (kChatKey first).
    std::uint32_t Read(std::u16string_view typed, bool alone = false) {
        const bool chat = chat_ && alone && typed.size() <= kLongestAbbreviation;
        const std::size_t first = chat ? 1 : 0;
        lower_.resize(first + typed.size());
        if (chat) {
            lower_[0] = kChatKey;
        }
        std::transform(typed.begin(), typed.end(), lower_.begin() + first, ReadingLower);
        const std::size_t letters = lower_.size() - first;
        // Greek typed with accents of its own is read only as words that
        // keep them (ό alone is no ο): the small letters with the marks
        // follow the plain ones in the key.
        const bool marked = source_ == Source::Greek && HasMarks(typed);
        if (marked) {
            lower_.push_back(kMarksKey);
            std::transform(typed.begin(), typed.end(), std::back_inserter(lower_), GreekLower);
        }
        const std::uint64_t hash = HashOf(lower_);
        if (const std::uint32_t found = cache_.Find(lower_, hash); found != ReadingCache::kNone) {
            return found;
        }
        const std::u16string key = lower_;
        const std::u16string_view key_view(key);
        return cache_.Add(
            key, hash,
            Weigh(key_view.substr(first, letters),
                  marked ? key_view.substr(first + letters + 1) : std::u16string_view(), chat));
    }
    const WordReading& ReadingOf(std::u16string_view typed) { return cache_.At(Read(typed)); }

    // Whether a typed word reads as a Greek word from its very letters, or
    // as one in use with readings that cost no more than `most`: ELA is
    // έλα, KALIMERA καλημέρα, but EFI no rare έφη.
    bool ReadsAsGreek(std::u16string_view typed, float most) {
        const WordReading& reading = ReadingOf(typed);
        return std::any_of(reading.choices.begin(), reading.choices.end(), [&](const Choice& c) {
            const GreekModel::Word* word = model_.WordAt(c.word);
            return c.cost == 0 ||
                   (c.cost <= most && word != nullptr && model_.Frequency(*word) > 0);
        });
    }

    void Process(std::u16string_view text, bool final, std::u16string& out);

  private:
    // `marked`: the word in small letters with the accents typed, when
    // it was typed with some; `chat`: it may be a chat abbreviation.
    WordReading Weigh(std::u16string_view lower, std::u16string_view marked, bool chat);
    // Whether a typed word (small letters) is written out as a chat word or
    // as laughter.
    bool WrittenOut(std::u16string_view lower) const;
    // What sets a chat abbreviation's key apart, and the accents typed in
    // a word's key.
    static constexpr char16_t kChatKey = 1;
    static constexpr char16_t kMarksKey = 2;
    // Follows every reading of `word` from place `at` down the letter tree;
    // with `slip`, one slip of typing too (see FollowSlips).
    void Follow(const GreekModel::Node& node, std::u16string_view word, std::size_t at, float cost,
                bool slip = false);
    void FollowSlips(const GreekModel::Node& node, std::u16string_view word, std::size_t at,
                     float cost);
    // The readings of a word no reading places: with a run of one letter
    // collapsed, with a slip of typing, or as two words typed as one.
    void Mend(std::u16string_view lower, WordReading& reading);
    std::u16string Converted(std::u16string_view lower) const;
    std::u16string ByEnding(std::u16string_view plain) const;
    double WordScore(std::uint32_t word) const;
    double PairScore(std::uint32_t first, const Choice& second);
    double PairLikelihood(std::uint32_t first, const Choice& second) const;
    bool IsInterrogative(std::uint32_t word) const;
    bool OpensAQuestion(std::uint32_t word) const;
    double EdgeScore(std::uint32_t word, GreekModel::Beside beside, bool first);
    double EdgeLikelihood(std::uint32_t word, GreekModel::Beside beside, bool first) const;

    // The phrase being gathered: words with only blanks between them.
    struct PhraseWord {
        std::size_t begin;
        std::size_t end;
        std::uint32_t reading;
    };
    // Writes the phrase, and the blanks after it up to `upto`.
    void FlushPhrase(std::u16string_view text, std::size_t upto, bool final, std::u16string& out);
    // `reading` receives the word's readings when they were looked up;
    // `inside` says whether the word is inside a sentence, not its first.
    bool IsKeptLatin(std::u16string_view word, bool inside, std::uint32_t& reading);
    // Whether a word at `at` is the first of a sentence.
    bool StartsASentence(std::u16string_view text, std::size_t at) const;

    const GreekModel& model_;
    Source source_;
    bool chat_;
    double running_words_;  // of the counts and the everyday lists, plus one
    ReadingCache cache_;
    std::u16string lower_;
    std::vector<Choice> found_;  // Follow's findings
    std::vector<PhraseWord> phrase_;
    // FlushPhrase's workspace, kept from phrase to phrase.
    struct Cell {
        double score;
        std::uint32_t from;
    };
    std::vector<Cell> cells_;
    std::vector<std::size_t> first_cell_;
    std::vector<int> chosen_;
    std::vector<TextRange> written_;  // where each word of the phrase went in the output
    std::vector<std::uint8_t> stress_;
    struct PairMemo {
        std::uint64_t key = 0;  // first << 32 | second, plus one; 0 for none
        double likelihood = 0;
    };
    static constexpr int kPairMemoBits = 14;
    std::vector<PairMemo> pair_memo_ = std::vector<PairMemo>(std::size_t{1} << kPairMemoBits);
    static constexpr int kEdgeMemoBits = 12;
    std::vector<PairMemo> edge_memo_ = std::vector<PairMemo>(std::size_t{1} << kEdgeMemoBits);
    // The last character before the text, but for blanks: the start of
    // the text is a sentence's.
    char16_t before_text_ = u'\n';
    bool capital_starts_ = false;  // the last sentence typed began with a capital
    // The phrase was cut for its length: the flush is no phrase's end, and
    // the next phrase no phrase's start.
    bool phrase_goes_on_ = false;
    bool phrase_went_on_ = false;
};

void ReadingStream::Reader::Follow(const GreekModel::Node& node, std::u16string_view word,
                                   std::size_t at, float cost, bool slip) {
    if (at == word.size()) {
        const std::span<const GreekModel::Word> words = model_.WordsAt(node);
        // The enclitic forms (θάλασσά) are written by the rule, not chosen.
        const bool has_single_accent = std::any_of(
            words.begin(), words.end(),
            [&](const GreekModel::Word& w) { return AccentCount(model_.Letters(w)) <= 1; });
        std::size_t taken = 0;
        for (const GreekModel::Word& candidate : words) {
            if (taken == kMostPerForm) {
                break;
            }
            if (has_single_accent && AccentCount(model_.Letters(candidate)) > 1) {
                continue;
            }
            const std::uint32_t number = model_.NumberOf(candidate);
            const auto same = std::find_if(found_.begin(), found_.end(),
                                           [&](const Choice& c) { return c.word == number; });
            if (same == found_.end()) {
                found_.push_back({number, cost, 0, 0});
            } else {
                same->cost = std::min(same->cost, cost);
            }
            ++taken;
        }
        return;
    }
    // A letter alone is read only as people type it most (i as η, not y).
    const float most = word.size() == 1 ? kLetterAlone : kMostCost;
    const auto step = [&](const Reading& reading) {
        const float total = cost + reading.cost;
        if (total > most) {
            return;
        }
        const GreekModel::Node* here = &node;
        for (const char16_t letter : reading.greek) {
            here = model_.Child(*here, letter);
            if (here == nullptr) {
                return;
            }
        }
        Follow(*here, word, at + reading.length, total, slip);
        // The consonant typed once where Greek has two (not in a word of
        // one or two letters: μ is no μμ).
        if (reading.greek.size() == 1 && word.size() > 2 &&
            kDoubled.find(reading.greek[0]) != std::u16string::npos &&
            total + kDoubledCost <= kMostCost) {
            if (const GreekModel::Node* twice = model_.Child(*here, reading.greek[0])) {
                Follow(*twice, word, at + reading.length, total + kDoubledCost, slip);
            }
        }
    };
    ForEachReading(word, at, step);
    if (slip) {
        FollowSlips(node, word, at, cost);
    }
}

// One slip of typing at place `at`, then the rest read as typed: a letter
// typed twice or one too many (kalla, kalsa for καλά), one left out (kaa),
// one swapped for its neighbour on the keyboard (kalo for καλό typed kalp,
// v for n), or two neighbours swapped (klaa).
void ReadingStream::Reader::FollowSlips(const GreekModel::Node& node, std::u16string_view word,
                                        std::size_t at, float cost) {
    const float total = cost + kSlipCost;
    if (total > kMostCost) {
        return;
    }
    if (at < word.size()) {
        Follow(node, word, at + 1, total);  // a letter too many
    }
    // A letter left out: any letter of the tree here, typed or not.
    const std::span<const GreekModel::Node> children = model_.ChildrenOf(node);
    for (const GreekModel::Node& child : children) {
        Follow(child, word, at, total);
    }
    if (at >= word.size()) {
        return;
    }
    std::u16string changed(word);
    for (const char16_t neighbour : KeyboardNeighbours(word[at])) {
        changed[at] = neighbour;
        Follow(node, changed, at, total);
    }
    if (at + 1 < word.size() && word[at] != word[at + 1]) {
        changed[at] = word[at + 1];
        changed[at + 1] = word[at];
        Follow(node, changed, at, total);
    }
}

std::u16string ReadingStream::Reader::Converted(std::u16string_view typed) const {
    if (source_ == Source::Greek) {
        return std::u16string(typed);
    }
    GreekStream stream;
    std::u16string greek;
    stream.Convert(typed, greek);
    stream.Finish(greek);
    return greek;
}

// An unknown word spelled from the known word that ends most like it: the
// word as typed, with the known ending's accent and its η where an ι was
// typed (the commonest slip); other letters stay as typed, since a υ or ω
// there is a guess. Empty when no known ending of four letters or more,
// holding the accent, is shared.
std::u16string ReadingStream::Reader::ByEnding(std::u16string_view plain) const {
    constexpr std::size_t kShortestEnding = 4;
    if (plain.size() <= kShortestEnding ||
        !std::all_of(plain.begin(), plain.end(), IsGreekLetter)) {
        return {};
    }
    const auto [known, length] = model_.LongestEnding(plain);
    if (known == nullptr || length < kShortestEnding || length >= plain.size()) {
        return {};
    }
    const GreekModel::Spelling spelling = model_.Letters(*known);
    const std::u16string_view letters = spelling;
    const std::u16string_view ending = letters.substr(letters.size() - length);
    if (std::none_of(ending.begin(), ending.end(), IsAccented)) {
        return {};
    }
    static constexpr std::u16string_view kPlainVowels = u"αεηιουω";
    static constexpr std::u16string_view kAccentedVowels = u"άέήίόύώ";
    std::u16string spelled(plain);
    const std::size_t start = plain.size() - length;
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t typed = plain[start + i];
        const char16_t meant = ending[i];
        char16_t letter = PlainLetter(meant) == u'η' && typed == u'ι' ? u'η' : typed;
        if (IsAccented(meant)) {
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

// A word's log share of running words: of the technical counts and the
// everyday lists together, as one text.
double ReadingStream::Reader::WordScore(std::uint32_t number) const {
    const GreekModel::Word* word = model_.WordAt(number);
    const double count = word == nullptr ? 0
                                         : static_cast<double>(model_.Frequency(*word)) +
                                               model_.EverydayCount(number);
    return std::log((count + 0.1) / running_words_);
}

// The score of choice `second` after the word `first`: the log likelihood
// of the pair, from how often it was seen, less the reading's cost. A pair
// never seen backs off to the choice alone, weighed by how much of what
// follows `first` no counted pair accounts for: after a word that is
// nearly always followed by the same few (the article η), an unseen
// follower is unlikely; after one followed by anything (ή), less so.
bool ReadingStream::Reader::OpensAQuestion(std::uint32_t number) const {
    static constexpr std::u16string_view kOpening[] = {
        u"καλημέρα", u"καλησπέρα", u"γεια", u"ρε",   u"λοιπόν", u"και", u"ε",
        u"μα",       u"αλλά",      u"οκ",   u"φίλε", u"παιδιά", u"εσύ", u"εσείς",
    };
    const GreekModel::Word* word = model_.WordAt(number);
    return word != nullptr && std::find(std::begin(kOpening), std::end(kOpening),
                                        model_.Letters(*word)) != std::end(kOpening);
}

bool ReadingStream::Reader::IsInterrogative(std::uint32_t number) const {
    static constexpr std::u16string_view kQuestionWords[] = {
        u"τι",    u"πού",   u"πώς",   u"πότε",  u"πόσο",  u"πόση",   u"πόσα",  u"πόσοι",
        u"πόσες", u"ποιος", u"ποια",  u"ποιο",  u"ποιοι", u"ποιες",  u"ποιον", u"ποιους",
        u"ποιας", u"ποιου", u"ποιων", u"γιατί", u"μήπως", u"πόσους", u"πόσων",
    };
    const GreekModel::Word* word = model_.WordAt(number);
    if (word == nullptr) {
        return false;
    }
    const GreekModel::Spelling spelling = model_.Letters(*word);
    const std::u16string_view letters = spelling;
    return std::find(std::begin(kQuestionWords), std::end(kQuestionWords), letters) !=
           std::end(kQuestionWords);
}

// How much likelier than the average word `word` is to stand first (or
// last) in a phrase with `beside` there, as a log: the article η seldom
// stands between two numbers or two Latin words, ή often does. A word seen
// seldom counts as the average.
double ReadingStream::Reader::EdgeScore(std::uint32_t number, GreekModel::Beside beside,
                                        bool first) {
    const std::uint64_t key = (static_cast<std::uint64_t>(number) << 8 |
                               static_cast<std::uint64_t>(beside) << 1 | (first ? 1 : 0)) +
                              1;
    PairMemo& memo = edge_memo_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kEdgeMemoBits)];
    if (memo.key != key) {
        memo = {key, EdgeLikelihood(number, beside, first)};
    }
    return memo.likelihood;
}

double ReadingStream::Reader::EdgeLikelihood(std::uint32_t number, GreekModel::Beside beside,
                                             bool first) const {
    const GreekModel::Word* word = model_.WordAt(number);
    const double phrases = model_.PhraseEdgeTotal(beside, first);
    const double running = static_cast<double>(model_.RunningWords());
    if (word == nullptr || phrases <= 0 || running < phrases) {
        return 0;
    }
    const double average = phrases / running;
    const double count =
        std::min<double>(model_.PhraseEdgeCount(beside, first, number), model_.Frequency(*word));
    const double likelihood =
        (count + kEdgePrior * average) / (model_.Frequency(*word) + kEdgePrior);
    return kEdgeWeight * std::log(likelihood / average);
}

double ReadingStream::Reader::PairScore(std::uint32_t first, const Choice& second) {
    // Phrases repeat their pairs: the last answer for a pair is kept.
    const std::uint64_t key = (static_cast<std::uint64_t>(first) << 32 | second.word) + 1;
    PairMemo& memo = pair_memo_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kPairMemoBits)];
    if (memo.key != key) {
        memo = {key, PairLikelihood(first, second)};
    }
    return memo.likelihood - kCostWeight * second.cost;
}

// The log likelihood of word `second.word` after `first`, the part of the
// pair's score that is the same for every reading. A pair never seen backs
// off to what the words' endings tell: how often `first` goes with a word of
// the second's ending (της with -ης, τις with -ες), shared out among the
// words of that ending; and how often a word of the first's ending goes
// with the second, when the second is one of the commonest words (a noun in
// -ίνα before ή rather than η). Without either, to the second word alone,
// weighed by how much of what follows `first` no counted pair accounts
// for: after a word nearly always followed by the same few, an unseen
// follower is unlikely.
double ReadingStream::Reader::PairLikelihood(std::uint32_t first, const Choice& second) const {
    const double alone = second.score + kCostWeight * second.cost;
    const GreekModel::Word* word = model_.WordAt(first);
    if (word == nullptr || model_.Frequency(*word) == 0) {
        // A word only the everyday lists count has no pairs: what follows
        // it is as unknown as what follows a counted word in a pair never
        // seen, no likelier.
        return kBackOff + alone + (model_.EverydayCount(first) > 0 ? kUncountedFollowers : 0.0);
    }
    const std::uint32_t together = model_.PairCount(first, second.word);
    const double frequency = model_.Frequency(*word);
    if (together > 0 && model_.Frequency(*word) >= together) {
        return std::log(together / frequency);
    }
    double evidence = 0;
    int kinds = 0;
    const std::uint32_t with_ending = model_.EndingPairCount(first, second.ending);
    const std::uint32_t ending = model_.EndingCount(second.ending);
    if (with_ending > 0 && ending > 0 && model_.Frequency(*word) >= with_ending) {
        // The word's share of its ending, in the technical text and the
        // everyday lists together.
        const GreekModel::Word* next = model_.WordAt(second.word);
        const double share = (next == nullptr ? 0.0
                                              : static_cast<double>(model_.Frequency(*next)) +
                                                    model_.EverydayCount(second.word)) +
                             0.1;
        const double of_ending =
            static_cast<double>(ending) + model_.EverydayEndingCount(second.ending);
        evidence += std::log(with_ending / frequency) + std::log(share / of_ending);
        ++kinds;
    }
    const std::uint32_t first_ending = GreekModel::EndingOf(model_.Letters(*word));
    const std::uint32_t after_ending = model_.EndingWordCount(first_ending, second.word);
    const std::uint32_t of_ending = model_.EndingCount(first_ending);
    if (after_ending > 0 && of_ending >= after_ending) {
        evidence += std::log(static_cast<double>(after_ending) / of_ending);
        ++kinds;
    }
    // A pair is counted from three times on: one not counted was seen at
    // most twice, however likely its endings make it (η before να).
    const double most = std::log(kMostUncounted / frequency);
    if (kinds > 0) {
        return std::min(kBackOff + evidence / kinds, most);
    }
    const double unaccounted = std::max(
        1.0,
        frequency - static_cast<double>(std::min(model_.Followed(*word), model_.Frequency(*word))));
    return std::min(kBackOff + std::log(unaccounted / frequency) + alone, most);
}

bool ReadingStream::Reader::WrittenOut(std::u16string_view lower) const {
    if (!Laughter(lower).empty()) {
        return true;
    }
    if (!chat_ || lower.size() > kLongestAbbreviation) {
        return false;
    }
    return !ChatWord(PlainForm(Converted(lower))).empty();
}

WordReading ReadingStream::Reader::Weigh(std::u16string_view lower, std::u16string_view marked,
                                         bool chat) {
    WordReading reading;
    if (std::u16string laughter = Laughter(lower); !laughter.empty()) {
        reading.fixed = std::move(laughter);
        reading.chat = true;
        return reading;
    }
    reading.converted = Converted(lower);
    std::u16string plain = PlainForm(reading.converted);
    if (chat) {
        if (const std::u16string_view written = ChatWord(plain); !written.empty()) {
            reading.fixed = std::u16string(written);
            reading.chat = true;
            // The word itself, when the model has it, so that it goes with
            // the words around it and takes its enclitic's accent
            // (to systhma m: το σύστημά μου).
            std::u16string written_plain(written);
            std::transform(written_plain.begin(), written_plain.end(), written_plain.begin(),
                           PlainLetter);
            for (const GreekModel::Word& word : model_.WordsOf(written_plain)) {
                if (model_.Letters(word) == written) {
                    const std::uint32_t number = model_.NumberOf(word);
                    reading.choices.push_back(
                        {number, 0, WordScore(number), GreekModel::EndingOf(written)});
                    break;
                }
            }
            return reading;
        }
    }
    found_.clear();
    if (lower.size() <= kLongestWord && model_.Root() != nullptr) {
        Follow(*model_.Root(), lower, 0, 0);
        if (found_.empty() && source_ == Source::Latin) {
            Mend(lower, reading);
        }
    }
    if (!marked.empty()) {
        // The accent where the user put it: only words stressed there.
        const std::uint8_t stress = internal::StressRank(marked);
        std::erase_if(found_, [&](const Choice& choice) {
            const GreekModel::Word* word = model_.WordAt(choice.word);
            return word == nullptr || word->Stress() != stress;
        });
    }
    // Best first by the word alone; a phrase weighs the likeliest only.
    for (Choice& choice : found_) {
        choice.score = WordScore(choice.word) - kCostWeight * choice.cost;
        if (const GreekModel::Word* word = model_.WordAt(choice.word)) {
            choice.ending = GreekModel::EndingOf(model_.Letters(*word));
        }
    }
    std::sort(found_.begin(), found_.end(),
              [](const Choice& a, const Choice& b) { return a.score > b.score; });
    for (const Choice& choice : found_) {
        if (reading.choices.size() == kMostChoices ||
            choice.score < found_.front().score - kWidestMargin) {
            break;
        }
        reading.choices.push_back(choice);
    }
    if (source_ == Source::Latin && lower.size() >= 2 &&
        std::all_of(lower.begin(), lower.end(),
                    [](char16_t c) { return c >= u'a' && c <= u'z'; })) {
        std::string ascii(lower.begin(), lower.end());
        // English, unless a Greek word other than a name reads from it as
        // typed: "super", "Python" (Πύθων) stay; "to", "tin", "auto" do not.
        reading.in_english = model_.IsEnglish(ascii);
        reading.exact =
            std::any_of(reading.choices.begin(), reading.choices.end(), [&](const Choice& c) {
                const GreekModel::Word* word = model_.WordAt(c.word);
                return c.cost == 0 && word != nullptr &&
                       model_.Frequency(*word) + std::min(model_.EverydayCount(c.word), kInUse) >=
                           kInUse &&
                       (word->flags & GreekModel::kSmall) != 0;
            });
        // One of the commonest words reads from it a little more dearly:
        // "vs" is ως with ω typed as v.
        reading.english =
            reading.in_english &&
            std::none_of(reading.choices.begin(), reading.choices.end(), [&](const Choice& c) {
                const GreekModel::Word* word = model_.WordAt(c.word);
                const double share = WordScore(c.word);
                return word != nullptr && (word->flags & GreekModel::kSmall) != 0 &&
                       ((c.cost <= kAsTyped && share >= kRareWord) ||
                        (c.cost <= kCommonAsTyped && share >= kCommonWord));
            });
    }
    if (reading.choices.empty()) {
        // An unknown word: its likeliest letters rather than the plain
        // conversion's (u is υ more often than θ), with an accent when a
        // known ending lends one.
        if (source_ == Source::Latin &&
            std::all_of(lower.begin(), lower.end(), [](char16_t c) { return c < 0x80; })) {
            plain = PrimaryReading(lower);
            reading.converted = plain;
            if (!plain.empty() && plain.back() == u'σ') {
                reading.converted.back() = u'ς';
            }
        }
        if (reading.fixed.empty() && marked.empty()) {
            reading.fixed = ByEnding(plain);
        }
    }
    return reading;
}

void ReadingStream::Reader::Mend(std::u16string_view lower, WordReading& reading) {
    constexpr std::size_t kLongestMended = 14;
    if (lower.size() > kLongestMended ||
        !std::all_of(lower.begin(), lower.end(), [](char16_t c) { return c < 0x80; })) {
        return;
    }
    const GreekModel::Node& root = *model_.Root();
    // Emphasis: a run of three or more of one letter is the letter once
    // (naiiii, poliiii, kalaaa); the word is written without it.
    std::u16string collapsed;
    for (std::size_t i = 0; i < lower.size();) {
        std::size_t run = i + 1;
        while (run < lower.size() && lower[run] == lower[i]) {
            ++run;
        }
        collapsed.append(run - i >= 3 ? 1 : run - i, lower[i]);
        i = run;
    }
    const bool emphasis = collapsed.size() < lower.size() && collapsed.size() >= 2;
    if (emphasis) {
        Follow(root, collapsed, 0, kEmphasisCost);
    }
    const std::u16string_view word = emphasis ? std::u16string_view(collapsed) : lower;
    if (found_.empty() && word.size() >= kShortestSlipped) {
        Follow(root, word, 0, emphasis ? kEmphasisCost : 0, true);
        // Only to a word in use; rarer words are as likely another slip.
        std::erase_if(found_, [&](const Choice& c) { return WordScore(c.word) < kSlipWord; });
    }
    if (!found_.empty()) {
        reading.mended = true;
        return;
    }
    // Two words typed as one (denxerw): each common, read as typed.
    if (word.size() < kShortestSplit) {
        return;
    }
    double best_score = -1e300;
    std::u16string best;
    for (std::size_t cut = 2; cut + 2 <= word.size(); ++cut) {
        std::uint32_t halves[2] = {0, 0};
        double score = 0;
        bool both = true;
        for (int half = 0; half < 2 && both; ++half) {
            found_.clear();
            Follow(root, half == 0 ? word.substr(0, cut) : word.substr(cut), 0, 0);
            double half_best = -1e300;
            for (const Choice& c : found_) {
                const double alone = WordScore(c.word);
                const double value = alone - kCostWeight * c.cost;
                const GreekModel::Word* known = model_.WordAt(c.word);
                if (alone >= kSplitWord && value > half_best && known != nullptr &&
                    (known->flags & GreekModel::kSmall) != 0) {
                    half_best = value;
                    halves[half] = c.word;
                }
            }
            both = half_best > -1e299;
            score += half_best;
        }
        // The two go together in the counts, or each is among the
        // commonest words.
        const bool together =
            both &&
            (model_.PairCount(halves[0], halves[1]) > 0 ||
             (WordScore(halves[0]) >= kVeryCommonWord && WordScore(halves[1]) >= kVeryCommonWord));
        if (together && score > best_score) {
            best_score = score;
            best.assign(model_.Letters(*model_.WordAt(halves[0])));
            best += u' ';
            best.append(model_.Letters(*model_.WordAt(halves[1])));
        }
    }
    found_.clear();
    if (!best.empty()) {
        reading.fixed = std::move(best);
        reading.mended = true;
    }
}

namespace {

std::u16string SmallOf(std::u16string_view word) {
    std::u16string small(word);
    std::transform(small.begin(), small.end(), small.begin(), ReadingLower);
    return small;
}

// Whether the word at [begin, end) of `text` stands alone, as a chat
// abbreviation does: blanks, an opening mark or the text's start before
// it; blanks, a closing mark or a sentence's end after it. Not in μ'αρέσει,
// π.χ., a-b, 5m.
bool StandsAlone(std::u16string_view text, std::size_t begin, std::size_t end) {
    const bool open_before = begin == 0 || IsBlankOrBreak(text[begin - 1]) ||
                             u"([{\"«"sv.find(text[begin - 1]) != std::u16string_view::npos;
    if (!open_before) {
        return false;
    }
    if (end == text.size() || IsBlankOrBreak(text[end]) ||
        u",;!?)]}\"»"sv.find(text[end]) != std::u16string_view::npos) {
        return true;
    }
    // A full stop or colon ends it when a blank or the end follows.
    return (text[end] == u'.' || text[end] == u':') &&
           (end + 1 == text.size() || IsBlankOrBreak(text[end + 1]) || text[end + 1] == u'.');
}

bool IsLatinOrDigit(char16_t c) {
    return IsLatinLetter(c) || (c >= u'0' && c <= u'9');
}

// A name of a file or a host: sources.list, preseed.cfg, debian.org; the
// end after the last dot is one that files and hosts have.
bool IsFileOrHostName(std::u16string_view word) {
    static constexpr std::u16string_view kEnds[] = {
        u"com",  u"org", u"net",  u"edu",  u"gov", u"gr",   u"eu",  u"de",   u"uk",  u"io",
        u"info", u"py",  u"sh",   u"txt",  u"cfg", u"conf", u"ini", u"list", u"log", u"html",
        u"htm",  u"xml", u"json", u"deb",  u"iso", u"img",  u"gz",  u"xz",   u"bz2", u"zip",
        u"tar",  u"png", u"jpg",  u"jpeg", u"gif", u"svg",  u"pdf", u"odt",  u"ods", u"doc",
        u"docx", u"xls", u"xlsx", u"cpp",  u"js",  u"css",  u"so",  u"exe",  u"mo",  u"po"};
    const std::size_t dot = word.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == word.size()) {
        return false;
    }
    const bool plain_name = std::all_of(word.begin(), word.end(), [](char16_t c) {
        return IsLatinOrDigit(c) || c == u'.' || c == u'_' || c == u'-' || c == u'+';
    });
    std::u16string end(word.substr(dot + 1));
    std::transform(end.begin(), end.end(), end.begin(), ReadingLower);
    return plain_name && std::find(std::begin(kEnds), std::end(kEnds), end) != std::end(kEnds);
}

// A path: /dev/sda1, ~/.config, ./configure.
bool IsPath(std::u16string_view word) {
    for (const std::u16string_view start : {u"/"sv, u"~/"sv, u"./"sv, u"../"sv}) {
        if (word.size() > start.size() && word.substr(0, start.size()) == start &&
            (IsLatinOrDigit(word[start.size()]) || word[start.size()] == u'.')) {
            return true;
        }
    }
    return false;
}

// A web or e-mail address: http://…, www.…, someone@somewhere.gr; a path,
// a name of a file or a host.
bool IsWebOrMailAddress(std::u16string_view word) {
    if (IsPath(word) || IsFileOrHostName(word)) {
        return true;
    }
    const auto starts = [&](std::u16string_view prefix) {
        if (word.size() < prefix.size()) {
            return false;
        }
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            if (ReadingLower(word[i]) != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    if (word.find(u"://"sv) != std::u16string_view::npos || starts(u"www.")) {
        return true;
    }
    const std::size_t at = word.find(u'@');
    return at != std::u16string_view::npos && at > 0 &&
           word.find(u'.', at + 2) != std::u16string_view::npos && word.back() != u'.';
}

}  // namespace

// Capitals and digits in Latin letters (LVM, USB2) that read as no Greek
// word; KALIMERA and ELA are Greek in capitals. Web and e-mail addresses.
// English words (from Debian's English word list) that read as no Greek
// word as typed: "super", "and", but not "to", "me", "auto".
bool ReadingStream::Reader::IsKeptLatin(std::u16string_view word, bool inside,
                                        std::uint32_t& reading) {
    // A name in Latin letters (ScriptForge, LibreOffice): a capital after a
    // small letter; or letters and digits that are no Greek reading (A1,
    // Sheet2, x86; 3 and 8 may be ξ and θ).
    std::size_t capitals = 0;
    std::size_t digits = 0;
    bool other_digits = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = word[i];
        if (c >= u'A' && c <= u'Z') {
            ++capitals;
            if (i > 0 && word[i - 1] >= u'a' && word[i - 1] <= u'z') {
                return true;
            }
        } else if (c >= u'0' && c <= u'9') {
            ++digits;
            other_digits |= c != u'3' && c != u'8';
        } else if ((c == u'+' || c == u'=') && i > 0 && i + 1 < word.size() &&
                   IsLatinOrDigit(word[i - 1]) && IsLatinOrDigit(word[i + 1])) {
            // Keys pressed together, a sum of cells, a setting: Ctrl+Alt,
            // A1+B2, vga=normal.
            return true;
        } else if (c == u'-' && i > 0 && i + 1 < word.size()) {
            // Words joined by hyphens stay when each stays alone: apt-get,
            // task-greek-desktop; but leksh-kleidi is λέξη-κλειδί.
            std::uint32_t ignored = ReadingCache::kNone;
            for (std::size_t start = 0; start <= word.size();) {
                const std::size_t stop = std::min(word.find(u'-', start), word.size());
                const std::u16string_view part = word.substr(start, stop - start);
                if (part.empty() || !IsKeptLatin(part, inside, ignored)) {
                    return false;
                }
                start = stop + 1;
            }
            return true;
        } else if (!IsLatinLetter(c)) {
            return IsWebOrMailAddress(word);
        }
    }
    if (digits > 0 && digits < word.size()) {
        // USB2, A1; but E3odos is Έξοδος.
        const bool capitals_then_digits =
            capitals > 0 && word.find_first_of(u"0123456789"sv) == capitals &&
            word.find_first_not_of(u"0123456789"sv, capitals) == std::u16string_view::npos;
        // A Greek word with a number after it (Fyllo2, Stili10): its letters
        // are read, the number stays. Sheet2 is English; 3 and 8 would be
        // read as letters.
        const std::size_t first_digit = word.find_first_of(u"0123456789"sv);
        const bool numbered =
            first_digit >= 3 &&
            word.find_first_not_of(u"0123456789"sv, first_digit) == std::u16string_view::npos &&
            word.find_first_of(u"38"sv, first_digit) == std::u16string_view::npos &&
            capitals <= 1 && (capitals == 0 || IsUpper(word.front()));
        if (numbered) {
            const WordReading& letters = cache_.At(Read(word.substr(0, first_digit)));
            if (!letters.choices.empty() && !letters.english) {
                return false;
            }
        }
        if (other_digits || capitals_then_digits) {
            return true;
        }
    }
    if (capitals + digits == word.size()) {
        // One capital (a one-letter word) is no acronym; KALIMERA is Greek.
        // 3 and 8 among capitals may be ξ and θ: 3ERW is ΞΕΡΩ.
        return capitals >= 2 && (other_digits || (!ReadsAsGreek(word, kCapitalsAsGreek) &&
                                                  !WrittenOut(SmallOf(word))));
    }
    if (digits > 0 || word.size() < 2) {
        return false;
    }
    if (WrittenOut(SmallOf(word))) {
        return false;  // Tpt, Xaxa
    }
    reading = Read(word);
    // A capital inside a sentence makes a name or a term: kept when it is
    // an English word (Base, Title), unless a Greek word in use reads from
    // its very letters (To, Mia), and when it reads as no Greek word at all
    // and no known ending lends it an accent (Calc; but Diamantidis).
    const WordReading& read = cache_.At(reading);
    const bool name = inside && capitals == 1 && IsUpper(word.front());
    return read.english || (name && read.in_english && !read.exact) ||
           (name && ((read.choices.empty() && read.fixed.empty()) || read.mended));
}

void ReadingStream::Reader::FlushPhrase(std::u16string_view text, std::size_t upto, bool final,
                                        std::u16string& out) {
    if (phrase_.empty()) {
        return;
    }
    // The likeliest words for the phrase, left to right (Viterbi): for each
    // word's choice, the best score of a phrase ending in it and where from.
    const std::size_t count = phrase_.size();
    // A phrase that a question mark ends starts, as a rule, with a question
    // word: τι, πού, πώς rather than τη, που, πως.
    std::size_t after = phrase_.back().end;
    while (after < text.size() && (text[after] == u' ' || text[after] == u'\t')) {
        ++after;
    }
    const bool question = after < text.size() && (text[after] == u'?' || text[after] == u';');
    // What stands before and after the phrase; one cut for its length has
    // no edge there.
    const bool starts = !phrase_went_on_;
    const bool ends = !phrase_goes_on_;
    phrase_went_on_ = phrase_goes_on_;
    phrase_goes_on_ = false;
    std::size_t before_at = phrase_.front().begin;
    while (before_at > 0 && (text[before_at - 1] == u' ' || text[before_at - 1] == u'\t')) {
        --before_at;
    }
    const GreekModel::Beside before_phrase =
        BesideOf(before_at == 0 ? before_text_ : text[before_at - 1]);
    const GreekModel::Beside after_phrase = BesideOf(after < text.size() ? text[after] : u'\n');
    first_cell_.resize(count + 1);
    cells_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        first_cell_[i] = cells_.size();
        const std::vector<Choice>& choices = cache_.At(phrase_[i].reading).choices;
        const std::vector<Choice>* before =
            i > 0 ? &cache_.At(phrase_[i - 1].reading).choices : nullptr;
        for (const Choice& choice : choices) {
            const double last =
                i + 1 == count && ends ? EdgeScore(choice.word, after_phrase, false) : 0;
            if (before == nullptr || before->empty()) {
                const double asking =
                    i == 0 && question && IsInterrogative(choice.word) ? kQuestionBonus : 0;
                const double first =
                    i == 0 && starts ? EdgeScore(choice.word, before_phrase, true) : 0;
                cells_.push_back({choice.score + asking + first + last, 0});
                continue;
            }
            Cell best{-1e300, 0};
            for (std::size_t p = 0; p < before->size(); ++p) {
                // A greeting or a word that opens a question may stand
                // before its question word: καλημέρα, πώς είσαι;
                const double asking = i == 1 && question && IsInterrogative(choice.word) &&
                                              OpensAQuestion((*before)[p].word)
                                          ? kQuestionBonus
                                          : 0;
                const double score = cells_[first_cell_[i - 1] + p].score +
                                     PairScore((*before)[p].word, choice) + asking;
                if (score > best.score) {
                    best = {score, static_cast<std::uint32_t>(p)};
                }
            }
            best.score += last;
            cells_.push_back(best);
        }
    }
    first_cell_[count] = cells_.size();
    chosen_.assign(count, -1);
    for (std::size_t i = count; i-- > 0;) {
        const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(first_cell_[i]);
        const auto end = cells_.begin() + static_cast<std::ptrdiff_t>(first_cell_[i + 1]);
        if (begin == end) {
            continue;
        }
        if (i + 1 == count || chosen_[i + 1] < 0) {
            chosen_[i] = static_cast<int>(
                std::max_element(begin, end,
                                 [](const Cell& a, const Cell& b) { return a.score < b.score; }) -
                begin);
        } else {
            chosen_[i] = static_cast<int>(
                cells_[first_cell_[i + 1] + static_cast<std::size_t>(chosen_[i + 1])].from);
        }
    }
    // The words as written, between the blanks as typed, then their
    // second accents.
    stress_.assign(count, 3);
    written_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out.append(text.substr(phrase_[i - 1].end, phrase_[i].begin - phrase_[i - 1].end));
        }
        const std::u16string_view typed =
            text.substr(phrase_[i].begin, phrase_[i].end - phrase_[i].begin);
        const WordReading& reading = cache_.At(phrase_[i].reading);
        const std::size_t begin = out.size();
        if (chosen_[i] >= 0) {
            const GreekModel::Word* known =
                model_.WordAt(reading.choices[static_cast<std::size_t>(chosen_[i])].word);
            AppendWithCaseOf(typed, model_.Letters(*known), out);
            stress_[i] = known->Stress();
            // A word the dictionary knows only with a capital (a name)
            // takes it, however it was typed.
            if ((known->flags & GreekModel::kSmall) == 0 && out.size() > begin) {
                out[begin] = GreekUpper(out[begin]);
            }
        } else if (!reading.fixed.empty()) {
            AppendWithCaseOf(typed, reading.fixed, out);
            stress_[i] = internal::StressRank(reading.fixed);
        } else if (source_ == Source::Greek) {
            out.append(typed);  // a word that cannot be placed stays exactly as typed
        } else {
            AppendWithCaseOf(typed, reading.converted, out);
        }
        written_[i] = {begin, out.size()};
        // A word typed with a digit first (8a) has no case of its own: at
        // the start of a sentence it takes a capital if the sentence before
        // began with one.
        if (i == 0 && !typed.empty() && out.size() > begin &&
            StartsASentence(text, phrase_[i].begin)) {
            if (typed.front() < u'A') {
                if (capital_starts_) {
                    out[begin] = GreekUpper(out[begin]);
                }
            } else {
                capital_starts_ = IsUpper(typed.front());
            }
        }
    }
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (stress_[i] != 2 || phrase_[i + 1].begin != phrase_[i].end + 1 ||
            written_[i + 1].end - written_[i + 1].begin > 4) {  // the enclitics are short
            continue;
        }
        lower_.assign(out, written_[i + 1].begin, written_[i + 1].end - written_[i + 1].begin);
        std::transform(lower_.begin(), lower_.end(), lower_.begin(), GreekLower);
        const Enclitic enclitic = EncliticOf(lower_);
        const std::size_t after = phrase_[i + 1].end;
        const bool at_end = after == text.size() ? final : EndsAPhrase(text[after]);
        if (enclitic == Enclitic::Always || (enclitic == Enclitic::AtPhraseEnd && at_end)) {
            AccentLastSyllable(out, written_[i].begin, written_[i].end);
        }
    }
    out.append(text.substr(phrase_.back().end, upto - phrase_.back().end));
    phrase_.clear();
    if (cache_.size() >= kMostRemembered) {
        cache_.Clear();
    }
}

void ReadingStream::Reader::Process(std::u16string_view text, bool final, std::u16string& out) {
    const bool latin = source_ == Source::Latin;
    const auto is_space = IsBlankOrBreak;
    const auto is_letter = [&](char16_t c) {
        return IsGreekLetter(c) || (latin && IsLatinLetter(c));
    };
    const auto word_character = [&](char16_t c) {
        return is_letter(c) || (latin && (c == u'3' || c == u'8'));
    };
    bool asking = false;             // a "?" after a Greek word has begun: "??" gives ";;"
    bool after_word = false;         // the last thing written was a word read as Greek
    std::size_t kept_until = 0;      // a Latin word kept as typed ends here
    std::size_t verbatim_after = 0;  // no group between asterisks opens here
    PhraseWord known{0, 0, ReadingCache::kNone};  // a word whose readings were looked up
    std::uint64_t known_generation = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        // A word kept as typed: judged on the whole blank-delimited word,
        // without the punctuation around it.
        if (latin && i >= kept_until && !is_space(c) && (i == 0 || is_space(text[i - 1]))) {
            std::size_t stop = i;
            while (stop < text.size() && !is_space(text[stop])) {
                ++stop;
            }
            std::u16string_view word = text.substr(i, stop - i);
            const std::size_t lead = std::min(word.find_first_not_of(u"([{\"'«"sv), word.size());
            word.remove_prefix(lead);
            while (!word.empty() &&
                   u".,;:!?)]}\"'»"sv.find(word.back()) != std::u16string_view::npos) {
                word.remove_suffix(1);
            }
            kept_until = stop;
            std::uint32_t reading = ReadingCache::kNone;
            const bool kept =
                !word.empty() && IsKeptLatin(word, !StartsASentence(text, i), reading);
            if (reading != ReadingCache::kNone) {
                known = {i + lead, i + lead + word.size(), reading};
                known_generation = cache_.generation();
            }
            if (kept) {
                FlushPhrase(text, i, final, out);
                out.append(text.substr(i, lead));
                out.append(word);
                i += lead + word.size();
                after_word = false;
                asking = false;
                continue;
            }
        }
        // Greek words glued by a comma (ό,τι) are one, kept as typed: read
        // apart, each would be a different word. Typed without its accent,
        // ο,τι is still ό,τι.
        if (!latin && i >= kept_until && IsGreekLetter(c) && (i == 0 || is_space(text[i - 1]))) {
            std::size_t stop = i;
            while (stop < text.size() &&
                   (IsGreekLetter(text[stop]) || (text[stop] == u',' && stop + 1 < text.size() &&
                                                  IsGreekLetter(text[stop + 1]) && stop > i))) {
                ++stop;
            }
            kept_until = stop;
            const std::u16string_view glued = text.substr(i, stop - i);
            if (glued.find(u',') != std::u16string_view::npos) {
                FlushPhrase(text, i, final, out);
                std::u16string plain(glued);
                std::transform(plain.begin(), plain.end(), plain.begin(), ReadingLower);
                if (plain == u"ο,τι") {
                    AppendWithCaseOf(glued, u"ό,τι", out);
                } else {
                    out.append(glued);
                }
                i = stop;
                after_word = true;
                asking = false;
                continue;
            }
        }
        if (latin && c == u'*' && i >= verbatim_after) {
            // A group between asterisks stays as it is, without them.
            const std::u16string_view after = text.substr(i + 1);
            const std::size_t closing = after.substr(0, internal::kVerbatimMax + 1).find(u'*');
            if (closing != std::u16string_view::npos && closing >= internal::kVerbatimMin) {
                FlushPhrase(text, i, final, out);
                out.append(after.substr(0, closing));
                i += closing + 2;
                verbatim_after = i + 1;
                kept_until = std::max(kept_until, i);
                after_word = false;
                asking = false;
                continue;
            }
        }
        if (is_letter(c) || (word_character(c) && i + 1 < text.size() && is_letter(text[i + 1]))) {
            std::size_t end = i + 1;
            while (end < text.size() && word_character(text[end])) {
                ++end;
            }
            // A phrase goes on over blanks only, and only so long.
            const bool only_blanks =
                !phrase_.empty() &&
                text.substr(phrase_.back().end, i - phrase_.back().end)
                        .find_first_not_of(u" \t"sv) == std::u16string_view::npos;
            if (!only_blanks || phrase_.size() >= kLongestPhrase) {
                phrase_goes_on_ = only_blanks;  // cut for its length only
                FlushPhrase(text, i, final, out);
            }
            const bool alone = chat_ && StandsAlone(text, i, end);
            const bool met = !alone && known.begin == i && known.end == end &&
                             known_generation == cache_.generation();
            phrase_.push_back({i, end, met ? known.reading : Read(text.substr(i, end - i), alone)});
            i = end;
            after_word = true;
            asking = false;
            continue;
        }
        // Anything else ends the phrase unless it is a blank.
        if (c != u' ' && c != u'\t') {
            FlushPhrase(text, i, final, out);
        }
        if (phrase_.empty()) {
            const bool question = c == u'?' && (after_word || asking);
            asking = question;
            out.push_back(question ? u';' : (latin && c < 0x80 ? internal::kLetterStep[c] : c));
        } else {
            asking = false;
        }
        after_word = false;
        ++i;
    }
    FlushPhrase(text, text.size(), final, out);
    for (std::size_t i = text.size(); i-- > 0;) {
        if (!is_space(text[i]) || text[i] == u'\n') {
            before_text_ = text[i];
            break;
        }
    }
}

bool ReadingStream::Reader::StartsASentence(std::u16string_view text, std::size_t at) const {
    while (at > 0 && (text[at - 1] == u' ' || text[at - 1] == u'\t')) {
        --at;
    }
    const char16_t before = at == 0 ? before_text_ : text[at - 1];
    return u".!?;\n"sv.find(before) != std::u16string_view::npos;
}

// ---------------------------------------------------------------------------

ReadingStream::ReadingStream(const GreekSpeller& speller, Source source, bool chat)
    : reader_(std::make_unique<Reader>(speller, source, chat)) {}
ReadingStream::~ReadingStream() = default;
ReadingStream::ReadingStream(ReadingStream&&) noexcept = default;

void ReadingStream::Read(std::u16string_view piece, std::u16string& out) {
    held_.append(piece);
    // Cut after a line break, or after a blank that follows punctuation: no
    // phrase, no word kept as typed and no enclitic reaches across. No group
    // between asterisks may be open there either.
    const auto is_space = IsBlankOrBreak;
    const auto word_character = [](char16_t c) {
        return IsGreekLetter(c) || IsLatinLetter(c) || (c >= u'0' && c <= u'9');
    };
    std::size_t cut = 0;
    std::size_t after_group = 0;  // no group opens here: the character after one
    for (std::size_t i = 0; i < held_.size(); ++i) {
        if (held_[i] == u'*' && i != after_group) {
            const std::u16string_view after = std::u16string_view(held_).substr(i + 1);
            const std::size_t closing = after.substr(0, internal::kVerbatimMax + 1).find(u'*');
            if (closing == std::u16string_view::npos && after.size() <= internal::kVerbatimMax) {
                break;  // a group may close in the next piece
            }
            if (closing != std::u16string_view::npos && closing >= internal::kVerbatimMin) {
                i += closing + 1;  // the closing asterisk
                after_group = i + 1;
                continue;
            }
        }
        const char16_t last = held_[i];
        if (last == u'\n' || (is_space(last) && i >= 1 && !is_space(held_[i - 1]) &&
                              !word_character(held_[i - 1]))) {
            cut = i + 1;
        }
    }
    if (cut == 0 && held_.size() > kLongestHeld) {
        cut = held_.size();
    }
    if (cut == 0) {
        return;
    }
    reader_->Process(std::u16string_view(held_).substr(0, cut), false, out);
    held_.erase(0, cut);
}

void ReadingStream::Finish(std::u16string& out) {
    reader_->Process(held_, true, out);
    held_.clear();
}

// ---------------------------------------------------------------------------

GreekSpeller::GreekSpeller(std::unique_ptr<GreekModel> model) : model_(std::move(model)) {}

std::unique_ptr<GreekSpeller> GreekSpeller::FromModelBytes(std::span<const std::byte> bytes,
                                                           std::shared_ptr<const void> owner,
                                                           Problem* problem) {
    GreekModel::Problem why = GreekModel::Problem::None;
    std::unique_ptr<GreekModel> model = GreekModel::FromBytes(bytes, std::move(owner), &why);
    if (problem != nullptr) {
        *problem = why == GreekModel::Problem::None ? Problem::None : Problem::NotAModel;
    }
    if (model == nullptr) {
        return nullptr;
    }
    return std::make_unique<GreekSpeller>(std::move(model));
}

std::u16string GreekSpeller::Spell(std::u16string_view text) const {
    std::u16string out;
    out.reserve(text.size());
    ReadingStream stream(*this, ReadingStream::Source::Greek);
    stream.Read(text, out);
    stream.Finish(out);
    return out;
}

}  // namespace bivano
