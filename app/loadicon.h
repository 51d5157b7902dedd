// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QIcon>
#include <QImage>
#include <QPointF>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gadget/coveragefiller.h"

namespace lsg {

// The live tray icon: the program's tile with the last ten totals as a white area chart on it,
// drawn at whatever size the tray asks for. Each value lies on a whole device row, so the rows
// are all that the icon shows at a size: a new total that leaves every row where it was at the
// sizes the tray has drawn changes nothing on the screen, and the tray is not told.
class LoadIcon {
public:
    static constexpr int kPoints = 10;
    // Sizes kept drawn at once: a StatusNotifierItem tray takes six, an XEmbed tray one.
    static constexpr int kKeptSizes = 8;
    using Values = std::array<int, kPoints>;  // percentages, oldest first
    using Rows = std::array<int, kPoints>;

    LoadIcon();
    ~LoadIcon();
    LoadIcon(const LoadIcon&) = delete;
    LoadIcon& operator=(const LoadIcon&) = delete;

    // Takes the newest total (held to 0..100): the first fills the window, later ones move it one
    // place to the left. True when that changes the picture at a size drawn since the last
    // change, which the tray then needs again. Allocates nothing.
    bool push(qint64 percent);
    bool hasValues() const { return m_seeded; }
    const Values& values() const { return m_values; }

    // The picture, `pixels` device pixels square (null outside 1..512), drawn again only when
    // its rows moved. Valid until the next call.
    const QImage& image(int pixels);

    // The device row of each value's point at a size, from the chart's top (100 %) down to its
    // base (0 %).
    static Rows rowsFor(int pixels, const Values& values);

    // An icon that draws the current picture whenever it is painted or asked for a pixmap.
    static QIcon icon(const std::shared_ptr<LoadIcon>& source);

private:
    struct Drawn {
        int pixels = 0;  // 0: unused
        Rows rows{};
        QImage tile;
        QImage rim;
        QImage image;
        std::uint64_t lastUse = 0;
    };
    Drawn& entryFor(int pixels);
    void draw(Drawn& entry);

    Values m_values{};
    bool m_seeded = false;
    std::array<Drawn, kKeptSizes> m_drawn;
    std::uint64_t m_uses = 0;
    QImage m_null;
    CoverageFiller m_filler;
    std::vector<QPointF> m_points;
};

}  // namespace lsg
