// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "core/lativo/conversion_options.h"
#include "core/lativo/conversion_progress.h"

namespace bivano {

// Greek letters to Latin letters, one source character at a time, with no
// look-ahead. Every Greek letter gives one Latin letter or digit (two for
// xi, theta and psi under the KS, TH and PS choices); everything else is
// copied unchanged. The result ends with four CR LF pairs and `credit`.
//
// Under the default options (Xi3, Theta8, PsiC, OmegaW):
//   "θάλασσα" -> "8alassa", "ΞΕΝΟΣ" -> "3ENOS", "ψυχή" -> "cyxh",
//   "λόγος" -> "logos", "abc 123" -> "abc 123".
// With KS, TH and PS: "ΞΕΝΟΣ" -> "KsENOS", "θάλασσα" -> "thalassa",
// "ψυχή" -> "psyxh"; with OmegaV: "Ώρα" -> "Vra".
//
// Reports to `progress` as ConversionProgress describes, and additionally
// asks for a progress and result repaint every kLatinRepaintInterval
// characters.
std::u16string ConvertToLatin(std::u16string_view source, const ConversionOptions& options,
                              std::u16string_view credit, ConversionProgress& progress);

// Characters between two repaint requests of ConvertToLatin.
inline constexpr std::size_t kLatinRepaintInterval = 4096;

// The two-letter form of ξ, Ξ, θ, Θ, ψ or Ψ under `options`, or an empty view
// when the character has none there. The second letter is always small:
// Ξ with XiKS -> "Ks", θ with ThetaTH -> "th", Ψ with PsiPS -> "Ps".
std::u16string_view TwoLetterForm(char16_t character, const ConversionOptions& options);

}  // namespace bivano
