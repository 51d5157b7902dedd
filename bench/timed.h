// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <benchmark/benchmark.h>

#include "tests/cpu/allocationcounter.h"

namespace lsg::bench {

// Runs body twice to warm up, then times it and counts allocations per iteration.
template <typename Body>
void timed(benchmark::State& state, Body body) {
    body();
    body();
    const long before = lsg::test::allocationCount();
    for (auto _ : state) {
        body();
    }
    state.counters["allocs/iter"] =
        benchmark::Counter(static_cast<double>(lsg::test::allocationCount() - before) /
                           static_cast<double>(state.iterations()));
}

}  // namespace lsg::bench
