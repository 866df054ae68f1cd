// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace bivano {

// How xi, theta, psi and omega are spelled in Latin letters. The enumerators
// stand in the order of the options dialog's buttons, top to bottom.
enum class XiForm { Xi3, XiJ, XiKS };
enum class ThetaForm { Theta8, ThetaU, ThetaTH };
enum class PsiForm { PsiC, PsiPS };
enum class OmegaForm { OmegaW, OmegaV };
// How "Ελληνικά" writes its result: as the letters were written, or with
// accents and correct spelling from a dictionary.
enum class GreekSpelling { AsWritten, Accented };

// The four spelling choices of the Greek-to-Latin conversion, and how the
// Latin-to-Greek one spells. A default-made record holds the first choice of
// every group: Xi3, Theta8, PsiC, OmegaW, AsWritten.
struct ConversionOptions {
    XiForm xi = XiForm::Xi3;
    ThetaForm theta = ThetaForm::Theta8;
    PsiForm psi = PsiForm::PsiC;
    OmegaForm omega = OmegaForm::OmegaW;
    GreekSpelling greek = GreekSpelling::AsWritten;

    friend bool operator==(const ConversionOptions&, const ConversionOptions&) = default;
};

}  // namespace bivano
