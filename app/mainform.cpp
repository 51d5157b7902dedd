// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/mainform.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

#include "about/aboutbox.h"
#include "cpu/adcpuusage.h"
#include "gadget/chartview.h"
#include "online/check.h"
#include "online/feedbackform.h"
#include "core/globals.h"
#include "core/inifile.h"
#include "core/placement.h"
#include "ui/messages.h"
#include "online/newversion.h"
#include "platform/openurl.h"
#include "platform/paths.h"
#include "resources/pictures.h"
#include "core/samplingtick.h"
#include "settingsdialog/settingsform.h"
#include "core/settingsformat.h"
#include "core/settingskeys.h"
#include "gadget/gadgetwindow.h"
#include "about/versioninfo.h"

namespace lsg {

const QString kApplicationTitle = QStringLiteral("Loadspire Gauge");
// How often, 100 ms apart, start-up looks whether the window manager has framed the gadget.
constexpr int kFramingChecks = 50;
constexpr int kMaxFontPoints = 500;

namespace {

// Where a frame of `outer` starts on the screens as they are now.
QPoint startPlace(const placement::SavedPlace& saved, QSize outer) {
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.push_back(screen->availableGeometry());
    }
    return placement::choosePlace(saved, outer, areas,
                                  QGuiApplication::primaryScreen()->availableGeometry());
}

}  // namespace

QString helpAddress(const QString& productName, const QString& serverHost) {
    QString slug;
    slug.reserve(productName.size());
    for (QChar c : productName) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        } else if (c == u' ') {
            c = u'-';
        }
        slug += c;
    }
    return QStringLiteral("http://") + serverHost + QStringLiteral("/help/") + slug + u'/';
}

TAppForm::TAppForm(QObject* parent) : TAppForm(Environment{}, parent) {}

TAppForm::TAppForm(Environment environment, QObject* parent)
    : QObject(parent), m_environment(std::move(environment)) {
    if (m_environment.executablePath.isEmpty()) {
        m_environment.executablePath = platform::executablePath();
    }
    if (!m_environment.countProcessors) {
        m_environment.countProcessors = [] { return adCpuUsage::CountProcessors(); };
    }
    if (m_environment.usage == nullptr) {
        m_environment.usage = &systemUsageSource();
    }
    setObjectName(QStringLiteral("AppForm"));
    Timer1.setInterval(1000);
    TimerChecker.setInterval(1000);
    TimerStayOnTop.setInterval(3000);
    connect(&Timer1, &QTimer::timeout, this, [this] { ui::guarded([this] { Timer1Timer(); }); });
    connect(&TimerChecker, &QTimer::timeout, this,
            [this] { ui::guarded([this] { TimerCheckerTimer(); }); });
    connect(&TimerStayOnTop, &QTimer::timeout, this,
            [this] { ui::guarded([this] { TimerStayOnTopTimer(); }); });

    buildMenu();
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    TrayIcon1 = new QSystemTrayIcon(res::programIcon(), this);
    TrayIcon1->setToolTip(kApplicationTitle.left(127));
    TrayIcon1->setContextMenu(PopupMenu1);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    ui::guarded([this] { TrayIcon1Click(); });
                }
            });
    TrayIcon1->show();

    Timer1.start();
    TimerChecker.start();
}

TAppForm::~TAppForm() {
    m_check.reset();
    delete m_gadget;
    delete PopupMenu1;
}

