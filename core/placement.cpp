// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

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

// A rectangle by its edges, the far ones exclusive, in 64 bits: the window system's values are
// unsigned 32-bit numbers.
struct Box {
    qint64 x1 = 0;
    qint64 y1 = 0;
    qint64 x2 = 0;
    qint64 y2 = 0;

    static Box of(const QRect& r) {
        return {r.x(), r.y(), qint64(r.x()) + r.width(), qint64(r.y()) + r.height()};
    }
    bool empty() const { return x2 <= x1 || y2 <= y1; }
    bool meets(const Box& other) const {
        return x1 < other.x2 && other.x1 < x2 && y1 < other.y2 && other.y1 < y2;
    }
    QRect rect() const { return QRect(int(x1), int(y1), int(x2 - x1), int(y2 - y1)); }
};

enum Edge { kLeft, kRight, kTop, kBottom };

// The band a strut reserves along one edge of the root, empty when it reserves none there.
Box band(const platform::Strut& s, Edge edge, qint64 rootWidth, qint64 rootHeight) {
    switch (edge) {
        case kLeft: {
            const qint64 width = std::clamp<qint64>(s.left, 0, rootWidth);
            return {0, s.leftStartY, width, s.leftEndY + 1};
        }
        case kRight: {
            const qint64 width = std::clamp<qint64>(s.right, 0, rootWidth);
            return {rootWidth - width, s.rightStartY, rootWidth, s.rightEndY + 1};
        }
        case kTop: {
            const qint64 height = std::clamp<qint64>(s.top, 0, rootHeight);
            return {s.topStartX, 0, s.topEndX + 1, height};
        }
        case kBottom: {
            const qint64 height = std::clamp<qint64>(s.bottom, 0, rootHeight);
            return {s.bottomStartX, rootHeight - height, s.bottomEndX + 1, rootHeight};
        }
    }
    return {};
}

// Takes the band from the area of monitor `monitor`, unless it reaches across the monitor.
void reserve(Box& area, const Box& monitor, const Box& b, Edge edge) {
    if (b.empty() || !b.meets(monitor)) {
        return;
    }
    switch (edge) {
        case kLeft:
            if (b.x2 < monitor.x2) {
                area.x1 = std::max(area.x1, b.x2);
            }
            break;
        case kRight:
            if (b.x1 > monitor.x1) {
                area.x2 = std::min(area.x2, b.x1);
            }
            break;
        case kTop:
            if (b.y2 < monitor.y2) {
                area.y1 = std::max(area.y1, b.y2);
            }
            break;
        case kBottom:
            if (b.y1 > monitor.y1) {
                area.y2 = std::min(area.y2, b.y1);
            }
            break;
    }
}

