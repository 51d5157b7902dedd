// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// Start-up of the main form: identity texts, the data folder, the saved place and look, the
// strips, and the menu commands that write settings.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "about/aboutbox.h"
#include "app/mainform.h"
#include "core/inifile.h"
#include "core/placement.h"
#include "core/samplingtick.h"
#include "core/settingskeys.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"
#include "gadget/startupplacement.h"
#include "online/feedbackform.h"
#include "platform/paths.h"
#include "settingsdialog/settingsform.h"
#include "tests/common/deadline.h"
#include "ui/messages.h"

using namespace lsg;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

// A machine whose first processor is 37 % busy and every other one 50 %; its count can be made
// to fail a number of times first.
class FixedUsage : public UsageSource {
public:
    const char* countInstances(std::int32_t& count) override {
        if (countFailures > 0) {
            --countFailures;
            return "Performance data unavailable";
        }
        count = instances;
        return nullptr;
    }
    const char* sample() override {
        ++samples;
        return nullptr;
    }
    const char* usage(std::int32_t index, double& fraction) override {
        fraction = index == 0 ? 0.37 : 0.5;
        return nullptr;
    }

    std::int32_t instances = 5;
    int countFailures = 0;
    int samples = 0;
};

// Runs start-up with the test binary (which carries the version information) standing in for
// the program, placed in a folder of its own.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_appFolder = m_dir.path() + QStringLiteral("/app/");
        m_config = m_dir.path() + QStringLiteral("/config");
        ASSERT_TRUE(QDir().mkpath(m_appFolder));
        ASSERT_TRUE(QDir().mkpath(m_config));
        ASSERT_TRUE(QFile::link(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                                m_appFolder + QStringLiteral("loadspire")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
    void TearDown() override {
        m_form.reset();
        qunsetenv("XDG_CONFIG_HOME");
    }

    void writeSettings(const QByteArray& lines, const QString& folder = {}) {
        QFile file((folder.isEmpty() ? m_appFolder : folder) + QStringLiteral("settings.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\n" + lines);
    }
    QByteArray settingsText() const {
        QFile file(m_appFolder + QStringLiteral("settings.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TAppForm::Environment environment(int processors = 4) {
        TAppForm::Environment env;
        env.executablePath = m_appFolder + QStringLiteral("loadspire");
        m_usage.instances = processors + 1;
        m_usage.countFailures = 0;
        env.usage = &m_usage;
        env.placeAfterFraming = false;  // the whole-program test checks it on a real display
        env.messages.onMessage = [this](const ui::MessageRecord& r) {
            m_messages.push_back(r.text);
        };
        env.openUrl = [this](const QUrl& url) { m_opened.push_back(url); };
        return env;
    }
    void start(int processors = 4) { start(environment(processors)); }
    void start(TAppForm::Environment env) {
        m_form.reset();
        m_form = std::make_unique<TAppForm>(std::move(env));
        m_form->FormCreate();
        settle();
    }

    TForm2* gadget() const { return m_form->gadget(); }
    TrayMenu& menu() const { return m_form->trayMenu(); }
    // A key as the program wrote it to its settings file.
    qint32 savedInt(settings::Key key) const {
        const IniFile file(m_form->dataFolder() + QLatin1String(settings::kFileName));
        return settings::readInt(&file, key);
    }
    QRect workArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QTemporaryDir m_dir;
    QString m_appFolder;
    QString m_config;
    FixedUsage m_usage;
    std::unique_ptr<TAppForm> m_form;
    std::vector<QString> m_messages;
    std::vector<QUrl> m_opened;
};

TEST_F(StartupTest, IdentityTextsComeFromTheVersionInformation) {
    start();
    const AppIdentity& identity = m_form->identity();
    EXPECT_EQ(identity.CompanyName, QStringLiteral("KALDERN"));
    EXPECT_EQ(identity.ProductName, QStringLiteral("Loadspire Gauge"));
    EXPECT_EQ(identity.AppCaption, QStringLiteral("KALDERN - Loadspire Gauge"));
    EXPECT_EQ(identity.AppVersion, QStringLiteral("1.7"));
    EXPECT_EQ(gadget()->windowTitle(), identity.AppCaption);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StartupTest, FirstValuesAndStripsExistWhenTheGadgetAppears) {
    writeSettings("ShowCores=1\r\n");
    start(4);
    ASSERT_TRUE(gadget()->isVisible());
    ASSERT_EQ(gadget()->stripCount(), 4);
    EXPECT_TRUE(gadget()->strip(1)->isVisible());
    EXPECT_TRUE(menu().ShowAllCores1()->isChecked());
    // 37, 50, 50, 50: the average truncates to 46.
    EXPECT_EQ(gadget()->Label1->text(), QStringLiteral("Average CPU Usage: 46% (4 processors)"));
    EXPECT_EQ(gadget()->strip(1)->yValue(9), 37.0);
    EXPECT_EQ(gadget()->Chart1->count(), 10);
}

TEST_F(StartupTest, SettingsLiveBesideTheExecutableWhenItsFolderTakesNewFiles) {
    start();
    EXPECT_EQ(m_form->dataFolder(), m_appFolder);
    EXPECT_FALSE(QFileInfo::exists(m_config + QStringLiteral("/KALDERN")));
}

TEST_F(StartupTest, OtherwiseInTheConfigFolder) {
    // A folder without write bits refuses new files, for root too.
    const QString folder = m_config + QStringLiteral("/KALDERN/Loadspire Gauge/");
    ASSERT_TRUE(QDir().mkpath(folder));
    writeSettings("Left=-300\r\n", folder);
    const auto writable = QFile::permissions(m_appFolder);
    QFile::setPermissions(m_appFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                           QFileDevice::ReadOther | QFileDevice::ExeOther);
    start();
    QFile::setPermissions(m_appFolder, writable);
    EXPECT_EQ(m_form->dataFolder(), folder);
    EXPECT_EQ(gadget()->x(), -300);
}

TEST(DataFolder, PackagedInstallsNeverHoldTheSettings) {
    for (const auto& [folder, system] :
         {std::pair{"/usr/libexec/loadspire/", true}, std::pair{"/usr/bin", true},
          std::pair{"/usr", true}, std::pair{"/bin/", true}, std::pair{"/lib64/x/", true},
          std::pair{"/usr/../home/u/apps/", false}, std::pair{"/usr2/bin/", false},
          std::pair{"/home/u/usr/", false}, std::pair{"/opt/loadspire/", false},
          std::pair{"/tmp/", false}}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(platform::isSystemLocation(QLatin1String(folder)), system);
    }
}

TEST(DataFolder, TheProbeLeavesNoNameBehind) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(platform::IsFolderWritable(dir.path()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(platform::IsFolderWritable(dir.filePath(QStringLiteral("missing"))));
}

TEST_F(StartupTest, SavedPlaceIsUsedWhenTheGadgetCanBeGrabbedThere) {
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    struct Case {
        QByteArray line;
        bool useDefault;
        int expected;
    };
    for (const Case& c :
         {Case{"Left=0", false, 0}, Case{"Left=-300", false, -300},
          Case{"Left=" + QByteArray::number(screenWidth - 32), false, screenWidth - 32},
          Case{"Left=" + QByteArray::number(screenWidth), true, 0},
          Case{"Left=-3000\r\nTop=-3000", true, 0}, Case{"Left=0x20", false, 32},
          Case{"Left=$20", false, 32}, Case{"Left=abc", true, 0}}) {
        SCOPED_TRACE(c.line.constData());
        writeSettings(c.line + "\r\n");
        start();
        const int expected =
            c.useDefault ? workArea().x() + workArea().width() - gadget()->width() : c.expected;
        EXPECT_EQ(gadget()->x(), expected);
        EXPECT_EQ(gadget()->y(), workArea().y() + workArea().height() - gadget()->height());
        m_form.reset();
    }
}

TEST_F(StartupTest, StartUpWritesNoPlaceOrSize) {
    const QByteArray before = "[Settings]\r\nLeft=50\r\nTop=60\r\nHeight=300\r\nWidth=400\r\n";
    writeSettings("Left=50\r\nTop=60\r\nHeight=300\r\nWidth=400\r\n");
    start();
    EXPECT_EQ(gadget()->pos(), QPoint(50, 60));
    EXPECT_EQ(gadget()->size(), QSize(400, 300));
    EXPECT_EQ(settingsText(), before);
}

TEST_F(StartupTest, StayOnTopOnlyForExactlyOne) {
    for (const auto& [value, on] :
         {std::pair{"1", true}, std::pair{"2", false}, std::pair{"0", false}}) {
        SCOPED_TRACE(value);
        writeSettings(QByteArray("StayOnTop=") + value + "\r\n");
        start();
        EXPECT_EQ(menu().StayOnTop1()->isChecked(), on);
        EXPECT_EQ(m_form->isStayingOnTop(), on);
        m_form.reset();
    }
}

// A click on the tray icon brings the gadget forward and never drops a stay-on-top the user asked
// for, not even until the next tick asks for it again.
TEST_F(StartupTest, ATrayClickKeepsAStayOnTopTheUserAskedFor) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        writeSettings(on ? "StayOnTop=1\r\n" : "");
        start();
        if (on) {
            m_form->TimerStayOnTopTimer();  // its first tick
        }
        gadget()->hide();
        m_form->TrayIcon1Click();
        settle();
        EXPECT_TRUE(gadget()->isVisible());
        EXPECT_EQ(gadget()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
        EXPECT_EQ(m_form->isStayingOnTop(), on);
        m_form.reset();
    }
}

TEST_F(StartupTest, FontStyleCodes) {
    struct Case {
        const char* code;
        bool bold, italic, underline;
    };
    for (const Case& c : {Case{"5", true, true, false}, Case{"6", false, true, true},
                          Case{"0", false, false, false}, Case{"7", true, true, true}}) {
        SCOPED_TRACE(c.code);
        writeSettings(QByteArray("Fontstyle=") + c.code + "\r\nFontname=Arial\r\nFontsize=14\r\n");
        start();
        const QFont font = gadget()->Label1->font();
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_EQ(font.italic(), c.italic);
        EXPECT_EQ(font.underline(), c.underline);
        EXPECT_EQ(font.family(), QStringLiteral("Arial"));
        EXPECT_EQ(font.pointSize(), 14);
        m_form.reset();
    }
}

TEST_F(StartupTest, ColourNamesAndNumbers) {
    for (const char* text : {"CLRED", "255", "$000000FF"}) {
        SCOPED_TRACE(text);
        writeSettings(QByteArray("Textcolor=") + text + "\r\nBackgroundColor=clWhite\r\n");
        start();
        EXPECT_EQ(gadget()->labelTextColor(), clRed);
        EXPECT_EQ(gadget()->gadgetColor(), clWhite);
        EXPECT_EQ(gadget()->Chart1->backgroundColor(), QColor(Qt::white));
        m_form.reset();
    }
}

TEST_F(StartupTest, ABadColourIsReportedAndEndsTheAppearanceSteps) {
    writeSettings("Textcolor=reddish\r\nBackgroundColor=clWhite\r\nFontname=Arial\r\n");
    start();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], QStringLiteral("'reddish' is not a valid integer value"));
    EXPECT_EQ(gadget()->gadgetColor(), clBtnFace);
    EXPECT_NE(gadget()->Label1->font().family(), QStringLiteral("Arial"));
    // The program goes on: the gadget is up and ticking.
    EXPECT_TRUE(gadget()->isVisible());
    EXPECT_TRUE(m_form->isSampling());
}

TEST_F(StartupTest, HandEditedExtremesStayDrawable) {
    writeSettings("Height=2000000000\r\nWidth=2000000000\r\nFontsize=100000\r\n");
    start();
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    EXPECT_LE(gadget()->height(), desktop.height());
    EXPECT_LE(gadget()->width(), desktop.width());
    EXPECT_LE(gadget()->Label1->font().pointSize(), 500);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StartupTest, TransparencyOutsideItsRangeReadsAsAbsent) {
    for (const auto& [value, alpha] :
         {std::pair{"204", 204}, std::pair{"1", 1}, std::pair{"255", 255}, std::pair{"0", 255},
          std::pair{"256", 255}, std::pair{"-1", 255}, std::pair{"$100", 255},
          std::pair{"-2147483648", 255}}) {
        SCOPED_TRACE(value);
        writeSettings(QByteArray("Transparency=") + value + "\r\n");
        start();
        EXPECT_EQ(gadget()->alphaBlendValue(), alpha);
        m_form.reset();
    }
}

TEST_F(StartupTest, MenuTogglesWriteTheirKeys) {
    start(2);
    menu().StayOnTop1()->trigger();
    EXPECT_TRUE(menu().StayOnTop1()->isChecked());
    EXPECT_TRUE(m_form->isStayingOnTop());
    EXPECT_EQ(savedInt(settings::Key::StayOnTop), 1);
    menu().StayOnTop1()->trigger();
    EXPECT_FALSE(menu().StayOnTop1()->isChecked());
    EXPECT_FALSE(m_form->isStayingOnTop());
    EXPECT_EQ(savedInt(settings::Key::StayOnTop), 0);

    menu().ShowAllCores1()->trigger();
    EXPECT_TRUE(menu().ShowAllCores1()->isChecked());
    EXPECT_TRUE(gadget()->strip(2)->isVisible());
    EXPECT_EQ(savedInt(settings::Key::ShowCores), 1);
    menu().ShowAllCores1()->trigger();
    EXPECT_FALSE(gadget()->strip(1)->isVisible());
    EXPECT_EQ(savedInt(settings::Key::ShowCores), 0);
}

// A toggle whose write is refused is reported and changes nothing: the check mark, the
// stay-on-top timer and the strips all keep the state that was in effect, whichever way the
// user toggled.
TEST_F(StartupTest, ARefusedToggleLeavesMarkTimerAndStripsAsTheyWere) {
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "from on" : "from off");
        writeSettings(on ? "StayOnTop=1\r\nShowCores=1\r\n" : "");
        start(2);
        m_messages.clear();
        const auto topmost = [this] {
            return bool(gadget()->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        };
        const bool wasTopmost = topmost();
        QFile::setPermissions(m_appFolder + QStringLiteral("settings.ini"), QFile::ReadOwner);
        menu().StayOnTop1()->trigger();
        menu().ShowAllCores1()->trigger();
        QFile::setPermissions(m_appFolder + QStringLiteral("settings.ini"),
                              QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_EQ(m_messages.size(), 2u);
        EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("Unable to write to ")));
        EXPECT_EQ(menu().StayOnTop1()->isChecked(), on);
        EXPECT_EQ(m_form->isStayingOnTop(), on);
        EXPECT_EQ(topmost(), wasTopmost);
        EXPECT_EQ(menu().ShowAllCores1()->isChecked(), on);
        EXPECT_EQ(gadget()->strip(1)->isVisible(), on);
    }
}

