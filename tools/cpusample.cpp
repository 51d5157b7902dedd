// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// Developer tool: samples once a second with the real sampler and prints one line per second:
// the per-processor percentages as the gadget's tick computes them, then their integer
// average. Usage: cpusample [seconds]   (runs until interrupted when no count is given)
#include "cpu/adcpuusage.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// usage × 100, halves to the even neighbour (the default rounding mode), then 0..100.
std::int64_t percentage(double usage) {
    const double p = std::nearbyint(usage * 100.0);
    return p < 0 ? 0 : p > 100 ? 100 : static_cast<std::int64_t>(p);
}

// One line, or the sampler's error (like the gadget's tick: reported, and the next second
// starts over).
void tick(lsg::adCpuUsage::Sampler& sampler, std::int32_t processors) {
    if (const lsg::adCpuUsage::SampleError error = sampler.SampleProcessors()) {
        std::fprintf(stderr, "%s\n", error);
        return;
    }
    std::int64_t sum = 0;
    for (std::int32_t i = 0; i < processors; ++i) {
        const lsg::adCpuUsage::Measured<double> usage = sampler.ProcessorUsage(i);
        if (!usage.ok()) {
            std::fprintf(stderr, "%s\n", usage.error);
            return;
        }
        const std::int64_t p = percentage(usage.value);
        std::printf("%lld ", static_cast<long long>(p));
        sum += p;
    }
    std::printf("%lld\n", static_cast<long long>(processors > 0 ? sum / processors : 0));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    long seconds = -1;
    if (argc > 1) {
        char* end = nullptr;
        seconds = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || seconds < 0) {
            std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
            return 2;
        }
    }
    lsg::adCpuUsage::Sampler sampler(lsg::adCpuUsage::liveSetup());
    const lsg::adCpuUsage::Measured<std::int32_t> count = sampler.CountProcessors();
    if (!count.ok()) {
        std::fprintf(stderr, "%s\n", count.error);
        return 1;
    }
    const std::int32_t processors = count.value - 1;
    // Ticks on the monotonic clock's whole-second grid after the start, so they do not drift.
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (long n = 0; seconds < 0 || n < seconds; ++n) {
        ++next.tv_sec;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
        }
        tick(sampler, processors);
    }
    return 0;
}
