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
#include <utility>
#include <vector>

#include "about/aboutbox.h"
#include "about/versioninfo.h"
#include "core/globals.h"
#include "core/inifile.h"
#include "core/logging.h"
#include "core/placement.h"
#include "core/settingsformat.h"
#include "core/settingskeys.h"
#include "cpu/adcpuusage.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"
#include "online/check.h"
#include "online/feedbackform.h"
#include "online/newversion.h"
#include "platform/displayserver.h"
#include "platform/paths.h"
#include "resources/pictures.h"
#include "settingsdialog/settingsform.h"
#include "ui/popupmenu.h"

namespace lsg {

const QString kApplicationTitle = QStringLiteral("Loadspire Gauge");
// How often, 100 ms apart, start-up looks whether the window manager has framed the gadget: a
// window manager on a loaded machine may take many seconds.
constexpr int kFramingChecks = 300;
// A frame first seen may be one the window manager is still building (its border not yet
// reported, say), so the place is checked until it has held this many checks in a row...
constexpr int kSettledChecks = 10;
// ...and asked for at most this often, in case a window manager keeps the gadget elsewhere.
constexpr int kMaxPlacements = 5;
constexpr int kMaxFontPoints = 500;
// A drag moves the gadget at every pointer step; its place is written at most this often (each
// write replaces the whole settings file) and once more where the drag ends.
constexpr int kPlaceWriteMs = 100;

namespace {

// The sampler as the sampling tick reads it.
class SamplerUsage final : public UsageSource {
public:
    explicit SamplerUsage(adCpuUsage::Sampler& sampler) : m_sampler(sampler) {}
    const char* sample() override { return m_sampler.SampleProcessors(); }
    const char* usage(std::int32_t index, double& fraction) override {
        const adCpuUsage::Measured<double> usage = m_sampler.ProcessorUsage(index);
        fraction = usage.value;
        return usage.error;
    }

private:
    adCpuUsage::Sampler& m_sampler;
};

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
    : QObject(parent), m_environment(std::move(environment)), m_messages(m_environment.messages) {
    if (m_environment.executablePath.isEmpty()) {
        m_environment.executablePath = platform::executablePath();
    }
    if (!m_environment.countProcessors || m_environment.usage == nullptr) {
        m_sampler = std::make_unique<adCpuUsage::Sampler>(adCpuUsage::liveSetup());
        m_samplerUsage = std::make_unique<SamplerUsage>(*m_sampler);
    }
    if (!m_environment.countProcessors) {
        m_environment.countProcessors = [this] {
            const adCpuUsage::Measured<std::int32_t> count = m_sampler->CountProcessors();
            if (!count.ok()) {
                throw Exception(QString::fromUtf8(count.error));
            }
            return count.value;
        };
    }
    if (m_environment.usage == nullptr) {
        m_environment.usage = m_samplerUsage.get();
    }
    if (!m_environment.frameMargins) {
        m_environment.frameMargins = [](const TForm2& gadget) { return gadget.frameMarginsNow(); };
    }
    if (!m_environment.quit) {
        m_environment.quit = [] { QApplication::quit(); };
    }
    if (!m_environment.trayAvailable) {
        m_environment.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    }
    setObjectName(QStringLiteral("AppForm"));
    Timer1.setInterval(1000);
    TimerChecker.setInterval(1000);
    TimerStayOnTop.setInterval(3000);
    connect(&Timer1, &QTimer::timeout, this,
            [this] { m_messages.guarded([this] { Timer1Timer(); }); });
    connect(&TimerChecker, &QTimer::timeout, this,
            [this] { m_messages.guarded([this] { TimerCheckerTimer(); }); });
    connect(&TimerStayOnTop, &QTimer::timeout, this,
            [this] { m_messages.guarded([this] { TimerStayOnTopTimer(); }); });
    m_framingTimer.setSingleShot(true);
    m_framingTimer.setInterval(100);
    connect(&m_framingTimer, &QTimer::timeout, this, &TAppForm::placeAfterFraming);
    m_placeWriteTimer.setSingleShot(true);
    connect(&m_placeWriteTimer, &QTimer::timeout, this, &TAppForm::writePendingPlace);

    buildMenu();
    TrayIcon1 = new QSystemTrayIcon(res::programIcon(), this);
    TrayIcon1->setToolTip(kApplicationTitle.left(127));
    TrayIcon1->setContextMenu(PopupMenu1);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    m_messages.guarded([this] { TrayIcon1Click(); });
                }
            });
    // Without a tray host the toolkit falls back to an X-only tray, which Wayland cannot take.
    if (!platform::isWaylandSession() || m_environment.trayAvailable()) {
        TrayIcon1->show();
    }

    Timer1.start();
    TimerChecker.start();
}

