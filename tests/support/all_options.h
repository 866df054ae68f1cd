// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/lativo/conversion_options.h"

namespace bivano::testing {

// All 36 combinations of the four choices.
inline std::vector<ConversionOptions> AllOptions() {
    std::vector<ConversionOptions> all;
    for (auto xi : {XiForm::Xi3, XiForm::XiJ, XiForm::XiKS}) {
        for (auto theta : {ThetaForm::Theta8, ThetaForm::ThetaU, ThetaForm::ThetaTH}) {
            for (auto psi : {PsiForm::PsiC, PsiForm::PsiPS}) {
                for (auto omega : {OmegaForm::OmegaW, OmegaForm::OmegaV}) {
                    all.push_back({xi, theta, psi, omega});
                }
            }
        }
    }
    return all;
}

}  // namespace bivano::testing
