// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "gadget/chartview.h"
#include "tests/cpu/allocationcounter.h"
#include "tests/gadget/chart_goldens.h"
#include "ui/style.h"

namespace lsg {
namespace {

// The build lists the tests by running this binary without the test environment; the charts
// never need a real display, so default to the offscreen platform before main() starts Qt.
const bool kOffscreenByDefault = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return true;
}();

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kShadow = 0xFFA0A0A0;
constexpr QRgb kTick = 0xFF808080;
constexpr QRgb kGrid = 0xFFC0C0C0;
// A background far from every colour the chart draws, so that each mark stands out.
constexpr QRgb kBackground = 0xFFF0E0D0;

// Geometry of a 355 x 200 chart: plot frame on columns 15 and 344, rows 9 and 184.
constexpr int kLeft = 15;
constexpr int kTop = 9;
constexpr int kRight = 344;
constexpr int kBottom = 184;

// The area colours: red 43, green 64, blue 107 for the total; 68, 102, 163 for a strip.
QRgb areaRgb(ChartKind kind) {
    return kind == ChartKind::Total ? 0xFF2B406B : 0xFF4466A3;
}

void fill(ChartView& chart, std::initializer_list<double> values) {
    for (double v : values) {
        chart.addY(v);
    }
    chart.setMinMax(0, 100);
}

void fillFlat(ChartView& chart, double value) {
    for (int i = 0; i < 10; ++i) {
        chart.addY(value);
    }
    chart.setMinMax(0, 100);
}

QImage render(const ChartView& chart, QSize size = QSize(355, 200)) {
    return chart.renderImage(size).convertToFormat(QImage::Format_ARGB32);
}

// Rows of column x (from first to last, inclusive) with exactly this colour.
std::vector<int> rowsWithColor(const QImage& image, int x, int first, int last, QRgb color) {
    std::vector<int> rows;
    for (int y = first; y <= last; ++y) {
        if (image.pixel(x, y) == color) {
            rows.push_back(y);
        }
    }
    return rows;
}

std::vector<int> columnsWithColor(const QImage& image, int y, int first, int last, QRgb color) {
    std::vector<int> columns;
    for (int x = first; x <= last; ++x) {
        if (image.pixel(x, y) == color) {
            columns.push_back(x);
        }
    }
    return columns;
}

int countColor(const QImage& image, const QRect& area, QRgb color) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += image.pixel(x, y) == color ? 1 : 0;
        }
    }
    return n;
}

class ChartViewTest : public ::testing::Test {
protected:
    ChartViewTest() : chart(ChartKind::Total) { chart.setBackgroundColor(QColor(kBackground)); }
    ChartView chart;
};

TEST(ChartViewBasics, KindsColoursAndDefaults) {
    ChartView total(ChartKind::Total);
    ChartView strip(ChartKind::Strip);
    EXPECT_EQ(total.areaColor(), QColor(43, 64, 107));
    EXPECT_EQ(strip.areaColor(), QColor(68, 102, 163));
    EXPECT_EQ(total.backgroundColor(), ui::systemColor(15));
    EXPECT_EQ(total.count(), 0);
    total.setBackgroundColor(QColor());  // invalid: kept as it was
    EXPECT_EQ(total.backgroundColor(), ui::systemColor(15));
}

TEST(ChartViewBasics, SeriesOperationsAndTheirErrors) {
    ChartView chart(ChartKind::Strip);
    EXPECT_EQ(chart.yValue(0), std::nullopt);
    fill(chart, {1, 2, 3});
    EXPECT_EQ(chart.count(), 3);
    EXPECT_EQ(chart.yValue(2), 3.0);
    EXPECT_TRUE(chart.setYValue(1, 42));
    EXPECT_EQ(chart.yValue(1), 42.0);
    EXPECT_EQ(chart.yValue(-1), std::nullopt);
    EXPECT_EQ(chart.yValue(3), std::nullopt);
    EXPECT_FALSE(chart.setYValue(3, 1));
    EXPECT_EQ(chart.count(), 3);
    EXPECT_FALSE(chart.setMinMax(100, 0));
    EXPECT_FALSE(chart.setMinMax(std::nan(""), 100));
    EXPECT_EQ(chart.minimum(), 0);
    EXPECT_EQ(chart.maximum(), 100);
}

