// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QLabel>
#include <functional>

class QMouseEvent;

namespace lsg::ui {

// A label that acts on a left click (press and release over it). It keeps every press to
// itself, so a window dragged by its surface is not dragged by its links.
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

}  // namespace lsg::ui
