// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// A saved place that reaches under a panel: the frame comes out from under it, start after start
// to the same place.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/placement.h"
#include "gadget/startupplacement.h"

using namespace lsg;

namespace {

const QSize kFrame(355, 260);

struct Desktop {
    const char* name;
    std::vector<QRect> monitors;
    std::vector<QRect> areas;  // each monitor less its panels
};

// Two 1280x800 monitors side by side; a 30 px panel at the bottom of the left one.
const Desktop kBottomPanel{"bottom panel on the left monitor",
                           {QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)},
                           {QRect(0, 0, 1280, 770), QRect(1280, 0, 1280, 800)}};
// One monitor with panels on every edge: 32 top, 30 bottom, 40 left, 24 right.
const Desktop kEveryEdge{"panels on every edge",
                         {QRect(0, 0, 1280, 800)},
                         {QRect(40, 32, 1280 - 40 - 24, 800 - 32 - 30)}};
// The same monitor at scale 2 (640x400 logical), a 30 px bottom panel rounded inwards to 15.
const Desktop kScaled{"scale 2", {QRect(0, 0, 640, 400)}, {QRect(0, 0, 640, 385)}};

struct Case {
    const Desktop* desktop;
    QPoint saved;
    QSize frame;
    QPoint expected;
};

TEST(ClearOfPanels, FramesComeOutFromUnderPanelsAndStayElsewhere) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const Case cases[] = {
        // Free of the panel: left alone, touching its edge too.
        {&kBottomPanel, {100, 200}, kFrame, {100, 200}},
        {&kBottomPanel, {100, 770 - 260}, kFrame, {100, 770 - 260}},
        // Its caption under the bottom panel, or past the monitor's edge behind it: just above it.
        {&kBottomPanel, {100, 600}, kFrame, {100, 770 - 260}},
        {&kBottomPanel, {100, 770 - 259}, kFrame, {100, 770 - 260}},
        {&kBottomPanel, {-300, 700}, kFrame, {-300, 770 - 260}},
        // Off an edge without a panel: kept, as the user left it.
        {&kBottomPanel, {-300, 200}, kFrame, {-300, 200}},
        {&kBottomPanel, {100, -100}, kFrame, {100, -100}},
        // The monitor without a panel keeps a frame at or past its bottom.
        {&kBottomPanel, {1500, 600}, kFrame, {1500, 600}},
        // Mostly on the right-hand monitor, a little over the left one's panel: the right one's.
        {&kBottomPanel, {1150, 700}, kFrame, {1150, 700}},
        // Mostly on the left one, reaching into the right one: the left one's panel counts.
        {&kBottomPanel, {1000, 700}, kFrame, {1000, 770 - 260}},
        // Panels on every edge: out from under each, the top and left first when the frame is
        // larger than the free area.
        {&kEveryEdge, {10, 10}, kFrame, {40, 32}},
        {&kEveryEdge, {1100, 700}, kFrame, {1280 - 24 - 355, 800 - 30 - 260}},
        {&kEveryEdge, {500, 300}, kFrame, {500, 300}},
        {&kEveryEdge, {500, 300}, QSize(2000, 1000), {40, 32}},
        // In logical pixels at scale 2.
        {&kScaled, {100, 300}, QSize(178, 130), {100, 385 - 130}},
        {&kScaled, {100, 385 - 130}, QSize(178, 130), {100, 385 - 130}},
        // On no monitor at all, and the most extreme places: left alone, and no overflow.
        {&kBottomPanel, {-3000, -3000}, kFrame, {-3000, -3000}},
        {&kBottomPanel, {kMax, kMax}, kFrame, {kMax, kMax}},
        {&kBottomPanel, {kMin, kMin}, kFrame, {kMin, kMin}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.desktop->name << ", saved " << c.saved.x() << "," << c.saved.y()
                     << ", frame " << c.frame.width() << "x" << c.frame.height());
        const QPoint place = clearOfPanels(c.saved, c.frame, c.desktop->monitors, c.desktop->areas);
        EXPECT_EQ(place, c.expected);
        // Saved where it came to be, it comes to the same place again.
        EXPECT_EQ(clearOfPanels(place, c.frame, c.desktop->monitors, c.desktop->areas), place);
    }
}

// The whole start-up choice, a saved place as the program chooses it and then clear of the
// panels, chooses its own result again: the same settings give the same frame.
TEST(ClearOfPanels, TheStartPlaceIsChosenAgainFromItself) {
    for (const Desktop* desktop : {&kBottomPanel, &kEveryEdge}) {
        for (int x = -400; x <= 2600; x += 150) {
            for (int y = -300; y <= 850; y += 50) {
                SCOPED_TRACE(::testing::Message() << desktop->name << " " << x << "," << y);
                const auto start = [desktop](QPoint saved) {
                    const QPoint chosen = placement::choosePlace(
                        {saved.x(), saved.y()}, kFrame, desktop->areas, desktop->areas.front());
                    return clearOfPanels(chosen, kFrame, desktop->monitors, desktop->areas);
                };
                const QPoint first = start({x, y});
                EXPECT_EQ(start(first), first);
            }
        }
    }
}

}  // namespace
