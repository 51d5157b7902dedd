// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"
#include "tests/cpu/windows/perfblock.h"

#include <gtest/gtest.h>

#include <optional>

namespace lsg::adCpuUsage::test {
namespace {

// A moment on 2 March 2026, ms milliseconds after 10:00.
SystemTime at(std::int64_t ms) {
    SystemTime t{2026, 3, 1, 2, 10, 0, 0, 0};
    t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
    t.second = static_cast<std::uint16_t>(ms / 1000 % 60);
    t.minute = static_cast<std::uint16_t>(ms / 60000);
    return t;
}

std::vector<std::uint8_t> block(std::int64_t ms, std::vector<std::int64_t> idle) {
    PerfBlockContent content;
    content.time = at(ms);
    content.idle = std::move(idle);
    return buildPerfBlock(content).bytes;
}

// The error's text, or "" for none.
std::string errorOf(SampleError error) {
    return error != nullptr ? error : "";
}

class NtSampler : public ::testing::Test {
protected:
    void load(std::vector<std::vector<std::uint8_t>> blocks) {
        m_fake->blocks = std::move(blocks);
        m_fake->next = 0;
        m_fake->sizesAsked.clear();
        SamplerSetup setup;
        setup.source = makeSource(m_fake);
        m_sampler.emplace(std::move(setup));
    }

    std::shared_ptr<FakePerfData> m_fake = std::make_shared<FakePerfData>();
    std::optional<Sampler> m_sampler;
};

TEST_F(NtSampler, CountsInstancesOnceWithTheAggregateLast) {
    load({block(0, {1, 2, 3, 4, 10})});
    EXPECT_EQ(m_sampler->CountProcessors().value, 5);
    EXPECT_EQ(m_fake->queries(), 1);
    EXPECT_EQ(m_sampler->CountProcessors().value, 5);
    EXPECT_EQ(m_fake->queries(), 1);  // the second call takes no sample
}

TEST_F(NtSampler, UsageIsOneLessIdleGrowthOverElapsedTime) {
    struct Case {
        const char* what;
        std::int64_t elapsedMs;
        std::int64_t idleGrowth;
        double usage;
    };
    const Case cases[] = {
        {"idle counter unmoved over 1000 ms", 1000, 0, 1.0},
        {"half the interval idle", 1000, 5'000'000, 0.5},
        {"fully idle", 1000, 10'000'000, 0.0},
        {"idle grew more than the elapsed time: negative, not clamped", 1000, 15'000'000, -0.5},
        {"clock set back with a growing counter: above 1, not clamped", -1000, 5'000'000, 1.5},
        {"both samples in the same millisecond", 0, 5'000'000, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int64_t start = 10'000;
        load({block(start, {7'000'000, 1'000'000'000, 500}),
              block(start + c.elapsedMs,
                    {7'000'000 + c.idleGrowth, 1'000'000'000 + c.idleGrowth, 500 + c.idleGrowth})});
        EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
        EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
        for (std::int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(m_sampler->ProcessorUsage(i).value, c.usage) << "instance " << i;
        }
    }
}

TEST_F(NtSampler, IndexOutsideTheInstancesFailsAndChangesNothing) {
    load({block(0, {0, 0, 0}), block(1000, {2'500'000, 0, 1'250'000})});
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(errorOf(m_sampler->ProcessorUsage(-1).error), "CPU index out of bounds");
    EXPECT_EQ(errorOf(m_sampler->ProcessorUsage(3).error), "CPU index out of bounds");
    EXPECT_EQ(m_sampler->ProcessorUsage(2).value, 0.875);  // the aggregate instance is valid
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.75);
    EXPECT_EQ(m_fake->queries(), 2);
}

TEST_F(NtSampler, FirstUsageSamplesAndReadsZeroUntilThereIsAnInterval) {
    load({block(0, {3'000'000, 6'000'000}), block(1000, {3'000'000, 6'000'000})});
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.0);  // one sample only: no interval yet
    EXPECT_EQ(m_fake->queries(), 1);
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 1.0);
}

TEST_F(NtSampler, BufferGrowsByStepsOnePerQueryAndKeepsItsSize) {
    // Enough instances to need between 12288 and 16384 bytes.
    std::vector<std::int64_t> idle(280, 0);
    auto big = block(0, idle);
    ASSERT_GT(big.size(), 12288u);
    ASSERT_LE(big.size(), 16384u);
    load({big, block(1000, idle)});
    EXPECT_EQ(m_sampler->CountProcessors().value, 280);
    EXPECT_EQ(m_fake->sizesAsked, (std::vector<std::uint32_t>{8192, 12288, 16384}));
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_fake->sizesAsked, (std::vector<std::uint32_t>{8192, 12288, 16384, 16384}));
    EXPECT_EQ(m_sampler->ProcessorUsage(279).value, 1.0);
}

TEST_F(NtSampler, MissingProcessorObjectLeavesTheCountUnsetSoTheNextCallSamplesAgain) {
    PerfBlockContent other;
    other.idle = {1, 2};
    other.processorObjectIndex = 230;
    load({buildPerfBlock(other).bytes, block(0, {0, 0, 0})});
    EXPECT_EQ(errorOf(m_sampler->CountProcessors().error),
              "Unable to locate the \"Processor\" performance object");
    EXPECT_EQ(m_sampler->computer().instanceCount(), -1);
    EXPECT_EQ(m_sampler->CountProcessors().value, 3);
    EXPECT_EQ(m_fake->queries(), 2);
}

TEST_F(NtSampler, FailedQueryOnTheFirstSampleFindsNoProcessorObject) {
    load({block(0, {0, 0})});
    m_fake->failWith = 5;  // access denied: the zero-filled buffer is walked
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()),
              "Unable to locate the \"Processor\" performance object");
    m_fake->failWith = kErrorSuccess;
    EXPECT_EQ(m_sampler->CountProcessors().value, 2);
}

TEST_F(NtSampler, MissingCounterKeepsCountersAndTimesButTheCountStands) {
    PerfBlockContent noCounter;
    noCounter.time = at(2000);
    noCounter.idle = {1, 2, 3, 4};
    noCounter.processorTimeCounterIndex = 7;

    // On the first sample the count is fixed before the counter is looked for.
    load({buildPerfBlock(noCounter).bytes, block(0, {0, 0})});
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()),
              "Unable to locate the \"% of CPU usage\" performance counter");
    EXPECT_EQ(m_sampler->computer().instanceCount(), 4);
    EXPECT_EQ(m_sampler->CountProcessors().value, 4);
    EXPECT_EQ(m_fake->queries(), 1);

