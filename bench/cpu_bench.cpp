// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// What one tick's measurement costs: a sample plus every usage, from performance data blocks
// and /proc/stat texts of 2, 64 and 999 instances, and live, next to a bare read of
// /proc/stat. Each benchmark also reports the allocations it made per iteration once warm.
#include "bench/timed.h"
#include "cpu/adcpuusage.h"
#include "cpu/procstat.h"
#include "cpu/windows/perfdata.h"
#include "tests/cpu/windows/perfblock.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace lsg::adCpuUsage;

using lsg::bench::timed;

void sampleAndReadAll(Sampler& sampler, std::int32_t count) {
    benchmark::DoNotOptimize(sampler.SampleProcessors());
    double sum = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        sum += sampler.ProcessorUsage(i).value;
    }
    benchmark::DoNotOptimize(sum);
}

void BM_BareRead(benchmark::State& state) {
    const int fd = ::open("/proc/stat", O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    timed(state, [&] { benchmark::DoNotOptimize(::pread(fd, buffer, sizeof buffer, 0)); });
    ::close(fd);
}

void BM_LiveSample(benchmark::State& state) {
    Sampler sampler(liveSetup());
    const std::int32_t count = sampler.CountProcessors().value;
    timed(state, [&] { sampleAndReadAll(sampler, count); });
}

void BM_PerfBlock(benchmark::State& state) {
    const auto instances = static_cast<std::size_t>(state.range(0));
    lsg::adCpuUsage::test::PerfBlockContent content;
    content.idle.assign(instances, 0);
    auto a = lsg::adCpuUsage::test::buildPerfBlock(content).bytes;
    content.time.second = 1;
    content.idle.assign(instances, 5'000'000);
    auto b = lsg::adCpuUsage::test::buildPerfBlock(content).bytes;
    bool flip = false;
    SamplerSetup setup;
    // Stands in for the registry query: one copy of the block into the buffer.
    setup.source = std::make_unique<PerfDataSource>([&](std::uint8_t* buffer, std::uint32_t& size) {
        const auto& block = (flip = !flip) ? a : b;
        if (block.size() > size) {
            return kErrorMoreData;
        }
        std::memcpy(buffer, block.data(), block.size());
        size = static_cast<std::uint32_t>(block.size());
        return kErrorSuccess;
    });
    Sampler sampler(std::move(setup));
    const std::int32_t count = sampler.CountProcessors().value;
    timed(state, [&] { sampleAndReadAll(sampler, count); });
}

std::string statText(int cpus, std::uint64_t idle) {
    std::string text = "cpu  1 2 3 4 5 6 7 8 0 0\n";
    for (int cpu = 0; cpu < cpus; ++cpu) {
        text += "cpu" + std::to_string(cpu) + " 1846349 0 916247 " + std::to_string(idle) +
                " 439 0 205 0 0 0\n";
    }
    return text + "intr 616600 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1 0 0 0 0 272 88 0 35\nctxt 1003329\n";
}

void BM_ProcStatText(benchmark::State& state) {
    const int cpus = static_cast<int>(state.range(0));
    const std::string a = statText(cpus, 72162000);
    const std::string b = statText(cpus, 72162100);
    ProcStatSource source("/proc/stat", 100);
    UsageComputer table;
    bool flip = false;
    timed(state, [&] {
        source.sampleText(table, (flip = !flip) ? a : b);
        double sum = 0;
        for (std::int32_t i = 0; i < table.instanceCount(); ++i) {
            sum += table.usage(i);
        }
        benchmark::DoNotOptimize(sum);
    });
}

BENCHMARK(BM_BareRead);
BENCHMARK(BM_LiveSample);
BENCHMARK(BM_PerfBlock)->Arg(2)->Arg(64)->Arg(999);
BENCHMARK(BM_ProcStatText)->Arg(2)->Arg(64)->Arg(999);

}  // namespace

BENCHMARK_MAIN();
