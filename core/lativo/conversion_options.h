// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace bivano {

// How xi, theta, psi and omega are spelled in Latin letters. The enumerators
// stand in the order of the options dialog's buttons, top to bottom.
enum class XiForm { Xi3, XiJ, XiKS };
enum class ThetaForm { Theta8, ThetaU, ThetaTH };
enum class PsiForm { PsiC, PsiPS };
enum class OmegaForm { OmegaW, OmegaV };
// How Greek is written in Latin letters: Lativo's own way, with the four
// choices below, or by a published standard.
enum class LatinScheme {
    Lativo,   // the program's own: 8alassa, 3enos, cyxh
    Elot743,  // ELOT 743 / ISO 843 transcription (passports; UN, BGN/PCGN 1996): Thalassa
    Iso843,   // ISO 843 transliteration, reversible, with its diacritics: thálassa
    AlaLc,    // Library of Congress (ALA-LC) for Modern Greek: thalassa, Athēna
    Bgn1962,  // BGN/PCGN 1962, for place names, with the stress: thálassa, Kérkira
    Slug,     // lower-case ASCII from ELOT 743, other signs as single hyphens: thalassa-2024
};

// How "Ελληνικά" writes its result: as the letters were written, or with
// accents and correct spelling from a dictionary.
enum class GreekSpelling { AsWritten, Accented };

// The four spelling choices of the Greek-to-Latin conversion, how the
// Latin-to-Greek one spells, and the scheme. A default-made record holds
// the first choice of every group: Xi3, Theta8, PsiC, OmegaW, AsWritten,
// Lativo.
struct ConversionOptions {
    XiForm xi = XiForm::Xi3;
    ThetaForm theta = ThetaForm::Theta8;
    PsiForm psi = PsiForm::PsiC;
    OmegaForm omega = OmegaForm::OmegaW;
    GreekSpelling greek = GreekSpelling::AsWritten;
    // Under any scheme but Lativo the four choices above change nothing.
    LatinScheme scheme = LatinScheme::Lativo;

    friend bool operator==(const ConversionOptions&, const ConversionOptions&) = default;
};

// The schemes by their names on the command line: "lativo", "elot743",
// "iso843", "alalc", "bgn1962", "slug".
std::string_view SchemeName(LatinScheme scheme);
std::optional<LatinScheme> SchemeFromName(std::string_view name);
inline constexpr LatinScheme kAllSchemes[] = {LatinScheme::Lativo,  LatinScheme::Elot743,
                                              LatinScheme::Iso843,  LatinScheme::AlaLc,
                                              LatinScheme::Bgn1962, LatinScheme::Slug};

}  // namespace bivano
