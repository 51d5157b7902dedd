// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"
#include "cpu/adcpuusage_testing.h"
#include "platform/exception.h"
#include "tests/cpu/windows/perfblock.h"

#include <gtest/gtest.h>

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

// The text of the error a call raises, or "" when it raises none.
template <typename Call>
std::string errorOf(Call call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.message().toStdString();
    }
    return {};
}

class NtSampler : public ::testing::Test {
protected:
    void load(std::vector<std::vector<std::uint8_t>> blocks) {
        m_fake->blocks = std::move(blocks);
        m_fake->next = 0;
        m_fake->sizesAsked.clear();
        testing::Setup setup;
        setup.source = makeSource(m_fake);
        testing::reset(std::move(setup));
    }
    void TearDown() override { testing::resetLive(); }

    std::shared_ptr<FakePerfData> m_fake = std::make_shared<FakePerfData>();
};

TEST_F(NtSampler, CountsInstancesOnceWithTheAggregateLast) {
    load({block(0, {1, 2, 3, 4, 10})});
    EXPECT_EQ(CountProcessors(), 5);
    EXPECT_EQ(m_fake->queries(), 1);
    EXPECT_EQ(CountProcessors(), 5);
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
        SampleProcessors();
        SampleProcessors();
        for (std::int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(ProcessorUsage(i), c.usage) << "instance " << i;
        }
    }
}

TEST_F(NtSampler, IndexOutsideTheInstancesRaisesAndChangesNothing) {
    load({block(0, {0, 0, 0}), block(1000, {2'500'000, 0, 1'250'000})});
    SampleProcessors();
    SampleProcessors();
    EXPECT_EQ(errorOf([] { ProcessorUsage(-1); }), "CPU index out of bounds");
    EXPECT_EQ(errorOf([] { ProcessorUsage(3); }), "CPU index out of bounds");
    EXPECT_EQ(ProcessorUsage(2), 0.875);  // the aggregate instance is valid
    EXPECT_EQ(ProcessorUsage(0), 0.75);
    EXPECT_EQ(m_fake->queries(), 2);
}

TEST_F(NtSampler, FirstUsageSamplesAndReadsZeroUntilThereIsAnInterval) {
    load({block(0, {3'000'000, 6'000'000}), block(1000, {3'000'000, 6'000'000})});
    EXPECT_EQ(ProcessorUsage(0), 0.0);  // one sample only: no interval yet
    EXPECT_EQ(m_fake->queries(), 1);
    SampleProcessors();
    EXPECT_EQ(ProcessorUsage(0), 1.0);
}

TEST_F(NtSampler, BufferGrowsByStepsOnePerQueryAndKeepsItsSize) {
    // Enough instances to need between 12288 and 16384 bytes.
    std::vector<std::int64_t> idle(280, 0);
    auto big = block(0, idle);
    ASSERT_GT(big.size(), 12288u);
    ASSERT_LE(big.size(), 16384u);
    load({big, block(1000, idle)});
    EXPECT_EQ(CountProcessors(), 280);
    EXPECT_EQ(m_fake->sizesAsked, (std::vector<std::uint32_t>{8192, 12288, 16384}));
    SampleProcessors();
    EXPECT_EQ(m_fake->sizesAsked, (std::vector<std::uint32_t>{8192, 12288, 16384, 16384}));
    EXPECT_EQ(ProcessorUsage(279), 1.0);
}

TEST_F(NtSampler, MissingProcessorObjectLeavesTheCountUnsetSoTheNextCallSamplesAgain) {
    PerfBlockContent other;
    other.idle = {1, 2};
    other.processorObjectIndex = 230;
    load({buildPerfBlock(other).bytes, block(0, {0, 0, 0})});
    EXPECT_EQ(errorOf([] { CountProcessors(); }),
              "Unable to locate the \"Processor\" performance object");
    EXPECT_EQ(testing::computer().instanceCount(), -1);
    EXPECT_EQ(CountProcessors(), 3);
    EXPECT_EQ(m_fake->queries(), 2);
}

