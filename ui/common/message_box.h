// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace bivano::ui {

// A message with an OK button only, no icon, captioned "Bivano". Tests put a
// recording double in its place so that no modal window opens.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void Show(QWidget* parent, const QString& text) = 0;
};

class QtMessageBox final : public MessageBox {
  public:
    void Show(QWidget* parent, const QString& text) override;
};

}  // namespace bivano::ui
