// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lsg::platform {

// Starting a program at login through the XDG autostart folders. The session starts each
// entry name once: a user's entry (in $XDG_CONFIG_HOME/autostart, else ~/.config/autostart)
// hides a system entry of the same name (in each $XDG_CONFIG_DIRS folder, else /etc/xdg, +
// /autostart), and an entry with Hidden=true starts nothing.
class AutostartEntry {
public:
    struct Folders {
        QString user;        // empty: no home folder to write to
        QStringList system;  // first wins
    };
    // The folders this session's environment names.
    static Folders sessionFolders();

    // The entry `fileName` ("loadspire.desktop") in those folders.
    AutostartEntry(QString fileName, Folders folders);

    // The user's entry file, whether or not it exists.
    QString userFile() const;
    // Whether the session starts the entry at login: the user's entry when there is one, else
    // the first system entry.
    bool isEnabled() const;
    // Makes the session start the entry at login, once: when a system entry starts it already,
    // the user's entry that hid it is removed; otherwise the user's entry is written with
    // `entryText`. Throws lsg::Exception with a message for the user when the file cannot be
    // written or removed; then nothing has changed.
    void enable(const QByteArray& entryText);
    // Makes the session start nothing of that name: the user's entry is removed, or, when a
    // system entry would then start it, written with `hiddenText` (an entry with Hidden=true).
    // Throws as enable() does.
    void disable(const QByteArray& hiddenText);

private:
    // The first system entry's file; empty when none exists.
    QString systemFile() const;
    void write(const QByteArray& text) const;
    void removeUserFile() const;

    QString m_fileName;
    Folders m_folders;
};

// A program's path as the Exec value of a desktop entry: as it is when it needs no quoting,
// else quoted whole, with the characters that quoting and the value's own escapes reserve
// escaped, so that the session starts exactly that file.
QString desktopExecValue(const QString& program);

// Whether a desktop entry's text starts its program at login: a [Desktop Entry] group that is
// neither Hidden=true nor turned off with X-GNOME-Autostart-enabled=false.
bool desktopEntryStarts(const QByteArray& text);

}  // namespace lsg::platform
