// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/word_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

#include "core/lativo/conversion_stream.h"
#include "core/spelling/chat_words.h"
#include "core/spelling/typed_readings.h"

namespace bivano {

// A word's readings depend on its key and the model alone: any reader's
// will do for another's. Kept in shards by the keys' hashes, each with its
// lock: the readers, each at its own words, seldom wait for one another.
struct SharedReadings::Kept {
    struct Shard {
        std::mutex mutex;
        internal::ReadingCache readings;
    };
    static constexpr int kShardBits = 4;

    Shard& ShardOf(std::uint64_t hash) { return shards[hash >> (64 - kShardBits)]; }
    bool Find(std::u16string_view key, std::uint64_t hash, internal::WordReading& reading) {
        Shard& shard = ShardOf(hash);
        const std::lock_guard lock(shard.mutex);
        const std::uint32_t found = shard.readings.Find(key, hash);
        if (found == internal::ReadingCache::kNone) {
            return false;
        }
        reading = shard.readings.At(found);
        return true;
    }
    void Keep(std::u16string_view key, std::uint64_t hash, const internal::WordReading& reading) {
        Shard& shard = ShardOf(hash);
        const std::lock_guard lock(shard.mutex);
        // Half a reader's bounds, all shards together: the readers keep
        // their own besides.
        constexpr std::size_t kShards = std::size_t{1} << kShardBits;
        if (shard.readings.size() >= internal::kWordWeights.most_remembered / 2 / kShards ||
            shard.readings.key_characters() >=
                internal::kWordWeights.most_remembered_characters / 2 / kShards) {
            shard.readings.Clear();
        }
        shard.readings.Add(key, hash, reading);
    }