TEST_F(ChartViewTest, BevelFrameAndAxisOfTheMainChart) {
    fillFlat(chart, 50);
    const QImage image = render(chart);

    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(100, 0), kWhite);
    EXPECT_EQ(image.pixel(0, 100), kWhite);
    EXPECT_EQ(image.pixel(100, 199), kShadow);
    EXPECT_EQ(image.pixel(354, 100), kShadow);
    EXPECT_EQ(image.pixel(5, 5), kBackground);
    EXPECT_EQ(image.pixel(350, 195), kBackground);

    // Frame on its edge pixels, nothing just outside it.
    EXPECT_EQ(image.pixel(100, kTop), kBlack);
    EXPECT_EQ(image.pixel(kLeft, 50), kBlack);
    EXPECT_EQ(image.pixel(kRight, 50), kBlack);
    EXPECT_EQ(image.pixel(100, kTop - 1), kBackground);
    EXPECT_EQ(image.pixel(kRight + 1, 50), kBackground);
    EXPECT_EQ(image.pixel(kLeft - 1, 50), kBackground);  // a row without tick
    // The 2-px axis line, then nothing below it away from ticks.
    EXPECT_EQ(image.pixel(100, kBottom), kBlack);
    EXPECT_EQ(image.pixel(100, kBottom + 1), kBlack);
    EXPECT_EQ(image.pixel(100, kBottom + 2), kBackground);

    // The line at 50 (row 184 - 88 = 96), the area below it.
    EXPECT_EQ(columnsWithColor(image, 96, kLeft, kRight, kBlack).size(),
              size_t(kRight - kLeft + 1));
    EXPECT_EQ(image.pixel(100, 97), areaRgb(ChartKind::Total));
    EXPECT_EQ(image.pixel(100, 183), areaRgb(ChartKind::Total));
    EXPECT_EQ(image.pixel(100, 95), kBackground);
    EXPECT_EQ(image.pixel(kLeft + 1, 150), areaRgb(ChartKind::Total));
    EXPECT_EQ(image.pixel(kRight - 1, 150), areaRgb(ChartKind::Total));
}

TEST_F(ChartViewTest, TicksAndGridOfAMainChartAbout200PixelsHigh) {
    fillFlat(chart, 0);  // nothing hides the grid
    const QImage image = render(chart);

    // Grid lines at 10 .. 90 and X = 1 .. 8, none on the frame.
    const std::vector<int> gridRows = rowsWithColor(image, 30, kTop, kBottom, kGrid);
    ASSERT_EQ(gridRows.size(), 9u);
    EXPECT_EQ(gridRows.front(), 26);  // 90
    EXPECT_EQ(gridRows[4], 96);       // 50
    EXPECT_EQ(gridRows.back(), 166);  // 10
    const std::vector<int> gridColumns = columnsWithColor(image, 100, kLeft, kRight, kGrid);
    ASSERT_EQ(gridColumns.size(), 8u);
    EXPECT_EQ(gridColumns.front(), 52);
    EXPECT_EQ(image.pixel(52, kTop), kBlack);
    EXPECT_EQ(image.pixel(kLeft, 96), kBlack);

    // Left axis: 11 major ticks (4 px, columns 11..14) and 30 minor ones (2 px, columns 13..14).
    EXPECT_EQ(rowsWithColor(image, kLeft - 4, kTop, kBottom, kTick).size(), 11u);
    EXPECT_EQ(rowsWithColor(image, kLeft - 1, kTop, kBottom, kTick).size(), 41u);
    EXPECT_EQ(rowsWithColor(image, kLeft - 5, 0, 199, kTick).size(), 0u);
    // Bottom axis: 10 major ticks (rows 186..189) and 27 minor ones (rows 186..187).
    EXPECT_EQ(columnsWithColor(image, kBottom + 5, kLeft, kRight, kTick).size(), 10u);
    EXPECT_EQ(columnsWithColor(image, kBottom + 2, kLeft, kRight, kTick).size(), 37u);
    EXPECT_EQ(columnsWithColor(image, kBottom + 6, 0, 354, kTick).size(), 0u);
    EXPECT_EQ(image.pixel(kRight, kBottom + 5), kTick);
}

