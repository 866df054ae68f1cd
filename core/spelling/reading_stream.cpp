// SPDX-License-Identifier: GPL-3.0-or-later
// The stream: typed text cut into phrases of words, each word read
// (word_reader.h) or kept as typed (kept_as_typed.h), each phrase's words
// chosen together (phrase_search.h) and written with the typed case and
// the enclitics' accents (written_words.h).
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/lativo/text_range.h"
#include "core/lativo/verbatim.h"
#include "core/spelling/chat_words.h"
#include "core/spelling/kept_as_typed.h"
#include "core/spelling/phrase_search.h"
#include "core/spelling/speller.h"
#include "core/spelling/typed_readings.h"
#include "core/spelling/word_joining.h"
#include "core/spelling/word_reader.h"
#include "core/spelling/written_words.h"

namespace bivano {

using namespace std::string_view_literals;
using namespace internal;

namespace {

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

// What an ASCII character is to the stream: a Latin letter, or 3 or 8
// (ξ and θ).
constexpr std::uint8_t kLatinClass = 1;
constexpr std::uint8_t kDigitClass = 2;
constexpr std::array<std::uint8_t, 0x80> kAsciiClass = [] {
    std::array<std::uint8_t, 0x80> classes{};
    for (char16_t c = 0; c < 0x80; ++c) {
        classes[c] = IsLatinLetter(c) ? kLatinClass : (c == u'3' || c == u'8') ? kDigitClass : 0;
    }
    return classes;
}();

// Words judged kept or read, and their characters, before the judgements
// start afresh.
constexpr std::size_t kMostJudged = std::size_t{1} << 15;
constexpr std::size_t kMostJudgedCharacters = std::size_t{1} << 18;
// Phrases whose choices are remembered before they start afresh.
constexpr std::size_t kMostPhrases = std::size_t{1} << 13;

// The punctuation a word kept as typed is judged without: before it, and
// after it.
constexpr bool OpensAWord(char16_t c) {
    switch (c) {
        case u'(':
        case u'[':
        case u'{':
        case u'"':
        case u'\'':
        case u'«':
            return true;
        default:
            return false;
    }
}
constexpr bool ClosesAWord(char16_t c) {
    switch (c) {
        case u'.':
        case u',':
        case u';':
        case u':':
        case u'!':
        case u'?':
        case u')':
        case u']':
        case u'}':
        case u'"':
        case u'\'':
        case u'»':
            return true;
        default:
            return false;
    }
}

// Where the next asterisk of `text` is from `from` on, or npos: a search of
// the bytes for its low byte, which finds a few other characters too.
std::size_t NextAsterisk(std::u16string_view text, std::size_t from) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size() * sizeof(char16_t);
    for (std::size_t at = from * sizeof(char16_t); at < size;) {
        const void* found = std::memchr(bytes + at, '*', size - at);
        if (found == nullptr) {
            return std::u16string_view::npos;
        }
        const auto byte =
            static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        if (text[byte / sizeof(char16_t)] == u'*') {
            return byte / sizeof(char16_t);
        }
        at = byte + 1;
    }
    return std::u16string_view::npos;
}

// A piece with no place to cut is read whole past this length.
constexpr std::size_t kLongestHeld = std::size_t{1} << 16;

}  // namespace

class ReadingStream::Reader {
  public:
    Reader(const GreekSpeller& speller, Source source, bool chat, SharedReadings* shared)
        : words_(speller.Model(), source, chat, shared),
          joiner_(words_),
          search_(speller.Model()),
          chat_(chat) {}

    // Reads `part` into `out`; the capitals that the sentences before the
    // part decide go into `undecided`, when given, and are left as typed.
    void Process(const ReadingPart& part, std::u16string& out,
                 ReadingStream::PartReading* undecided = nullptr);

