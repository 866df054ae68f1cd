// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/text_position.h"

namespace bivano {

void RecentText::Add(std::u16string_view piece) {
    if (piece.empty()) {
        return;
    }
    if (pieces_.size() == pieces_kept_) {
        // Reuse the oldest piece's buffer: no fresh allocation per piece.
        Piece oldest = std::move(pieces_.front());
        pieces_.pop_front();
        oldest.start = end_;
        oldest.text.assign(piece);
        pieces_.push_back(std::move(oldest));
    } else {
        pieces_.push_back({end_, std::u16string(piece)});
    }
    end_.Advance(piece);
}

}  // namespace bivano
