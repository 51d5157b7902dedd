// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/painterpixels.h"

#include <QColor>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace lsg {

namespace {

// Far beyond any device, and far from overflowing an int.
constexpr qreal kLimit = 1 << 30;

int nearest(qreal v) {
    return int(std::floor(std::clamp(v, -kLimit, kLimit) + 0.5));
}

bool whole(qreal v) {
    return v == std::floor(v);
}

}  // namespace

void blendPixels(QRgb* to, int count, QRgb premultiplied, int coverage) {
    if (count <= 0 || coverage <= 0) {
        return;
    }
    const QRgb part = coverage >= 255 ? premultiplied : byteMul(premultiplied, uint(coverage));
    const uint rest = 255 - qAlpha(part);
    if (rest != 0) {
        for (int i = 0; i < count; ++i) {
            to[i] = part + byteMul(to[i], rest);
        }
        return;
    }
    // Long runs (a background, the inside of an area) are doubled by copying, which the C library
    // does many pixels at a time.
    if (count < 16) {
        std::fill_n(to, count, part);
        return;
    }
    std::fill_n(to, 8, part);
    for (int done = 8; done < count; done *= 2) {
        std::memcpy(to + done, to, size_t(std::min(done, count - done)) * sizeof(QRgb));
    }
}

void fillPixels(const DevicePixels& pixels, const QRect& rect, const QRect& clip,
                QRgb premultiplied) {
    // QRect's intersection would turn a rectangle of negative extent the right way round.
    if (rect.isEmpty()) {
        return;
    }
    const QRect area = rect & clip & pixels.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        blendPixels(pixels.row(y) + area.left(), area.width(), premultiplied, 255);
    }
}

QRgb premultipliedPixel(const QColor& color) {
    return color.rgba64().premultiplied().toArgb32();
}

QRect PainterPixels::map(const QRect& logical) const {
    const int left = nearest(logical.left() * scale + offset.x());
    const int top = nearest(logical.top() * scale + offset.y());
    const int right = nearest((logical.left() + logical.width()) * scale + offset.x());
    const int bottom = nearest((logical.top() + logical.height()) * scale + offset.y());
    return {left, top, right - left, bottom - top};
}

std::optional<QRect> PainterPixels::exactly(const QRect& logical) const {
    const QPointF first = map(QPointF(logical.topLeft()));
    const QPointF last =
        map(QPointF(logical.left() + logical.width(), logical.top() + logical.height()));
    if (!whole(first.x()) || !whole(first.y()) || !whole(last.x()) || !whole(last.y())) {
        return std::nullopt;
    }
    const QRect device = map(logical);
    if (device.isEmpty() || !clip.contains(device)) {
        return std::nullopt;
    }
    return device;
}

namespace {

std::optional<PainterPixels> pixelsOf(QPainter& painter, QRegion* region) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image || painter.hasClipping() ||
        painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return std::nullopt;
    }
    auto* image = static_cast<QImage*>(device);
    if (!image->isDetached() || (image->format() != QImage::Format_RGB32 &&
                                 image->format() != QImage::Format_ARGB32_Premultiplied)) {
        return std::nullopt;
    }
    const QTransform& t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22() || !(t.m11() > 0)) {
        return std::nullopt;
    }
    QRect clip = image->rect();
    const QRegion systemClip = engine->systemClip();
    if (!systemClip.isEmpty()) {
        if (systemClip.rectCount() != 1 && region == nullptr) {
            return std::nullopt;
        }
        clip &= systemClip.boundingRect();
    }
    if (region != nullptr) {
        *region = systemClip;
    }
    // Writing through constBits() does not detach; the image is this painter's alone (checked
    // above), so it writes where the painter does.
    const DevicePixels pixels{const_cast<uchar*>(image->constBits()), image->bytesPerLine(),
                              image->width(), image->height()};
    return PainterPixels{pixels, image->format(), t.m11(), QPointF(t.dx(), t.dy()), clip};
}

}  // namespace

std::optional<PainterPixels> painterPixels(QPainter& painter) {
    return pixelsOf(painter, nullptr);
}

std::optional<PainterPixels> painterPixels(QPainter& painter, QRegion& region) {
    return pixelsOf(painter, &region);
}

}  // namespace lsg