  private:
    // The phrase being gathered: words with only blanks between them.
    struct PhraseWord {
        std::size_t begin;
        std::size_t end;
        std::uint32_t reading;
        bool small = false;  // typed without a capital: written as spelled
        // One word typed as two: how far into it the blank between them is;
        // 0 for none.
        std::uint8_t blank = 0;
    };
    // The letters typed for one word typed as two, without the blank.
    std::u16string_view JoinedTyped(std::u16string_view text, const PhraseWord& word);
    // Joins the words of the phrase that are one word typed as two.
    void JoinWordsTypedApart(std::u16string_view text);
    // Whether `second`, right after `first`, is one word with it typed as
    // two (word_joining.h); if so, `first` becomes the two.
    bool JoinTwo(std::u16string_view text, PhraseWord& first, const PhraseWord& second);
    // Writes the phrase, and the blanks after it up to `upto`.
    void FlushPhrase(std::u16string_view text, std::size_t upto, bool final, std::u16string& out);
    // The choice for each word of the phrase (search_), remembered by the
    // words' readings and what stands around the phrase: phrases repeat.
    std::span<const int> Choose(const PhraseEdges& edges);
    // Forgets the words read, judged and chosen for, when any of them
    // fills its bounds.
    void ForgetIfFull();
    // Whether a word at `at` is the first of a sentence.
    bool StartsASentence(std::u16string_view text, std::size_t at) const;
    // Whether a word in Latin letters stays as typed (kept_as_typed.h),
    // remembered: the same words come again and again.
    // `small`: the word has no capital.
    struct Judged {
        bool kept = false;
        bool small = false;
        bool plain = false;  // of word characters only, read as one word
        // The whole word's readings, if looked up, and as a word that stands
        // alone (a chat abbreviation), once read so.
        std::uint32_t reading = ReadingCache::kNone;
        std::uint32_t alone_reading = ReadingCache::kNone;
    };
    // A word judged, where it stands in the text and in judged_.
    struct KnownWord {
        std::size_t begin = 0;
        std::size_t end = 0;
        Judged judged;
        bool inside = false;
        std::uint32_t entry = ReadingCache::kNone;
        std::uint64_t words_generation = 0;
        std::uint64_t judged_generation = 0;
    };
    // Sets `known` but for where the word stands (written in place: it is
    // asked for every word).
    void Judge(std::u16string_view word, bool inside, KnownWord& known);

    WordReader words_;
    WordJoiner joiner_;
    PhraseSearch search_;
    bool chat_;
    std::vector<PhraseWord> phrase_;
    // FlushPhrase's workspace, kept from phrase to phrase.
    std::vector<const std::vector<Choice>*> choices_;
    std::vector<TextRange> written_;  // where each word of the phrase went in the output
    std::vector<std::uint8_t> stress_;
    std::u16string enclitic_;
    std::u16string joined_;  // the letters of one word typed as two
    // The words judged so far, by their letters after a mark of `inside`;
    // good while the word reader remembers the readings they name.
    // They name readings by their numbers: all are forgotten together.
    PackedTextKeyed<Judged> judged_[2];    // first in a sentence, inside one
    std::uint64_t judged_generation_ = 0;  // changes when they are forgotten
    bool judged_afresh_ = false;           // a word was judged since ForgetIfFull looked
    // The phrases chosen for, by their words' readings and edges: where
    // their choices begin in chosen_, and how many.
    struct Chosen {
        std::uint32_t at;
        std::uint32_t count;
    };
    TextKeyed<Chosen> phrases_;
    std::vector<int> chosen_;
    std::u16string phrase_key_;
    std::vector<int> single_;  // the choices of a phrase of words with one choice or none
    // The last character before the part, but for blanks.
    char16_t before_text_ = u'\n';
    // The last sentence typed began with a capital; in a part read apart
    // (undecided_), once `capital_decided_`.
    bool capital_starts_ = false;
    bool capital_decided_ = false;
    ReadingStream::PartReading* undecided_ = nullptr;
    std::size_t part_begins_ = 0;  // where the part's reading begins in the output
    // The phrase was cut for its length: the flush is no phrase's end, and
    // the next phrase no phrase's start.
    bool phrase_goes_on_ = false;
    bool phrase_went_on_ = false;
};

