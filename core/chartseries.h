// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

namespace lsg {

// The one series of a chart, as the sampling tick feeds it: points with X = 0, 1, ... in order
// of addition and a Y value each, on a vertical axis with a fixed range.
class ChartSeries {
public:
    virtual ~ChartSeries() = default;

    virtual int count() const = 0;
    // Appends a point whose X is the number of points before it (empty label, default colour).
    virtual void addY(double y) = 0;
    // Y value of point i; throws lsg::Exception when i is out of range.
    virtual double yValue(int i) const = 0;
    // Replaces the Y value of point i, X unchanged; throws lsg::Exception when out of range.
    virtual void setYValue(int i, double y) = 0;
    // Fixes the vertical axis (automatic scaling off).
    virtual void setMinMax(double minimum, double maximum) = 0;
};

}  // namespace lsg
