// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace lsg::about {

// Milliseconds on a 32-bit wrapping clock, like the desktop's tick count.
using TickClock = std::function<std::uint32_t()>;
// Test seam: replaces the clock (empty restores the real one); returns the previous one.
TickClock setPopupClock(TickClock clock);

// Pops the menu up with its top-left corner at the button's bottom-left corner and returns once
// the menu has closed. The click that closes an open menu by landing on its own button reaches
// the button again; if that comes within 100 ms of the close, for the same button and menu, it
// is swallowed instead of reopening the menu, and the next click opens it again.
// Returns true when the menu was shown.
bool popupBelow(QWidget* button, QMenu* menu);

}  // namespace lsg::about