void ReadingStream::Reader::FlushPhrase(std::u16string_view text, std::size_t upto, bool final,
                                        std::u16string& out) {
    if (phrase_.empty()) {
        // Words kept as typed are read too; when none was judged afresh
        // since the last look, no memory has grown.
        if (judged_afresh_) {
            ForgetIfFull();
        }
        return;
    }
    if (words_.Latin() && phrase_.size() > 1) {
        JoinWordsTypedApart(text);
    }
    const std::size_t count = phrase_.size();
    PhraseEdges edges;
    // A phrase that a question mark ends starts, as a rule, with a question
    // word: τι, πού, πώς rather than τη, που, πως.
    std::size_t after = phrase_.back().end;
    while (after < text.size() && (text[after] == u' ' || text[after] == u'\t')) {
        ++after;
    }
    edges.question = after < text.size() && (text[after] == u'?' || text[after] == u';');
    // What stands before and after the phrase; one cut for its length has
    // no edge there.
    edges.starts = !phrase_went_on_;
    edges.ends = !phrase_goes_on_;
    phrase_went_on_ = phrase_goes_on_;
    phrase_goes_on_ = false;
    std::size_t before_at = phrase_.front().begin;
    while (before_at > 0 && (text[before_at - 1] == u' ' || text[before_at - 1] == u'\t')) {
        --before_at;
    }
    edges.before = BesideOf(before_at == 0 ? before_text_ : text[before_at - 1]);
    edges.after = BesideOf(after < text.size() ? text[after] : u'\n');
    // The words' readings, their choices and the chosen words' letters lie
    // apart in memory: each is asked for for the whole phrase at once, so
    // that the waits overlap rather than follow one another.
    // (The readings were asked for as the words were taken.)
    for (const PhraseWord& word : phrase_) {
        __builtin_prefetch(words_.At(word.reading).choices.data());
    }
    const std::span<const int> chosen = Choose(edges);
    const GreekModel& model = words_.Model();
    for (std::size_t i = 0; i < count; ++i) {
        const WordReading& reading = words_.At(phrase_[i].reading);
        if (chosen[i] > 0 || (chosen[i] == 0 && reading.first_length == 0)) {
            const Choice& choice = reading.choices[static_cast<std::size_t>(chosen[i])];
            model.PrefetchLetters(choice.word, choice.entry);
        }
    }
    // The words as written, between the blanks as typed, then their
    // second accents.
    stress_.assign(count, 3);
    written_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            const std::size_t gap = phrase_[i].begin - phrase_[i - 1].end;
            if (gap == 1) {
                out.push_back(text[phrase_[i - 1].end]);
            } else {
                out.append(text.substr(phrase_[i - 1].end, gap));
            }
        }
        const std::u16string_view typed =
            phrase_[i].blank == 0 ? text.substr(phrase_[i].begin, phrase_[i].end - phrase_[i].begin)
                                  : JoinedTyped(text, phrase_[i]);
        const WordReading& reading = words_.At(phrase_[i].reading);
        const std::size_t begin = out.size();
        if (chosen[i] >= 0) {
            // The first choice from beside the choices, when kept there.
            const bool first_kept = chosen[i] == 0 && reading.first_length > 0;
            const Choice* choice =
                first_kept ? nullptr : &reading.choices[static_cast<std::size_t>(chosen[i])];
            const GreekModel::Word known = first_kept ? reading.first_entry : choice->entry;
            const GreekModel::Spelling letters =
                first_kept ? GreekModel::SpellingOf(std::span<const std::uint8_t>(
                                 reading.first_letters.data(), reading.first_length))
                           : model.Letters(choice->word, known);
            if (phrase_[i].small) {
                out.append(letters);
            } else {
                AppendWithCaseOf(typed, letters, out);
            }
            stress_[i] = known.Stress();
            // A word the dictionary knows only with a capital (a name)
            // takes it, however it was typed.
            if ((known.flags & GreekModel::kSmall) == 0 && out.size() > begin) {
                out[begin] = GreekUpper(out[begin]);
            }
        } else if (!reading.fixed.empty()) {
            AppendWithCaseOf(typed, reading.fixed, out);
            stress_[i] = StressRank(reading.fixed);
        } else if (!words_.Latin()) {
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
                if (undecided_ != nullptr && !capital_decided_) {
                    undecided_->capital_if_before.push_back(begin - part_begins_);
                } else if (capital_starts_) {
                    out[begin] = GreekUpper(out[begin]);
                }
            } else {
                capital_starts_ = IsUpper(typed.front());
                capital_decided_ = true;
            }
        }
    }
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (stress_[i] != 2 || phrase_[i + 1].begin != phrase_[i].end + 1 ||
            written_[i + 1].end - written_[i + 1].begin > 4) {  // the enclitics are short
            continue;
        }
        enclitic_.assign(out, written_[i + 1].begin, written_[i + 1].end - written_[i + 1].begin);
        std::transform(enclitic_.begin(), enclitic_.end(), enclitic_.begin(), GreekLower);
        const Enclitic enclitic = EncliticOf(enclitic_);
        const std::size_t after = phrase_[i + 1].end;
        const bool at_end = after == text.size() ? final : EndsAPhrase(text[after]);
        if (enclitic == Enclitic::Always || (enclitic == Enclitic::AtPhraseEnd && at_end)) {
            AccentLastSyllable(out, written_[i].begin, written_[i].end);
        }
    }
    out.append(text.substr(phrase_.back().end, upto - phrase_.back().end));
    phrase_.clear();
    ForgetIfFull();
}

