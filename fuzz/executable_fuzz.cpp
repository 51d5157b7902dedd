// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The ELF and PE readers that find the version block in an executable, on any file content,
// and the block they find.
#include "about/versioninfo_locate.h"
#include "about/windows/versioninfo_pe.h"
#include "fuzz/versionwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::versioninfo;
    QByteArray block;
    try {
        block = locateVersionBlock(MemorySource(QByteArray(reinterpret_cast<const char*>(data),
                                                           static_cast<qsizetype>(size))),
                                   elfAndPeFormats());
    } catch (const LocateError&) {
        return 0;
    }
    lsg::fuzz::walkVersionBlock(block);
    return 0;
}