TAppForm::~TAppForm() {
    // The last place of a move that ended just now is not lost; there is nobody left to tell
    // of a failure.
    try {
        if (m_pendingPlace && SettingsFile != nullptr) {
            settings::writeInt(settings::Key::Left, m_pendingPlace->x());
            settings::writeInt(settings::Key::Top, m_pendingPlace->y());
        }
    } catch (const std::exception& e) {
        qCInfo(log::settings) << "the gadget's last place was not saved:" << e.what();
    }
    m_check.reset();
    // A feedback send still in flight ends with its dialog: its helper is stopped.
    delete m_feedbackForm.data();
    delete m_aboutBox.data();
    // The settings windows act on the gadget: they go first.
    for (const QPointer<TSettingsForm>& form : m_settingsForms) {
        delete form.data();
    }
    delete m_gadget;
    delete PopupMenu1;
    if (SettingsFile == m_settingsFile.get()) {
        SettingsFile = nullptr;
    }
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
                [this, handler] { m_messages.guarded([this, handler] { (this->*handler)(); }); });
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
    m_messages.guarded([this] { FormCreateSteps(); });
}

void TAppForm::FormCreateSteps() {
    readIdentity();
    createGadget();
    chooseDataFolder();
    restoreGeometry(m_saved);
    // Without the sampler the gadget still comes up, is placed, saves its moves and takes its
    // look; the sampling tick counts again and builds the strips once the sampler answers.
    m_messages.guarded([this] {
        if (countProcessors()) {
            Timer1Timer();
        }
    });
    showGadget();
    applyStayOnTop(m_saved);
    applyLook(m_saved);
}

void TAppForm::readIdentity() {
    const QString exe = m_environment.executablePath;
    const TEXEVersionData version = ReadEXEVersionData(exe);
    CompanyName = version.CompanyName;
    ProductName = version.ProductName;
    AppVersion = formatAppVersion(GetFileVersion(exe));
    AppCaption = CompanyName + QStringLiteral(" - ") + ProductName;
    setObjectName(AppCaption);
}

void TAppForm::createGadget() {
    m_gadget = new TForm2;
    m_gadget->setWindowTitle(AppCaption);
    connect(m_gadget, &TForm2::menuRequested, this,
            [this](const QPoint& position) { ui::popupMenuFor(PopupMenu1, m_gadget, position); });
    connect(m_gadget, &TForm2::moved, this, &TAppForm::gadgetMoved);
    connect(m_gadget, &TForm2::resized, this, &TAppForm::gadgetResized);
    connect(m_gadget, &TForm2::dragFinished, this, &TAppForm::gadgetDragFinished);
    connect(m_gadget, &TForm2::closed, this, &TAppForm::gadgetClosed);
}

void TAppForm::chooseDataFolder() {
    // Settings live beside the executable when it may write there, else in the config folder;
    // never in a packaged install's folder, where they would outlive the package.
    QString exeFolder = QFileInfo(m_environment.executablePath).absolutePath();
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
    m_settingsFile = std::make_unique<IniFile>(DataFolder + settings::kFileName);
    SettingsFile = m_settingsFile.get();
    qCInfo(log::settings) << "settings file:" << m_settingsFile->fileName();
    m_saved = settings::readGadgetSettings();
}

