// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <span>
#include <vector>

#include "platform/workarea.h"

// Where the gadget goes at start-up, as pure functions over screen rectangles, so that every
// arrangement of monitors can be tried without a display.
namespace lsg::placement {

// The piece of the gadget that must lie on one screen for a saved place to be kept: enough to
// grab it with the mouse (the whole frame when it is smaller).
inline constexpr int kGrabSide = 32;
// Hand-edited sizes are held to at least this many pixels a side, so the gadget can always be
// seen and grabbed.
inline constexpr int kMinimumSide = kGrabSide;

// The saved corner of the frame; a coordinate is empty when its key is missing (or not a
// number). A stored 0 is a place like any other.
struct SavedPlace {
    std::optional<qint32> left;
    std::optional<qint32> top;
};

// The default place: the frame in the bottom-right corner of the primary screen's available
// area.
QPoint defaultPlace(QSize outerSize, const QRect& primaryArea);

// The top-left corner of a frame of `outerSize`: the saved place (a missing coordinate taken
// from the default place) when a grabbable piece of the frame lies inside the available area
// of some screen, else the default place on the primary screen. Any coordinates are safe, the
// most extreme 32-bit values included.
QPoint choosePlace(const SavedPlace& saved, QSize outerSize, std::span<const QRect> availableAreas,
                   const QRect& primaryArea);

// One side of the gadget from its saved value: 0 keeps `designSide`; anything else is held
// to kMinimumSide..`largest` (the desktop's extent), however it was edited.
int holdSide(qint32 saved, int designSide, int largest);

// The free part of each monitor, in window-system pixels: the monitor less the bands the
// panels reserve on it. A band reaches from the root window's edge, so one that covers a
// monitor from side to side belongs to a panel on another monitor's inner edge and leaves this
// one alone. A published work area that reserves more at a root edge than the panels explain
// (the window manager's own margins, a panel it knows and we cannot read) takes that much more
// from the monitors on that edge, unless nothing would be left.
std::vector<QRect> monitorWorkAreas(std::span<const QRect> monitors, QSize root,
                                    std::span<const platform::Strut> struts,
                                    const std::optional<QRect>& workArea);

// The available area of each screen of the layout, in the toolkit's coordinates, in the order
// of its screens: what the window manager leaves free, or the toolkit's own area when no window
// manager says.
std::vector<QRect> availableAreas(const platform::DesktopLayout& layout);

}  // namespace lsg::placement
