// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include <QMessageBox>

namespace bivano::ui {

void QtMessageBox::Show(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Bivano"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace bivano::ui