void TAppForm::restoreGeometry(const settings::GadgetSettings& saved) {
    // Hand-edited sizes are held to what can be drawn and grabbed, between a small square and
    // the whole desktop (beyond it they would only cost memory for the window's pixels).
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    const int height = placement::holdSide(saved.height, m_gadget->height(), desktop.height());
    const int width = placement::holdSide(saved.width, m_gadget->width(), desktop.width());
    m_savedOuterSize = QSize(saved.width == 0 ? 0 : width, saved.height == 0 ? 0 : height);
    m_gadget->resize(width, height);
    if (saved.transparency > 0) {
        m_gadget->setAlphaBlendValue(saved.transparency);
    }
    ShowAllCores1->setChecked(saved.showCores);
    // The saved place when the gadget can be grabbed there on some monitor, else the
    // bottom-right corner of the primary work area.
    m_savedPlace = {saved.left, saved.top};
    m_gadget->placeQuietly(startPlace(m_savedPlace, m_gadget->size()), m_gadget->size());
}

bool TAppForm::countProcessors() {
    if (m_processorsCounted) {
        return true;
    }
    const qint64 instances = m_environment.countProcessors();
    m_processorsCounted = true;
    buildStrips(instances);
    return true;
}

void TAppForm::buildStrips(qint64 instances) {
    ProcessorChartCount = instances - 1;
    if (QLayout* layout = m_gadget->layout()) {
        layout->activate();
    }
    const int strips = int(std::clamp<qint64>(ProcessorChartCount, 0, kMaxStrips));
    ProcessorChartHeight = stripHeightFor(m_gadget->Panel1->height(), strips);
    m_gadget->createStrips(strips, int(ProcessorChartHeight), ShowAllCores1->isChecked());
    // Built once, so the tick allocates nothing for it.
    m_stripSeries.clear();
    for (int i = 1; i <= m_gadget->stripCount(); ++i) {
        m_stripSeries.push_back(m_gadget->strip(i));
    }
    m_charts.reset();
}

void TAppForm::showGadget() {
    m_gadget->show();
    StartupComplete = true;
    // The window manager's frame is known only once the window is mapped: the saved place and
    // size are the frame's, so they are applied again once it is known.
    if (m_environment.placeAfterFraming) {
        m_framingChecksLeft = kFramingChecks;
        m_settledChecks = 0;
        m_placements = 0;
        placeAfterFraming();
    }
}

void TAppForm::applyStayOnTop(const settings::GadgetSettings& saved) {
    if (saved.stayOnTop) {
        StayOnTop1->setChecked(true);
        TimerStayOnTop.start();
    }
}

void TAppForm::applyLook(const settings::GadgetSettings& saved) {
    if (const std::optional<TColor>& color = saved.textColor.get()) {
        m_gadget->setLabelTextColor(*color);
    }
    if (const std::optional<TColor>& color = saved.backgroundColor.get()) {
        m_gadget->setGadgetColor(*color);
    }
    QFont font = m_gadget->Label1->font();
    if (!saved.fontName.isEmpty()) {
        font.setFamily(saved.fontName);
        m_gadget->Label1->setFont(font);
    }
    if (const std::optional<qint32>& points = saved.fontSize.get()) {
        // Sizes no font dialog offers (a hand-edited 100000) are held to a drawable range.
        font.setPointSize(std::clamp(*points, 1, kMaxFontPoints));
        m_gadget->Label1->setFont(font);
    }
    if (const std::optional<settings::FontStyle>& style = saved.fontStyle.get()) {
        font.setBold(style->bold);
        font.setUnderline(style->underline);
        font.setItalic(style->italic);
        font.setStrikeOut(false);
        m_gadget->Label1->setFont(font);
    }
}

