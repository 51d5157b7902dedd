// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"

#include "cpu/adcpuusage_testing.h"
#include "cpu/livesetup.h"
#include "platform/exception.h"

namespace lsg::adCpuUsage {

namespace {

// The module's state: loaded once per process (or per testing::reset), unloaded at exit.
class Sampler {
public:
    explicit Sampler(testing::Setup setup)
        : m_loaded(setup.platformId.has_value()),
          m_nt(setup.platformId == testing::kPlatformWin32Nt),
          m_source(std::move(setup.source)) {
        if (m_loaded && m_source) {
            m_source->attach(m_computer);
        }
    }

    ~Sampler() { stop(); }
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    std::int32_t count() {
        checkLoaded();
        if (!m_computer.isFixed()) {
            sampleSource();
        }
        return m_computer.instanceCount();
    }

    void sample() {
        checkLoaded();
        sampleSource();
    }

    double usage(std::int32_t index) {
        checkLoaded();
        if (!m_computer.isFixed()) {
            sampleSource();
        }
        if (index < 0 || index >= m_computer.instanceCount()) {
            throw Exception(kIndexError);
        }
        if (m_source->awaitsStart()) {
            sampleSource();
        }
        return m_computer.usage(index);
    }

    void stop() {
        if (m_loaded && m_source) {
            m_source->stop();
        }
    }

    const UsageComputer& computer() const { return m_computer; }
    bool isNt() const { return m_nt; }
    bool isRunning() const { return m_loaded && !m_nt && m_source && !m_source->awaitsStart(); }

private:
    void checkLoaded() const {
        if (!m_loaded) {
            throw Exception(kVersionError);
        }
    }

    void sampleSource() {
        if (!m_source) {
            throw Exception(m_nt ? kProcessorObjectError : kStartMonitoringError);
        }
        m_source->sample(m_computer);
    }

    bool m_loaded;
    bool m_nt;
    std::unique_ptr<CounterSource> m_source;
    UsageComputer m_computer;
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

const UsageComputer& computer() {
    return module()->computer();
}
bool isNtPath() {
    return module()->isNt();
}
bool isStatisticRunning() {
    return module()->isRunning();
}

}  // namespace testing

}  // namespace lsg::adCpuUsage
