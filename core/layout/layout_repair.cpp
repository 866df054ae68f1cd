// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/layout/layout_repair.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/encoding/text_codec.h"
#include "core/layout/greek_keyboard.h"
#include "core/layout/greek_letters.h"
#include "core/spelling/greek_model.h"

namespace bivano::layout {
namespace {

using letters::GreekLower;
using letters::IsGreekLetter;
using letters::IsGreekUpper;
using letters::PlainLetter;

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsAsciiUpper(char16_t c) {
    return c >= u'A' && c <= u'Z';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}
bool IsDeadKey(char16_t c) {
    return c == kAcuteKey || c == kDiaeresisKey;
}
// What may join the runs of an address: www.example.com, name@host, a/b.
bool IsJoiner(char16_t c) {
    switch (c) {
        case u'.':
        case u'@':
        case u'/':
        case u'-':
        case u'_':
        case u'\'':
        case u':':
        case u'~':
        case u'#':
        case u'=':
        case u'&':
        case u'%':
        case u'+':
            return true;
        default:
            return false;
    }
}

// Whether the dead keys at `at` give a letter with the key after them.
inline std::size_t DeadKeyLength(std::u16string_view line, std::size_t at) {
    std::size_t next = at + 1;
    bool acute = line[at] == kAcuteKey;
    bool diaeresis = !acute;
    if (next < line.size() && IsDeadKey(line[next]) && line[next] != line[at]) {
        acute = diaeresis = true;
        ++next;
    }
    if (next >= line.size()) {
        return 0;
    }
    const char16_t greek = GreekOfKey(line[next]);
    if (greek == 0 || WithDeadKeys(greek, acute, diaeresis) == 0) {
        return 0;
    }
    return next + 1 - at;
}

// A Greek letter for the letter pairs: small, without marks, ς apart; 26
// for any other character.
constexpr std::array<std::uint8_t, letters::kEnd - letters::kFirst> MakeGreekSymbols() {
    std::array<std::uint8_t, letters::kEnd - letters::kFirst> symbols{};
    for (std::size_t index = 0; index < symbols.size(); ++index) {
        const letters::Letter& letter = letters::kLetters[index];
        const char16_t plain = letter.lower == u'ς'
                                   ? letter.lower
                                   : letters::kLetters[letter.lower - letters::kFirst].plain;
        symbols[index] = !letter.greek || plain < u'α' || plain > u'ω'
                             ? 26
                             : static_cast<std::uint8_t>(plain - u'α' + 1);
    }
    return symbols;
}

constexpr std::array<std::uint8_t, letters::kEnd - letters::kFirst> kGreekSymbolOf =
    MakeGreekSymbols();

std::size_t GreekSymbol(char16_t c) {
    return c >= letters::kFirst && c < letters::kEnd ? kGreekSymbolOf[c - letters::kFirst] : 26;
}

std::size_t EnglishSymbol(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<std::size_t>(c - u'a') + 1;
    }
    if (c >= u'A' && c <= u'Z') {
        return static_cast<std::size_t>(c - u'A') + 1;
    }
    return 27;
}

template <std::size_t kSymbols, class Symbol>
double MeanPairs(const std::array<float, kSymbols * kSymbols>& table, std::u16string_view word,
                 Symbol symbol) {
    std::size_t previous = 0;
    double sum = 0;
    for (const char16_t c : word) {
        const std::size_t current = symbol(c);
        sum += table[previous * kSymbols + current];
        previous = current;
    }
    sum += table[previous * kSymbols];
    return sum / static_cast<double>(word.size() + 1);
}

// Counts to the logarithms of each letter's chances after the one before.
template <std::size_t kSymbols>
void ToLogarithms(const std::array<double, kSymbols * kSymbols>& counts,
                  std::array<float, kSymbols * kSymbols>& table) {
    for (std::size_t row = 0; row < kSymbols; ++row) {
        double total = 0;
        for (std::size_t column = 0; column < kSymbols; ++column) {
            total += counts[row * kSymbols + column];
        }
        for (std::size_t column = 0; column < kSymbols; ++column) {
            // Other characters: never seen, and less likely than any pair seen once.
            const bool other = row == kSymbols - 1 || column == kSymbols - 1;
            const double chance =
                other ? 1e-6 : (counts[row * kSymbols + column] + 0.1) / (total + 0.1 * kSymbols);
            table[row * kSymbols + column] = static_cast<float>(std::log(chance));
        }
    }
}

// Copies `text` to `write`: most pieces of a line are a word or a blank,
// shorter than what makes a call to memmove pay.
char16_t* CopyText(std::u16string_view text, char16_t* write) {
    if (text.size() > 16) {
        return std::copy(text.begin(), text.end(), write);
    }
    for (const char16_t c : text) {
        *write++ = c;
    }
    return write;
}

// The table of verdicts keeps a Greek letter in a byte, as its code less
// U+0300: no letter lies below U+0380.
constexpr bool NoGreekLetterBelow0380() {
    for (char16_t c = letters::kFirst; c < 0x380; ++c) {
        if (letters::kLetters[c - letters::kFirst].greek) {
            return false;
        }
    }
    return true;
}
static_assert(NoGreekLetterBelow0380());

// The two readings' scores must differ by this much for "plainly better".
constexpr double kPlainlyBetter = 1.0;
// How many runs away a weak run looks for a decided neighbour.
constexpr std::size_t kReach = 6;
// How many runs away a likely run looks for a rewritten one.
constexpr std::size_t kLikelyReach = 10;

}  // namespace

