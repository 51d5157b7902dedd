// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// The tray as the sampling feeds it: the live icon's pictures, the tooltip, the menu's new items
// and what they keep (settings.ini, the autostart entry).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QToolTip>
#include <algorithm>
#include <memory>

#include "app/loadicon.h"
#include "app/mainform.h"
#include "app/trayoptions.h"
#include "core/inifile.h"
#include "core/settingskeys.h"
#include "gadget/captionlabel.h"
#include "gadget/gadgetwindow.h"
#include "resources/pictures.h"
#include "tests/cpu/allocationcounter.h"

using namespace lsg;

namespace {

const int kTraySizes[] = {16, 22, 24, 32, 48, 64};

// Pixels of the chart's white: the area and its line on the blue tile.
int whitePixels(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            n += qAlpha(p) == 255 && qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200 ? 1 : 0;
        }
    }
    return n;
}

QImage pictureAt(LoadIcon& icon, int pixels) {
    return icon.image(pixels).copy();
}

TEST(LoadIcon, ThePixelsFollowTheLoadAtEveryTraySize) {
    for (int side : kTraySizes) {
        LoadIcon icon;
        int previous = -1;
        for (int load : {0, 30, 60, 100}) {
            for (int i = 0; i < LoadIcon::kPoints; ++i) {
                icon.push(load);
            }
            const QImage image = pictureAt(icon, side);
            ASSERT_EQ(image.size(), QSize(side, side));
            const int white = whitePixels(image);
            EXPECT_GT(white, previous) << side << " px at " << load << " %";
            previous = white;
        }
        // Outside the tile nothing shows: the corners stay transparent.
        EXPECT_EQ(qAlpha(icon.image(side).pixel(0, 0)), 0) << side;
        EXPECT_EQ(qAlpha(icon.image(side).pixel(side - 1, side - 1)), 0) << side;
    }
}

// The newest total is the right-hand end of the chart; the oldest leaves on the left.
TEST(LoadIcon, TheChartScrollsFromRightToLeft) {
    LoadIcon icon;
    icon.push(0);
    EXPECT_EQ(icon.values(), LoadIcon::Values{});
    icon.push(100);
    icon.push(250);  // held to 100
    icon.push(-5);   // held to 0
    EXPECT_EQ(icon.values(), (LoadIcon::Values{0, 0, 0, 0, 0, 0, 0, 100, 100, 0}));
    const LoadIcon::Rows rows = LoadIcon::rowsFor(22, icon.values());
    EXPECT_LT(rows[7], rows[9]);  // rows count down from the top
    EXPECT_EQ(rows[7], rows[8]);
    EXPECT_EQ(rows[0], rows[9]);
}

// Only a total that moves a row at a size the tray has drawn changes what it shows.
TEST(LoadIcon, OnlyAMovedRowAtADrawnSizeIsHandedOn) {
    LoadIcon icon;
    EXPECT_FALSE(icon.push(40));  // nothing drawn yet: the tray will draw what is current
    icon.image(22);
    // A value on the same rows at 22 px as 40, and one that is not.
    const auto sameRows = [&](int pixels, int a, int b) {
        LoadIcon::Values va;
        LoadIcon::Values vb;
        va.fill(a);
        vb.fill(b);
        return LoadIcon::rowsFor(pixels, va) == LoadIcon::rowsFor(pixels, vb);
    };
    int near = 41;
    while (near < 50 && !sameRows(22, 40, near)) {
        ++near;
    }
    ASSERT_LT(near, 50);
    EXPECT_FALSE(icon.push(40));
    for (int i = 0; i < LoadIcon::kPoints; ++i) {
        EXPECT_FALSE(icon.push(i % 2 == 0 ? near : 40)) << i;
    }
    EXPECT_TRUE(icon.push(100));
    EXPECT_TRUE(icon.push(100));  // the tray has not drawn the first change yet
    for (int i = 0; i < LoadIcon::kPoints; ++i) {
        icon.push(100);
    }
    icon.image(22);
    EXPECT_FALSE(icon.push(100));

    // A second drawn size counts too: a value that moves a row at 64 px but not at 22 px.
    icon.image(64);
    int fine = 99;
    while (fine > 0 && (!sameRows(22, 100, fine) || sameRows(64, 100, fine))) {
        --fine;
    }
    ASSERT_GT(fine, 0);
    EXPECT_TRUE(icon.push(fine));
}