// How much more than the struts explain the published work area keeps free at each root edge.
std::array<qint64, 4> unexplainedInsets(const std::optional<QRect>& workArea, qint64 rootWidth,
                                        qint64 rootHeight,
                                        std::span<const platform::Strut> struts) {
    std::array<qint64, 4> extra{};
    if (!workArea || workArea->isEmpty()) {
        return extra;
    }
    const Box published = Box::of(*workArea);
    const Box root{0, 0, rootWidth, rootHeight};
    if (!published.meets(root)) {
        return extra;
    }
    const std::array<qint64, 4> insets = {
        std::max<qint64>(0, published.x1), std::max<qint64>(0, rootWidth - published.x2),
        std::max<qint64>(0, published.y1), std::max<qint64>(0, rootHeight - published.y2)};
    // A window manager that keeps one work area for the whole root takes each edge's widest
    // strut from all of it, whatever part of the edge the strut's band covers.
    std::array<qint64, 4> explained{};
    for (const platform::Strut& s : struts) {
        explained[kLeft] = std::max(explained[kLeft], std::clamp<qint64>(s.left, 0, rootWidth));
        explained[kRight] = std::max(explained[kRight], std::clamp<qint64>(s.right, 0, rootWidth));
        explained[kTop] = std::max(explained[kTop], std::clamp<qint64>(s.top, 0, rootHeight));
        explained[kBottom] =
            std::max(explained[kBottom], std::clamp<qint64>(s.bottom, 0, rootHeight));
    }
    for (int edge = 0; edge < 4; ++edge) {
        extra[edge] = std::max<qint64>(0, insets[edge] - explained[edge]);
    }
    return extra;
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

std::vector<QRect> monitorWorkAreas(std::span<const QRect> monitors, QSize root,
                                    std::span<const platform::Strut> struts,
                                    const std::optional<QRect>& workArea) {
    qint64 rootWidth = root.width();
    qint64 rootHeight = root.height();
    if (root.isEmpty()) {
        // No root size known: the monitors' bounding box stands in for it.
        rootWidth = 0;
        rootHeight = 0;
        for (const QRect& m : monitors) {
            const Box box = Box::of(m);
            rootWidth = std::max(rootWidth, box.x2);
            rootHeight = std::max(rootHeight, box.y2);
        }
    }
    const std::array<qint64, 4> extra = unexplainedInsets(workArea, rootWidth, rootHeight, struts);
    std::vector<QRect> areas;
    areas.reserve(monitors.size());
    for (const QRect& m : monitors) {
        const Box monitor = Box::of(m);
        Box area = monitor;
        for (const platform::Strut& s : struts) {
            for (const Edge edge : {kLeft, kRight, kTop, kBottom}) {
                reserve(area, monitor, band(s, edge, rootWidth, rootHeight), edge);
            }
        }
        if (area.empty()) {
            // Panels that leave nothing free are not believed.
            area = monitor;
        }
        Box narrower = area;
        if (monitor.x1 <= 0) {
            narrower.x1 += extra[kLeft];
        }
        if (monitor.x2 >= rootWidth) {
            narrower.x2 -= extra[kRight];
        }
        if (monitor.y1 <= 0) {
            narrower.y1 += extra[kTop];
        }
        if (monitor.y2 >= rootHeight) {
            narrower.y2 -= extra[kBottom];
        }
        areas.push_back(narrower.empty() ? area.rect() : narrower.rect());
    }
    return areas;
}

std::vector<QRect> availableAreas(const platform::DesktopLayout& layout) {
    std::vector<QRect> areas;
    areas.reserve(layout.screens.size());
    if (!layout.fromWindowManager) {
        for (const platform::ToolkitScreen& screen : layout.screens) {
            areas.push_back(screen.available);
        }
        return areas;
    }
    // A screen's origin is the same in both coordinates; within it, the toolkit's coordinates
    // are the window system's divided by the screen's pixel ratio. The toolkit rounds the size
    // it reports, so a far edge within a pixel ratio of the root's edge or of another screen's
    // origin is taken to lie there.
    std::vector<QRect> monitors;
    monitors.reserve(layout.screens.size());
    for (const platform::ToolkitScreen& screen : layout.screens) {
        const qreal ratio = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0;
        const qint64 slack = qint64(std::ceil(ratio));
        const QPoint origin = screen.geometry.topLeft();
        qint64 right = origin.x() + std::llround(screen.geometry.width() * ratio);
        qint64 bottom = origin.y() + std::llround(screen.geometry.height() * ratio);
        std::vector<qint64> rights = {layout.root.width()};
        std::vector<qint64> bottoms = {layout.root.height()};
        for (const platform::ToolkitScreen& other : layout.screens) {
            rights.push_back(other.geometry.x());
            bottoms.push_back(other.geometry.y());
        }
        const auto snap = [slack](qint64 edge, const std::vector<qint64>& to) {
            for (const qint64 candidate : to) {
                if (std::abs(edge - candidate) <= slack) {
                    return candidate;
                }
            }
            return edge;
        };
        right = std::max<qint64>(origin.x() + 1, snap(right, rights));
        bottom = std::max<qint64>(origin.y() + 1, snap(bottom, bottoms));
        monitors.push_back(Box{origin.x(), origin.y(), right, bottom}.rect());
    }
    const std::vector<QRect> native =
        monitorWorkAreas(monitors, layout.root, layout.struts, layout.workArea);
    for (std::size_t i = 0; i < native.size(); ++i) {
        const platform::ToolkitScreen& screen = layout.screens[i];
        const qreal ratio = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0;
        const QPoint origin = screen.geometry.topLeft();
        const Box n = Box::of(native[i]);
        const Box whole = Box::of(monitors[i]);
        Box logical = Box::of(screen.geometry);
        // An edge no panel moved stays the screen's own; one a panel moved is rounded inwards,
        // so the area never takes in a pixel the panel holds.
        const auto inward = [ratio](qint64 offset, bool up) {
            // A quotient a rounding error short of a whole number is that number.
            const qreal q = qreal(offset) / ratio;
            return qint64(up ? std::ceil(q - 1e-6) : std::floor(q + 1e-6));
        };
        if (n.x1 != whole.x1) {
            logical.x1 = origin.x() + inward(n.x1 - origin.x(), true);
        }
        if (n.y1 != whole.y1) {
            logical.y1 = origin.y() + inward(n.y1 - origin.y(), true);
        }
        if (n.x2 != whole.x2) {
            logical.x2 = origin.x() + inward(n.x2 - origin.x(), false);
        }
        if (n.y2 != whole.y2) {
            logical.y2 = origin.y() + inward(n.y2 - origin.y(), false);
        }
        const QRect area = logical.empty() ? QRect() : logical.rect() & screen.geometry;
        areas.push_back(area.isEmpty() ? screen.geometry : area);
    }
    return areas;
}

int holdSide(qint32 saved, int designSide, int largest) {
    if (saved == 0) {
        return designSide;
    }
    return std::clamp<qint32>(saved, kMinimumSide, std::max(kMinimumSide, largest));
}

}  // namespace lsg::placement
