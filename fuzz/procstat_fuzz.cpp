// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The /proc/stat parser on any text: the input is a run of samples separated by a NUL byte,
// fed to one source in turn, as the sampling tick would.
#include "cpu/procstat.h"
#include "cpu/usagecomputer.h"
#include "fuzz/common.h"

#include <cmath>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::adCpuUsage;
    ProcStatSource source("/nonexistent/stat", 100);
    UsageComputer table;
    int samples = 0;
    for (const QByteArray& piece :
         lsg::fuzz::pieces(lsg::fuzz::bytes(data, size), QByteArray(1, '\0'))) {
        if (++samples > 8) {
            break;
        }
        if (source.sampleText(table, std::string_view(piece.constData(), piece.size())) !=
            nullptr) {
            continue;
        }
        for (std::int32_t i = 0; i < table.instanceCount(); ++i) {
            lsg::fuzz::require(!std::isnan(table.usage(i)));
        }
    }
    return 0;
}