// Many processors at sizes users keep: the strips never hold the window to a minimum, start-up
// writes nothing, one resize gives exactly the size asked for, and the total chart keeps at
// least one share of the panel.
TEST_F(StartupTest, StripsNeverConstrainTheWindow) {
    struct Case {
        int processors;
        QSize saved;
        QSize requested;
    };
    const Case cases[] = {
        {2, {355, 232}, {355, 120}},
        {8, {355, 150}, {355, 90}},
        {24, {355, 232}, {355, 232}},
        {128, {355, 232}, {355, 232}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.processors);
        const QByteArray lines = "ShowCores=1\r\nWidth=" + QByteArray::number(c.saved.width()) +
                                 "\r\nHeight=" + QByteArray::number(c.saved.height()) + "\r\n";
        writeSettings(lines);
        start(c.processors);
        EXPECT_EQ(settingsText(), "[Settings]\r\n" + lines) << "start-up wrote to the file";
        EXPECT_EQ(gadget()->size(), c.saved);
        ASSERT_EQ(gadget()->stripCount(), c.processors);
        ASSERT_TRUE(gadget()->strip(1)->isVisible());

        gadget()->resize(c.requested);
        settle();
        EXPECT_EQ(gadget()->size(), c.requested);
        const int panel = gadget()->Panel1->height();
        EXPECT_GE(gadget()->Chart1->height(), panel / (c.processors + 1)) << "panel " << panel;
        EXPECT_GT(gadget()->Chart1->height(), 0);
    }
    EXPECT_TRUE(m_messages.empty());
}

