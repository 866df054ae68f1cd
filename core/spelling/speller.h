// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/encoding.h"
#include "core/spelling/greek_model.h"

namespace bivano {

// Reads Greek as people type it, in Latin letters or in Greek ones without
// accents, and writes it correctly spelled and accented:
//   "Kalhmera ti kaneis?" -> "Καλημέρα τι κάνεις;",
//   "8a to kanw auto"     -> "θα το κάνω αυτό", "KALIMERA" -> "ΚΑΛΗΜΕΡΑ".
// Each typed word is followed through every Greek reading of its letters
// (i, h, y, ei, oi for the i sounds, o and w, e and ai, u as υ, ου or θ, v
// as β or ω, x as χ or ξ, h as η or χ, th and 8 as θ, ks, 3 and x as ξ, ps
// and c as ψ, b and d and g as μπ, ντ and γκ, a consonant typed once for
// two) to the dictionary's words; among the words of a phrase, the choice
// is the likeliest sequence by how often words follow one another in
// running Greek text. A word stressed on the third syllable from the end
// takes a second accent before an enclitic ("το σύστημά σας"). A word the
// dictionary does not know takes the accent of the known word that ends
// most like it (εγκαταστάτης from -στάτης), or stays as the plain
// conversion writes it.
class GreekSpeller {
  public:
    // A speller over a model (see GreekModel::FromBytes; the builder,
    // model_builder/, makes models).
    explicit GreekSpeller(std::unique_ptr<GreekModel> model);

    // Every byte of a word list costs some 40 in the model made from it
    // (model_builder/): a larger list is refused rather than exhausting
    // memory. Debian's Greek list has 10 MB.
    static constexpr std::size_t kLargestWordList = std::size_t{64} << 20;

    // From the bytes of a model file, which `owner` keeps alive; nothing,
    // with `failure` (when given) saying why, when they are no model
    // (Cause::NotAModel).
    static std::unique_ptr<GreekSpeller> FromModelBytes(std::span<const std::byte> bytes,
                                                        std::shared_ptr<const void> owner,
                                                        Failure* failure = nullptr);

    // Where Debian's hunspell-el puts the Greek word list, and wamerican
    // the English one.
    static constexpr const char* kHunspellGreek = "/usr/share/hunspell/el_GR.dic";
    static constexpr const char* kEnglishWords = "/usr/share/dict/american-english";

    // Spells the Greek words of `text`; a "?" right after a Greek word
    // becomes the Greek question mark ";".
    std::u16string Spell(std::u16string_view text) const;

    std::size_t WordCount() const { return model_->WordCount(); }
    // Of those, the words the list itself gave.
    std::size_t ListWordCount() const { return model_->ListWordCount(); }
    const GreekModel& Model() const { return *model_; }

  private:
    std::unique_ptr<GreekModel> model_;
};

namespace internal {
class WordReader;
}

// The words read so far by streams that read parts of one text on several
// threads (ReadingStream::ReadPart): a word new to one stream that another
// has read is not read again. Its memory is bounded.
class SharedReadings {
  public:
    SharedReadings();
    ~SharedReadings();
    SharedReadings(const SharedReadings&) = delete;
    SharedReadings& operator=(const SharedReadings&) = delete;

  private:
    friend class internal::WordReader;
    struct Kept;
    std::unique_ptr<Kept> kept_;
};

// A part of a text that reads the same alone as within the text.
struct ReadingPart {
    std::u16string text;
    // The last character before the part that is no blank, or a line
    // break; a line break at the text's start.
    char16_t before = u'\n';
    bool last = false;  // the text's end
};

// Cuts a text arriving in pieces where no reading reaches across: after a
// line break, or after a blank that follows punctuation, never inside a
// group between asterisks; where there is no such place for 64 Ki
// characters, at the end of the piece.
//   ReadingCutter cutter;
//   cutter.Add(piece); while (cutter.Next(part)) ...;   // for each piece
//   cutter.Finish(part);                                // then the end
class ReadingCutter {
  public:
    // Parts as long as the text up to the last place to cut allows, or
    // about `longest_part` characters long where it has places enough.
    explicit ReadingCutter(std::size_t longest_part = std::u16string::npos)
        : longest_part_(longest_part) {}

