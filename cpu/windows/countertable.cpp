// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/windows/countertable.h"

#include <algorithm>

namespace lsg::adCpuUsage {

CounterTable::CounterTable() : m_own(std::make_unique<UsageComputer>()), m_computer(m_own.get()) {}

CounterTable::CounterTable(UsageComputer& computer) : m_computer(&computer) {}

void CounterTable::fix(std::int32_t count) {
    const auto n = static_cast<std::size_t>(count);
    m_current = std::make_unique<std::int64_t[]>(n);
    m_present = std::make_unique<std::uint8_t[]>(n);
    UsageComputer::Layout layout;
    layout.instances = count;
    layout.ticksPerSecond = kUnitsPerSecond;
    // The time stamps are exact to the millisecond: every interval is measured, and two
    // samples in the same millisecond read 0.
    layout.minimumIntervalMs = 0;
    m_computer->fix(layout);
    m_count = count;
}

void CounterTable::beginSample() noexcept {
    std::fill_n(m_present.get(), m_count, std::uint8_t{0});
}

void CounterTable::endSample(std::int64_t time) noexcept {
    m_previousTime = m_currentTime;
    m_currentTime = time;
    // Unsigned, so that any pair of counters gives a defined, wrapped difference.
    const auto now = static_cast<std::uint64_t>(time);
    m_computer->beginSample();
    for (std::int32_t i = 0; i < m_count; ++i) {
        if (m_present[i]) {
            m_computer->set(i, now - static_cast<std::uint64_t>(m_current[i]), now);
        }
    }
    m_computer->endSample();
}

}  // namespace lsg::adCpuUsage
