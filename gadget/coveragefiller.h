// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>
#include <span>
#include <utility>
#include <vector>

#include "gadget/chartgeom.h"
#include "gadget/painterpixels.h"

namespace lsg {

// Fills shapes of straight edges with anti-aliasing straight into 32-bit pixels. A pixel is
// covered by the share of its area inside the shape, computed exactly: each edge leaves in the
// cells of a pixel row what it adds to the coverage from there to the right, and the row is
// summed from left to right. Shapes that overlap fill by the non-zero rule: a pixel wholly inside
// two of them is covered once; one that both cover in part gets the sum of their shares, at most
// the whole pixel. Runs between the cells an edge touches are filled at once, so the inside of a
// large shape costs little more than copying its pixels. The memory it needs stays for the next
// shape, so that drawing the same kind of picture again allocates nothing.
class CoverageFiller {
public:
    // Forgets the shapes added.
    void clear();
    // Adds a closed polygon in device pixels (the last point joins the first). A polygon with a
    // point that is not a number or lies farther than 2^26 pixels from the origin is left out.
    void addPolygon(std::span<const QPointF> points);
    // Adds a line through `points`, `width` wide, with square ends half its width long and
    // round corners: as dark where it turns as elsewhere.
    void addPolyline(std::span<const QPointF> points, qreal width);

    // Fills the shapes added with a premultiplied colour inside `clip`.
    void fill(const DevicePixels& pixels, const QRect& clip, QRgb premultiplied);

private:
    struct Edge {
        double x;     // at y0
        double y0;    // top, smaller than y1
        double y1;    // bottom
        double dxdy;  // x per y
        float dir;    // 1 downwards as added, -1 upwards
    };
    // Adds what the part of an edge from xa to xb, `d` high (signed), leaves in the row's cells.
    void addRowSegment(double xa, double xb, float d);
    void touch(int first, int last);
    void blendRow(QRgb* row, QRgb premultiplied);

    std::vector<Edge> m_edges;
    std::vector<int> m_active;  // edges crossing the row
    // The row being filled, from the clip's first column: cell i adds to the coverage of pixels
    // i and on. Two more cells than the clip has columns take what the edges leave on its right.
    std::vector<float> m_cells;
    int m_columns = 0;
    std::vector<std::pair<int, int>> m_touched;  // ranges of cells that hold something
    // A line's points, directions and outline, kept for the next line.
    std::vector<QPointF> m_linePoints;
    std::vector<QPointF> m_lineDirections;
    std::vector<QPointF> m_outline;
};

// The series of an area chart: the area under a line through the values, and the line itself
// over it, drawn into any rectangle of any painter's pixels; a frame, grid or background is the
// caller's. The memory it needs stays for the next paint.
class AreaSeriesPainter {
public:
    struct Series {
        std::span<const double> values;  // value i at X = i; fewer than two draw nothing
        double min = 0;                  // value on the plot's bottom edge
        double max = 100;                // value on its top edge
        QRgb area = 0;                   // premultiplied
        QRgb line = 0;                   // premultiplied
    };
    // Value i lies at the centre of the pixel in column chart::mapX(plot, i, 0, n - 1) and row
    // chart::mapY(plot, value, min, max). The area reaches down to the centre of the plot's bottom
    // row and fills only `areaClip`; the line is one logical pixel wide and drawn only inside
    // `lineClip` (both in logical pixels). Nothing lands outside `target.clip`.
    void paint(const PainterPixels& target, const chart::PixelRect& plot, const Series& series,
               const QRect& areaClip, const QRect& lineClip);

private:
    CoverageFiller m_filler;
    std::vector<QPointF> m_points;
};

}  // namespace lsg