    void Add(std::u16string_view piece) {
        AddWritten([piece](std::u16string& held) { held.append(piece); });
    }
    // The same, the piece written by `write` at the end of the text held,
    // where it is kept: no copy of it.
    template <class Write>
    void AddWritten(Write write) {
        held_.erase(0, taken_);
        taken_ = 0;
        write(held_);
        FindReady();
    }
    // The next part that can be read now, if any.
    bool Next(ReadingPart& part);
    // All that is left once Next gives none, as the last part.
    void Finish(ReadingPart& part);

  private:
    void FindReady();
    void Cut(std::size_t length, bool last, ReadingPart& part);
    std::size_t longest_part_;
    std::u16string held_;
    std::size_t taken_ = 0;  // the characters of held_ given out
    std::size_t ready_ = 0;  // and those after them that can be
    char16_t before_ = u'\n';
};

// Reads a text that arrives in pieces, a phrase at a time, holding back the
// phrase that the end of a piece may cut. The output adds up to the same
// for any pieces.
//   Latin: Latin letters (the source of "Ελληνικά"); web and e-mail
//     addresses, acronyms in Latin capitals (LVM) and English words that
//     read as no Greek word in use stay as typed, and so do the groups
//     between asterisks, without them, as the plain conversion keeps them.
//   Greek: Greek letters without accents; anything else stays as it is.
// With `chat`, the common chat abbreviations are written out where they
// stand alone as words: k και, dn δεν, m μου, s σου, p που, gt γιατί, tpt
// τίποτα, dld δηλαδή, tlk τελικά, ntks εντάξει, kl καλά, smr σήμερα, tespa
// τέλος πάντων (not in μ'αρέσει, π.χ.). Laughter (xaxa, haha) is written as
// laughter in Greek letters (χαχα) whether or not.
//
// A long text may also be read on several threads: a ReadingCutter cuts it
// into parts as Read would, each part is read by ReadPart of any stream
// over the same speller, source and chat (one stream a thread), and a
// PartsInOrder puts the parts' readings together, in the text's order, into
// what Read and Finish give.
class ReadingStream {
  public:
    enum class Source { Latin, Greek };
    // `shared`, when given, outlives the stream.
    ReadingStream(const GreekSpeller& speller, Source source, bool chat = false,
                  SharedReadings* shared = nullptr);
    ~ReadingStream();
    ReadingStream(ReadingStream&&) noexcept;

    void Read(std::u16string_view piece, std::u16string& out);
    void Finish(std::u16string& out);

    // What a part read apart leaves to the parts before it: the sentences
    // it starts with a word typed with a digit first (8a) take a capital
    // when the sentence before began with one.
    struct PartReading {
        // Where such words stand in the part's reading (from its first
        // character), before any sentence of the part began with a letter.
        std::vector<std::size_t> capital_if_before;
        // Whether the part's last sentence that began with a letter began
        // with a capital; nothing when none did.
        std::optional<bool> capital_after;
    };
    // Reads one part of a ReadingCutter's into `out`, which it adds to.
    // Not to be mixed with Read on the same stream.
    PartReading ReadPart(const ReadingPart& part, std::u16string& out);

  private:
    class Reader;
    std::unique_ptr<Reader> reader_;
    ReadingCutter cutter_;
    ReadingPart part_;  // Read's and Finish's
};

// Puts the readings of a text's parts read apart (ReadingStream::ReadPart)
// together: given in the text's order, each becomes what a stream reading
// the whole text would write for it.
class PartsInOrder {
  public:
    void Next(const ReadingStream::PartReading& how, std::u16string& reading);

  private:
    bool capital_starts_ = false;
};

}  // namespace bivano
