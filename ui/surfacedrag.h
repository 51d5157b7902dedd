// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPoint>
#include <QWidget>
#include <QWindow>

#include "platform/displayserver.h"

namespace lsg::ui {

// Dragging a window by its surface: every pointer step moves the window by the pointer's
// movement since the last step (not since the press, so the window never jumps). The window's
// place is tracked here rather than read back from the window: the window manager confirms
// moves later, so the window's own position can lag a step behind the pointer.
// On Wayland a window can neither learn nor set its place: there the press hands the whole drag
// to the compositor, and no pointer step moves the window.
class SurfaceDrag {
public:
    // A press that starts a drag, at a screen point.
    void press(QWidget* window, const QPoint& pointer) {
        if (platform::isWaylandSession()) {
            dragging = false;
            if (QWindow* handle = window->window()->windowHandle()) {
                handle->startSystemMove();
            }
            return;
        }
        dragging = true;
        dx = pointer.x();
        dy = pointer.y();
        m_position = window->geometry().topLeft();
    }
    // A pointer step; moves the window while a drag is in progress. True when it moved it.
    bool move(QWidget* window, const QPoint& pointer) {
        if (!dragging) {
            return false;
        }
        m_position += QPoint(pointer.x() - dx, pointer.y() - dy);
        dx = pointer.x();
        dy = pointer.y();
        window->setGeometry(QRect(m_position, window->size()));
        return true;
    }
    // Any button's release ends the drag.
    void release() { dragging = false; }
    bool active() const { return dragging; }

private:
    bool dragging = false;
    int dx = 0;         // screen x of the last drag point
    int dy = 0;         // screen y of the last drag point
    QPoint m_position;  // the client area's top-left corner on the screen
};

}  // namespace lsg::ui
