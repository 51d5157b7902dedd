// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/placement.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace lsg {

class ChartSeries;
class TForm2;
class TNewVer;
class UsageSource;
namespace check {
class UpdateCheck;
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
    };

    explicit TAppForm(QObject* parent = nullptr);
    explicit TAppForm(Environment environment, QObject* parent = nullptr);
    ~TAppForm() override;

    // The one pass of start-up. An error ends it early; it is reported and the program goes on.
    void FormCreate();

    TForm2* gadget() const { return m_gadget; }
    QMenu* popupMenu() const { return PopupMenu1; }
    QSystemTrayIcon* trayIcon() const { return TrayIcon1; }
    bool trayAvailable() const { return m_trayAvailable; }

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
    void placeAfterFraming(int checksLeft);
    void gadgetClosed();
    void createUpdatePopup();

    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TForm2* m_gadget = nullptr;
    bool m_trayAvailable = false;
    placement::SavedPlace m_savedPlace;
    QSize m_savedOuterSize;                   // held saved sizes; 0 where none is saved
    std::vector<ChartSeries*> m_stripSeries;  // strip i at index i - 1
    Environment m_environment;
    std::unique_ptr<check::UpdateCheck> m_check;
    std::unique_ptr<TNewVer> NewVer;  // the update popup, once the check has asked for it
};

// The menu's texts and the help address, kept apart from the widgets for tests.
QString helpAddress(const QString& productName, const QString& serverHost);

}  // namespace lsg
