// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>
#include <functional>

class QLabel;

namespace bivano::ui {

// The program's pictures, drawn by the program itself.

// Each is drawn for a screen of `device_pixel_ratio` device pixels to the
// pixel: as many device pixels as that screen shows, not scaled up.

// The banner under the main window's buttons: the nickname and web address,
// 529 by 151 pixels.
QPixmap MakeBanner(qreal device_pixel_ratio = 1);

// The application icon, at `size` pixels square.
QPixmap MakeIconPixmap(int size, qreal device_pixel_ratio = 1);
QIcon MakeAppIcon();

// Shows in `label` the picture that `draw` makes for a device pixel ratio:
// drawn for the label's screen, and drawn again when the label moves to a
// screen of another ratio.
void ShowDrawnPicture(QLabel* label, std::function<QPixmap(qreal)> draw);

}  // namespace bivano::ui