TEST_F(ChartViewTest, AllZerosShowNoArea) {
    fillFlat(chart, 0);
    const QImage image = render(chart);
    EXPECT_EQ(countColor(image, image.rect(), areaRgb(ChartKind::Total)), 0);
    // The upper edge runs along the bottom edge: the row above holds only background and grid.
    const QRect inside(kLeft + 1, kTop + 1, kRight - kLeft - 1, kBottom - kTop - 1);
    EXPECT_EQ(countColor(image, inside, kBackground) + countColor(image, inside, kGrid),
              inside.width() * inside.height());
    EXPECT_EQ(columnsWithColor(image, kBottom, kLeft, kRight, kBlack).size(),
              size_t(kRight - kLeft + 1));
}

TEST_F(ChartViewTest, AllHundredsFillThePlot) {
    fillFlat(chart, 100);
    const QImage image = render(chart);
    const QRect inside(kLeft + 1, kTop + 1, kRight - kLeft - 1, kBottom - kTop - 1);
    EXPECT_EQ(countColor(image, inside, areaRgb(ChartKind::Total)),
              inside.width() * inside.height());
    EXPECT_EQ(columnsWithColor(image, kTop, kLeft, kRight, kBlack).size(),
              size_t(kRight - kLeft + 1));
    EXPECT_EQ(rowsWithColor(image, kLeft, kTop, kBottom + 1, kBlack).size(),
              size_t(kBottom + 1 - kTop + 1));
    EXPECT_EQ(columnsWithColor(image, kTop - 1, 0, 354, areaRgb(ChartKind::Total)).size(), 0u);
    EXPECT_EQ(columnsWithColor(image, kTop - 1, kLeft, kRight, kBackground).size(),
              size_t(kRight - kLeft + 1));
}

TEST_F(ChartViewTest, ZigzagTouchesTopAndBottomWithStraightSides) {
    fill(chart, {0, 100, 0, 100, 0, 100, 0, 100, 0, 100});
    const QImage image = render(chart);
    const QRgb area = areaRgb(ChartKind::Total);

    // Peaks on the top edge: at X = 1 (column 52) the line reaches row 9 and not beyond.
    EXPECT_EQ(image.pixel(52, kTop), kBlack);
    EXPECT_EQ(image.pixel(52, 40), area);
    EXPECT_EQ(columnsWithColor(image, kTop - 1, kLeft, kRight, kBackground).size(),
              size_t(kRight - kLeft + 1));
    // Valleys on the bottom edge: beside X = 2 (column 88) no area fills the column above them.
    EXPECT_EQ(image.pixel(87, 120), kBackground);
    EXPECT_EQ(image.pixel(87, 170), kBackground);

    // The first side is a straight line from (15, 184) to (52, 9): in each column between, the
    // first pixel that is not background is the top of a 1-px line of that slope.
    const double slope = 175.0 / 37.0;
    const double bandAbove = slope / 2 + 0.5 * std::sqrt(1 + slope * slope);
    for (int x = 20; x <= 48; x += 4) {
        const double centre = 184.5 - (x + 0.5 - 15.5) * slope;
        int first = kTop + 1;
        while (first < kBottom &&
               (image.pixel(x, first) == kBackground || image.pixel(x, first) == kGrid)) {
            ++first;
        }
        EXPECT_NEAR(first, std::floor(centre - bandAbove), 1.0) << "column " << x;
    }
}

