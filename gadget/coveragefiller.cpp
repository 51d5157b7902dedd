// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/coveragefiller.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lsg {

namespace {

// Far beyond any device, near enough that products of coordinates stay exact enough in doubles.
constexpr double kLimit = double(1 << 26);

bool usable(const QPointF& p) {
    return std::abs(p.x()) < kLimit && std::abs(p.y()) < kLimit;  // false for NaN too
}

// A pixel's coverage, 0..255, from its summed cells: the sign is the winding's direction.
int coverage(float sum) {
    return std::min(255, int(std::fabs(sum) * 255 + 0.5f));
}

}  // namespace

void CoverageFiller::clear() {
    m_edges.clear();
}

void CoverageFiller::addPolygon(std::span<const QPointF> points) {
    if (points.size() < 3 || !std::all_of(points.begin(), points.end(), usable)) {
        return;
    }
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF& a = points[i];
        const QPointF& b = points[(i + 1) % points.size()];
        // An edge along a row covers no area.
        if (a.y() == b.y()) {
            continue;
        }
        const bool down = a.y() < b.y();
        const QPointF& top = down ? a : b;
        const QPointF& bottom = down ? b : a;
        m_edges.push_back({top.x(), top.y(), bottom.y(),
                           (bottom.x() - top.x()) / (bottom.y() - top.y()), down ? 1.0f : -1.0f});
    }
}

void CoverageFiller::addPolyline(std::span<const QPointF> points, qreal width) {
    if (points.empty() || !(width > 0)) {
        return;
    }
    const qreal half = width / 2;
    // The points that move the line on, and the direction to each from the one before (half the
    // width long): a point repeated says nothing about the direction.
    std::vector<QPointF>& kept = m_linePoints;
    std::vector<QPointF>& along = m_lineDirections;
    kept.reserve(points.size());
    kept.assign(1, points.front());
    along.reserve(points.size());
    along.clear();
    for (const QPointF& p : points.subspan(1)) {
        const QPointF step = p - kept.back();
        const qreal length = std::hypot(step.x(), step.y());
        if (length > 0 && std::isfinite(length)) {
            kept.push_back(p);
            along.push_back(step * (half / length));
        }
    }
    std::vector<QPointF>& outline = m_outline;
    outline.clear();
    // At most 5 points for each corner on either side, 2 for each end: enough for any line
    // through as many points, so that the next one needs no more memory.
    outline.reserve(10 * points.size() + 4);
    if (along.empty()) {
        // All points in one place: a square dot.
        const QPointF p = kept.front();
        outline = {p + QPointF(-half, -half), p + QPointF(half, -half), p + QPointF(half, half),
                   p + QPointF(-half, half)};
        addPolygon(outline);
        return;
    }
    // One outline around the whole line, so that no part of it is covered twice: down one side
    // and back along the other, with square ends half the width long. Where the line turns, the
    // outer side goes round the point in an arc and the inner side through the point itself.
    const auto across = [](const QPointF& a) { return QPointF(-a.y(), a.x()); };
    const auto side = [&](qreal sign, bool forwards) {
        const int segments = int(along.size());
        for (int k = 0; k < segments; ++k) {
            const int s = forwards ? k : segments - 1 - k;
            const QPointF normal = across(along[size_t(s)]) * sign;
            const QPointF& from = kept[size_t(forwards ? s : s + 1)];
            const QPointF& to = kept[size_t(forwards ? s + 1 : s)];
            const QPointF ahead = along[size_t(s)] * (forwards ? 1 : -1);
            if (k == 0) {
                outline.push_back(from - ahead + normal);
            }
            if (k == segments - 1) {
                outline.push_back(to + ahead + normal);
                break;
            }
            const int n = forwards ? s + 1 : s - 1;
            const QPointF nextNormal = across(along[size_t(n)]) * sign;
            const QPointF nextAhead = along[size_t(n)] * (forwards ? 1 : -1);
            const qreal turn = QPointF::dotProduct(normal, nextAhead) / (half * half);
            if (turn > 1e-9) {
                // The next segment turns towards this side: inside the corner.
                outline.push_back(to + normal);
                outline.push_back(to);
                outline.push_back(to + nextNormal);
                continue;
            }
            // Round the outside of the corner, in four steps at most. The arc passes
            // ahead of the point, which decides its way round where the line turns back.
            const qreal a0 = std::atan2(normal.y(), normal.x());
            qreal sweep = std::remainder(std::atan2(nextNormal.y(), nextNormal.x()) - a0,
                                         2 * std::numbers::pi);
            const qreal middle = a0 + sweep / 2;
            if (std::abs(sweep) > std::numbers::pi / 2 &&
                std::cos(middle) * ahead.x() + std::sin(middle) * ahead.y() < 0) {
                sweep -= std::copysign(2 * std::numbers::pi, sweep);
            }
            const int steps = std::min(4, int(std::ceil(std::abs(sweep) / (std::numbers::pi / 4))));
            for (int i = 0; i <= steps; ++i) {
                const qreal a = a0 + sweep * i / std::max(steps, 1);
                outline.push_back(to + QPointF(std::cos(a), std::sin(a)) * half);
            }
        }
    };
    side(1, true);
    side(-1, false);
    m_edges.reserve(m_edges.size() + outline.capacity());
    addPolygon(outline);
}

