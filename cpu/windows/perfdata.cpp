// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/windows/perfdata.h"

#include <algorithm>
#include <cstring>

namespace lsg::adCpuUsage {

namespace {

// Bounds-checked little-endian reads from the delivered part of the buffer. Offsets are
// 64-bit so that adding two 32-bit lengths from the block can never wrap.
class BlockReader {
public:
    BlockReader(const std::uint8_t* data, std::uint64_t size) : m_data(data), m_size(size) {}

    std::uint64_t size() const { return m_size; }
    bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t end) const {
        return offset <= end && length <= end - offset;
    }
    template <typename T>
    T read(std::uint64_t offset) const {
        T value;
        std::memcpy(&value, m_data + offset, sizeof value);
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::uint64_t m_size;
};

std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    // Days since 1970-01-01 of a proleptic Gregorian date (era-based, exact for all years).
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool isLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

bool systemTimeToFileTime(const SystemTime& t, std::int64_t& fileTime) noexcept {
    static constexpr unsigned kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999) {
        return false;
    }
    const unsigned monthDays = kDaysInMonth[t.month - 1] + (t.month == 2 && isLeapYear(t.year));
    if (t.day > monthDays) {
        return false;
    }
    const std::int64_t days = daysFromCivil(t.year, t.month, t.day) - daysFromCivil(1601, 1, 1);
    const std::int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    fileTime = (seconds * 1000 + t.milliseconds) * 10000;
    return true;
}

PerfDataSource::PerfDataSource(PerfDataQuery query)
    : m_query(std::move(query)), m_buffer(std::make_unique<std::uint8_t[]>(kInitialBufferSize)) {}

SampleError PerfDataSource::sample(UsageComputer& computer) {
    if (!m_table) {
        m_table.emplace(computer);
    }
    return sample(*m_table);
}

SampleError PerfDataSource::sample(CounterTable& table) {
    // 1. Query, growing the buffer while the answer does not fit. It only ever grows and is
    // kept, so once it is large enough a sample allocates nothing.
    std::uint32_t delivered = m_size;
    std::int32_t result = m_query(m_buffer.get(), delivered);
    while (result == kErrorMoreData && m_size <= kMaxBufferSize - kBufferStep) {
        // The old contents need not survive. Allocate first, so that a failed allocation
        // leaves the old buffer and its size in place.
        m_buffer = std::make_unique<std::uint8_t[]>(m_size + kBufferStep);
        m_size += kBufferStep;
        delivered = m_size;
        result = m_query(m_buffer.get(), delivered);
    }
    // Any other failure is not examined: the buffer is walked with whatever it holds. On
    // success only the bytes the query reports are trusted, so that a short block is not
    // completed by stale bytes of an earlier, longer one.
    const std::uint64_t limit =
        result == kErrorSuccess ? std::min<std::uint64_t>(delivered, m_size) : m_size;
    const BlockReader block(m_buffer.get(), limit);

    // 2. The processor object.
    if (!block.fits(0, perf::kBlockSize, limit)) {
        return kProcessorObjectError;
    }
    const auto objectCount = block.read<std::uint32_t>(perf::kBlockNumObjectTypes);
    std::uint64_t object = block.read<std::uint32_t>(perf::kBlockHeaderLength);
    bool found = false;
    for (std::uint32_t k = 0; k < objectCount; ++k) {
        if (!block.fits(object, perf::kObjectNumInstances + 4, limit)) {
            break;
        }
        if (block.read<std::uint32_t>(object + perf::kObjectNameTitleIndex) ==
            kProcessorObjectIndex) {
            found = true;
            break;
        }
        const auto length = block.read<std::uint32_t>(object + perf::kObjectTotalByteLength);
        if (length == 0) {
            break;  // every further step would land on this same object
        }
        object += length;
    }
    if (!found) {
        return kProcessorObjectError;
    }
    // The object's own data; nothing of it is read past its end or the block's.
    const std::uint64_t objectEnd = std::min<std::uint64_t>(
        limit, object + block.read<std::uint32_t>(object + perf::kObjectTotalByteLength));
    const auto listed = block.read<std::int32_t>(object + perf::kObjectNumInstances);
    const std::uint64_t firstInstance =
        object + block.read<std::uint32_t>(object + perf::kObjectDefinitionLength);

    // 3. The first sample fixes the instance list. A count the object cannot hold (none,
    // negative, or more instances than its bytes can carry) is not a usable processor object.
    if (!table.isFixed()) {
        const std::uint64_t room = firstInstance < objectEnd ? objectEnd - firstInstance : 0;
        const std::uint64_t capacity =
            room / (perf::kInstanceDefinitionSize + perf::kCounterBlockSize);
        if (listed < 1 || static_cast<std::uint64_t>(listed) > capacity) {
            return kProcessorObjectError;
        }
        table.fix(listed);
    }

    // 4. The processor-time counter.
    const auto counterCount = block.read<std::uint32_t>(object + perf::kObjectNumCounters);
    std::uint64_t definition =
        object + block.read<std::uint32_t>(object + perf::kObjectHeaderLength);
    std::uint64_t counterOffset = 0;
    found = false;
    for (std::uint32_t k = 0; k < counterCount; ++k) {
        if (!block.fits(definition, perf::kCounterDefinitionSize, objectEnd)) {
            break;
        }
        if (block.read<std::uint32_t>(definition + perf::kCounterNameTitleIndex) ==
            kProcessorTimeCounterIndex) {
            counterOffset = block.read<std::uint32_t>(definition + perf::kCounterOffset);
            found = true;
            break;
        }
        const auto length = block.read<std::uint32_t>(definition + perf::kCounterByteLength);
        if (length == 0) {
            break;
        }
        definition += length;
    }
    if (!found) {
        return kCpuUsageCounterError;
    }

    // 5. The instances, as many as were fixed at the first sample. An instance that the object
    // does not list, or whose data would lie outside it, is absent from this sample.
    const std::int32_t count = table.instanceCount();
    const std::int32_t walk = std::clamp(listed, 0, count);
    table.beginSample();
    std::uint64_t instance = firstInstance;
    for (std::int32_t i = 0; i < walk; ++i) {
        if (!block.fits(instance, 4, objectEnd)) {
            break;
        }
        const std::uint64_t counterBlock =
            instance + block.read<std::uint32_t>(instance + perf::kInstanceByteLength);
        if (!block.fits(counterBlock, perf::kCounterBlockSize, objectEnd) ||
            !block.fits(counterBlock + counterOffset, 8, objectEnd)) {
            break;
        }
        table.set(i, block.read<std::int64_t>(counterBlock + counterOffset));
        instance =
            counterBlock + block.read<std::uint32_t>(counterBlock + perf::kCounterBlockByteLength);
    }

    // 6. The sample time. A time stamp the conversion refuses repeats the previous one, so the
    // interval ending here reads as 0 instead of a nonsense rate.
    SystemTime time;
    std::memcpy(&time, m_buffer.get() + perf::kBlockSystemTime, sizeof time);
    std::int64_t fileTime = table.currentTime();
    systemTimeToFileTime(time, fileTime);
    table.endSample(fileTime);
    return nullptr;
}

}  // namespace lsg::adCpuUsage
