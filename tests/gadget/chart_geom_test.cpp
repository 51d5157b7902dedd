// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gadget/chartgeom.h"

namespace lsg::chart {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ChartGeom, RectanglesOfTheMainChart) {
    // 3 * 355 / 100 = 10 and 4 * 200 / 100 = 8 px of margin inside the 1-px bevel.
    EXPECT_EQ(chartRect(355, 200), (PixelRect{11, 9, 344, 191}));
    const PixelRect plot = plotRect(355, 200);
    EXPECT_EQ(plot, (PixelRect{15, 9, 344, 184}));
    EXPECT_EQ(plot.width(), 329);
    EXPECT_EQ(plot.height(), 175);
}

TEST(ChartGeom, MarginsTruncate) {
    // 3 * 99 / 100 = 2.97 and 4 * 24 / 100 = 0.96 both truncate.
    EXPECT_EQ(chartRect(99, 24), (PixelRect{3, 1, 96, 23}));
    EXPECT_EQ(plotRect(99, 24), (PixelRect{7, 1, 96, 16}));
}

TEST(ChartGeom, TinyClientsNeverGiveNegativeExtents) {
    for (int w : {0, 1, 3, 6, 10}) {
        for (int h : {0, 1, 5, 8, 9}) {
            const PixelRect plot = plotRect(w, h);
            EXPECT_GE(plot.width(), 0) << w << "x" << h;
            EXPECT_GE(plot.height(), 0) << w << "x" << h;
        }
    }
    EXPECT_EQ(plotRect(10, 5), (PixelRect{5, 1, 9, 1}));
    EXPECT_EQ(plotRect(-5, -5), plotRect(0, 0));
}

TEST(ChartGeom, RoundHalfEven) {
    const struct {
        double in;
        int out;
    } cases[] = {{0.5, 0},   {1.5, 2},         {2.5, 2},           {3.5, 4},   {-0.5, 0},
                 {-1.5, -2}, {2.4999999, 2},   {2.5000001, 3},     {87.5, 88}, {52.5, 52},
                 {kNan, 0},  {1e300, 1 << 24}, {-kInf, -(1 << 24)}};
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
    }
}

TEST(ChartGeom, PointMappingPutsTheRangeOnTheEdges) {
    const PixelRect plot = plotRect(355, 200);
    EXPECT_EQ(mapX(plot, 0, 0, 9), plot.left);
    EXPECT_EQ(mapX(plot, 9, 0, 9), plot.right);
    EXPECT_EQ(mapX(plot, 1, 0, 9), 15 + 37);  // 329 / 9 = 36.56
    EXPECT_EQ(mapY(plot, 0, 0, 100), plot.bottom);
    EXPECT_EQ(mapY(plot, 100, 0, 100), plot.top);
    // Halves go to the even neighbour: 17.5 -> 18, 52.5 -> 52, 87.5 -> 88.
    EXPECT_EQ(mapY(plot, 10, 0, 100), 184 - 18);
    EXPECT_EQ(mapY(plot, 30, 0, 100), 184 - 52);
    EXPECT_EQ(mapY(plot, 50, 0, 100), 184 - 88);
    // Outside the range the position goes beyond the edge (drawing clips it).
    EXPECT_GT(mapY(plot, -10, 0, 100), plot.bottom);
    EXPECT_LT(mapY(plot, 110, 0, 100), plot.top);
}

TEST(ChartGeom, PointMappingSurvivesDegenerateInput) {
    const PixelRect plot = plotRect(355, 200);
    EXPECT_EQ(mapY(plot, 50, 100, 100), plot.bottom);  // empty range
    EXPECT_EQ(mapX(plot, 3, 0, 0), plot.left);
    EXPECT_EQ(mapY(plot, kNan, 0, 100), plot.bottom);
    EXPECT_EQ(mapY(plot, kInf, 0, 100), plot.bottom - (1 << 24));
    EXPECT_EQ(mapY(plot, 50, 0, kInf), plot.bottom);
}

TEST(ChartGeom, NextNiceStep) {
    const struct {
        double in;
        double out;
    } cases[] = {{0.45, 0.5}, {0.5, 1},       {1, 2},       {2, 5},        {5, 10},
                 {7.69, 10},  {10, 20},       {99.99, 100}, {100, 200},    {0.3, 0.5},
                 {0.1, 0.2},  {1e-12, 2e-12}, {1000, 2000}, {0.001, 0.002}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(nextNiceStep(c.in), c.out) << c.in;
    }
}

