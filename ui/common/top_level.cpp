// SPDX-License-Identifier: GPL-3.0-or-later
#include "top_level.h"

#include <QEvent>
#include <QScreen>

#include "twips.h"

namespace bivano::ui {

FixedToolWindow::FixedToolWindow(int inner_width_twips, int inner_height_twips)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFixedSize(TwipsToPixels(inner_width_twips, this), TwipsToPixels(inner_height_twips, this));
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

}  // namespace bivano::ui
