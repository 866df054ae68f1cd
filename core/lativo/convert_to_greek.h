// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/lativo/conversion_progress.h"
#include "core/lativo/text_range.h"

namespace bivano {

// Latin letters to Greek letters. Every Latin letter gives its Greek letter
// (J, U, C and V/W give ξ, θ, ψ and ω; Q gives a blank), with a few
// look-ahead rules: "th" before a vowel, "ps" and "ks" give θ, ψ and ξ; "u"
// after o or e is υ; a small "s" before a non-letter is ς; a "3" or "8"
// between letters is ξ or θ. Two to nineteen characters between asterisks
// are copied without the asterisks and without conversion. Everything else
// is copied unchanged. The result ends with four CR LF pairs and `credit`.
// No spelling options: every spelling the options offer is read back.
//
//   "thalassa" -> "θαλασσα", "8alassa" -> "θαλασσα", "ths" -> "της",
//   "psomi" -> "ψομι", "ksero" -> "ξερο", "Pws eisai?" -> "Πως εισαι?",
//   "auto" -> "αθτο", "eu" -> "ευ", "a3b" -> "αξβ", "*word* ok" -> "word οκ".
//
// Reports to `progress` as ConversionProgress describes, with a progress
// repaint whenever the position is ten times the repaint counter, and a
// result repaint each time that counter reaches 700.
//
// `verbatim_groups`, when given, receives where the result holds groups that
// were copied between asterisks, so that a later pass can leave them alone.
std::u16string ConvertToGreek(std::u16string_view source, std::u16string_view credit,
                              ConversionProgress& progress,
                              std::vector<TextRange>* verbatim_groups = nullptr);

}  // namespace bivano
