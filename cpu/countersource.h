// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/usagecomputer.h"

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

// One of the texts above, or null when the operation worked. The sampler runs once a second, so
// its failures are values, not exceptions.
using SampleError = const char*;

// Where the sampler's ticks come from. A sample hands the computer, for the instance list fixed
// at the first sample (one per logical processor, then the whole-machine aggregate), each
// instance's cumulative busy and total ticks.
class CounterSource {
public:
    virtual ~CounterSource() = default;
    // Runs once when the sampler loads. A source whose instance list is known without a sample
    // fixes it here.
    virtual void attach(UsageComputer& computer) { (void)computer; }
    // Takes one sample into the computer, fixing its instance list on the first one. On an error
    // the computer's last interval is unchanged.
    virtual SampleError sample(UsageComputer& computer) = 0;
    // True while the source reads a system statistic that a sample has to start first.
    virtual bool awaitsStart() const { return false; }
    // Ends what the source started in the system; runs when the sampler unloads.
    virtual void stop() {}
};

}  // namespace lsg::adCpuUsage
