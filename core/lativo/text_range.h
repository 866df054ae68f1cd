// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace bivano {

// A stretch of a text, by code unit offsets [begin, end).
struct TextRange {
    std::size_t begin;
    std::size_t end;
};

}  // namespace bivano
