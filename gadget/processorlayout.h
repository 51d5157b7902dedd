// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPoint>
#include <QRect>
#include <QtGlobal>

// Where the per-processor charts go in the gadget's chart panel, as pure functions of the number
// of processors and the panel's size, so that the choice is tested without a display.
namespace lsg {

// Height of each of `strips` strips sharing a panel of `panelHeight` pixels with the total
// chart: the panel's share per chart, rounded with halves to the even neighbour, unless that
// leaves the total chart less than a whole share (floor(panelHeight / (strips + 1)) pixels);
// then rounded down, so that however many strips there are the total chart stays visible.
int stripHeightFor(int panelHeight, qint64 strips);

// A strip this high keeps a chart of 20 pixels inside its bevel and margins; lower ones show
// little more than their frame, so below it the processors are shown in a grid instead.
inline constexpr int kMinStripHeight = 22;
// The smallest cell that is still drawn as an area chart: two pixels for each of the ten points,
// and ten rows for the level. Smaller cells are coloured by the load.
inline constexpr int kMinChartCellWidth = 20;
inline constexpr int kMinChartCellHeight = 10;
// Background between two cells, and between the last row and the total chart.
inline constexpr int kCellGap = 1;

struct ProcessorLayout {
    enum class Kind {
        Stacked,  // one strip per processor above the total chart, each `stripHeight` high
        Charts,   // a grid of small area charts without bevel, frame or grid lines
        Heat,     // a grid of cells coloured by the load, ten slices for the last ten values
    };
    Kind kind = Kind::Stacked;
    int stripHeight = 0;  // Stacked: the height of each strip

    // Charts and Heat: `processors` cells in reading order (processor 0 top left) in `columns`
    // columns across the whole `width` and `rows` rows of `cellHeight`, `gap` pixels apart and
    // `gap` pixels above the total chart. Columns differ by at most one pixel in width. No
    // columns means no cell fits: the grid is empty.
    int processors = 0;
    int width = 0;
    int columns = 0;
    int rows = 0;
    int cellHeight = 0;
    int gap = 0;

    bool grid() const { return kind != Kind::Stacked; }
    // The height the grid takes from the top of the panel (0 when stacked).
    int gridHeight() const { return grid() ? rows * (cellHeight + gap) : 0; }
    bool operator==(const ProcessorLayout&) const = default;
};

// The stacked strips where each would be at least kMinStripHeight high, exactly as they would
// be without the grid; otherwise a grid that uses the whole width and at most half of the
// panel's height, so that the total chart always keeps at least half. The grid's columns are
// chosen for the largest cells of the wanted shape (about twice as wide as high for charts, three
// times for coloured cells, which lay ten slices side by side), counting the cells left empty in
// the last row against it; area charts where their cells are at least kMinChartCellWidth x
// kMinChartCellHeight, coloured cells otherwise, without gaps when the gaps leave no room.
ProcessorLayout chooseProcessorLayout(qint64 processors, int panelWidth, int panelHeight);

// The rectangle of processor `index`'s cell in the panel; empty when stacked or out of range.
QRect processorCell(const ProcessorLayout& layout, qint64 index);

// The processor whose cell holds `point` (a gap belongs to the cell on its left, or above it),
// or -1 when none does.
qint64 processorCellAt(const ProcessorLayout& layout, QPoint point);

}  // namespace lsg
