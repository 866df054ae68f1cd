// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <utility>

#include "about_info.h"

namespace bivano::ui {

namespace {

// A picture of `size` pixels with room for every device pixel of the
// screen; painters draw on it in pixels.
QPixmap BlankPicture(QSize size, qreal device_pixel_ratio) {
    QPixmap picture(static_cast<int>(std::ceil(size.width() * device_pixel_ratio)),
                    static_cast<int>(std::ceil(size.height() * device_pixel_ratio)));
    picture.setDevicePixelRatio(device_pixel_ratio);
    return picture;
}

}  // namespace

QPixmap MakeBanner(qreal device_pixel_ratio) {
    const QSize size(529, 151);
    QPixmap banner = BlankPicture(size, device_pixel_ratio);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 96, 160));
    painter.fillRect(QRect(QPoint(0, 0), size), sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 128, 0));
    painter.drawRect(0, size.height() - 14, size.width(), 14);

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(58);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRect(0, 8, size.width(), 80), Qt::AlignCenter, about::AuthorNickname());

    QFont address(QStringLiteral("Arial"));
    address.setPixelSize(20);
    painter.setFont(address);
    painter.setPen(QColor(255, 230, 120));
    painter.drawText(QRect(0, 88, size.width(), 40), Qt::AlignCenter, about::WebAddress());
    return banner;
}

QPixmap MakeIconPixmap(int size, qreal device_pixel_ratio) {
    QPixmap icon = BlankPicture(QSize(size, size), device_pixel_ratio);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF frame(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 160));
    painter.drawRoundedRect(frame, size / 6.0, size / 6.0);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(6, size * 9 / 16));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRectF(frame.left(), frame.top(), frame.width() / 2 + margin, frame.height()),
                     Qt::AlignCenter, QStringLiteral("α"));
    painter.setPen(QColor(255, 220, 0));
    painter.drawText(QRectF(frame.center().x() - margin, frame.top(), frame.width() / 2 + margin,
                            frame.height()),
                     Qt::AlignCenter, QStringLiteral("a"));
    return icon;
}

QIcon MakeAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(MakeIconPixmap(size));
    }
    return icon;
}

namespace {

class PictureRedrawer final : public QObject {
  public:
    PictureRedrawer(QLabel* label, std::function<QPixmap(qreal)> draw)
        : QObject(label), label_(label), draw_(std::move(draw)) {
        Redraw();
        label->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ &&
            (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)) {
            Redraw();
        }
        return false;
    }

  private:
    void Redraw() {
        const qreal ratio = label_->devicePixelRatioF();
        if (label_->pixmap().isNull() || label_->pixmap().devicePixelRatio() != ratio) {
            label_->setPixmap(draw_(ratio));
        }
    }

    QLabel* label_;
    std::function<QPixmap(qreal)> draw_;
};

}  // namespace

void ShowDrawnPicture(QLabel* label, std::function<QPixmap(qreal)> draw) {
    new PictureRedrawer(label, std::move(draw));
}

}  // namespace bivano::ui
