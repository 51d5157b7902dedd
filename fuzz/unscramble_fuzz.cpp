// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The stored download address's unscrambler on any stored text, and the scrambling's round
// trip on any address.
#include "fuzz/common.h"
#include "online/check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::check;
    const QString stored = QString::fromUtf8(lsg::fuzz::bytes(data, size));
    (void)UnscrambleText(stored);
    (void)UnscrambleText(lsg::fuzz::utf16(data, size));
    // Any text the program stores comes back as it was.
    lsg::fuzz::require(UnscrambleText(ScrambleText(stored)) == stored);
    return 0;
}