void ReadingStream::Reader::Process(const ReadingPart& part, std::u16string& out,
                                    ReadingStream::PartReading* undecided) {
    const std::u16string_view text = part.text;
    const bool final = part.last;
    before_text_ = part.before;
    undecided_ = undecided;
    capital_decided_ = false;
    part_begins_ = out.size();
    const bool latin = words_.Latin();
    const auto is_space = IsBlankOrBreak;
    const std::uint8_t letter_class = latin ? kLatinClass : 0;
    const std::uint8_t word_class = latin ? kLatinClass | kDigitClass : 0;
    const auto is_letter = [&](char16_t c) {
        return c < 0x80 ? (kAsciiClass[c] & letter_class) != 0 : IsGreekLetter(c);
    };
    // 3 and 8 are ξ and θ in Latin letters.
    const auto word_character = [&](char16_t c) {
        return c < 0x80 ? (kAsciiClass[c] & word_class) != 0 : IsGreekLetter(c);
    };
    out.reserve(out.size() + text.size() + 16);
    bool asking = false;             // a "?" after a Greek word has begun: "??" gives ";;"
    bool after_word = false;         // the last thing written was a word read as Greek
    std::size_t kept_until = 0;      // a Latin word kept as typed ends here
    std::size_t verbatim_after = 0;  // no group between asterisks opens here
    KnownWord known;                 // the last word judged
    // Takes the word at [i, end) into the phrase.
    const auto take_word = [&](std::size_t& i, std::size_t end) {
        // A phrase goes on over blanks only, and only so long.
        bool only_blanks = !phrase_.empty();
        for (std::size_t at = only_blanks ? phrase_.back().end : i; at < i; ++at) {
            if (text[at] != u' ' && text[at] != u'\t') {
                only_blanks = false;
                break;
            }
        }
        if (!only_blanks || phrase_.size() >= kPhraseWeights.longest_phrase) {
            phrase_goes_on_ = only_blanks;  // cut for its length only
            FlushPhrase(text, i, final, out);
        }
        const bool alone = chat_ && StandsAlone(text, i, end);
        // The word judged whole: its readings are known, or remembered
        // once read.
        const bool judged_whole =
            known.begin == i && known.end == end && known.words_generation == words_.generation();
        std::uint32_t reading = ReadingCache::kNone;
        if (judged_whole) {
            reading = alone ? known.judged.alone_reading : known.judged.reading;
        }
        if (reading == ReadingCache::kNone) {
            reading = words_.Read(text.substr(i, end - i), alone);
            if (judged_whole && alone && known.judged_generation == judged_generation_) {
                PackedTextKeyed<Judged>& judged = judged_[known.inside ? 1 : 0];
                Judged with_alone = judged.At(known.entry);
                with_alone.alone_reading = reading;
                judged.Set(known.entry, with_alone);
            }
        }
        // Asked for now, the reading is near by the time the phrase is
        // written.
        __builtin_prefetch(&words_.At(reading));
        phrase_.push_back({i, end, reading, judged_whole && known.judged.small});
        i = end;
        after_word = true;
        asking = false;
    };
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u' ' || c == u'\t') {
            // A blank: written now, or with the phrase it stands in.
            if (phrase_.empty()) {
                out.push_back(c);
            }
            asking = false;
            after_word = false;
            ++i;
            continue;
        }
        // A word kept as typed: judged on the whole blank-delimited word,
        // without the punctuation around it.
        if (latin && i >= kept_until && !is_space(c) && (i == 0 || is_space(text[i - 1]))) {
            std::size_t stop = i;
            while (stop < text.size() && !is_space(text[stop])) {
                ++stop;
            }
            std::u16string_view word = text.substr(i, stop - i);
            std::size_t lead = 0;
            while (lead < word.size() && OpensAWord(word[lead])) {
                ++lead;
            }
            word.remove_prefix(lead);
            while (!word.empty() && ClosesAWord(word.back())) {
                word.remove_suffix(1);
            }
            kept_until = stop;
            if (!word.empty()) {
                Judge(word, !StartsASentence(text, i), known);
                known.begin = i + lead;
                known.end = known.begin + word.size();
            }
            if (!word.empty() && !known.judged.kept && lead == 0 && known.judged.plain) {
                take_word(i, i + word.size());  // the word is the whole of it
                continue;
            }
            if (!word.empty() && known.judged.kept) {
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
            const std::size_t length = VerbatimGroupAfter(text.substr(i + 1)).length;
            if (length != 0) {
                FlushPhrase(text, i, final, out);
                out.append(text.substr(i + 1, length));
                i += length + 2;
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
            take_word(i, end);
            continue;
        }
        // Anything else ends the phrase unless it is a blank.
        if (c != u' ' && c != u'\t') {
            FlushPhrase(text, i, final, out);
        }
        if (phrase_.empty()) {
            const bool question = c == u'?' && (after_word || asking);
            asking = question;
            out.push_back(question ? u';' : c);
        } else {
            asking = false;
        }
        after_word = false;
        ++i;
    }
    FlushPhrase(text, text.size(), final, out);
    if (undecided_ != nullptr && capital_decided_) {
        undecided_->capital_after = capital_starts_;
    }
    undecided_ = nullptr;
}

