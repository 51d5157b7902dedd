// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QRgb>
#include <optional>

class QPainter;

namespace lsg {

// 32-bit premultiplied pixels (QImage::Format_RGB32 or Format_ARGB32_Premultiplied) that are
// written directly.
struct DevicePixels {
    uchar* bits = nullptr;  // the first pixel of the first row
    qsizetype stride = 0;   // bytes from one row to the next
    int width = 0;
    int height = 0;

    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(bits + qsizetype(y) * stride); }
    QRect rect() const { return {0, 0, width, height}; }
};

// Each 8-bit channel of `x` times `a` / 255, rounded.
inline QRgb byteMul(QRgb x, uint a) {
    uint t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// A pixel blended with a premultiplied colour that covers `coverage` / 255 of it (1..254): the
// edge pixels of a shape, one at a time.
inline void blendPixel(QRgb& pixel, QRgb premultiplied, uint coverage) {
    const QRgb part = byteMul(premultiplied, coverage);
    pixel = part + byteMul(pixel, 255 - qAlpha(part));
}

// `count` pixels at `to` blended with a premultiplied colour that covers `coverage` / 255 of
// each: written when the result is opaque, laid over what is there otherwise.
void blendPixels(QRgb* to, int count, QRgb premultiplied, int coverage);

// Fills the part of `rect` inside `clip` with a premultiplied colour; a rectangle of no or
// negative extent fills nothing.
void fillPixels(const DevicePixels& pixels, const QRect& rect, const QRect& clip,
                QRgb premultiplied);

// A colour as premultiplied pixel value; finer channels are rounded to 8 bits.
QRgb premultipliedPixel(const QColor& color);

// Where a painter's drawing lands in the pixels of the image it draws into, when those pixels
// may be written directly: a painter of its own on a 32-bit premultiplied image, with no clip but
// one rectangle of the device's, full opacity, source-over composition, and a transformation that
// only scales both axes alike and moves. A logical point p lands at p * scale + offset.
struct PainterPixels {
    DevicePixels pixels;
    QImage::Format format = QImage::Format_Invalid;
    qreal scale = 1;
    QPointF offset;
    QRect clip;  // the device pixels the painter may change

    QPointF map(const QPointF& logical) const { return logical * scale + offset; }
    // The device pixels of a rectangle of whole logical pixels: each edge on the nearest pixel
    // boundary, so that rectangles side by side stay side by side at any scale.
    QRect map(const QRect& logical) const;
    // The device pixels of `logical` when it lies exactly on whole device pixels inside the clip:
    // only then does a copy of them hold all that the painter drew there.
    std::optional<QRect> exactly(const QRect& logical) const;
};

// Empty when the painter's pixels may not be written directly; draw through the painter then.
std::optional<PainterPixels> painterPixels(QPainter& painter);
// The same for a painter whose device clip may be any region, such as the union of the parts of a
// widget that changed: `clip` is then its bounding rectangle and `region` the region itself (in
// device pixels; empty when the painter has no such clip), and whoever writes must keep to the
// region's rectangles.
std::optional<PainterPixels> painterPixels(QPainter& painter, QRegion& region);

}  // namespace lsg
