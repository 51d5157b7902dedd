// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/countertable.h"

namespace lsg::adCpuUsage {

namespace {

// Counters come from outside (a hostile block can hold any 64-bit value): subtract with
// two's-complement wrap-around instead of signed overflow.
std::int64_t wrappingDifference(std::int64_t a, std::int64_t b) noexcept {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

}  // namespace

void CounterTable::fix(std::int32_t count) {
    const auto n = static_cast<std::size_t>(count);
    m_current = std::make_unique<std::int64_t[]>(n);
    m_previous = std::make_unique<std::int64_t[]>(n);
    m_present = std::make_unique<std::uint8_t[]>(n);
    m_count = count;
}

void CounterTable::beginSample() noexcept {
    for (std::int32_t i = 0; i < m_count; ++i) {
        m_previous[i] = m_current[i];
        m_present[i] = (m_present[i] & kNow) ? kBefore : 0;
    }
}

double CounterTable::usage(std::int32_t index) const noexcept {
    if (m_currentTime == m_previousTime) {
        return 0.0;
    }
    if (m_present[index] != (kNow | kBefore)) {
        return 0.0;
    }
    // Differences are exact 64-bit integers; the ratio is formed in extended precision so
    // that a counter of exactly half the interval gives exactly 0.5.
    const long double idle =
        static_cast<long double>(wrappingDifference(m_current[index], m_previous[index]));
    const long double elapsed =
        static_cast<long double>(wrappingDifference(m_currentTime, m_previousTime));
    return static_cast<double>(1.0L - idle / elapsed);
}

}  // namespace lsg::adCpuUsage
