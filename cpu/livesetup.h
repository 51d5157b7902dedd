// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/adcpuusage_testing.h"

namespace lsg::adCpuUsage {

// The parts a real process loads the sampler with on this platform.
testing::Setup liveSetup();

}  // namespace lsg::adCpuUsage