TEST(ChartViewLook, BackgroundEqualToTheAreaColour) {
    ChartView chart(ChartKind::Strip);
    const QRgb area = areaRgb(ChartKind::Strip);
    chart.setBackgroundColor(QColor(area));
    fillFlat(chart, 50);
    const QImage image = render(chart);
    // Above and below the line the colours match; only line, frame and marks stand out.
    EXPECT_EQ(image.pixel(100, 60), area);
    EXPECT_EQ(image.pixel(100, 130), area);
    EXPECT_EQ(columnsWithColor(image, 96, kLeft, kRight, kBlack).size(),
              size_t(kRight - kLeft + 1));
    EXPECT_EQ(image.pixel(kLeft, 60), kBlack);
    EXPECT_EQ(image.pixel(kLeft - 4, 166), kTick);
    EXPECT_EQ(image.pixel(100, 26), kGrid);
}

TEST_F(ChartViewTest, TooSmallForAnyTickStillDrawsFrameAxisAndArea) {
    fillFlat(chart, 50);
    const QImage image = render(chart, QSize(10, 14));
    EXPECT_EQ(countColor(image, image.rect(), kTick), 0);
    EXPECT_EQ(countColor(image, image.rect(), kGrid), 0);
    // Plot frame on columns 5 and 9, rows 1 and 6; axis on rows 6..7; line at 6 - 2 = 4.
    EXPECT_EQ(image.pixel(5, 3), kBlack);
    EXPECT_EQ(image.pixel(9, 3), kBlack);
    EXPECT_EQ(image.pixel(7, 1), kBlack);
    EXPECT_EQ(image.pixel(7, 7), kBlack);
    EXPECT_EQ(image.pixel(7, 4), kBlack);
    EXPECT_EQ(image.pixel(7, 5), areaRgb(ChartKind::Total));
    EXPECT_EQ(image.pixel(7, 3), kBackground);
}

TEST_F(ChartViewTest, StripAFewTextLinesHighHasNoHorizontalGridLines) {
    fillFlat(chart, 0);
    const QImage image = render(chart, QSize(355, 24));
    // Plot rows 1..16: major ticks only at 100 and 0, vertical grid lines as on the main chart.
    EXPECT_EQ(rowsWithColor(image, kLeft - 4, 0, 23, kTick), (std::vector<int>{1, 16}));
    EXPECT_EQ(rowsWithColor(image, 30, 0, 23, kGrid).size(), 0u);
    EXPECT_EQ(columnsWithColor(image, 8, kLeft, kRight, kGrid).size(), 8u);
}

TEST_F(ChartViewTest, EmptyChartDrawsFrameAndAxesOnly) {
    const QImage image = render(chart);
    const QRect inside(kLeft + 1, kTop + 1, kRight - kLeft - 1, kBottom - kTop - 1);
    EXPECT_EQ(countColor(image, inside, kBlack), 0);
    EXPECT_EQ(countColor(image, image.rect(), areaRgb(ChartKind::Total)), 0);
    EXPECT_EQ(image.pixel(100, kBottom + 1), kBlack);
    EXPECT_EQ(image.pixel(kLeft, 50), kBlack);
}

TEST_F(ChartViewTest, ValuesBeyondTheRangeStayInsideThePlot) {
    const double inf = std::numeric_limits<double>::infinity();
    fill(chart, {-50, 1e308, inf, -inf, std::nan(""), 250, 100, 0, 50, 120});
    const QImage image = render(chart);
    // Nothing of the series outside the frame: the rows above it and the margin below the ticks
    // keep the background.
    EXPECT_EQ(columnsWithColor(image, kTop - 1, 1, 353, kBackground).size(), 353u);
    EXPECT_EQ(columnsWithColor(image, kBottom + 7, 1, 353, kBackground).size(), 353u);
    EXPECT_EQ(rowsWithColor(image, kRight + 1, 1, 198, kBackground).size(), 198u);
}

TEST_F(ChartViewTest, AnySizeRenders) {
    fill(chart, {0, 100, 50, 25, 75, 0, 100, 50, 25, 75});
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(2, 3), QSize(5, 40), QSize(40, 5),
                       QSize(3000, 2), QSize(-5, 10)}) {
        const QImage image = chart.renderImage(size);
        EXPECT_EQ(image.size(), size.isEmpty() ? QSize(0, 0) : size)
            << size.width() << "x" << size.height();
    }
    EXPECT_EQ(chart.renderImage(QSize(3, 3), 1.5).size(), QSize(5, 5));  // 4.5 rounds up
}

