// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace lsg::about {

// Milliseconds on a 32-bit wrapping clock, like the desktop's tick count.
using TickClock = std::function<std::uint32_t()>;

// Pops a menu up below its button. The click that closes an open menu by landing on its own
// button reaches the button again; if that comes within 100 ms of the close, for the same
// button and menu, it is swallowed instead of reopening the menu, and the next click opens it
// again. The window that owns the button keeps one guard.
class PopupGuard {
public:
    // An empty clock is the real one.
    explicit PopupGuard(TickClock clock = {}) : m_clock(std::move(clock)) {}
    void setClock(TickClock clock) { m_clock = std::move(clock); }

    // Pops the menu up with its top-left corner at the button's bottom-left corner and returns
    // once the menu has closed. Returns true when the menu was shown.
    bool popupBelow(QWidget* button, QMenu* menu);

private:
    std::uint32_t now() const;

    TickClock m_clock;
    // The last popup's close time, button and menu. Weak pointers, so that a later button that
    // happens to reuse a freed address is not mistaken for the old one.
    std::uint32_t m_closedAt = 0;
    QPointer<QWidget> m_button;
    QPointer<QMenu> m_menu;
};

}  // namespace lsg::about
