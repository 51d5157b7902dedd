// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <optional>

namespace lsg {

// The one series of a chart, as the sampling tick feeds it: points with X = 0, 1, ... in order
// of addition and a Y value each, on a vertical axis with a fixed range.
class ChartSeries {
public:
    virtual ~ChartSeries() = default;

    virtual int count() const = 0;
    // Appends a point whose X is the number of points before it (empty label, default colour).
    virtual void addY(double y) = 0;
    // Y value of point i; nothing when i is out of range.
    virtual std::optional<double> yValue(int i) const = 0;
    // Replaces the Y value of point i, X unchanged; false (and nothing changed) when i is out of
    // range.
    virtual bool setYValue(int i, double y) = 0;
    // Fixes the vertical axis (automatic scaling off); false (and nothing changed) when the
    // minimum is above the maximum or either is not a number.
    virtual bool setMinMax(double minimum, double maximum) = 0;
};

}  // namespace lsg
