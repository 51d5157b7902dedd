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

// Asks the window manager to take a window out of its iconic (minimised) state when the window
// system says it is in it, whatever the toolkit has heard so far: a minimise the window manager
// has done is known to the toolkit only once its notice has been read. Does nothing for a window
// that is not iconic, and on desktops without the request.
void restoreIfIconic(QWidget* window);

}  // namespace lsg::ui
