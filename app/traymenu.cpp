// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/traymenu.h"

#include <QAction>
#include <QCursor>
#include <QLoggingCategory>
#include <QMenu>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QToolTip>

#include "app/loadicon.h"
#include "resources/pictures.h"
#include "ui/popupmenu.h"

namespace lsg {
namespace {

// What each tick handed the tray, for those who look (QT_LOGGING_RULES="lsg.tray=true").
Q_LOGGING_CATEGORY(trayLog, "lsg.tray", QtWarningMsg)

// The tooltip is the application's title, held to what the notification area takes.
const QString kApplicationTitle = QStringLiteral("Loadspire Gauge");
constexpr int kMaxTooltip = 127;
constexpr int kBalloonMs = 10000;

}  // namespace

TrayMenu::TrayMenu(QObject* parent)
    : QObject(parent),
      m_menu(new QMenu),
      m_programIcon(res::programIcon()),
      m_load(std::make_shared<LoadIcon>()),
      m_liveIcon(LoadIcon::icon(m_load)),
      m_toolTip(kApplicationTitle.left(kMaxTooltip)) {
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_showWindow = addItem(tr("Show &Form"), nullptr, &TrayMenu::showFormChosen);
    m_settings = addItem(tr("Settings..."), "settings48", &TrayMenu::settingsChosen);
    m_stayOnTop = addItem(tr("Stay On Top"), nullptr, &TrayMenu::stayOnTopChosen, true);
    m_showAllCores =
        addItem(tr("Show All Processors"), nullptr, &TrayMenu::showAllProcessorsChosen, true);
    // The new items take letters no other item uses, so every access key stays as it was.
    m_liveTrayIcon = addItem(tr("Live Tray &Icon"), nullptr, &TrayMenu::liveTrayIconChosen, true);
    m_menu->addSeparator();
    m_updateNotifications =
        addItem(tr("Update Notifications"), nullptr, &TrayMenu::updateNotificationsChosen, true);
    m_updateNotifications->setChecked(true);
    m_updateNotifications->setEnabled(false);
    m_startAtLogin = addItem(tr("Start at &Login"), nullptr, &TrayMenu::startAtLoginChosen, true);
    m_help = addItem(tr("Online Help"), "help", &TrayMenu::helpChosen);
    m_sendFeedback = addItem(tr("S&end Feedback..."), "feedback", &TrayMenu::sendFeedbackChosen);
    m_about = addItem(tr("&About..."), "about", &TrayMenu::aboutChosen);
    m_menu->addSeparator();
    m_exit = addItem(tr("E&xit"), "exit", &TrayMenu::exitChosen);
    m_menu->setDefaultAction(m_exit);

    connect(m_menu, &QMenu::aboutToShow, this, &TrayMenu::menuOpening);
    // The items as the user reads them, in the user's language with their access keys.
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        if (!trayLog().isDebugEnabled()) {
            return;
        }
        QStringList items;
        for (const QAction* action : m_menu->actions()) {
            if (!action->isSeparator()) {
                items << action->text();
            }
        }
        qCDebug(trayLog).noquote() << "menu:" << items.join(QStringLiteral(" | "));
    });

    m_icon = new QSystemTrayIcon(m_programIcon, this);
    m_icon->setToolTip(m_toolTip);
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

void TrayMenu::showLoad(qint64 totalPercent, const QString& caption) {
    // Trays pass every new tooltip on (over D-Bus for a StatusNotifierItem): only a new text.
    const QString toolTip = caption.left(kMaxTooltip);
    if (toolTip != m_toolTip) {
        // A tooltip on the screen reads the new text at once: an XEmbed tray's tooltip is the
        // toolkit's own, which would keep the old text until the next hover (a
        // StatusNotifierItem tray reads it again by itself).
        const bool showing = QToolTip::isVisible() && QToolTip::text() == m_toolTip;
        m_toolTip = toolTip;
        m_icon->setToolTip(m_toolTip);
        qCDebug(trayLog).noquote() << "tooltip:" << m_toolTip;
        if (showing) {
            QToolTip::showText(QCursor::pos(), m_toolTip);
        }
    }
    const bool changed = m_load->push(totalPercent);
    const bool handOver = liveIconChecked() && (changed || !m_showingLive);
    if (handOver) {
        showCurrentIcon();
    }
    qCDebug(trayLog) << "total" << totalPercent << (handOver ? "new picture" : "same picture");
}

void TrayMenu::setLiveIcon(bool on) {
    m_liveTrayIcon->setChecked(on);
    showCurrentIcon();
}

bool TrayMenu::liveIconChecked() const {
    return m_liveTrayIcon->isChecked();
}

void TrayMenu::showCurrentIcon() {
    // The same live icon is handed again: the tray draws it anew, at its size, from the totals.
    m_showingLive = liveIconChecked() && m_load->hasValues();
    m_icon->setIcon(m_showingLive ? m_liveIcon : m_programIcon);
}

void TrayMenu::setStartAtLoginChecked(bool checked) {
    m_startAtLogin->setChecked(checked);
}

bool TrayMenu::startAtLoginChecked() const {
    return m_startAtLogin->isChecked();
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