std::u16string_view ReadingStream::Reader::JoinedTyped(std::u16string_view text,
                                                       const PhraseWord& word) {
    joined_.assign(text.substr(word.begin, word.blank));
    joined_.append(
        text.substr(word.begin + word.blank + 1, word.end - word.begin - word.blank - 1));
    return joined_;
}

void ReadingStream::Reader::JoinWordsTypedApart(std::u16string_view text) {
    const std::size_t count = phrase_.size();
    std::size_t kept = 1;
    for (std::size_t i = 1; i < count; ++i) {
        PhraseWord& first = phrase_[kept - 1];
        const PhraseWord& second = phrase_[i];
        if (!JoinTwo(text, first, second)) {
            phrase_[kept++] = second;
        }
    }
    phrase_.resize(kept);
}

bool ReadingStream::Reader::JoinTwo(std::u16string_view text, PhraseWord& first,
                                    const PhraseWord& second) {
    // A short word first, not joined already, then a single blank: not a
    // line, nor a mark; parts of a length that may join, in a case that
    // may. Most pairs end at these tests of the letters, or at MayJoin.
    const std::size_t first_length = first.end - first.begin;
    const std::size_t second_length = second.end - second.begin;
    if (first_length > kJoinWeights.longest_first || first.blank != 0 ||
        first.end + 1 != second.begin || text[first.end] != u' ' ||
        std::min(first_length, second_length) < kJoinWeights.shortest_part ||
        first_length + second_length > kJoinWeights.longest_joined) {
        return false;
    }
    const std::u16string_view first_typed = text.substr(first.begin, first_length);
    const std::u16string_view second_typed = text.substr(second.begin, second_length);
    if (!(first.small && second.small) &&
        !WordJoiner::CaseAllowsJoining(first_typed, second_typed)) {
        return false;
    }
    const JoinPart first_part = joiner_.PartOf(first.reading, first_length);
    const JoinPart second_part = joiner_.PartOf(second.reading, second_length);
    if (!WordJoiner::MayJoin(first_part, first_length, second_part) ||
        !joiner_.OneWord(first_typed, first.reading, first_part, second_typed, second.reading,
                         second_part)) {
        return false;
    }
    joined_.assign(first_typed);
    joined_.append(second_typed);
    const std::uint32_t together = words_.Read(joined_);
    const WordReading& joined = words_.At(together);
    if (joined.choices.empty() || joined.english) {
        return false;
    }
    first = {first.begin, second.end, together, first.small && second.small,
             static_cast<std::uint8_t>(first_length)};
    return true;
}

