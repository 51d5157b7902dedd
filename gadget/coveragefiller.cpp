// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/coveragefiller.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace lsg {

namespace {

constexpr std::int64_t kOne = 256;  // a pixel, in the units of coordinates
constexpr qreal kLimit = 8192;      // pixels from the device's origin

// Rounded down, also for negative numerators; `b` is positive.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if (a % b < 0) {
        --q;
    }
    return q;
}

// Each 8-bit channel of `x` times `a` / 255, rounded.
QRgb byteMul(QRgb x, uint a) {
    uint t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// A pixel's coverage (0..255) from twice its area inside the shape in 256ths squared, signed by
// the winding.
int coverage(std::int64_t area, CoverageFiller::FillRule rule) {
    std::int64_t c = area >> 9;  // rounded down, also when negative, before the sign goes
    if (c < 0) {
        c = -c;
    }
    if (rule == CoverageFiller::FillRule::OddEven) {
        c &= 511;
        if (c > 256) {
            c = 512 - c;
        } else if (c == 256) {
            c = 255;
        }
    } else if (c >= 256) {
        c = 255;
    }
    return int(c);
}

void blendSpan(QRgb* pixels, int count, QRgb color, int cover) {
    if (cover == 255) {
        // Long runs (the inside of an area) are doubled by copying, which the C library does
        // many pixels at a time.
        if (count < 16) {
            std::fill_n(pixels, count, color);
            return;
        }
        std::fill_n(pixels, 8, color);
        for (int done = 8; done < count; done *= 2) {
            std::memcpy(pixels + done, pixels, size_t(std::min(done, count - done)) * 4);
        }
        return;
    }
    const QRgb part = byteMul(color, uint(cover));
    const uint rest = 255 - uint(cover);
    for (int i = 0; i < count; ++i) {
        pixels[i] = part + byteMul(pixels[i], rest);
    }
}

}  // namespace

void CoverageFiller::clear() {
    m_edges.clear();
    m_wild = false;
}

void CoverageFiller::addPolygon(const QPolygonF& points) {
    const int count = int(points.size());
    if (count < 2) {
        return;
    }
    const auto fixed = [this](qreal v) -> std::int64_t {
        // Far beyond any device: left to the painter.
        if (!(std::abs(v) < kLimit)) {
            m_wild = true;
            return 0;
        }
        return std::int64_t(qRound(v * 64)) * 4;
    };
    std::int64_t firstX = 0;
    std::int64_t firstY = 0;
    std::int64_t lastX = 0;
    std::int64_t lastY = 0;
    for (int i = 0; i <= count; ++i) {
        std::int64_t x = firstX;
        std::int64_t y = firstY;
        if (i < count) {
            x = fixed(points[i].x());
            y = fixed(points[i].y());
        }
        if (i == 0) {
            firstX = x;
            firstY = y;
        } else if (x != lastX || y != lastY) {
            const int rowA = int(lastY >> 8);
            const int rowB = int(y >> 8);
            m_edges.push_back(
                {lastX, lastY, x, y, std::min(rowA, rowB), std::max(rowA, rowB), INT64_MIN, 0});
        }
        lastX = x;
        lastY = y;
    }
}

bool CoverageFiller::usable() const {
    return !m_wild;
}

void CoverageFiller::addCell(std::int64_t column, std::int64_t area, std::int64_t cover) {
    // Cells right of the pixels change none of them; those left of them only by how far they
    // cross the row, so they all go to one column before the first.
    if (column >= m_width) {
        return;
    }
    const auto i = size_t(std::max<std::int64_t>(column, -1) + 1);
    m_touched[i / 64] |= std::uint64_t(1) << (i % 64);
    m_firstWord = std::min(m_firstWord, i / 64);
    m_lastWord = std::max(m_lastWord, i / 64);
    m_area[i] += area;
    m_cover[i] += cover;
}

void CoverageFiller::rowSegment(std::int64_t x1, std::int64_t fy1, std::int64_t x2,
                                std::int64_t fy2) {
    if (fy1 == fy2) {
        return;  // along the row: no area
    }
    std::int64_t column1 = x1 >> 8;
    const std::int64_t column2 = x2 >> 8;
    const std::int64_t fx1 = x1 - column1 * kOne;
    const std::int64_t fx2 = x2 - column2 * kOne;
    if (column1 == column2) {
        addCell(column1, (fx1 + fx2) * (fy2 - fy1), fy2 - fy1);
        return;
    }
    // Across columns: y where the segment leaves each cell, rounded down from its start.
    std::int64_t dx = x2 - x1;
    const std::int64_t dy = fy2 - fy1;
    std::int64_t toBoundary;  // from the start to the first column boundary, times dy
    std::int64_t first;       // where a cell is left: its right (kOne) or left (0) side
    int step;
    if (dx > 0) {
        toBoundary = (kOne - fx1) * dy;
        first = kOne;
        step = 1;
    } else {
        toBoundary = fx1 * dy;
        first = 0;
        step = -1;
        dx = -dx;
    }
    std::int64_t delta = floorDiv(toBoundary, dx);
    std::int64_t mod = toBoundary - delta * dx;
    addCell(column1, (fx1 + first) * delta, delta);
    std::int64_t y = fy1 + delta;
    column1 += step;
    if (column1 != column2) {
        const std::int64_t across = kOne * dy;
        const std::int64_t lift = floorDiv(across, dx);
        const std::int64_t rem = across - lift * dx;
        mod -= dx;
        while (column1 != column2) {
            delta = lift;
            mod += rem;
            if (mod >= 0) {
                mod -= dx;
                ++delta;
            }
            addCell(column1, kOne * delta, delta);
            y += delta;
            column1 += step;
        }
    }
    delta = fy2 - y;
    addCell(column2, (fx2 + kOne - first) * delta, delta);
}