TEST_F(ChartViewTest, SharpAtDevicePixelRatioTwo) {
    fillFlat(chart, 50);
    const QImage image =
        chart.renderImage(QSize(355, 200), 2).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(710, 400));
    // Every logical pixel is a whole 2 x 2 block: frame column 15 is device columns 30..31.
    EXPECT_EQ(image.pixel(29, 100), kBackground);
    EXPECT_EQ(image.pixel(30, 100), kBlack);
    EXPECT_EQ(image.pixel(31, 100), kBlack);
    EXPECT_EQ(image.pixel(32, 100), kBackground);
    // The line at row 96 is device rows 192..193, with pure colours on both sides.
    EXPECT_EQ(image.pixel(200, 191), kBackground);
    EXPECT_EQ(image.pixel(200, 192), kBlack);
    EXPECT_EQ(image.pixel(200, 193), kBlack);
    EXPECT_EQ(image.pixel(200, 194), areaRgb(ChartKind::Total));
}

// Counts the paints a chart really receives.
class CountingChart : public ChartView {
public:
    using ChartView::ChartView;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        ChartView::paintEvent(event);
    }
};

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

TEST(ChartViewRepaint, OnlyRealChangesRepaintAndOnlyThatChart) {
    QWidget window;
    window.resize(355, 300);
    auto* a = new CountingChart(ChartKind::Strip, &window);
    auto* b = new CountingChart(ChartKind::Total, &window);
    a->setGeometry(0, 0, 355, 100);
    b->setGeometry(0, 100, 355, 200);
    fillFlat(*a, 10);
    fillFlat(*b, 20);
    window.show();
    for (int i = 0; i < 100 && (a->paints == 0 || b->paints == 0); ++i) {
        QApplication::processEvents();
    }
    ASSERT_GT(a->paints, 0);
    ASSERT_GT(b->paints, 0);
    settle();

    a->paints = b->paints = 0;
    a->setYValue(3, 10);
    a->setMinMax(0, 100);
    a->setBackgroundColor(a->backgroundColor());
    settle();
    EXPECT_EQ(a->paints, 0);
    EXPECT_EQ(b->paints, 0);

    for (auto change :
         {+[](ChartView& c) { c.setYValue(9, 55); }, +[](ChartView& c) { c.setMinMax(0, 50); },
          +[](ChartView& c) { c.setBackgroundColor(Qt::darkGreen); }}) {
        a->paints = b->paints = 0;
        change(*a);
        settle();
        EXPECT_EQ(a->paints, 1);
        EXPECT_EQ(b->paints, 0);
    }
}

// A value that lands on the same pixel row draws the same picture, so the chart is not
// repainted; one that moves a point is.
TEST(ChartViewRepaint, NoRepaintWhileEveryPointKeepsItsRow) {
    QWidget window;
    window.resize(355, 100);
    auto* chart = new CountingChart(ChartKind::Strip, &window);
    chart->setGeometry(0, 0, 355, 100);
    fillFlat(*chart, 0);
    window.show();
    for (int i = 0; i < 100 && chart->paints == 0; ++i) {
        QApplication::processEvents();
    }
    ASSERT_GT(chart->paints, 0);
    settle();

    const QImage before = chart->renderImage(chart->size());
    chart->paints = 0;
    chart->setYValue(3, 0.01);
    chart->setYValue(4, -0.01);
    settle();
    EXPECT_EQ(chart->paints, 0);
    EXPECT_EQ(chart->yValue(3), 0.01);
    EXPECT_EQ(chart->renderImage(chart->size()), before);

    chart->setYValue(3, 60);
    settle();
    EXPECT_EQ(chart->paints, 1);
    EXPECT_NE(chart->renderImage(chart->size()), before);
}

