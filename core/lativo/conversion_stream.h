// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/lativo/conversion_options.h"
#include "core/lativo/text_range.h"

namespace bivano {

// The two conversions over a text that arrives in pieces of any size, for
// texts too large to hold at once. Whatever the pieces, the output adds up
// to what ConvertToLatin and ConvertToGreek return for the whole text,
// without the four line breaks and the credit line, and nothing is reported
// along the way. A pair of surrogates, a CR LF pair or a group between
// asterisks may straddle two pieces.
//
//   LatinStream latin({});
//   latin.Convert(u"θάλα", out); latin.Convert(u"σσα", out); latin.Finish(out);
//   // out == u"8alassa"

class LatinStream {
  public:
    explicit LatinStream(const ConversionOptions& options = {});
    ~LatinStream();
    LatinStream(LatinStream&&) noexcept;
    LatinStream& operator=(LatinStream&&) noexcept;

    // Appends the conversion of `piece` to `out`.
    void Convert(std::u16string_view piece, std::u16string& out);
    // Appends what is still held back: nothing under Lativo, a last word
    // under the published schemes.
    void Finish(std::u16string& out);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The same for Latin letters to Greek, which reads every spelling: the
// options change nothing.
class GreekStream {
  public:
    explicit GreekStream(const ConversionOptions& options = {});
    ~GreekStream();
    GreekStream(GreekStream&&) noexcept;
    GreekStream& operator=(GreekStream&&) noexcept;

    // Appends to `out` the conversion of as much as the rules' look-ahead
    // allows; up to a few dozen characters are held back for the next piece.
    void Convert(std::u16string_view piece, std::u16string& out);
    // Appends the conversion of what was held back, as the text's end.
    void Finish(std::u16string& out);

    // Where in `out` the last Convert or Finish put the groups it copied
    // between asterisks, so that a later pass can leave them alone.
    std::span<const TextRange> VerbatimGroups() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace bivano
