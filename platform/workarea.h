// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace lsg::platform {

// One window's reservation of a screen edge, in the window system's pixels, as the desktop
// standard gives it: a band `left` pixels wide along the root window's left edge from
// `leftStartY` to `leftEndY` (inclusive), and so on. A window that gives only the older four
// widths reserves the edges' whole lengths.
struct Strut {
    qint64 left = 0;
    qint64 right = 0;
    qint64 top = 0;
    qint64 bottom = 0;
    qint64 leftStartY = 0;
    qint64 leftEndY = 0;
    qint64 rightStartY = 0;
    qint64 rightEndY = 0;
    qint64 topStartX = 0;
    qint64 topEndX = 0;
    qint64 bottomStartX = 0;
    qint64 bottomEndX = 0;

    // A reservation of the edges' whole lengths (the four-value form) on a root of `root`.
    static Strut wholeEdges(qint64 left, qint64 right, qint64 top, qint64 bottom, QSize root) {
        return {left, right,
                top,  bottom,
                0,    root.height() - 1,
                0,    root.height() - 1,
                0,    root.width() - 1,
                0,    root.width() - 1};
    }
};

// A screen as the toolkit reports it: its rectangle and available area in the toolkit's
// coordinates, and how many window-system pixels one of them spans.
struct ToolkitScreen {
    QRect geometry;
    QRect available;
    qreal devicePixelRatio = 1;
};

// What the window manager says about the desktop's free space, beside the toolkit's screens.
struct DesktopLayout {
    std::vector<ToolkitScreen> screens;
    // False on Wayland, without a window manager, or off X: the toolkit's areas stand.
    bool fromWindowManager = false;
    QSize root;                     // the root window, in window-system pixels
    std::vector<Strut> struts;      // the panels' reservations on the current desktop
    std::optional<QRect> workArea;  // the current desktop's published work area, when given
};

// Reads the screens the toolkit reports and, on X11 with a window manager, the panels'
// reservations and the published work area. Needs a QGuiApplication.
DesktopLayout readDesktopLayout();

}  // namespace lsg::platform