// Each start-up step on its own, from a value rather than the file.
TEST_F(StartupTest, StartUpStepsApplyTheSettingsValue) {
    m_form = std::make_unique<TAppForm>(environment());
    m_form->readIdentity();
    m_form->createGadget();

    settings::GadgetSettings saved;
    saved.left = 0;  // a stored 0 is a place at the edge
    saved.top = 40;
    saved.width = 300;
    saved.height = 200;
    saved.transparency = 204;
    saved.showCores = true;
    m_form->restoreGeometry(saved);
    EXPECT_EQ(gadget()->pos(), QPoint(0, 40));
    EXPECT_EQ(gadget()->size(), QSize(300, 200));
    EXPECT_EQ(gadget()->alphaBlendValue(), 204);
    EXPECT_TRUE(menu().ShowAllCores1()->isChecked());

    // The look stops at its first malformed value, after applying the ones before it.
    settings::GadgetSettings look;
    look.textColor.value = clRed;
    look.backgroundColor.error = QStringLiteral("'x' is not a valid integer value");
    look.fontName = QStringLiteral("Arial");
    try {
        m_form->applyLook(look);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), look.backgroundColor.error);
    }
    EXPECT_EQ(gadget()->labelTextColor(), clRed);
    EXPECT_NE(gadget()->Label1->font().family(), QStringLiteral("Arial"));
}

