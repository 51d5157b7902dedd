// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "tests/cpu/windows/perfblock.h"

#include <algorithm>
#include <cstring>

namespace lsg::adCpuUsage::test {

namespace {

class Writer {
public:
    std::uint32_t offset() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    std::uint32_t reserve(std::size_t n) {
        const auto at = offset();
        m_bytes.resize(m_bytes.size() + n, 0);
        return at;
    }
    template <typename T>
    void put(std::uint32_t at, T value) {
        std::memcpy(m_bytes.data() + at, &value, sizeof value);
    }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// PERF_OBJECT_TYPE with counter definitions (each 8 bytes wide) and, unless instances is
// empty, instance definitions named after their position. Returns the object's offset.
std::uint32_t writeObject(Writer& w, std::uint32_t nameIndex,
                          const std::vector<std::uint32_t>& counterIndexes,
                          const std::vector<std::vector<std::int64_t>>& instances,
                          PerfBlock* layout, std::uint32_t wantedCounter) {
    const std::uint32_t object = w.reserve(perf::kObjectSize);
    const auto counters = static_cast<std::uint32_t>(counterIndexes.size());
    for (std::uint32_t c = 0; c < counters; ++c) {
        const std::uint32_t def = w.reserve(perf::kCounterDefinitionSize);
        w.put<std::uint32_t>(def + perf::kCounterByteLength, perf::kCounterDefinitionSize);
        w.put<std::uint32_t>(def + perf::kCounterNameTitleIndex, counterIndexes[c]);
        w.put<std::uint32_t>(def + 28, 0x20510500);  // CounterType: 100 ns timer, inverse
        w.put<std::uint32_t>(def + 32, 8);           // CounterSize
        w.put<std::uint32_t>(def + perf::kCounterOffset, 8 + 8 * c);
        if (layout && c == 0) {
            layout->firstCounterDefinition = def;
        }
        if (layout && counterIndexes[c] == wantedCounter) {
            layout->processorTimeDefinition = def;
        }
    }
    const std::uint32_t definitionLength = w.offset() - object;
    const std::uint32_t blockLength = 8 + 8 * counters;  // ByteLength, padding, the counters
    for (std::size_t i = 0; i < instances.size(); ++i) {
        const std::uint32_t inst = w.reserve(perf::kInstanceDefinitionSize + 8);
        w.put<std::uint32_t>(inst + perf::kInstanceByteLength, perf::kInstanceDefinitionSize + 8);
        w.put<std::uint32_t>(inst + 16, perf::kInstanceDefinitionSize);  // NameOffset
        w.put<std::uint32_t>(inst + 20, 4);                              // NameLength
        w.put<char16_t>(inst + perf::kInstanceDefinitionSize, u'0' + static_cast<char16_t>(i % 10));
        const std::uint32_t block = w.reserve(blockLength);
        w.put<std::uint32_t>(block + perf::kCounterBlockByteLength, blockLength);
        for (std::uint32_t c = 0; c < counters; ++c) {
            w.put<std::int64_t>(block + 8 + 8 * c, instances[i][c]);
        }
        if (layout) {
            layout->instances.push_back(inst);
            layout->counterBlocks.push_back(block);
        }
    }
    w.put<std::uint32_t>(object + perf::kObjectTotalByteLength, w.offset() - object);
    w.put<std::uint32_t>(object + perf::kObjectDefinitionLength, definitionLength);
    w.put<std::uint32_t>(object + perf::kObjectHeaderLength, perf::kObjectSize);
    w.put<std::uint32_t>(object + perf::kObjectNameTitleIndex, nameIndex);
    w.put<std::uint32_t>(object + perf::kObjectNumCounters, counters);
    w.put<std::int32_t>(object + perf::kObjectNumInstances,
                        instances.empty() ? -1 : static_cast<std::int32_t>(instances.size()));
    return object;
}

}  // namespace

PerfBlock buildPerfBlock(const PerfBlockContent& content) {
    PerfBlock layout;
    Writer w;
    const std::uint32_t header = w.reserve(perf::kBlockSize);
    w.put<char16_t>(header + 0, u'P');
    w.put<char16_t>(header + 2, u'E');
    w.put<char16_t>(header + 4, u'R');
    w.put<char16_t>(header + 6, u'F');
    w.put<std::uint32_t>(header + 8, 1);  // LittleEndian
    w.put<std::uint32_t>(header + perf::kBlockHeaderLength, perf::kBlockSize);
    w.put<std::uint32_t>(header + perf::kBlockNumObjectTypes, content.otherObjectFirst ? 2 : 1);
    w.put<SystemTime>(header + perf::kBlockSystemTime, content.time);

    if (content.otherObjectFirst) {
        // An object without instances: its counter block follows the definitions directly.
        const std::uint32_t object = writeObject(w, 2, {10, 12}, {}, nullptr, 0);
        const std::uint32_t block = w.reserve(24);
        w.put<std::uint32_t>(block, 24);
        w.put<std::uint32_t>(object + perf::kObjectTotalByteLength, w.offset() - object);
    }
    std::vector<std::vector<std::int64_t>> instances;
    for (const std::int64_t value : content.idle) {
        // The wanted counter sits second, behind a user-time counter, so its offset matters.
        instances.push_back({value / 3, value});
    }
    layout.processorObject =
        writeObject(w, content.processorObjectIndex, {142, content.processorTimeCounterIndex},
                    instances, &layout, content.processorTimeCounterIndex);
    w.put<std::uint32_t>(header + perf::kBlockTotalByteLength, w.offset());
    layout.bytes = w.take();
    return layout;
}

std::int32_t FakePerfData::query(std::uint8_t* buffer, std::uint32_t& size) {
    sizesAsked.push_back(size);
    if (failWith != kErrorSuccess) {
        return failWith;
    }
    const auto& block = blocks.at(std::min(next, blocks.size() - 1));
    if (block.size() > size) {
        return kErrorMoreData;
    }
    if (!block.empty()) {
        std::memcpy(buffer, block.data(), block.size());
    }
    std::fill(buffer + block.size(), buffer + size, std::uint8_t{0xAB});
    size = static_cast<std::uint32_t>(block.size());
    ++next;
    return kErrorSuccess;
}

std::unique_ptr<PerfDataSource> makeSource(const std::shared_ptr<FakePerfData>& fake) {
    return std::make_unique<PerfDataSource>(
        [fake](std::uint8_t* buffer, std::uint32_t& size) { return fake->query(buffer, size); });
}

}  // namespace lsg::adCpuUsage::test
