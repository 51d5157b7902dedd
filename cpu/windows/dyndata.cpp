// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/windows/dyndata.h"

namespace lsg::adCpuUsage {

namespace {
constexpr std::uint64_t kTicksPerReading = 100;
}

DynDataSource::DynDataSource(std::unique_ptr<DynDataStore> store) : m_store(std::move(store)) {}

void DynDataSource::attach(UsageComputer& computer) {
    UsageComputer::Layout layout;
    layout.instances = 1;
    computer.fix(layout);
    // The zero every later reading is measured from.
    computer.beginSample();
    computer.set(0, 0, 0);
    computer.endSample();
}

SampleError DynDataSource::sample(UsageComputer& computer) {
    if (!m_running) {
        DynDataStore::Key key{};
        if (!m_store || !m_store->openKey(kStartStatKey, DynDataStore::Access::All, key)) {
            return kStartMonitoringError;
        }
        m_store->queryValue(key, kCpuUsageValue, m_usage);
        m_store->closeKey(key);
        if (!m_store->openKey(kStatDataKey, DynDataStore::Access::Read, m_dataKey)) {
            return kReadDataError;
        }
        m_running = true;
    }
    // Whether the read succeeds is not examined: a failed read keeps the last value.
    m_store->queryValue(m_dataKey, kCpuUsageValue, m_usage);
    m_busy += m_usage;
    m_total += kTicksPerReading;
    computer.beginSample();
    computer.set(0, m_busy, m_total);
    computer.endSample();
    return nullptr;
}

void DynDataSource::stop() {
    if (!m_running) {
        return;
    }
    m_running = false;
    m_store->closeKey(m_dataKey);
    DynDataStore::Key key{};
    if (m_store->openKey(kStopStatKey, DynDataStore::Access::All, key)) {
        m_store->queryValue(key, kCpuUsageValue, m_usage);
        m_store->closeKey(key);
    }
}

}  // namespace lsg::adCpuUsage
