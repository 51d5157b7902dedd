// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

class QWidget;

namespace lsg::platform {

// Keeps a top-level window out of the desktop's taskbar. Call it before each show: the window
// manager forgets the request when the window is hidden. Desktops that do not know the request
// ignore it.
void hideFromTaskbar(QWidget* window);

// Asks the window manager to keep a shown top-level window above the others, whatever it was
// told before (another program may have cleared the state). Desktops that do not know the
// request ignore it.
void requestAbove(QWidget* window);

// Puts a top-level window on every desktop (workspace). Call it before each show: the window
// manager reads the wish when the window is mapped, and forgets it when the window is hidden. A
// shown window is asked for at once. Desktops that do not know the requests ignore them.
void showOnAllDesktops(QWidget* window);

// Brings a shown top-level window before the user now, as a pager does when the user picks it
// (the tray icon or the menu asked): leaves the desktop-showing mode when it is on, moves the
// window to the current desktop unless it is on all of them, takes it out of its iconic state,
// and asks for it to be raised and focused. Does nothing for a hidden window and off X11.
void bringToUser(QWidget* window);

}  // namespace lsg::platform
