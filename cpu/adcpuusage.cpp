// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/adcpuusage.h"

namespace lsg::adCpuUsage {

Sampler::Sampler(SamplerSetup setup)
    : m_loaded(setup.platformId.has_value()),
      m_nt(setup.platformId == kPlatformWin32Nt),
      m_source(std::move(setup.source)) {
    if (m_loaded && m_source) {
        m_source->attach(m_computer);
    }
}

Sampler::~Sampler() {
    StopSampling();
}

Measured<std::int32_t> Sampler::CountProcessors() {
    if (!m_loaded) {
        return {.error = kVersionError};
    }
    if (!m_computer.isFixed()) {
        if (const SampleError error = sampleSource()) {
            return {.error = error};
        }
    }
    return {.value = m_computer.instanceCount()};
}

SampleError Sampler::SampleProcessors() {
    if (!m_loaded) {
        return kVersionError;
    }
    return sampleSource();
}

Measured<double> Sampler::ProcessorUsage(std::int32_t index) {
    if (!m_loaded) {
        return {.error = kVersionError};
    }
    if (!m_computer.isFixed()) {
        if (const SampleError error = sampleSource()) {
            return {.error = error};
        }
    }
    if (index < 0 || index >= m_computer.instanceCount()) {
        return {.error = kIndexError};
    }
    if (m_source->awaitsStart()) {
        if (const SampleError error = sampleSource()) {
            return {.error = error};
        }
    }
    return {.value = m_computer.usage(index)};
}

void Sampler::StopSampling() {
    if (m_loaded && m_source) {
        m_source->stop();
    }
}

bool Sampler::isStatisticRunning() const {
    return m_loaded && !m_nt && m_source && !m_source->awaitsStart();
}

SampleError Sampler::sampleSource() {
    if (!m_source) {
        return m_nt ? kProcessorObjectError : kStartMonitoringError;
    }
    return m_source->sample(m_computer);
}

}  // namespace lsg::adCpuUsage