void CoverageFiller::touch(int first, int last) {
    m_touched.emplace_back(first, last);
}

void CoverageFiller::addRowSegment(double xa, double xb, float d) {
    if (xa > xb) {
        std::swap(xa, xb);
    }
    const double columns = m_columns;
    // What lies left of the clip covers the whole row from its first pixel on; what lies right of
    // it changes none of its pixels.
    if (xb <= 0) {
        m_cells[0] += d;
        touch(0, 0);
        return;
    }
    if (xa >= columns) {
        return;
    }
    double inside = d;
    if (xa < 0 || xb > columns) {
        const double dx = xb - xa;
        if (xa < 0) {
            const double leftPart = inside * (-xa / dx);
            m_cells[0] += float(leftPart);
            touch(0, 0);
            inside -= leftPart;
        }
        if (xb > columns) {
            inside -= d * ((xb - columns) / dx);
        }
        xa = std::max(xa, 0.0);
        xb = std::min(xb, columns);
    }
    // The area right of the segment in each cell it crosses, times its height: the cells from
    // the one after its right end on get all of its height.
    const double x0floor = std::floor(xa);
    const int x0i = int(x0floor);
    const double x1ceil = std::ceil(xb);
    const int x1i = int(x1ceil);
    if (x1i <= x0i + 1) {
        const double middle = 0.5 * (xa + xb) - x0floor;
        m_cells[size_t(x0i)] += float(inside * (1 - middle));
        m_cells[size_t(x0i) + 1] += float(inside * middle);
        touch(x0i, x0i + 1);
        return;
    }
    const double s = 1 / (xb - xa);
    const double x0f = xa - x0floor;
    const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
    const double x1f = xb - x1ceil + 1;
    const double am = 0.5 * s * x1f * x1f;
    m_cells[size_t(x0i)] += float(inside * a0);
    if (x1i == x0i + 2) {
        m_cells[size_t(x0i) + 1] += float(inside * (1 - a0 - am));
    } else {
        const double a1 = s * (1.5 - x0f);
        m_cells[size_t(x0i) + 1] += float(inside * (a1 - a0));
        for (int x = x0i + 2; x < x1i - 1; ++x) {
            m_cells[size_t(x)] += float(inside * s);
        }
        const double a2 = a1 + (x1i - x0i - 3) * s;
        m_cells[size_t(x1i) - 1] += float(inside * (1 - a2 - am));
    }
    m_cells[size_t(x1i)] += float(inside * am);
    touch(x0i, x1i);
}

