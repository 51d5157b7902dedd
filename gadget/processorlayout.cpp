// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/processorlayout.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lsg {
namespace {

// Shapes, width over height, that the cells of each kind are chosen for.
constexpr double kChartCellAspect = 2;
constexpr double kHeatCellAspect = 3;

struct Grid {
    qint64 columns = 0;
    qint64 rows = 0;
    qint64 cellHeight = 0;
};

// The columns that give the largest cells of the wanted shape for n processors in width x
// height, each cell at least minWidth x minHeight; cells left empty in the last row count
// against them. Nothing when no column count gives such cells.
std::optional<Grid> bestGrid(qint64 n, qint64 width, qint64 height, qint64 gap, qint64 minWidth,
                             qint64 minHeight, double aspect) {
    std::optional<Grid> best;
    double bestSize = 0;
    qint64 bestEmpty = 0;
    for (qint64 columns = 1; columns <= n; ++columns) {
        // The narrowest column; more columns only make it narrower.
        const qint64 cellWidth = (width - (columns - 1) * gap) / columns;
        if (cellWidth < minWidth) {
            break;
        }
        const qint64 rows = (n + columns - 1) / columns;
        const qint64 rowRoom = height - rows * gap;
        if (rowRoom < rows * minHeight) {
            continue;
        }
        const qint64 cellHeight = rowRoom / rows;
        const qint64 empty = columns * rows - n;
        // Empty cells count twice: a ragged last row must buy clearly larger cells.
        const double full = double(n) / double(columns * rows);
        const double size = std::min(double(cellWidth) / aspect, double(cellHeight)) * full * full;
        // On a tie the fuller grid, then the one with fewer columns (taller cells).
        if (!best || size > bestSize || (size == bestSize && empty < bestEmpty)) {
            best = Grid{columns, rows, cellHeight};
            bestSize = size;
            bestEmpty = empty;
        }
    }
    return best;
}

qint64 columnLeft(const ProcessorLayout& layout, qint64 column) {
    return column * (qint64(layout.width) + layout.gap) / layout.columns;
}

}  // namespace

int stripHeightFor(int panelHeight, qint64 strips) {
    if (strips <= 0 || panelHeight <= 0) {
        return 0;
    }
    const qint64 charts = strips + 1;
    // The default rounding mode takes halves to even: 213 / 2 = 106.5 gives 106.
    const auto rounded = qint64(std::nearbyint(double(panelHeight) / double(charts)));
    const qint64 share = panelHeight / charts;
    if (panelHeight - strips * rounded >= share) {
        return int(rounded);
    }
    return int(share);
}

ProcessorLayout chooseProcessorLayout(qint64 processors, int panelWidth, int panelHeight) {
    ProcessorLayout layout;
    if (processors <= 0) {
        return layout;
    }
    const int strip = stripHeightFor(panelHeight, processors);
    if (strip >= kMinStripHeight) {
        layout.stripHeight = strip;
        return layout;
    }
    layout.processors = int(std::min<qint64>(processors, 1 << 24));
    layout.width = std::max(0, panelWidth);
    // The total chart keeps the larger half.
    const qint64 height = std::max(0, panelHeight) / 2;
    const qint64 n = layout.processors;
    std::optional<Grid> grid = bestGrid(n, layout.width, height, kCellGap, kMinChartCellWidth,
                                        kMinChartCellHeight, kChartCellAspect);
    layout.kind = ProcessorLayout::Kind::Charts;
    layout.gap = kCellGap;
    if (!grid) {
        layout.kind = ProcessorLayout::Kind::Heat;
        grid = bestGrid(n, layout.width, height, kCellGap, 1, 1, kHeatCellAspect);
    }
    if (!grid) {
        // Too small for gaps: cells side by side.
        layout.gap = 0;
        grid = bestGrid(n, layout.width, height, 0, 1, 1, kHeatCellAspect);
    }
    if (grid) {
        layout.columns = int(grid->columns);
        layout.rows = int(grid->rows);
        layout.cellHeight = int(grid->cellHeight);
    }
    return layout;
}

QRect processorCell(const ProcessorLayout& layout, qint64 index) {
    if (!layout.grid() || layout.columns <= 0 || index < 0 || index >= layout.processors) {
        return {};
    }
    const qint64 column = index % layout.columns;
    const qint64 row = index / layout.columns;
    const qint64 left = columnLeft(layout, column);
    const qint64 right = columnLeft(layout, column + 1) - layout.gap;
    return {int(left), int(row * (layout.cellHeight + layout.gap)), int(right - left),
            layout.cellHeight};
}

qint64 processorCellAt(const ProcessorLayout& layout, QPoint point) {
    if (!layout.grid() || layout.columns <= 0 || point.x() < 0 || point.y() < 0 ||
        point.x() >= layout.width) {
        return -1;
    }
    const qint64 row = point.y() / (layout.cellHeight + layout.gap);
    if (row >= layout.rows) {
        return -1;
    }
    // The column from the average pitch, then corrected for the columns one pixel wider.
    qint64 column = qint64(point.x()) * layout.columns / (qint64(layout.width) + layout.gap);
    while (column + 1 < layout.columns && columnLeft(layout, column + 1) <= point.x()) {
        ++column;
    }
    while (column > 0 && columnLeft(layout, column) > point.x()) {
        --column;
    }
    const qint64 index = row * layout.columns + column;
    return index < layout.processors ? index : -1;
}

}  // namespace lsg
