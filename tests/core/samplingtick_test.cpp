// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "core/samplingtick.h"

using namespace lsg;

namespace {

// A series as the chart widget keeps it, refusing out-of-range points as the widget does.
class FakeSeries : public ChartSeries {
public:
    int count() const override { return int(ys.size()); }
    void addY(double y) override { ys.push_back(y); }
    std::optional<double> yValue(int i) const override {
        if (!has(i)) {
            return std::nullopt;
        }
        return ys[size_t(i)];
    }
    bool setYValue(int i, double y) override {
        if (!has(i)) {
            return false;
        }
        ys[size_t(i)] = y;
        return true;
    }
    bool setMinMax(double minimum, double maximum) override {
        ++axisUpdates;
        axis = {minimum, maximum};
        return true;
    }

    std::vector<double> ys;
    std::pair<double, double> axis{-1, -1};
    int axisUpdates = 0;

private:
    bool has(int i) const { return i >= 0 && i < count(); }
};

class FakeSource : public UsageSource {
public:
    const char* countInstances(std::int32_t& instances) override {
        instances = 1;
        return nullptr;
    }
    const char* sample() override {
        ++samples;
        return failSample ? "sample failed" : nullptr;
    }
    const char* usage(std::int32_t index, double& fraction) override {
        requested.push_back(index);
        if (index == failAt) {
            return "usage failed";
        }
        fraction = usageOf(index);
        return nullptr;
    }

