// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <array>
#include <vector>

// Where every part of an area chart lands, in whole pixels of the chart's client area, and the
// spacing of its grid. Nothing here paints, so the picture's geometry is tested without a display.
namespace lsg::chart {

// A rectangle given by the pixels its edges occupy: `left` and `right` are the columns of its
// left and right edge pixels, `top` and `bottom` the rows of its top and bottom edge pixels,
// so width() = right - left and height() = bottom - top. The pixels strictly inside the edges
// are the columns left + 1 .. right - 1 and the rows top + 1 .. bottom - 1.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// Room of the bevel and of the axes, in pixels.
inline constexpr int kBevelWidth = 1;
inline constexpr int kLeftAxisRoom = 4;
inline constexpr int kBottomAxisRoom = 7;
inline constexpr int kAxisLineWidth = 2;
inline constexpr int kMajorTickLength = 4;
inline constexpr int kMinorTickLength = 2;
inline constexpr int kMinorTicksBetweenMajors = 3;

// The client area less the bevel and the margins (3 % of the width left and right, 4 % of the
// height top and bottom, truncated). Its left/top are the first columns/rows inside the
// margins; its right/bottom the first columns/rows of the right and bottom margins.
PixelRect chartRect(int clientWidth, int clientHeight);

// The chart rectangle less the room of the axes (4 px left, 7 px bottom). Its edges are the
// pixels of the plot frame. In a client too small for it the edges meet instead of crossing,
// so the extent is never negative.
PixelRect plotRect(const PixelRect& chart);
PixelRect plotRect(int clientWidth, int clientHeight);

// Nearest integer, halves to the even neighbour; NaN gives 0 and out-of-range values saturate,
// so any double is safe to turn into a pixel.
int roundHalfEven(double value);

// A value's column: `min` lies on the left edge, `max` on the right edge. A range that is empty
// (or not finite) puts every value on the left edge.
int mapX(const PixelRect& plot, double x, double min, double max);
// A value's row: `min` lies on the bottom edge, `max` on the top edge.
int mapY(const PixelRect& plot, double y, double min, double max);

enum class Axis { Horizontal, Vertical };

// How many labels of `labelSize` pixels (plus 10 % separation, rounded) fit on an axis of
// `axisLength` pixels; never negative.
int labelsThatFit(double axisLength, double labelSize);

// Distance between ticks of an axis covering `range` units over `axisLength` pixels, when one
// label is `labelSize` pixels long and the series has `pointCount` points. A step of 1e-12
// (no label fits) means: no marks at all.
double gridStep(double axisLength, double range, double labelSize, int pointCount, Axis axis);

// The smallest value of 1, 2 and 5 times a power of ten that is strictly larger than `step`.
double nextNiceStep(double step);

// The multiples of `step` from `min` to `max`; empty when the range is empty or would need
// 10,000 steps or more.
std::vector<double> gridValues(double min, double max, double step);

// A number as an axis label would write it: thousands grouped by ',', at most three decimals.
QString axisLabelText(double value);

// The texts whose widest one sizes a horizontal label: minimum, maximum and middle value.
std::array<QString, 3> horizontalLabelTexts(double min, double max);

// Pixel positions of one axis's marks: columns for the bottom axis, rows for the left axis.
struct AxisMarks {
    std::vector<int> major;
    std::vector<int> minor;
    // Major positions not on an edge pixel of the plot rectangle.
    std::vector<int> grid;
};

// Marks for the values of `gridValues(min, max, step)`, with three minor ticks between each two
// neighbouring majors.
AxisMarks bottomAxisMarks(const PixelRect& plot, double min, double max, double step);
AxisMarks leftAxisMarks(const PixelRect& plot, double min, double max, double step);

// Everything a chart of a given size needs besides its values.
struct ChartLayout {
    PixelRect chart;
    PixelRect plot;
    double xStep = 0;
    double yStep = 0;
    AxisMarks bottom;
    AxisMarks left;
};

struct AxisRange {
    double min = 0;
    double max = 0;
};

// `lineHeight` sizes the vertical axis's labels, `labelWidth` (the widest of
// horizontalLabelTexts) the horizontal axis's.
ChartLayout computeLayout(int clientWidth, int clientHeight, AxisRange x, AxisRange y,
                          int pointCount, double lineHeight, double labelWidth);

}  // namespace lsg::chart
