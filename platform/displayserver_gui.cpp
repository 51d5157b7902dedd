// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <QGuiApplication>

#include "platform/displayserver.h"

namespace lsg::platform {

bool isWaylandSession() {
    // The plugin's name may carry a variant ("wayland-egl").
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace lsg::platform
