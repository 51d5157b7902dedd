// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// The processor grid: cells computed pixel by pixel, colours, repaints of what changed only,
// tooltips, and no allocation once drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QThread>
#include <QToolTip>
#include <functional>
#include <memory>
#include <vector>

#include "gadget/chartgeom.h"
#include "gadget/chartview.h"
#include "gadget/processorgrid.h"
#include "gadget/processorlayout.h"
#include "tests/cpu/allocationcounter.h"
#include "tests/gadget/chart_goldens.h"

namespace lsg {
namespace {

const bool kOffscreenByDefault = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return true;
}();

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kStripArea = 0xFF4466A3;

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

// Strips fed with ten values each from `value(i, k)`, and a grid drawing them laid out for a
// panel of the given size. The strips outlive the grid, which watches them.
class Grid {
public:
    Grid(int processors, QSize panel, const std::function<double(int, int)>& value,
         QWidget* parent = nullptr) {
        for (int i = 0; i < processors; ++i) {
            strips.push_back(std::make_unique<ChartView>(ChartKind::Strip));
            for (int k = 0; k < 10; ++k) {
                strips.back()->addY(value(i, k));
            }
            strips.back()->setMinMax(0, 100);
        }
        grid = std::make_unique<ProcessorGrid>(parent);
        for (const auto& strip : strips) {
            grid->addSeries(strip.get());
        }
        layout = chooseProcessorLayout(processors, panel.width(), panel.height());
        grid->setCells(layout);
        grid->setGeometry(0, 0, layout.width, layout.gridHeight());
    }
    ~Grid() { grid.reset(); }

    QSize size() const { return {layout.width, layout.gridHeight()}; }
    QImage render(qreal ratio = 1) const {
        return grid->renderImage(size(), ratio).convertToFormat(QImage::Format_ARGB32);
    }
    QRect cell(int i) const { return processorCell(layout, i); }

    std::vector<std::unique_ptr<ChartView>> strips;
    std::unique_ptr<ProcessorGrid> grid;
    ProcessorLayout layout;
};

void fillRect(QImage& image, const QRect& rect, QRgb color) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            image.setPixel(x, y, color);
        }
    }
}

