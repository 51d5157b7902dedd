// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "sysinfo.h"

// Filled in by the online services work.
