// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <vector>

#include "about/aboutbox.h"
#include "about/popupguard.h"
#include "core/identity.h"
#include "core/serverhost.h"
#include "platform/openurl.h"
#include "ui/messages.h"

namespace {

using lsg::about::TAboutBox;

// The build lists this binary's tests by running it outside the test environment; widgets here
// never need a display, so fall back to the offscreen platform before main() makes the
// application.
const bool kOffscreenByDefault = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return true;
}();

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_identity.ProductName = QStringLiteral("Test Gauge");
        m_identity.AppVersion = QStringLiteral("9.42");
        m_box = newBox();
    }
    void TearDown() override { delete m_box.data(); }

    // A box that records what it would open and show instead of doing it.
    TAboutBox* newBox() {
        auto* box = new TAboutBox(m_identity);
        box->setUrlOpener(m_opener);
        box->setMessages(messages());
        return box;
    }
    lsg::ui::Messages messages() {
        lsg::ui::MessageHooks hooks;
        hooks.onMessage = [this](const lsg::ui::MessageRecord& m) { m_messages.push_back(m); };
        return lsg::ui::Messages(hooks);
    }

    template <class T>
    T* child(const char* name) {
        T* w = m_box->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QString homePage() const { return QStringLiteral("http://") + lsg::ServerHost() + u'/'; }

    lsg::AppIdentity m_identity;
    QPointer<TAboutBox> m_box;
    std::vector<QUrl> m_opened;
    std::vector<lsg::ui::MessageRecord> m_messages;
    lsg::platform::UrlOpener m_opener = [this](const QUrl& url) { m_opened.push_back(url); };
};

