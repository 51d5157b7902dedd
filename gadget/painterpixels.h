// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QImage>
#include <QRect>
#include <optional>

class QPainter;

namespace lsg {

// The device pixels under a rectangle a painter draws, when they may be read and written
// directly: the painter draws into a 32-bit image that it alone uses, maps whole logical pixels
// onto whole device pixels, has no clip but the device's, and the rectangle lies wholly inside
// both the image and that clip. Only then does a pixel written here land exactly where the
// painter would put it, and does one read here hold all that the painter drew.
struct PainterPixels {
    uchar* bits = nullptr;  // the image's first pixel
    qsizetype stride = 0;
    QSize imageSize;
    QImage::Format format = QImage::Format_Invalid;
    int scale = 0;  // device pixels per logical pixel
    QRect rect;     // the rectangle, in device pixels

    // The rectangle's top-left pixel.
    uchar* origin() const {
        return bits + qsizetype(rect.top()) * stride + qsizetype(rect.left()) * 4;
    }
};

// `logical` is in the painter's coordinates; empty when the pixels may not be used directly.
std::optional<PainterPixels> painterPixels(QPainter& painter, const QRect& logical);

}  // namespace lsg
