// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// The gadget window: dragging by any surface, the menu button, saved place and size, strips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "core/tcolor.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"
#include "gadget/processorgrid.h"
#include "gadget/processorlayout.h"

using namespace lsg;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

class GadgetWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_form = std::make_unique<TForm2>();
        QObject::connect(m_form.get(), &TForm2::menuRequested,
                         [this](const QPoint& p) { m_menuAt.push_back(p); });
        m_form->move(200, 150);
        m_form->show();
        settle();
        QObject::connect(m_form.get(), &TForm2::moved,
                         [this](const QPoint& p) { m_moves.push_back(p); });
        QObject::connect(m_form.get(), &TForm2::resized,
                         [this](const QSize& s) { m_sizes.push_back(s); });
    }

    // A mouse event on a control, given in screen coordinates as the pointer would be.
    static void mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                      const QPoint& screen, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(target->mapFromGlobal(screen)), QPointF(screen), button,
                          held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    void drag(QWidget* target, Qt::MouseButton button, const QPoint& delta) {
        const QPoint start = target->mapToGlobal(target->rect().center());
        mouse(target, QEvent::MouseButtonPress, button, start, button);
        // In steps, each measured from the last pointer point.
        const QPoint half(delta.x() / 2, delta.y() / 2);
        mouse(target, QEvent::MouseMove, Qt::NoButton, start + half, button);
        settle();
        mouse(target, QEvent::MouseMove, Qt::NoButton, start + delta, button);
        settle();
        mouse(target, QEvent::MouseButtonRelease, button, start + delta, Qt::NoButton);
        settle();
    }

    std::unique_ptr<TForm2> m_form;
    std::vector<QPoint> m_menuAt;
    std::vector<QPoint> m_moves;  // what the window reported as the user's doing
    std::vector<QSize> m_sizes;
};

TEST_F(GadgetWindowTest, DraggingFromAnySurfaceMovesByThePointerAndReportsThePlace) {
    struct Case {
        const char* surface;
        Qt::MouseButton button;
    };
    for (const Case& c : {Case{"Label1", Qt::LeftButton}, Case{"Chart1", Qt::LeftButton},
                          Case{"Form2", Qt::LeftButton}, Case{"Label1", Qt::MiddleButton}}) {
        SCOPED_TRACE(c.surface);
        QWidget* target = c.surface == std::string("Label1") ? m_form->Label1
                          : c.surface == std::string("Chart1")
                              ? static_cast<QWidget*>(m_form->Chart1)
                              : m_form.get();
        const QPoint before = m_form->pos();
        drag(target, c.button, QPoint(30, 10));
        EXPECT_EQ(m_form->pos(), before + QPoint(30, 10));
        ASSERT_FALSE(m_moves.empty());
        EXPECT_EQ(m_moves.back(), m_form->pos());
    }
    EXPECT_TRUE(m_menuAt.empty());
}

TEST_F(GadgetWindowTest, RightButtonOpensTheMenuAndNeverDrags) {
    const QPoint before = m_form->pos();
    drag(m_form->Label1, Qt::RightButton, QPoint(30, 10));
    EXPECT_EQ(m_form->pos(), before);
    EXPECT_EQ(m_menuAt.size(), 1u);
    EXPECT_TRUE(m_moves.empty());
}

TEST_F(GadgetWindowTest, AReleaseEndsTheDrag) {
    drag(m_form->Label1, Qt::LeftButton, QPoint(5, 5));
    const QPoint after = m_form->pos();
    const QPoint p = m_form->Label1->mapToGlobal(QPoint(4, 4));
    mouse(m_form->Label1, QEvent::MouseMove, Qt::NoButton, p + QPoint(40, 40), Qt::NoButton);
    settle();
    EXPECT_EQ(m_form->pos(), after);
}

TEST_F(GadgetWindowTest, ResizeReportsTheSizeAndSharesThePanelAmongTheStrips) {
    m_form->createStrips(4, true);
    settle();
    // A panel 300 pixels high shared by 4 strips and the total chart: Round(300 / 5) = 60.
    const int extra = m_form->height() - m_form->Panel1->height();
    m_form->resize(m_form->width(), 300 + extra);
    settle();
    ASSERT_EQ(m_form->Panel1->height(), 300);
    EXPECT_EQ(m_form->processorChartHeight(), 60);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(m_form->strip(i)->height(), 60);
    }
    ASSERT_FALSE(m_sizes.empty());
    EXPECT_EQ(m_sizes.back(), m_form->frameGeometry().size());
    // The last processor's strip is on top, processor 0's right above the total chart.
    EXPECT_LT(m_form->strip(4)->y(), m_form->strip(1)->y());
    EXPECT_EQ(m_form->strip(1)->geometry().bottom() + 1, m_form->Chart1->y());
}

