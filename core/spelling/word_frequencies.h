// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace bivano::internal {

// How often Greek words occur in Greek text of Debian's packages: lines of
// "word count" in UTF-8, lower case with accents, most frequent first.
std::string_view GreekWordFrequencies();

}  // namespace bivano::internal
