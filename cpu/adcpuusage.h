// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>

// The CPU usage sampler: module-level state, taken once per tick on the UI thread.
namespace lsg::adCpuUsage {

// Number of processor instances: logical processors + 1 aggregate instance (1 on the 9x path).
std::int32_t CountProcessors();
// Takes one sample of every instance's idle counter and the sample time.
void SampleProcessors();
// Busy fraction of an instance over the last two samples; not clamped.
double ProcessorUsage(std::int32_t index);
// Ends the 9x statistic; nothing on other paths. Runs when the module unloads.
void StopSampling();

}  // namespace lsg::adCpuUsage