void ReadingStream::Reader::ForgetIfFull() {
    judged_afresh_ = false;
    const bool words_forgotten = words_.ForgetIfFull();
    if (words_forgotten || judged_[0].size() + judged_[1].size() >= kMostJudged ||
        judged_[0].key_characters() + judged_[1].key_characters() >= kMostJudgedCharacters) {
        judged_[0].Clear();
        judged_[1].Clear();
        ++judged_generation_;
    }
    if (words_forgotten || phrases_.size() >= kMostPhrases ||
        phrases_.key_characters() >= kMostJudgedCharacters || chosen_.size() >= kMostPhrases * 8) {
        phrases_.Clear();
        chosen_.clear();
    }
}

void ReadingStream::Reader::Judge(std::u16string_view word, bool inside, KnownWord& known) {
    PackedTextKeyed<Judged>& judged_words = judged_[inside ? 1 : 0];
    known.inside = inside;
    known.words_generation = words_.generation();
    known.judged_generation = judged_generation_;
    known.entry = judged_words.Find(word);
    if (known.entry != judged_words.kNone) {
        known.judged = judged_words.At(known.entry);
        return;
    }
    judged_afresh_ = true;
    known.judged = Judged();
    const KeptJudgement kept = JudgeKeptAsTyped(word, inside, words_);
    known.judged.kept = kept.kept;
    known.judged.small = std::none_of(word.begin(), word.end(), IsUpper);
    known.judged.reading = kept.reading;
    // As the stream takes a word: a letter first, or 3 or 8 before one.
    const auto is_letter = [](char16_t c) {
        return c < 0x80 ? (kAsciiClass[c] & kLatinClass) != 0 : IsGreekLetter(c);
    };
    const auto word_character = [](char16_t c) {
        return c < 0x80 ? (kAsciiClass[c] & (kLatinClass | kDigitClass)) != 0 : IsGreekLetter(c);
    };
    known.judged.plain = std::all_of(word.begin(), word.end(), word_character) &&
                         (is_letter(word[0]) || (word.size() > 1 && is_letter(word[1])));
    known.entry = judged_words.Add(word, known.judged);
}

std::span<const int> ReadingStream::Reader::Choose(const PhraseEdges& edges) {
    // Words of one choice or none leave nothing to choose.
    single_.clear();
    for (const PhraseWord& word : phrase_) {
        const std::size_t choices = words_.At(word.reading).choices.size();
        if (choices > 1) {
            single_.clear();
            break;
        }
        single_.push_back(choices == 0 ? -1 : 0);
    }
    if (!single_.empty()) {
        return single_;
    }
    phrase_key_.clear();
    phrase_key_.push_back(static_cast<char16_t>(
        (edges.question ? 1 : 0) | (edges.starts ? 2 : 0) | (edges.ends ? 4 : 0) |
        static_cast<unsigned>(edges.before) << 3 | static_cast<unsigned>(edges.after) << 6));
    for (const PhraseWord& word : phrase_) {
        phrase_key_.push_back(static_cast<char16_t>(word.reading & 0xFFFF));
        phrase_key_.push_back(static_cast<char16_t>(word.reading >> 16));
    }
    const std::uint64_t hash = HashOf(phrase_key_);
    if (const std::uint32_t found = phrases_.Find(phrase_key_, hash); found != phrases_.kNone) {
        const Chosen& chosen = phrases_.At(found);
        return std::span<const int>(chosen_).subspan(chosen.at, chosen.count);
    }
    choices_.clear();
    for (const PhraseWord& word : phrase_) {
        choices_.push_back(&words_.At(word.reading).choices);
    }
    const std::span<const int> chosen = search_.Choose(choices_, edges);
    const auto at = static_cast<std::uint32_t>(chosen_.size());
    chosen_.insert(chosen_.end(), chosen.begin(), chosen.end());
    phrases_.Add(phrase_key_, hash, {at, static_cast<std::uint32_t>(chosen.size())});
    return std::span<const int>(chosen_).subspan(at, chosen.size());
}

