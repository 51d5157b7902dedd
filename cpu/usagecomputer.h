// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>
#include <memory>

namespace lsg::adCpuUsage {

// Turns cumulative busy and total ticks per instance into busy fractions, the same way for
// every counter source. A source fixes the instance list once, then hands each sample's ticks
// between beginSample() and endSample().
//
// Every instance of an interval is measured over one common elapsed time: the mean growth of
// the total ticks of the instances present at both ends. Busy fractions of the processors then
// add up to the aggregate's, even when the kernel ticks each processor's clock a little apart.
//
// An instance can be absent from a sample (a processor gone offline, a block listing fewer
// instances). Its ticks then keep their last values, and an interval that starts or ends at a
// sample where it was absent reads 0 rather than a bogus figure. The same rule gives a defined
// 0 after the first sample, when there is no interval yet.
//
// Differences wrap around: counters come from outside, and garbage must give defined nonsense,
// never signed overflow. After fix() nothing allocates.
class UsageComputer {
public:
    struct Layout {
        // Instances, the whole-machine aggregate listed last.
        std::int32_t instances = 0;
        // The source hands every instance but the aggregate, which is then the processors'
        // busy ticks over their total ticks.
        bool aggregateFromProcessors = false;
        // Counters that advance in coarse ticks cannot measure a short interval: one under
        // minimumIntervalMs (in a clock of ticksPerSecond) repeats the previous sample, so every
        // usage reads 0 and the next sample measures from the older one, losing no ticks.
        // 0 measures every interval.
        std::int64_t ticksPerSecond = 0;
        std::int64_t minimumIntervalMs = 0;
    };

    // −1 until fix().
    std::int32_t instanceCount() const noexcept { return m_count; }
    bool isFixed() const noexcept { return m_count >= 0; }
    void fix(const Layout& layout);

    // A sample: the instances set() in between are present in it, all others absent.
    void beginSample() noexcept;
    // index below the number of instances the source hands.
    void set(std::int32_t index, std::uint64_t busy, std::uint64_t total) noexcept {
        m_readBusy[index] = busy;
        m_readTotal[index] = total;
        m_readSeen[index] = 1;
    }
    void endSample() noexcept;

    // Busy fraction of an instance over the last interval; not clamped. index in range.
    double usage(std::int32_t index) const noexcept;
    // The last interval's common elapsed time in ticks; 0 when it was empty or repeated.
    long double elapsed() const noexcept { return m_elapsed; }

private:
    std::int32_t m_count = -1;
    std::int32_t m_listed = 0;  // instances the source hands
    bool m_derivedAggregate = false;
    long double m_minimumInterval = 0;  // in ticks

    // Per listed instance: this sample's ticks, and those at the last measured sample.
    std::unique_ptr<std::uint64_t[]> m_readBusy;
    std::unique_ptr<std::uint64_t[]> m_readTotal;
    std::unique_ptr<std::uint8_t[]> m_readSeen;
    std::unique_ptr<std::uint64_t[]> m_baseBusy;
    std::unique_ptr<std::uint64_t[]> m_baseTotal;
    std::unique_ptr<std::uint8_t[]> m_baseSeen;

    // The last interval, per instance: busy growth, and whether it was present at both ends.
    // The computed aggregate's is the processors' sum, shared among m_busyShare of them.
    std::unique_ptr<std::int64_t[]> m_busy;
    std::int32_t m_busyShare = 1;
    std::unique_ptr<std::uint8_t[]> m_measured;
    long double m_elapsed = 0;

    bool m_started = false;
    // The computed aggregate has a reading at the last measured sample: at the first one, and at
    // any later one where some processor was measured.
    bool m_aggregateBase = false;
};

}  // namespace lsg::adCpuUsage