    // Later, counters and times stay as the last good sample left them.
    load({block(0, {0, 0}), block(1000, {2'500'000, 5'000'000}), buildPerfBlock(noCounter).bytes});
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()),
              "Unable to locate the \"% of CPU usage\" performance counter");
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.75);
    EXPECT_EQ(m_sampler->ProcessorUsage(1).value, 0.5);
    EXPECT_EQ(m_sampler->computer().elapsed(), 10'000'000);
}

TEST_F(NtSampler, InstanceCountIsFixedAtTheFirstSample) {
    load({block(0, {0, 0, 0}),
          block(1000, {5'000'000, 2'000'000, 3'500'000, 99}),  // an extra instance: ignored
          block(2000, {10'000'000, 9'000'000}),                // the aggregate is missing
          block(3000, {10'000'000, 9'000'000, 5'000'000}),     // back: no interval yet
          block(4000, {15'000'000, 9'000'000, 10'000'000})});
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_sampler->CountProcessors().value, 3);
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.5);
    EXPECT_EQ(m_sampler->ProcessorUsage(1).value, 0.8);
    EXPECT_EQ(m_sampler->ProcessorUsage(2).value, 0.65);

    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()),
              "");  // the missing instance reads 0 instead of looking fully busy
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.5);
    EXPECT_EQ(m_sampler->ProcessorUsage(1).value, 0.3);
    EXPECT_EQ(m_sampler->ProcessorUsage(2).value, 0.0);
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_sampler->ProcessorUsage(2).value, 0.0);
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_sampler->ProcessorUsage(2).value, 0.5);
    EXPECT_EQ(m_sampler->ProcessorUsage(1).value, 1.0);
}

TEST_F(NtSampler, FailedVersionQueryMakesEveryOperationFail) {
    SamplerSetup setup;
    setup.platformId.reset();
    setup.source = makeSource(m_fake);
    Sampler sampler(std::move(setup));
    EXPECT_EQ(errorOf(sampler.CountProcessors().error), "Can't get the Windows version");
    EXPECT_EQ(errorOf(sampler.SampleProcessors()), "Can't get the Windows version");
    EXPECT_EQ(errorOf(sampler.ProcessorUsage(0).error), "Can't get the Windows version");
    EXPECT_EQ(m_fake->queries(), 0);
    sampler.StopSampling();  // nothing to stop
}

TEST(LiveSampler, TakesTheNtPathOnLinux) {
    Sampler sampler(liveSetup());
    EXPECT_TRUE(sampler.isNtPath());
    sampler.StopSampling();  // does nothing on this path
    EXPECT_FALSE(sampler.isStatisticRunning());
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
