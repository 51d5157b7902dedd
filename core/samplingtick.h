// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>

#include "core/chartseries.h"

// The once-a-second sampling tick without widgets: percentages, the ten-value chart window and
// the caption text.
namespace lsg {

// Entries of the push state: index 0 is the total chart, index i the strip of processor i - 1.
inline constexpr qint64 kChartSlots = 1000;
// Points each chart keeps after its first push.
inline constexpr int kChartPoints = 10;
// Most processor strips that exist; further processors only count in the average.
inline constexpr qint64 kMaxStrips = kChartSlots - 1;

// A busy fraction as a whole percentage: the exact value of u x 100 rounded to the nearest
// integer with halves to the even neighbour, clamped to 0..100 (a NaN reads as 0). Only a
// fraction that is exactly a half percent rounds as a half.
qint64 percentFromUsage(double usage);

// "CPU Usage: <avg>% (1 processor)" for one processor, else
// "Average CPU Usage: <avg>% (<count> processors)".
QString tickCaption(qint64 processorCount, qint64 average);

// One of the sampler's error texts as the user reads it, in the user's language. The sampler
// is plain C++ and keeps its English texts; they are looked up here, at the point of display.
QString sampleErrorText(const char* error);

// The push state of the charts one feeder fills: whether each chart index (0 the total chart,
// i the strip of processor i - 1) has had its first push. Every chart starts unseeded.
class ChartPushState {
public:
    // Marks every chart unseeded.
    void reset() { m_seeded.fill(false); }
    bool seeded(qint64 islemcino) const;

    // Pushes a percentage into chart `islemcino`: the first push fills the series with ten
    // points of that value; every later push moves the ten values one point to the left and
    // writes the new one at point 9, ignoring errors of single moves (a series that lost points
    // does not stop the tick). Each push fixes the vertical axis to 0..100. Indices outside
    // 0..999 are ignored.
    void ChartDegerEkle(qint64 islemcino, ChartSeries& ChartAdi, qint64 deger);

private:
    std::array<bool, kChartSlots> m_seeded{};
};

// Where a tick's usage fractions come from. Its failures are values: the text the user is shown,
// or null when all went well.
class UsageSource {
public:
    virtual ~UsageSource() = default;
    // The processor instances, logical processors + 1 (the whole machine, listed last), into
    // `instances`.
    virtual const char* countInstances(std::int32_t& instances) = 0;
    // Takes one sample of every processor.
    virtual const char* sample() = 0;
    // Busy fraction of processor `index` over the last two samples, into `fraction`.
    virtual const char* usage(std::int32_t index, double& fraction) = 0;
};

// What a tick came to: the new caption, or the sampler's error text.
struct TickOutcome {
    QString caption;              // empty when the tick failed
    const char* error = nullptr;  // null when it did not
};

// One tick: samples, feeds strip i (strips[i - 1], when present and not null) with processor
// i - 1's percentage for i = 1..processorCount, feeds the total chart with the integer average
// of all processorCount percentages (0 when there are none), and gives the caption. Strips
// beyond kMaxStrips are never fed. A sampler error ends the tick where it happens: charts fed
// before it keep their new values and no caption is given, so the caller keeps the old one.
TickOutcome runSamplingTick(ChartPushState& charts, UsageSource& source, qint64 processorCount,
                            std::span<ChartSeries* const> strips, ChartSeries& total);

}  // namespace lsg