// The first pixel where two images differ, for a failure message.
::testing::AssertionResult samePixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << "sizes differ";
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << actual.pixel(x, y)
                       << ", expected " << expected.pixel(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ProcessorGridColors, LoadRampsFromTheBackgroundThroughTheAreaToTheFarEnd) {
    const QColor slate(test::kSlateFace);
    const QColor light(test::kLightFace);
    const QColor area(kStripArea);
    struct Case {
        const char* what;
        QColor background;
        double percent;
        QColor expected;
    };
    const Case cases[] = {
        {"idle is the background", slate, 0, slate},
        {"half is the area colour", slate, 50, area},
        {"busy is white on a dark face", slate, 100, Qt::white},
        {"busy is black on a light face", light, 100, Qt::black},
        {"a quarter lies halfway to the area", slate, 25,
         QColor((58 + 68 + 1) / 2, (68 + 102) / 2, (78 + 163 + 1) / 2)},
        {"three quarters halfway from the area to white", slate, 75,
         QColor((68 + 255 + 1) / 2, (102 + 255 + 1) / 2, (163 + 255) / 2)},
        {"beyond the range holds at its ends", slate, 250, Qt::white},
        {"below it too", light, -20, light},
        // On a face of the area's own colour the ramp goes straight to the far end.
        {"on the area colour, half is halfway to white", area, 50,
         QColor((68 + 255 + 1) / 2, (102 + 255 + 1) / 2, (163 + 255) / 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProcessorGrid::heatColor(c.background, area, c.percent).rgba(), c.expected.rgba())
            << c.what;
    }
}

// Flat series: in each cell the rows above the line are the background, the line is black on the
// value's row (mapY within the cell: halves to the even neighbour), the area fills the rows below;
// the gaps stay the background.
TEST(ProcessorGridPixels, ChartCellsComputed) {
    for (QRgb face : {test::kSlateFace, test::kLightFace}) {
        const auto level = [](int i) { return i * 100.0 / 15; };  // 0, 6.7, ..., 100
        Grid g(16, {355, 211}, [&](int i, int) { return level(i); });
        g.grid->setBackgroundColor(QColor(face));
        ASSERT_EQ(g.layout.kind, ProcessorLayout::Kind::Charts);
        ASSERT_EQ(g.cell(0), QRect(0, 0, 88, 25));

        QImage expected(g.size(), QImage::Format_ARGB32);
        expected.fill(face);
        for (int i = 0; i < 16; ++i) {
            const QRect cell = g.cell(i);
            const int row = cell.bottom() - chart::roundHalfEven(level(i) * 24 / 100);
            fillRect(expected, QRect(cell.left(), row, cell.width(), 1), kBlack);
            fillRect(expected, QRect(cell.left(), row + 1, cell.width(), cell.bottom() - row),
                     kStripArea);
        }
        EXPECT_TRUE(samePixels(g.render(), expected)) << std::hex << face;
    }
}

// The newest value is the cell's right edge: a processor that just turned busy fills its last
// column from the line on the top row down, where an idle one has the line on its bottom row.
TEST(ProcessorGridPixels, TheNewestValueIsTheRightColumn) {
    Grid g(32, {355, 211}, [](int i, int k) { return k == 9 && i % 3 == 2 ? 100.0 : 0.0; });
    const QImage image = g.render();
    for (int i = 0; i < 32; ++i) {
        SCOPED_TRACE(i);
        const QRect cell = g.cell(i);
        const bool busy = i % 3 == 2;
        EXPECT_EQ(image.pixel(cell.right(), cell.top()), busy ? kBlack : test::kSlateFace);
        EXPECT_EQ(image.pixel(cell.right(), cell.bottom() - 1),
                  busy ? kStripArea : test::kSlateFace);
        EXPECT_EQ(image.pixel(cell.right(), cell.bottom()), busy ? kStripArea : kBlack);
        // The oldest value, idle for all.
        EXPECT_EQ(image.pixel(cell.left(), cell.bottom()), kBlack);
        EXPECT_EQ(image.pixel(cell.left(), cell.top()), test::kSlateFace);
    }
}

// Coloured cells: ten slices side by side, slice k from left + k * w / 10, each the colour of
// its value; the empty places of the last row and the gaps are the background.
TEST(ProcessorGridPixels, HeatCellsComputed) {
    const auto value = [](int i, int k) { return double((i * 3 + k * 11) % 101); };
    for (QRgb face : {test::kSlateFace, test::kLightFace}) {
        Grid g(256, {355, 211}, value);
        g.grid->setBackgroundColor(QColor(face));
        ASSERT_EQ(g.layout.kind, ProcessorLayout::Kind::Heat);
        QImage expected(g.size(), QImage::Format_ARGB32);
        expected.fill(face);
        for (int i = 0; i < 256; ++i) {
            const QRect cell = g.cell(i);
            for (int k = 0; k < 10; ++k) {
                const int left = cell.left() + k * cell.width() / 10;
                const int right = cell.left() + (k + 1) * cell.width() / 10;
                fillRect(
                    expected, QRect(left, cell.top(), right - left, cell.height()),
                    ProcessorGrid::heatColor(QColor(face), QColor(kStripArea), value(i, k)).rgba());
            }
        }
        EXPECT_TRUE(samePixels(g.render(), expected)) << std::hex << face;
    }
}

// A paint whose device clip is several rectangles (the cells that changed) writes only inside
// them, and there exactly what a whole paint writes, also where a rectangle cuts a cell.
TEST(ProcessorGridPixels, APaintKeepsToItsRegion) {
    Grid g(16, {355, 211}, test::gridValue);
    const QImage whole = g.grid->renderImage(g.size());
    const QRegion region = QRegion(g.cell(5)) + QRegion(g.cell(10)) +
                           QRegion(g.cell(12).adjusted(0, 10, -40, 0)) + QRegion(88, 0, 1, 50);
    QImage image(g.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(0xFFFF00FF);
    image.paintEngine()->setSystemClip(region);
    {
        QPainter painter(&image);
        g.grid->paint(painter, g.size());
    }
    int inside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (region.contains(QPoint(x, y))) {
                ++inside;
                ASSERT_EQ(image.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
            } else {
                ASSERT_EQ(image.pixel(x, y), 0xFFFF00FFu) << x << "," << y;
            }
        }
    }
    EXPECT_GT(inside, 2 * 88 * 25);
}

// Counts the paints the grid receives and the regions they cover.
class PaintLog : public QObject {
public:
    std::vector<QRegion> regions;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        }
        return false;
    }
};

class ProcessorGridShown : public ::testing::Test {
protected:
    void show(Grid& g) {
        window.resize(g.size());
        window.show();
        g.grid->installEventFilter(&log);
        for (int i = 0; i < 100 && log.regions.empty(); ++i) {
            QApplication::processEvents();
        }
        ASSERT_FALSE(log.regions.empty());
        settle();
        log.regions.clear();
    }
    QWidget window;
    PaintLog log;
};

TEST_F(ProcessorGridShown, OnlyTheCellsWhosePictureChangedRepaint) {
    Grid g(
        16, {355, 211}, [](int, int) { return 50.0; }, &window);
    show(g);
    ChartView& five = *g.strips[5];

    // 50 and 51 lie on the same row of a 25-px cell (12 rows up either way): nothing repaints.
    five.setYValue(9, 51);
    five.setMinMax(0, 100);
    settle();
    EXPECT_TRUE(log.regions.empty());

    // A new row in cell 5, then in cells 5 and 11 together.
    five.setYValue(9, 90);
    settle();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(g.cell(5)));
    log.regions.clear();
    five.setYValue(3, 0);
    g.strips[11]->setYValue(0, 100);
    g.strips[11]->setYValue(1, 100);
    settle();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(g.cell(5)) + QRegion(g.cell(11)));
    log.regions.clear();

    // A new range changes the whole cell.
    g.strips[2]->setMinMax(0, 50);
    settle();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(g.cell(2)));
    log.regions.clear();

    // Hidden, the grid asks for nothing; shown again, it paints whole.
    g.grid->hide();
    five.setYValue(9, 10);
    settle();
    EXPECT_TRUE(log.regions.empty());
    g.grid->show();
    settle();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(g.grid->rect()));
}

