// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/placement.h"

#include <algorithm>

namespace lsg::placement {

namespace {

// Length of the overlap of [begin1, begin1 + length1) and [begin2, begin2 + length2). The sums
// are taken in 64 bits: a saved coordinate may be any 32-bit value.
qint64 overlap(qint64 begin1, qint64 length1, qint64 begin2, qint64 length2) {
    const qint64 begin = std::max(begin1, begin2);
    const qint64 end = std::min(begin1 + length1, begin2 + length2);
    return std::max<qint64>(0, end - begin);
}

bool grabbable(QPoint corner, QSize size, const QRect& area) {
    const qint64 wantWidth = std::min<qint64>(kGrabSide, std::max(1, size.width()));
    const qint64 wantHeight = std::min<qint64>(kGrabSide, std::max(1, size.height()));
    return overlap(corner.x(), size.width(), area.x(), area.width()) >= wantWidth &&
           overlap(corner.y(), size.height(), area.y(), area.height()) >= wantHeight;
}

}  // namespace

QPoint defaultPlace(QSize outerSize, const QRect& primaryArea) {
    return {primaryArea.x() + primaryArea.width() - outerSize.width(),
            primaryArea.y() + primaryArea.height() - outerSize.height()};
}

QPoint choosePlace(const SavedPlace& saved, QSize outerSize, std::span<const QRect> availableAreas,
                   const QRect& primaryArea) {
    const QPoint fallback = defaultPlace(outerSize, primaryArea);
    if (!saved.left && !saved.top) {
        return fallback;
    }
    const QPoint corner(saved.left.value_or(fallback.x()), saved.top.value_or(fallback.y()));
    for (const QRect& area : availableAreas) {
        if (!area.isEmpty() && grabbable(corner, outerSize, area)) {
            return corner;
        }
    }
    return fallback;
}

int holdSide(qint32 saved, int designSide, int largest) {
    if (saved == 0) {
        return designSide;
    }
    return std::clamp<qint32>(saved, kMinimumSide, std::max(kMinimumSide, largest));
}

}  // namespace lsg::placement