// The tray paints the icon at its own size and device pixel ratio: each device pixel is one of
// the picture drawn at that many pixels, so the icon is as sharp at 2x as at 1x.
TEST(LoadIcon, SharpAtTheTraysSizeAndRatio) {
    auto source = std::make_shared<LoadIcon>();
    for (int load : {10, 90, 40, 70}) {
        source->push(load);
    }
    const QIcon icon = LoadIcon::icon(source);
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        // An XEmbed tray's window, 22 x 30 logical pixels: the icon is centred in it.
        QImage window((QSizeF(22, 30) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        window.setDevicePixelRatio(ratio);
        window.fill(Qt::transparent);
        {
            QPainter painter(&window);
            icon.paint(&painter, QRect(0, 0, 22, 30));
        }
        const int side = qRound(22 * ratio);
        const QImage expected = pictureAt(*source, side);
        const QImage drawn = window.copy(0, (window.height() - side) / 2, side, side);
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                  expected.convertToFormat(QImage::Format_ARGB32))
            << ratio;
    }
    // A StatusNotifierItem tray is sent the sizes trays show, none over 64 pixels.
    for (const QSize& size : icon.availableSizes()) {
        EXPECT_LE(size.width(), 64);
        EXPECT_EQ(icon.pixmap(size).size(), size);
    }
}

// Each tick hands the tray only what changed, and the hand-over itself allocates nothing: not
// for an unchanged total, and not for a picture drawn again in its kept memory.
TEST(LoadIcon, TicksAllocateNothing) {
    LoadIcon icon;
    icon.push(50);
    icon.image(22);
    icon.push(90);
    icon.image(22);
    const long before = test::allocationCount();
    for (int i = 0; i < 20; ++i) {
        icon.push(i % 2 == 0 ? 20 : 80);
        icon.image(22);
        icon.push(icon.values().back());
    }
    EXPECT_EQ(test::allocationCount(), before);

    TrayMenu tray;
    tray.setLiveIcon(true);
    const QString caption = QStringLiteral("Average CPU Usage: 50% (2 processors)");
    tray.showLoad(50, caption);
    const long warm = test::allocationCount();
    for (int i = 0; i < 20; ++i) {
        tray.showLoad(50, caption);
    }
    EXPECT_EQ(test::allocationCount(), warm);
}

