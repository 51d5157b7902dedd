// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/displayserver.h"

#include <QtGlobal>

namespace lsg::platform {

namespace {
constexpr char kPlatformVariable[] = "QT_QPA_PLATFORM";
}

QByteArray preferredPlatform(const DisplayEnvironment& environment) {
    if (!environment.chosenPlatform.isEmpty() || environment.x11Display.isEmpty()) {
        return {};
    }
    // The toolkit tries the names in order and takes the first that connects.
    return environment.waylandDisplay.isEmpty() ? QByteArrayLiteral("xcb")
                                                : QByteArrayLiteral("xcb;wayland");
}

PlatformChoice applyPreferredPlatform() {
    const QByteArray platform = preferredPlatform(
        {qgetenv(kPlatformVariable), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")});
    PlatformChoice choice;
    if (platform.isEmpty()) {
        return choice;
    }
    choice.changed = true;
    if (qEnvironmentVariableIsSet(kPlatformVariable)) {
        choice.previous = qgetenv(kPlatformVariable);
    }
    qputenv(kPlatformVariable, platform);
    return choice;
}

void restorePlatformChoice(const PlatformChoice& choice) {
    if (!choice.changed) {
        return;
    }
    if (choice.previous) {
        qputenv(kPlatformVariable, *choice.previous);
    } else {
        qunsetenv(kPlatformVariable);
    }
}

}  // namespace lsg::platform