// Records the mouse events that reach the window holding a chart.
class RecordingParent : public QWidget {
public:
    std::vector<QEvent::Type> seen;
    QPoint lastPos;

protected:
    void mousePressEvent(QMouseEvent* e) override { record(e); }
    void mouseMoveEvent(QMouseEvent* e) override { record(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { record(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { record(e); }
    void contextMenuEvent(QContextMenuEvent* e) override {
        seen.push_back(e->type());
        e->accept();
    }

private:
    void record(QMouseEvent* e) {
        seen.push_back(e->type());
        lastPos = e->position().toPoint();
        e->accept();
    }
};

TEST(ChartViewMouse, EveryMouseEventGoesOnToTheParent) {
    RecordingParent parent;
    parent.resize(400, 300);
    auto* chart = new ChartView(ChartKind::Total, &parent);
    chart->setGeometry(10, 20, 355, 200);
    parent.show();

    const QPointF local(30, 40);
    const QPointF global = chart->mapToGlobal(local);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseMove,
                              QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick}) {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(chart, &event);
    }
    QContextMenuEvent menu(QContextMenuEvent::Mouse, local.toPoint(), global.toPoint());
    QApplication::sendEvent(chart, &menu);

    EXPECT_EQ(parent.seen,
              (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseMove,
                                         QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                         QEvent::ContextMenu}));
    EXPECT_EQ(parent.lastPos, QPoint(40, 60));  // in the parent's own coordinates
}

TEST(ChartViewCache, AReusedChartDrawsWhatAFreshOneDraws) {
    // The layout is kept between paints and the series painter's memory too; every change must
    // show at once, and values must never leave traces behind.
    ChartView reused(ChartKind::Total);
    fill(reused, {10, 90, 10, 90, 10, 90, 10, 90, 10, 90});
    for (QSize size : {QSize(355, 200), QSize(200, 60), QSize(355, 200)}) {
        reused.renderImage(size);
    }
    reused.renderImage(QSize(355, 200), 2);
    struct Step {
        const char* what;
        std::function<void(ChartView&)> change;
        QSize size;
    };
    const std::vector<Step> steps{
        {"new values", [](ChartView& c) { c.setYValue(3, 55); }, QSize(355, 200)},
        {"new size", [](ChartView&) {}, QSize(300, 41)},
        {"new background", [](ChartView& c) { c.setBackgroundColor(QColor(kBackground)); },
         QSize(300, 41)},
        {"new range", [](ChartView& c) { c.setMinMax(0, 50); }, QSize(300, 41)},
        {"back to the first size", [](ChartView&) {}, QSize(355, 200)},
    };
    ChartView fresh(ChartKind::Total);
    fill(fresh, {10, 90, 10, 90, 10, 90, 10, 90, 10, 90});
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(reused);
        step.change(fresh);
        ChartView once(ChartKind::Total);
        for (int i = 0; i < fresh.count(); ++i) {
            once.addY(*fresh.yValue(i));
        }
        once.setMinMax(fresh.minimum(), fresh.maximum());
        once.setBackgroundColor(fresh.backgroundColor());
        EXPECT_EQ(render(reused, step.size), render(once, step.size));
        EXPECT_EQ(reused.renderImage(step.size, 2), once.renderImage(step.size, 2));
    }
}

TEST(ChartViewCache, AnOffsetPainterGetsTheSamePictureShifted) {
    // Pixels written directly land where the chart is, not at the device's origin.
    ChartView chart(ChartKind::Strip);
    fill(chart, {5, 80, 40, 0, 100, 65, 30, 45, 90, 10});
    const QImage plain = render(chart, QSize(120, 60));
    QImage shifted(140, 70, QImage::Format_ARGB32_Premultiplied);
    shifted.fill(Qt::white);
    {
        QPainter painter(&shifted);
        painter.translate(7, 5);
        chart.paint(painter, QSize(120, 60));
    }
    EXPECT_EQ(shifted.copy(7, 5, 120, 60).convertToFormat(QImage::Format_ARGB32), plain);
}

// A picture matches its golden one when at most kPixelsBeyond of its pixels have a channel more
// than kChannelTolerance away. Anti-aliasing done another way moves edge pixels a little: Qt's
// raster engine filling the very same shapes stays within 4 levels at ratio 1, and leaves at most
// 4 pixels beyond 8 levels at ratios 1.5 and 2. Real faults move far more: a grid line missing,
// the edge a row off or one point a row off change 50 pixels or more by over 8 levels, a wrong
// colour of the chart's own (each is at least 32 levels from the others) all pixels that have it.
constexpr int kChannelTolerance = 8;
constexpr int kPixelsBeyond = 16;

