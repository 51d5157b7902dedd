// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "adcpuusage.h"
#include "adcpuusage_testing.h"
#include "perfblock.h"
#include "procstat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation of this test program, so that a warm sample can be shown to make none.
namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace lsg::adCpuUsage::test {
namespace {

int* volatile g_probe = nullptr;

long allocationsOfWarmSamples() {
    const long probe = g_allocations.load();
    g_probe = new int(1);
    delete g_probe;
    EXPECT_EQ(g_allocations.load() - probe, 1) << "allocations are not being counted";

    const std::int32_t count = CountProcessors();
    SampleProcessors();
    const long before = g_allocations.load();
    double sum = 0;
    for (int round = 0; round < 50; ++round) {
        SampleProcessors();
        for (std::int32_t i = 0; i < count; ++i) {
            sum += ProcessorUsage(i);
        }
    }
    EXPECT_EQ(sum, sum);  // keeps the loop
    return g_allocations.load() - before;
}

TEST(WarmSample, LiveProcStatAllocatesNothing) {
    testing::resetLive();
    EXPECT_EQ(allocationsOfWarmSamples(), 0);
}

TEST(WarmSample, PerformanceBlocksAllocateNothingOnceTheBufferFits) {
    auto fake = std::make_shared<FakePerfData>();
    PerfBlockContent content;
    content.idle.assign(999, 1234);  // needs a grown buffer
    fake->blocks = {buildPerfBlock(content).bytes};
    testing::Setup setup;
    setup.source = makeSource(fake);
    testing::reset(std::move(setup));
    fake->sizesAsked.reserve(1000);
    EXPECT_EQ(allocationsOfWarmSamples(), 0);
    testing::resetLive();
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
