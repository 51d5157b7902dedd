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

using lsg::platform::DesktopLayout;
using lsg::platform::Strut;
using lsg::platform::ToolkitScreen;

// A band along one edge of the root, reserved by a panel over [start, end].
Strut bottomBand(qint64 height, qint64 start, qint64 end) {
    Strut s;
    s.bottom = height;
    s.bottomStartX = start;
    s.bottomEndX = end;
    return s;
}
Strut topBand(qint64 height, qint64 start, qint64 end) {
    Strut s;
    s.top = height;
    s.topStartX = start;
    s.topEndX = end;
    return s;
}
Strut leftBand(qint64 width, qint64 start, qint64 end) {
    Strut s;
    s.left = width;
    s.leftStartY = start;
    s.leftEndY = end;
    return s;
}
Strut rightBand(qint64 width, qint64 start, qint64 end) {
    Strut s;
    s.right = width;
    s.rightStartY = start;
    s.rightEndY = end;
    return s;
}

struct WorkAreaCase {
    const char* name;
    std::vector<QRect> monitors;
    QSize root;
    std::vector<Strut> struts;
    std::optional<QRect> workArea;
    std::vector<QRect> expected;
};

TEST(MonitorWorkAreas, PanelsTakeTheirOwnMonitorsEdges) {
    const QRect left(0, 0, 1280, 800), right(1280, 0, 1280, 800);
    const QSize pair(2560, 800);
    // A taller monitor on the left and a shorter one beside it, both at the top.
    const QRect tall(0, 0, 1920, 1080), shortRight(1920, 0, 1280, 800);
    const QSize mixed(3200, 1080);
    // One monitor above the other.
    const QRect upper(0, 0, 1280, 800), lower(0, 800, 1280, 800);
    const QSize stacked(1280, 1600);
    constexpr qint64 kHuge = 0xFFFFFFFF;
    const WorkAreaCase cases[] = {
        {"no panels", {left, right}, pair, {}, std::nullopt, {left, right}},
        // The window manager publishes one area for the whole root: the panel's 30 px taken
        // from the whole bottom edge. Only the right monitor has the panel.
        {"bottom panel on the right monitor",
         {left, right},
         pair,
         {bottomBand(30, 1280, 2559)},
         QRect(0, 0, 2560, 770),
         {left, QRect(1280, 0, 1280, 770)}},
        {"the same panel with the four-value strut reserves the whole edge",
         {left, right},
         pair,
         {Strut::wholeEdges(0, 0, 0, 30, pair)},
         QRect(0, 0, 2560, 770),
         {QRect(0, 0, 1280, 770), QRect(1280, 0, 1280, 770)}},
        {"a tray on top of the left monitor, a panel at the bottom of the right one",
         {left, right},
         pair,
         {topBand(32, 0, 1279), bottomBand(30, 1280, 2559)},
         QRect(0, 32, 2560, 738),
         {QRect(0, 32, 1280, 768), QRect(1280, 0, 1280, 770)}},
        {"a left panel and a right panel on the outer edges",
         {left, right},
         pair,
         {leftBand(48, 0, 799), rightBand(64, 100, 699)},
         QRect(48, 0, 2448, 800),
         {QRect(48, 0, 1232, 800), QRect(1280, 0, 1216, 800)}},
        // The strut reaches from the root's bottom edge, 1080, over the tall monitor's free
        // part up to the short monitor's panel.
        {"a panel at the bottom of a shorter monitor",
         {tall, shortRight},
         mixed,
         {bottomBand(1080 - 800 + 30, 1920, 3199)},
         QRect(0, 0, 3200, 770),
         {tall, QRect(1920, 0, 1280, 770)}},
        {"a panel on an inner edge spans the other monitor: that one keeps its area",
         {upper, lower},
         stacked,
         {bottomBand(800 + 30, 0, 1279)},
         QRect(0, 0, 1280, 770),
         {QRect(0, 0, 1280, 770), lower}},
        // More reserved than the panels explain: the window manager's own margins.
        {"margins of the window manager alone",
         {QRect(0, 0, 1280, 800)},
         QSize(1280, 800),
         {},
         QRect(10, 10, 1260, 780),
         {QRect(10, 10, 1260, 780)}},
        {"margins and a panel: each monitor on the bottom edge gives the margin",
         {left, right},
         pair,
         {bottomBand(30, 1280, 2559)},
         QRect(0, 0, 2560, 760),
         {QRect(0, 0, 1280, 790), QRect(1280, 0, 1280, 760)}},
        // A published area that names the primary monitor's only would empty the other.
        {"a work area of one monitor only",
         {left, right},
         pair,
         {},
         QRect(0, 0, 1280, 800),
         {left, right}},
        {"a work area outside the root is ignored",
         {left, right},
         pair,
         {bottomBand(30, 1280, 2559)},
         QRect(5000, 5000, 10, 10),
         {left, QRect(1280, 0, 1280, 770)}},
        {"panels that would leave nothing are not believed",
         {QRect(0, 0, 1280, 800)},
         QSize(1280, 800),
         {leftBand(700, 0, 799), rightBand(700, 0, 799)},
         std::nullopt,
         {QRect(0, 0, 1280, 800)}},
        {"widths and ranges no panel can have",
         {left, right},
         pair,
         {Strut::wholeEdges(kHuge, kHuge, kHuge, kHuge, pair), bottomBand(30, 2000, 1500),
          topBand(kHuge, kHuge, kHuge)},
         std::nullopt,
         {left, right}},
        {"no root size: the monitors' extent stands in",
         {left, right},
         QSize(),
         {bottomBand(30, 1280, 2559)},
         std::nullopt,
         {left, QRect(1280, 0, 1280, 770)}},
        {"no monitors", {}, pair, {bottomBand(30, 0, 2559)}, std::nullopt, {}},
    };
    for (const WorkAreaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QRect> areas = monitorWorkAreas(c.monitors, c.root, c.struts, c.workArea);
        ASSERT_EQ(areas.size(), c.expected.size());
        for (std::size_t i = 0; i < areas.size(); ++i) {
            EXPECT_EQ(areas[i], c.expected[i]) << "monitor " << i;
        }
    }
}

