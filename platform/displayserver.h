// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <optional>

namespace lsg::platform {

// The display servers the process environment offers before the toolkit starts.
struct DisplayEnvironment {
    QByteArray chosenPlatform;  // QT_QPA_PLATFORM: the user's own choice
    QByteArray x11Display;      // DISPLAY
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
};

// The toolkit platform to start on, or empty to leave the toolkit's own choice. The gadget can
// place itself, stay on top and keep off the taskbar only on X, so X wins whenever a display of
// it is there (XWayland included), with Wayland as the fallback should X refuse the connection.
// A platform the user chose is always kept.
QByteArray preferredPlatform(const DisplayEnvironment& environment);

// Sets QT_QPA_PLATFORM to preferredPlatform() of the process environment; call it before the
// QApplication exists. Returns the variable's previous value (nullopt when it was unset) once
// it changed it, for restorePlatformChoice().
struct PlatformChoice {
    bool changed = false;
    std::optional<QByteArray> previous;
};
PlatformChoice applyPreferredPlatform();
// Puts QT_QPA_PLATFORM back once the QApplication exists, so that programs started from here
// (the browser, an editor) make their own choice.
void restorePlatformChoice(const PlatformChoice& choice);

// True when the running toolkit talks Wayland. Wayland keeps window positions from clients:
// a window cannot place itself, and the position it believes it has is not its place.
bool isWaylandSession();

}  // namespace lsg::platform
