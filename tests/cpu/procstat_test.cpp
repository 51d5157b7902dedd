// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/procstat.h"
#include "cpu/adcpuusage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace lsg::adCpuUsage::test {
namespace {

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LSG_CPU_FIXTURES) + "/" + name);
    EXPECT_TRUE(in) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The error's text, empty for none.
std::string errorOf(SampleError error) {
    return error != nullptr ? error : "";
}

const char* const kObjectError = "Unable to locate the \"Processor\" performance object";

// The sampler over a file in /proc/stat format that the test rewrites in place between samples
// (the source keeps it open and reads it again from the start).
class StatFileSampler : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = ::testing::TempDir() + "lsg-stat-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::remove(m_path.c_str());
    }
    void TearDown() override { std::remove(m_path.c_str()); }
    void load(long ticksPerSecond = 100) {
        SamplerSetup setup;
        setup.source = std::make_unique<ProcStatSource>(m_path, ticksPerSecond);
        m_sampler.emplace(std::move(setup));
    }
    void write(const std::string& text) { std::ofstream(m_path, std::ios::trunc) << text; }
    void sample(const std::string& name) {
        write(fixture(name));
        EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    }
    std::int32_t count() { return m_sampler->CountProcessors().value; }
    std::vector<double> usages() {
        std::vector<double> result;
        for (std::int32_t i = 0; i < count(); ++i) {
            result.push_back(m_sampler->ProcessorUsage(i).value);
        }
        return result;
    }

    std::string m_path;
    std::optional<Sampler> m_sampler;
};

