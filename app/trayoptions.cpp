// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/trayoptions.h"

#include <QScopeGuard>

#include "app/traymenu.h"
#include "core/settingskeys.h"
#include "platform/autostart.h"

namespace lsg {
namespace {

// The same name as the menu entry the package installs: an entry copied from it by hand is this
// one, never a second.
const QString kEntryName = QStringLiteral("loadspire.desktop");

platform::AutostartEntry sessionEntry() {
    return {kEntryName, platform::AutostartEntry::sessionFolders()};
}

}  // namespace

void TrayOptions::load(const IniFile* settings) {
    m_tray.setLiveIcon(settings::readLiveTrayIcon(settings));
    refreshStartAtLogin();
}

void TrayOptions::refreshStartAtLogin() {
    m_tray.setStartAtLoginChecked(sessionEntry().isEnabled());
}

void TrayOptions::LiveTrayIcon1Click(IniFile* settings) {
    const bool on = !m_tray.liveIconChecked();
    settings::writeLiveTrayIcon(settings, on);
    m_tray.setLiveIcon(on);
}

void TrayOptions::StartAtLogin1Click(const QString& program) {
    platform::AutostartEntry entry = sessionEntry();
    const bool on = !entry.isEnabled();
    // Whether it worked or not, the mark shows what the folders now say.
    const auto showState =
        qScopeGuard([this, &entry] { m_tray.setStartAtLoginChecked(entry.isEnabled()); });
    if (on) {
        entry.enable(autostartEntryText(program));
    } else {
        entry.disable(hiddenEntryText(program));
    }
}

QByteArray TrayOptions::autostartEntryText(const QString& program) {
    // The package's menu entry, started by this very program's path.
    return QByteArrayLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Loadspire Gauge\n"
               "Comment=Shows how busy the processor is\n"
               "Icon=loadspire\n"
               "Exec=") +
           platform::desktopExecValue(program).toUtf8() +
           QByteArrayLiteral(
               "\n"
               "Terminal=false\n"
               "StartupNotify=false\n");
}

QByteArray TrayOptions::hiddenEntryText(const QString& program) {
    return autostartEntryText(program) + QByteArrayLiteral("Hidden=true\n");
}

}  // namespace lsg
