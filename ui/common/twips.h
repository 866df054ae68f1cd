// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <initializer_list>

class QWidget;

namespace bivano::ui {

// Window layouts are written in twips, 1440 to the inch, and turned into
// pixels at the screen's logical resolution, so they keep their proportions
// on any screen.
int TwipsToPixels(int twips, const QWidget* reference);

struct FontSpec {
    QString family;  // empty: keep the window's font
    double points = 0;
    bool bold = false;

    QFont Make(const QFont& base) const;
};

// One row of a window's layout table.
struct ControlLayout {
    QWidget* control;
    int left, top, width, height;  // twips, in the parent's inner area
    int tab_index;                 // -1: takes no focus
    FontSpec font;
};

// Places, sizes and sets the font of every control of `rows`, and chains the
// focus order of those that take focus by tab index.
void ApplyLayout(std::initializer_list<ControlLayout> rows);

// Arial at the given size, as the layouts name it (fontconfig maps it to a
// metric-compatible face such as Liberation Sans).
FontSpec Arial(double points, bool bold = false);

}  // namespace bivano::ui