LetterPairs::LetterPairs(const GreekModel& model) {
    // The Greek words in use, by how often, from the counts the model was
    // made from: reading the whole model would touch all of its pages at
    // every start.
    std::array<double, kGreekSymbols * kGreekSymbols> greek{};
    model.ForEachCountedWord([&](std::u16string_view word, std::uint32_t count) {
        const double weight = 1.0 + std::log(1.0 + count);
        std::size_t previous = 0;
        for (const char16_t c : word) {
            const std::size_t current = GreekSymbol(c);
            greek[previous * kGreekSymbols + current] += weight;
            previous = current;
        }
        greek[previous * kGreekSymbols] += weight;
    });
    ToLogarithms<kGreekSymbols>(greek, greek_);

    // Counted whole, then as the table wants them.
    std::array<std::uint32_t, kEnglishSymbols * kEnglishSymbols> english_counts{};
    for (std::size_t index = 0; index < model.EnglishWordCount(); ++index) {
        std::size_t previous = 0;
        for (const char c : model.EnglishWord(index)) {
            const std::size_t current = EnglishSymbol(static_cast<unsigned char>(c));
            ++english_counts[previous * kEnglishSymbols + current];
            previous = current;
        }
        ++english_counts[previous * kEnglishSymbols];
    }
    std::array<double, kEnglishSymbols * kEnglishSymbols> english{};
    std::copy(english_counts.begin(), english_counts.end(), english.begin());
    ToLogarithms<kEnglishSymbols>(english, english_);
}

double LetterPairs::Greek(std::u16string_view word) const {
    return MeanPairs<kGreekSymbols>(greek_, word, GreekSymbol);
}

double LetterPairs::English(std::u16string_view word) const {
    return MeanPairs<kEnglishSymbols>(english_, word, EnglishSymbol);
}

class LayoutRepairer::Impl {
  public:
    explicit Impl(const GreekModel& model) : model_(model), pairs_(model) {}

    void RepairLine(std::u16string_view line, std::u16string& out) {
        if (!MayNeedRepair(line)) {
            out.append(line);
            return;
        }
        Split(line);
        if (runs_.empty()) {
            out.append(line);
            return;
        }
        // Only the runs that may be rewritten at all first: most lines have none.
        bool any_rewrite = false;
        for (Run& run : runs_) {
            if (MayBeRewritten(line, run)) {
                run.verdict = JudgeRun(line, run);
                any_rewrite = any_rewrite || run.verdict == Verdict::Rewrite;
            }
        }
        if (!any_rewrite) {
            out.append(line);  // the common case: nothing typed in the wrong layout
            return;
        }
        for (Run& run : runs_) {
            if (!MayBeRewritten(line, run)) {
                run.verdict = JudgeRun(line, run);
            }
        }
        Decide();
        // Written in place: no character becomes more than two.
        const std::size_t start = out.size();
        out.resize(start + 2 * line.size());
        char16_t* const first = out.data() + start;
        char16_t* write = first;
        std::size_t at = 0;
        bool after_rewritten_greek = false;
        for (const Run& run : runs_) {
            write = WriteGap(line.substr(at, run.begin - at),
                             after_rewritten_greek || (run.rewrite && run.greek), write);
            const std::u16string_view text = line.substr(run.begin, run.end - run.begin);
            after_rewritten_greek = run.rewrite && run.greek;
            if (!run.rewrite) {
                write = CopyText(text, write);
            } else if (run.greek) {
                write = WriteLatin(text, run.sigma_as_w, write);
                const std::u16string_view written(first, static_cast<std::size_t>(write - first));
                if (LostSchemeColon(line, run, written)) {
                    for (const char16_t c : std::u16string_view(u"://")) {
                        *write++ = c;
                    }
                    at = run.end + 1;
                    after_rewritten_greek = true;
                    continue;
                }
            } else {
                write = TypeOnGreekLayoutInto(text, write);
            }
            at = run.end;
        }
        write = WriteGap(line.substr(at), after_rewritten_greek, write);
        out.resize(start + static_cast<std::size_t>(write - first));
    }

