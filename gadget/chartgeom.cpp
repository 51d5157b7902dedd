// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/chartgeom.h"

#include <algorithm>
#include <cmath>

namespace lsg::chart {
namespace {

// Far beyond any screen, small enough that edge + offset never overflows an int.
constexpr double kPixelLimit = double(1 << 24);
// The step that stands for "no label fits": so small against any range that no marks are drawn.
constexpr double kNoStep = 1e-12;
// An axis needing this many steps or more draws no marks.
constexpr double kMaxSteps = 10000;

int clampExtent(int v) {
    return std::clamp(v, 0, 1 << 24);
}

// Offset of `value` along an extent of `pixels` for the range min..max.
int offset(double value, double min, double max, int pixels) {
    const double range = max - min;
    if (!(range > 0) || !std::isfinite(range)) {
        return 0;
    }
    return roundHalfEven((value - min) * pixels / range);
}

template <typename Map>
AxisMarks axisMarks(const std::vector<double>& values, Map map, int lowEdge, int highEdge) {
    AxisMarks marks;
    marks.major.reserve(values.size());
    for (double v : values) {
        const int p = map(v);
        marks.major.push_back(p);
        if (p > lowEdge && p < highEdge) {
            marks.grid.push_back(p);
        }
    }
    if (values.size() > 1) {
        marks.minor.reserve((values.size() - 1) * kMinorTicksBetweenMajors);
        for (size_t i = 0; i + 1 < values.size(); ++i) {
            const double a = values[i];
            const double b = values[i + 1];
            for (int j = 1; j <= kMinorTicksBetweenMajors; ++j) {
                marks.minor.push_back(map(a + (b - a) * j / (kMinorTicksBetweenMajors + 1)));
            }
        }
    }
    return marks;
}

}  // namespace

PixelRect chartRect(int clientWidth, int clientHeight) {
    const int w = clampExtent(clientWidth);
    const int h = clampExtent(clientHeight);
    const int mx = 3 * w / 100;
    const int my = 4 * h / 100;
    return {kBevelWidth + mx, kBevelWidth + my, w - kBevelWidth - mx, h - kBevelWidth - my};
}

PixelRect plotRect(const PixelRect& chart) {
    PixelRect plot;
    plot.left = chart.left + kLeftAxisRoom;
    plot.top = chart.top;
    plot.right = std::max(chart.right, plot.left);
    plot.bottom = std::max(chart.bottom - kBottomAxisRoom, plot.top);
    return plot;
}

PixelRect plotRect(int clientWidth, int clientHeight) {
    return plotRect(chartRect(clientWidth, clientHeight));
}

int roundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // nearbyint follows the default rounding mode, which is to nearest with ties to even.
    return int(std::nearbyint(std::clamp(value, -kPixelLimit, kPixelLimit)));
}

int mapX(const PixelRect& plot, double x, double min, double max) {
    return plot.left + offset(x, min, max, plot.width());
}

int mapY(const PixelRect& plot, double y, double min, double max) {
    return plot.bottom - offset(y, min, max, plot.height());
}

int labelsThatFit(double axisLength, double labelSize) {
    const double spaced = labelSize + roundHalfEven(labelSize / 10);
    if (!(spaced > 0) || !(axisLength > 0)) {
        return 0;
    }
    return std::max(0, roundHalfEven(axisLength / spaced));
}

double nextNiceStep(double step) {
    if (!(step > 0) || !std::isfinite(step)) {
        return kNoStep;
    }
    // Start one decade low so that an inexact log10 can never skip a candidate.
    int exponent = int(std::floor(std::log10(step))) - 1;
    for (;; ++exponent) {
        const double decade = std::pow(10.0, exponent);
        for (double m : {1.0, 2.0, 5.0}) {
            if (m * decade > step) {
                return m * decade;
            }
        }
    }
}

double gridStep(double axisLength, double range, double labelSize, int pointCount, Axis axis) {
    const int n = labelsThatFit(axisLength, labelSize);
    if (n == 0 || !(range > 0) || !std::isfinite(range)) {
        return kNoStep;
    }
    double step = range / (n + 1);
    if (axis == Axis::Horizontal && range >= 1.1 && pointCount <= n && step < 1) {
        step = 1;
    }
    while (roundHalfEven(range / step) > n && step <= range) {
        step = nextNiceStep(step);
    }
    return step;
}

std::vector<double> gridValues(double min, double max, double step) {
    const double range = max - min;
    if (!(step > 0) || !(range > 0) || !std::isfinite(range) || range / step >= kMaxSteps) {
        return {};
    }
    // A little slack so that a multiple computed as 99.99999999 still counts as 100.
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    // Counted with an integer: at huge magnitudes k + 1 may equal k.
    const double count = std::clamp(last - first + 1, 0.0, kMaxSteps + 1);
    std::vector<double> values;
    values.reserve(size_t(count));
    for (int i = 0; i < int(count); ++i) {
        values.push_back(std::clamp((first + i) * step, min, max));
    }
    return values;
}

QString axisLabelText(double value) {
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    QString digits = QString::number(std::fabs(value), 'f', 3);
    const qsizetype dot = digits.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? digits : digits.left(dot);
    QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    QString text;
    const bool isZero = fraction.isEmpty() && whole.count(QLatin1Char('0')) == whole.size();
    if (value < 0 && !isZero) {
        text += QLatin1Char('-');
    }
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += QLatin1Char(',');
        }
        text += whole[i];
    }
    if (!fraction.isEmpty()) {
        text += QLatin1Char('.') + fraction;
    }
    return text;
}

std::array<QString, 3> horizontalLabelTexts(double min, double max) {
    return {axisLabelText(min), axisLabelText(max), axisLabelText((min + max) / 2)};
}

AxisMarks bottomAxisMarks(const PixelRect& plot, double min, double max, double step) {
    return axisMarks(
        gridValues(min, max, step), [&](double v) { return mapX(plot, v, min, max); }, plot.left,
        plot.right);
}

AxisMarks leftAxisMarks(const PixelRect& plot, double min, double max, double step) {
    return axisMarks(
        gridValues(min, max, step), [&](double v) { return mapY(plot, v, min, max); }, plot.top,
        plot.bottom);
}

ChartLayout computeLayout(int clientWidth, int clientHeight, AxisRange x, AxisRange y,
                          int pointCount, double lineHeight, double labelWidth) {
    ChartLayout layout;
    layout.chart = chartRect(clientWidth, clientHeight);
    layout.plot = plotRect(layout.chart);
    layout.xStep =
        gridStep(layout.plot.width(), x.max - x.min, labelWidth, pointCount, Axis::Horizontal);
    layout.yStep =
        gridStep(layout.plot.height(), y.max - y.min, lineHeight, pointCount, Axis::Vertical);
    layout.bottom = bottomAxisMarks(layout.plot, x.min, x.max, layout.xStep);
    layout.left = leftAxisMarks(layout.plot, y.min, y.max, layout.yStep);
    return layout;
}

}  // namespace lsg::chart
