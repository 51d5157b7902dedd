// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QMenu>
#include <QPoint>
#include <QWidget>
#include <QWindow>

#include "platform/displayserver.h"

namespace lsg::ui {

// Opens a menu at a screen point on behalf of a window. Wayland places a menu only relative to
// the window it belongs to, and the toolkit takes that window from the keyboard focus, which is
// nowhere for a moment after a dialog has closed: the menu then opened as a window of its own.
inline void popupMenuFor(QMenu* menu, QWidget* owner, const QPoint& at) {
    if (platform::isWaylandSession() && owner != nullptr) {
        if (QWindow* parent = owner->window()->windowHandle()) {
            menu->winId();  // the menu's own window, to name its parent before it shows
            menu->windowHandle()->setTransientParent(parent);
        }
    }
    menu->popup(at);
}

}  // namespace lsg::ui