// A machine whose every processor is as busy as `percent` says.
class SettableUsage : public UsageSource {
public:
    const char* countInstances(std::int32_t& count) override {
        count = 3;  // two processors
        return nullptr;
    }
    const char* sample() override { return nullptr; }
    const char* usage(std::int32_t /*index*/, double& fraction) override {
        fraction = percent / 100.0;
        return nullptr;
    }
    int percent = 0;
};

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_appFolder = m_dir.path() + QStringLiteral("/My Programs/");
        m_config = m_dir.path() + QStringLiteral("/config");
        ASSERT_TRUE(QDir().mkpath(m_appFolder));
        ASSERT_TRUE(QFile::link(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                                m_appFolder + QStringLiteral("loadspire")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.path() + QStringLiteral("/xdg")));
    }
    void TearDown() override {
        m_form.reset();
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CONFIG_DIRS");
    }

    void start(const QByteArray& settings = {}) {
        QFile file(m_appFolder + QStringLiteral("settings.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\n" + settings);
        file.close();
        TAppForm::Environment env;
        env.executablePath = m_appFolder + QStringLiteral("loadspire");
        env.usage = &m_usage;
        env.placeAfterFraming = false;
        env.messages.onMessage = [this](const ui::MessageRecord& r) {
            m_messages.push_back(r.text);
        };
        m_form = std::make_unique<TAppForm>(std::move(env));
        m_form->FormCreate();
        QApplication::processEvents();
    }
    TrayMenu& tray() const { return m_form->trayMenu(); }
    QImage trayPicture() const { return tray().TrayIcon1()->icon().pixmap(22).toImage(); }
    QString autostartFile() const {
        return m_config + QStringLiteral("/autostart/loadspire.desktop");
    }
    QByteArray autostartText() const {
        QFile file(autostartFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    QString savedLiveIcon() const {
        const IniFile file(m_form->dataFolder() + QLatin1String(settings::kFileName));
        return settings::readText(&file, settings::Key::LiveTrayIcon);
    }

    QTemporaryDir m_dir;
    QString m_appFolder;
    QString m_config;
    SettableUsage m_usage;
    std::unique_ptr<TAppForm> m_form;
    std::vector<QString> m_messages;
};

TEST_F(TrayTest, TheTooltipAndTheIconFollowEachTick) {
    m_usage.percent = 10;
    start();
    const QString first = QStringLiteral("Average CPU Usage: 10% (2 processors)");
    EXPECT_EQ(m_form->gadget()->Label1->text(), first);
    EXPECT_EQ(tray().TrayIcon1()->toolTip(), first);
    const QImage idle = trayPicture();
    EXPECT_NE(idle, res::programIconImage(22));

    m_usage.percent = 95;
    for (int i = 0; i < LoadIcon::kPoints; ++i) {
        m_form->Timer1Timer();
    }
    const QString busy = QStringLiteral("Average CPU Usage: 95% (2 processors)");
    EXPECT_EQ(m_form->gadget()->Label1->text(), busy);
    EXPECT_EQ(tray().TrayIcon1()->toolTip(), busy);
    EXPECT_GT(whitePixels(trayPicture()), whitePixels(idle) + 22);
    EXPECT_TRUE(m_messages.empty());
}

// A tooltip showing the caption while a tick changes it reads the new caption at once.
TEST_F(TrayTest, AShownTooltipReadsTheNewCaption) {
    m_usage.percent = 20;
    start();
    const QString before = QStringLiteral("Average CPU Usage: 20% (2 processors)");
    QToolTip::showText(QPoint(100, 100), before);
    ASSERT_TRUE(QToolTip::isVisible());
    m_usage.percent = 30;
    m_form->Timer1Timer();
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Average CPU Usage: 30% (2 processors)"));

    // Another tooltip is left alone.
    QToolTip::showText(QPoint(100, 100), QStringLiteral("something else"));
    m_usage.percent = 40;
    m_form->Timer1Timer();
    EXPECT_EQ(QToolTip::text(), QStringLiteral("something else"));
    QToolTip::hideText();
}

TEST_F(TrayTest, TheLiveIconIsAnOptionKeptInTheSettings) {
    start("LiveTrayIcon=0\r\n");
    EXPECT_FALSE(tray().LiveTrayIcon1()->isChecked());
    EXPECT_EQ(trayPicture(), res::programIconImage(22));

    tray().LiveTrayIcon1()->trigger();
    EXPECT_TRUE(tray().LiveTrayIcon1()->isChecked());
    EXPECT_EQ(savedLiveIcon(), QStringLiteral("1"));
    EXPECT_NE(trayPicture(), res::programIconImage(22));

    tray().LiveTrayIcon1()->trigger();
    EXPECT_FALSE(tray().LiveTrayIcon1()->isChecked());
    EXPECT_EQ(savedLiveIcon(), QStringLiteral("0"));
    EXPECT_EQ(trayPicture(), res::programIconImage(22));

    // Without the key the icon is live.
    start();
    EXPECT_TRUE(tray().LiveTrayIcon1()->isChecked());
    EXPECT_NE(trayPicture(), res::programIconImage(22));
}

TEST_F(TrayTest, ARefusedSettingsWriteKeepsTheIconAsItWas) {
    start();
    // settings.ini's place taken by a folder: nothing can be written there.
    const QString file = m_form->dataFolder() + QLatin1String(settings::kFileName);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkpath(file));
    tray().LiveTrayIcon1()->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_TRUE(tray().LiveTrayIcon1()->isChecked());
    EXPECT_NE(trayPicture(), res::programIconImage(22));
}

// The new items sit among the others without moving any, each with a letter of its own.
TEST_F(TrayTest, EveryItemKeepsItsPlaceAndAccessKey) {
    start();
    QStringList texts;
    QList<QChar> keys;
    for (const QAction* action : tray().PopupMenu1()->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        const qsizetype amp = action->text().indexOf(u'&');
        if (amp >= 0) {
            keys << action->text().at(amp + 1).toLower();
        }
    }
    EXPECT_EQ(texts, (QStringList{"Show &Form", "Settings...", "Stay On Top", "Show All Processors",
                                  "Live Tray &Icon", "-", "Update Notifications", "Start at &Login",
                                  "Online Help", "S&end Feedback...", "&About...", "-", "E&xit"}));
    EXPECT_EQ(keys, (QList<QChar>{u'f', u'i', u'l', u'e', u'a', u'x'}));
    EXPECT_TRUE(tray().StartAtLogin1()->isCheckable());
    EXPECT_TRUE(tray().LiveTrayIcon1()->isCheckable());
}

TEST_F(TrayTest, StartAtLoginWritesAndRemovesTheAutostartEntry) {
    start();
    EXPECT_FALSE(tray().StartAtLogin1()->isChecked());
    tray().StartAtLogin1()->trigger();
    EXPECT_TRUE(tray().StartAtLogin1()->isChecked());
    // The program's own path, quoted for its blank.
    EXPECT_TRUE(
        autostartText().contains("\nExec=\"" + QFile::encodeName(m_appFolder) + "loadspire\"\n"))
        << autostartText().constData();
    tray().StartAtLogin1()->trigger();
    EXPECT_FALSE(tray().StartAtLogin1()->isChecked());
    EXPECT_EQ(autostartText(), QByteArray("(none)"));

    // Changed by other hands: the menu shows it when it opens.
    ASSERT_TRUE(QDir().mkpath(m_config + QStringLiteral("/autostart")));
    QFile copied(autostartFile());
    ASSERT_TRUE(copied.open(QIODevice::WriteOnly));
    copied.write("[Desktop Entry]\nType=Application\nExec=loadspire\n");
    copied.close();
    emit tray().PopupMenu1()->aboutToShow();
    EXPECT_TRUE(tray().StartAtLogin1()->isChecked());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(TrayTest, AFailedAutostartWriteIsReportedAndTheMarkStays) {
    start();
    // The autostart folder's place taken by a file.
    ASSERT_TRUE(QDir().mkpath(m_config));
    QFile blocker(m_config + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    tray().StartAtLogin1()->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("Unable to write to ") + autostartFile()))
        << m_messages[0].toStdString();
    EXPECT_FALSE(tray().StartAtLogin1()->isChecked());
}

// The entry the program writes is the package's menu entry with this program's path, and a
// valid desktop entry for the desktop's own checker.
TEST(AutostartEntryText, ThePackagesEntryWithTheProgramsPath) {
    const QByteArray text =
        TrayOptions::autostartEntryText(QStringLiteral("/home/ann/My Programs/loadspire"));
    QFile packaged(QStringLiteral(LSG_SOURCE_DIR "/packaging/loadspire.desktop"));
    ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = packaged.readAll().split('\n');
    for (const char* key : {"Type=", "Name=", "Comment=", "Icon=", "Terminal=", "StartupNotify="}) {
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [key](const QByteArray& l) { return l.startsWith(key); });
        ASSERT_NE(line, lines.end()) << key;
        EXPECT_TRUE(text.contains("\n" + *line + "\n")) << key;
    }
    EXPECT_TRUE(text.contains("\nExec=\"/home/ann/My Programs/loadspire\"\n"));
    EXPECT_TRUE(TrayOptions::hiddenEntryText(QStringLiteral("/x")).endsWith("\nHidden=true\n"));

    const QString validate =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validate.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed (desktop-file-utils)";
    }
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/loadspire.desktop"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    QProcess check;
    check.start(validate, {file.fileName()});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().constData();
    EXPECT_EQ(check.readAllStandardOutput(), QByteArray());
}

}  // namespace
