// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/lativo/conversion_options.h"

namespace bivano::internal {

// Greek to Latin letters by a published standard (every scheme but Lativo,
// whose rules are ToLatinRules). The standards read whole words: whether
// μπ starts a word, what follows αυ, whether a word is all capitals. So the
// text is taken in words, a word cut by the end of a piece is held back,
// and everything that is no Greek word passes unchanged (for Slug, as
// hyphens). Whatever the pieces, the output adds up to the same, but for a
// word of over 65,536 letters, which is taken as ending where a piece ends.
//
//   ELOT 743:  "Θεσσαλονίκη" -> "Thessaloniki", "ΘΕΣΣΑΛΟΝΙΚΗ" -> "THESSALONIKI",
//              "αύριο" -> "avrio", "ευχαριστώ" -> "efcharisto", "Μπαμπάς" -> "Bampas"
//   ISO 843:   "Θεσσαλονίκη" -> "Thessaloníkī", "ώρα" -> "ṓra", "αυτός" -> "autós"
//   ALA-LC:    "Αθήνα" -> "Athēna", "Φιλοσοφία" -> "Philosophia", "Μπάμπης" -> "Bampēs"
//   BGN/PCGN:  "Κέρκυρα" -> "Kérkira", "Άγιος Γεώργιος" -> "Áyios Yeóryios"
//   Slug:      "Θεσσαλονίκη, 2024!" -> "thessaloniki-2024"
class Romanizer {
  public:
    explicit Romanizer(LatinScheme scheme) : scheme_(scheme) {}

    // Appends what `piece` gives, holding back a word that may go on.
    void Convert(std::u16string_view piece, std::u16string& out);
    // Appends what was held back, as the text's end.
    void Finish(std::u16string& out);

    // A Greek letter as the standards see it: the small monotonic letter
    // (σ for ς too), its case, and its marks.
    struct Letter {
        char16_t base;
        bool upper = false;
        bool tonos = false;
        bool diaeresis = false;
    };

  private:
    // Appends what `text` gives and returns how much of it was taken: all
    // but a word that may go on, unless `final`.
    std::size_t Run(std::u16string_view text, bool final, std::u16string& out);
    void Emit(std::u16string_view text, std::u16string& out);

    LatinScheme scheme_;
    std::u16string held_;
    std::vector<Letter> word_;  // kept from word to word for its room
    std::u16string word_out_;
    // Slug: a hyphen waits for the next letter or digit of its line.
    bool hyphen_waiting_ = false;
    bool line_has_text_ = false;
};

}  // namespace bivano::internal
