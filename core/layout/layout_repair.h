// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bivano {
class GreekModel;
}

namespace bivano::layout {

// How likely a word's letters follow one another in Greek words and in
// English ones, by the pairs of neighbouring letters (a word's edges
// count as a letter): learnt from the model's words in use and its English
// words.
class LetterPairs {
  public:
    explicit LetterPairs(const GreekModel& model);
    // The mean of the natural logarithms over the word's pairs; other
    // characters than letters count as very unlikely.
    double Greek(std::u16string_view word) const;
    double English(std::u16string_view word) const;

  private:
    static constexpr std::size_t kGreekSymbols = 27;    // an edge, α to ω with ς, other
    static constexpr std::size_t kEnglishSymbols = 28;  // an edge, a to z, other
    std::array<float, kGreekSymbols * kGreekSymbols> greek_{};
    std::array<float, kEnglishSymbols * kEnglishSymbols> english_{};
};

// What one run of letters says about the keyboard it was typed on.
enum class Verdict : std::uint8_t {
    Rewrite,  // its other reading is plainly the one meant ("Kalhm;era", "ηελλο")
    Keep,     // it is right as it is ("Καλημέρα", "hello")
    Likely,   // only the other reading is a word, but a short one, or one that
              // Greeklish gives too ("kai" for και): rewritten when a run near
              // it on its line is
    Weak,     // both readings are words ("to", "toy" for του): it goes the way
              // of the nearer decided run around it
    Neutral,  // neither reading is a word: Latin letters stay; Greek letters
              // go the way of the nearer decided run ("μεταδατα" among English)
};

// Repairs text typed with the wrong keyboard layout active, by the Greek
// layout of kGreekKeys: runs of Latin letters that spell Greek on the Greek
// layout become Greek ("Kalhm;era" -> "Καλημέρα"), runs of Greek letters
// that spell English on the US layout become Latin ("ηελλο" -> "hello").
// A run is rewritten when its other reading is a known word and its own is
// not, or when the other reading is plainly better by its letter pairs;
// where both readings are words, or the other is a short word, it follows
// the runs around it on its line. Runs joined without a blank by . @ / -
// and the like (web and e-mail addresses) go together. Nothing else
// changes. The model must outlive the repairer.
class LayoutRepairer {
  public:
    explicit LayoutRepairer(const GreekModel& model);
    ~LayoutRepairer();
    LayoutRepairer(LayoutRepairer&&) noexcept;

    // Appends the repaired `line` (which holds no line break but perhaps
    // at its end) to `out`.
    void RepairLine(std::u16string_view line, std::u16string& out);

    // The verdict on one run of Latin or Greek letters standing alone.
    Verdict Judge(std::u16string_view run);

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// A repairer over a text that arrives in pieces: a line at a time (a line
// longer than kLongestLine is cut at its last blank before that, or there),
// so that the output adds up to the same for any pieces.
class LayoutStream {
  public:
    explicit LayoutStream(const GreekModel& model);
    ~LayoutStream();
    LayoutStream(LayoutStream&&) noexcept;

    void Convert(std::u16string_view piece, std::u16string& out);
    void Finish(std::u16string& out);

    static constexpr std::size_t kLongestLine = 16384;

  private:
    // Repairs the whole lines at the start of `text` (all of it when
    // `final`); how many characters they took.
    std::size_t RepairLines(std::u16string_view text, std::u16string& out, bool final);
    LayoutRepairer repairer_;
    std::u16string held_;  // the start of a line, less than kLongestLine, without a line end
};

// Where the first line break (U+000A) of `text` is, npos for none: "ab\ncd"
// -> 2; "\u0A0A\u010A" -> npos.
std::size_t FindLineEnd(std::u16string_view text);

// The whole text at once.
std::u16string RepairLayout(std::u16string_view text, const GreekModel& model);

}  // namespace bivano::layout