TEST_F(AboutBoxTest, ShowsTheProcessWideTextsAndLayout) {
    EXPECT_EQ(m_box->windowTitle(), QStringLiteral("About Test Gauge"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("Test Gauge 9.42"));
    EXPECT_TRUE(child<QLabel>("Label2")->wordWrap());
    EXPECT_EQ(child<QPushButton>("BitBtn1")->text(), QStringLiteral("OK"));
    EXPECT_EQ(child<QPushButton>("BitBtn2")->text(), QStringLiteral("Info"));
    EXPECT_FALSE(child<QPushButton>("BitBtn2")->icon().isNull());
    QStringList items;
    for (QAction* a : child<QMenu>("PopupMenu1")->actions()) {
        items << a->text();
    }
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("Acknowledgements..."),
                           QStringLiteral("How to uninstall..."), QStringLiteral("License...")}));

    // The link shows the bare host; its hint is the home page.
    auto* link = child<QLabel>("Label5");
    EXPECT_EQ(link->text(), QUrl(homePage()).host());
    EXPECT_FALSE(link->text().contains(u':'));
    EXPECT_EQ(link->toolTip(), homePage());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 255, 0));

    EXPECT_EQ(m_box->size(), QSize(446, 374));
    EXPECT_EQ(m_box->minimumSize(), m_box->maximumSize());
    EXPECT_TRUE(m_box->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(m_box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(m_box->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(m_box->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(child<QWidget>("Panel1")->geometry(), QRect(48, 42, 350, 291));
    EXPECT_EQ(child<QWidget>("Image2")->geometry(), QRect(3, 4, 344, 105));
    EXPECT_EQ(child<QWidget>("BitBtn1")->geometry(), QRect(49, 224, 122, 33));
    EXPECT_EQ(child<QWidget>("BitBtn2")->geometry(), QRect(177, 224, 122, 33));
    EXPECT_EQ(child<QWidget>("Label5")->geometry(), QRect(4, 274, 342, 13));
    EXPECT_EQ(child<QTimer>("tmTimer")->interval(), 50);
    EXPECT_TRUE(child<QTimer>("tmTimer")->isActive());
}

TEST_F(AboutBoxTest, OkHasTheFocusAndEscapeOnEitherButtonCloses) {
    m_box->show();
    m_box->activateWindow();
    EXPECT_EQ(m_box->focusWidget(), child<QWidget>("BitBtn1"));

    struct Case {
        const char* button;
        int key;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    };
    const Case cases[] = {
        {"BitBtn1", Qt::Key_A, Qt::NoModifier, false},
        {"BitBtn2", Qt::Key_F5, Qt::NoModifier, false},
        {"BitBtn1", Qt::Key_Escape, Qt::NoModifier, true},
        {"BitBtn2", Qt::Key_Escape, Qt::ShiftModifier | Qt::ControlModifier, true},
    };
    for (const Case& c : cases) {
        if (!m_box) {
            m_box = newBox();
        }
        m_box->show();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(m_box->findChild<QWidget*>(QString::fromLatin1(c.button)), &press);
        flushDeletes();
        EXPECT_EQ(m_box.isNull(), c.closes) << c.button << " key " << c.key;
    }
}

TEST_F(AboutBoxTest, OkClosesAndFreesTheBox) {
    m_box->show();
    child<QPushButton>("BitBtn1")->click();
    flushDeletes();
    EXPECT_TRUE(m_box.isNull());
}

TEST_F(AboutBoxTest, ModalUseFreesTheBoxOnClose) {
    delete m_box.data();
    QPointer<TAboutBox> seen;
    QTimer::singleShot(50, [&] {
        seen = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        ASSERT_FALSE(seen.isNull());
        EXPECT_TRUE(seen->isModal());
        seen->close();
    });
    TAboutBox::showModal(m_identity);
    flushDeletes();
    EXPECT_TRUE(seen.isNull());
}

TEST_F(AboutBoxTest, LinkAndMenuItemsOpenTheSitePages) {
    const QString host = lsg::ServerHost();
    auto* link = child<QLabel>("Label5");
    const QPointF inside(10, 5);
    QMouseEvent press(QEvent::MouseButtonPress, inside, link->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, link->mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(link, &press);
    QApplication::sendEvent(link, &release);
    m_box->findChild<QAction*>(QStringLiteral("Credits1"))->trigger();
    m_box->findChild<QAction*>(QStringLiteral("Howtouninstall1"))->trigger();

    ASSERT_EQ(m_opened.size(), 3u);
    EXPECT_EQ(m_opened[0].toString(), QStringLiteral("http://%1/").arg(host));
    EXPECT_EQ(m_opened[1].toString(),
              QStringLiteral("https://%1/blog/credits-and-acknowledgements/").arg(host));
    EXPECT_EQ(m_opened[2].toString(),
              QStringLiteral("http://%1/blog/how-to-uninstall-kaldern-software/").arg(host));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(AboutBoxTest, LicenseBesideTheExecutableOrFileNotFound) {
    // The test executable's folder holds no license.txt.
    m_box->findChild<QAction*>(QStringLiteral("LicensePrivacyPolicy1"))->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].text, QStringLiteral("File not found!"));
    EXPECT_EQ(m_messages[0].title, QStringLiteral("License"));
    EXPECT_EQ(m_messages[0].icon, lsg::ui::MessageIcon::Error);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(AboutBoxTest, LicenseFileFollowsLinksAndRefusesFolders) {
    struct Case {
        const char* name;
        bool opens;
    };
    const Case cases[] = {
        {"file", true}, {"link", true}, {"dangling", false}, {"folder", false}, {"missing", false}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString target = dir.filePath(QStringLiteral("real.txt"));
        const QString path = dir.filePath(QStringLiteral("license.txt"));
        const QString kind = QString::fromLatin1(c.name);
        if (kind == u"file") {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        } else if (kind == u"link" || kind == u"dangling") {
            if (kind == u"link") {
                QFile f(target);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            }
            ASSERT_TRUE(QFile::link(target, path));
        } else if (kind == u"folder") {
            ASSERT_TRUE(QDir().mkdir(path));
        }
        m_opened.clear();
        m_messages.clear();
        lsg::about::openLicenseText(nullptr, dir.path() + u'/', messages(), m_opener);
        if (c.opens) {
            ASSERT_EQ(m_opened.size(), 1u) << c.name;
            EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(path)) << c.name;
            EXPECT_TRUE(m_messages.empty()) << c.name;
        } else {
            EXPECT_TRUE(m_opened.empty()) << c.name;
            ASSERT_EQ(m_messages.size(), 1u) << c.name;
            EXPECT_EQ(m_messages[0].text, QStringLiteral("File not found!")) << c.name;
        }
    }
}

TEST_F(AboutBoxTest, InfoClickThatClosesTheMenuDoesNotReopenIt) {
    std::uint32_t now = 0;
    m_box->setPopupClock([&] { return now; });
    auto* menu = child<QMenu>("PopupMenu1");
    auto* info = child<QPushButton>("BitBtn2");
    m_box->show();
    int shown = 0;
    QPoint shownAt;
    QObject::connect(menu, &QMenu::aboutToShow, [&] {
        ++shown;
        // Closed again at once, as a click outside it would.
        QTimer::singleShot(0, menu, [&] {
            shownAt = menu->pos();
            menu->close();
        });
    });

    struct Step {
        std::uint32_t at;  // clock at the click and at the menu's close
        int shownAfter;
    };
    // First at 0xFFFFFFC0: the guard's arithmetic must survive the clock's wrap.
    const Step steps[] = {
        {0xFFFFFFC0u, 1},              // opens
        {0x00000010u, 1},              // 80 ms after the close: the click that closed it, swallowed
        {0x00000020u, 2},              // the next click opens again
        {0x00000020u + 150, 3},        // later than 100 ms: opens
        {0x00000020u + 150 + 100, 4},  // exactly 100 ms: opens
    };
    for (const Step& s : steps) {
        now = s.at;
        info->click();
        EXPECT_EQ(shown, s.shownAfter) << "click at " << s.at;
    }
    EXPECT_EQ(shownAt, info->mapToGlobal(QPoint(0, info->height())));
}

TEST_F(AboutBoxTest, DragsByItsSurfaceWithLeftOrMiddleButtonOnly) {
    m_box->show();
    struct Case {
        const char* source;  // nullptr: the box itself
        Qt::MouseButton button;
        bool moves;
    };
    const Case cases[] = {
        {nullptr, Qt::LeftButton, true},      {"Panel1", Qt::LeftButton, true},
        {"Image1", Qt::MiddleButton, true},   {"Image2", Qt::LeftButton, true},
        {"Label2", Qt::LeftButton, true},     {"Bevel1", Qt::LeftButton, true},
        {nullptr, Qt::RightButton, false},    {"Panel1", Qt::RightButton, false},
        {"Label5", Qt::LeftButton, false},    {"BitBtn1", Qt::LeftButton, false},
        {"BitBtn2", Qt::MiddleButton, false},
    };
    for (const Case& c : cases) {
        QWidget* target = c.source ? child<QWidget>(c.source) : m_box.data();
        m_box->move(100, 100);
        const QPoint start = m_box->pos();
        const QPointF local(2, 2);
        const QPointF global(500, 400);
        auto send = [&](QEvent::Type type, QPointF g, Qt::MouseButton b, Qt::MouseButtons held) {
            QMouseEvent e(type, local, g, b, held, Qt::NoModifier);
            QApplication::sendEvent(target, &e);
        };
        send(QEvent::MouseButtonPress, global, c.button, c.button);
        send(QEvent::MouseMove, global + QPointF(30, 20), Qt::NoButton, c.button);
        send(QEvent::MouseMove, global + QPointF(25, 40), Qt::NoButton, c.button);
        send(QEvent::MouseButtonRelease, global + QPointF(25, 40), c.button, Qt::NoButton);
        const QPoint expected = c.moves ? start + QPoint(25, 40) : start;
        EXPECT_EQ(m_box->pos(), expected) << (c.source ? c.source : "box") << " " << c.button;
        // After the release further moves do nothing.
        send(QEvent::MouseMove, global + QPointF(90, 90), Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(m_box->pos(), expected);
    }
}

TEST_F(AboutBoxTest, RainRunsOnTheGridOfTheOuterSizeAndResizeReseeds) {
    const lsg::about::RainModel& rain = m_box->rain();
    EXPECT_EQ(rain.animation(), QStringLiteral("qel"));
    EXPECT_EQ(rain.columns(), m_box->capturedSize().width() / 8);
    EXPECT_EQ(rain.rows(), m_box->capturedSize().height() / 12);
    EXPECT_GT(m_box->capturedSize().height(), 374);  // caption and frame included
    EXPECT_EQ(int(rain.drops().size()), 2 * rain.columns());

    m_box->show();
    wait(180);
    EXPECT_GT(rain.frame(), 0);
    const int columns = rain.columns();
    const int rows = rain.rows();
    const int frame = rain.frame();
    QResizeEvent resize(QSize(500, 500), m_box->size());
    QApplication::sendEvent(m_box, &resize);
    EXPECT_EQ(rain.columns(), columns);
    EXPECT_EQ(rain.rows(), rows);
    EXPECT_EQ(rain.frame(), frame);
    EXPECT_EQ(int(rain.drops().size()), 2 * columns);
}

// Green-dominant pixels, as the rain draws them, in a part of a picture.
int rainPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.green() > 40 && c.green() > c.red() && c.green() > c.blue() ? 1 : 0;
        }
    }
    return n;
}

TEST_F(AboutBoxTest, TicksPaintCharactersAroundThePanelAndARepaintClearsThem) {
    m_box->show();
    // Ticks are driven by hand so that none can land between the repaint and the grab below.
    auto* timer = child<QTimer>("tmTimer");
    timer->stop();
    for (int i = 0; i < 12; ++i) {
        QMetaObject::invokeMethod(timer, "timeout");
        QCoreApplication::processEvents();
    }
    const QRect panel = child<QWidget>("Panel1")->geometry();
    auto screenshot = [&] {
        QImage shot = m_box->screen()->grabWindow(m_box->winId()).toImage();
        return shot.scaled(m_box->size());  // logical pixels
    };
    QImage image = screenshot();
    ASSERT_FALSE(image.isNull());
    const QRect left(0, 0, panel.left(), m_box->height());
    const QRect right(panel.right() + 1, 0, m_box->width() - panel.right() - 1, m_box->height());
    EXPECT_GT(rainPixels(image, left) + rainPixels(image, right), 50);
    // Nothing rains on the panel (the strip between the product text and the buttons).
    const QRect onPanel(panel.left() + 2, panel.top() + 165, panel.width() - 4, 55);
    EXPECT_EQ(rainPixels(image, onPanel), 0);

    m_box->repaint();  // a repaint starts from black
    image = screenshot();
    EXPECT_EQ(rainPixels(image, left) + rainPixels(image, right), 0);
}

}  // namespace
