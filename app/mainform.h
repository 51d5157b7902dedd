// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/geometrywriter.h"
#include "app/samplingcontroller.h"
#include "app/traymenu.h"
#include "app/trayoptions.h"
#include "app/updatenotifier.h"
#include "core/gadgetsettings.h"
#include "core/identity.h"
#include "platform/openurl.h"
#include "ui/messages.h"

namespace lsg {

class IniFile;
class StartupPlacement;
class TForm2;
class TSettingsForm;
namespace feedback {
class TFeedbackForm;
}
namespace about {
class TAboutBox;
}

// The hidden main form: it runs start-up, owns the gadget, the tray and its menu, the sampling,
// the update check and the settings file, and answers the menu's commands under their handler
// names. It is never shown.
class TAppForm : public QObject {
    Q_OBJECT

public:
    // What start-up reads from the machine; tests replace it.
    struct Environment {
        QString executablePath;        // empty: the running executable
        UsageSource* usage = nullptr;  // null: this machine's sampler
        // Apply the saved place and size again once the window manager has framed the gadget
        // (an X11 matter; Qt's offscreen test platform frames windows inconsistently).
        bool placeAfterFraming = true;
        // The frame the window manager put around the gadget; null while it has none yet.
        // Empty: measured from the window.
        std::function<QMargins(const TForm2&)> frameMargins;
        // Whether a tray can show the icon right now. Empty: asks the desktop.
        std::function<bool()> trayAvailable;
        // Ends the program. Empty: QApplication::quit().
        std::function<void()> quit;
        // Lets go of this copy's claim to be the only one, so that the fresh copy Reset to
        // Defaults starts can run. Empty: there is nothing to let go of.
        std::function<void()> releaseInstance;
        // Starts the fresh copy of Reset to Defaults. Empty: a detached start.
        std::function<bool(const QString&)> startDetached;
        // Stand-ins for the message boxes and the browser; empty members are the real ones.
        ui::MessageHooks messages;
        platform::UrlOpener openUrl;
    };

    explicit TAppForm(QObject* parent = nullptr);
    explicit TAppForm(Environment environment, QObject* parent = nullptr);
    ~TAppForm() override;

    // The one pass of start-up, in the named steps below. An error is reported and the program
    // goes on; a failing sampler skips only the steps that need it (the sampling tick retries
    // them), a malformed look ends the look step.
    void FormCreate();

    // The steps of start-up, in order; public so that each can be tested on its own.
    void readIdentity();
    void createGadget();
    // Beside the executable when that folder takes new files, else the user's config folder;
    // opens settings.ini there and reads it.
    void chooseDataFolder();
    void restoreGeometry(const settings::GadgetSettings& saved);
    // Counts the processors and builds the strips; false, after reporting the sampler's error,
    // when it failed (the sampling tick tries again).
    bool countProcessors();
    void showGadget();
    void applyStayOnTop(const settings::GadgetSettings& saved);
    // Colours and font; throws the error of the first malformed value, after applying those
    // before it.
    void applyLook(const settings::GadgetSettings& saved);

    // Timer and menu handlers, public so that tests can run them; each passes the work to the
    // part that does it.
    void Timer1Timer();
    void TimerStayOnTopTimer();
    void TimerCheckerTimer();
    void TrayIcon1Click();
    void ShowWindow1Click();
    void Settings1Click();
    void StayOnTop1Click();
    void ShowAllCores1Click();
    void LiveTrayIcon1Click();
    void UpdateNotifications1Click();
    void StartAtLogin1Click();
    void Help1Click();
    void SendFeedback1Click();
    void About1Click();
    void Exit1Click();

    const AppIdentity& identity() const { return m_identity; }
    TForm2* gadget() const { return m_gadget; }
    TrayMenu& trayMenu() { return m_tray; }
    // Present once the gadget exists.
    StartupPlacement* placement() const { return m_placement.get(); }
    const settings::GadgetSettings& savedSettings() const { return m_saved; }
    // The folder of settings.ini, ending in '/'; empty before start-up chose it.
    const QString& dataFolder() const { return DataFolder; }
    bool isSampling() const { return m_sampling.isRunning(); }
    bool isStayingOnTop() const { return TimerStayOnTop.isActive(); }
    // The settings windows open right now.
    std::vector<TSettingsForm*> settingsForms() const;
    // The feedback dialog and the About box while one is open; null otherwise.
    feedback::TFeedbackForm* feedbackForm() const;
    about::TAboutBox* aboutBox() const;

private:
    void FormCreateSteps();
    void connectMenu();
    // Whether a move or resize of the gadget reported now is the user's, to be written.
    bool changedByTheUser() const;
    void gadgetMoved(const QPoint& position);
    void gadgetResized(const QSize& outerSize);
    void gadgetDragFinished(bool moved);
    void gadgetClosed();

    Environment m_environment;
    ui::Messages m_messages;
    AppIdentity m_identity;
    QString DataFolder;                     // folder of settings.ini, always ending in '/'
    std::unique_ptr<IniFile> SettingsFile;  // the file's one accessor, for the whole run
    settings::GadgetSettings m_saved;       // as read at start-up
    // True once the gadget has first been shown; until then moves and resizes are the
    // program's own and are not written.
    bool StartupComplete = false;

    TrayMenu m_tray;
    TrayOptions m_trayOptions{m_tray};
    SamplingController m_sampling;
    UpdateNotifier m_updates;
    GeometryWriter m_geometry;
    QTimer TimerStayOnTop;
    TForm2* m_gadget = nullptr;
    std::unique_ptr<StartupPlacement> m_placement;
    std::vector<QPointer<TSettingsForm>> m_settingsForms;
    // Modeless, one of each at a time, so that the tray menu stays usable while they are open.
    QPointer<feedback::TFeedbackForm> m_feedbackForm;
    QPointer<about::TAboutBox> m_aboutBox;
};

// The online help's address: the product's name in lower case, blanks as hyphens.
QString helpAddress(const QString& productName, const QString& serverHost);

}  // namespace lsg
