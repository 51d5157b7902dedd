// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/usagecomputer.h"

#include <cstdint>
#include <memory>

namespace lsg::adCpuUsage {

// The performance data's side of the usage arithmetic. Those counters are cumulative idle times
// in 100 ns units, with one time stamp per sample on the same scale; the table records the
// latest of each and hands the computer busy = time − idle and total = time, so an interval
// reads 1 − idle growth / elapsed time.
//
// An instance not set() in a sample keeps its last counter and is absent from that sample.
class CounterTable {
public:
    static constexpr std::int64_t kUnitsPerSecond = 10'000'000;

    // Feeds a computer of its own.
    CounterTable();
    // Feeds the given computer, which must outlive the table.
    explicit CounterTable(UsageComputer& computer);
    CounterTable(const CounterTable&) = delete;
    CounterTable& operator=(const CounterTable&) = delete;

    // −1 until the first sample fixes the instance list.
    std::int32_t instanceCount() const noexcept { return m_computer->instanceCount(); }
    bool isFixed() const noexcept { return m_computer->isFixed(); }

    // Fixes the instance count and allocates the counters (zeroed).
    void fix(std::int32_t count);

    // Starts a sample; instances not set() before endSample() are absent from it.
    void beginSample() noexcept;
    void set(std::int32_t index, std::int64_t idle) noexcept {
        m_current[index] = idle;
        m_present[index] = 1;
    }
    // Ends a sample taken at this time and hands it to the computer.
    void endSample(std::int64_t time) noexcept;

    // Busy fraction of an instance over the last interval; index must be in range.
    double usage(std::int32_t index) const noexcept { return m_computer->usage(index); }

    std::int64_t current(std::int32_t index) const noexcept { return m_current[index]; }
    std::int64_t currentTime() const noexcept { return m_currentTime; }
    std::int64_t previousTime() const noexcept { return m_previousTime; }

private:
    std::unique_ptr<UsageComputer> m_own;
    UsageComputer* m_computer;
    std::int32_t m_count = 0;
    std::unique_ptr<std::int64_t[]> m_current;
    std::unique_ptr<std::uint8_t[]> m_present;  // set in the sample being taken
    std::int64_t m_currentTime = 0;
    std::int64_t m_previousTime = 0;
};

}  // namespace lsg::adCpuUsage
