// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "cpu/countersource.h"
#include "cpu/usagecomputer.h"

namespace lsg::adCpuUsage {

// What the platform's version query reports.
inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 9x family
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

// The parts a sampler is made of.
struct SamplerSetup {
    // What the platform's version query reports; empty when the query fails.
    std::optional<std::uint32_t> platformId = kPlatformWin32Nt;
    // Where the ticks come from: per-processor counters on the NT-style path, the whole-machine
    // statistic on the 9x path.
    std::unique_ptr<CounterSource> source;
};

// The parts a real process samples with on this platform.
SamplerSetup liveSetup();

// A value the sampler measured, or the error that kept it from measuring one.
template <class T>
struct Measured {
    T value{};
    SampleError error = nullptr;
    bool ok() const { return error == nullptr; }
};

// The CPU usage sampler (adCpuUsage): one per program, owned by what samples once a second. It
// takes its counter source when made (per-processor counters, or the whole-machine statistic of
// the 9x family, which Linux never takes) and ends what that source started when destroyed.
// Nothing allocates on the sampling path once the first sample has fixed the instances.
class Sampler {
public:
    explicit Sampler(SamplerSetup setup);
    ~Sampler();  // StopSampling
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    // Number of processor instances: logical processors + 1 aggregate instance, listed last (1 on
    // the 9x path). The first call takes a sample.
    Measured<std::int32_t> CountProcessors();
    // Takes one sample of every instance's idle counter and the sample time.
    SampleError SampleProcessors();
    // Busy fraction of an instance over the last two samples; not clamped. 0 while there is no
    // interval yet (one sample only) and for an interval at whose start or end the instance was
    // absent (a processor gone offline).
    Measured<double> ProcessorUsage(std::int32_t index);
    // Ends the 9x statistic; nothing on other paths.
    void StopSampling();

    // For inspection by tests and tools.
    const UsageComputer& computer() const { return m_computer; }
    bool isNtPath() const { return m_nt; }
    bool isStatisticRunning() const;

private:
    SampleError sampleSource();

    bool m_loaded;
    bool m_nt;
    std::unique_ptr<CounterSource> m_source;
    UsageComputer m_computer;
};

}  // namespace lsg::adCpuUsage
