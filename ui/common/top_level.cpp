// SPDX-License-Identifier: GPL-3.0-or-later
#include "top_level.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "twips.h"

namespace bivano::ui {

FixedToolWindow::FixedToolWindow(int inner_width_twips, int inner_height_twips)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFixedSize(TwipsToPixels(inner_width_twips, this), TwipsToPixels(inner_height_twips, this));
}

void FixedToolWindow::SetOwner(QWidget* owner) {
    owner_ = owner;
    winId();  // the native windows must exist to be tied together
    owner->winId();
    windowHandle()->setTransientParent(owner->windowHandle());
}

void FixedToolWindow::BringToFront() {
    if (isVisible()) {
        if (isMinimized()) {
            showNormal();
        }
        raise();
        activateWindow();
    }
}

bool FixedToolWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Activated();
    }
    return QWidget::event(event);
}

void FixedToolWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_before_) {
        shown_before_ = true;
        if (const QScreen* on = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(on->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    Activated();
}

void FixedToolWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimised (the window manager may offer it, and may take the main
    // window along), it would leave the main window locked with nothing on
    // screen to unlock it: it comes back at once, and with it the main
    // window.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        QTimer::singleShot(0, this, [this] {
            if (!isMinimized()) {
                return;
            }
            if (owner_ != nullptr && owner_->isMinimized()) {
                owner_->showNormal();
            }
            // Mapped afresh, the window comes back in its normal state
            // whatever the window manager made of a request to restore.
            setWindowState(windowState() & ~Qt::WindowMinimized);
            hide();
            show();
            BringToFront();
        });
    }
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
