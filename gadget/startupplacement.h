// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <functional>
#include <span>

#include "core/gadgetsettings.h"
#include "core/placement.h"

namespace lsg {

class TForm2;

// A frame at `corner` that reaches under a panel of the monitor it mostly lies on comes out from
// under it, along that edge, just far enough (a panel stays above every window and would hide the
// gadget's title or caption); a frame taller or wider than the free area keeps its top or left
// edge in it. Edges without a panel keep the frame where it is, partly off the monitor too.
// `monitors` and `areas` pair each monitor with its free area (the monitor less its panels).
QPoint clearOfPanels(QPoint corner, QSize outerSize, std::span<const QRect> monitors,
                     std::span<const QRect> areas);

// Where the gadget goes at start-up. The saved place and size are those of the window manager's
// frame, which exists only once the window is mapped: the gadget is placed from the settings
// before it shows, and placed again once the frame is known and while the window manager is
// still settling it. Once the user has moved the gadget, nothing of this undoes that.
class StartupPlacement : public QObject {
    Q_OBJECT

public:
    // The frame the window manager put around the gadget; null while it has none yet.
    using FrameMargins = std::function<QMargins(const TForm2&)>;

    // `frameMargins` empty: measured from the window. `followFraming` false: placed once, before
    // the window shows (Qt's offscreen test platform frames windows inconsistently).
    StartupPlacement(TForm2& gadget, FrameMargins frameMargins, bool followFraming,
                     QObject* parent = nullptr);

    // Sizes and places the gadget from the saved settings, before it is shown. Hand-edited sizes
    // are held to what can be drawn and grabbed.
    void restore(const settings::GadgetSettings& saved);
    // The gadget has been shown: follow its framing.
    void gadgetShown();
    // A press on the gadget ended; `moved` when it dragged the gadget.
    void dragFinished(bool moved);

    // True from the show until the gadget has settled in its place (or the window manager kept it
    // elsewhere, or the user moved it): moves and sizes meanwhile are the window manager's.
    bool isPlacing() const { return m_placing; }

    // One check whether the window manager has framed the gadget; once it has, the saved place
    // and size are applied again, as the frame's. Checks again later while not framed or not yet
    // settled in its place, after the release while a button is held on the gadget, and never
    // once the user has moved it.
    void placeAfterFraming();

private:
    void checkFramingAgain();  // the next framing check, while any are left

    TForm2& m_gadget;
    FrameMargins m_frameMargins;
    bool m_followFraming;
    placement::SavedPlace m_savedPlace;  // Left and Top as saved, each absent when not stored
    QSize m_savedOuterSize;              // a side 0 when not stored
    QTimer m_framingTimer;               // the next framing check
    int m_framingChecksLeft = 0;
    int m_settledChecks = 0;           // framing checks in a row that found the gadget in its place
    int m_placements = 0;              // places asked for since the gadget was shown
    bool m_placeAfterRelease = false;  // a framing check met a held button
    bool m_userPlaced = false;         // the user moved the gadget: no re-placing any more
    bool m_placing = false;            // between the show and the end of the framing checks
};

}  // namespace lsg