bool ReadingStream::Reader::StartsASentence(std::u16string_view text, std::size_t at) const {
    while (at > 0 && (text[at - 1] == u' ' || text[at - 1] == u'\t')) {
        --at;
    }
    const char16_t before = at == 0 ? before_text_ : text[at - 1];
    switch (before) {
        case u'.':
        case u'!':
        case u'?':
        case u';':
        case u'\n':
            return true;
        default:
            return false;
    }
}

ReadingStream::ReadingStream(const GreekSpeller& speller, Source source, bool chat,
                             SharedReadings* shared)
    : reader_(std::make_unique<Reader>(speller, source, chat, shared)) {}
ReadingStream::~ReadingStream() = default;
ReadingStream::ReadingStream(ReadingStream&&) noexcept = default;

void ReadingStream::Read(std::u16string_view piece, std::u16string& out) {
    cutter_.Add(piece);
    while (cutter_.Next(part_)) {
        reader_->Process(part_, out);
    }
}

void ReadingStream::Finish(std::u16string& out) {
    cutter_.Finish(part_);
    reader_->Process(part_, out);
}

ReadingStream::PartReading ReadingStream::ReadPart(const ReadingPart& part, std::u16string& out) {
    PartReading undecided;
    reader_->Process(part, out, &undecided);
    return undecided;
}

namespace {

// The last place `text` may be cut, if any (0 for none): after a line
// break, or after a blank that follows punctuation, where no phrase, no
// word kept as typed and no enclitic reaches across, and no group between
// asterisks is open; a group that may yet close after the text is open.
std::size_t LastCut(std::u16string_view text) {
    const auto word_character = [](char16_t c) {
        return IsGreekLetter(c) || IsLatinLetter(c) || (c >= u'0' && c <= u'9');
    };
    const auto cut_after = [&](std::size_t i) {
        const char16_t last = text[i];
        return last == u'\n' || (IsBlankOrBreak(last) && i >= 1 && !IsBlankOrBreak(text[i - 1]) &&
                                 !word_character(text[i - 1]));
    };
    // Found from the end between the asterisks; a group between asterisks
    // is passed over whole.
    std::size_t cut = 0;
    std::size_t from = 0;
    std::size_t after_group = std::u16string::npos;  // no group opens here
    for (;;) {
        const std::size_t star = NextAsterisk(text, from);
        for (std::size_t i = star == std::u16string::npos ? text.size() : star; i-- > from;) {
            if (cut_after(i)) {
                cut = i + 1;
                break;
            }
        }
        if (star == std::u16string::npos) {
            break;
        }
        from = star + 1;
        if (star != after_group) {
            const VerbatimGroup group = VerbatimGroupAfter(text.substr(from));
            if (group.undecided) {
                break;  // a group may close after the text
            }
            if (group.length != 0) {
                from += group.length + 1;  // past the closing asterisk
                after_group = from;
            }
        }
    }
    return cut;
}

}  // namespace

void ReadingCutter::FindReady() {
    ready_ = LastCut(held_);
    if (ready_ == 0 && held_.size() > kLongestHeld) {
        ready_ = held_.size();
    }
}

bool ReadingCutter::Next(ReadingPart& part) {
    if (ready_ == 0) {
        return false;
    }
    // Any place to cut before the last is one too.
    std::size_t length = ready_;
    if (length > longest_part_) {
        const std::size_t shorter =
            LastCut(std::u16string_view(held_).substr(taken_, longest_part_));
        if (shorter != 0) {
            length = shorter;
        }
    }
    Cut(length, false, part);
    ready_ -= length;
    return true;
}

void ReadingCutter::Finish(ReadingPart& part) {
    Cut(held_.size() - taken_, true, part);
}

void ReadingCutter::Cut(std::size_t length, bool last, ReadingPart& part) {
    part.text.assign(held_, taken_, length);
    part.before = before_;
    part.last = last;
    taken_ += length;
    for (std::size_t i = length; i-- > 0;) {
        if (!IsBlankOrBreak(part.text[i]) || part.text[i] == u'\n') {
            before_ = part.text[i];
            break;
        }
    }
}

void PartsInOrder::Next(const ReadingStream::PartReading& how, std::u16string& reading) {
    if (capital_starts_) {
        for (const std::size_t at : how.capital_if_before) {
            reading[at] = GreekUpper(reading[at]);
        }
    }
    if (how.capital_after) {
        capital_starts_ = *how.capital_after;
    }
}

}  // namespace bivano
