// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/conversion_options.h"

#include <array>
#include <utility>

namespace bivano {
namespace {

constexpr std::array<std::pair<std::string_view, LatinScheme>, 6> kSchemeNames = {{
    {"lativo", LatinScheme::Lativo},
    {"elot743", LatinScheme::Elot743},
    {"iso843", LatinScheme::Iso843},
    {"alalc", LatinScheme::AlaLc},
    {"bgn1962", LatinScheme::Bgn1962},
    {"slug", LatinScheme::Slug},
}};

}  // namespace

std::string_view SchemeName(LatinScheme scheme) {
    for (const auto& [name, known] : kSchemeNames) {
        if (known == scheme) {
            return name;
        }
    }
    return {};
}

std::optional<LatinScheme> SchemeFromName(std::string_view name) {
    for (const auto& [known, scheme] : kSchemeNames) {
        if (known == name) {
            return scheme;
        }
    }
    return std::nullopt;
}

}  // namespace bivano
