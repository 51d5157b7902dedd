// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

class QWidget;

namespace lsg::ui {

// Shows a window growing out of its centre over the given time.
void animateShowFromCenter(QWidget* window, int milliseconds);
// Shrinks a window into its centre over the given time, then hides it.
void animateHideToCenter(QWidget* window, int milliseconds);

}  // namespace lsg::ui