TEST_F(NtSampler, FailedQueryOnTheFirstSampleFindsNoProcessorObject) {
    load({block(0, {0, 0})});
    m_fake->failWith = 5;  // access denied: the zero-filled buffer is walked
    EXPECT_EQ(errorOf([] { SampleProcessors(); }),
              "Unable to locate the \"Processor\" performance object");
    m_fake->failWith = kErrorSuccess;
    EXPECT_EQ(CountProcessors(), 2);
}

TEST_F(NtSampler, MissingCounterKeepsCountersAndTimesButTheCountStands) {
    PerfBlockContent noCounter;
    noCounter.time = at(2000);
    noCounter.idle = {1, 2, 3, 4};
    noCounter.processorTimeCounterIndex = 7;

    // On the first sample the count is fixed before the counter is looked for.
    load({buildPerfBlock(noCounter).bytes, block(0, {0, 0})});
    EXPECT_EQ(errorOf([] { SampleProcessors(); }),
              "Unable to locate the \"% of CPU usage\" performance counter");
    EXPECT_EQ(testing::computer().instanceCount(), 4);
    EXPECT_EQ(CountProcessors(), 4);
    EXPECT_EQ(m_fake->queries(), 1);

    // Later, counters and times stay as the last good sample left them.
    load({block(0, {0, 0}), block(1000, {2'500'000, 5'000'000}), buildPerfBlock(noCounter).bytes});
    SampleProcessors();
    SampleProcessors();
    EXPECT_EQ(errorOf([] { SampleProcessors(); }),
              "Unable to locate the \"% of CPU usage\" performance counter");
    EXPECT_EQ(ProcessorUsage(0), 0.75);
    EXPECT_EQ(ProcessorUsage(1), 0.5);
    EXPECT_EQ(testing::computer().elapsed(), 10'000'000);
}

TEST_F(NtSampler, InstanceCountIsFixedAtTheFirstSample) {
    load({block(0, {0, 0, 0}),
          block(1000, {5'000'000, 2'000'000, 3'500'000, 99}),  // an extra instance: ignored
          block(2000, {10'000'000, 9'000'000}),                // the aggregate is missing
          block(3000, {10'000'000, 9'000'000, 5'000'000}),     // back: no interval yet
          block(4000, {15'000'000, 9'000'000, 10'000'000})});
    SampleProcessors();
    SampleProcessors();
    EXPECT_EQ(CountProcessors(), 3);
    EXPECT_EQ(ProcessorUsage(0), 0.5);
    EXPECT_EQ(ProcessorUsage(1), 0.8);
    EXPECT_EQ(ProcessorUsage(2), 0.65);

    SampleProcessors();  // the missing instance reads 0 instead of looking fully busy
    EXPECT_EQ(ProcessorUsage(0), 0.5);
    EXPECT_EQ(ProcessorUsage(1), 0.3);
    EXPECT_EQ(ProcessorUsage(2), 0.0);
    SampleProcessors();
    EXPECT_EQ(ProcessorUsage(2), 0.0);
    SampleProcessors();
    EXPECT_EQ(ProcessorUsage(2), 0.5);
    EXPECT_EQ(ProcessorUsage(1), 1.0);
}

TEST_F(NtSampler, FailedVersionQueryMakesEveryOperationRaise) {
    testing::Setup setup;
    setup.platformId.reset();
    setup.source = makeSource(m_fake);
    testing::reset(std::move(setup));
    for (auto call :
         {+[] { CountProcessors(); }, +[] { SampleProcessors(); }, +[] { ProcessorUsage(0); }}) {
        EXPECT_EQ(errorOf(call), "Can't get the Windows version");
    }
    EXPECT_EQ(m_fake->queries(), 0);
    StopSampling();  // nothing to stop
}

TEST(LiveSampler, TakesTheNtPathOnLinux) {
    testing::resetLive();
    EXPECT_TRUE(testing::isNtPath());
    StopSampling();  // does nothing on this path
    EXPECT_FALSE(testing::isStatisticRunning());
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
