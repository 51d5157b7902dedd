// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>

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

}  // namespace lsg::adCpuUsage
