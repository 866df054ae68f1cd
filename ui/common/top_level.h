// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace bivano::ui {

// A fixed-size window with a title bar and no buttons on it, left out of
// the task bar: the options dialog and the About window. It is centred the
// first time it is shown and reappears where it was after that. It belongs
// to the main window: the window manager keeps it above that window, and
// while it is up the main window takes no input.
class FixedToolWindow : public QWidget {
    Q_OBJECT

  public:
    FixedToolWindow(int inner_width_twips, int inner_height_twips);

    // Makes the window one that the window manager keeps above `owner`
    // (and minimises and restores with it).
    void SetOwner(QWidget* owner);

    // Back to the front and active, when it is up.
    void BringToFront();

  Q_SIGNALS:
    // The main window is to take no input while this window is up, and to
    // take it again when it closes.
    void LockOwner();
    void UnlockOwner();

  protected:
    // Each time the window becomes active, and each time it is shown:
    // some window systems never make a window active on its own.
    virtual void Activated() = 0;

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QWidget* owner_ = nullptr;
    bool shown_before_ = false;
};

// Makes Enter and the keypad's Enter press the focused button of `window`,
// as Space does: the program's windows come from a platform where they do.
void LetEnterPressButtons(QWidget* window);

}  // namespace bivano::ui
