// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>

namespace lsg {

class IniFile;
class TrayMenu;

// The tray's two options and their menu items: the live icon, kept in settings.ini, and start at
// login, kept as the XDG autostart entry loadspire.desktop, whose presence is the state. A check
// mark shows what took effect: a refused write is reported and leaves it as it was.
class TrayOptions {
public:
    explicit TrayOptions(TrayMenu& tray) : m_tray(tray) {}

    // Once settings.ini is open (null: none could be): the live icon as stored, and the
    // start-at-login mark as the autostart folders say.
    void load(const IniFile* settings);
    // The autostart entry may have changed by other hands since: read again (the menu opens).
    void refreshStartAtLogin();

    void LiveTrayIcon1Click(IniFile* settings);
    // `program`: the path the entry starts, this program's own.
    void StartAtLogin1Click(const QString& program);

    // What the program writes as its autostart entry, and as the one that hides a system entry.
    static QByteArray autostartEntryText(const QString& program);
    static QByteArray hiddenEntryText(const QString& program);

private:
    TrayMenu& m_tray;
};

}  // namespace lsg