    // Only Greek letters, or a dead key before a letter, may start a
    // rewritten run: plain Latin text passes at once.
    static bool MayNeedRepair(std::u16string_view line) {
        for (std::size_t at = 0; at < line.size(); ++at) {
            const char16_t c = line[at];
            if (c < 0x80) {
                if (IsDeadKey(c) && at + 1 < line.size() && line[at + 1] > u'9') {
                    return true;
                }
            } else if (c >= 0x386 && c <= 0x3CE) {
                return true;
            }
        }
        return false;
    }

    Verdict Judge(std::u16string_view text) {
        Split(text);
        if (runs_.size() != 1) {
            return Verdict::Neutral;
        }
        return runs_[0].touches_digit ? Verdict::Neutral : JudgeRun(text, runs_[0]);
    }

  private:
    struct Run {
        std::size_t begin;
        std::size_t end;
        bool greek;                // of Greek letters, else of Latin keys
        bool touches_digit;        // part of something like mp3, 2ος
        std::size_t group;         // runs joined without a blank share a group
        bool punctuation = false;  // q and Q after Latin letters: the Greek ; and :
        bool capital = false;      // begins with a capital
        Verdict verdict = Verdict::Neutral;
        bool rewrite = false;
        std::uint8_t sigma_as_w = 0;     // which Σ (the first eight) were typed on W
        bool marked = false;             // Latin keys with a dead key among them
        std::uint32_t place = kNoPlace;  // where its verdict is kept in judged_
    };
    static constexpr std::uint32_t kNoPlace = 0xFFFFFFFF;  // too long to be kept

    void Split(std::u16string_view line) {
        runs_.clear();
        const std::size_t size = line.size();
        std::size_t group = 0;
        bool joined = false;  // only joiners since the last run
        for (std::size_t at = 0; at < size;) {
            const char16_t c = line[at];
            bool latin = IsAsciiLetter(c);
            bool greek = false;
            if (!latin && IsDeadKey(c)) {
                latin = DeadKeyLength(line, at) > 0;
                greek = !latin && at + 1 < size && IsGreekLetter(line[at + 1]);
            } else if (!latin) {
                greek = IsGreekLetter(c);
            }
            if (!latin && !greek) {
                if (!IsJoiner(c)) {
                    joined = false;
                }
                ++at;
                continue;
            }
            // The run's end, and the hash of its characters on the way.
            std::size_t end = at;
            WordHash hash;
            bool marked = false;  // a dead key before a letter among Latin keys
            if (latin) {
                for (;;) {
                    while (end < size && IsAsciiLetter(line[end])) {
                        hash.Add(line[end++]);
                    }
                    const std::size_t length =
                        end < size && IsDeadKey(line[end]) ? DeadKeyLength(line, end) : 0;
                    if (length == 0) {
                        break;
                    }
                    for (const std::size_t last = end + length; end < last;) {
                        hash.Add(line[end++]);
                    }
                    marked = true;
                }
            } else {
                while (end < size &&
                       (IsGreekLetter(line[end]) ||
                        (IsDeadKey(line[end]) && end + 1 < size && IsGreekLetter(line[end + 1])))) {
                    hash.Add(line[end++]);
                }
            }
            if (!joined || runs_.empty() || runs_.back().end == at) {
                group = runs_.size();
            }
            const bool digit_before = at > 0 && IsDigit(line[at - 1]);
            const bool digit_after = end < size && IsDigit(line[end]);
            // A q or Q that ends Latin letters is the Greek ; or : after a word.
            std::size_t marks = 0;
            while (!greek && marks < end - at &&
                   (line[end - 1 - marks] == u'q' || line[end - 1 - marks] == u'Q')) {
                ++marks;
            }
            const bool after_mark = at > 0 && !IsBlank(line[at - 1]);
            if (marks == end - at && after_mark) {
                AddRun({at, end, greek, false, group, true}, line, hash);  // "(τιμή)Q"
            } else if (marks > 0 && marks < end - at && !IsDeadKey(line[end - marks - 1])) {
                // No dead key makes a letter of q or Q: the dead keys are all
                // before the marks.
                Run word{at, end - marks, greek, digit_before, group};
                word.marked = marked;
                AddRun(word, line, WordHash::Of(line.substr(at, end - marks - at)));
                AddRun({end - marks, end, greek, false, group, true}, line,
                       WordHash::Of(line.substr(end - marks, marks)));
            } else {
                Run word{at, end, greek, digit_before || digit_after, group};
                word.marked = marked;
                AddRun(word, line, hash);
            }
            joined = true;
            at = end;
        }
    }

    // The characters of a run (Latin letters, dead keys, Greek letters),
    // hashed for the place of its verdict.
    struct WordHash {
        std::uint32_t value = 2166136261u;
        void Add(char16_t c) { value = (value ^ c) * 16777619u; }
        static WordHash Of(std::u16string_view text) {
            WordHash hash;
            for (const char16_t c : text) {
                hash.Add(c);
            }
            return hash;
        }
    };