TEST_F(ProcessorGridShown, ColouredCellsRepaintOnlyForANewShade) {
    Grid g(
        256, {355, 211}, [](int, int) { return 50.0; }, &window);
    show(g);
    g.strips[40]->setYValue(9, 50.4);  // still 50 %
    settle();
    EXPECT_TRUE(log.regions.empty());
    g.strips[40]->setYValue(9, 61);
    settle();
    ASSERT_EQ(log.regions.size(), 1u);
    EXPECT_EQ(log.regions[0], QRegion(g.cell(40)));
}

TEST_F(ProcessorGridShown, TheTooltipNamesTheProcessorFromOneAndFollowsItsValue) {
    Grid g(
        16, {355, 211}, [](int i, int k) { return double(i * 5 + k); }, &window);
    show(g);
    EXPECT_EQ(g.grid->cellToolTip(0), QStringLiteral("CPU 1: 9%"));
    EXPECT_EQ(g.grid->cellToolTip(15), QStringLiteral("CPU 16: 84%"));

    const auto hover = [&](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, g.grid->mapToGlobal(at));
        QApplication::sendEvent(g.grid.get(), &help);
        settle();
    };
    hover(g.cell(6).center());
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("CPU 7: 39%"));
    // The sampling tick's next value shows while the tooltip is open.
    g.strips[6]->setYValue(9, 100);
    settle();
    EXPECT_EQ(QToolTip::text(), QStringLiteral("CPU 7: 100%"));
    // Another cell, then a place with no processor.
    hover(g.cell(15).topLeft());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("CPU 16: 84%"));
    Grid ragged(
        64, {355, 211}, [](int, int) { return 0.0; }, &window);
    const QRect last = ragged.cell(63);
    QHelpEvent nowhere(QEvent::ToolTip, last.center() + QPoint(last.width() + 1, 0), QPoint());
    QApplication::sendEvent(ragged.grid.get(), &nowhere);
    // The tooltip goes, after a short fade.
    QElapsedTimer waited;
    waited.start();
    while (QToolTip::isVisible() && waited.elapsed() < 5000) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    EXPECT_FALSE(QToolTip::isVisible());
}

// Records the mouse events that reach the widget holding the grid.
class MouseParent : public QWidget {
public:
    std::vector<QEvent::Type> seen;

protected:
    void mousePressEvent(QMouseEvent* e) override { seen.push_back(e->type()); }
    void mouseMoveEvent(QMouseEvent* e) override { seen.push_back(e->type()); }
    void mouseReleaseEvent(QMouseEvent* e) override { seen.push_back(e->type()); }
};

TEST(ProcessorGridMouse, PressesMovesAndReleasesGoOnToTheGadget) {
    MouseParent parent;
    parent.resize(355, 211);
    Grid g(16, {355, 211}, test::gridValue, &parent);
    parent.show();
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease}) {
        QMouseEvent event(
            type, QPointF(30, 10), g.grid->mapToGlobal(QPointF(30, 10)), Qt::LeftButton,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(g.grid.get(), &event);
    }
    EXPECT_EQ(parent.seen, (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseMove,
                                                      QEvent::MouseButtonRelease}));
}

// Strips and grid die together with the gadget, in either order: a strip gone first leaves its
// cell empty and the grid never reaches it again.
TEST(ProcessorGridLife, AStripDestroyedFirstLeavesItsCellEmpty) {
    Grid g(16, {355, 211}, [](int, int) { return 100.0; });
    g.strips[3].reset();
    EXPECT_EQ(g.grid->cellToolTip(3), QStringLiteral("CPU 4"));
    const QImage image = g.render();
    EXPECT_EQ(image.pixel(g.cell(3).center()), test::kSlateFace);
    EXPECT_EQ(image.pixel(g.cell(4).center()), kStripArea);
    g.grid.reset();
    g.strips[4]->setYValue(9, 0);  // no watcher left to tell
}

// Once drawn, drawing again allocates nothing, whatever the values, for both kinds of cells.
TEST(ProcessorGridCache, APaintAgainAllocatesNothing) {
    for (int processors : {64, 256}) {
        SCOPED_TRACE(processors);
        Grid g(processors, {355, 211}, [](int, int) { return 50.0; });
        QImage image(g.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        g.grid->paint(painter, g.size());
        // Each strip works out its own geometry once.
        for (const auto& strip : g.strips) {
            strip->setYValue(0, 1);
        }
        const long before = test::allocationCount();
        for (int i = 0; i < processors; ++i) {
            for (int k = 0; k < 10; ++k) {
                g.strips[size_t(i)]->setYValue(k, (i + k) % 2 ? 100 : 0);
            }
        }
        g.grid->paint(painter, g.size());
        EXPECT_EQ(test::allocationCount() - before, 0);
    }
}

}  // namespace
}  // namespace lsg
