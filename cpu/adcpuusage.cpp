// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"

#include "cpu/adcpuusage_testing.h"
#include "platform/exception.h"
#include "cpu/livesetup.h"

namespace lsg::adCpuUsage {

namespace {

// The module's state: loaded once per process (or per testing::reset), unloaded at exit.
class Sampler {
public:
    explicit Sampler(testing::Setup setup)
        : m_loaded(setup.platformId.has_value()),
          m_nt(setup.platformId == testing::kPlatformWin32Nt),
          m_source(std::move(setup.source)),
          m_dynData(std::move(setup.dynData)) {}

    ~Sampler() {
        if (m_loaded) {
            stop();
        }
    }
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    std::int32_t count() {
        checkLoaded();
        if (!m_nt) {
            return 1;
        }
        if (!m_table.isFixed()) {
            sampleNt();
        }
        return m_table.instanceCount();
    }

    void sample() {
        checkLoaded();
        if (m_nt) {
            sampleNt();
        } else {
            sample9x();
        }
    }

    double usage(std::int32_t index) {
        checkLoaded();
        if (m_nt) {
            if (!m_table.isFixed()) {
                sampleNt();
            }
            if (index < 0 || index >= m_table.instanceCount()) {
                throw Exception(kIndexError);
            }
            return m_table.usage(index);
        }
        if (index != 0) {
            throw Exception(kIndexError);
        }
        if (!m_running) {
            sample9x();
        }
        return static_cast<double>(m_usage9x) / 100.0;
    }

    void stop() {
        if (m_nt || !m_running) {
            return;
        }
        m_running = false;
        m_dynData->closeKey(m_dataKey);
        DynDataStore::Key key{};
        if (m_dynData->openKey(kStopStatKey, DynDataStore::Access::All, key)) {
            m_dynData->queryValue(key, kCpuUsageValue, m_usage9x);
            m_dynData->closeKey(key);
        }
    }

    const CounterTable& table() const { return m_table; }
    bool isNt() const { return m_nt; }
    bool isRunning() const { return m_running; }

private:
    void checkLoaded() const {
        if (!m_loaded) {
            throw Exception(kVersionError);
        }
    }

    void sampleNt() {
        if (!m_source) {
            throw Exception(kProcessorObjectError);
        }
        m_source->sample(m_table);
    }

    void sample9x() {
        if (!m_running) {
            DynDataStore::Key key{};
            if (!m_dynData || !m_dynData->openKey(kStartStatKey, DynDataStore::Access::All, key)) {
                throw Exception(kStartMonitoringError);
            }
            m_dynData->queryValue(key, kCpuUsageValue, m_usage9x);
            m_dynData->closeKey(key);
            if (!m_dynData->openKey(kStatDataKey, DynDataStore::Access::Read, m_dataKey)) {
                throw Exception(kReadDataError);
            }
            m_running = true;
        }
        // Whether the read succeeds is not examined: a failed read keeps the last value.
        m_dynData->queryValue(m_dataKey, kCpuUsageValue, m_usage9x);
    }

    bool m_loaded;
    bool m_nt;
    std::unique_ptr<CounterSource> m_source;
    std::unique_ptr<DynDataStore> m_dynData;
    CounterTable m_table;
    bool m_running = false;
    DynDataStore::Key m_dataKey{};
    std::uint32_t m_usage9x = 0;
};

// Function-local, so the module loads on first use whatever the order of static
// initialisation, and unloads (StopSampling) at exit.
std::unique_ptr<Sampler>& module() {
    static std::unique_ptr<Sampler> instance = std::make_unique<Sampler>(liveSetup());
    return instance;
}

}  // namespace

std::int32_t CountProcessors() {
    return module()->count();
}
void SampleProcessors() {
    module()->sample();
}
double ProcessorUsage(std::int32_t index) {
    return module()->usage(index);
}
void StopSampling() {
    module()->stop();
}

namespace testing {

void reset(Setup setup) {
    auto& instance = module();
    instance.reset();  // unload first: the old statistic stops before the new module loads
    instance = std::make_unique<Sampler>(std::move(setup));
}

void resetLive() {
    reset(liveSetup());
}

const CounterTable& table() {
    return module()->table();
}
bool isNtPath() {
    return module()->isNt();
}
bool isStatisticRunning() {
    return module()->isRunning();
}

}  // namespace testing

}  // namespace lsg::adCpuUsage
