// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/windows/perfdata.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace lsg::adCpuUsage::test {

// What a synthetic performance data block holds.
struct PerfBlockContent {
    SystemTime time{2026, 3, 1, 2, 10, 0, 0, 0};
    std::vector<std::int64_t> idle;  // one processor-time value per instance
    std::uint32_t processorObjectIndex = kProcessorObjectIndex;
    std::uint32_t processorTimeCounterIndex = kProcessorTimeCounterIndex;
    bool otherObjectFirst = true;  // a "System"-like object before the processor object
};

// A block in the published layout, with where its parts lie (to corrupt them in tests).
struct PerfBlock {
    std::vector<std::uint8_t> bytes;
    std::uint32_t processorObject = 0;
    std::uint32_t firstCounterDefinition = 0;
    std::uint32_t processorTimeDefinition = 0;
    std::vector<std::uint32_t> instances;
    std::vector<std::uint32_t> counterBlocks;

    template <typename T>
    void put(std::uint64_t offset, T value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
    }
};

PerfBlock buildPerfBlock(const PerfBlockContent& content);

// A performance-data query over a script of blocks: each query answers the next block (the
// last one repeats), with ERROR_MORE_DATA while it does not fit. Bytes past the delivered
// block are filled with 0xAB, so a read beyond what was delivered shows up as a wild value.
struct FakePerfData {
    std::vector<std::vector<std::uint8_t>> blocks;
    std::size_t next = 0;
    std::int32_t failWith = kErrorSuccess;  // a failure answered instead of data, if set
    std::vector<std::uint32_t> sizesAsked;

    std::int32_t query(std::uint8_t* buffer, std::uint32_t& size);
    int queries() const { return static_cast<int>(sizesAsked.size()); }
};

// A source over a shared fake, so the test keeps looking at it after handing the source over.
std::unique_ptr<PerfDataSource> makeSource(const std::shared_ptr<FakePerfData>& fake);

}  // namespace lsg::adCpuUsage::test
