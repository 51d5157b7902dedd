// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"

#include "cpu/procstat.h"

namespace lsg::adCpuUsage {

// Linux has per-processor counters, so it always takes the NT-style path; the 9x statistic
// does not exist here.
SamplerSetup liveSetup() {
    SamplerSetup setup;
    setup.platformId = kPlatformWin32Nt;
    setup.source = std::make_unique<ProcStatSource>();
    return setup;
}

}  // namespace lsg::adCpuUsage
