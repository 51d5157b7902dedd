// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/gadgetsettings.h"
#include "core/placement.h"
#include "core/samplingtick.h"
#include "platform/openurl.h"
#include "ui/messages.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace lsg {

class ChartSeries;
class IniFile;
class TForm2;
class TNewVer;
class TSettingsForm;
namespace check {
class UpdateCheck;
}
namespace adCpuUsage {
class Sampler;
}
namespace feedback {
class TFeedbackForm;
}
namespace about {
class TAboutBox;
}

// The hidden main form: it owns the tray icon, the menu and the timers, and builds the gadget
// at start-up. It is never shown.
class TAppForm : public QObject {
    Q_OBJECT

public:
    // What start-up reads from the machine; tests replace it.
    struct Environment {
        QString executablePath;                         // empty: the running executable
        std::function<std::int32_t()> countProcessors;  // empty: the sampler's count
        UsageSource* usage = nullptr;                   // null: the sampler
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
        // Stand-ins for the message boxes and the browser; empty members are the real ones.
        ui::MessageHooks messages;
        ui::UrlOpener openUrl;
    };

    explicit TAppForm(QObject* parent = nullptr);
    explicit TAppForm(Environment environment, QObject* parent = nullptr);
    ~TAppForm() override;

    // The one pass of start-up, in the named steps below. An error is reported and the program
    // goes on; a failing sampler skips only the steps that need it (they are retried by the
    // sampling tick), a malformed look ends the look step.
    void FormCreate();

    // The steps of start-up, in order; public so that each can be tested on its own.
    void readIdentity();
    void createGadget();
    // Beside the executable when that folder takes new files, else the user's config folder;
    // opens settings.ini there and reads it.
    void chooseDataFolder();
    void restoreGeometry(const settings::GadgetSettings& saved);
    // Counts the processors and builds the strips; false when the sampler failed (the tick
    // tries again).
    bool countProcessors();
    void showGadget();
    void applyStayOnTop(const settings::GadgetSettings& saved);
    // Colours and font; throws the error of the first malformed value, after applying those
    // before it.
    void applyLook(const settings::GadgetSettings& saved);

    // One check whether the window manager has framed the gadget; once it has, the saved place
    // and size are applied again, as the frame's. Checks again later while not framed or not
    // yet settled in its place, after the release while a button is held on the gadget, and
    // never once the user has moved it.
    void placeAfterFraming();

    TForm2* gadget() const { return m_gadget; }
    QMenu* popupMenu() const { return PopupMenu1; }
    QSystemTrayIcon* trayIcon() const { return TrayIcon1; }
    const settings::GadgetSettings& savedSettings() const { return m_saved; }
    // The settings windows open right now.
    std::vector<TSettingsForm*> settingsForms() const;
    // The feedback dialog and the About box while one is open; null otherwise.
    feedback::TFeedbackForm* feedbackForm() const;
    about::TAboutBox* aboutBox() const;

    // Menu commands and timer handlers, public so that tests can run them.
    void Timer1Timer();
    void TimerStayOnTopTimer();
    void TimerCheckerTimer();
    void TrayIcon1Click();
    void ShowWindow1Click();
    void Settings1Click();
    void StayOnTop1Click();
    void ShowAllCores1Click();
    void UpdateNotifications1Click();
    void Help1Click();
    void SendFeedback1Click();
    void About1Click();
    void Exit1Click();

    QTimer Timer1;
    QTimer TimerChecker;
    QTimer TimerStayOnTop;

    QAction* ShowWindow1 = nullptr;
    QAction* Settings1 = nullptr;
    QAction* StayOnTop1 = nullptr;
    QAction* ShowAllCores1 = nullptr;
    QAction* UpdateNotifications1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* SendFeedback1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Exit1 = nullptr;

private:
    void buildMenu();
    void FormCreateSteps();
    void buildStrips(qint64 instances);
    void gadgetMoved(const QPoint& position);
    void writePendingPlace();
    void gadgetResized(const QSize& outerSize);
    void gadgetDragFinished(bool moved);
    void checkFramingAgain();  // the next framing check, while any are left
    void gadgetClosed();
    void createUpdatePopup();

    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TForm2* m_gadget = nullptr;
    // The settings file, for the whole run; SettingsFile points at it.
    std::unique_ptr<IniFile> m_settingsFile;
    settings::GadgetSettings m_saved;    // as read at start-up
    placement::SavedPlace m_savedPlace;  // Left and Top as saved, each absent when not stored
    QSize m_savedOuterSize;
    QTimer m_framingTimer;  // the next framing check
    // A place the gadget was moved to and not yet written: moves are written at most every
    // kPlaceWriteMs, the last one by this timer, and the place at the end of a drag at once.
    std::optional<QPoint> m_pendingPlace;
    QElapsedTimer m_sincePlaceWritten;
    QTimer m_placeWriteTimer;
    int m_framingChecksLeft = 0;
    int m_settledChecks = 0;           // framing checks in a row that found the gadget in its place
    int m_placements = 0;              // places asked for since the gadget was shown
    bool m_placeAfterRelease = false;  // a framing check met a held button
    bool m_userPlaced = false;         // the user moved the gadget: no re-placing any more
    bool m_processorsCounted = false;
    ChartPushState m_charts;
    std::vector<ChartSeries*> m_stripSeries;  // strip i at index i - 1
    std::vector<QPointer<TSettingsForm>> m_settingsForms;
    // Modeless, one of each at a time, so that the tray menu stays usable while they are open.
    QPointer<feedback::TFeedbackForm> m_feedbackForm;
    QPointer<about::TAboutBox> m_aboutBox;
    Environment m_environment;
    ui::Messages m_messages;
    std::unique_ptr<check::UpdateCheck> m_check;
    // The sampler, when the environment brings no usage source of its own.
    std::unique_ptr<adCpuUsage::Sampler> m_sampler;
    std::unique_ptr<UsageSource> m_samplerUsage;
    std::unique_ptr<TNewVer> NewVer;  // the update popup, once the check has asked for it
};

// The menu's texts and the help address, kept apart from the widgets for tests.
QString helpAddress(const QString& productName, const QString& serverHost);

}  // namespace lsg