TEST_F(StartupTest, SettingsAreReadOnceIntoOneValue) {
    writeSettings(
        "Left=12\r\nTop=34\r\nTransparency=51\r\nStayOnTop=2\r\nShowCores=3\r\n"
        "Textcolor=clRed\r\nBackgroundColor=oops\r\nFontsize=11\r\n");
    start();
    const settings::GadgetSettings& saved = m_form->savedSettings();
    EXPECT_EQ(saved.left, 12);
    EXPECT_EQ(saved.top, 34);
    EXPECT_EQ(saved.transparency, 51);
    EXPECT_FALSE(saved.stayOnTop);
    EXPECT_TRUE(saved.showCores);
    EXPECT_EQ(saved.textColor.value, std::optional<TColor>(clRed));
    EXPECT_EQ(saved.backgroundColor.error, QStringLiteral("'oops' is not a valid integer value"));
    EXPECT_EQ(saved.fontSize.value, std::optional<qint32>(11));
    EXPECT_FALSE(saved.fontStyle.value);
    // The file is not read again: a later change shows only in a new start.
    writeSettings("Left=99\r\n");
    EXPECT_EQ(m_form->savedSettings().left, 12);
}

TEST_F(StartupTest, AFailingProcessorCountSkipsOnlyTheStepsThatNeedIt) {
    writeSettings("ShowCores=1\r\nStayOnTop=1\r\nBackgroundColor=clWhite\r\nLeft=50\r\nTop=60\r\n");
    TAppForm::Environment env = environment();
    m_usage.countFailures = 3;
    start(std::move(env));
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral("Performance data unavailable")});
    EXPECT_TRUE(gadget()->isVisible());
    EXPECT_EQ(gadget()->pos(), QPoint(50, 60));
    EXPECT_EQ(gadget()->gadgetColor(), clWhite);
    EXPECT_TRUE(menu().StayOnTop1()->isChecked());
    EXPECT_EQ(gadget()->stripCount(), 0);

    // Moves are saved although the sampler is down.
    gadget()->move(70, 80);
    settle();
    EXPECT_EQ(savedInt(settings::Key::Left), 70);
    EXPECT_EQ(savedInt(settings::Key::Top), 80);

    // The tick tries again quietly, and builds the strips once the count answers.
    m_form->Timer1Timer();
    m_form->Timer1Timer();
    EXPECT_EQ(gadget()->stripCount(), 0);
    m_form->Timer1Timer();
    settle();
    ASSERT_EQ(gadget()->stripCount(), 4);
    EXPECT_TRUE(gadget()->strip(4)->isVisible());
    EXPECT_EQ(gadget()->strip(1)->backgroundColor(), QColor(Qt::white));
    EXPECT_EQ(gadget()->Label1->text(), QStringLiteral("Average CPU Usage: 46% (4 processors)"));
    EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(StartupTest, ClosingTheGadgetAsksForTheTrayAtThatMoment) {
    struct Case {
        bool trayAtStart;
        bool trayAtClose;
        int quits;
    };
    for (const Case& c : {Case{false, true, 0}, Case{true, false, 1}, Case{true, true, 0}}) {
        SCOPED_TRACE(::testing::Message() << c.trayAtStart << c.trayAtClose);
        bool tray = c.trayAtStart;
        int quits = 0;
        TAppForm::Environment env = environment();
        env.trayAvailable = [&tray] { return tray; };
        env.quit = [&quits] { ++quits; };
        start(std::move(env));
        tray = c.trayAtClose;
        gadget()->close();
        settle();
        EXPECT_FALSE(gadget()->isVisible());
        EXPECT_EQ(quits, c.quits);
        m_form.reset();
    }
}

