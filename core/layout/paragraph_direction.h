// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lativo/conversion_options.h"
#include "core/lativo/conversion_stream.h"
#include "core/spelling/speller.h"

namespace bivano::layout {

// Which way a line of mixed text goes.
enum class LineWay {
    Unchanged,  // neither Greek letters nor Greeklish (English, numbers)
    ToLatin,    // mostly Greek letters
    ToGreek,    // Greeklish
};

// Judges a line by its words: mostly Greek letters goes to Latin letters;
// Latin letters go to Greek unless at least 60% of their words are
// English words of the model's list (without a model, Latin letters stay).
// A line of
// fewer than two words says too little and gives nothing.
std::optional<LineWay> JudgeLine(std::u16string_view line, const GreekModel* model);

// Converts each line the way its words show: Greek letters to Latin ones
// (as LatinStream with `options`), Greeklish to Greek (with accents and
// spelling when a speller is given, as ReadingStream reads Latin letters),
// and anything else not at all. A line that says too little goes the way
// of the line before it in its paragraph (no blank line between), and
// stays as it is when there is none. A line is judged by its first
// kSample characters, so that the output adds up to the same for any
// pieces.
class ParagraphStream {
  public:
    ParagraphStream(const ConversionOptions& options, const GreekSpeller* speller, bool chat);
    ~ParagraphStream();
    ParagraphStream(ParagraphStream&&) noexcept;

    void Convert(std::u16string_view piece, std::u16string& out);
    void Finish(std::u16string& out);

    static constexpr std::size_t kSample = 4096;

  private:
    void Judge(std::u16string_view start);
    void Feed(std::u16string_view text, std::u16string& out);
    void EndLine(std::u16string& out);
    bool IsEnglish(std::string_view lower);

    // The model's answers for recent words, one for each place of a small
    // table: the lines of a text ask of the same words again and again,
    // and each question to the model searches its whole English list.
    struct EnglishAnswer {
        static constexpr std::size_t kLongest = 15;
        std::array<char, kLongest> letters{};
        std::uint8_t length = 0xFF;  // nothing yet
        bool english = false;
    };

    LatinStream latin_;
    GreekStream greek_;
    std::optional<ReadingStream> reading_;
    const GreekModel* model_;
    std::u16string held_;                     // the start of a line not yet judged
    std::optional<LineWay> way_;              // the current line's, once judged
    LineWay paragraph_ = LineWay::Unchanged;  // the way of the paragraph's last judged line
    static constexpr std::size_t kEnglishPlaces = 16384;  // a power of two
    std::vector<EnglishAnswer> english_ = std::vector<EnglishAnswer>(kEnglishPlaces);
};

}  // namespace bivano::layout
