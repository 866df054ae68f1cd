#pragma once

class QWidget;

namespace bivano::ui {

// A fixed-size window with a title bar and no buttons on it, left out of
// the task bar: the options dialog and the About window.
void MakeFixedToolWindow(QWidget& window, int inner_width_twips, int inner_height_twips);

// Centres `window` on its screen's free area.
void CentreOnScreen(QWidget& window);

}  // namespace bivano::ui