// The frame appears late and the user holds a button on the gadget meanwhile.
class FramingTest : public StartupTest {
protected:
    void startFramedLate() {
        m_frame = QMargins();
        writeSettings("Left=50\r\nTop=60\r\nWidth=300\r\nHeight=200\r\n");
        TAppForm::Environment env = environment();
        env.placeAfterFraming = true;
        env.frameMargins = [this](const TForm2&) {
            ++m_checks;
            return m_flicker && m_checks % 2 == 0 ? QMargins(0, 0, 0, 20) : m_frame;
        };
        start(std::move(env));
        ASSERT_EQ(gadget()->size(), QSize(300, 200));
    }
    void mouse(QEvent::Type type, Qt::MouseButtons held, const QPoint& offset = {}) {
        QWidget* label = gadget()->Label1;
        const QPoint local = label->rect().center() + offset;
        QMouseEvent event(type, QPointF(local), QPointF(label->mapToGlobal(local)), Qt::LeftButton,
                          held, Qt::NoModifier);
        QApplication::sendEvent(label, &event);
        settle();
    }

    QMargins m_frame;        // null: not framed yet
    bool m_flicker = false;  // every other check reports another frame
    int m_checks = 0;        // framing checks so far
    const QMargins kFrame{4, 20, 4, 4};
};

TEST_F(FramingTest, AHeldButtonDelaysThePlacementUntilItsRelease) {
    startFramedLate();
    mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    m_frame = kFrame;
    m_form->placement()->placeAfterFraming();
    EXPECT_EQ(gadget()->size(), QSize(300, 200)) << "placed under a held button";
    mouse(QEvent::MouseButtonRelease, Qt::NoButton);
    // The saved size is the frame's: the client gets what the frame leaves.
    EXPECT_EQ(gadget()->size(), QSize(292, 176));
    EXPECT_EQ(gadget()->pos(), QPoint(50, 60));
}

// A window manager may report a frame it is still building (no border or title yet): the
// checks go on until the place has held, so the final frame decides.
TEST_F(FramingTest, AFrameStillBeingBuiltIsFollowedToTheEnd) {
    startFramedLate();
    m_frame = QMargins(0, 0, 0, 20);
    m_form->placement()->placeAfterFraming();
    ASSERT_EQ(gadget()->size(), QSize(300, 180));
    m_frame = kFrame;
    QElapsedTimer waited;
    waited.start();
    while (gadget()->size() != QSize(292, 176) && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(gadget()->size(), QSize(292, 176));
    EXPECT_EQ(gadget()->pos(), QPoint(50, 60));
}

// A window manager that never lets the gadget settle where it was asked to is not chased: a few
// places are asked for, then its choice stands.
TEST_F(FramingTest, AGadgetThatNeverSettlesIsNotChased) {
    startFramedLate();
    m_frame = kFrame;
    m_flicker = true;
    m_checks = 0;
    m_form->placement()->placeAfterFraming();
    // Waits for placement to give up, however slowly the checks come on a loaded machine.
    QElapsedTimer waited;
    waited.start();
    while (m_form->placement()->isPlacing() && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ASSERT_FALSE(m_form->placement()->isPlacing());
    EXPECT_LE(m_checks, 8);
}

TEST_F(FramingTest, TheUsersDragIsNeverUndone) {
    for (bool framedDuringDrag : {true, false}) {
        SCOPED_TRACE(framedDuringDrag);
        startFramedLate();
        mouse(QEvent::MouseButtonPress, Qt::LeftButton);
        if (framedDuringDrag) {
            m_frame = kFrame;
            m_form->placement()->placeAfterFraming();
        }
        mouse(QEvent::MouseMove, Qt::LeftButton, QPoint(30, 10));
        mouse(QEvent::MouseButtonRelease, Qt::NoButton, QPoint(30, 10));
        m_frame = kFrame;
        m_form->placement()->placeAfterFraming();
        EXPECT_EQ(gadget()->pos(), QPoint(80, 70));
        EXPECT_EQ(gadget()->size(), QSize(300, 200));
        EXPECT_EQ(savedInt(settings::Key::Left), 80);
        EXPECT_EQ(savedInt(settings::Key::Top), 70);
    }
}

// Start-up placement is the program's own, and so are the moves and sizes a window manager
// makes meanwhile (openbox nudges a gadget mapped with little of it on the screen 20 px up):
// none is saved, and the gadget ends where it was saved, start after start. Once it has settled,
// a move or size is the user's and is saved; a maximised size never is.
TEST_F(FramingTest, TheWindowManagersMovesWhilePlacingAreNotSaved) {
    startFramedLate();
    const QByteArray before = settingsText();
    ASSERT_TRUE(m_form->placement()->isPlacing());
    gadget()->move(gadget()->pos() + QPoint(1, -20));
    gadget()->resize(gadget()->size() + QSize(0, 20));
    settle();
    EXPECT_EQ(settingsText(), before);

    m_frame = kFrame;
    QElapsedTimer waited;
    waited.start();
    while (m_form->placement()->isPlacing() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ASSERT_FALSE(m_form->placement()->isPlacing());
    EXPECT_EQ(gadget()->pos(), QPoint(50, 60));
    EXPECT_EQ(gadget()->size(), QSize(292, 176));
    EXPECT_EQ(settingsText(), before);

    gadget()->showMaximized();
    settle();
    EXPECT_EQ(settingsText(), before);
    gadget()->showNormal();
    settle();
    gadget()->move(70, 90);
    gadget()->resize(250, 150);
    settle();
    // A place is written at most every tenth of a second.
    waited.restart();
    while (savedInt(settings::Key::Left) != gadget()->framePosition().x() &&
           waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(savedInt(settings::Key::Left), gadget()->framePosition().x());
    EXPECT_EQ(savedInt(settings::Key::Top), gadget()->framePosition().y());
    EXPECT_EQ(savedInt(settings::Key::Width), gadget()->frameGeometry().width());
    EXPECT_EQ(savedInt(settings::Key::Height), gadget()->frameGeometry().height());
    EXPECT_NE(settingsText(), before);
}

// Saves of settings.ini in a folder: each write of a key renames a new temporary file of its own
// name over the file. (Renames onto settings.ini itself would not do: the kernel merges repeats
// of one event that follow each other.)
class SaveCounter {
public:
    explicit SaveCounter(const QString& folder) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_FROM),
                  0);
    }
    ~SaveCounter() { ::close(m_fd); }
    int count() {
        alignas(inotify_event) char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && QByteArray(event->name).startsWith("settings.ini.tmp")) {
                    ++m_count;
                }
                at += ssize_t(sizeof(inotify_event)) + event->len;
            }
        }
        return m_count;
    }

