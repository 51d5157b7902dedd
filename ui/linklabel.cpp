// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "ui/linklabel.h"

#include <QMouseEvent>

namespace lsg::ui {

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
    }
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && onClick) {
        onClick();
    }
}

}  // namespace lsg::ui
