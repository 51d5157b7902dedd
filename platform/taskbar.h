// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

class QWidget;

namespace lsg::ui {

// Keeps a top-level window out of the desktop's taskbar. Call it before the window is first
// shown; desktops that do not know the request ignore it.
void hideFromTaskbar(QWidget* window);

}  // namespace lsg::ui
