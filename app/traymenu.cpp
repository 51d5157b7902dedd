// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/traymenu.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QSystemTrayIcon>

#include "resources/pictures.h"
#include "ui/popupmenu.h"

namespace lsg {
namespace {

// The tooltip is the application's title, held to what the notification area takes.
const QString kApplicationTitle = QStringLiteral("Loadspire Gauge");
constexpr int kMaxTooltip = 127;
constexpr int kBalloonMs = 10000;

}  // namespace

TrayMenu::TrayMenu(QObject* parent) : QObject(parent), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_showWindow = addItem(QStringLiteral("Show &Form"), nullptr, &TrayMenu::showFormChosen);
    m_settings = addItem(QStringLiteral("Settings..."), "settings48", &TrayMenu::settingsChosen);
    m_stayOnTop = addItem(QStringLiteral("Stay On Top"), nullptr, &TrayMenu::stayOnTopChosen, true);
    m_showAllCores = addItem(QStringLiteral("Show All Processors"), nullptr,
                             &TrayMenu::showAllProcessorsChosen, true);
    m_menu->addSeparator();
    m_updateNotifications = addItem(QStringLiteral("Update Notifications"), nullptr,
                                    &TrayMenu::updateNotificationsChosen, true);
    m_updateNotifications->setChecked(true);
    m_updateNotifications->setEnabled(false);
    m_help = addItem(QStringLiteral("Online Help"), "help", &TrayMenu::helpChosen);
    m_sendFeedback =
        addItem(QStringLiteral("S&end Feedback..."), "feedback", &TrayMenu::sendFeedbackChosen);
    m_about = addItem(QStringLiteral("&About..."), "about", &TrayMenu::aboutChosen);
    m_menu->addSeparator();
    m_exit = addItem(QStringLiteral("E&xit"), "exit", &TrayMenu::exitChosen);
    m_menu->setDefaultAction(m_exit);

    m_icon = new QSystemTrayIcon(res::programIcon(), this);
    m_icon->setToolTip(kApplicationTitle.left(kMaxTooltip));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    emit trayClicked();
                }
            });
}

TrayMenu::~TrayMenu() {
    delete m_menu;
}

QAction* TrayMenu::addItem(const QString& caption, const char* image, void (TrayMenu::*chosen)(),
                           bool checkable) {
    QAction* action = m_menu->addAction(caption);
    if (image != nullptr) {
        action->setIcon(res::menuIcon(QString::fromLatin1(image)));
    }
    if (checkable) {
        action->setCheckable(true);
        // Qt toggles a checkable item before it reports the click: the mark goes back, and the
        // owner sets it once the command has taken effect.
        connect(action, &QAction::triggered, this, [action](bool checked) {
            const QSignalBlocker block(action);
            action->setChecked(!checked);
        });
    }
    connect(action, &QAction::triggered, this, [this, chosen] { emit(this->*chosen)(); });
    return action;
}

void TrayMenu::showIcon() {
    m_icon->show();
}

void TrayMenu::popupFor(QWidget* owner, const QPoint& screenPosition) {
    ui::popupMenuFor(m_menu, owner, screenPosition);
}

void TrayMenu::showBalloon(const QString& title, const QString& text) {
    m_icon->showMessage(title, text, QSystemTrayIcon::Information, kBalloonMs);
}

void TrayMenu::setStayOnTopChecked(bool checked) {
    m_stayOnTop->setChecked(checked);
}

bool TrayMenu::stayOnTopChecked() const {
    return m_stayOnTop->isChecked();
}

void TrayMenu::setShowAllProcessorsChecked(bool checked) {
    m_showAllCores->setChecked(checked);
}

bool TrayMenu::showAllProcessorsChecked() const {
    return m_showAllCores->isChecked();
}

void TrayMenu::setUpdateNotifications(bool enabled, bool checked) {
    m_updateNotifications->setEnabled(enabled);
    m_updateNotifications->setChecked(checked);
}

bool TrayMenu::updateNotificationsChecked() const {
    return m_updateNotifications->isChecked();
}

}  // namespace lsg
