// SPDX-License-Identifier: GPL-3.0-or-later
#include "twips.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace bivano::ui {

int TwipsToPixels(int twips, const QWidget* reference) {
    const int dpi = reference != nullptr ? reference->logicalDpiX() : 96;
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

QFont FontSpec::Make(const QFont& base) const {
    QFont font = base;
    if (!family.isEmpty()) {
        font.setFamily(family);
        font.setPointSizeF(points);
        font.setBold(bold);
    }
    return font;
}

FontSpec Arial(double points, bool bold) {
    return {QStringLiteral("Arial"), points, bold};
}

void ApplyLayout(std::initializer_list<ControlLayout> rows) {
    std::vector<const ControlLayout*> focus_chain;
    for (const ControlLayout& row : rows) {
        QWidget* control = row.control;
        control->setGeometry(TwipsToPixels(row.left, control), TwipsToPixels(row.top, control),
                             TwipsToPixels(row.width, control), TwipsToPixels(row.height, control));
        control->setFont(row.font.Make(control->font()));
        if (row.tab_index >= 0) {
            focus_chain.push_back(&row);
        }
    }
    std::stable_sort(focus_chain.begin(), focus_chain.end(),
                     [](const auto* a, const auto* b) { return a->tab_index < b->tab_index; });
    for (std::size_t i = 1; i < focus_chain.size(); ++i) {
        QWidget::setTabOrder(focus_chain[i - 1]->control, focus_chain[i]->control);
    }
}

}  // namespace bivano::ui
