// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/passthroughwidget.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace lsg {

void PassThroughWidget::mousePressEvent(QMouseEvent* event) {
    event->ignore();
}
void PassThroughWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->ignore();
}
void PassThroughWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->ignore();
}
void PassThroughWidget::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}
void PassThroughWidget::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
void PassThroughWidget::contextMenuEvent(QContextMenuEvent* event) {
    event->ignore();
}

}  // namespace lsg