::testing::AssertionResult looksLike(const QImage& actual, const QImage& golden) {
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage g = golden.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != g.size()) {
        return ::testing::AssertionFailure()
               << "size " << a.width() << "x" << a.height() << ", the golden picture's "
               << g.width() << "x" << g.height();
    }
    int beyond = 0;
    int worst = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = g.pixel(x, y);
            int off = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                off = std::max(off, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
            }
            worst = std::max(worst, off);
            if (off > kChannelTolerance && beyond++ == 0) {
                first = QPoint(x, y);
            }
        }
    }
    if (beyond > kPixelsBeyond) {
        return ::testing::AssertionFailure()
               << beyond << " pixels differ by more than " << kChannelTolerance
               << " in a channel, the first at " << first.x() << "," << first.y() << ", at most "
               << worst;
    }
    return ::testing::AssertionSuccess();
}

QImage goldenPicture(const char* name) {
    return QImage(QStringLiteral(LSG_CHART_GOLDENS "/%1.png").arg(QLatin1String(name)));
}

const test::ChartGolden& goldenCase(const std::string& name) {
    const auto& all = test::chartGoldens();
    return *std::find_if(all.begin(), all.end(),
                         [&](const test::ChartGolden& g) { return g.name == name; });
}

// Every chart in the table against its kept picture. After a deliberate change of the look,
// build/tools/chartpictures tests/fixtures/chart draws them anew, to be looked at before they
// are committed.
TEST(ChartGoldens, EachChartLooksAsItsPicture) {
    for (const test::ChartGolden& golden : test::chartGoldens()) {
        SCOPED_TRACE(golden.name);
        const QImage picture = goldenPicture(golden.name);
        ASSERT_FALSE(picture.isNull()) << "no picture in " LSG_CHART_GOLDENS;
        EXPECT_TRUE(looksLike(test::renderGolden(golden), picture));
    }
}

// The processor grids likewise (their cells' exact pixels are checked in processor_grid_test).
TEST(ChartGoldens, EachProcessorGridLooksAsItsPicture) {
    for (const test::GridGolden& golden : test::gridGoldens()) {
        SCOPED_TRACE(golden.name);
        const QImage picture = goldenPicture(golden.name);
        ASSERT_FALSE(picture.isNull()) << "no picture in " LSG_CHART_GOLDENS;
        EXPECT_TRUE(looksLike(test::renderGridGolden(golden), picture));
    }
}

TEST(ChartGoldens, TheToleranceLetsNoRealFaultThrough) {
    const test::ChartGolden& mixed = goldenCase("total_mixed");
    const QImage picture = goldenPicture(mixed.name);
    ASSERT_FALSE(picture.isNull());
    ASSERT_TRUE(looksLike(test::renderGolden(mixed), picture));

    // The plot is 175 rows high: a value 100 / 175 lower lies a row lower (two where it moves
    // off a half row).
    const double row = 100.0 / 175;
    struct Fault {
        const char* what;
        std::function<void(test::ChartGolden&)> change;
    };
    const std::vector<Fault> faults = {
        {"the other kind's area colour", [](test::ChartGolden& g) { g.kind = ChartKind::Strip; }},
        {"one point a row lower", [](test::ChartGolden& g) { g.values[5] = 89.7; }},
        {"the edge a row lower",
         [&](test::ChartGolden& g) {
             for (double& v : g.values) {
                 v -= row;
             }
         }},
        {"another background", [](test::ChartGolden& g) { g.background = test::kLightFace; }},
    };
    for (const Fault& fault : faults) {
        test::ChartGolden changed = mixed;
        fault.change(changed);
        EXPECT_FALSE(looksLike(test::renderGolden(changed), picture)) << fault.what;
    }
    // A grid line missing: the one at 50 (row 96) painted over with the background.
    QImage noGridLine = picture.convertToFormat(QImage::Format_ARGB32);
    for (int x = kLeft + 1; x < kRight; ++x) {
        if (noGridLine.pixel(x, 96) == kGrid) {
            noGridLine.setPixel(x, 96, mixed.background);
        }
    }
    EXPECT_FALSE(looksLike(noGridLine, picture)) << "a grid line missing";
}

