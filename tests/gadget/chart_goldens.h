// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The charts whose pictures are kept under tests/fixtures/chart: drawn by the chart tests and
// compared with those pictures, and written anew by build/tools/chartpictures.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <array>
#include <memory>
#include <vector>

#include "gadget/chartview.h"
#include "gadget/processorgrid.h"
#include "gadget/processorlayout.h"

namespace lsg::test {

using Values = std::array<double, 10>;  // at X = 0 .. 9

struct ChartGolden {
    const char* name;  // of its picture, without ".png"
    ChartKind kind;
    QSize size;
    qreal ratio;
    QRgb background;  // not premultiplied
    Values values;
};

// The gadget's default face, a light face, and the strips' own area colour.
inline constexpr QRgb kSlateFace = 0xFF3A444E;
inline constexpr QRgb kLightFace = 0xFFF0F0F0;
inline constexpr QRgb kStripArea = 0xFF4466A3;

inline constexpr Values kFlat0{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr Values kFlat100{100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
inline constexpr Values kZigzag{0, 100, 0, 100, 0, 100, 0, 100, 0, 100};
inline constexpr Values kRamp{0, 11, 22, 33, 44, 55, 66, 77, 88, 99};
inline constexpr Values kMixed{12, 35, 28, 60, 55, 90, 100, 47, 20, 33};
inline constexpr Values kStripMixed{5, 80, 40, 0, 100, 65, 30, 45, 90, 10};

inline const std::vector<ChartGolden>& chartGoldens() {
    constexpr auto total = ChartKind::Total;
    constexpr auto strip = ChartKind::Strip;
    static const std::vector<ChartGolden> goldens = {
        // The total chart at the gadget's usual size: extremes, straight sides, a slope, a mix.
        {"total_flat0", total, {355, 200}, 1, kLightFace, kFlat0},
        {"total_flat100", total, {355, 200}, 1, kLightFace, kFlat100},
        {"total_zigzag", total, {355, 200}, 1, kLightFace, kZigzag},
        {"total_ramp", total, {355, 200}, 1, kSlateFace, kRamp},
        {"total_mixed", total, {355, 200}, 1, kSlateFace, kMixed},
        {"total_mixed_ratio2", total, {355, 200}, 2, kSlateFace, kMixed},
        // Strips: one with a horizontal grid, one a few text lines high without, one so small
        // it has no grid at all, one on its own area colour, one at a fractional pixel ratio,
        // one on a see-through background.
        {"strip_mixed", strip, {355, 41}, 1, kSlateFace, kStripMixed},
        {"strip_24", strip, {355, 24}, 1, kLightFace, kStripMixed},
        {"strip_tiny", strip, {355, 10}, 1, kLightFace, kStripMixed},
        {"strip_on_area_colour", strip, {355, 41}, 1, kStripArea, kStripMixed},
        {"strip_ratio1_5", strip, {355, 41}, 1.5, kSlateFace, kStripMixed},
        {"strip_see_through", strip, {355, 41}, 1, 0x80C81E3C, kStripMixed},
    };
    return goldens;
}

// The chart of a golden case, in the format its picture is read in.
inline QImage renderGolden(const ChartGolden& golden) {
    ChartView chart(golden.kind);
    chart.setBackgroundColor(QColor::fromRgba(golden.background));
    for (double v : golden.values) {
        chart.addY(v);
    }
    chart.setMinMax(0, 100);
    return chart.renderImage(golden.size, golden.ratio).convertToFormat(QImage::Format_ARGB32);
}

// The processor grids whose pictures are kept beside the charts': the grid the gadget shows above
// its total chart for so many processors in a panel of the given size.
struct GridGolden {
    const char* name;
    int processors;
    QSize panel;
    qreal ratio;
    QRgb background;
};

// Value k (0 oldest .. 9 newest) of processor i: every kind of shape, every third processor busy
// of late.
inline double gridValue(int i, int k) {
    if (i % 3 == 2) {
        return k < 6 ? (i * 7 + k * 11) % 40 : 100;
    }
    return (i * 29 + k * 17) % 101;
}

inline const std::vector<GridGolden>& gridGoldens() {
    static const std::vector<GridGolden> goldens = {
        // Area charts at the default size, from the largest cells to the smallest, one on a
        // light face, and at device pixel ratios 2 and 1.5.
        {"grid_charts_16", 16, {355, 211}, 1, kSlateFace},
        {"grid_charts_16_ratio2", 16, {355, 211}, 2, kSlateFace},
        {"grid_charts_64_ratio1_5", 64, {355, 211}, 1.5, kSlateFace},
        {"grid_charts_128", 128, {355, 211}, 1, kSlateFace},
        {"grid_charts_128_light", 128, {355, 211}, 1, kLightFace},
        // Coloured cells, on the dark face and on a light one.
        {"grid_heat_256", 256, {355, 211}, 1, kSlateFace},
        {"grid_heat_256_light", 256, {355, 211}, 1, kLightFace},
    };
    return goldens;
}

// The grid of a golden case, in the format its picture is read in.
inline QImage renderGridGolden(const GridGolden& golden) {
    std::vector<std::unique_ptr<ChartView>> strips;
    for (int i = 0; i < golden.processors; ++i) {
        strips.push_back(std::make_unique<ChartView>(ChartKind::Strip));
        for (int k = 0; k < 10; ++k) {
            strips.back()->addY(gridValue(i, k));
        }
        strips.back()->setMinMax(0, 100);
    }
    ProcessorGrid grid;
    for (const auto& strip : strips) {
        grid.addSeries(strip.get());
    }
    grid.setBackgroundColor(QColor::fromRgba(golden.background));
    const ProcessorLayout layout =
        chooseProcessorLayout(golden.processors, golden.panel.width(), golden.panel.height());
    grid.setCells(layout);
    return grid.renderImage(QSize(layout.width, layout.gridHeight()), golden.ratio)
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace lsg::test
