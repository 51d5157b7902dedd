// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countersource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lsg::adCpuUsage {

// Ticks from a /proc/stat-format file (Documentation/filesystems/proc.rst, "1.8 Miscellaneous
// kernel statistics in /proc/stat": "cpuN user nice system idle iowait irq softirq steal guest
// guest_nice" in USER_HZ ticks, one line per online CPU after the "cpu" aggregate line).
//
// Instances are the cpuN lines of the first sample, in CPU-number order, then the aggregate,
// which the computer makes of the CPUs' own ticks. CPUs are found by number, so one going
// offline later leaves the others in place (it is absent from those samples); CPUs that appear
// later are ignored.
//
// Busy ticks are user, nice, system, irq, softirq and steal; total ticks add idle and iowait, so
// time waiting for I/O counts as idle. The guest columns are already part of user and nice and
// are not counted again. The file counts in 10 ms ticks while start-up takes two samples a few
// ms apart, so intervals under kMinIntervalMs are not measured (see UsageComputer::Layout).
class ProcStatSource final : public CounterSource {
public:
    static constexpr std::int64_t kMinIntervalMs = 50;  // five ticks at the usual USER_HZ of 100

    // ticksPerSecond 0 asks the system for USER_HZ.
    explicit ProcStatSource(std::string path = "/proc/stat", long ticksPerSecond = 0);
    ~ProcStatSource() override;
    ProcStatSource(const ProcStatSource&) = delete;
    ProcStatSource& operator=(const ProcStatSource&) = delete;

    // Reads the file (kept open, re-read from offset 0) and samples its text.
    SampleError sample(UsageComputer& computer) override;
    // Samples one text in the file's format.
    SampleError sampleText(UsageComputer& computer, std::string_view text);

private:
    struct Line;
    static bool parseLine(std::string_view line, Line& out);
    // The file's text, or nothing when it cannot be read.
    std::optional<std::string_view> readFile();
    SampleError fixInstances(UsageComputer& computer, std::string_view text);

    std::string m_path;
    long m_hz = 100;
    int m_fd = -1;
    std::size_t m_capacity = 4096;
    std::unique_ptr<char[]> m_buffer;

    // The CPU numbers of the instances, ascending; fixed at the first sample.
    std::int32_t m_cpuCount = 0;
    std::unique_ptr<std::uint32_t[]> m_cpuNumbers;
};

}  // namespace lsg::adCpuUsage
