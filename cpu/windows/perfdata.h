// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "cpu/countersource.h"
#include "cpu/windows/countertable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace lsg::adCpuUsage {

// Results of a performance-data query.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorMoreData = 234;

// The processor object and its processor-time counter, by name title index.
inline constexpr std::uint32_t kProcessorObjectIndex = 238;
inline constexpr std::uint32_t kProcessorTimeCounterIndex = 6;

// Byte offsets and sizes of the published performance-data structures (8-byte packing).
namespace perf {
inline constexpr std::uint32_t kBlockTotalByteLength = 20;
inline constexpr std::uint32_t kBlockHeaderLength = 24;
inline constexpr std::uint32_t kBlockNumObjectTypes = 28;
inline constexpr std::uint32_t kBlockSystemTime = 36;  // SYSTEMTIME: eight 16-bit fields
inline constexpr std::uint32_t kBlockSize = 88;

inline constexpr std::uint32_t kObjectTotalByteLength = 0;
inline constexpr std::uint32_t kObjectDefinitionLength = 4;
inline constexpr std::uint32_t kObjectHeaderLength = 8;
inline constexpr std::uint32_t kObjectNameTitleIndex = 12;
inline constexpr std::uint32_t kObjectNumCounters = 32;
inline constexpr std::uint32_t kObjectNumInstances = 40;
inline constexpr std::uint32_t kObjectSize = 64;

inline constexpr std::uint32_t kCounterByteLength = 0;
inline constexpr std::uint32_t kCounterNameTitleIndex = 4;
inline constexpr std::uint32_t kCounterOffset = 36;
inline constexpr std::uint32_t kCounterDefinitionSize = 40;

inline constexpr std::uint32_t kInstanceByteLength = 0;
inline constexpr std::uint32_t kInstanceDefinitionSize = 24;
inline constexpr std::uint32_t kCounterBlockByteLength = 0;
inline constexpr std::uint32_t kCounterBlockSize = 4;
}  // namespace perf

// A SYSTEMTIME as it lies in a performance data block.
struct SystemTime {
    std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// The moment as 100 ns units since 1 January 1601 UTC; false for a date the platform's
// conversion refuses (fields out of range, years outside 1601..30827).
bool systemTimeToFileTime(const SystemTime& time, std::int64_t& fileTime) noexcept;

// Fills buffer with a performance data block of at most size bytes and sets size to the bytes
// written. Answers kErrorSuccess, kErrorMoreData when the buffer is too small, or another code.
using PerfDataQuery = std::function<std::int32_t(std::uint8_t* buffer, std::uint32_t& size)>;

// Reads the processor object's idle counters from performance data blocks. Every offset and
// length taken from a block is checked against the bytes it delivered.
class PerfDataSource final : public CounterSource {
public:
    static constexpr std::uint32_t kInitialBufferSize = 8192;
    static constexpr std::uint32_t kBufferStep = 4096;
    // A query that keeps asking for more past this size is not believed.
    static constexpr std::uint32_t kMaxBufferSize = 64u << 20;

    explicit PerfDataSource(PerfDataQuery query);

    // Samples into the table, which fixes and feeds its computer.
    SampleError sample(CounterTable& table);
    // Samples into a table of the source's own that feeds this computer, always the same one.
    SampleError sample(UsageComputer& computer) override;

    std::uint32_t bufferSize() const noexcept { return m_size; }

private:
    PerfDataQuery m_query;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::uint32_t m_size = kInitialBufferSize;
    std::optional<CounterTable> m_table;
};

}  // namespace lsg::adCpuUsage
