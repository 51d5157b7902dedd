// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

namespace lsg::test {

// The number of operator new calls the program has made so far. A program that links the
// lsg_allocation_counter object library counts every allocation, so that a warm sample can be
// shown to make none.
long allocationCount();

}  // namespace lsg::test
