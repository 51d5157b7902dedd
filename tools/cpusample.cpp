// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// Developer tool: samples once a second with the real sampler and prints one line per second:
// the per-processor percentages as the gadget's tick computes them, then their integer
// average. Usage: cpusample [seconds]   (runs until interrupted when no count is given)
#include "cpu/adcpuusage.h"
#include "platform/exception.h"

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

void tick(std::int32_t processors) {
    lsg::adCpuUsage::SampleProcessors();
    std::int64_t sum = 0;
    for (std::int32_t i = 0; i < processors; ++i) {
        const std::int64_t p = percentage(lsg::adCpuUsage::ProcessorUsage(i));
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
    std::int32_t processors = 0;
    try {
        processors = lsg::adCpuUsage::CountProcessors() - 1;
    } catch (const lsg::Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    // Ticks on the monotonic clock's whole-second grid after the start, so they do not drift.
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (long n = 0; seconds < 0 || n < seconds; ++n) {
        ++next.tv_sec;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
        }
        try {
            tick(processors);
        } catch (const lsg::Exception& e) {
            // Like the gadget's tick: report and carry on with the next second.
            std::fprintf(stderr, "%s\n", e.what());
        }
    }
    return 0;
}
