// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"
#include "cpu/adcpuusage_testing.h"
#include "cpu/windows/dyndata.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

#include <map>
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

std::string errorOf(void (*call)()) {
    try {
        call();
    } catch (const Exception& e) {
        return e.message().toStdString();
    }
    return {};
}

class Sampler9x : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Setup setup;
        setup.platformId = testing::kPlatformWin32Windows;
        setup.source = std::make_unique<DynDataSource>(std::make_unique<FakeStore>(m_data));
        testing::reset(std::move(setup));
    }
    void TearDown() override { testing::resetLive(); }

    std::shared_ptr<FakeDynData> m_data = std::make_shared<FakeDynData>();
};

TEST_F(Sampler9x, OneInstanceWholeMachinePercentage) {
    EXPECT_FALSE(testing::isNtPath());
    EXPECT_EQ(CountProcessors(), 1);
    EXPECT_TRUE(m_data->log.empty());  // counting takes no sample

    m_data->usage = 37;
    EXPECT_EQ(errorOf([] { ProcessorUsage(1); }), "CPU index out of bounds");
    EXPECT_EQ(errorOf([] { ProcessorUsage(-1); }), "CPU index out of bounds");
    EXPECT_TRUE(m_data->log.empty());
    EXPECT_EQ(ProcessorUsage(0), 0.37);  // starts the statistic
    EXPECT_EQ(m_data->log, (std::vector<std::string>{
                               "open PerfStats\\StartStat all",
                               "read PerfStats\\StartStat KERNEL\\CPUUsage",
                               "close PerfStats\\StartStat",
                               "open PerfStats\\StatData read",
                               "read PerfStats\\StatData KERNEL\\CPUUsage",
                           }));

    m_data->usage = 80;
    EXPECT_EQ(ProcessorUsage(0), 0.37);  // only a sample refreshes the value
    SampleProcessors();
    EXPECT_EQ(ProcessorUsage(0), 0.8);
    EXPECT_EQ(m_data->log.back(), "read PerfStats\\StatData KERNEL\\CPUUsage");
}

TEST_F(Sampler9x, RefusedStartKeyLeavesTheStatisticStopped) {
    m_data->refuse["PerfStats\\StartStat"] = true;
    EXPECT_EQ(errorOf([] { SampleProcessors(); }), "Unable to start performance monitoring");
    EXPECT_FALSE(testing::isStatisticRunning());
    m_data->refuse["PerfStats\\StartStat"] = false;
    SampleProcessors();
    EXPECT_TRUE(testing::isStatisticRunning());
}

TEST_F(Sampler9x, RefusedDataKeyStartsOverFromTheStartKey) {
    m_data->refuse["PerfStats\\StatData"] = true;
    EXPECT_EQ(errorOf([] { ProcessorUsage(0); }), "Unable to read performance data");
    EXPECT_FALSE(testing::isStatisticRunning());
    m_data->refuse["PerfStats\\StatData"] = false;
    m_data->log.clear();
    SampleProcessors();
    EXPECT_EQ(m_data->log.front(), "open PerfStats\\StartStat all");
    EXPECT_TRUE(testing::isStatisticRunning());
}

TEST_F(Sampler9x, StopSamplingClosesTheDataKeyAndStopsTheStatistic) {
    StopSampling();  // not running: nothing happens
    EXPECT_TRUE(m_data->log.empty());

    SampleProcessors();
    m_data->log.clear();
    m_data->usage = 12;
    StopSampling();
    EXPECT_FALSE(testing::isStatisticRunning());
    EXPECT_TRUE(m_data->open.empty());
    EXPECT_EQ(m_data->log, (std::vector<std::string>{
                               "close PerfStats\\StatData",
                               "open PerfStats\\StopStat all",
                               "read PerfStats\\StopStat KERNEL\\CPUUsage",
                               "close PerfStats\\StopStat",
                           }));
    EXPECT_EQ(ProcessorUsage(0), 0.12);  // not running any more: samples (starts) again
}

TEST_F(Sampler9x, UnloadStopsTheStatisticAndARefusedStopKeyIsSilent) {
    SampleProcessors();
    m_data->refuse["PerfStats\\StopStat"] = true;
    testing::resetLive();  // unloads the 9x module
    EXPECT_TRUE(m_data->open.empty());
    EXPECT_EQ(m_data->log.back(), "open PerfStats\\StopStat all");
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
