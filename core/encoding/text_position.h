// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace bivano {

// Where a character stands in a text, as an editor shows it: line and
// column, both from 1. A line ends at LF, at CR LF or at a CR alone; a
// column counts characters, a surrogate pair as one.
struct TextPlace {
    std::size_t line = 1;
    std::size_t column = 1;
};

// Counts lines and columns through a text that arrives in pieces; a CR LF
// may straddle two.
class TextPosition {
  public:
    void Step(char16_t unit) {
        if (unit == u'\n' && after_cr_) {
            after_cr_ = false;
            return;
        }
        after_cr_ = unit == u'\r';
        if (unit == u'\n' || unit == u'\r') {
            ++line_;
            column_ = 0;
        } else if (unit < 0xDC00 || unit > 0xDFFF) {  // the second half of a pair adds none
            ++column_;
        }
    }
    void Advance(std::u16string_view text);
    // The place of the next character.
    TextPlace Next() const { return {line_, column_ + 1}; }
    std::size_t line() const { return line_; }

  private:
    std::size_t line_ = 1;
    std::size_t column_ = 0;
    bool after_cr_ = false;
};

// The last few pieces of a text that arrives in pieces, each with the
// place it starts at, so that a character met in a later stage (one that
// cannot be written, say) can be traced back to where the input had it.
// Memory stays within the pieces kept.
class RecentText {
  public:
    explicit RecentText(std::size_t pieces_kept = 3) : pieces_kept_(pieces_kept) {}

    // Takes the next piece (moved in: no copy).
    void Add(std::u16string piece);

    // The place of the first character on `line`, among the text kept, that
    // `matches` (a code point) holds for; nothing when there is none.
    template <class Match>
    std::optional<TextPlace> Find(std::size_t line, Match matches) const {
        for (const Piece& piece : pieces_) {
            TextPosition position = piece.start;
            for (std::size_t at = 0; at < piece.text.size() && position.line() <= line; ++at) {
                const char16_t unit = piece.text[at];
                char32_t code = unit;
                if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < piece.text.size() &&
                    piece.text[at + 1] >= 0xDC00 && piece.text[at + 1] <= 0xDFFF) {
                    code =
                        0x10000 + ((char32_t{unit} - 0xD800) << 10) + (piece.text[at + 1] - 0xDC00);
                }
                if (position.line() == line && unit != u'\n' && unit != u'\r' && matches(code)) {
                    return position.Next();
                }
                position.Step(unit);
            }
        }
        return std::nullopt;
    }

  private:
    struct Piece {
        TextPosition start;
        std::u16string text;
    };
    std::size_t pieces_kept_;
    std::deque<Piece> pieces_;
    TextPosition end_;
};

}  // namespace bivano
