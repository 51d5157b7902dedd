// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/usagecomputer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace lsg::adCpuUsage::test {
namespace {

// Busy and total ticks of one processor in one sample; empty when it is absent.
using Ticks = std::optional<std::pair<std::uint64_t, std::uint64_t>>;

// Two processors and the computed aggregate.
UsageComputer twoProcessors(std::int64_t hz, std::int64_t minimumMs) {
    UsageComputer computer;
    UsageComputer::Layout layout;
    layout.instances = 3;
    layout.aggregateFromProcessors = true;
    layout.ticksPerSecond = hz;
    layout.minimumIntervalMs = minimumMs;
    computer.fix(layout);
    return computer;
}

std::vector<double> sample(UsageComputer& computer, const std::vector<Ticks>& ticks) {
    computer.beginSample();
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        if (ticks[k]) {
            computer.set(static_cast<std::int32_t>(k), ticks[k]->first, ticks[k]->second);
        }
    }
    computer.endSample();
    std::vector<double> usages;
    for (std::int32_t i = 0; i < computer.instanceCount(); ++i) {
        usages.push_back(computer.usage(i));
    }
    return usages;
}

TEST(UsageComputer, CountersThatWrapAroundStillMeasureTheirGrowth) {
    constexpr std::uint64_t kTop = ~std::uint64_t{0};
    UsageComputer computer = twoProcessors(100, 50);
    sample(computer, {{{kTop - 9, kTop - 99}}, {{kTop, kTop - 49}}});
    // cpu0: 30 busy of 100; cpu1: 100 of 100.
    EXPECT_EQ(sample(computer, {{{20, 0}}, {{99, 50}}}), (std::vector<double>{0.3, 1.0, 0.65}));
}

TEST(UsageComputer, ShortIntervalsRepeatTheSampleAndTheNextMeasuresFromTheOlderOne) {
    struct Case {
        const char* what;
        std::int64_t hz;
        std::uint64_t secondTotal;  // ticks after the first sample's 1000
        bool repeated;
    };
    // 50 ms is 12.5 ticks at 250 Hz: 12 is too short, 13 is measured.
    const Case cases[] = {
        {"just under the minimum", 250, 1012, true},
        {"just over the minimum", 250, 1013, false},
        {"exactly the minimum", 100, 1005, false},
        {"a counter that went backwards is measured, not repeated", 100, 990, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UsageComputer computer = twoProcessors(c.hz, 50);
        sample(computer, {{{500, 1000}}, {{500, 1000}}});
        const auto second = sample(computer, {{{510, c.secondTotal}}, {{500, c.secondTotal}}});
        if (c.repeated) {
            EXPECT_EQ(second, (std::vector<double>{0, 0, 0}));
            EXPECT_EQ(computer.elapsed(), 0);
        } else {
            EXPECT_NE(second[0], 0);
        }
        // A second later the busy ticks count from the last measured sample.
        const std::uint64_t from = c.repeated ? 1000 : c.secondTotal;
        const auto third = sample(computer, {{{560, from + c.hz}}, {{500, from + c.hz}}});
        EXPECT_DOUBLE_EQ(third[0], (c.repeated ? 60.0 : 50.0) / static_cast<double>(c.hz));
    }
}

TEST(UsageComputer, AnIntervalTouchingAnAbsentInstanceReadsZero) {
    UsageComputer computer = twoProcessors(100, 50);
    EXPECT_EQ(sample(computer, {{{0, 0}}, {{0, 0}}}), (std::vector<double>{0, 0, 0}));
    // cpu1 offline: the aggregate is cpu0's alone.
    EXPECT_EQ(sample(computer, {{{50, 100}}, std::nullopt}), (std::vector<double>{0.5, 0, 0.5}));
    // Both offline: nothing measured, and the aggregate has no reading to measure from next.
    EXPECT_EQ(sample(computer, {std::nullopt, std::nullopt}), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(sample(computer, {{{100, 200}}, {{0, 100}}}), (std::vector<double>{0, 0, 0}));
    const auto back = sample(computer, {{{200, 300}}, {{50, 200}}});
    EXPECT_EQ(back[0], 1.0);
    EXPECT_EQ(back[1], 0.5);
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