std::int64_t CoverageFiller::boundaryX(Edge& e, std::int64_t boundary) {
    if (e.cachedBoundary == boundary) {
        return e.cachedX;
    }
    // Counted from the edge's start, rounded down from there, as the edge is walked.
    const std::int64_t row1 = e.y1 >> 8;
    const std::int64_t fy1 = e.y1 - row1 * kOne;
    const std::int64_t dx = e.x2 - e.x1;
    std::int64_t x;
    if (e.y1 < e.y2) {  // downwards: boundary k is the bottom of row row1 + k
        const std::int64_t k = boundary - 1 - row1;
        x = e.x1 + floorDiv((kOne - fy1 + kOne * k) * dx, e.y2 - e.y1);
    } else {  // upwards: boundary k is the top of row row1 - k
        const std::int64_t k = row1 - boundary;
        x = e.x1 + floorDiv((fy1 + kOne * k) * dx, e.y1 - e.y2);
    }
    e.cachedBoundary = boundary;
    e.cachedX = x;
    return x;
}

void CoverageFiller::edgeInRow(Edge& e, int row) {
    const std::int64_t row1 = e.y1 >> 8;
    const std::int64_t row2 = e.y2 >> 8;
    const std::int64_t fy1 = e.y1 - row1 * kOne;
    const std::int64_t fy2 = e.y2 - row2 * kOne;
    if (row1 == row2) {
        rowSegment(e.x1, fy1, e.x2, fy2);
        return;
    }
    // Rows are filled from the top, so the boundary above a row was the one below the last.
    const bool down = row1 < row2;
    const std::int64_t top = row == std::min(row1, row2) ? 0 : boundaryX(e, row);
    const std::int64_t bottom = row == std::max(row1, row2) ? 0 : boundaryX(e, row + 1);
    if (row == row1) {
        rowSegment(e.x1, fy1, down ? bottom : top, down ? kOne : 0);
    } else if (row == row2) {
        rowSegment(down ? top : bottom, down ? 0 : kOne, e.x2, fy2);
    } else if (down) {
        rowSegment(top, 0, bottom, kOne);
    } else {
        rowSegment(bottom, kOne, top, 0);
    }
}

void CoverageFiller::blendRow(QRgb* row, int left, int right, QRgb color, FillRule rule) {
    const auto span = [&](int x, int count, std::int64_t area) {
        const int from = std::max(x, left);
        const int to = std::min(x + count - 1, right);
        const int c = coverage(area, rule);
        if (from <= to && c != 0) {
            blendSpan(row + from, to - from + 1, color, c);
        }
    };
    std::int64_t cover = 0;
    int next = 0;  // the first column after the last cell
    for (size_t word = m_firstWord; word <= m_lastWord; ++word) {
        for (std::uint64_t bits = m_touched[word]; bits != 0; bits &= bits - 1) {
            const size_t i = word * 64 + size_t(std::countr_zero(bits));
            const int column = int(i) - 1;
            if (cover != 0 && column > next) {
                span(next, column - next, cover * 2 * kOne);
            }
            cover += m_cover[i];
            const std::int64_t area = cover * 2 * kOne - m_area[i];
            if (area != 0 && column >= 0) {
                span(column, 1, area);
            }
            next = column + 1;
            m_area[i] = 0;
            m_cover[i] = 0;
        }
        m_touched[word] = 0;
    }
    // What crosses the row right of the pixels was left out: the rest of the row is inside.
    if (cover != 0 && next < m_width) {
        span(next, m_width - next, cover * 2 * kOne);
    }
    m_firstWord = SIZE_MAX;
    m_lastWord = 0;
}

void CoverageFiller::fill(const Pixels& pixels, const QRect& clip, QRgb color, FillRule rule) {
    Q_ASSERT(qAlpha(color) == 255);
    const QRect area = clip & QRect(0, 0, pixels.width, pixels.height);
    if (area.isEmpty() || m_edges.empty() || m_wild) {
        return;
    }
    m_width = pixels.width;
    const size_t columns = size_t(pixels.width) + 1;
    if (m_area.size() < columns) {
        m_area.resize(columns);
        m_cover.resize(columns);
        m_touched.resize((columns + 63) / 64);
    }
    m_firstWord = SIZE_MAX;
    m_lastWord = 0;
    for (Edge& e : m_edges) {
        e.cachedBoundary = INT64_MIN;
    }
    m_order.resize(m_edges.size());
    for (size_t i = 0; i < m_order.size(); ++i) {
        m_order[i] = int(i);
    }
    std::sort(m_order.begin(), m_order.end(),
              [this](int a, int b) { return m_edges[size_t(a)].top < m_edges[size_t(b)].top; });
    m_active.clear();
    size_t next = 0;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        while (next < m_order.size() && m_edges[size_t(m_order[next])].top <= row) {
            m_active.push_back(m_order[next++]);
        }
        std::erase_if(m_active, [&](int e) { return m_edges[size_t(e)].bottom < row; });
        if (m_active.empty()) {
            if (next == m_order.size()) {
                break;
            }
            continue;
        }
        for (int e : m_active) {
            edgeInRow(m_edges[size_t(e)], row);
        }
        if (m_firstWord > m_lastWord) {
            continue;
        }
        auto* line = reinterpret_cast<QRgb*>(pixels.bits + qsizetype(row) * pixels.stride);
        blendRow(line, area.left(), area.right(), color, rule);
    }
}

}  // namespace lsg
