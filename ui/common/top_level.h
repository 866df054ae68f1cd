// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace bivano::ui {

// A fixed-size window with a title bar and no buttons on it, left out of
// the task bar: the options dialog and the About window. It is centred the
// first time it is shown and reappears where it was after that.
class FixedToolWindow : public QWidget {
    Q_OBJECT

  public:
    FixedToolWindow(int inner_width_twips, int inner_height_twips);

  protected:
    // Each time the window becomes active, and each time it is shown:
    // some window systems never make a window active on its own.
    virtual void Activated() = 0;

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    bool shown_before_ = false;
};

}  // namespace bivano::ui
