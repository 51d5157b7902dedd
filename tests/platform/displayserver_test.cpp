// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <optional>

#include "platform/displayserver.h"

namespace lsg::platform {
namespace {

struct PlatformCase {
    const char* name;
    DisplayEnvironment environment;
    QByteArray expected;
};

TEST(PreferredPlatform, XWinsUnlessTheUserChose) {
    const PlatformCase cases[] = {
        {"X only", {"", ":0", ""}, "xcb"},
        {"X and Wayland (XWayland)", {"", ":0", "wayland-0"}, "xcb;wayland"},
        {"Wayland only", {"", "", "wayland-0"}, ""},
        {"neither", {"", "", ""}, ""},
        {"user chose Wayland beside X", {"wayland", ":0", "wayland-0"}, ""},
        {"user chose X", {"xcb", ":0", "wayland-0"}, ""},
        {"user chose offscreen", {"offscreen", "", ""}, ""},
    };
    for (const PlatformCase& c : cases) {
        EXPECT_EQ(preferredPlatform(c.environment), c.expected) << c.name;
    }
}

// Restores one environment variable when the test ends.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : m_name(name) {
        if (qEnvironmentVariableIsSet(name)) {
            m_value = qgetenv(name);
        }
    }
    ~SavedVariable() {
        if (m_value) {
            qputenv(m_name, *m_value);
        } else {
            qunsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_value;
};

TEST(PreferredPlatform, AppliedForTheStartThenTakenBack) {
    const SavedVariable platform("QT_QPA_PLATFORM");
    const SavedVariable display("DISPLAY");
    const SavedVariable wayland("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":5");
    qputenv("WAYLAND_DISPLAY", "wayland-5");

    // Unset before: set for the start, unset again afterwards.
    qunsetenv("QT_QPA_PLATFORM");
    PlatformChoice choice = applyPreferredPlatform();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb;wayland");
    restorePlatformChoice(choice);
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));

    // Set but empty counts as no choice, and comes back empty.
    qputenv("QT_QPA_PLATFORM", "");
    choice = applyPreferredPlatform();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb;wayland");
    restorePlatformChoice(choice);
    EXPECT_TRUE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
    EXPECT_TRUE(qgetenv("QT_QPA_PLATFORM").isEmpty());

    // A choice of the user's is never touched.
    qputenv("QT_QPA_PLATFORM", "wayland");
    choice = applyPreferredPlatform();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "wayland");
    restorePlatformChoice(choice);
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "wayland");
}

}  // namespace
}  // namespace lsg::platform
