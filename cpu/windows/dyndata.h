// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countersource.h"

#include <cstdint>
#include <memory>

namespace lsg::adCpuUsage {

// The dynamic-data key store through which the Windows 9x family offers its whole-machine
// usage statistic. Opening and reading "KERNEL\CPUUsage" under the start and stop keys
// starts and stops the statistic; the data key then answers the current percentage.
class DynDataStore {
public:
    using Key = std::uintptr_t;
    enum class Access { All, Read };

    virtual ~DynDataStore() = default;
    // True with an open key on success.
    virtual bool openKey(const char* path, Access access, Key& key) = 0;
    // Reads a 4-byte value; true on success.
    virtual bool queryValue(Key key, const char* name, std::uint32_t& value) = 0;
    virtual void closeKey(Key key) = 0;
};

inline constexpr char kStartStatKey[] = "PerfStats\\StartStat";
inline constexpr char kStatDataKey[] = "PerfStats\\StatData";
inline constexpr char kStopStatKey[] = "PerfStats\\StopStat";
inline constexpr char kCpuUsageValue[] = "KERNEL\\CPUUsage";

// The 9x path: one instance, the whole machine, whose usage is the statistic's percentage as of
// the last sample. The statistic starts with the first sample (or the first usage read) and
// runs until stop(). Each reading hands the computer an interval of that many busy ticks out of
// 100, so the usage reads percentage / 100.
class DynDataSource final : public CounterSource {
public:
    explicit DynDataSource(std::unique_ptr<DynDataStore> store);

    // One instance, known without a sample.
    void attach(UsageComputer& computer) override;
    SampleError sample(UsageComputer& computer) override;
    bool awaitsStart() const override { return !m_running; }
    // Stops the statistic; a refused stop key is silent.
    void stop() override;

private:
    std::unique_ptr<DynDataStore> m_store;
    bool m_running = false;
    DynDataStore::Key m_dataKey{};
    std::uint32_t m_usage = 0;  // the last percentage read
    std::uint64_t m_busy = 0;   // cumulative ticks handed to the computer
    std::uint64_t m_total = 0;
};

}  // namespace lsg::adCpuUsage