private:
    int m_fd;
    int m_count = 0;
};

// A drag writes its place at most every 100 ms, and once more when it ends, so the file always
// ends up with the final place.
TEST_F(FramingTest, ADragWritesItsPlaceAtMostEveryTenthOfASecondAndAtItsEnd) {
    startFramedLate();
    // The cursor's screen position moves; the label moves with the window under it.
    QWidget* label = gadget()->Label1;
    QPoint cursor = label->mapToGlobal(label->rect().center());
    const auto mouseAt = [label, &cursor](QEvent::Type type, Qt::MouseButtons held,
                                          const QPoint& to) {
        cursor = to;
        const QPointF local = label->mapFromGlobal(QPointF(cursor));
        QMouseEvent event(type, local, QPointF(cursor), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(label, &event);
        settle();
    };
    SaveCounter saves(m_appFolder);
    const QPoint start = gadget()->framePosition();
    const QPoint pressed = cursor;
    QElapsedTimer dragging;
    dragging.start();
    mouseAt(QEvent::MouseButtonPress, Qt::LeftButton, pressed);
    constexpr int kSteps = 40;
    for (int step = 1; step <= kSteps; ++step) {
        mouseAt(QEvent::MouseMove, Qt::LeftButton, pressed + QPoint(step, step / 2));
    }
    mouseAt(QEvent::MouseButtonRelease, Qt::NoButton, cursor);
    const qint64 took = dragging.elapsed();
    // Left and Top: once at the start, at most once per 100 ms after it, and once at the end.
    EXPECT_LE(saves.count(), 2 * (took / 100 + 2)) << "a drag of " << took << " ms";
    const QPoint end = gadget()->framePosition();
    EXPECT_EQ(end, start + QPoint(kSteps, kSteps / 2));
    EXPECT_EQ(savedInt(settings::Key::Left), end.x());
    EXPECT_EQ(savedInt(settings::Key::Top), end.y());

    // A drag that pauses with the button held still has its place written soon after.
    mouseAt(QEvent::MouseButtonPress, Qt::LeftButton, cursor);
    mouseAt(QEvent::MouseMove, Qt::LeftButton, cursor + QPoint(5, 0));
    mouseAt(QEvent::MouseMove, Qt::LeftButton, cursor + QPoint(6, 3));
    const QPoint paused = gadget()->framePosition();
    ASSERT_EQ(paused, end + QPoint(11, 3));
    QElapsedTimer waited;
    waited.start();
    while (savedInt(settings::Key::Left) != paused.x() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(savedInt(settings::Key::Left), paused.x());
    EXPECT_EQ(savedInt(settings::Key::Top), paused.y());
    mouseAt(QEvent::MouseButtonRelease, Qt::NoButton, cursor);
}

TEST_F(StartupTest, AMinimisedGadgetComesBack) {
    start();
    for (QAction* command : {menu().ShowWindow1(), static_cast<QAction*>(nullptr)}) {
        gadget()->showMinimized();
        settle();
        ASSERT_TRUE(gadget()->isMinimized());
        if (command != nullptr) {
            command->trigger();
        } else {
            m_form->TrayIcon1Click();
        }
        settle();
        EXPECT_FALSE(gadget()->isMinimized());
        EXPECT_TRUE(gadget()->isVisible());
    }
}

// Reset to Defaults lets go of the program's name before it starts the fresh copy (which would
// otherwise find this copy running and end), then this copy ends.
TEST_F(StartupTest, ResetLetsGoOfTheNameBeforeTheFreshCopyStarts) {
    std::vector<QString> steps;
    TAppForm::Environment env = environment();
    env.releaseInstance = [&steps] { steps.emplace_back(QStringLiteral("let go")); };
    env.startDetached = [&steps](const QString& program) {
        steps.push_back(QStringLiteral("start ") + program);
        return true;
    };
    env.quit = [&steps] { steps.emplace_back(QStringLiteral("quit")); };
    env.messages.onConfirm = [](const QString&) { return true; };
    writeSettings("Left=50\r\n");
    start(std::move(env));
    menu().Settings1()->trigger();
    ASSERT_EQ(m_form->settingsForms().size(), 1u);
    TSettingsForm* form = m_form->settingsForms().front();
    // Its title says whose settings these are.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Loadspire Gauge Settings"));
    form->BitBtn2Click();
    EXPECT_EQ(steps, (std::vector<QString>{
                         QStringLiteral("let go"),
                         QStringLiteral("start ") + m_appFolder + QStringLiteral("loadspire"),
                         QStringLiteral("quit")}));
    EXPECT_FALSE(QFile::exists(m_appFolder + QStringLiteral("settings.ini")));
}

// What a screen reader reads of the gadget: a window named by its title, the caption's text, each
// chart by its name with the newest percentage as its value, and the menu by the program's name.
TEST_F(StartupTest, AScreenReaderReadsTheCaptionAndTheCharts) {
    writeSettings("ShowCores=1\r\n");
    start(2);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(gadget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("KALDERN - Loadspire Gauge"));
    QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(gadget()->Label1);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->role(), QAccessible::StaticText);
    // 37 and 50: the average truncates to 43.
    EXPECT_EQ(caption->text(QAccessible::Name),
              QStringLiteral("Average CPU Usage: 43% (2 processors)"));
    struct Case {
        ChartView* chart;
        QString name;
        int value;
    };
    for (const Case& c : {Case{gadget()->Chart1, QStringLiteral("Total CPU usage"), 43},
                          Case{gadget()->strip(1), QStringLiteral("CPU 1 usage"), 37},
                          Case{gadget()->strip(2), QStringLiteral("CPU 2 usage"), 50}}) {
        SCOPED_TRACE(c.name.toStdString());
        QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(c.chart);
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(chart->role(), QAccessible::Chart);
        EXPECT_EQ(chart->text(QAccessible::Name), c.name);
        ASSERT_NE(chart->valueInterface(), nullptr);
        EXPECT_EQ(chart->valueInterface()->currentValue().toInt(), c.value);
        EXPECT_EQ(chart->text(QAccessible::Value), QStringLiteral("%1 %").arg(c.value));
    }
    QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(menu().PopupMenu1());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text(QAccessible::Name), QStringLiteral("Loadspire Gauge"));
}

