// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace bivano::ui {

// The program's pictures, drawn by the program itself.

// The banner under the main window's buttons: the nickname and web address.
QPixmap MakeBanner();

// The application icon, at `size` pixels square.
QPixmap MakeIconPixmap(int size);
QIcon MakeAppIcon();

}  // namespace bivano::ui