void TAppForm::placeAfterFraming() {
    m_framingTimer.stop();
    if (m_gadget == nullptr || m_userPlaced || !m_gadget->isVisible()) {
        return;
    }
    if (m_gadget->isDragging()) {
        // A button is held on the gadget: once it is released, unless the user moved it.
        m_placeAfterRelease = true;
        return;
    }
    const QMargins margins = m_environment.frameMargins(*m_gadget);
    if (margins.isNull()) {
        // Not framed yet (a busy window manager takes its time), or never (none runs).
        checkFramingAgain();
        return;
    }
    const QSize frameSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QRect client = m_gadget->geometry();
    // The stored size is the outer size; the client gets what the frame leaves.
    QSize target = client.size();
    if (m_savedOuterSize.width() != 0) {
        target.setWidth(std::max(1, m_savedOuterSize.width() - frameSize.width()));
    }
    if (m_savedOuterSize.height() != 0) {
        target.setHeight(std::max(1, m_savedOuterSize.height() - frameSize.height()));
    }
    // Chosen again for the whole frame, now that its size is known.
    const QPoint position = startPlace(m_savedPlace, target + frameSize);
    if (client.topLeft() - QPoint(margins.left(), margins.top()) == position &&
        client.size() == target) {
        ++m_settledChecks;
    } else if (m_placements < kMaxPlacements) {
        m_settledChecks = 0;
        ++m_placements;
        m_gadget->placeQuietly(position, target);
    } else {
        // The window manager keeps the gadget elsewhere: its choice stands.
        return;
    }
    if (m_settledChecks < kSettledChecks) {
        checkFramingAgain();
    }
}

void TAppForm::checkFramingAgain() {
    if (m_framingChecksLeft > 0) {
        --m_framingChecksLeft;
        m_framingTimer.start();
    }
}

void TAppForm::gadgetMoved(const QPoint& position) {
    if (!StartupComplete) {
        return;
    }
    m_pendingPlace = position;
    const qint64 since =
        m_sincePlaceWritten.isValid() ? m_sincePlaceWritten.elapsed() : kPlaceWriteMs;
    if (since >= kPlaceWriteMs) {
        writePendingPlace();
    } else if (!m_placeWriteTimer.isActive()) {
        m_placeWriteTimer.start(int(kPlaceWriteMs - since));
    }
}

void TAppForm::writePendingPlace() {
    m_placeWriteTimer.stop();
    if (!m_pendingPlace) {
        return;
    }
    const QPoint position = *std::exchange(m_pendingPlace, std::nullopt);
    m_sincePlaceWritten.start();
    m_messages.guarded([&position] {
        settings::writeInt(settings::Key::Left, position.x());
        settings::writeInt(settings::Key::Top, position.y());
    });
}

void TAppForm::gadgetResized(const QSize& outerSize) {
    if (!StartupComplete) {
        return;
    }
    m_messages.guarded([&outerSize] {
        settings::writeInt(settings::Key::Height, outerSize.height());
        settings::writeInt(settings::Key::Width, outerSize.width());
    });
}

void TAppForm::gadgetDragFinished(bool moved) {
    // Where the drag ended is written now, not up to a tenth of a second later.
    writePendingPlace();
    if (moved) {
        // The user put the gadget where it is: no saved place may undo that any more.
        m_userPlaced = true;
        m_placeAfterRelease = false;
        m_framingTimer.stop();
        return;
    }
    if (m_placeAfterRelease) {
        m_placeAfterRelease = false;
        placeAfterFraming();
    }
}

void TAppForm::Timer1Timer() {
    if (m_gadget == nullptr) {
        return;
    }
    if (!m_processorsCounted) {
        // Start-up could not count the processors: try again, quietly, each tick.
        try {
            countProcessors();
        } catch (const std::exception& e) {
            qCDebug(log::cpu) << "counting the processors failed again:" << e.what();
            return;
        }
        qCInfo(log::cpu) << "processors counted:" << ProcessorChartCount;
    }
    const TickOutcome outcome = runSamplingTick(m_charts, *m_environment.usage, ProcessorChartCount,
                                                m_stripSeries, *m_gadget->Chart1);
    if (outcome.error != nullptr) {
        m_messages.errorReport(QString::fromUtf8(outcome.error));
        return;
    }
    m_gadget->Label1->setText(outcome.caption);
}