    void AddRun(Run run, std::u16string_view line, WordHash hash) {
        run.capital = IsAsciiUpper(line[run.begin]) || IsGreekUpper(line[run.begin]);
        // The places of the line's verdicts are fetched from memory as the
        // runs are found, well before they are read.
        if (run.end - run.begin <= Judged::kLongest) {
            run.place =
                static_cast<std::uint32_t>((hash.value ^ (hash.value >> 15)) & (kJudgedPlaces - 1));
            __builtin_prefetch(&judged_[run.place]);
        }
        runs_.push_back(run);
    }

    // Latin keys with a dead key among them; Greek letters without an accent.
    static bool MayBeRewritten(std::u16string_view line, const Run& run) {
        if (run.punctuation) {
            return false;
        }
        if (!run.greek) {
            return run.marked;
        }
        if (run.touches_digit) {
            return false;
        }
        const std::u16string_view text = line.substr(run.begin, run.end - run.begin);
        return text.size() >= 3 && !HasAccent(text);
    }

    static bool HasAccent(std::u16string_view text) {
        return std::any_of(text.begin(), text.end(), letters::IsAccentedLetter);
    }

    Verdict JudgeRun(std::u16string_view line, Run& run) {
        if (run.punctuation) {
            return Verdict::Likely;
        }
        const std::u16string_view text = line.substr(run.begin, run.end - run.begin);
        // A dead key says Greek even beside digits (Tim;h1).
        if (run.touches_digit && !run.marked) {
            // 3Δ is typed so in Greek text; A1, mp3 and the like stay.
            const bool after_digit = run.begin > 0 && IsDigit(line[run.begin - 1]) &&
                                     (run.end == line.size() || !IsDigit(line[run.end]));
            return !run.greek && after_digit && text.size() == 1 && IsAsciiUpper(text[0])
                       ? Verdict::Likely
                       : Verdict::Neutral;
        }
        // Words come again and again: the verdicts of recent ones are kept.
        Judged* const place = run.place != kNoPlace ? &judged_[run.place] : nullptr;
        if (place != nullptr) {
            if (const Judged::Word* word = place->Find(text)) {
                run.sigma_as_w = word->sigma_as_w;
                return Refine(line, run, text, word->verdict);
            }
        }
        const Verdict verdict = run.greek ? JudgeGreek(text, run) : JudgeLatin(text);
        if (place != nullptr) {
            place->Keep(text, verdict, run.sigma_as_w);
        }
        return Refine(line, run, text, verdict);
    }

    static Verdict Refine(std::u16string_view line, const Run& run, std::u16string_view text,
                          Verdict verdict) {
        if (run.greek) {
            return verdict;
        }
        // Latin letters in Greek text are mostly names, acronyms and
        // variables: one letter but o and h (ο, η), capitals that are no
        // Greek word of four letters or more, and English words with a
        // capital inside a sentence stay.
        if (verdict == Verdict::Rewrite) {
            return verdict;
        }
        if (text.size() == 1 && verdict == Verdict::Keep) {
            return Verdict::Neutral;  // a variable says nothing of its neighbours
        }
        if (verdict == Verdict::Keep) {
            return verdict;
        }
        if (text.size() == 1) {
            const char16_t c = text[0];
            const bool article = c == u'o' || c == u'O' || c == u'h' || c == u'H';
            return article || InAbbreviation(line, run) ? verdict : Verdict::Neutral;
        }
        if (IsAllCapitals(text)) {
            return verdict == Verdict::Likely && text.size() >= 4 ? verdict : Verdict::Neutral;
        }
        // (To, Se, An with a capital are as often Greek: Το, Σε, Αν.)
        if (verdict == Verdict::Weak && run.capital && text.size() >= 3 &&
            !StartsSentence(line, run.begin)) {
            return Verdict::Keep;
        }
        return verdict;
    }

    // One letter of an abbreviation of single letters: p.x. (π.χ.), k.o.k.
    static bool InAbbreviation(std::u16string_view line, const Run& run) {
        const auto dotted_letter = [&](std::size_t at) {
            return at + 1 < line.size() && IsAsciiLetter(line[at]) && line[at + 1] == u'.' &&
                   (at == 0 || !IsAsciiLetter(line[at - 1]));
        };
        if (!dotted_letter(run.begin)) {
            return false;
        }
        return dotted_letter(run.begin + 2) || (run.begin >= 2 && dotted_letter(run.begin - 2));
    }

    static bool StartsSentence(std::u16string_view line, std::size_t at) {
        while (at > 0 && (IsBlank(line[at - 1]) || line[at - 1] == u'"' || line[at - 1] == u'(' ||
                          line[at - 1] == u'\'' || line[at - 1] == u'«')) {
            --at;
        }
        if (at == 0) {
            return true;
        }
        const char16_t before = line[at - 1];
        return before == u'.' || before == u'!' || before == u'?' || before == u';' ||
               before == u':' || before == u'q' || before == u'Q';
    }

