// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "about_info.h"

namespace bivano::ui {

QPixmap MakeBanner() {
    const QSize size(529, 151);
    QPixmap banner(size);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 96, 160));
    painter.fillRect(banner.rect(), sky);

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

QPixmap MakeIconPixmap(int size) {
    QPixmap icon(size, size);
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

}  // namespace bivano::ui