TEST_F(StartupTest, ClosedSettingsWindowsAreFreed) {
    start();
    const auto openForms = [] {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            count += qobject_cast<TSettingsForm*>(w) != nullptr ? 1 : 0;
        }
        return count;
    };
    // Several may be open at once.
    menu().Settings1()->trigger();
    menu().Settings1()->trigger();
    EXPECT_EQ(openForms(), 2);
    for (int round = 0; round < 5; ++round) {
        for (TSettingsForm* form : m_form->settingsForms()) {
            form->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(openForms(), 0);
        EXPECT_TRUE(m_form->settingsForms().empty());
        menu().Settings1()->trigger();
    }
    // One still open goes with the main form.
    EXPECT_EQ(openForms(), 1);
    m_form.reset();
    EXPECT_EQ(openForms(), 0);
}

// A loopback port that accepts connections (the system completes them) and never answers: a
// send to it waits as long as its timeout allows.
class SilentPort {
public:
    SilentPort() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(m_fd, 4), 0);
        EXPECT_EQ(::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }
    ~SilentPort() { ::close(m_fd); }
    int port() const { return m_port; }

private:
    int m_fd;
    int m_port = 0;
};

// This process's network helper while one runs.
pid_t runningHelper() {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (line.contains("(loadspire-post)") && rest.size() > 1 && rest[1].toInt() == ::getpid()) {
            return entry.toInt();
        }
    }
    return 0;
}

// The feedback dialog and the About box are modeless, one of each at a time: the menu and the
// gadget stay usable while they are open, even while a send is in flight, and the program's end
// takes them with it, stopping the send's helper.
TEST_F(StartupTest, TheFeedbackDialogAndTheAboutBoxLeaveTheProgramUsable) {
    start();
    // Were a command to block in a modal loop, this would end it, so the test fails, not hangs.
    bool blocked = false;
    QTimer unblock;
    QObject::connect(&unblock, &QTimer::timeout, [&blocked] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            blocked = true;
            modal->close();
        }
    });
    unblock.start(2000);
    menu().SendFeedback1()->trigger();
    menu().About1()->trigger();
    EXPECT_FALSE(blocked);
    QPointer<feedback::TFeedbackForm> form = m_form->feedbackForm();
    QPointer<about::TAboutBox> box = m_form->aboutBox();
    ASSERT_FALSE(form.isNull());
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    menu().SendFeedback1()->trigger();
    menu().About1()->trigger();
    EXPECT_EQ(m_form->feedbackForm(), form.data());
    EXPECT_EQ(m_form->aboutBox(), box.data());

    // A send to a server that never answers: the sampling tick goes on meanwhile.
    const SilentPort silent;
    feedback::SendConfig config;
    config.host = QStringLiteral("127.0.0.1:%1").arg(silent.port());
    config.timeoutMs = 60000;
    form->setSendConfig(config);
    form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->setPlainText(QStringLiteral("hi"));
    form->BitBtn1Click();
    ASSERT_TRUE(form->isSending());
    const int samplesBefore = m_usage.samples;
    QElapsedTimer waited;
    waited.start();
    while ((m_usage.samples == samplesBefore || runningHelper() == 0) && waited.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_GT(m_usage.samples, samplesBefore) << "no sampling tick while the send waited";
    EXPECT_TRUE(form->isSending());
    const pid_t helper = runningHelper();
    ASSERT_GT(helper, 0);
    unblock.stop();

    m_form.reset();
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(box.isNull());
    EXPECT_EQ(::kill(helper, 0), -1) << "the helper outlived the program's end";
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StartupTest, HelpOpensThroughTheFormsOpener) {
    start();
    menu().Help1()->trigger();
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_TRUE(m_opened[0].toString().endsWith(QStringLiteral("/help/loadspire-gauge/")));
}