// Wherever a painter draws, the chart is the same: written straight into an image's pixels, or
// drawn into an image first where they cannot be written (other formats, pictures, clipped or
// rotated painters).
TEST(ChartViewDevices, EveryPainterGetsTheSamePicture) {
    const QSize size(120, 60);
    for (const QColor& background : {QColor(test::kSlateFace), QColor(200, 30, 60, 128)}) {
        ChartView chart(ChartKind::Strip);
        chart.setBackgroundColor(background);
        fill(chart, {5, 80, 40, 0, 100, 65, 30, 45, 90, 10});
        // The chart laid over white at (7, 5).
        const auto over = [&](const QImage& chartImage, QImage::Format format) {
            QImage expected(140, 70, format);
            expected.fill(Qt::white);
            QPainter painter(&expected);
            painter.drawImage(7, 5, chartImage);
            return expected;
        };
        const QImage plain = over(chart.renderImage(size), QImage::Format_ARGB32_Premultiplied);

        struct Device {
            const char* what;
            QImage::Format format;
            std::function<void(QPainter&)> draw;
            QImage expected;
        };
        const std::vector<Device> devices = {
            {"an image of its own format", QImage::Format_RGB32,
             [&](QPainter& p) { chart.paint(p, size); }, plain},
            {"an image not premultiplied", QImage::Format_ARGB32,
             [&](QPainter& p) { chart.paint(p, size); }, plain},
            {"a picture played back", QImage::Format_ARGB32_Premultiplied,
             [&](QPainter& p) {
                 QPicture picture;
                 QPainter recorder(&picture);
                 chart.paint(recorder, size);
                 recorder.end();
                 p.drawPicture(0, 0, picture);
             },
             plain},
            {"a painter clipped to the chart's left half", QImage::Format_ARGB32_Premultiplied,
             [&](QPainter& p) {
                 p.setClipRect(0, 0, 60, 60);
                 chart.paint(p, size);
             },
             [&] {
                 QImage expected(140, 70, QImage::Format_ARGB32_Premultiplied);
                 expected.fill(Qt::white);
                 QPainter painter(&expected);
                 painter.drawImage(7, 5, chart.renderImage(size).copy(0, 0, 60, 60));
                 return expected;
             }()},
            {"a painter scaled by 2", QImage::Format_ARGB32_Premultiplied,
             [&](QPainter& p) {
                 p.scale(2, 2);
                 chart.paint(p, size / 2);
             },
             [&] {
                 QImage sharp = chart.renderImage(size / 2, 2);
                 sharp.setDevicePixelRatio(1);
                 return over(sharp, QImage::Format_ARGB32_Premultiplied);
             }()},
        };
        for (const Device& device : devices) {
            SCOPED_TRACE(device.what);
            QImage image(140, 70, device.format);
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                painter.translate(7, 5);
                device.draw(painter);
            }
            EXPECT_TRUE(looksLike(image, device.expected)) << "background " << background.alpha();
        }
    }
}

// The gadget paints its charts once a second: once a chart has been drawn at its size, drawing
// it again allocates nothing, whatever its values (a flat line has the fewest edges, a zigzag the
// most).
TEST(ChartViewCache, APaintAgainAllocatesNothing) {
    QImage image(355, 200, QImage::Format_RGB32);
    ChartView chart(ChartKind::Total);
    chart.resize(image.size());
    fillFlat(chart, 50);
    QPainter painter(&image);
    chart.paint(painter, image.size());
    const long before = test::allocationCount();
    for (int i = 0; i < 10; ++i) {
        chart.setYValue(i, i % 2 ? 100 : 0);
    }
    chart.paint(painter, image.size());
    chart.setYValue(4, 70);
    chart.paint(painter, image.size());
    EXPECT_EQ(test::allocationCount() - before, 0);
}

}  // namespace
}  // namespace lsg
