// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "pictures.h"

#include <QPainter>

namespace lsg::res {

// Placeholder drawings; the pictures work replaces them.

QImage programIconImage(int pixels) {
    QImage img(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(43, 64, 107));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, pixels, pixels), pixels / 6.0, pixels / 6.0);
    return img;
}

QIcon programIcon() {
    QIcon icon;
    for (int s : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(programIconImage(s)));
    }
    return icon;
}

QPixmap picture(const QString& name, QSize logicalSize, qreal dpr) {
    QImage img((QSizeF(logicalSize) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, dpr));
    p.drawText(img.rect(), Qt::AlignCenter, name.left(1).toUpper());
    p.end();
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(dpr);
    return pm;
}

QPixmap picture(const QString& name, qreal dpr) {
    int s = 16;
    if (name == QLatin1String("settings48")) {
        s = 48;
    } else if (name == QLatin1String("close32") || name == QLatin1String("like") ||
               name == QLatin1String("dislike")) {
        s = 32;
    }
    return picture(name, QSize(s, s), dpr);
}

QIcon menuIcon(const QString& name) {
    QIcon icon;
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
        icon.addPixmap(picture(name, QSize(16, 16), dpr));
    }
    return icon;
}

QImage logo(QSize px) {
    QImage img(px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("KALDERN"));
    return img;
}

}  // namespace lsg::res