    // Latin keys: Greek typed with the US layout on?
    Verdict JudgeLatin(std::u16string_view keys) {
        bool marked = false;
        std::size_t letters = 0;
        lower_.clear();
        for (const char16_t c : keys) {
            if (IsDeadKey(c)) {
                marked = true;
                continue;
            }
            ++letters;
            lower_.push_back(static_cast<char>(IsAsciiUpper(c) ? c + 32 : c));
        }
        greek_.clear();
        AppendTypedOnGreekLayout(keys, greek_);
        // A q or Q at the end is the Greek ; or :, after the word.
        std::u16string_view word = greek_;
        while (!word.empty() && (word.back() == u';' || word.back() == u':')) {
            word.remove_suffix(1);
        }
        if (word.empty() || word.find_first_of(u";:") != std::u16string_view::npos) {
            return Verdict::Neutral;
        }
        if (IsGreekWord(word) || (marked && IsEncliticForm(word))) {
            if (marked) {
                return Verdict::Rewrite;
            }
            return model_.IsEnglish(lower_) ? Verdict::Weak : Verdict::Likely;
        }
        if (!marked && model_.IsEnglish(lower_)) {
            return Verdict::Keep;
        }
        // An accent typed with the dead key inside a word that reads as Greek.
        if (marked && word.size() >= 3 && OneAccent(word) &&
            pairs_.Greek(word) - pairs_.English(keys) > kPlainlyBetter &&
            pairs_.Greek(word) > kGreekLooking) {
            return Verdict::Rewrite;
        }
        return Verdict::Neutral;
    }

    // Greek letters: English typed with the Greek layout on?
    Verdict JudgeGreek(std::u16string_view text, Run& run) {
        std::size_t sigmas = 0;
        if (HasAccent(text)) {
            return Verdict::Keep;  // an accent: typed on purpose
        }
        for (const char16_t c : text) {
            sigmas += c == u'Σ';
        }
        latin_ = KeysTypedFor(text);
        lower_.clear();
        for (const char16_t c : latin_) {
            lower_.push_back(static_cast<char>(IsAsciiUpper(c) ? c + 32 : c));
        }
        // Σ is on S and on W: any of the first eight may be either.
        bool english = false;
        const std::size_t choices = std::size_t{1} << std::min<std::size_t>(sigmas, 3);
        for (std::size_t choice = 0; choice < choices && !english; ++choice) {
            std::size_t sigma = 0;
            for (std::size_t at = 0; at < text.size(); ++at) {
                if (text[at] == u'Σ') {
                    lower_[at] = sigma < 3 && ((choice >> sigma) & 1) != 0 ? 'w' : 's';
                    ++sigma;
                }
            }
            english = model_.IsEnglish(lower_);
            if (english) {
                run.sigma_as_w = static_cast<std::uint8_t>(choice);
            }
        }
        const bool greek = IsGreekWord(text);
        if (english && !greek) {
            // Short words are often both: a Greek word misspelled (απο, apo).
            const bool plainly = text.size() >= 4 ||
                                 (text.size() == 3 &&
                                  pairs_.English(latin_) - pairs_.Greek(text) > kPlainlyBetter / 2);
            return plainly ? Verdict::Rewrite : Verdict::Likely;
        }
        if (english) {
            return Verdict::Weak;
        }
        if (greek) {
            // Capitals carry no accents: ΠΕΜ may be PEM as well as πέμ.
            return run.capital && IsAllCapitals(text) ? Verdict::Neutral : Verdict::Keep;
        }
        if (text.size() >= 3 && pairs_.English(latin_) - pairs_.Greek(text) > kPlainlyBetter &&
            pairs_.English(latin_) > kEnglishLooking) {
            return Verdict::Rewrite;
        }
        return Verdict::Neutral;
    }

    // Whether `word` (Greek letters, perhaps with capitals) is a word of
    // the model: exactly, accents included; in capitals, by its letters.
    bool IsGreekWord(std::u16string_view word) {
        std::size_t capitals = 0;
        plain_.clear();
        lower_greek_.clear();
        for (const char16_t c : word) {
            if (!IsGreekLetter(c)) {
                return false;
            }
            capitals += IsGreekUpper(c);
            const char16_t lower = GreekLower(c);
            lower_greek_.push_back(lower);
            plain_.push_back(PlainLetter(lower));
        }
        const bool all_capitals = capitals == word.size() && word.size() >= 2;
        if (!all_capitals && lower_greek_.back() == u'σ') {
            return false;  // a word never ends in σ
        }
        const bool capital_first = IsGreekUpper(word.front());
        for (const GreekModel::Word& known : model_.WordsOf(plain_)) {
            if (all_capitals) {
                return true;
            }
            if (model_.Letters(known) == std::u16string_view(lower_greek_) &&
                (capital_first || (known.flags & GreekModel::kSmall) != 0)) {
                return true;
            }
        }
        return false;
    }

