// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The frames between the program and its network helper: the helper reads a request from
// whoever starts it, the program reads a reply from whatever runs at the helper's path. Whatever
// either parser accepts must write back to the very same bytes.
#include "fuzz/common.h"
#include "online/postwire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::net::frame;
    const QByteArray input = lsg::fuzz::bytes(data, size);
    QString error;
    if (const auto request = parseRequest(input, &error)) {
        const auto again = encodeRequest(*request, &error);
        lsg::fuzz::require(again.has_value() && *again == input);
    } else {
        lsg::fuzz::require(!error.isEmpty());
    }
    error.clear();
    if (const auto reply = parseReply(input, &error)) {
        lsg::fuzz::require(encodeReply(*reply) == input);
    } else {
        lsg::fuzz::require(!error.isEmpty());
    }
    return 0;
}
