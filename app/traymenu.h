// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace lsg {

class LoadIcon;

// The notification-area icon (TrayIcon1) and the popup menu (PopupMenu1) it and the gadget open:
// the items in their order, with their access keys, pictures and check marks. It only shows
// and reports; what a command does is its owner's, told through the signals below. A check
// mark changes only when the owner sets it, after the command has taken effect.
class TrayMenu : public QObject {
    Q_OBJECT

public:
    explicit TrayMenu(QObject* parent = nullptr);
    ~TrayMenu() override;

    // Puts the icon in the notification area.
    void showIcon();
    // Opens the menu at a screen point on behalf of a window (the gadget's right click).
    void popupFor(QWidget* owner, const QPoint& screenPosition);
    // The tray's balloon with the information icon, for the toolkit's ten seconds.
    void showBalloon(const QString& title, const QString& text);
    // A sampling tick's total load and caption: the tooltip reads the caption, and the live
    // icon shows the last ten totals. The tray is handed only what changed.
    void showLoad(qint64 totalPercent, const QString& caption);

    void setStayOnTopChecked(bool checked);
    bool stayOnTopChecked() const;
    void setShowAllProcessorsChecked(bool checked);
    bool showAllProcessorsChecked() const;
    // Enabled once the update check has ended; checked while notifications are on.
    void setUpdateNotifications(bool enabled, bool checked);
    bool updateNotificationsChecked() const;
    // Checked: the icon shows the load (from the first total on); else the program icon.
    void setLiveIcon(bool on);
    bool liveIconChecked() const;
    void setStartAtLoginChecked(bool checked);
    bool startAtLoginChecked() const;

    // The items, for those that drive the menu as a user would (tests trigger them).
    QAction* ShowWindow1() const { return m_showWindow; }
    QAction* Settings1() const { return m_settings; }
    QAction* StayOnTop1() const { return m_stayOnTop; }
    QAction* ShowAllCores1() const { return m_showAllCores; }
    QAction* LiveTrayIcon1() const { return m_liveTrayIcon; }
    QAction* UpdateNotifications1() const { return m_updateNotifications; }
    QAction* StartAtLogin1() const { return m_startAtLogin; }
    QAction* Help1() const { return m_help; }
    QAction* SendFeedback1() const { return m_sendFeedback; }
    QAction* About1() const { return m_about; }
    QAction* Exit1() const { return m_exit; }
    QMenu* PopupMenu1() const { return m_menu; }
    QSystemTrayIcon* TrayIcon1() const { return m_icon; }
    // The live icon's pictures and the totals they show.
    const LoadIcon& loadIcon() const { return *m_load; }

signals:
    // A left click on the icon.
    void trayClicked();
    void showFormChosen();
    void settingsChosen();
    void stayOnTopChosen();
    void showAllProcessorsChosen();
    void liveTrayIconChosen();
    void updateNotificationsChosen();
    void startAtLoginChosen();
    // The menu is about to open, from the tray or the gadget.
    void menuOpening();
    void helpChosen();
    void sendFeedbackChosen();
    void aboutChosen();
    void exitChosen();

private:
    QAction* addItem(const QString& caption, const char* image, void (TrayMenu::*chosen)(),
                     bool checkable = false);
    // The live icon while it is on and has a total to show, else the program icon.
    void showCurrentIcon();

    QMenu* m_menu = nullptr;  // a top-level window: deleted with this object
    QSystemTrayIcon* m_icon = nullptr;
    QAction* m_showWindow = nullptr;
    QAction* m_settings = nullptr;
    QAction* m_stayOnTop = nullptr;
    QAction* m_showAllCores = nullptr;
    QAction* m_liveTrayIcon = nullptr;
    QAction* m_updateNotifications = nullptr;
    QAction* m_startAtLogin = nullptr;
    QAction* m_help = nullptr;
    QAction* m_sendFeedback = nullptr;
    QAction* m_about = nullptr;
    QAction* m_exit = nullptr;

    QIcon m_programIcon;
    std::shared_ptr<LoadIcon> m_load;
    QIcon m_liveIcon;  // draws m_load
    bool m_showingLive = false;
    QString m_toolTip;  // as last handed to the tray
};

}  // namespace lsg
