// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gadget/processorlayout.h"

namespace lsg {
namespace {

using Kind = ProcessorLayout::Kind;

// Processors x panel size -> layout. The default gadget's panel is 355 x 211 (232 less the
// caption); 8 processors there get strips of 23 px, 9 would get 21.
TEST(ProcessorLayout, ChoiceByProcessorsAndSize) {
    struct Case {
        qint64 processors;
        int width;
        int height;
        Kind kind;
        int stripHeight;  // stacked
        int columns;      // grid
        int rows;
        int cellHeight;
    };
    const Case cases[] = {
        // The strips wherever each is 22 px or more, exactly as without the grid.
        {1, 355, 211, Kind::Stacked, 106, 0, 0, 0},
        {2, 355, 211, Kind::Stacked, 70, 0, 0, 0},
        {8, 355, 211, Kind::Stacked, 23, 0, 0, 0},
        {9, 355, 219, Kind::Stacked, 22, 0, 0, 0},  // 21.9 rounds to 22, the chart keeps 21
        {16, 355, 440, Kind::Stacked, 25, 0, 0, 0},
        {16, 355, 373, Kind::Stacked, 22, 0, 0, 0},
        // One pixel less and the strips would be 21: a grid of area charts.
        {9, 355, 218, Kind::Charts, 0, 3, 3, 35},
        {16, 355, 372, Kind::Charts, 0, 4, 4, 45},
        // The default size: charts up to 128 processors, coloured cells beyond.
        {9, 355, 211, Kind::Charts, 0, 3, 3, 34},
        {16, 355, 211, Kind::Charts, 0, 4, 4, 25},
        {32, 355, 211, Kind::Charts, 0, 8, 4, 25},
        {64, 355, 211, Kind::Charts, 0, 11, 6, 16},  // two empty cells buy 16 px instead of 12
        {96, 355, 211, Kind::Charts, 0, 12, 8, 12},
        {128, 355, 211, Kind::Charts, 0, 16, 8, 12},
        {256, 355, 211, Kind::Heat, 0, 18, 15, 6},
        // Larger windows give larger cells; 256 processors as charts again.
        {64, 800, 600, Kind::Charts, 0, 8, 8, 36},
        {256, 800, 600, Kind::Charts, 0, 20, 13, 22},
        // Small windows: a single processor whose strip would be 15 px; 256 processors in cells
        // one pixel high; too small for every processor to have a pixel: no cells at all.
        {1, 355, 30, Kind::Charts, 0, 1, 1, 14},
        {256, 355, 20, Kind::Heat, 0, 64, 4, 1},
        {256, 60, 8, Kind::Heat, 0, 0, 0, 0},
        {999, 2, 2, Kind::Heat, 0, 0, 0, 0},
        // No processors (the old Windows path): nothing to lay out.
        {0, 355, 211, Kind::Stacked, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.processors << " processors, " << c.width << " x " << c.height);
        const ProcessorLayout layout = chooseProcessorLayout(c.processors, c.width, c.height);
        EXPECT_EQ(layout.kind, c.kind);
        EXPECT_EQ(layout.stripHeight, c.stripHeight);
        EXPECT_EQ(layout.columns, c.columns);
        EXPECT_EQ(layout.rows, c.rows);
        EXPECT_EQ(layout.cellHeight, c.cellHeight);
        if (layout.grid() && layout.columns > 0) {
            EXPECT_EQ(layout.gap, kCellGap);
        }
    }
}

// Whatever the count and size: every processor has a cell of its own, in reading order, the cells
// lie side by side across the whole width without overlapping, and the total chart keeps at least
// half of the panel.
TEST(ProcessorLayout, EveryGridKeepsItsPromises) {
    for (int width : {355, 120, 801}) {
        for (int height : {211, 60, 500, 12}) {
            for (qint64 n = 1; n <= 300; n += (n < 20 ? 1 : 7)) {
                SCOPED_TRACE(testing::Message()
                             << n << " processors, " << width << " x " << height);
                const ProcessorLayout layout = chooseProcessorLayout(n, width, height);
                if (!layout.grid()) {
                    EXPECT_GE(layout.stripHeight, kMinStripHeight);
                    continue;
                }
                EXPECT_LE(2 * layout.gridHeight(), height);
                if (layout.columns == 0) {
                    // Only where not even a pixel each is left.
                    EXPECT_LT(qint64(width) * (height / 2), n);
                    continue;
                }
                // No row left empty.
                EXPECT_LT(qint64(layout.columns) * (layout.rows - 1), n);
                EXPECT_LE(n, qint64(layout.columns) * layout.rows);
                int narrowest = width;
                int widest = 0;
                const int pitch = layout.cellHeight + layout.gap;
                for (qint64 i = 0; i < n; ++i) {
                    const QRect cell = processorCell(layout, i);
                    ASSERT_FALSE(cell.isEmpty()) << i;
                    EXPECT_EQ(cell.y(), int(i / layout.columns) * pitch);
                    EXPECT_EQ(cell.height(), layout.cellHeight);
                    const qint64 column = i % layout.columns;
                    if (column == 0) {
                        EXPECT_EQ(cell.left(), 0);
                    } else {
                        // The gap after its left neighbour, and never a pixel shared.
                        EXPECT_EQ(cell.left(),
                                  processorCell(layout, i - 1).right() + 1 + layout.gap);
                    }
                    if (column == layout.columns - 1) {
                        EXPECT_EQ(cell.right(), width - 1) << "the last column ends at the edge";
                    }
                    EXPECT_EQ(cell.width(), processorCell(layout, column).width());
                    narrowest = std::min(narrowest, cell.width());
                    widest = std::max(widest, cell.width());
                    EXPECT_EQ(processorCellAt(layout, cell.center()), i);
                }
                EXPECT_LE(widest - narrowest, 1);
                if (layout.kind == Kind::Charts) {
                    EXPECT_GE(narrowest, kMinChartCellWidth);
                    EXPECT_GE(layout.cellHeight, kMinChartCellHeight);
                }
            }
        }
    }
}

TEST(ProcessorLayout, PointsFindTheirProcessor) {
    // 16 processors at the default size: 4 x 4 cells of 88 x 25, 1 px apart.
    const ProcessorLayout layout = chooseProcessorLayout(16, 355, 211);
    ASSERT_EQ(layout.columns, 4);
    EXPECT_EQ(processorCell(layout, 0), QRect(0, 0, 88, 25));
    EXPECT_EQ(processorCell(layout, 5), QRect(89, 26, 88, 25));
    EXPECT_EQ(processorCell(layout, 15), QRect(267, 78, 88, 25));
    EXPECT_EQ(processorCellAt(layout, QPoint(0, 0)), 0);
    EXPECT_EQ(processorCellAt(layout, QPoint(87, 24)), 0);
    // A gap belongs to the cell on its left, or above it.
    EXPECT_EQ(processorCellAt(layout, QPoint(88, 10)), 0);
    EXPECT_EQ(processorCellAt(layout, QPoint(10, 25)), 0);
    EXPECT_EQ(processorCellAt(layout, QPoint(89, 26)), 5);
    EXPECT_EQ(processorCellAt(layout, QPoint(354, 102)), 15);
    // Outside the grid: below it (the total chart), beyond the edges.
    EXPECT_EQ(processorCellAt(layout, QPoint(10, layout.gridHeight())), -1);
    EXPECT_EQ(processorCellAt(layout, QPoint(-1, 5)), -1);
    EXPECT_EQ(processorCellAt(layout, QPoint(355, 5)), -1);
    EXPECT_TRUE(processorCell(layout, 16).isEmpty());
    EXPECT_TRUE(processorCell(layout, -1).isEmpty());

    // The empty places of a ragged last row hold no processor.
    const ProcessorLayout ragged = chooseProcessorLayout(64, 355, 211);
    ASSERT_EQ(ragged.columns * ragged.rows, 66);
    const QRect last = processorCell(ragged, 63);
    EXPECT_EQ(processorCellAt(ragged, last.center()), 63);
    EXPECT_EQ(processorCellAt(ragged, last.center() + QPoint(last.width() + 1, 0)), -1);

    // Stacked strips have no cells.
    const ProcessorLayout stacked = chooseProcessorLayout(4, 355, 211);
    EXPECT_TRUE(processorCell(stacked, 0).isEmpty());
    EXPECT_EQ(processorCellAt(stacked, QPoint(5, 5)), -1);
    EXPECT_EQ(stacked.gridHeight(), 0);
}

}  // namespace
}  // namespace lsg