    // A word with a second accent before an enclitic (μεταφέρετέ μου): a
    // word of the model without its last accent.
    bool IsEncliticForm(std::u16string_view word) {
        std::size_t accents = 0;
        std::size_t last = 0;
        for (std::size_t at = 0; at < word.size(); ++at) {
            const char16_t lower = GreekLower(word[at]);
            if (lower != PlainLetter(lower) && lower != u'ς' && lower != u'ϊ' && lower != u'ϋ') {
                ++accents;
                last = at;
            }
        }
        if (accents != 2) {
            return false;
        }
        std::u16string single(word);
        single[last] = PlainLetter(GreekLower(word[last]));
        return IsGreekWord(single);
    }

    static bool IsAllCapitals(std::u16string_view text) {
        return text.size() >= 2 && std::all_of(text.begin(), text.end(), [](char16_t c) {
                   return IsGreekUpper(c) || IsAsciiUpper(c) || IsDeadKey(c);
               });
    }

    static bool OneAccent(std::u16string_view word) {
        std::size_t accents = 0;
        for (const char16_t c : word) {
            const char16_t lower = GreekLower(c);
            accents +=
                lower != PlainLetter(lower) && lower != u'ς' && lower != u'ϊ' && lower != u'ϋ';
        }
        return accents == 1;
    }

    // Settles the runs that go with their neighbours, and those of one
    // address together.
    void Decide() {
        // (NearRewrite looks at verdicts only: one pass does.)
        for (std::size_t index = 0; index < runs_.size(); ++index) {
            Run& run = runs_[index];
            run.rewrite = run.verdict == Verdict::Rewrite ||
                          (run.verdict == Verdict::Likely && NearRewrite(index));
        }
        for (std::size_t index = 0; index < runs_.size(); ++index) {
            Run& run = runs_[index];
            if (run.verdict == Verdict::Weak || (run.verdict == Verdict::Neutral && run.greek)) {
                run.rewrite = NearerSaysRewrite(index);
            }
        }
        for (std::size_t first = 0; first < runs_.size();) {
            std::size_t end = first;
            bool rewrite = false;
            bool keep = false;
            std::size_t words = 0;
            for (; end < runs_.size() && runs_[end].group == runs_[first].group; ++end) {
                const Run& run = runs_[end];
                if (run.punctuation) {
                    continue;
                }
                ++words;
                rewrite = rewrite || run.verdict == Verdict::Rewrite;
                // Latin letters that read as no Greek word hold an address in Latin.
                keep = keep || run.verdict == Verdict::Keep ||
                       (!run.greek && run.verdict == Verdict::Neutral);
            }
            if (words > 1 && rewrite != keep) {
                for (std::size_t index = first; index < end; ++index) {
                    if (!runs_[index].punctuation) {
                        runs_[index].rewrite =
                            rewrite && !(runs_[index].touches_digit && !runs_[index].greek);
                    }
                }
            }
            first = end;
        }
    }

    static bool Decided(const Run& run, bool& rewrite) {
        if (run.verdict == Verdict::Rewrite || (run.verdict == Verdict::Likely && run.rewrite)) {
            rewrite = true;
            return true;
        }
        // A name in Latin letters (Python, LibreOffice) says nothing of the
        // words around it: Greek text is full of them.
        if (run.verdict == Verdict::Keep && !(run.greek || !run.capital)) {
            return false;
        }
        if (run.verdict == Verdict::Keep) {
            rewrite = false;
            return true;
        }
        return false;
    }

    bool SecondNearestRewritten(std::size_t index, int step) const {
        std::size_t found = 0;
        std::size_t at = index;
        for (std::size_t distance = 1; distance <= kReach; ++distance) {
            if ((step < 0 && at == 0) || (step > 0 && at + 1 >= runs_.size())) {
                break;
            }
            at = step < 0 ? at - 1 : at + 1;
            bool rewrite = false;
            if (runs_[at].greek == runs_[index].greek && Decided(runs_[at], rewrite)) {
                if (!rewrite) {
                    return false;
                }
                if (++found == 2) {
                    return true;
                }
            }
        }
        return found > 0;
    }

    // Whether a run of the same letters within reach is rewritten.
    bool NearRewrite(std::size_t index) const {
        const std::size_t from = index >= kLikelyReach ? index - kLikelyReach : 0;
        const std::size_t to = std::min(runs_.size(), index + kLikelyReach + 1);
        for (std::size_t at = from; at < to; ++at) {
            if (at != index && runs_[at].greek == runs_[index].greek &&
                runs_[at].verdict == Verdict::Rewrite) {
                return true;
            }
        }
        return false;
    }

