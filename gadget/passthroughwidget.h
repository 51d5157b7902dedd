// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QWidget>

namespace lsg {

// A part of the gadget window that keeps none of the mouse's events: the window drags itself and
// opens its menu from events on any of its parts, so every press, move, wheel turn and context
// request travels on to it.
class PassThroughWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace lsg
