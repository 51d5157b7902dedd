// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/startupplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "core/logging.h"
#include "gadget/gadgetwindow.h"
#include "platform/workarea.h"

namespace lsg {
namespace {

// How often, 100 ms apart, start-up looks whether the window manager has framed the gadget: a
// window manager on a loaded machine may take many seconds.
constexpr int kFramingChecks = 300;
constexpr int kFramingCheckMs = 100;
// A frame first seen may be one the window manager is still building (its border not yet
// reported, say), so the place is checked until it has held this many checks in a row...
constexpr int kSettledChecks = 10;
// ...and asked for at most this often, in case a window manager keeps the gadget elsewhere.
constexpr int kMaxPlacements = 5;

// Where a frame of `outer` starts on the screens as they are now, in the areas the panels leave
// free on each monitor (Qt reports whole monitors as free when there are several).
QPoint startPlace(const placement::SavedPlace& saved, QSize outer) {
    const platform::DesktopLayout layout = platform::readDesktopLayout();
    const std::vector<QRect> areas = placement::availableAreas(layout);
    std::vector<QRect> monitors;
    monitors.reserve(layout.screens.size());
    for (const platform::ToolkitScreen& screen : layout.screens) {
        monitors.push_back(screen.geometry);
    }
    // The toolkit lists the primary screen first.
    const QRect primary =
        areas.empty() ? QGuiApplication::primaryScreen()->availableGeometry() : areas.front();
    const QPoint chosen = placement::choosePlace(saved, outer, areas, primary);
    return clearOfPanels(chosen, outer, monitors, areas);
}

// How much of a frame at `corner` lies on the monitor, in 64 bits: a saved place may be any
// 32-bit value.
qint64 overlapArea(QPoint corner, QSize size, const QRect& monitor) {
    const qint64 width =
        std::min<qint64>(qint64(corner.x()) + size.width(), qint64(monitor.x()) + monitor.width()) -
        std::max<qint64>(corner.x(), monitor.x());
    const qint64 height = std::min<qint64>(qint64(corner.y()) + size.height(),
                                           qint64(monitor.y()) + monitor.height()) -
                          std::max<qint64>(corner.y(), monitor.y());
    return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

QPoint clearOfPanels(QPoint corner, QSize outerSize, std::span<const QRect> monitors,
                     std::span<const QRect> areas) {
    // The monitor most of the frame lies on.
    const std::size_t count = std::min(monitors.size(), areas.size());
    std::size_t best = count;
    qint64 most = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const qint64 overlap = overlapArea(corner, outerSize, monitors[i]);
        if (overlap > most) {
            most = overlap;
            best = i;
        }
    }
    if (best == count || areas[best].isEmpty()) {
        return corner;
    }
    const QRect& monitor = monitors[best];
    const QRect& area = areas[best];
    // Edges in 64 bits, the far ones exclusive.
    const qint64 width = outerSize.width();
    const qint64 height = outerSize.height();
    qint64 left = corner.x();
    qint64 top = corner.y();
    const qint64 areaLeft = area.x(), areaTop = area.y();
    const qint64 areaRight = areaLeft + area.width(), areaBottom = areaTop + area.height();
    const qint64 monitorLeft = monitor.x(), monitorTop = monitor.y();
    const qint64 monitorRight = monitorLeft + monitor.width();
    const qint64 monitorBottom = monitorTop + monitor.height();
    // A panel lies where the free area stops short of the monitor's edge; the frame reaches under
    // it when it crosses the area's edge and the panel's band.
    if (areaBottom < monitorBottom && top + height > areaBottom && top < monitorBottom) {
        top = std::min(top, std::max(areaTop, areaBottom - height));
    }
    if (areaTop > monitorTop && top < areaTop && top + height > monitorTop) {
        top = areaTop;
    }
    if (areaRight < monitorRight && left + width > areaRight && left < monitorRight) {
        left = std::min(left, std::max(areaLeft, areaRight - width));
    }
    if (areaLeft > monitorLeft && left < areaLeft && left + width > monitorLeft) {
        left = areaLeft;
    }
    return {int(left), int(top)};
}

StartupPlacement::StartupPlacement(TForm2& gadget, FrameMargins frameMargins, bool followFraming,
                                   QObject* parent)
    : QObject(parent),
      m_gadget(gadget),
      m_frameMargins(std::move(frameMargins)),
      m_followFraming(followFraming) {
    if (!m_frameMargins) {
        m_frameMargins = [](const TForm2& window) { return window.frameMarginsNow(); };
    }
    m_framingTimer.setSingleShot(true);
    m_framingTimer.setInterval(kFramingCheckMs);
    connect(&m_framingTimer, &QTimer::timeout, this, &StartupPlacement::placeAfterFraming);
}

void StartupPlacement::restore(const settings::GadgetSettings& saved) {
    // Between a small square and the whole desktop (beyond it a size would only cost memory for
    // the window's pixels).
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    const int height = placement::holdSide(saved.height, m_gadget.height(), desktop.height());
    const int width = placement::holdSide(saved.width, m_gadget.width(), desktop.width());
    m_savedOuterSize = QSize(saved.width == 0 ? 0 : width, saved.height == 0 ? 0 : height);
    m_gadget.resize(width, height);
    // The saved place when the gadget can be grabbed there on some monitor, else the
    // bottom-right corner of the primary work area.
    m_savedPlace = {saved.left, saved.top};
    m_gadget.placeQuietly(startPlace(m_savedPlace, m_gadget.size()), m_gadget.size());
}

void StartupPlacement::gadgetShown() {
    if (!m_followFraming || m_userPlaced) {
        return;
    }
    m_placing = true;
    m_framingChecksLeft = kFramingChecks;
    m_settledChecks = 0;
    m_placements = 0;
    placeAfterFraming();
}

void StartupPlacement::dragFinished(bool moved) {
    if (moved) {
        // The user put the gadget where it is: no saved place may undo that any more.
        m_userPlaced = true;
        m_placing = false;
        m_placeAfterRelease = false;
        m_framingTimer.stop();
        return;
    }
    if (m_placeAfterRelease) {
        m_placeAfterRelease = false;
        placeAfterFraming();
    }
}

void StartupPlacement::placeAfterFraming() {
    m_framingTimer.stop();
    if (m_userPlaced || !m_gadget.isVisible()) {
        m_placing = false;
        return;
    }
    if (m_gadget.isDragging()) {
        // A button is held on the gadget: once it is released, unless the user moved it.
        m_placeAfterRelease = true;
        return;
    }
    const QMargins margins = m_frameMargins(m_gadget);
    if (margins.isNull()) {
        // Not framed yet (a busy window manager takes its time), or never (none runs).
        checkFramingAgain();
        return;
    }
    const QSize frameSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QRect client = m_gadget.geometry();
    // The stored size is the outer size; the client gets what the frame leaves.
    QSize target = client.size();
    if (m_savedOuterSize.width() != 0) {
        target.setWidth(std::max(1, m_savedOuterSize.width() - frameSize.width()));
    }
    if (m_savedOuterSize.height() != 0) {
        target.setHeight(std::max(1, m_savedOuterSize.height() - frameSize.height()));
    }
    // Chosen again for the whole frame, now that its size is known.
    const QPoint position = startPlace(m_savedPlace, target + frameSize);
    if (client.topLeft() - QPoint(margins.left(), margins.top()) == position &&
        client.size() == target) {
        ++m_settledChecks;
    } else if (m_placements < kMaxPlacements) {
        m_settledChecks = 0;
        ++m_placements;
        qCDebug(log::gadget) << "framed by" << margins << "placing the frame at" << position
                             << "with a client of" << target;
        m_gadget.placeQuietly(position, target);
    } else {
        // The window manager keeps the gadget elsewhere: its choice stands.
        qCInfo(log::gadget) << "the window manager keeps the gadget at" << client.topLeft()
                            << "instead of" << position;
        m_placing = false;
        return;
    }
    if (m_settledChecks < kSettledChecks) {
        checkFramingAgain();
    } else {
        m_placing = false;
        qCDebug(log::gadget) << "placed: the frame holds at" << position;
    }
}

void StartupPlacement::checkFramingAgain() {
    if (m_framingChecksLeft > 0) {
        --m_framingChecksLeft;
        m_framingTimer.start();
    } else {
        m_placing = false;
    }
}

}  // namespace lsg