TEST_F(StatFileSampler, StartUpSamplesMsApartReadZeroAndTheFirstTickMeasuresFromTheFirst) {
    load();
    write(fixture("startup-0.stat"));
    EXPECT_EQ(count(), 3);  // two CPUs and the aggregate
    // One tick of busy time on cpu0 and one of idle on cpu1: idle over elapsed would show
    // cpu0 at 100 %.
    sample("startup-1.stat");
    EXPECT_EQ(usages(), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(m_sampler->computer().elapsed(), 0);

    // A second later: busy ticks over the mean elapsed ticks (100 and 101: 100.5).
    sample("startup-2.stat");
    const auto u = usages();
    EXPECT_NEAR(u[0], 2 / 100.5, 1e-12);
    EXPECT_NEAR(u[1], 1 / 100.5, 1e-12);
    EXPECT_NEAR(u[2], 1.5 / 100.5, 1e-12);
}

TEST_F(StatFileSampler, BusyCpuReadsFullyBusyAndIoWaitCountsAsIdle) {
    for (const long hz : {100L, 250L, 300L}) {
        SCOPED_TRACE(hz);
        load(hz);
        sample("busy-0.stat");
        sample("busy-1.stat");
        const auto u = usages();
        EXPECT_EQ(u[0], 0.0);
        EXPECT_EQ(u[1], 1.0);
        EXPECT_NEAR(u[2], 0.5, 1e-6);
    }
}

TEST_F(StatFileSampler, CpusAreKeptByNumberWhenOneGoesOfflineAndNewOnesAreIgnored) {
    load();
    write(fixture("hotplug-0.stat"));
    EXPECT_EQ(count(), 5);
    sample("hotplug-1.stat");  // cpu2 offline
    EXPECT_EQ(usages(), (std::vector<double>{0.5, 0, 0, 1, 0.5}));
    sample("hotplug-2.stat");  // cpu2 back, no interval for it yet; cpu4 new
    EXPECT_EQ(usages(), (std::vector<double>{0.5, 0, 0, 1, 0.5}));
    sample("hotplug-3.stat");
    EXPECT_EQ(count(), 5);
    EXPECT_EQ(usages(), (std::vector<double>{0.5, 0, 0.5, 1, 0.5}));
}

TEST_F(StatFileSampler, FourColumnFilesOfOldKernelsWork) {
    load();
    sample("oldkernel-0.stat");
    sample("oldkernel-1.stat");
    const auto u = usages();
    EXPECT_DOUBLE_EQ(u[0], 0.9);
    EXPECT_DOUBLE_EQ(u[1], 0.1);
    EXPECT_DOUBLE_EQ(u[2], 0.5);
}

TEST_F(StatFileSampler, MissingFileFailsAndIsOpenedOnceItExists) {
    load();
    EXPECT_EQ(errorOf(m_sampler->CountProcessors().error), kObjectError);
    EXPECT_EQ(m_sampler->computer().instanceCount(), -1);
    write(fixture("busy-0.stat"));
    EXPECT_EQ(count(), 3);
}

TEST_F(StatFileSampler, LongCpuSectionsAreReadWhole) {
    // Far more than the first read buffer holds, with a long line after the CPU lines.
    std::string text = "cpu  0 0 0 0 0 0 0 0 0 0\n";
    for (int cpu = 0; cpu < 600; ++cpu) {
        text += "cpu" + std::to_string(cpu) + " 123456 0 654321 98765432 1234 0 4321 0 0 0\n";
    }
    text += "intr " + std::string(20000, '1') + "\nctxt 1\n";
    load();
    write(text);
    EXPECT_EQ(count(), 601);
}

TEST(ProcStatText, GarbageNeverCrashesAndWithoutCpuLinesFails) {
    const std::string huge = "99999999999999999999999999";
    const char* const noCpu[] = {
        "",
        "\n\n\n",
        "intr 1 2 3\nctxt 5\n",
        "cpu  1 2 3 4 5 6 7\n",  // the aggregate alone
        "cpuX 1 2 3 4\n",
        "cpu0 1 2 3\n",  // no idle column
        "cpu0 -1 2 3 4\n",
        "cpu0 1 2 3 4x\n",
        "cpu0\t1 2 3 4\n",
        "cpu4294967296 1 2 3 4\n",
        "cpu 0 1 2 3 4\n",
        "\xff\xfe\x01cpu0 1 2 3 4\n",
        "intr 1\ncpu0 1 2 3 4\n",  // CPU lines come first or not at all
    };
    for (const char* text : noCpu) {
        SCOPED_TRACE(text);
        ProcStatSource source("/nonexistent", 100);
        UsageComputer table;
        EXPECT_EQ(errorOf(source.sampleText(table, text)), kObjectError);
        EXPECT_EQ(table.instanceCount(), -1);
    }

    // Saturated and wrapping numbers are defined nonsense, not a crash.
    ProcStatSource source("/nonexistent", 100);
    UsageComputer table;
    source.sampleText(table, "cpu0 " + huge + " " + huge + " 0 " + huge + " " + huge + "\n");
    source.sampleText(table, "cpu0 1 2 3 4\ncpu7 1 1 1 1\n");
    source.sampleText(table, "cpu0 " + huge + " 0 0 0 0 0 0 " + huge + "\n");
    EXPECT_EQ(table.instanceCount(), 2);
    (void)table.usage(0);
    (void)table.usage(1);

    // A later sample without CPU lines fails and leaves the last interval as it was.
    ProcStatSource good("/nonexistent", 100);
    UsageComputer kept;
    good.sampleText(kept, fixture("busy-0.stat"));
    good.sampleText(kept, fixture("busy-1.stat"));
    EXPECT_EQ(errorOf(good.sampleText(kept, "cpu  1 1 1 1\nintr 5\n")), kObjectError);
    EXPECT_EQ(kept.usage(1), 1.0);
    EXPECT_EQ(kept.usage(2), 0.5);
}

TEST(LiveProcStat, CountsTheOnlineCpusAndMeasuresSensibly) {
    std::ifstream stat("/proc/stat");
    int cpuLines = 0;
    for (std::string line; std::getline(stat, line);) {
        cpuLines += line.size() > 3 && line.compare(0, 3, "cpu") == 0 && std::isdigit(line[3]);
    }
    Sampler sampler(liveSetup());
    EXPECT_EQ(sampler.CountProcessors().value, cpuLines + 1);
    EXPECT_EQ(errorOf(sampler.SampleProcessors()), "");
    for (std::int32_t i = 0; i < cpuLines + 1; ++i) {
        const double u = sampler.ProcessorUsage(i).value;
        EXPECT_GE(u, -0.05);
        EXPECT_LE(u, 1.05);
    }
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
