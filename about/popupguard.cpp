// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/popupguard.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QWidget>

namespace lsg::about {
namespace {

constexpr std::uint32_t kReopenGuardMs = 100;

}  // namespace

std::uint32_t PopupGuard::now() const {
    if (m_clock) {
        return m_clock();
    }
    static QElapsedTimer sinceStart = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return std::uint32_t(sinceStart.elapsed());
}

bool PopupGuard::popupBelow(QWidget* button, QMenu* menu) {
    if (button == nullptr || menu == nullptr) {
        return false;
    }
    // Unsigned difference: correct across the clock's wrap.
    if (m_button == button && m_menu == menu && now() - m_closedAt < kReopenGuardMs) {
        m_button.clear();
        m_menu.clear();
        return false;
    }
    const QPointer<QWidget> guardButton(button);
    const QPointer<QMenu> guardMenu(menu);
    menu->exec(button->mapToGlobal(QPoint(0, button->height())));
    m_closedAt = now();
    m_button = guardButton;
    m_menu = guardMenu;
    return true;
}

}  // namespace lsg::about
