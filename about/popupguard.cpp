// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/popupguard.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <utility>

namespace lsg::about {
namespace {

constexpr std::uint32_t kReopenGuardMs = 100;

// One guard for the whole program: the last popup's close time, button and menu. Weak pointers,
// so that a later button that happens to reuse a freed address is not mistaken for the old one.
struct LastPopup {
    std::uint32_t closedAt = 0;
    QPointer<QWidget> button;
    QPointer<QMenu> menu;
};

LastPopup& lastPopup() {
    static LastPopup last;
    return last;
}

TickClock& clockOverride() {
    static TickClock clock;
    return clock;
}

std::uint32_t now() {
    if (clockOverride()) {
        return clockOverride()();
    }
    static QElapsedTimer sinceStart = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return std::uint32_t(sinceStart.elapsed());
}

}  // namespace

TickClock setPopupClock(TickClock clock) {
    return std::exchange(clockOverride(), std::move(clock));
}

bool popupBelow(QWidget* button, QMenu* menu) {
    if (button == nullptr || menu == nullptr) {
        return false;
    }
    LastPopup& last = lastPopup();
    // Unsigned difference: correct across the clock's wrap.
    if (last.button == button && last.menu == menu && now() - last.closedAt < kReopenGuardMs) {
        last.button.clear();
        last.menu.clear();
        return false;
    }
    const QPointer<QWidget> guardButton(button);
    const QPointer<QMenu> guardMenu(menu);
    menu->exec(button->mapToGlobal(QPoint(0, button->height())));
    last.closedAt = now();
    last.button = guardButton;
    last.menu = guardMenu;
    return true;
}

}  // namespace lsg::about