TEST(AvailableAreas, TheToolkitsOwnWithoutAWindowManager) {
    DesktopLayout layout;
    layout.screens = {{QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 770), 1.0}};
    layout.struts = {bottomBand(100, 0, 1279)};
    EXPECT_EQ(availableAreas(layout), std::vector<QRect>{QRect(0, 0, 1280, 770)});
}

// A bottom panel of 30 window-system pixels on the right of two 1280x800 monitors, at the
// scales desktops offer. A screen's origin stays; within it sizes are divided by the scale,
// and the area is rounded inwards.
TEST(AvailableAreas, ScaledScreensKeepTheirOrigins) {
    struct ScaleCase {
        qreal scale;
        QSize logical;  // one monitor in the toolkit's coordinates
        int freeHeight;
    };
    for (const ScaleCase& c :
         {ScaleCase{1.0, QSize(1280, 800), 770}, ScaleCase{1.5, QSize(853, 533), 513},
          ScaleCase{2.0, QSize(640, 400), 385}}) {
        SCOPED_TRACE(c.scale);
        DesktopLayout layout;
        layout.fromWindowManager = true;
        // The toolkit's own areas are whole screens here, as with two monitors under X.
        layout.screens = {
            {QRect(QPoint(0, 0), c.logical), QRect(QPoint(0, 0), c.logical), c.scale},
            {QRect(QPoint(1280, 0), c.logical), QRect(QPoint(1280, 0), c.logical), c.scale}};
        layout.root = QSize(2560, 800);
        layout.struts = {bottomBand(30, 1280, 2559)};
        layout.workArea = QRect(0, 0, 2560, 770);
        const std::vector<QRect> expected = {
            QRect(QPoint(0, 0), c.logical),
            QRect(QPoint(1280, 0), QSize(c.logical.width(), c.freeHeight))};
        EXPECT_EQ(availableAreas(layout), expected);
    }
}

// A left monitor 1279 pixels wide is 853 logical pixels at 1.5, which would be 1280 again: its
// far edge is taken to be the right monitor's origin, and the right one's panel stays off it.
TEST(AvailableAreas, RoundedSizesStillMeetTheirNeighbours) {
    DesktopLayout layout;
    layout.fromWindowManager = true;
    layout.screens = {{QRect(0, 0, 853, 533), QRect(0, 0, 853, 533), 1.5},
                      {QRect(1279, 0, 853, 533), QRect(1279, 0, 853, 533), 1.5}};
    layout.root = QSize(2559, 800);
    layout.struts = {bottomBand(30, 1279, 2558)};
    const std::vector<QRect> expected = {QRect(0, 0, 853, 533), QRect(1279, 0, 853, 513)};
    EXPECT_EQ(availableAreas(layout), expected);
}

}  // namespace
