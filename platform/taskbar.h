// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

class QWidget;

namespace lsg::ui {

// Keeps a top-level window out of the desktop's taskbar. Call it before each show: the window
// manager forgets the request when the window is hidden. Desktops that do not know the request
// ignore it.
void hideFromTaskbar(QWidget* window);

// Asks the window manager to keep a shown top-level window above the others, whatever it was
// told before (another program may have cleared the state). Desktops that do not know the
// request ignore it.
void requestAbove(QWidget* window);

}  // namespace lsg::ui
