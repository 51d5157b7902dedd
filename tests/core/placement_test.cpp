// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// Where the gadget starts on every arrangement of monitors.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/placement.h"

using namespace lsg::placement;

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
const QSize kFrame(355, 232);

struct Desktop {
    const char* name;
    std::vector<QRect> areas;  // available areas, the primary first
};

// One 1280x800 monitor with a 32 px panel at the top.
const Desktop kOne{"one monitor", {QRect(0, 32, 1280, 768)}};
// Two 1280x800 monitors side by side, the primary on the left.
const Desktop kTwo{"two monitors", {QRect(0, 32, 1280, 768), QRect(1280, 0, 1280, 800)}};
// A small monitor on the left at 0,0 and the primary to its right, starting at 640,0.
const Desktop kRightPrimary{"primary at 640,0", {QRect(640, 0, 1280, 800), QRect(0, 0, 640, 480)}};

struct Case {
    const Desktop* desktop;
    std::optional<qint32> left;
    std::optional<qint32> top;
    QPoint expected;
};

TEST(ChoosePlace, SavedPlacesOnEveryMonitor) {
    const QPoint oneDefault(1280 - 355, 800 - 232);
    const QPoint shiftedDefault(640 + 1280 - 355, 800 - 232);
    const Case cases[] = {
        // Missing keys keep the default; a present 0 is a place.
        {&kOne, std::nullopt, std::nullopt, oneDefault},
        {&kOne, 0, 0, {0, 0}},
        {&kOne, 0, std::nullopt, {0, oneDefault.y()}},
        {&kOne, std::nullopt, 0, {oneDefault.x(), 0}},
        // A grabbable 32 px piece is enough, one pixel less is not.
        {&kOne, -300, 100, {-300, 100}},
        {&kOne, -355 + 32, 100, {-355 + 32, 100}},
        {&kOne, -355 + 31, 100, oneDefault},
        {&kOne, 1280 - 32, 100, {1280 - 32, 100}},
        {&kOne, 1280 - 31, 100, oneDefault},
        {&kOne, 100, 32 - 232 + 32, {100, 32 - 232 + 32}},  // under the panel but for 32 px
        {&kOne, 100, 32 - 232 + 31, oneDefault},
        {&kOne, 100, 800 - 32, {100, 800 - 32}},
        {&kOne, 100, 800 - 31, oneDefault},
        // The right-hand monitor is as good as the primary.
        {&kOne, 1500, 100, oneDefault},
        {&kTwo, 1500, 100, {1500, 100}},
        {&kTwo, 2560 - 32, 0, {2560 - 32, 0}},
        {&kTwo, 2560 - 31, 0, oneDefault},
        // A monitor since unplugged.
        {&kTwo, -3000, -3000, oneDefault},
        // The primary need not start at 0,0.
        {&kRightPrimary, std::nullopt, std::nullopt, shiftedDefault},
        {&kRightPrimary, 100, 100, {100, 100}},
        {&kRightPrimary, 100, 600, shiftedDefault},  // below the small monitor
        {&kRightPrimary, 0, 0, {0, 0}},
        // The most extreme values a key can hold.
        {&kTwo, kMax, kMax, oneDefault},
        {&kTwo, kMin, kMin, oneDefault},
        {&kTwo, kMin, std::nullopt, oneDefault},
        {&kTwo, kMax, 0, oneDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.desktop->name << ", Left=" << (c.left ? std::to_string(*c.left) : "none")
                     << ", Top=" << (c.top ? std::to_string(*c.top) : "none"));
        const QPoint place =
            choosePlace({c.left, c.top}, kFrame, c.desktop->areas, c.desktop->areas.front());
        EXPECT_EQ(place, c.expected);
    }
}

TEST(ChoosePlace, AFrameSmallerThanTheGrabPieceNeedsOnlyItself) {
    const QSize tiny(20, 10);
    EXPECT_EQ(choosePlace({1260, 790}, tiny, kOne.areas, kOne.areas.front()), QPoint(1260, 790));
    EXPECT_EQ(choosePlace({1261, 790}, tiny, kOne.areas, kOne.areas.front()),
              defaultPlace(tiny, kOne.areas.front()));
}

TEST(ChoosePlace, NoScreensGiveTheDefaultPlace) {
    EXPECT_EQ(choosePlace({10, 10}, kFrame, {}, QRect(0, 0, 800, 600)), QPoint(445, 368));
}

// Start after start, the place chosen from a saved place is kept when it is saved again: every
// saved place, on or off the monitors, at their edges and one pixel past them, gives the same
// frame at the next start.
TEST(ChoosePlace, AChosenPlaceIsChosenAgain) {
    const QSize frames[] = {kFrame, QSize(357, 257), QSize(20, 10), QSize(2560, 800)};
    std::vector<qint32> xs = {kMin, -3000, 0, 1, kMax};
    std::vector<qint32> ys = {kMin, -3000, 0, 1, kMax};
    for (const qint32 edge : {0, 32, 640, 800, 1280, 1920, 2560}) {
        for (const qint32 offset :
             {-358, -356, -355, -323, -322, -257, -232, -35, -33, -32, -31, -1, 0, 1, 31, 32}) {
            xs.push_back(edge + offset);
            ys.push_back(edge + offset);
        }
    }
    for (const Desktop* desktop : {&kOne, &kTwo, &kRightPrimary}) {
        for (const QSize& frame : frames) {
            for (const qint32 x : xs) {
                for (const qint32 y : ys) {
                    const QRect& primary = desktop->areas.front();
                    const QPoint first = choosePlace({x, y}, frame, desktop->areas, primary);
                    const QPoint again =
                        choosePlace({first.x(), first.y()}, frame, desktop->areas, primary);
                    ASSERT_EQ(again, first) << desktop->name << ", " << frame.width() << "x"
                                            << frame.height() << " saved at " << x << "," << y;
                }
            }
        }
    }
}

TEST(HoldSide, HandEditedSizesStayDrawable) {
    struct SideCase {
        qint32 saved;
        int expected;
    };
    for (const SideCase& c : {SideCase{0, 232}, SideCase{300, 300}, SideCase{1, kMinimumSide},
                              SideCase{-1, kMinimumSide}, SideCase{kMin, kMinimumSide},
                              SideCase{kMax, 2560}, SideCase{2561, 2560}, SideCase{2560, 2560}}) {
        SCOPED_TRACE(c.saved);
        EXPECT_EQ(holdSide(c.saved, 232, 2560), c.expected);
    }
    // A desktop smaller than the minimum never turns the range upside down.
    EXPECT_EQ(holdSide(500, 232, 10), kMinimumSide);
}

}  // namespace
