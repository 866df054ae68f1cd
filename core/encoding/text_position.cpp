// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_position.h"

#include <algorithm>
#include <cstdint>

namespace bivano {

void TextPosition::Advance(std::u16string_view text) {
    while (after_cr_ && !text.empty()) {  // an LF that ends the CR's line
        Step(text.front());
        text.remove_prefix(1);
    }
    // Counted in one pass that the compiler turns into vector code (16-bit
    // counts, a block at a time): most texts have no CR, and then the
    // lines are the LFs.
    std::size_t feeds = 0;
    std::size_t returns = 0;
    std::size_t seconds = 0;  // second halves of surrogate pairs
    constexpr std::size_t kBlock = 0xFFFF;
    for (std::size_t start = 0; start < text.size(); start += kBlock) {
        const char16_t* const block = text.data() + start;
        const std::size_t length = std::min(kBlock, text.size() - start);
        std::uint16_t block_feeds = 0;
        std::uint16_t block_returns = 0;
        std::uint16_t block_seconds = 0;
        for (std::size_t at = 0; at < length; ++at) {
            const char16_t unit = block[at];
            block_feeds += unit == u'\n';
            block_returns += unit == u'\r';
            block_seconds += (unit & 0xFC00) == 0xDC00;
        }
        feeds += block_feeds;
        returns += block_returns;
        seconds += block_seconds;
    }
    if (returns > 0) {
        for (const char16_t unit : text) {
            Step(unit);
        }
        return;
    }
    if (feeds == 0) {
        column_ += text.size() - seconds;
        return;
    }
    line_ += feeds;
    const std::u16string_view last_line = text.substr(text.rfind(u'\n') + 1);
    column_ = 0;
    for (const char16_t unit : last_line) {
        column_ += (unit & 0xFC00) != 0xDC00;
    }
}

void RecentText::Add(std::u16string piece) {
    if (piece.empty()) {
        return;
    }
    if (pieces_.size() == pieces_kept_) {
        pieces_.pop_front();
    }
    const TextPosition start = end_;
    end_.Advance(piece);
    pieces_.push_back({start, std::move(piece)});
}

}  // namespace bivano