    std::function<double(std::int32_t)> usageOf = [](std::int32_t) { return 0.0; };
    int samples = 0;
    bool failSample = false;
    std::int32_t failAt = -1;
    std::vector<std::int32_t> requested;
};

class SamplingTickTest : public ::testing::Test {
protected:
    ChartPushState m_charts;
};

std::vector<double> tenOf(double v) {
    return std::vector<double>(10, v);
}

TEST(SamplingTick, PercentFromUsage) {
    const std::pair<double, qint64> cases[] = {
        {0.125, 12},
        {0.375, 38},
        {0.625, 62},
        {0.875, 88},
        {0.999, 100},
        {0.004, 0},
        {-0.2, 0},
        {1.3, 100},
        {0.0, 0},
        {1.0, 100},
        {0.5, 50},
        {0.994, 99},
        {1e300, 100},
        {-1e300, 0},
        {std::numeric_limits<double>::infinity(), 100},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        // Fractions held just beside a half percent, whose product in double is the half
        // itself: the side of the half they lie on decides.
        {1.0 - 1.0 / 200.0, 99},  // just below 0.995
        {0.995, 99},
        {0.015, 1},  // just below
        {0.005, 1},  // just above
        {0.025, 3},  // just above
        // True halves still go to the even neighbour.
        {0.625, 62},
        {0.125, 12},
        {std::nextafter(0.125, 1.0), 13},
        {std::nextafter(0.125, 0.0), 12},
        {std::nextafter(1.0, 0.0), 100},
        {std::numeric_limits<double>::denorm_min(), 0},
    };
    for (const auto& [usage, percent] : cases) {
        SCOPED_TRACE(usage);
        EXPECT_EQ(percentFromUsage(usage), percent);
    }
}

TEST(SamplingTick, Captions) {
    EXPECT_EQ(tickCaption(1, 37), QStringLiteral("CPU Usage: 37% (1 processor)"));
    EXPECT_EQ(tickCaption(3, 50), QStringLiteral("Average CPU Usage: 50% (3 processors)"));
    EXPECT_EQ(tickCaption(0, 0), QStringLiteral("Average CPU Usage: 0% (0 processors)"));
    EXPECT_EQ(tickCaption(1024, 100), QStringLiteral("Average CPU Usage: 100% (1024 processors)"));
}

TEST_F(SamplingTickTest, PushSeedsThenShifts) {
    FakeSeries chart;
    m_charts.ChartDegerEkle(3, chart, 42);
    EXPECT_EQ(chart.ys, tenOf(42));
    EXPECT_EQ(m_charts.seeded(3), true);

    m_charts.ChartDegerEkle(3, chart, 10);
    std::vector<double> expected = tenOf(42);
    expected.erase(expected.begin());
    expected.push_back(10);
    EXPECT_EQ(chart.ys, expected);

    for (int v = 1; v <= 9; ++v) {
        m_charts.ChartDegerEkle(3, chart, v);
    }
    EXPECT_EQ(chart.ys, (std::vector<double>{10, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(chart.axisUpdates, 11);
    EXPECT_EQ(chart.axis, (std::pair<double, double>{0, 100}));

    // Another index has its own state: its first push seeds.
    FakeSeries other;
    m_charts.ChartDegerEkle(0, other, 7);
    EXPECT_EQ(other.ys, tenOf(7));
}

TEST_F(SamplingTickTest, SeriesThatLostPointsDoesNotStopThePush) {
    FakeSeries chart;
    m_charts.ChartDegerEkle(1, chart, 50);
    chart.ys = {1, 2, 3, 4};
    EXPECT_NO_THROW(m_charts.ChartDegerEkle(1, chart, 99));
    EXPECT_EQ(chart.ys, (std::vector<double>{2, 3, 4, 4}));
    EXPECT_EQ(chart.axisUpdates, 2);

    chart.ys.clear();
    EXPECT_NO_THROW(m_charts.ChartDegerEkle(1, chart, 99));
    EXPECT_TRUE(chart.ys.empty()) << "later pushes never add points";
}

TEST_F(SamplingTickTest, IndicesOutsideThePushStateAreIgnored) {
    FakeSeries chart;
    for (qint64 index : {qint64(-1), kChartSlots, qint64(1) << 40}) {
        m_charts.ChartDegerEkle(index, chart, 5);
    }
    EXPECT_TRUE(chart.ys.empty());
    m_charts.ChartDegerEkle(kChartSlots - 1, chart, 5);
    EXPECT_EQ(chart.ys, tenOf(5));
}

TEST_F(SamplingTickTest, TickFeedsStripsTotalAndCaption) {
    FakeSource source;
    source.usageOf = [](std::int32_t i) { return i == 2 ? 0.51 : 0.50; };
    FakeSeries strips[3];
    ChartSeries* const table[] = {&strips[0], &strips[1], &strips[2]};
    FakeSeries total;

    EXPECT_EQ(runSamplingTick(m_charts, source, 3, table, total).caption,
              QStringLiteral("Average CPU Usage: 50% (3 processors)"));
    EXPECT_EQ(source.samples, 1);
    EXPECT_EQ(source.requested, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(strips[0].ys, tenOf(50));
    EXPECT_EQ(strips[2].ys, tenOf(51));
    EXPECT_EQ(total.ys, tenOf(50));

    // The next tick shifts every chart.
    source.usageOf = [](std::int32_t) { return 1.0; };
    runSamplingTick(m_charts, source, 3, table, total);
    EXPECT_EQ(total.ys.back(), 100);
    EXPECT_EQ(total.ys.front(), 50);
    EXPECT_EQ(strips[2].ys.back(), 100);
}

TEST_F(SamplingTickTest, OneProcessor) {
    FakeSource source;
    source.usageOf = [](std::int32_t) { return 0.37; };
    FakeSeries strip;
    FakeSeries total;
    ChartSeries* const table[] = {&strip};
    EXPECT_EQ(runSamplingTick(m_charts, source, 1, table, total).caption,
              QStringLiteral("CPU Usage: 37% (1 processor)"));
    EXPECT_EQ(strip.ys, tenOf(37));
    EXPECT_EQ(total.ys, tenOf(37));
}

TEST_F(SamplingTickTest, NoProcessorsShowsZero) {
    FakeSource source;
    FakeSeries total;
    EXPECT_EQ(runSamplingTick(m_charts, source, 0, {}, total).caption,
              QStringLiteral("Average CPU Usage: 0% (0 processors)"));
    EXPECT_EQ(source.samples, 1);
    EXPECT_TRUE(source.requested.empty());
    EXPECT_EQ(total.ys, tenOf(0));
}

TEST_F(SamplingTickTest, SamplerErrorLeavesEarlierChartsFed) {
    FakeSource source;
    source.usageOf = [](std::int32_t) { return 0.2; };
    source.failAt = 1;
    FakeSeries strips[3];
    ChartSeries* const table[] = {&strips[0], &strips[1], &strips[2]};
    FakeSeries total;
    const TickOutcome failed = runSamplingTick(m_charts, source, 3, table, total);
    EXPECT_STREQ(failed.error, "usage failed");
    EXPECT_TRUE(failed.caption.isEmpty());
    EXPECT_EQ(strips[0].ys, tenOf(20));
    EXPECT_TRUE(strips[1].ys.empty());
    EXPECT_TRUE(strips[2].ys.empty());
    EXPECT_TRUE(total.ys.empty());

    source.failSample = true;
    EXPECT_STREQ(runSamplingTick(m_charts, source, 3, table, total).error, "sample failed");
    EXPECT_EQ(strips[0].ys, tenOf(20)) << "a failed sample pushes nothing";

    // The next tick starts over.
    source.failSample = false;
    source.failAt = -1;
    EXPECT_EQ(runSamplingTick(m_charts, source, 3, table, total).caption,
              QStringLiteral("Average CPU Usage: 20% (3 processors)"));
    EXPECT_EQ(total.ys, tenOf(20));
    EXPECT_EQ(strips[1].ys, tenOf(20));
}

TEST_F(SamplingTickTest, MoreProcessorsThanStrips) {
    // 1200 processors: the first 999 idle, the rest busy. Only 999 strips are fed, the
    // average covers all 1200.
    constexpr qint64 kProcessors = 1200;
    FakeSource source;
    source.usageOf = [](std::int32_t i) { return i < kMaxStrips ? 0.0 : 1.0; };
    std::vector<std::unique_ptr<FakeSeries>> strips;
    std::vector<ChartSeries*> table;
    for (qint64 i = 0; i < kProcessors; ++i) {
        strips.push_back(std::make_unique<FakeSeries>());
        table.push_back(strips.back().get());
    }
    table[5] = nullptr;  // a strip that does not exist is skipped
    FakeSeries total;
    EXPECT_EQ(runSamplingTick(m_charts, source, kProcessors, table, total).caption,
              QStringLiteral("Average CPU Usage: 16% (1200 processors)"));
    EXPECT_EQ(source.requested.size(), size_t(kProcessors));
    EXPECT_EQ(strips[kMaxStrips - 1]->ys, tenOf(0));
    for (qint64 i = kMaxStrips; i < kProcessors; ++i) {
        ASSERT_TRUE(strips[size_t(i)]->ys.empty()) << i;
    }
    EXPECT_EQ(total.ys, tenOf(16));

    // Fewer strips than processors: the rest still count.
    m_charts.reset();
    FakeSeries few[2];
    ChartSeries* const shortTable[] = {&few[0], &few[1]};
    source.usageOf = [](std::int32_t i) { return i == 2 ? 0.9 : 0.0; };
    EXPECT_EQ(runSamplingTick(m_charts, source, 3, shortTable, total).caption,
              QStringLiteral("Average CPU Usage: 30% (3 processors)"));
    EXPECT_EQ(few[1].ys, tenOf(0));
}

}  // namespace