    // The nearer decided run of the same letters on either side; at the
    // same distance, Greek wins: Latin letters are rewritten, Greek kept.
    bool NearerSaysRewrite(std::size_t index) const {
        std::size_t left_distance = 0;
        std::size_t right_distance = 0;
        int left = -1;  // -1 none, 0 keep, 1 rewrite
        int right = -1;
        for (std::size_t distance = 1; distance <= kReach; ++distance) {
            bool rewrite = false;
            if (left < 0 && index >= distance &&
                runs_[index - distance].greek == runs_[index].greek &&
                Decided(runs_[index - distance], rewrite)) {
                left = rewrite;
                left_distance = distance;
            }
            if (right < 0 && index + distance < runs_.size() &&
                runs_[index + distance].greek == runs_[index].greek &&
                Decided(runs_[index + distance], rewrite)) {
                right = rewrite;
                right_distance = distance;
            }
        }
        if (left != 1 && right != 1) {
            return false;
        }
        // Greek letters at the edge of a line go to Latin only when the two
        // nearest on their one side do: "Το ηελλο είναι" keeps its Το.
        if (runs_[index].greek && (left < 0 || right < 0)) {
            return SecondNearestRewritten(index, left < 0 ? +1 : -1);
        }
        if (left != 0 && right != 0) {
            return true;
        }
        const std::size_t rewrite_distance = left == 1 ? left_distance : right_distance;
        const std::size_t keep_distance = left == 0 ? left_distance : right_distance;
        if (rewrite_distance != keep_distance) {
            return rewrite_distance < keep_distance;
        }
        return !runs_[index].greek;
    }

    // On the Greek layout the : of "https://" is the dead diaeresis, which
    // takes the first / with it: "ηττπσ/εχαμπλε.ψομ" is https://example.com.
    static bool LostSchemeColon(std::u16string_view line, const Run& run,
                                std::u16string_view written) {
        static constexpr std::u16string_view kSchemes[] = {u"http", u"https", u"ftp", u"sftp",
                                                           u"file", u"smtp",  u"ssh"};
        if (run.end + 1 >= line.size() || line[run.end] != u'/' || line[run.end + 1] == u'/') {
            return false;
        }
        const std::size_t length = run.end - run.begin;
        const std::u16string_view scheme = written.substr(written.size() - length);
        return std::find(std::begin(kSchemes), std::end(kSchemes), scheme) != std::end(kSchemes);
    }

    // Greek letters by the keys that typed them, with Σ as chosen.
    static char16_t* WriteLatin(std::u16string_view text, std::uint8_t sigma_as_w,
                                char16_t* write) {
        // Runs with accents are never rewritten: every letter is one key.
        std::size_t sigma = 0;
        for (const char16_t c : text) {
            if (c == u'Σ') {
                *write++ = sigma < 3 && ((sigma_as_w >> sigma) & 1) != 0 ? u'W' : u'S';
                ++sigma;
                continue;
            }
            const char key = LatinKeyOf(c);
            *write++ = key != '\0' ? static_cast<char16_t>(key) : c;
        }
        return write;
    }

    // What lies between runs stays, but for the marks that a dead key and
    // Space give after English typed in Greek letters ("ηελλο΄" for "hello; ").
    static char16_t* WriteGap(std::u16string_view gap, bool beside_rewritten_greek,
                              char16_t* write) {
        if (!beside_rewritten_greek) {
            return CopyText(gap, write);
        }
        for (const char16_t c : gap) {
            if (c == kSpacingAcute || c == kSpacingDiaeresis) {
                *write++ = c == kSpacingAcute ? u';' : u':';
                *write++ = u' ';
            } else {
                *write++ = c;
            }
        }
        return write;
    }

    // A Greek word's letter pairs score at least this; an English one's too.
    static constexpr double kGreekLooking = -2.6;
    static constexpr double kEnglishLooking = -2.8;

    // The verdicts of recent runs, two for each place of a table, the one
    // last used first; a place is one line of the processor's cache. A run
    // is kept by a byte a character: its characters are ASCII (Latin keys,
    // dead keys) or Greek letters (U+0386 to U+03CE), as Split finds them.
    struct alignas(64) Judged {
        static constexpr std::size_t kLongest = 28;
        struct Word {
            std::uint8_t length = 0;  // 0: nothing yet (no run is empty)
            Verdict verdict = Verdict::Neutral;
            std::uint8_t sigma_as_w = 0;
            std::array<std::uint8_t, kLongest> letters{};

            bool Is(std::u16string_view text) const {
                if (length != text.size()) {
                    return false;
                }
                for (std::size_t at = 0; at < text.size(); ++at) {
                    if (letters[at] != ByteOf(text[at])) {
                        return false;
                    }
                }
                return true;
            }
        };
        std::array<Word, 2> words;

