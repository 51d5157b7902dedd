// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The performance-data block walker on any bytes: the input is up to four blocks separated by
// "\xFF\xFE\xFD\xFC", each answered by one query the way the system answers it.
#include "cpu/windows/perfdata.h"
#include "fuzz/common.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::adCpuUsage;
    const QList<QByteArray> blocks =
        lsg::fuzz::pieces(lsg::fuzz::bytes(data, size), QByteArrayLiteral("\xFF\xFE\xFD\xFC"));
    qsizetype next = 0;
    PerfDataSource source([&](std::uint8_t* buffer, std::uint32_t& capacity) -> std::int32_t {
        const QByteArray& block = blocks[std::min(next, blocks.size() - 1)];
        const auto needed = static_cast<std::uint32_t>(block.size());
        if (needed > capacity) {
            return kErrorMoreData;
        }
        std::memcpy(buffer, block.constData(), needed);
        capacity = needed;
        ++next;
        return kErrorSuccess;
    });
    CounterTable table;
    for (int sample = 0; sample < std::min<qsizetype>(blocks.size(), 4); ++sample) {
        if (source.sample(table) != nullptr) {
            continue;
        }
        for (std::int32_t i = 0; i < table.instanceCount(); ++i) {
            lsg::fuzz::require(!std::isnan(table.usage(i)));
        }
    }
    return 0;
}
