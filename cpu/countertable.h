// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>
#include <memory>

namespace lsg::adCpuUsage {

// The last two samples of every instance's cumulative idle counter (100 ns units) and the
// time of each sample. Counter sources write into it; the usage arithmetic reads from it.
//
// An instance can be absent from a sample (a processor that went offline, a performance
// block that lists fewer instances than the first one did). Its counter then keeps its last
// value and the instance is marked absent; any interval that starts or ends at a sample
// where it was absent reads as usage 0 rather than a bogus 100 % (an unmoved idle counter
// would otherwise look fully busy). The same rule gives a defined 0 when only one sample
// has been taken so far.
class CounterTable {
public:
    // −1 until the first sample fixes the instance list.
    std::int32_t instanceCount() const noexcept { return m_count; }
    bool isFixed() const noexcept { return m_count >= 0; }

    // Fixes the instance count and allocates both counter arrays (zeroed, all absent).
    void fix(std::int32_t count);

    // Starts a sample: every current counter becomes the previous one. Instances not written
    // by set() before endSample() stay absent in this sample.
    void beginSample() noexcept;
    void set(std::int32_t index, std::int64_t value) noexcept {
        m_current[index] = value;
        m_present[index] |= kNow;
    }
    // Ends a sample: the current time becomes the previous time.
    void endSample(std::int64_t time) noexcept {
        m_previousTime = m_currentTime;
        m_currentTime = time;
    }

    // Busy fraction of an instance over the last interval; index must be in range.
    double usage(std::int32_t index) const noexcept;

    std::int64_t current(std::int32_t index) const noexcept { return m_current[index]; }
    std::int64_t previous(std::int32_t index) const noexcept { return m_previous[index]; }
    std::int64_t currentTime() const noexcept { return m_currentTime; }
    std::int64_t previousTime() const noexcept { return m_previousTime; }

private:
    static constexpr std::uint8_t kNow = 1;
    static constexpr std::uint8_t kBefore = 2;

    std::int32_t m_count = -1;
    std::unique_ptr<std::int64_t[]> m_current;
    std::unique_ptr<std::int64_t[]> m_previous;
    // Per instance: kNow if present in the latest sample, kBefore if in the one before.
    std::unique_ptr<std::uint8_t[]> m_present;
    std::int64_t m_currentTime = 0;
    std::int64_t m_previousTime = 0;
};

}  // namespace lsg::adCpuUsage