TEST_F(GadgetWindowTest, HalvesOfAStripHeightGoToTheEvenNeighbour) {
    m_form->createStrips(1, false);
    const int extra = m_form->height() - m_form->Panel1->height();
    m_form->resize(m_form->width(), 400);
    settle();
    m_form->resize(m_form->width(), 213 + extra);
    settle();
    ASSERT_EQ(m_form->Panel1->height(), 213);
    EXPECT_EQ(m_form->processorChartHeight(), 106);  // 106.5
    EXPECT_EQ(m_form->strip(1)->height(), 106);
}

TEST(StripHeight, RoundsUnlessTheTotalChartWouldLoseItsShare) {
    struct Case {
        int panel;
        qint64 strips;
        int height;
    };
    const Case cases[] = {
        {300, 4, 60},   // exact
        {213, 1, 106},  // 106.5: the half goes to the even neighbour
        {215, 1, 108},  // 107.5 to 108 leaves the chart 107, a whole pixel share
        {101, 2, 34},   // 33.67 rounds up: the chart keeps 33
        {213, 8, 23},   // 23.67 would leave the chart 21 of its 23: rounded down
        {212, 24, 8},   // 8.48
        {212, 128, 1},  // 1.64 would need 256 pixels for the strips
        {5, 10, 0},     // not a pixel each
        {0, 4, 0},     {100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.panel << " / " << c.strips);
        const int h = stripHeightFor(c.panel, c.strips);
        EXPECT_EQ(h, c.height);
        if (c.strips > 0) {
            EXPECT_GE(c.panel - c.strips * h, c.panel / (c.strips + 1));
        }
    }
}

// Where every panel part is, as a string to compare at once.
std::string partsOf(const TForm2& form) {
    std::string parts = "grid " + std::to_string(form.processorGrid()->isVisible()) + " " +
                        std::to_string(form.processorGrid()->height()) + ", chart " +
                        std::to_string(form.Chart1->y()) + " " +
                        std::to_string(form.Chart1->height()) + ", strips";
    for (int i = 1; i <= form.stripCount(); ++i) {
        parts += " " + std::to_string(form.strip(i)->y()) + "/" +
                 std::to_string(form.strip(i)->height());
    }
    return parts;
}

// The strips where each is 22 px or more, exactly as they always were; beyond that a grid above
// the total chart, which keeps at least half of the panel, and the strips stay shown (they are
// what "Show All Processors" turned on) but take no room.
TEST(GadgetWindowProcessors, StripsWhereTheyFitAGridElsewhere) {
    for (int processors : {1, 2, 8, 9, 16, 64, 128, 256}) {
        SCOPED_TRACE(processors);
        TForm2 form;
        form.createStrips(processors, true);
        form.show();
        settle();
        const QSize panel = form.Panel1->size();
        ASSERT_EQ(panel.width(), 355);
        const ProcessorLayout expected =
            chooseProcessorLayout(processors, panel.width(), panel.height());
        EXPECT_EQ(form.processorLayout(), expected);
        EXPECT_EQ(form.processorGrid()->cells(), expected);
        EXPECT_EQ(expected.grid(), processors > 8);
        for (int i = 1; i <= processors; ++i) {
            ASSERT_TRUE(form.strip(i)->isVisible());
        }
        if (!expected.grid()) {
            const int strip = stripHeightFor(panel.height(), processors);
            EXPECT_EQ(form.processorChartHeight(), strip);
            EXPECT_EQ(form.processorGrid()->height(), 0);
            for (int i = 1; i <= processors; ++i) {
                EXPECT_EQ(form.strip(i)->geometry(),
                          QRect(0, (processors - i) * strip, panel.width(), strip));
            }
            EXPECT_EQ(form.Chart1->y(), processors * strip);
            continue;
        }
        EXPECT_EQ(form.processorGrid()->geometry(),
                  QRect(0, 0, panel.width(), expected.gridHeight()));
        EXPECT_EQ(form.Chart1->geometry(), QRect(0, expected.gridHeight(), panel.width(),
                                                 panel.height() - expected.gridHeight()));
        EXPECT_GE(2 * form.Chart1->height(), panel.height());
        for (int i = 1; i <= processors; ++i) {
            EXPECT_EQ(form.strip(i)->height(), 0);
        }
    }
}

