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
#include "core/lativo/text_range.h"

namespace bivano {

// Turns Greek written without accents and with the letters that Latin
// spelling confuses into correctly spelled, accented Greek, word by word:
//   "Καλιμερα τι κανεις?" -> "Καλημέρα τι κάνεις;", "KALIMERA" -> "ΚΑΛΗΜΕΡΑ",
//   "Ελα" -> "Έλα". A word the dictionary does not know stays as it is.
// A word is looked up by a key that folds case, accents, diaeresis, final
// sigma and the vowels that sound alike ({η, ι, υ, ει, οι, υι}, {ο, ω},
// {ε, αι}); among the words sharing it, one written with the same letters
// wins, then the most frequent.
class GreekSpeller {
  public:
    // From a list of correctly spelled words; frequencies come from the
    // program's own table.
    explicit GreekSpeller(const std::vector<std::u16string>& words);

    // Why a word list could not be used.
    enum class Problem {
        None,
        Unreadable,       // missing, unreadable, empty or over 1 GiB
        UnknownEncoding,  // its .aff names an encoding other than UTF-8 or ISO8859-7
        WrongEncoding,    // its bytes are not in the encoding it is in
        NoGreekWords,     // not a Greek word list
    };

    // Reads a hunspell word list: a count on the first line, then one word
    // a line (anything from a "/" on is dropped), in the encoding that the
    // SET line of the .aff file beside it names (UTF-8 or ISO8859-7, as
    // Debian's el_GR has it). Without an .aff, well-formed UTF-8 is read as
    // such and anything else as ISO-8859-7. Nothing, with `problem` saying
    // why, when the list cannot be used: never a speller that reads its
    // words wrong.
    static std::unique_ptr<GreekSpeller> FromHunspellFile(const std::string& path,
                                                          Problem* problem = nullptr);
    // Where Debian's hunspell-el puts the Greek word list.
    static constexpr const char* kHunspellGreek = "/usr/share/hunspell/el_GR.dic";

    // Spells every word of Greek letters in `text` outside `kept` (ranges in
    // rising order, as a conversion reports them); a "?" right after a Greek
    // word becomes the Greek question mark ";". A word stressed on the third
    // syllable from the end takes a second accent before an enclitic:
    // before μου, σου, μας, σας always ("το σύστημά σας"), before του,
    // της, τους, τον, την, το, τα, τις, τη when the enclitic ends a phrase
    // ("το όνομά του.", not "το σύστημα του υπολογιστή").
    std::u16string Spell(std::u16string_view text, std::span<const TextRange> kept = {}) const;
    // The same for text[0, end), looking past `end` for the word that follows.
    // With `chat`, the common chat abbreviations are written out first:
    // κ και, γτ γιατί, τπτ τίποτα, δλδ δηλαδή, τλκ τελικά, ντξ εντάξει.
    void SpellInto(std::u16string_view text, std::size_t end, std::span<const TextRange> kept,
                   std::u16string& out, bool chat = false) const;

    // One word of Greek letters, spelled; the word itself when unknown.
    std::u16string SpellWord(std::u16string_view word) const;
    // Whether the list has a word for it, under any reading of its letters.
    bool Knows(std::u16string_view word) const;

    std::size_t WordCount() const { return entries_.size(); }
    // Of those, the words the list itself gave.
    std::size_t ListWordCount() const { return list_words_; }

  private:
    class Builder;
    // From the bytes of a hunspell list in `encoding`.
    GreekSpeller(std::string_view hunspell_list, Encoding encoding);

    struct Entry {
        std::uint32_t offset;  // into words_
        std::uint16_t length;
        std::uint32_t frequency;
        bool lower_case;
    };
    // The words that share one key: entries_[first, first + count).
    struct Group {
        std::uint32_t key_offset;  // into keys_
        std::uint16_t key_length;
        std::uint32_t first;
        std::uint32_t count;
    };

    std::u16string_view Word(const Entry& entry) const {
        return std::u16string_view(words_).substr(entry.offset, entry.length);
    }
    const Entry* Best(std::u16string_view plain) const;
    // The best word for a plain word under any reading of its letters.
    const Entry* Lookup(std::u16string_view plain) const;
    // The slot of `key`'s group, or the empty slot where it would go.
    std::uint64_t& Slot(std::u16string_view key);
    static std::uint64_t Packed(std::u16string_view key, std::uint32_t number);
    // The group's number plus one, or 0 for a key no word has.
    std::uint32_t Find(std::u16string_view key) const;

    // An unknown word spelled from the known word that ends most like it:
    // εγκαταστατης takes its accent from -στάτης. Nothing when none is close.
    std::optional<std::u16string> SpellByEnding(std::u16string_view plain) const;

    // The words in use (the frequency table's), by their ending: each is
    // the reversed word with its vowels folded to their class, pointing at
    // the word as written.
    struct Ending {
        std::u16string reversed_class;
        std::u16string word;
    };
    std::vector<Ending> endings_;

    std::u16string words_;        // every word, one after another
    std::u16string keys_;         // every distinct key, one after another
    std::vector<Entry> entries_;  // grouped by key, best first
    std::vector<Group> groups_;
    // Open addressing over the keys: a group's number plus one with part of
    // its key's hash, or 0.
    std::vector<std::uint64_t> slots_;
    std::size_t list_words_ = 0;
};

// Spells a text that arrives in pieces, holding back a word cut by the end
// of a piece. The output adds up to what GreekSpeller::Spell gives for the
// whole text.
class SpellingStream {
  public:
    explicit SpellingStream(const GreekSpeller& speller, bool chat = false)
        : speller_(speller), chat_(chat) {}

    // Appends to `out` the spelling of `piece`; `kept` are ranges of the
    // piece to leave as they are.
    void Spell(std::u16string_view piece, std::span<const TextRange> kept, std::u16string& out);
    void Finish(std::u16string& out);

  private:
    const GreekSpeller& speller_;
    bool chat_;
    std::u16string held_;  // a word, perhaps cut off
    std::vector<TextRange> held_kept_;
};

}  // namespace bivano