// While an error report is open, only a repeat of a text already showing is dropped.
TEST(ErrorReport, DropsOnlyRepeatsOfAnOpenReport) {
    std::vector<QString> shown;
    ui::MessageHooks hooks;
    ui::Messages* self = nullptr;
    hooks.onMessage = [&](const ui::MessageRecord& r) {
        shown.push_back(r.text);
        // Reports raised while this one is "open", as a timer would raise them.
        if (shown.size() == 1) {
            self->errorReport(QStringLiteral("tick failed"));
            self->errorReport(QStringLiteral("Unable to write to /x/settings.ini"));
            self->errorReport(QStringLiteral("tick failed"));
        }
    };
    ui::Messages messages(hooks);
    self = &messages;
    messages.errorReport(QStringLiteral("tick failed"));
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("tick failed"),
                                           QStringLiteral("Unable to write to /x/settings.ini")}));
    // Closed: the same text shows again.
    messages.errorReport(QStringLiteral("tick failed"));
    EXPECT_EQ(shown.size(), 3u);
}

// What a file system entry looks like, to tell whether anything wrote it.
struct EntryState {
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    timespec modified{};
    QByteArray head;  // the first bytes of a regular file
    bool operator==(const EntryState& o) const {
        return inode == o.inode && mode == o.mode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               head == o.head;
    }
};

EntryState entryState(const QString& path) {
    EntryState state;
    struct stat st {};
    if (::lstat(QFile::encodeName(path), &st) != 0) {
        return state;
    }
    state = {st.st_ino, st.st_mode, st.st_size, st.st_mtim, {}};
    if (S_ISREG(st.st_mode)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            state.head = file.read(4096);
        }
    }
    return state;
}

// Hostile settings files and leftovers of killed runs, through the real start-up: it neither
// blocks nor crashes, reports nothing, writes nothing, and puts a drawable gadget where it can
// be grabbed. A later write either works or is refused with a message, never through the
// hostile file.
TEST_F(StartupTest, HostileFilesAndFaults) {
    struct Case {
        const char* name;
        std::function<void()> make;
        bool writeRefused;
        std::function<void()> check;
    };
    const auto ini = [this] { return m_appFolder + QStringLiteral("settings.ini"); };
    const Case cases[] = {
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(ini()), 0600), 0); }, true, nullptr},
        {"link to /dev/zero", [&] { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), ini())); },
         true, nullptr},
        {"3 GB file",
         [&] {
             writeSettings("Left=5\r\nTop=5\r\n");
             ASSERT_EQ(::truncate(QFile::encodeName(ini()), 3'000'000'000), 0);
         },
         true, nullptr},
        {"extreme negatives",
         [&] {
             writeSettings(
                 "Width=-2147483648\r\nHeight=-2147483648\r\nLeft=-2147483648\r\n"
                 "Top=2147483647\r\n");
         },
         false,
         [&] {
             EXPECT_EQ(gadget()->size(), QSize(placement::kMinimumSide, placement::kMinimumSide));
         }},
        {"extreme positives",
         [&] {
             writeSettings(
                 "Width=2147483647\r\nHeight=2147483647\r\nLeft=2147483647\r\n"
                 "Top=-2147483648\r\n");
         },
         false, nullptr},
        {"stale temporaries",
         [&] {
             writeSettings("Left=10\r\n");
             QFile stale(ini() + QStringLiteral(".tmp3f9k1"));
             ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
             stale.write(QByteArray(100000, 'x'));
         },
         false, [&] { EXPECT_FALSE(QFile::exists(ini() + QStringLiteral(".tmp3f9k1"))); }},
        {"stale probe",
         [&] {
             writeSettings("Left=10\r\n");
             QFile probe(m_appFolder + QStringLiteral("chk.tmp"));
             ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
         },
         false, [&] { EXPECT_EQ(m_form->dataFolder(), m_appFolder); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(m_appFolder).remove(QStringLiteral("settings.ini"));
        c.make();
        const EntryState before = entryState(ini());
        {
            const lsg::testing::Deadline deadline(c.name);
            start(2);
        }
        EXPECT_TRUE(m_messages.empty()) << m_messages.front().toStdString();
        EXPECT_EQ(entryState(ini()), before) << "start-up wrote to the file";
        ASSERT_TRUE(gadget()->isVisible());
        const QRect desktop(QPoint(0, 0), QGuiApplication::primaryScreen()->virtualSize());
        EXPECT_GE(gadget()->width(), placement::kMinimumSide);
        EXPECT_GE(gadget()->height(), placement::kMinimumSide);
        EXPECT_TRUE(desktop.contains(QRect(gadget()->pos(), gadget()->size())))
            << desktop.width() << "x" << desktop.height() << " " << gadget()->x() << ","
            << gadget()->y() << " " << gadget()->width() << "x" << gadget()->height();

        {
            const lsg::testing::Deadline deadline(c.name);
            menu().ShowAllCores1()->trigger();
        }
        if (c.writeRefused) {
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("Unable to write to ")));
            EXPECT_EQ(entryState(ini()), before) << "written through";
        } else {
            EXPECT_TRUE(m_messages.empty());
            EXPECT_EQ(savedInt(settings::Key::ShowCores), 1);
        }
        if (c.check) {
            c.check();
        }
        m_messages.clear();
        m_form.reset();
        QDir(m_appFolder).remove(QStringLiteral("chk.tmp"));
    }
}

TEST(HelpAddress, ProductSlug) {
    EXPECT_EQ(helpAddress(QStringLiteral("Loadspire Gauge"), QStringLiteral("example.org")),
              QStringLiteral("http://example.org/help/loadspire-gauge/"));
    EXPECT_EQ(helpAddress(QStringLiteral("ÄB C"), QStringLiteral("h:8080")),
              QStringLiteral("http://h:8080/help/Äb-c/"));
}

}  // namespace
