// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/samplingtick.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "core/logging.h"
#include "cpu/countersource.h"

namespace lsg {

qint64 percentFromUsage(double usage) {
    if (std::isnan(usage) || usage <= 0.0) {
        return 0;
    }
    if (usage >= 1.0) {
        return 100;
    }
    // The product in double can land on a half the fraction itself is not: 1 - 1/200 is held
    // just below 0.995, yet its product rounds to exactly 99.5. fma gives the product's rounding
    // error exactly (scaled + error is the true u x 100), and only at a half can that error move
    // the result, since every half below 100 is itself a double.
    const double scaled = usage * 100.0;
    const double error = std::fma(usage, 100.0, -scaled);
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    qint64 result = static_cast<qint64>(floor);
    // Halves go to the even neighbour, whatever the floating-point rounding mode is.
    if (fraction > 0.5 || (fraction == 0.5 && (error > 0.0 || (error == 0.0 && result % 2 != 0)))) {
        ++result;
    }
    return result;
}

QString tickCaption(qint64 processorCount, qint64 average) {
    if (processorCount == 1) {
        return QCoreApplication::translate("lsg::SamplingTick", "CPU Usage: %1% (1 processor)")
            .arg(average);
    }
    return QCoreApplication::translate("lsg::SamplingTick",
                                       "Average CPU Usage: %1% (%2 processors)")
        .arg(average)
        .arg(processorCount);
}

// The sampler's texts, listed where the translation tools find them.
[[maybe_unused]] constexpr const char* kSampleErrors[] = {
    QT_TRANSLATE_NOOP("lsg::Sampler", "Can't get the Windows version"),
    QT_TRANSLATE_NOOP("lsg::Sampler", "Unable to locate the \"Processor\" performance object"),
    QT_TRANSLATE_NOOP("lsg::Sampler",
                      "Unable to locate the \"% of CPU usage\" performance counter"),
    QT_TRANSLATE_NOOP("lsg::Sampler", "CPU index out of bounds"),
    QT_TRANSLATE_NOOP("lsg::Sampler", "Unable to start performance monitoring"),
    QT_TRANSLATE_NOOP("lsg::Sampler", "Unable to read performance data"),
};

// The list above must hold the sampler's texts exactly, or a translation is never found.
static_assert(std::string_view(kSampleErrors[0]) == adCpuUsage::kVersionError);
static_assert(std::string_view(kSampleErrors[1]) == adCpuUsage::kProcessorObjectError);
static_assert(std::string_view(kSampleErrors[2]) == adCpuUsage::kCpuUsageCounterError);
static_assert(std::string_view(kSampleErrors[3]) == adCpuUsage::kIndexError);
static_assert(std::string_view(kSampleErrors[4]) == adCpuUsage::kStartMonitoringError);
static_assert(std::string_view(kSampleErrors[5]) == adCpuUsage::kReadDataError);

QString sampleErrorText(const char* error) {
    return QCoreApplication::translate("lsg::Sampler", error);
}

bool ChartPushState::seeded(qint64 islemcino) const {
    return islemcino >= 0 && islemcino < kChartSlots && m_seeded[size_t(islemcino)];
}

void ChartPushState::ChartDegerEkle(qint64 islemcino, ChartSeries& ChartAdi, qint64 deger) {
    if (islemcino < 0 || islemcino >= kChartSlots) {
        return;
    }
    if (!m_seeded[size_t(islemcino)]) {
        for (int j = 0; j < kChartPoints; ++j) {
            ChartAdi.addY(static_cast<double>(deger));
        }
        m_seeded[size_t(islemcino)] = true;
    } else {
        // Each move stands alone: a series that lost points still gets the moves it can take.
        int failed = 0;
        for (int j = 1; j < kChartPoints; ++j) {
            const std::optional<double> y = ChartAdi.yValue(j);
            if (!y || !ChartAdi.setYValue(j - 1, *y)) {
                ++failed;
            }
        }
        if (!ChartAdi.setYValue(kChartPoints - 1, static_cast<double>(deger))) {
            ++failed;
        }
        if (failed != 0) {
            qCDebug(log::cpu) << "chart" << islemcino << "ignored" << failed << "failed moves";
        }
    }
    ChartAdi.setMinMax(0, 100);
}

TickOutcome runSamplingTick(ChartPushState& charts, UsageSource& source, qint64 processorCount,
                            std::span<ChartSeries* const> strips, ChartSeries& total) {
    // The sampler numbers its instances with 32-bit indices.
    const qint64 count =
        std::clamp<qint64>(processorCount, 0, std::numeric_limits<std::int32_t>::max());
    const qint64 stripCount = std::min<qint64>({count, qint64(strips.size()), kMaxStrips});

    if (const char* error = source.sample()) {
        return {.caption = {}, .error = error};
    }
    qint64 sum = 0;
    for (qint64 i = 1; i <= count; ++i) {
        double usage = 0;
        if (const char* error = source.usage(static_cast<std::int32_t>(i - 1), usage)) {
            return {.caption = {}, .error = error};
        }
        const qint64 percent = percentFromUsage(usage);
        if (i <= stripCount && strips[i - 1] != nullptr) {
            charts.ChartDegerEkle(i, *strips[i - 1], percent);
        }
        sum += percent;
    }
    // Without processors (the count the old Windows path gives) the total shows 0.
    const qint64 average = count > 0 ? sum / count : 0;
    charts.ChartDegerEkle(0, total, average);
    return {.caption = tickCaption(count, average)};
}

}  // namespace lsg
