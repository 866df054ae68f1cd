// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace bivano::internal {

// How often Greek words occur in Greek text of Debian's packages: lines of
// "word count" in UTF-8, lower case with accents, most frequent first.
std::string_view GreekWordFrequencies();
// How often one word follows another there: lines of "first second count".
std::string_view GreekWordPairs();

}  // namespace bivano::internal