// A resize across the line between strips and grid, and turning the strips on and off, lay the
// panel out before anything is painted: what the next paint shows is the final picture, with no
// frame of the old layout in the new place or of both at once.
TEST(GadgetWindowProcessors, EveryChangeOfLayoutIsCompleteBeforeThePaint) {
    TForm2 form;
    form.createStrips(16, true);
    form.show();
    settle();
    const int extra = form.height() - form.Panel1->height();
    const auto step = [&](const char* what, const std::function<void()>& change, bool grid) {
        SCOPED_TRACE(what);
        change();
        const std::string before = partsOf(form);
        EXPECT_EQ(form.processorLayout().grid(), grid);
        settle();
        EXPECT_EQ(partsOf(form), before) << "laid out again after the change";
    };
    ASSERT_TRUE(form.processorLayout().grid());
    step(
        "taller: strips of 25 px", [&] { form.resize(355, 440 + extra); }, false);
    EXPECT_EQ(form.strip(1)->height(), 25);
    EXPECT_EQ(form.processorGrid()->height(), 0);
    step(
        "back to the default size", [&] { form.resize(355, 232); }, true);
    EXPECT_GT(form.processorGrid()->height(), 0);
    step(
        "strips off", [&] { form.setStripsVisible(false); }, true);
    EXPECT_FALSE(form.processorGrid()->isVisible());
    EXPECT_EQ(form.Chart1->geometry(), form.Panel1->rect());
    step(
        "strips on", [&] { form.setStripsVisible(true); }, true);
    EXPECT_TRUE(form.processorGrid()->isVisible());
    EXPECT_EQ(form.Chart1->y(), form.processorLayout().gridHeight());
}

TEST(GadgetWindowProcessors, TheGridTakesTheGadgetsBackground) {
    TForm2 form;
    form.createStrips(64, true);
    form.setGadgetColor(rgbColor(10, 120, 30));
    EXPECT_EQ(form.processorGrid()->backgroundColor(), QColor(10, 120, 30));
    EXPECT_EQ(form.processorGrid()->backgroundColor(), form.Chart1->backgroundColor());
}

TEST_F(GadgetWindowTest, TheProgramsOwnPlacementIsNotReported) {
    m_form->placeQuietly(QPoint(40, 60), QSize(300, 200));
    settle();
    EXPECT_EQ(m_form->pos(), QPoint(40, 60));
    EXPECT_TRUE(m_moves.empty());
    EXPECT_TRUE(m_sizes.empty());
}

TEST_F(GadgetWindowTest, ClosingOnlyHides) {
    bool closed = false;
    QObject::connect(m_form.get(), &TForm2::closed, [&] { closed = true; });
    m_form->close();
    settle();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(m_form->isVisible());
}

TEST_F(GadgetWindowTest, TheCaptionLooksLikeALabelAndANewTextLaysNothingOut) {
    m_form->Label1->setText(QStringLiteral("Average CPU Usage: 42% (4 processors)"));
    QCoreApplication::processEvents();
    const QRect labelGeometry = m_form->Label1->geometry();

    // Drawn as a plain-text label of the same font, colours and size would be.
    QLabel label(QStringLiteral("Average CPU Usage: 42% (4 processors)"));
    label.setAlignment(Qt::AlignCenter);
    label.setFont(m_form->Label1->font());
    label.setPalette(m_form->Label1->palette());
    label.setAutoFillBackground(true);
    label.resize(labelGeometry.size());
    EXPECT_EQ(m_form->Label1->grab().toImage(), label.grab().toImage());
    EXPECT_EQ(m_form->Label1->sizeHint().height(), label.sizeHint().height());

    // A new text of another length only repaints: the window's layout stays as it is.
    class LayoutRequests : public QObject {
    public:
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::LayoutRequest ? 1 : 0;
            return false;
        }
    } requests;
    m_form->installEventFilter(&requests);
    m_form->Label1->setText(QStringLiteral("Average CPU Usage: 100% (4 processors)"));
    QCoreApplication::processEvents();
    EXPECT_EQ(requests.count, 0);
    EXPECT_EQ(m_form->Label1->geometry(), labelGeometry);
    EXPECT_EQ(m_form->Label1->text(), QStringLiteral("Average CPU Usage: 100% (4 processors)"));

    // A new font does ask for room.
    QFont big = m_form->Label1->font();
    big.setPointSize(big.pointSize() * 3);
    m_form->Label1->setFont(big);
    QCoreApplication::processEvents();
    EXPECT_GT(m_form->Label1->height(), labelGeometry.height());
    m_form->removeEventFilter(&requests);
}

}  // namespace