TEST(ChartGeom, LabelsThatFitAddTenPercentSeparation) {
    EXPECT_EQ(labelsThatFit(175, 13), 12);  // 175 / (13 + 1) = 12.5 -> 12
    EXPECT_EQ(labelsThatFit(329, 15), 19);  // 329 / (15 + 2) = 19.4
    EXPECT_EQ(labelsThatFit(7, 13), 0);     // 0.5 -> 0
    EXPECT_EQ(labelsThatFit(21, 13), 2);    // 1.5 -> 2
    EXPECT_EQ(labelsThatFit(-4, 13), 0);
    EXPECT_EQ(labelsThatFit(100, 0), 0);
}

TEST(ChartGeom, GridStep) {
    const struct {
        const char* what;
        double length;
        double range;
        double label;
        int points;
        Axis axis;
        double step;
    } cases[] = {
        {"main chart, vertical", 175, 100, 13, 10, Axis::Vertical, 10},
        {"main chart, taller line", 175, 100, 15, 10, Axis::Vertical, 10},
        {"main chart, horizontal: 0.45 raised to 1", 329, 9, 15, 10, Axis::Horizontal, 1},
        {"strip a few lines high", 15, 100, 13, 10, Axis::Vertical, 100},
        {"two labels fit", 21, 100, 13, 10, Axis::Vertical, 50},
        {"nothing fits", 7, 100, 13, 10, Axis::Vertical, 1e-12},
        {"more points than labels: no raise", 100, 9, 15, 10, Axis::Horizontal, 2},
        {"range below 1.1: no raise", 329, 1, 15, 2, Axis::Horizontal, 0.1},
        {"vertical axis never raises", 329, 9, 15, 10, Axis::Vertical, 0.5},
        {"range not finite", 175, kInf, 13, 10, Axis::Vertical, 1e-12},
        {"empty range", 175, 0, 13, 10, Axis::Vertical, 1e-12},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(gridStep(c.length, c.range, c.label, c.points, c.axis), c.step) << c.what;
    }
}

TEST(ChartGeom, GridValues) {
    const std::vector<double> tens = gridValues(0, 100, 10);
    ASSERT_EQ(tens.size(), 11u);
    EXPECT_EQ(tens.front(), 0);
    EXPECT_EQ(tens.back(), 100);
    EXPECT_EQ(gridValues(5, 27, 10), (std::vector<double>{10, 20}));
    EXPECT_EQ(gridValues(0, 1, 0.3).size(), 4u);  // 0.9 by repeated tenths stays inside
    EXPECT_TRUE(gridValues(0, 100, 1e-12).empty());
    EXPECT_TRUE(gridValues(0, 100, 0.01).empty());  // exactly 10,000 steps
    EXPECT_EQ(gridValues(0, 100, 0.0101).size(), 9901u);
    EXPECT_TRUE(gridValues(0, 0, 1).empty());
    EXPECT_TRUE(gridValues(0, 100, 0).empty());
    // Huge magnitudes neither hang nor exceed the step limit.
    EXPECT_LE(gridValues(1e20, 1e20 + 1e6, 1000).size(), 10001u);
    const double hugeStep = gridStep(175, 1e300, 13, 10, Axis::Vertical);
    EXPECT_LE(gridValues(0, 1e300, hugeStep).size(), 13u);
}

TEST(ChartGeom, AxisLabelText) {
    const struct {
        double in;
        const char* out;
    } cases[] = {{4.5, "4.5"},
                 {0, "0"},
                 {9, "9"},
                 {1000, "1,000"},
                 {1234.5, "1,234.5"},
                 {1234567, "1,234,567"},
                 {0.12345, "0.123"},
                 {-0.0001, "0"},
                 {-2.5, "-2.5"},
                 {0.5, "0.5"},
                 {100, "100"}};
    for (const auto& c : cases) {
        EXPECT_EQ(axisLabelText(c.in).toStdString(), c.out) << c.in;
    }
    const auto texts = horizontalLabelTexts(0, 9);
    EXPECT_EQ(texts[0], "0");
    EXPECT_EQ(texts[1], "9");
    EXPECT_EQ(texts[2], "4.5");
}

