// SPDX-License-Identifier: GPL-3.0-or-later
#include "top_level.h"

#include <QEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "twips.h"

namespace bivano::ui {

namespace {

// How long the window manager may take to take a minimised window off the
// screen before the window asks to come back all the same, and how long a
// request to come back may go unanswered before it is repeated.
constexpr int kUnmapWaitMs = 300;
constexpr int kMapWaitMs = 500;
constexpr int kMaxRestoreRequests = 4;
// Long enough for a minimise under way to be reported first.
constexpr int kBringToFrontDelayMs = 150;

}  // namespace

FixedToolWindow::FixedToolWindow(int inner_width_twips, int inner_height_twips)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFixedSize(TwipsToPixels(inner_width_twips, this), TwipsToPixels(inner_height_twips, this));
    bring_to_front_timer_.setSingleShot(true);
    bring_to_front_timer_.setInterval(kBringToFrontDelayMs);
    connect(&bring_to_front_timer_, &QTimer::timeout, this, &FixedToolWindow::BringToFront);
    restore_timer_.setSingleShot(true);
    connect(&restore_timer_, &QTimer::timeout, this, [this] {
        if (restore_ == Restore::WaitingForUnmap) {
            RequestRestore();
        } else if (restore_ == Restore::WaitingForMap) {
            const bool back = windowHandle()->isExposed() && !isMinimized();
            if (back) {
                FinishRestore();
            } else if (restore_requests_ < kMaxRestoreRequests) {
                RequestRestore();
            } else {
                StopRestoring();
            }
        }
    });
}

void FixedToolWindow::SetOwner(QWidget* owner) {
    owner_ = owner;
    winId();  // the native windows must exist to be tied together
    owner->winId();
    windowHandle()->setTransientParent(owner->windowHandle());
}

void FixedToolWindow::BringToFront() {
    if (!isVisible()) {
        return;
    }
    if (restore_ != Restore::None) {
        return;  // the restore raises and activates the window when it is back
    }
    if (isMinimized()) {
        RestoreWhenUnmapped();
        return;
    }
    raise();
    activateWindow();
}

void FixedToolWindow::BringToFrontSoon() {
    if (isVisible()) {
        bring_to_front_timer_.start();
    }
}

bool FixedToolWindow::event(QEvent* event) {
    // A late activation of a window already hidden must not lock the main
    // window with nothing on screen to unlock it.
    if (event->type() == QEvent::WindowActivate && isVisible()) {
        Activated();
    }
    return QWidget::event(event);
}

bool FixedToolWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        const bool exposed = windowHandle()->isExposed();
        // Acted on once the platform has taken the event in.
        if ((restore_ == Restore::WaitingForUnmap && !exposed) ||
            (restore_ == Restore::WaitingForMap && exposed)) {
            restore_timer_.start(0);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FixedToolWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_before_) {
        shown_before_ = true;
        windowHandle()->installEventFilter(this);
        if (const QScreen* on = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(on->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    if (isVisible()) {
        Activated();
    }
}

void FixedToolWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Minimising sends a hide event of the window system's own; only a
    // real hide (OK, Cancel) ends a restore.
    if (!event->spontaneous()) {
        StopRestoring();
    }
}

void FixedToolWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        RestoreWhenUnmapped();
    }
}

// A window manager minimises a window by taking it off the screen (an
// unmap) and marking it Iconic. Asking for it back before both have
// happened races the window manager, which may then take the window off
// after all, or forget it. So the request waits for the unmap to arrive.
void FixedToolWindow::RestoreWhenUnmapped() {
    if (!isVisible()) {
        return;
    }
    if (restore_ == Restore::None) {
        focus_before_minimise_ = focusWidget();
    }
    restore_ = Restore::WaitingForUnmap;
    restore_requests_ = 0;
    restore_timer_.start(windowHandle()->isExposed() ? kUnmapWaitMs : 0);
}

// Mapping an Iconic window is the way back to Normal that the window
// managers answer; a window withdrawn and mapped afresh instead may be lost
// on the way.
void FixedToolWindow::RequestRestore() {
    if (!isVisible()) {
        StopRestoring();
        return;
    }
    ++restore_requests_;
    restore_ = Restore::WaitingForMap;
    // The window manager may have taken the main window along.
    if (owner_ != nullptr && owner_->isMinimized()) {
        owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
    }
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    } else if (restore_requests_ > 1) {
        // The window manager left the first request unanswered and still
        // holds the window Iconic: map it again. Through the native window,
        // so that the widget does not take this for a new minimise.
        windowHandle()->setWindowStates(Qt::WindowMinimized);
        windowHandle()->setWindowStates(windowState() & ~Qt::WindowMinimized);
    }
    raise();
    activateWindow();
    restore_timer_.start(kMapWaitMs);
}

void FixedToolWindow::FinishRestore() {
    restore_ = Restore::None;
    raise();
    activateWindow();
    if (focus_before_minimise_ != nullptr && focus_before_minimise_->isVisible()) {
        focus_before_minimise_->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void FixedToolWindow::StopRestoring() {
    restore_ = Restore::None;
    restore_timer_.stop();
}

namespace {

class EnterPressesButton final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            auto* button = qobject_cast<QPushButton*>(watched);
            if (enter && button != nullptr && button->isEnabled() && button->isVisible() &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                button->click();
                return true;
            }
        }
        return false;
    }
};

}  // namespace

void LetEnterPressButtons(QWidget* window) {
    auto* filter = new EnterPressesButton(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->installEventFilter(filter);
    }
}

}  // namespace bivano::ui