void CoverageFiller::blendRow(QRgb* row, QRgb premultiplied) {
    std::sort(m_touched.begin(), m_touched.end());
    // Pixels are blended in runs of one coverage: it changes only at cells an edge touched, and
    // often not even there.
    float sum = 0;
    int runStart = 0;
    int runCoverage = 0;
    size_t i = 0;
    while (i < m_touched.size()) {
        const int first = m_touched[i].first;
        int last = m_touched[i].second;
        for (++i; i < m_touched.size() && m_touched[i].first <= last + 1; ++i) {
            last = std::max(last, m_touched[i].second);
        }
        for (int x = first; x <= last; ++x) {
            sum += m_cells[size_t(x)];
            m_cells[size_t(x)] = 0;
            const int c = coverage(sum);
            if (c != runCoverage && x < m_columns) {
                // Along a gentle slope most runs are one pixel of the edge.
                if (x - runStart == 1 && runCoverage != 255) {
                    if (runCoverage != 0) {
                        blendPixel(row[runStart], premultiplied, uint(runCoverage));
                    }
                } else {
                    blendPixels(row + runStart, x - runStart, premultiplied, runCoverage);
                }
                runStart = x;
                runCoverage = c;
            }
        }
    }
    blendPixels(row + runStart, m_columns - runStart, premultiplied, runCoverage);
    m_touched.clear();
}

void CoverageFiller::fill(const DevicePixels& pixels, const QRect& clip, QRgb premultiplied) {
    const QRect area = clip & pixels.rect();
    if (area.isEmpty() || m_edges.empty()) {
        return;
    }
    m_columns = area.width();
    if (m_cells.size() < size_t(m_columns) + 2) {
        m_cells.resize(size_t(m_columns) + 2);  // zeros, and each row leaves them so
    }
    std::sort(m_edges.begin(), m_edges.end(),
              [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    // Neither can outgrow the edges, so neither needs more memory for a shape whose edges fit.
    m_active.clear();
    m_active.reserve(m_edges.capacity());
    m_touched.clear();
    m_touched.reserve(2 * m_edges.capacity());
    size_t next = 0;
    const double left = area.left();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const double top = y;
        const double bottom = y + 1.0;
        while (next < m_edges.size() && m_edges[next].y0 < bottom) {
            m_active.push_back(int(next++));
        }
        std::erase_if(m_active, [&](int e) { return m_edges[size_t(e)].y1 <= top; });
        if (m_active.empty()) {
            // Nothing until the next edge begins.
            if (next == m_edges.size() || m_edges[next].y0 >= area.bottom() + 1) {
                break;
            }
            y = std::max(y, int(std::floor(m_edges[next].y0)) - 1);
            continue;
        }
        for (int e : m_active) {
            const Edge& edge = m_edges[size_t(e)];
            const double ya = std::max(top, edge.y0);
            const double yb = std::min(bottom, edge.y1);
            if (yb > ya) {
                addRowSegment(edge.x + (ya - edge.y0) * edge.dxdy - left,
                              edge.x + (yb - edge.y0) * edge.dxdy - left,
                              float(yb - ya) * edge.dir);
            }
        }
        if (!m_touched.empty()) {
            blendRow(pixels.row(y) + area.left(), premultiplied);
        }
    }
}

void AreaSeriesPainter::paint(const PainterPixels& target, const chart::PixelRect& plot,
                              const Series& series, const QRect& areaClip, const QRect& lineClip) {
    const size_t n = series.values.size();
    if (n < 2) {
        return;
    }
    // Points on pixel centres: a line one pixel wide covers exactly the pixels of its ends and
    // stays sharp at any whole device pixel ratio.
    const double xMax = double(n - 1);
    m_points.clear();
    for (size_t i = 0; i < n; ++i) {
        m_points.push_back(
            target.map(QPointF(chart::mapX(plot, double(i), 0, xMax) + 0.5,
                               chart::mapY(plot, series.values[i], series.min, series.max) + 0.5)));
    }
    // The area closes along the bottom edge.
    const qreal base = target.map(QPointF(0, plot.bottom + 0.5)).y();
    m_points.emplace_back(m_points[n - 1].x(), base);
    m_points.emplace_back(m_points[0].x(), base);

    m_filler.clear();
    m_filler.addPolygon(m_points);
    m_filler.fill(target.pixels, target.map(areaClip) & target.clip, series.area);
    m_filler.clear();
    m_filler.addPolyline(std::span(m_points).first(n), target.scale);
    m_filler.fill(target.pixels, target.map(lineClip) & target.clip, series.line);
}

}  // namespace lsg