TEST(ChartGeom, MarksOfTheMainChart) {
    const ChartLayout layout = computeLayout(355, 200, {0, 9}, {0, 100}, 10, 13, 15);
    EXPECT_EQ(layout.yStep, 10);
    EXPECT_EQ(layout.xStep, 1);

    // Left axis: majors at 0..100, grid at 10..90 only (0 and 100 lie on the frame).
    EXPECT_EQ(layout.left.major.size(), 11u);
    EXPECT_EQ(layout.left.major.front(), 184);
    EXPECT_EQ(layout.left.major.back(), 9);
    ASSERT_EQ(layout.left.grid.size(), 9u);
    EXPECT_EQ(layout.left.grid[0], 166);  // 10
    EXPECT_EQ(layout.left.grid[4], 96);   // 50
    EXPECT_EQ(layout.left.grid[8], 26);   // 90
    EXPECT_EQ(layout.left.minor.size(), 30u);
    EXPECT_EQ(layout.left.minor[1], 184 - 9);  // 5 -> 8.75 -> 9

    // Bottom axis: majors at X = 0..9, grid at X = 1..8.
    ASSERT_EQ(layout.bottom.major.size(), 10u);
    EXPECT_EQ(layout.bottom.major.front(), 15);
    EXPECT_EQ(layout.bottom.major.back(), 344);
    ASSERT_EQ(layout.bottom.grid.size(), 8u);
    EXPECT_EQ(layout.bottom.grid.front(), 52);
    EXPECT_EQ(layout.bottom.minor.size(), 27u);
    EXPECT_EQ(layout.bottom.minor.front(), 15 + 9);  // 0.25 -> 9.14
}

TEST(ChartGeom, StripGetsTicksAtTheEndsOnly) {
    const ChartLayout layout = computeLayout(355, 24, {0, 9}, {0, 100}, 10, 13, 15);
    EXPECT_EQ(layout.yStep, 100);
    EXPECT_EQ(layout.left.major, (std::vector<int>{layout.plot.bottom, layout.plot.top}));
    EXPECT_TRUE(layout.left.grid.empty());
    EXPECT_EQ(layout.left.minor.size(), 3u);
    EXPECT_EQ(layout.bottom.grid.size(), 8u);  // the width is unchanged
}

TEST(ChartGeom, TooSmallForAnyLabel) {
    const ChartLayout layout = computeLayout(14, 14, {0, 9}, {0, 100}, 10, 13, 15);
    EXPECT_EQ(layout.plot, (PixelRect{5, 1, 13, 6}));
    EXPECT_TRUE(layout.left.major.empty());
    EXPECT_TRUE(layout.left.minor.empty());
    EXPECT_TRUE(layout.bottom.major.empty());
    EXPECT_TRUE(layout.bottom.grid.empty());
}

TEST(ChartGeom, GridLeavesOutEveryStepOnAnEdgePixel) {
    // A 2-px high plot maps several values onto its edge rows; none of them is a grid line.
    const PixelRect plot{10, 10, 100, 12};
    const AxisMarks marks = leftAxisMarks(plot, 0, 100, 10);
    EXPECT_EQ(marks.major.size(), 11u);
    for (int row : marks.grid) {
        EXPECT_EQ(row, 11);
    }
    EXPECT_FALSE(marks.grid.empty());
}

TEST(ChartGeom, FewerThanTenPointsUseTheirOwnRange) {
    // Three points: range 0..2, labels "0", "2", "1".
    const auto texts = horizontalLabelTexts(0, 2);
    EXPECT_EQ(texts[2], "1");
    const ChartLayout layout = computeLayout(355, 200, {0, 2}, {0, 100}, 3, 13, 7);
    EXPECT_EQ(layout.xStep, 1);
    EXPECT_EQ(layout.bottom.major, (std::vector<int>{15, 179, 344}));  // 164.5 -> 164
    // A single point has an empty range: no marks on that axis, no failure.
    EXPECT_TRUE(computeLayout(355, 200, {0, 0}, {0, 100}, 1, 13, 7).bottom.major.empty());
}

}  // namespace
}  // namespace lsg::chart
