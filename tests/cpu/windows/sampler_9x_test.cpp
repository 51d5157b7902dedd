// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"
#include "cpu/windows/dyndata.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lsg::adCpuUsage::test {
namespace {

// A dynamic-data store that records every call and answers a usage percentage.
struct FakeDynData {
    std::uint32_t usage = 0;
    std::map<std::string, bool> refuse;  // key paths that fail to open
    std::map<DynDataStore::Key, std::string> open;
    std::vector<std::string> log;
    DynDataStore::Key nextKey = 100;
};

class FakeStore final : public DynDataStore {
public:
    explicit FakeStore(std::shared_ptr<FakeDynData> data) : m_data(std::move(data)) {}
    bool openKey(const char* path, Access access, Key& key) override {
        m_data->log.push_back(std::string("open ") + path +
                              (access == Access::All ? " all" : " read"));
        if (m_data->refuse[path]) {
            return false;
        }
        key = m_data->nextKey++;
        m_data->open[key] = path;
        return true;
    }
    bool queryValue(Key key, const char* name, std::uint32_t& value) override {
        m_data->log.push_back("read " + m_data->open.at(key) + " " + name);
        value = m_data->usage;
        return true;
    }
    void closeKey(Key key) override {
        m_data->log.push_back("close " + m_data->open.at(key));
        m_data->open.erase(key);
    }

private:
    std::shared_ptr<FakeDynData> m_data;
};

// The error's text, or "" for none.
std::string errorOf(SampleError error) {
    return error != nullptr ? error : "";
}

class Sampler9x : public ::testing::Test {
protected:
    void SetUp() override {
        SamplerSetup setup;
        setup.platformId = kPlatformWin32Windows;
        setup.source = std::make_unique<DynDataSource>(std::make_unique<FakeStore>(m_data));
        m_sampler.emplace(std::move(setup));
    }

    std::shared_ptr<FakeDynData> m_data = std::make_shared<FakeDynData>();
    std::optional<Sampler> m_sampler;
};

TEST_F(Sampler9x, OneInstanceWholeMachinePercentage) {
    EXPECT_FALSE(m_sampler->isNtPath());
    EXPECT_EQ(m_sampler->CountProcessors().value, 1);
    EXPECT_TRUE(m_data->log.empty());  // counting takes no sample

    m_data->usage = 37;
    EXPECT_EQ(errorOf(m_sampler->ProcessorUsage(1).error), "CPU index out of bounds");
    EXPECT_EQ(errorOf(m_sampler->ProcessorUsage(-1).error), "CPU index out of bounds");
    EXPECT_TRUE(m_data->log.empty());
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.37);  // starts the statistic
    EXPECT_EQ(m_data->log, (std::vector<std::string>{
                               "open PerfStats\\StartStat all",
                               "read PerfStats\\StartStat KERNEL\\CPUUsage",
                               "close PerfStats\\StartStat",
                               "open PerfStats\\StatData read",
                               "read PerfStats\\StatData KERNEL\\CPUUsage",
                           }));

    m_data->usage = 80;
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.37);  // only a sample refreshes the value
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value, 0.8);
    EXPECT_EQ(m_data->log.back(), "read PerfStats\\StatData KERNEL\\CPUUsage");
}

TEST_F(Sampler9x, RefusedStartKeyLeavesTheStatisticStopped) {
    m_data->refuse["PerfStats\\StartStat"] = true;
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "Unable to start performance monitoring");
    EXPECT_FALSE(m_sampler->isStatisticRunning());
    m_data->refuse["PerfStats\\StartStat"] = false;
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_TRUE(m_sampler->isStatisticRunning());
}

TEST_F(Sampler9x, RefusedDataKeyStartsOverFromTheStartKey) {
    m_data->refuse["PerfStats\\StatData"] = true;
    EXPECT_EQ(errorOf(m_sampler->ProcessorUsage(0).error), "Unable to read performance data");
    EXPECT_FALSE(m_sampler->isStatisticRunning());
    m_data->refuse["PerfStats\\StatData"] = false;
    m_data->log.clear();
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    EXPECT_EQ(m_data->log.front(), "open PerfStats\\StartStat all");
    EXPECT_TRUE(m_sampler->isStatisticRunning());
}

TEST_F(Sampler9x, StopSamplingClosesTheDataKeyAndStopsTheStatistic) {
    m_sampler->StopSampling();  // not running: nothing happens
    EXPECT_TRUE(m_data->log.empty());

    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    m_data->log.clear();
    m_data->usage = 12;
    m_sampler->StopSampling();
    EXPECT_FALSE(m_sampler->isStatisticRunning());
    EXPECT_TRUE(m_data->open.empty());
    EXPECT_EQ(m_data->log, (std::vector<std::string>{
                               "close PerfStats\\StatData",
                               "open PerfStats\\StopStat all",
                               "read PerfStats\\StopStat KERNEL\\CPUUsage",
                               "close PerfStats\\StopStat",
                           }));
    EXPECT_EQ(m_sampler->ProcessorUsage(0).value,
              0.12);  // not running any more: samples (starts) again
}

TEST_F(Sampler9x, DestructionStopsTheStatisticAndARefusedStopKeyIsSilent) {
    EXPECT_EQ(errorOf(m_sampler->SampleProcessors()), "");
    m_data->refuse["PerfStats\\StopStat"] = true;
    m_sampler.reset();
    EXPECT_TRUE(m_data->open.empty());
    EXPECT_EQ(m_data->log.back(), "open PerfStats\\StopStat all");
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
