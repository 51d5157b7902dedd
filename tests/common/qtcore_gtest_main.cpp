// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// GoogleTest entry point for GUI-free tests that need an event loop (work that the calling
// thread's event loop drives, such as a helper process run without blocking).
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