        static std::uint8_t ByteOf(char16_t c) {
            return static_cast<std::uint8_t>(c < 0x80 ? c : c - 0x300);
        }
        const Word* Find(std::u16string_view text) {
            if (words[0].Is(text)) {
                return &words[0];
            }
            if (words[1].Is(text)) {
                std::swap(words[0], words[1]);
                return &words[0];
            }
            return nullptr;
        }
        void Keep(std::u16string_view text, Verdict verdict, std::uint8_t sigma_as_w) {
            words[1] = words[0];
            Word& word = words[0];
            word.length = static_cast<std::uint8_t>(text.size());
            word.verdict = verdict;
            word.sigma_as_w = sigma_as_w;
            std::transform(text.begin(), text.end(), word.letters.begin(), ByteOf);
        }
    };
    static_assert(sizeof(Judged) == 64);

    const GreekModel& model_;
    LetterPairs pairs_;
    // A power of two, so that a place is found by a mask, not a division.
    static constexpr std::size_t kJudgedPlaces = std::size_t{1} << 14;
    std::vector<Judged> judged_ = std::vector<Judged>(kJudgedPlaces);
    std::vector<Run> runs_;
    std::string lower_;
    std::u16string greek_;
    std::u16string latin_;
    std::u16string plain_;
    std::u16string lower_greek_;
};

LayoutRepairer::LayoutRepairer(const GreekModel& model) : impl_(std::make_unique<Impl>(model)) {}
LayoutRepairer::~LayoutRepairer() = default;
LayoutRepairer::LayoutRepairer(LayoutRepairer&&) noexcept = default;

void LayoutRepairer::RepairLine(std::u16string_view line, std::u16string& out) {
    impl_->RepairLine(line, out);
}

Verdict LayoutRepairer::Judge(std::u16string_view run) {
    return impl_->Judge(run);
}

LayoutStream::LayoutStream(const GreekModel& model) : repairer_(model) {}
LayoutStream::~LayoutStream() = default;
LayoutStream::LayoutStream(LayoutStream&&) noexcept = default;

// By the library's search for a byte, much faster than a loop over
// characters.
std::size_t FindLineEnd(std::u16string_view text) {
    const char* const bytes = reinterpret_cast<const char*>(text.data());
    const std::size_t size = text.size() * sizeof(char16_t);
    for (std::size_t at = 0; at < size;) {
        const void* found = std::memchr(bytes + at, '\n', size - at);
        if (found == nullptr) {
            break;
        }
        // A byte 0x0A is a line break's, or a part of another character.
        const auto offset = static_cast<std::size_t>(static_cast<const char*>(found) - bytes);
        if (text[offset / sizeof(char16_t)] == u'\n') {
            return offset / sizeof(char16_t);
        }
        at = offset + 1;
    }
    return std::u16string_view::npos;
}

void LayoutStream::Convert(std::u16string_view piece, std::u16string& out) {
    // A line begun in an earlier piece is completed in held_, a line at a
    // time; the piece's own whole lines are repaired where they lie.
    while (!held_.empty() && !piece.empty()) {
        // What held_ keeps is less than a line can be, and has no line end.
        std::size_t take =
            std::min(piece.size(), held_.size() < kLongestLine ? kLongestLine - held_.size() : 1);
        if (const std::size_t line_end = piece.substr(0, take).find(u'\n');
            line_end != std::u16string_view::npos) {
            take = line_end + 1;
        }
        held_.append(piece.substr(0, take));
        piece.remove_prefix(take);
        held_.erase(0, RepairLines(held_, out, false));
    }
    if (held_.empty()) {
        held_.assign(piece.substr(RepairLines(piece, out, false)));
    }
}

void LayoutStream::Finish(std::u16string& out) {
    RepairLines(held_, out, true);
    held_.clear();
}

std::size_t LayoutStream::RepairLines(std::u16string_view text, std::u16string& out, bool final) {
    // Room for what most lines come to, growing by halves at least, as not
    // every library's reserve does.
    if (out.capacity() - out.size() < text.size()) {
        out.reserve(std::max(out.size() + text.size(), out.capacity() + out.capacity() / 2));
    }
    std::size_t start = 0;
    for (;;) {
        const std::u16string_view rest = text.substr(start);
        const std::u16string_view window = rest.substr(0, kLongestLine);
        std::size_t length = FindLineEnd(window);
        if (length != std::u16string_view::npos) {
            ++length;
        } else if (rest.size() >= kLongestLine) {
            // A very long line: cut after its last blank, else anywhere
            // but inside a pair of surrogates.
            length = window.size();
            const std::size_t blank = window.find_last_of(u" \t");
            if (blank != std::u16string_view::npos && blank > 0) {
                length = blank + 1;
            } else if (window[length - 1] >= 0xD800 && window[length - 1] < 0xDC00) {
                --length;
            }
        } else if (final && !rest.empty()) {
            length = rest.size();
        } else {
            break;
        }
        repairer_.RepairLine(rest.substr(0, length), out);
        start += length;
    }
    return start;
}

std::u16string RepairLayout(std::u16string_view text, const GreekModel& model) {
    LayoutStream stream(model);
    std::u16string out;
    out.reserve(text.size());
    stream.Convert(text, out);
    stream.Finish(out);
    return out;
}

}  // namespace bivano::layout
