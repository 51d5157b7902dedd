// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"
#include "cpu/procstat.h"
#include "tests/cpu/allocationcounter.h"
#include "tests/cpu/windows/perfblock.h"

#include <gtest/gtest.h>

namespace lsg::adCpuUsage::test {
namespace {

int* volatile g_probe = nullptr;

long allocationsOfWarmSamples(Sampler& sampler) {
    const long probe = lsg::test::allocationCount();
    g_probe = new int(1);
    delete g_probe;
    EXPECT_EQ(lsg::test::allocationCount() - probe, 1) << "allocations are not being counted";

    const std::int32_t count = sampler.CountProcessors().value;
    EXPECT_EQ(sampler.SampleProcessors(), nullptr);
    const long before = lsg::test::allocationCount();
    double sum = 0;
    for (int round = 0; round < 50; ++round) {
        EXPECT_EQ(sampler.SampleProcessors(), nullptr);
        for (std::int32_t i = 0; i < count; ++i) {
            sum += sampler.ProcessorUsage(i).value;
        }
    }
    EXPECT_EQ(sum, sum);  // keeps the loop
    return lsg::test::allocationCount() - before;
}

TEST(WarmSample, LiveProcStatAllocatesNothing) {
    Sampler sampler(liveSetup());
    EXPECT_EQ(allocationsOfWarmSamples(sampler), 0);
}

TEST(WarmSample, PerformanceBlocksAllocateNothingOnceTheBufferFits) {
    auto fake = std::make_shared<FakePerfData>();
    PerfBlockContent content;
    content.idle.assign(999, 1234);  // needs a grown buffer
    fake->blocks = {buildPerfBlock(content).bytes};
    SamplerSetup setup;
    setup.source = makeSource(fake);
    Sampler sampler(std::move(setup));
    fake->sizesAsked.reserve(1000);
    EXPECT_EQ(allocationsOfWarmSamples(sampler), 0);
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
