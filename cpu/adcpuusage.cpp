// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "adcpuusage.h"

// Placeholder until the sampler lands.
namespace lsg::adCpuUsage {
std::int32_t CountProcessors() { return 1; }
void SampleProcessors() {}
double ProcessorUsage(std::int32_t) { return 0.0; }
void StopSampling() {}
}  // namespace lsg::adCpuUsage
