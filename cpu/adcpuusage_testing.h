// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countersource.h"

#include <cstdint>
#include <memory>
#include <optional>

// Test seam of the sampler: reload the module with chosen parts, and look at its state.
namespace lsg::adCpuUsage::testing {

inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 9x family
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

struct Setup {
    // What the platform's version query reports; empty when the query fails.
    std::optional<std::uint32_t> platformId = kPlatformWin32Nt;
    // Where the ticks come from: per-processor counters on the NT-style path, the
    // whole-machine statistic on the 9x path.
    std::unique_ptr<CounterSource> source;
};

// Unloads the module (StopSampling runs, everything is released) and loads it again with
// these parts, as if the process had just started.
void reset(Setup setup);
// The same with the parts a real process gets on this platform.
void resetLive();

// The module's usage arithmetic, for inspection.
const UsageComputer& computer();
bool isNtPath();
bool isStatisticRunning();

}  // namespace lsg::adCpuUsage::testing
