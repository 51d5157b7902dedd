// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/mainform.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QSystemTrayIcon>
#include <algorithm>
#include <utility>

#include "about/aboutbox.h"
#include "about/versioninfo.h"
#include "core/inifile.h"
#include "core/logging.h"
#include "core/serverhost.h"
#include "core/settingskeys.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"
#include "gadget/startupplacement.h"
#include "online/feedbackform.h"
#include "platform/displayserver.h"
#include "platform/paths.h"
#include "settingsdialog/settingsform.h"

namespace lsg {
namespace {

constexpr int kStayOnTopMs = 3000;
constexpr int kMaxFontPoints = 500;
// Why Stay On Top cannot be chosen on Wayland, as its tooltip says.
const char* const kNoStayOnTopOnWayland = QT_TRANSLATE_NOOP(
    "lsg::TAppForm",
    "Not available on Wayland: the compositor decides which windows stay above the others.");

// Brings an open window to the front, as a second use of its menu command.
void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
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
    : QObject(parent),
      m_environment(std::move(environment)),
      m_messages(m_environment.messages),
      m_sampling(m_environment.usage, m_messages),
      m_updates(m_environment.openUrl),
      m_geometry(m_messages) {
    if (m_environment.executablePath.isEmpty()) {
        m_environment.executablePath = platform::executablePath();
    }
    if (!m_environment.quit) {
        m_environment.quit = [] { QApplication::quit(); };
    }
    if (!m_environment.trayAvailable) {
        m_environment.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    }
    setObjectName(QStringLiteral("AppForm"));
    TimerStayOnTop.setInterval(kStayOnTopMs);
    connect(&TimerStayOnTop, &QTimer::timeout, this,
            [this] { m_messages.guarded([this] { TimerStayOnTopTimer(); }); });
    connect(&m_updates, &UpdateNotifier::ended, this,
            [this](bool notificationsOn) { m_tray.setUpdateNotifications(true, notificationsOn); });
    connectMenu();
    if (platform::isWaylandSession()) {
        // Wayland has no request for it: the item would promise what nothing can do.
        m_tray.StayOnTop1()->setEnabled(false);
        m_tray.StayOnTop1()->setToolTip(tr(kNoStayOnTopOnWayland));
        m_tray.PopupMenu1()->setToolTipsVisible(true);
    }
    connect(&m_sampling, &SamplingController::ticked, &m_tray, &TrayMenu::showLoad);
    // Without a tray host the toolkit falls back to an X-only tray, which Wayland cannot take.
    if (!platform::isWaylandSession() || m_environment.trayAvailable()) {
        m_tray.showIcon();
    }
    m_sampling.start();
    m_updates.start();
}

TAppForm::~TAppForm() {
    // A feedback send still in flight ends with its dialog: its helper is stopped.
    delete m_feedbackForm.data();
    delete m_aboutBox.data();
    // The settings windows act on the gadget: they go first.
    for (const QPointer<TSettingsForm>& form : m_settingsForms) {
        delete form.data();
    }
    m_sampling.setGadget(nullptr);
    m_placement.reset();
    delete m_gadget;
}

void TAppForm::connectMenu() {
    // Every command runs guarded: an error it raises is shown, and the program goes on.
    auto bind = [this](void (TrayMenu::*chosen)(), void (TAppForm::*handler)()) {
        connect(&m_tray, chosen, this,
                [this, handler] { m_messages.guarded([this, handler] { (this->*handler)(); }); });
    };
    bind(&TrayMenu::trayClicked, &TAppForm::TrayIcon1Click);
    bind(&TrayMenu::showFormChosen, &TAppForm::ShowWindow1Click);
    bind(&TrayMenu::settingsChosen, &TAppForm::Settings1Click);
    bind(&TrayMenu::stayOnTopChosen, &TAppForm::StayOnTop1Click);
    bind(&TrayMenu::showAllProcessorsChosen, &TAppForm::ShowAllCores1Click);
    bind(&TrayMenu::liveTrayIconChosen, &TAppForm::LiveTrayIcon1Click);
    bind(&TrayMenu::updateNotificationsChosen, &TAppForm::UpdateNotifications1Click);
    bind(&TrayMenu::startAtLoginChosen, &TAppForm::StartAtLogin1Click);
    connect(&m_tray, &TrayMenu::menuOpening, this, [this] { m_trayOptions.refreshStartAtLogin(); });
    bind(&TrayMenu::helpChosen, &TAppForm::Help1Click);
    bind(&TrayMenu::sendFeedbackChosen, &TAppForm::SendFeedback1Click);
    bind(&TrayMenu::aboutChosen, &TAppForm::About1Click);
    bind(&TrayMenu::exitChosen, &TAppForm::Exit1Click);
}

void TAppForm::FormCreate() {
    m_messages.guarded([this] { FormCreateSteps(); });
}

void TAppForm::FormCreateSteps() {
    readIdentity();
    createGadget();
    chooseDataFolder();
    m_trayOptions.load(SettingsFile.get());
    restoreGeometry(m_saved);
    // Without the sampler the gadget still comes up, is placed, saves its moves and takes its
    // look; the sampling tick counts again and builds the strips once the sampler answers.
    if (countProcessors()) {
        Timer1Timer();
    }
    showGadget();
    applyStayOnTop(m_saved);
    applyLook(m_saved);
}

void TAppForm::readIdentity() {
    const QString exe = m_environment.executablePath;
    const TEXEVersionData version = ReadEXEVersionData(exe);
    m_identity.CompanyName = version.CompanyName;
    m_identity.ProductName = version.ProductName;
    m_identity.AppVersion = formatAppVersion(GetFileVersion(exe));
    m_identity.AppCaption = m_identity.CompanyName + QStringLiteral(" - ") + m_identity.ProductName;
    setObjectName(m_identity.AppCaption);
    m_tray.PopupMenu1()->setAccessibleName(m_identity.ProductName);
    m_updates.setIdentity(m_identity);
}

void TAppForm::createGadget() {
    m_gadget = new TForm2;
    m_gadget->setWindowTitle(m_identity.AppCaption);
    connect(m_gadget, &TForm2::menuRequested, this,
            [this](const QPoint& position) { m_tray.popupFor(m_gadget, position); });
    connect(m_gadget, &TForm2::moved, this, &TAppForm::gadgetMoved);
    connect(m_gadget, &TForm2::resized, this, &TAppForm::gadgetResized);
    connect(m_gadget, &TForm2::dragFinished, this, &TAppForm::gadgetDragFinished);
    connect(m_gadget, &TForm2::closed, this, &TAppForm::gadgetClosed);
    m_placement = std::make_unique<StartupPlacement>(*m_gadget, m_environment.frameMargins,
                                                     m_environment.placeAfterFraming);
    m_sampling.setGadget(m_gadget);
}

void TAppForm::chooseDataFolder() {
    // Settings live beside the executable when it may write there, else in the config folder;
    // never in a packaged install's folder, where they would outlive the package.
    QString exeFolder = QFileInfo(m_environment.executablePath).absolutePath();
    if (!exeFolder.endsWith(u'/')) {
        exeFolder += u'/';
    }
    const QString& company = m_identity.CompanyName;
    const QString& product = m_identity.ProductName;
    if (!platform::isSystemLocation(exeFolder) && platform::IsFolderWritable(exeFolder)) {
        DataFolder = exeFolder;
    } else {
        platform::createFolder(platform::roamingAppDataFolder() + u'/' + company);
        platform::createFolder(platform::roamingAppDataFolder() + u'/' + company + u'/' + product);
        DataFolder = platform::roamingAppDataFolder() + u'/' + company + u'/' + product + u'/';
    }
    SettingsFile = std::make_unique<IniFile>(DataFolder + settings::kFileName);
    m_geometry.setFile(SettingsFile.get());
    qCInfo(log::settings) << "settings file:" << SettingsFile->fileName();
    m_saved = settings::readGadgetSettings(SettingsFile.get());
}

void TAppForm::restoreGeometry(const settings::GadgetSettings& saved) {
    m_placement->restore(saved);
    if (saved.transparency > 0) {
        m_gadget->setAlphaBlendValue(saved.transparency);
    }
    m_tray.setShowAllProcessorsChecked(saved.showCores);
    m_sampling.setStripsShown(saved.showCores);
}

bool TAppForm::countProcessors() {
    if (const char* error = m_sampling.countProcessors()) {
        m_messages.errorReport(sampleErrorText(error));
        return false;
    }
    return true;
}

void TAppForm::showGadget() {
    m_gadget->show();
    StartupComplete = true;
    m_placement->gadgetShown();
}

void TAppForm::applyStayOnTop(const settings::GadgetSettings& saved) {
    if (saved.stayOnTop) {
        m_tray.setStayOnTopChecked(true);
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

bool TAppForm::changedByTheUser() const {
    // While start-up still places the gadget, moves and sizes are the window manager's (openbox
    // nudges a window mapped mostly off the screen), unless the user drags the gadget.
    return StartupComplete && (!m_placement->isPlacing() || m_gadget->isDragging());
}

void TAppForm::gadgetMoved(const QPoint& position) {
    if (changedByTheUser()) {
        m_geometry.moved(position);
    }
}

void TAppForm::gadgetResized(const QSize& outerSize) {
    if (changedByTheUser()) {
        m_geometry.resized(outerSize);
    }
}

void TAppForm::gadgetDragFinished(bool moved) {
    // Where the drag ended is written now, not up to a tenth of a second later.
    m_geometry.writePendingPlace();
    m_placement->dragFinished(moved);
}

void TAppForm::gadgetClosed() {
    // Asked now, not at start-up: a panel whose tray started after the program has the icon.
    if (!m_environment.trayAvailable()) {
        // Without a tray nobody could bring the gadget back: closing it ends the program.
        m_environment.quit();
        return;
    }
    m_tray.showBalloon(tr("Still Here"), m_identity.AppCaption);
}

void TAppForm::Timer1Timer() {
    m_sampling.Timer1Timer();
}

void TAppForm::TimerStayOnTopTimer() {
    if (m_gadget != nullptr) {
        m_gadget->reassertTopmost();
    }
}

void TAppForm::TimerCheckerTimer() {
    m_updates.TimerCheckerTimer();
}

void TAppForm::TrayIcon1Click() {
    if (m_gadget == nullptr) {
        return;
    }
    m_gadget->bringBack();
    // The click only brings the gadget forward: a stay-on-top the user asked for stays, and is
    // asked for again in case the window manager dropped it meanwhile.
    if (TimerStayOnTop.isActive()) {
        TimerStayOnTopTimer();
    }
}

void TAppForm::ShowWindow1Click() {
    if (m_gadget != nullptr) {
        m_gadget->bringBack();
    }
}

void TAppForm::Settings1Click() {
    // A new window for each use, modeless, freed when it is closed: nothing could show a
    // closed one again. Those still open go with the main form.
    auto* form = new TSettingsForm(m_gadget, SettingsFile.get(), m_messages);
    form->setAttribute(Qt::WA_DeleteOnClose);
    // A title that says whose settings these are, in a window list as on the window.
    form->setWindowTitle(tr("%1 Settings").arg(m_identity.ProductName));
    RestartActions restart;
    restart.executablePath = [this] { return m_environment.executablePath; };
    restart.beforeStart = m_environment.releaseInstance;
    restart.startDetached = m_environment.startDetached;
    restart.quit = m_environment.quit;
    form->setRestartActions(std::move(restart));
    std::erase_if(m_settingsForms, [](const QPointer<TSettingsForm>& f) { return f.isNull(); });
    m_settingsForms.emplace_back(form);
    form->show();
}

// The toggles write first: a refused write is reported and changes nothing, so the check mark
// always shows the state in effect.
void TAppForm::StayOnTop1Click() {
    if (m_tray.stayOnTopChecked()) {
        settings::writeInt(SettingsFile.get(), settings::Key::StayOnTop, 0);
        TimerStayOnTop.stop();
        m_tray.setStayOnTopChecked(false);
        if (m_gadget != nullptr) {
            m_gadget->setTopmost(false);
        }
    } else {
        settings::writeInt(SettingsFile.get(), settings::Key::StayOnTop, 1);
        m_tray.setStayOnTopChecked(true);
        TimerStayOnTopTimer();
        TimerStayOnTop.start();
    }
}

void TAppForm::ShowAllCores1Click() {
    const bool show = !m_tray.showAllProcessorsChecked();
    settings::writeInt(SettingsFile.get(), settings::Key::ShowCores, show ? 1 : 0);
    m_tray.setShowAllProcessorsChecked(show);
    m_sampling.setStripsShown(show);
}

void TAppForm::LiveTrayIcon1Click() {
    m_trayOptions.LiveTrayIcon1Click(SettingsFile.get());
}

void TAppForm::StartAtLogin1Click() {
    m_trayOptions.StartAtLogin1Click(m_environment.executablePath);
}

void TAppForm::UpdateNotifications1Click() {
    if (!m_updates.hasEnded()) {
        return;
    }
    // Takes effect at the next start; this run's check has ended already.
    const bool on = !m_tray.updateNotificationsChecked();
    m_updates.storeShowUpdate(on);
    m_tray.setUpdateNotifications(true, on);
}

void TAppForm::Help1Click() {
    // Never reports anything: a missing browser stays silent.
    platform::openWebAddress(helpAddress(m_identity.ProductName, ServerHost()),
                             m_environment.openUrl);
}

void TAppForm::SendFeedback1Click() {
    // Modeless, so that the tray menu (Exit above all) stays usable while it is open and
    // sending; a second use brings the open one forward.
    if (m_feedbackForm.isNull()) {
        m_feedbackForm = new feedback::TFeedbackForm(m_identity);
        m_feedbackForm->setMessages(m_messages);
    }
    bringForward(m_feedbackForm);
}

void TAppForm::About1Click() {
    if (m_aboutBox.isNull()) {
        m_aboutBox = new about::TAboutBox(m_identity);
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

}  // namespace lsg
