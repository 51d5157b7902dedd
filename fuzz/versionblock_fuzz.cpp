// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The version-block reader on any bytes.
#include "fuzz/versionwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lsg::fuzz::walkVersionBlock(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}