void TAppForm::buildMenu() {
    PopupMenu1 = new QMenu;
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const QString& caption, const char* image, void (TAppForm::*handler)(),
                      bool checkable = false) {
        QAction* action = PopupMenu1->addAction(caption);
        if (image != nullptr) {
            action->setIcon(res::menuIcon(QString::fromLatin1(image)));
        }
        if (checkable) {
            action->setCheckable(true);
            // Qt toggles a checkable item before its handler runs; the handlers decide from
            // the state before the click and set the mark themselves.
            connect(action, &QAction::triggered, this, [action](bool checked) {
                const QSignalBlocker block(action);
                action->setChecked(!checked);
            });
        }
        connect(action, &QAction::triggered, this,
                [this, handler] { ui::guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    ShowWindow1 = add(QStringLiteral("Show &Form"), nullptr, &TAppForm::ShowWindow1Click);
    Settings1 = add(QStringLiteral("Settings..."), "settings48", &TAppForm::Settings1Click);
    StayOnTop1 = add(QStringLiteral("Stay On Top"), nullptr, &TAppForm::StayOnTop1Click, true);
    ShowAllCores1 =
        add(QStringLiteral("Show All Processors"), nullptr, &TAppForm::ShowAllCores1Click, true);
    PopupMenu1->addSeparator();
    UpdateNotifications1 = add(QStringLiteral("Update Notifications"), nullptr,
                               &TAppForm::UpdateNotifications1Click, true);
    UpdateNotifications1->setChecked(true);
    UpdateNotifications1->setEnabled(false);
    Help1 = add(QStringLiteral("Online Help"), "help", &TAppForm::Help1Click);
    SendFeedback1 =
        add(QStringLiteral("S&end Feedback..."), "feedback", &TAppForm::SendFeedback1Click);
    About1 = add(QStringLiteral("&About..."), "about", &TAppForm::About1Click);
    PopupMenu1->addSeparator();
    Exit1 = add(QStringLiteral("E&xit"), "exit", &TAppForm::Exit1Click);
    PopupMenu1->setDefaultAction(Exit1);
}

void TAppForm::FormCreate() {
    ui::guarded([this] { FormCreateSteps(); });
}

void TAppForm::FormCreateSteps() {
    // Identity texts from the embedded version information.
    const QString exe = m_environment.executablePath;
    const TEXEVersionData version = ReadEXEVersionData(exe);
    CompanyName = version.CompanyName;
    ProductName = version.ProductName;
    AppVersion = formatAppVersion(GetFileVersion(exe));
    AppCaption = CompanyName + QStringLiteral(" - ") + ProductName;
    setObjectName(AppCaption);

    m_gadget = new TForm2;
    m_gadget->setWindowTitle(AppCaption);
    m_gadget->onContextMenu = [this](const QPoint& p) { PopupMenu1->popup(p); };
    m_gadget->onClosed = [this] { gadgetClosed(); };

    // Settings live beside the executable when it may write there, else in the config folder;
    // never in a packaged install's folder, where they would outlive the package.
    QString exeFolder = QFileInfo(exe).absolutePath();
    if (!exeFolder.endsWith(u'/')) {
        exeFolder += u'/';
    }
    if (!platform::isSystemLocation(exeFolder) && platform::IsFolderWritable(exeFolder)) {
        DataFolder = exeFolder;
    } else {
        platform::createFolder(platform::roamingAppDataFolder() + u'/' + CompanyName);
        platform::createFolder(platform::roamingAppDataFolder() + u'/' + CompanyName + u'/' +
                               ProductName);
        DataFolder =
            platform::roamingAppDataFolder() + u'/' + CompanyName + u'/' + ProductName + u'/';
    }
    SettingsFile = new IniFile(DataFolder + settings::kFileName);

    // Hand-edited sizes are held to what can be drawn and grabbed, between a small square and
    // the whole desktop (beyond it they would only cost memory for the window's pixels).
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    const qint32 savedHeight = settings::readInt(settings::Key::Height);
    const qint32 savedWidth = settings::readInt(settings::Key::Width);
    const int height = placement::holdSide(savedHeight, m_gadget->height(), desktop.height());
    const int width = placement::holdSide(savedWidth, m_gadget->width(), desktop.width());
    m_savedOuterSize = QSize(savedWidth == 0 ? 0 : width, savedHeight == 0 ? 0 : height);
    m_gadget->resize(width, height);
    // The saved place when the gadget can be grabbed there on some monitor, else the
    // bottom-right corner of the primary work area.
    m_savedPlace = {settings::readOptionalInt(settings::Key::Left),
                    settings::readOptionalInt(settings::Key::Top)};
    const int transparency = settings::readInt(settings::Key::Transparency);
    if (transparency > 0) {
        m_gadget->setAlphaBlendValue(transparency);
    }
    const bool showCores = settings::readInt(settings::Key::ShowCores) > 0;
    ShowAllCores1->setChecked(showCores);
    m_gadget->placeQuietly(startPlace(m_savedPlace, m_gadget->size()), m_gadget->size());

    const qint64 instances = m_environment.countProcessors();
    ProcessorChartCount = instances - 1;
    if (QLayout* layout = m_gadget->layout()) {
        layout->activate();
    }
    ProcessorChartHeight =
        qint64(std::nearbyint(double(m_gadget->Panel1->height()) / double(instances)));
    const int strips = int(std::clamp<qint64>(ProcessorChartCount, 0, kMaxStrips));
    m_gadget->createStrips(strips, int(ProcessorChartHeight), showCores);
    // Built once, so the tick allocates nothing for it.
    m_stripSeries.clear();
    for (int i = 1; i <= m_gadget->stripCount(); ++i) {
        m_stripSeries.push_back(m_gadget->strip(i));
    }

    resetChartPushState();
    Timer1Timer();

    m_gadget->show();
    StartupComplete = true;
    // The window manager's frame is known only once the window is mapped: the saved place and
    // size are the frame's, so they are applied again once it is known.
    if (m_environment.placeAfterFraming) {
        placeAfterFraming(kFramingChecks);
    }

    if (settings::readInt(settings::Key::StayOnTop) == 1) {
        StayOnTop1->setChecked(true);
        TimerStayOnTop.start();
    }

    const QString textColor = settings::readText(settings::Key::Textcolor);
    if (!textColor.isEmpty()) {
        m_gadget->setLabelTextColor(settings::textToColor(textColor));
    }
    const QString background = settings::readText(settings::Key::BackgroundColor);
    if (!background.isEmpty()) {
        m_gadget->setGadgetColor(settings::textToColor(background));
    }
    QFont font = m_gadget->Label1->font();
    const QString fontName = settings::readText(settings::Key::Fontname);
    if (!fontName.isEmpty()) {
        font.setFamily(fontName);
        m_gadget->Label1->setFont(font);
    }
    const QString fontSize = settings::readText(settings::Key::Fontsize);
    if (!fontSize.isEmpty()) {
        // Sizes no font dialog offers (a hand-edited 100000) are held to a drawable range.
        font.setPointSize(std::clamp(settings::strictInteger(fontSize), 1, kMaxFontPoints));
        m_gadget->Label1->setFont(font);
    }
    const QString fontStyle = settings::readText(settings::Key::Fontstyle);
    if (!fontStyle.isEmpty()) {
        const settings::FontStyle style =
            settings::fontStyleFromCode(settings::strictInteger(fontStyle));
        font.setBold(style.bold);
        font.setUnderline(style.underline);
        font.setItalic(style.italic);
        font.setStrikeOut(false);
        m_gadget->Label1->setFont(font);
    }
}

void TAppForm::placeAfterFraming(int checksLeft) {
    if (m_gadget == nullptr || !m_gadget->isVisible() || m_gadget->isDragging()) {
        return;
    }
    const QRect frame = m_gadget->frameGeometry();
    const QRect client = m_gadget->geometry();
    const QSize margins = frame.size() - client.size();
    if (margins.isNull()) {
        // Not framed yet (a busy window manager takes its time), or never (none runs).
        if (checksLeft > 0) {
            QTimer::singleShot(100, this,
                               [this, checksLeft] { placeAfterFraming(checksLeft - 1); });
        }
        return;
    }
    // The stored size is the outer size; the client gets what the frame leaves.
    QSize target = client.size();
    if (m_savedOuterSize.width() != 0) {
        target.setWidth(std::max(1, m_savedOuterSize.width() - margins.width()));
    }
    if (m_savedOuterSize.height() != 0) {
        target.setHeight(std::max(1, m_savedOuterSize.height() - margins.height()));
    }
    // Chosen again for the whole frame, now that its size is known.
    const QPoint position = startPlace(m_savedPlace, target + margins);
    if (frame.topLeft() != position || client.size() != target) {
        m_gadget->placeQuietly(position, target);
    }
}

void TAppForm::Timer1Timer() {
    if (m_gadget == nullptr) {
        return;
    }
    const QString caption = runSamplingTick(*m_environment.usage, ProcessorChartCount,
                                            m_stripSeries, *m_gadget->Chart1);
    m_gadget->Label1->setText(caption);
}

void TAppForm::TimerStayOnTopTimer() {
    if (m_gadget != nullptr) {
        m_gadget->setTopmost(true);
    }
}

void TAppForm::TimerCheckerTimer() {
    if (!m_check) {
        // Built on the first tick: the identity texts exist by then.
        m_check = std::make_unique<check::UpdateCheck>(check::defaultCheckConfig());
    }
    if (m_check->tick() != check::TickOutcome::Finished) {
        return;
    }
    TimerChecker.stop();
    UpdateNotifications1->setEnabled(true);
    if (m_check->showUpdate() == 0) {
        UpdateNotifications1->setChecked(false);
    }
    if (m_check->newVersionAvailable()) {
        createUpdatePopup();
    }
}

void TAppForm::createUpdatePopup() {
    // One popup per run; closing it only hides it.
    if (NewVer) {
        return;
    }
    // The download address is read when the link is clicked.
    NewVer = std::make_unique<TNewVer>(ProductName, m_check->latestVersion(), [this] {
        return m_check ? m_check->downloadURL() : QString();
    });
}

void TAppForm::TrayIcon1Click() {
    if (m_gadget == nullptr) {
        return;
    }
    m_gadget->show();
    // Above every window for a moment, then an ordinary window at the top of the normal order.
    m_gadget->setTopmost(true);
    m_gadget->setTopmost(false);
    m_gadget->raise();
    m_gadget->activateWindow();
}

void TAppForm::ShowWindow1Click() {
    if (m_gadget == nullptr) {
        return;
    }
    m_gadget->show();
    m_gadget->raise();
    m_gadget->activateWindow();
}

void TAppForm::Settings1Click() {
    // A new window for each use, modeless; closing only hides it. It has no parent widget, so
    // it lives until the main form goes, which takes it along.
    auto* form = new TSettingsForm(m_gadget);
    connect(this, &QObject::destroyed, this,
            [guard = QPointer<TSettingsForm>(form)] { delete guard.data(); });
    if (!Settings1->isEnabled()) {
        Settings1->setEnabled(true);
    }
    form->show();
}

void TAppForm::StayOnTop1Click() {
    if (StayOnTop1->isChecked()) {
        TimerStayOnTop.stop();
        StayOnTop1->setChecked(false);
        settings::writeInt(settings::Key::StayOnTop, 0);
        if (m_gadget != nullptr) {
            m_gadget->setTopmost(false);
        }
    } else {
        StayOnTop1->setChecked(true);
        settings::writeInt(settings::Key::StayOnTop, 1);
        TimerStayOnTopTimer();
        TimerStayOnTop.start();
    }
}

void TAppForm::ShowAllCores1Click() {
    if (ShowAllCores1->isChecked()) {
        ShowAllCores1->setChecked(false);
        settings::writeInt(settings::Key::ShowCores, 0);
        if (m_gadget != nullptr) {
            m_gadget->setStripsVisible(false);
        }
    } else {
        ShowAllCores1->setChecked(true);
        settings::writeInt(settings::Key::ShowCores, 1);
        if (m_gadget != nullptr) {
            m_gadget->setStripsVisible(true);
        }
    }
}

void TAppForm::UpdateNotifications1Click() {
    if (!m_check) {
        return;
    }
    // Takes effect at the next start; this run's check has ended already.
    if (UpdateNotifications1->isChecked()) {
        UpdateNotifications1->setChecked(false);
        m_check->storeShowUpdate(false);
    } else {
        UpdateNotifications1->setChecked(true);
        m_check->storeShowUpdate(true);
    }
}

void TAppForm::Help1Click() {
    // Never reports anything: a missing browser stays silent.
    ui::openWebAddress(helpAddress(ProductName, ServerHost()));
}

void TAppForm::SendFeedback1Click() {
    feedback::TFeedbackForm::showModal(nullptr);
}

void TAppForm::About1Click() {
    about::TAboutBox::showModal(nullptr);
}

void TAppForm::Exit1Click() {
    QApplication::quit();
}

void TAppForm::gadgetClosed() {
    if (!m_trayAvailable) {
        // Without a tray nobody could bring the gadget back: closing it ends the program.
        QApplication::quit();
        return;
    }
    TrayIcon1->showMessage(QStringLiteral("Still Here"), AppCaption, QSystemTrayIcon::Information,
                           10000);
}

}  // namespace lsg
