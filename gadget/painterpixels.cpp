// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/painterpixels.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace lsg {

namespace {

// The whole number of device pixels per logical pixel when the painter maps whole logical pixels
// onto whole device pixels (the device's own whole ratio and a whole offset), else 0.
int wholePixelScale(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr) {
        return 0;
    }
    const qreal ratio = device->devicePixelRatio();
    const QTransform& t = painter.deviceTransform();
    if (ratio != std::round(ratio) || ratio < 1 || t.type() > QTransform::TxScale ||
        t.m11() != ratio || t.m22() != ratio || t.dx() != std::round(t.dx()) ||
        t.dy() != std::round(t.dy())) {
        return 0;
    }
    return int(ratio);
}

}  // namespace

std::optional<PainterPixels> painterPixels(QPainter& painter, const QRect& logical) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image || painter.hasClipping() ||
        painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || logical.isEmpty()) {
        return std::nullopt;
    }
    auto* image = static_cast<QImage*>(device);
    const int scale = wholePixelScale(painter);
    if (scale == 0 || !image->isDetached() || image->depth() != 32) {
        return std::nullopt;
    }
    const QTransform& t = painter.deviceTransform();
    const QRect pixels(int(t.dx()) + logical.x() * scale, int(t.dy()) + logical.y() * scale,
                       logical.width() * scale, logical.height() * scale);
    if (!image->rect().contains(pixels)) {
        return std::nullopt;
    }
    const QRegion systemClip = engine->systemClip();
    if (!systemClip.isEmpty() && !systemClip.contains(pixels)) {
        return std::nullopt;
    }
    // Writing through constBits() does not detach; the image is this painter's alone (checked
    // above), so it writes where the painter does.
    return PainterPixels{const_cast<uchar*>(image->constBits()),
                         image->bytesPerLine(),
                         image->size(),
                         image->format(),
                         scale,
                         pixels};
}

}  // namespace lsg
