// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// GoogleTest entry point for tests that need a QApplication (widgets under the offscreen
// platform).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Widget tests never need a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