    std::array<Shard, std::size_t{1} << kShardBits> shards;
};

SharedReadings::SharedReadings() : kept_(std::make_unique<Kept>()) {}
SharedReadings::~SharedReadings() = default;

namespace internal {

WordReader::WordReader(const GreekModel& model, ReadingStream::Source source, bool chat,
                       SharedReadings* shared)
    : model_(model),
      source_(source),
      chat_(chat),
      shared_(shared),
      running_words_(static_cast<double>(model_.RunningWords()) +
                     static_cast<double>(model_.EverydayTotal()) + 1.0) {}

void WordReader::Forget() {
    cache_.Clear();
    spelled_characters_ = 0;
}

void WordReader::KeepFirstChoice(WordReading& reading) const {
    if (reading.choices.empty()) {
        return;
    }
    const Choice& first = reading.choices.front();
    const std::span<const std::uint8_t> bytes = model_.LetterBytes(first.word, first.entry);
    if (bytes.empty() || bytes.size() > WordReading::kFirstLetters) {
        return;
    }
    std::copy(bytes.begin(), bytes.end(), reading.first_letters.begin());
    reading.first_length = static_cast<std::uint8_t>(bytes.size());
    reading.first_entry = first.entry;
}

std::uint32_t WordReader::ReadAfresh(std::uint64_t hash, std::size_t first, std::size_t letters,
                                     bool marked, bool chat) {
    const std::u16string key = key_;
    const std::u16string_view key_view(key);
    WordReading reading;
    if (shared_ == nullptr || !shared_->kept_->Find(key, hash, reading)) {
        reading =
            Weigh(key_view.substr(first, letters),
                  marked ? key_view.substr(first + letters + 1) : std::u16string_view(), chat);
        KeepFirstChoice(reading);
        if (shared_ != nullptr) {
            shared_->kept_->Keep(key, hash, reading);
        }
    }
    spelled_characters_ += reading.fixed.size() + reading.converted.size();
    if (cache_.size() == kWordWeights.most_remembered / 2) {
        // The words read between two looks at the bound (a phrase's, and
        // those judged with it) need room beyond it, not a doubling.
        cache_.Reserve(kWordWeights.most_remembered + 4096);
    }
    return cache_.Add(key, hash, std::move(reading));
}

bool WordReader::ReadsAsGreek(std::u16string_view typed, float most) {
    const WordReading& reading = ReadingOf(typed);
    return std::any_of(reading.choices.begin(), reading.choices.end(), [&](const Choice& c) {
        const GreekModel::Word* word = model_.WordAt(c.word);
        return c.cost == 0 || (c.cost <= most && word != nullptr && model_.Frequency(*word) > 0);
    });
}

std::u16string WordReader::Converted(std::u16string_view typed) const {
    if (source_ == ReadingStream::Source::Greek) {
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
std::u16string WordReader::ByEnding(std::u16string_view plain) const {
    if (plain.size() <= kWordWeights.shortest_ending ||
        !std::all_of(plain.begin(), plain.end(), IsGreekLetter)) {
        return {};
    }
    const auto [known, length] = model_.LongestEnding(plain);
    if (known == nullptr || length < kWordWeights.shortest_ending || length >= plain.size()) {
        return {};
    }
    const GreekModel::Spelling spelling = model_.Letters(*known);
    const std::u16string_view letters = spelling;
    const std::u16string_view ending = letters.substr(letters.size() - length);
    if (std::none_of(ending.begin(), ending.end(), IsAccented)) {
        return {};
    }
    std::u16string spelled(plain);
    const std::size_t start = plain.size() - length;
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t typed = plain[start + i];
        const char16_t meant = ending[i];
        char16_t letter = PlainLetter(meant) == u'η' && typed == u'ι' ? u'η' : typed;
        if (IsAccented(meant)) {
            letter = WithTonos(letter);
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
double WordReader::WordScore(std::uint32_t number) const {
    const GreekModel::Word* word = model_.WordAt(number);
    const double count = word == nullptr ? 0
                                         : static_cast<double>(model_.Frequency(*word)) +
                                               model_.EverydayCount(number);
    return std::log((count + 0.1) / running_words_);
}

void WordReader::SortFoundBestFirst() {
    std::sort(found_.begin(), found_.end(),
              [](const Choice& a, const Choice& b) { return a.score > b.score; });
}

bool WordReader::WrittenOut(std::u16string_view typed) {
    std::u16string lower(typed);
    std::transform(lower.begin(), lower.end(), lower.begin(), ReadingLower);
    if (!Laughter(lower).empty()) {
        return true;
    }
    if (!chat_ || lower.size() > kLongestAbbreviation) {
        return false;
    }
    return !ChatWord(PlainForm(Converted(lower))).empty();
}

WordReading WordReader::Weigh(std::u16string_view lower, std::u16string_view marked, bool chat) {
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
                        {number, 0, WordScore(number), GreekModel::EndingOf(written), word});
                    break;
                }
            }
            return reading;
        }
    }
    found_.clear();
    if (lower.size() <= kWordWeights.longest_word && model_.Root() != nullptr) {
        FollowFromRoot(lower, 0);
        if (found_.empty() && source_ == ReadingStream::Source::Latin) {
            Mend(lower, reading);
        }
    }
    if (!marked.empty()) {
        // The accent where the user put it: only words stressed there.
        const std::uint8_t stress = StressRank(marked);
        std::erase_if(found_, [&](const Choice& choice) {
            const GreekModel::Word* word = model_.WordAt(choice.word);
            return word == nullptr || word->Stress() != stress;
        });
    }
    // Best first by the word alone; a phrase weighs the likeliest only.
    for (Choice& choice : found_) {
        choice.score = WordScore(choice.word) - kWordWeights.cost_weight * choice.cost;
        if (const GreekModel::Word* word = model_.WordAt(choice.word)) {
            choice.ending = GreekModel::EndingOf(model_.Letters(*word));
            choice.entry = *word;
        }
    }
    SortFoundBestFirst();
    for (const Choice& choice : found_) {
        if (reading.choices.size() == kWordWeights.most_choices ||
            choice.score < found_.front().score - kWordWeights.widest_margin) {
            break;
        }
        reading.choices.push_back(choice);
    }
    if (source_ == ReadingStream::Source::Latin && lower.size() >= 2 &&
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
                       model_.Frequency(*word) +
                               std::min(model_.EverydayCount(c.word), kWordWeights.in_use) >=
                           kWordWeights.in_use &&
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
                       ((c.cost <= kWordWeights.as_typed && share >= kWordWeights.rare_word) ||
                        (c.cost <= kWordWeights.common_as_typed &&
                         share >= kWordWeights.common_word));
            });
    }
    if (reading.choices.empty()) {
        // An unknown word: its likeliest letters rather than the plain
        // conversion's (u is υ more often than θ), with an accent when a
        // known ending lends one.
        if (source_ == ReadingStream::Source::Latin &&
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

void WordReader::Mend(std::u16string_view lower, WordReading& reading) {
    if (lower.size() > kWordWeights.longest_mended ||
        !std::all_of(lower.begin(), lower.end(), [](char16_t c) { return c < 0x80; })) {
        return;
    }
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
        FollowFromRoot(collapsed, kWordWeights.emphasis_cost);
    }
    const std::u16string_view word = emphasis ? std::u16string_view(collapsed) : lower;
    if (found_.empty() && word.size() >= kWordWeights.shortest_slipped) {
        FollowFromRoot(word, emphasis ? kWordWeights.emphasis_cost : 0, true);
        // Only to a word in use; rarer words are as likely another slip.
        std::erase_if(found_,
                      [&](const Choice& c) { return WordScore(c.word) < kWordWeights.slip_word; });
    }
    if (!found_.empty()) {
        reading.mended = true;
        return;
    }
    // Two words typed as one (denxerw): each common, read as typed.
    if (word.size() < kWordWeights.shortest_split) {
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
            FollowFromRoot(half == 0 ? word.substr(0, cut) : word.substr(cut), 0);
            double half_best = -1e300;
            for (const Choice& c : found_) {
                const double alone = WordScore(c.word);
                const double value = alone - kWordWeights.cost_weight * c.cost;
                const GreekModel::Word* known = model_.WordAt(c.word);
                if (alone >= kWordWeights.split_word && value > half_best && known != nullptr &&
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
        const bool together = both && (model_.PairCount(halves[0], halves[1]) > 0 ||
                                       (WordScore(halves[0]) >= kWordWeights.very_common_word &&
                                        WordScore(halves[1]) >= kWordWeights.very_common_word));
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

}  // namespace internal
}  // namespace bivano
