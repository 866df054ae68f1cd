#include "top_level.h"

#include <QScreen>
#include <QWidget>

#include "twips.h"

namespace bivano::ui {

void MakeFixedToolWindow(QWidget& window, int inner_width_twips, int inner_height_twips) {
    window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window.setFixedSize(TwipsToPixels(inner_width_twips, &window),
                        TwipsToPixels(inner_height_twips, &window));
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace bivano::ui