void TAppForm::TimerStayOnTopTimer() {
    if (m_gadget != nullptr) {
        m_gadget->reassertTopmost();
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
    if (m_check->checkFailed()) {
        qCInfo(log::online) << "update check failed:" << m_check->failureText();
    }
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
    NewVer->setUrlOpener(m_environment.openUrl);
}

void TAppForm::TrayIcon1Click() {
    if (m_gadget == nullptr) {
        return;
    }
    m_gadget->bringBack();
    // Above every window for a moment, then an ordinary window at the top of the normal order.
    m_gadget->setTopmost(true);
    m_gadget->setTopmost(false);
    m_gadget->raise();
}

void TAppForm::ShowWindow1Click() {
    if (m_gadget != nullptr) {
        m_gadget->bringBack();
    }
}

void TAppForm::Settings1Click() {
    // A new window for each use, modeless, freed when it is closed: nothing could show a
    // closed one again. Those still open go with the main form.
    auto* form = new TSettingsForm(m_gadget, m_messages);
    form->setAttribute(Qt::WA_DeleteOnClose);
    std::erase_if(m_settingsForms, [](const QPointer<TSettingsForm>& f) { return f.isNull(); });
    m_settingsForms.emplace_back(form);
    form->show();
}

// The toggles write first: a refused write is reported and changes nothing, so the check mark
// always shows the state in effect.
void TAppForm::StayOnTop1Click() {
    if (StayOnTop1->isChecked()) {
        settings::writeInt(settings::Key::StayOnTop, 0);
        TimerStayOnTop.stop();
        StayOnTop1->setChecked(false);
        if (m_gadget != nullptr) {
            m_gadget->setTopmost(false);
        }
    } else {
        settings::writeInt(settings::Key::StayOnTop, 1);
        StayOnTop1->setChecked(true);
        TimerStayOnTopTimer();
        TimerStayOnTop.start();
    }
}

void TAppForm::ShowAllCores1Click() {
    const bool show = !ShowAllCores1->isChecked();
    settings::writeInt(settings::Key::ShowCores, show ? 1 : 0);
    ShowAllCores1->setChecked(show);
    if (m_gadget != nullptr) {
        m_gadget->setStripsVisible(show);
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
    ui::openWebAddress(helpAddress(ProductName, ServerHost()), m_environment.openUrl);
}

namespace {

// Brings an open window to the front, as a second use of its menu command.
void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void TAppForm::SendFeedback1Click() {
    // Modeless, so that the tray menu (Exit above all) stays usable while it is open and
    // sending; a second use brings the open one forward.
    if (m_feedbackForm.isNull()) {
        m_feedbackForm = new feedback::TFeedbackForm;
        m_feedbackForm->setMessages(m_messages);
    }
    bringForward(m_feedbackForm);
}

void TAppForm::About1Click() {
    if (m_aboutBox.isNull()) {
        m_aboutBox = new about::TAboutBox;
        m_aboutBox->setMessages(m_messages);
        m_aboutBox->setUrlOpener(m_environment.openUrl);
    }
    bringForward(m_aboutBox);
}

void TAppForm::Exit1Click() {
    m_environment.quit();
}

feedback::TFeedbackForm* TAppForm::feedbackForm() const {
    return m_feedbackForm.data();
}

about::TAboutBox* TAppForm::aboutBox() const {
    return m_aboutBox.data();
}

std::vector<TSettingsForm*> TAppForm::settingsForms() const {
    std::vector<TSettingsForm*> open;
    for (const QPointer<TSettingsForm>& form : m_settingsForms) {
        if (!form.isNull()) {
            open.push_back(form.data());
        }
    }
    return open;
}

void TAppForm::gadgetClosed() {
    // Asked now, not at start-up: a panel whose tray started after the program has the icon.
    if (!m_environment.trayAvailable()) {
        // Without a tray nobody could bring the gadget back: closing it ends the program.
        m_environment.quit();
        return;
    }
    TrayIcon1->showMessage(QStringLiteral("Still Here"), AppCaption, QSystemTrayIcon::Information,
                           10000);
}

}  // namespace lsg
