// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countersource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lsg::adCpuUsage {

// Idle counters from a /proc/stat-format file (Documentation/filesystems/proc.rst, "1.8
// Miscellaneous kernel statistics in /proc/stat": "cpuN user nice system idle iowait irq
// softirq steal guest guest_nice" in USER_HZ ticks, one line per online CPU after the
// "cpu" aggregate line).
//
// Instances are the cpuN lines of the first sample, in CPU-number order, then the aggregate.
// CPUs are found by number, so one going offline later leaves the others in place (it is
// absent from those samples); CPUs that appear later are ignored.
//
// Time base. The file counts in 10 ms ticks while start-up takes two samples a few ms apart,
// and a wall clock next to tick counters makes short intervals lie: an idle CPU whose idle
// count did not tick yet would look 100 % busy. So the time stamp is a CPU clock made of the
// same counters: it advances by the mean growth of the CPUs' total ticks (the guest columns
// are already part of user and nice), and each CPU's idle counter is that clock less its
// busy ticks (user, nice, system, irq, softirq, steal), so an interval reads busy ticks over
// elapsed ticks. An interval shorter than kMinInterval is too coarse to measure: such a
// sample repeats the previous one (equal times, so every usage reads 0) and the next sample
// measures from the older one, so no ticks are lost.
class ProcStatSource final : public CounterSource {
public:
    // 50 ms in 100 ns units: five ticks at the usual USER_HZ of 100.
    static constexpr std::int64_t kMinInterval = 500'000;

    // ticksPerSecond 0 asks the system for USER_HZ.
    explicit ProcStatSource(std::string path = "/proc/stat", long ticksPerSecond = 0);
    ~ProcStatSource() override;
    ProcStatSource(const ProcStatSource&) = delete;
    ProcStatSource& operator=(const ProcStatSource&) = delete;

    // Reads the file (kept open, re-read from offset 0) and samples its text.
    void sample(CounterTable& table) override;
    // Samples one text in the file's format.
    void sampleText(CounterTable& table, std::string_view text);

private:
    struct Line;
    bool parseLine(std::string_view line, Line& out) const;
    std::string_view readFile();
    void fixInstances(CounterTable& table, std::string_view text);
    std::int64_t toUnits(std::int64_t ticks) const noexcept;

    std::string m_path;
    long m_hz = 100;
    int m_fd = -1;
    std::size_t m_capacity = 4096;
    std::unique_ptr<char[]> m_buffer;

    // Per CPU instance, allocated at the first sample.
    std::int32_t m_cpuCount = 0;
    std::unique_ptr<std::uint32_t[]> m_cpuNumbers;  // ascending
    std::unique_ptr<std::uint64_t[]> m_readTotal;
    std::unique_ptr<std::uint64_t[]> m_readBusy;
    std::unique_ptr<std::uint8_t[]> m_readSeen;
    std::unique_ptr<std::uint64_t[]> m_baseTotal;  // ticks at the last measured sample
    std::unique_ptr<std::uint64_t[]> m_baseBusy;
    std::unique_ptr<std::uint8_t[]> m_baseSeen;
    std::unique_ptr<std::uint64_t[]> m_counter;  // idle counter delivered, 100 ns units

    bool m_started = false;
    bool m_aggregateSeen = false;
    std::uint64_t m_aggregate = 0;  // aggregate idle counter, 100 ns units
    std::uint64_t m_clock = 0;      // the sample time, 100 ns units
};

}  // namespace lsg::adCpuUsage
