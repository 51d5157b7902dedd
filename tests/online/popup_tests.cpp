// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// The update popup under the offscreen platform: placement, texts, hover colour, countdown,
// link target, close button and dragging.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

#include "core/serverhost.h"
#include "online/newversion.h"
#include "platform/openurl.h"
#include "ui/style.h"

namespace {

using lsg::TNewVer;

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void pumpFor(int ms) {
    waitUntil([] { return false; }, ms);
}

QRect screenGeometry() {
    return QGuiApplication::primaryScreen()->geometry();
}

// A mouse event at a point of a control; global is where that point is on the screen when the
// gesture began (the window may have moved since).
void sendMouse(QWidget* target, QEvent::Type type, QPoint local, QPoint global,
               Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Press at a point of a control, move the pointer by delta in two steps, release there.
void dragBy(QWidget* target, QPoint local, Qt::MouseButton button, QPoint delta) {
    const QPoint global = target->mapToGlobal(local);
    sendMouse(target, QEvent::MouseButtonPress, local, global, button, button);
    sendMouse(target, QEvent::MouseMove, local + delta / 2, global + delta / 2, Qt::NoButton,
              button);
    sendMouse(target, QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, button);
    sendMouse(target, QEvent::MouseButtonRelease, local + delta, global + delta, button,
              Qt::NoButton);
}

void click(QWidget* target, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint global = target->mapToGlobal(local);
    sendMouse(target, QEvent::MouseButtonPress, local, global, button, button);
    sendMouse(target, QEvent::MouseButtonRelease, local, global, button, Qt::NoButton);
}

class PopupTest : public ::testing::Test {
protected:
    void TearDown() override { m_popup.reset(); }

    TNewVer& create() {
        m_popup = std::make_unique<TNewVer>(QStringLiteral("Loadspire Gauge"),
                                            QStringLiteral("4.4"), [this] { return m_url; });
        m_popup->setUrlOpener([this](const QUrl& url) { m_opened.push_back(url.toString()); });
        return *m_popup;
    }

    // Created, shown by its start timer and at rest (the grow animation over). The countdown's
    // timer is stopped so that tests drive it tick by tick.
    TNewVer& shown() {
        TNewVer& p = create();
        p.TimerClose.stop();
        EXPECT_TRUE(
            waitUntil([&p] { return p.isVisible() && p.size() == TNewVer::kClientSize; }, 2000));
        return p;
    }

    static QString homePage() { return QStringLiteral("http://") + lsg::ServerHost() + u'/'; }

    QString m_url;
    std::vector<QString> m_opened;
    std::unique_ptr<TNewVer> m_popup;
};

TEST_F(PopupTest, ShowsItselfInTheTopRightCornerWithoutTakingTheFocus) {
    EXPECT_EQ(TNewVer::placement(QRect(0, 0, 1920, 1080)), QPoint(1595, 5));

    TNewVer& p = create();
    EXPECT_FALSE(p.isVisible()) << "the start timer shows it, not the constructor";
    ASSERT_TRUE(waitUntil([&p] { return p.isVisible(); }, 1000));
    EXPECT_FALSE(p.TimerStart.isActive()) << "shown once";
    ASSERT_TRUE(waitUntil([&p] { return p.size() == TNewVer::kClientSize; }, 1000));
    pumpFor(150);

    const QRect screen = screenGeometry();
    const QRect g = p.geometry();
    EXPECT_EQ(g.size(), QSize(320, 68));
    EXPECT_EQ(g.top(), screen.top() + 5);
    EXPECT_EQ(screen.right() - g.right(), 5) << "right edge 5 px from the screen's";
    // The offscreen platform activates whatever it shows; the desktop test checks the focus.
    EXPECT_TRUE(p.testAttribute(Qt::WA_ShowWithoutActivating));

    const Qt::WindowFlags flags = p.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool) << "no taskbar button";
}

TEST_F(PopupTest, ShowsHeadingLinkIconAndCloseButtonInTheirPlaces) {
    TNewVer& p = create();
    EXPECT_EQ(p.Label1->text(), QStringLiteral("UPDATE AVAILABLE"));
    EXPECT_TRUE(p.Label1->font().bold());
    EXPECT_EQ(p.Label2->text(), QStringLiteral("Click to download Loadspire Gauge 4.4"));
    EXPECT_TRUE(p.Label2->font().underline());
    EXPECT_TRUE(p.Label2->wordWrap());
    EXPECT_EQ(p.Label2->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(p.Button1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(p.linkColor(), lsg::ui::systemColor(8));

    auto inPopup = [&p](QWidget* w) { return QRect(w->mapTo(&p, QPoint(0, 0)), w->size()); };
    EXPECT_EQ(inPopup(p.Image1), QRect(4, 4, 60, 60));
    EXPECT_EQ(inPopup(p.Panel2), QRect(67, 1, 230, 66));
    EXPECT_EQ(inPopup(p.Label1), QRect(70, 4, 224, 16));
    EXPECT_EQ(inPopup(p.Label2), QRect(67, 23, 230, 44));
    EXPECT_EQ(inPopup(p.Button1), QRect(297, 1, 22, 22));
    EXPECT_EQ(p.Button1->iconSize(), QSize(16, 16));
    EXPECT_FALSE(p.Button1->icon().isNull());
    EXPECT_EQ(p.Panel1->frameShadow(), QFrame::Raised);
}

TEST_F(PopupTest, LinkTakesTheHighlightColourWhileThePointerIsOverIt) {
    TNewVer& p = shown();
    EXPECT_EQ(p.TimerLink.interval(), 100);
    const QColor highlight = lsg::ui::systemColor(29);
    const QColor normal = lsg::ui::systemColor(8);
    auto labelColour = [&p] { return p.Label2->palette().color(QPalette::WindowText); };

    QCursor::setPos(p.Label2->mapToGlobal(p.Label2->rect().center()));
    ASSERT_TRUE(waitUntil([&] { return labelColour() == highlight; }, 1000));
    EXPECT_EQ(p.linkColor(), highlight);

    // The heading is not the link.
    QCursor::setPos(p.Label1->mapToGlobal(p.Label1->rect().center()));
    ASSERT_TRUE(waitUntil([&] { return labelColour() == normal; }, 1000));

    // Right on the label's last pixel and just past it.
    QCursor::setPos(p.Label2->mapToGlobal(p.Label2->rect().bottomRight()));
    p.TimerLinkTimer();
    EXPECT_EQ(labelColour(), highlight);
    QCursor::setPos(p.Label2->mapToGlobal(p.Label2->rect().bottomRight() + QPoint(1, 0)));
    p.TimerLinkTimer();
    EXPECT_EQ(labelColour(), normal);
}

TEST_F(PopupTest, CountdownHidesItOnTheEleventhTickWhateverTheUserDoes) {
    TNewVer& p = shown();
    EXPECT_EQ(p.TimerClose.interval(), 1000);
    for (int tick = 1; tick <= 10; ++tick) {
        p.TimerCloseTimer();
        if (tick == 5) {
            dragBy(p.Image1, QPoint(30, 30), Qt::LeftButton, QPoint(-40, 20));
        }
        if (tick == 7) {
            QCursor::setPos(p.Label2->mapToGlobal(p.Label2->rect().center()));
            p.TimerLinkTimer();
        }
    }
    pumpFor(150);
    EXPECT_TRUE(p.isVisible()) << "still there after ten ticks";
    EXPECT_FALSE(p.isClosed());

    p.TimerCloseTimer();
    EXPECT_TRUE(p.isClosed());
    ASSERT_TRUE(waitUntil([&p] { return !p.isVisible(); }, 1000)) << "hidden on the eleventh";
    EXPECT_FALSE(p.TimerClose.isActive());
    EXPECT_TRUE(m_opened.empty());

    // Hidden, not destroyed, and never shown again.
    p.TimerStartTimer();
    p.TimerCloseTimer();
    pumpFor(150);
    EXPECT_FALSE(p.isVisible());
}

TEST_F(PopupTest, CountdownOnItsOwnTimerEndsHidden) {
    TNewVer& p = create();
    int ticks = 0;
    QObject::connect(&p.TimerClose, &QTimer::timeout, [&ticks] { ++ticks; });
    p.TimerClose.setInterval(20);
    ASSERT_TRUE(waitUntil([&p] { return p.isVisible(); }, 1000));
    ASSERT_TRUE(waitUntil([&p] { return p.isClosed() && !p.isVisible(); }, 3000));
    EXPECT_EQ(ticks, 11);
}

struct LinkCase {
    const char* downloadURL;
    bool opensItself;  // false: the maker's home page instead
};

TEST_F(PopupTest, LinkOpensOnlyWebAddressesAndOtherwiseTheHomePage) {
    const LinkCase cases[] = {
        {"https://example.invalid/download/", true},
        {"http://127.0.0.1:8080/get?file=setup&v=4.4", true},
        {"", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(document.cookie)", false},
        {"/usr/bin/xcalc", false},
        {"xterm -e sh", false},
        {"ftp://example.invalid/setup.exe", false},
        {"https://", false},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.downloadURL);
        m_opened.clear();
        m_url = QStringLiteral("not read before the click");
        // Clicks reach the link whether or not the popup has appeared yet; not waiting for it
        // keeps the table quick.
        TNewVer& p = create();
        // The address is the one at the moment of the click.
        m_url = QString::fromUtf8(c.downloadURL);

        click(p.Label2, p.Label2->rect().center(), Qt::RightButton);
        EXPECT_TRUE(m_opened.empty()) << "only a left click opens";

        click(p.Label2, p.Label2->rect().center());
        ASSERT_EQ(m_opened.size(), 1u);
        EXPECT_EQ(m_opened[0], c.opensItself ? m_url : homePage());
        EXPECT_TRUE(p.isClosed()) << "closed after opening";
        pumpFor(5);
        EXPECT_FALSE(p.isVisible()) << "its start timer shows nothing after the click";
    }
}

TEST_F(PopupTest, CloseButtonHidesAtOnceAndTheCountdownNeverShowsItAgain) {
    TNewVer& p = shown();
    p.TimerCloseTimer();
    p.TimerCloseTimer();

    // Other buttons do nothing to it.
    click(p.Button1, QPoint(11, 11), Qt::RightButton);
    click(p.Button1, QPoint(11, 11), Qt::MiddleButton);
    EXPECT_TRUE(p.isVisible());

    click(p.Button1, QPoint(11, 11));
    EXPECT_FALSE(p.isVisible()) << "no animation";
    EXPECT_TRUE(p.isClosed());
    EXPECT_TRUE(m_opened.empty());

    for (int tick = 3; tick <= 12; ++tick) {
        p.TimerCloseTimer();
    }
    p.TimerStartTimer();
    pumpFor(250);
    EXPECT_FALSE(p.isVisible());
}

struct DragCase {
    const char* control;
    QPoint at;  // in the control
    Qt::MouseButton button;
    bool moves;
};

TEST_F(PopupTest, DragsByFrameIconHeadingAndRightPanelWithAnyButtonButTheRight) {
    const DragCase cases[] = {
        {"Panel1", QPoint(0, 0), Qt::LeftButton, true},
        {"Panel1", QPoint(1, 66), Qt::MiddleButton, true},
        {"Image1", QPoint(30, 30), Qt::LeftButton, true},
        {"Image1", QPoint(2, 2), Qt::MiddleButton, true},
        {"Image1", QPoint(30, 30), Qt::RightButton, false},
        {"Label1", QPoint(100, 8), Qt::LeftButton, true},
        {"Label1", QPoint(100, 8), Qt::RightButton, false},
        {"Panel3", QPoint(11, 40), Qt::LeftButton, true},
        {"Panel3", QPoint(11, 40), Qt::RightButton, false},
        {"Panel1", QPoint(0, 0), Qt::RightButton, false},
        // Not by the link, the middle panel's empty area or the close button.
        {"Label2", QPoint(100, 20), Qt::LeftButton, false},
        {"Label2", QPoint(100, 20), Qt::MiddleButton, false},
        {"Panel2", QPoint(1, 1), Qt::LeftButton, false},
        {"Panel2", QPoint(228, 12), Qt::MiddleButton, false},
        {"Button1", QPoint(11, 11), Qt::LeftButton, false},
        {"Button1", QPoint(11, 11), Qt::MiddleButton, false},
    };
    TNewVer& p = shown();
    for (const DragCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " button " << int(c.button));
        auto* target = p.findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(target, nullptr);
        ASSERT_TRUE(target->rect().contains(c.at));
        const QPoint before = p.pos();
        const QPoint delta(-37, 31);  // ends outside the link and the button: no click
        dragBy(target, c.at, c.button, delta);
        EXPECT_EQ(p.pos() - before, c.moves ? delta : QPoint(0, 0));
        EXPECT_EQ(p.size(), TNewVer::kClientSize);
        EXPECT_TRUE(p.isVisible());
        EXPECT_TRUE(m_opened.empty());

        // After the release a move drags nothing.
        const QPoint after = p.pos();
        sendMouse(target, QEvent::MouseMove, c.at, target->mapToGlobal(c.at) + QPoint(5, 5),
                  Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(p.pos(), after);
    }
}

}  // namespace
