// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>

// The CPU usage sampler: module-level state, taken once per tick on the UI thread. The module
// loads on first use (choosing its counter source once: per-processor counters, or the
// whole-machine statistic of the 9x family, which Linux never takes) and unloads at exit.
// Failures raise lsg::Exception with a user-readable text. adcpuusage_testing.h reloads the
// module with other parts for tests.
namespace lsg::adCpuUsage {

// Number of processor instances: logical processors + 1 aggregate instance, listed last
// (1 on the 9x path). The first call takes a sample.
std::int32_t CountProcessors();
// Takes one sample of every instance's idle counter and the sample time.
void SampleProcessors();
// Busy fraction of an instance over the last two samples; not clamped. 0 while there is no
// interval yet (one sample only) and for an interval at whose start or end the instance was
// absent (a processor gone offline).
double ProcessorUsage(std::int32_t index);
// Ends the 9x statistic; nothing on other paths. Runs when the module unloads.
void StopSampling();

}  // namespace lsg::adCpuUsage
