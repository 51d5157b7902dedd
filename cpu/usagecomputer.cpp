// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/usagecomputer.h"

#include <algorithm>

namespace lsg::adCpuUsage {

namespace {

// Growth of a cumulative counter, wrapping instead of overflowing.
std::int64_t growth(std::uint64_t now, std::uint64_t before) noexcept {
    return static_cast<std::int64_t>(now - before);
}

}  // namespace

void UsageComputer::fix(const Layout& layout) {
    const std::int32_t listed = layout.instances - (layout.aggregateFromProcessors ? 1 : 0);
    const auto n = static_cast<std::size_t>(std::max(listed, 0));
    const auto all = static_cast<std::size_t>(std::max(layout.instances, 0));
    m_readBusy = std::make_unique<std::uint64_t[]>(n);
    m_readTotal = std::make_unique<std::uint64_t[]>(n);
    m_readSeen = std::make_unique<std::uint8_t[]>(n);
    m_baseBusy = std::make_unique<std::uint64_t[]>(n);
    m_baseTotal = std::make_unique<std::uint64_t[]>(n);
    m_baseSeen = std::make_unique<std::uint8_t[]>(n);
    m_busy = std::make_unique<std::int64_t[]>(all);
    m_measured = std::make_unique<std::uint8_t[]>(all);
    m_listed = std::max(listed, 0);
    m_derivedAggregate = layout.aggregateFromProcessors && layout.instances > 0;
    m_minimumInterval = static_cast<long double>(layout.ticksPerSecond) *
                        static_cast<long double>(layout.minimumIntervalMs) / 1000.0L;
    m_count = std::max(layout.instances, 0);
}

void UsageComputer::beginSample() noexcept {
    std::fill_n(m_readSeen.get(), m_listed, std::uint8_t{0});
}

void UsageComputer::endSample() noexcept {
    // One pass for the growths; the bases move only once the interval is known to count.
    std::int32_t both = 0;
    // The total in extended precision, which no count of instances can overflow; the busy sum
    // only feeds the computed aggregate, whose counters are small tick counts.
    long double totalGrowth = 0;
    std::uint64_t busyGrowth = 0;
    for (std::int32_t k = 0; k < m_listed; ++k) {
        const bool measured = m_readSeen[k] && m_baseSeen[k];
        m_measured[k] = measured;
        if (measured) {
            ++both;
            const std::int64_t busy = growth(m_readBusy[k], m_baseBusy[k]);
            m_busy[k] = busy;
            busyGrowth += static_cast<std::uint64_t>(busy);
            totalGrowth += static_cast<long double>(growth(m_readTotal[k], m_baseTotal[k]));
        }
    }
    const long double elapsed = both > 0 ? totalGrowth / both : 0;

    if (m_started && both > 0 && elapsed >= 0 && elapsed < m_minimumInterval) {
        // Too short to measure: an empty interval, and the next one starts where this one did.
        m_elapsed = 0;
        std::fill_n(m_measured.get(), m_count, std::uint8_t{0});
        return;
    }

    m_elapsed = elapsed;
    for (std::int32_t k = 0; k < m_listed; ++k) {
        if (m_readSeen[k]) {
            m_baseBusy[k] = m_readBusy[k];
            m_baseTotal[k] = m_readTotal[k];
        }
        m_baseSeen[k] = m_readSeen[k];
    }
    if (m_derivedAggregate) {
        m_measured[m_listed] = m_aggregateBase && both > 0;
        m_busy[m_listed] = static_cast<std::int64_t>(busyGrowth);
        m_busyShare = both;
        m_aggregateBase = !m_started || both > 0;
    }
    m_started = true;
}

double UsageComputer::usage(std::int32_t index) const noexcept {
    if (!m_measured[index] || m_elapsed == 0) {
        return 0.0;
    }
    // Extended precision, so that a busy count of exactly half the interval gives exactly 0.5.
    const long double busy = static_cast<long double>(m_busy[index]);
    const long double share = m_derivedAggregate && index == m_listed ? m_busyShare : 1;
    return static_cast<double>(busy / share / m_elapsed);
}

}  // namespace lsg::adCpuUsage
