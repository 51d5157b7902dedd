// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "tests/servers/testserver.h"

namespace lsg::test {

// One server per test process, started by the first test that asks for it.
inline TestServer& sharedServer() {
    static TestServer server;
    return server;
}

}  // namespace lsg::test
