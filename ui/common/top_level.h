// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
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
    // The same, a moment later: the main window became active while this
    // window is up, perhaps because the window manager is minimising this
    // one, and an activation request now would race it.
    void BringToFrontSoon();

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Minimised, the window would leave the main window locked with nothing
    // on screen to unlock it: it comes back as soon as the window manager
    // has finished taking it off the screen.
    void RestoreWhenUnmapped();
    void RequestRestore();
    void FinishRestore();
    void StopRestoring();

    QWidget* owner_ = nullptr;
    bool shown_before_ = false;
    enum class Restore { None, WaitingForUnmap, WaitingForMap };
    Restore restore_ = Restore::None;
    // The control that had the focus when the window was minimised.
    QPointer<QWidget> focus_before_minimise_;
    // Brings the window back even where the window manager never reports
    // the unmap, and asks again where a request to restore went unanswered.
    QTimer restore_timer_;
    int restore_requests_ = 0;
    QTimer bring_to_front_timer_;
};

// Makes Enter and the keypad's Enter press the focused button of `window`,
// as Space does: the program's windows come from a platform where they do.
void LetEnterPressButtons(QWidget* window);

}  // namespace bivano::ui
