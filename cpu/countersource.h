// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countertable.h"

namespace lsg::adCpuUsage {

// Error texts of the sampler, shown to the user as they are.
inline constexpr char kVersionError[] = "Can't get the Windows version";
inline constexpr char kProcessorObjectError[] =
    "Unable to locate the \"Processor\" performance object";
inline constexpr char kCpuUsageCounterError[] =
    "Unable to locate the \"% of CPU usage\" performance counter";
inline constexpr char kIndexError[] = "CPU index out of bounds";
inline constexpr char kStartMonitoringError[] = "Unable to start performance monitoring";
inline constexpr char kReadDataError[] = "Unable to read performance data";

// Where the per-processor idle counters come from. A sample delivers, for the instance list
// fixed at the first sample (one per logical processor, then the whole-machine aggregate),
// one cumulative idle time per instance in 100 ns units, and one time stamp for the whole
// sample in 100 ns units on a scale that all samples share.
class CounterSource {
public:
    virtual ~CounterSource() = default;
    // Takes one sample into the table, fixing its instance count on the first one. Raises
    // lsg::Exception with one of the texts above; the table's counters and times are then
    // unchanged.
    virtual void sample(CounterTable& table) = 0;
};

}  // namespace lsg::adCpuUsage
