// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/autostart.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/exception.h"
#include "platform/paths.h"

namespace lsg::platform {
namespace {

constexpr char kAutostart[] = "/autostart";
// An entry is a few hundred bytes; nothing larger is read whole.
constexpr qint64 kMaxEntryBytes = 64 * 1024;

QByteArray readEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(kMaxEntryBytes);
}

// Present as a name, a dangling link included: the session would try it, and a write replaces it.
bool nameExists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Creates the missing folders of `folder` as private ones, as the XDG rules ask.
void makeFolders(const QString& folder, const QString& forFile) {
    const QByteArray path = QFile::encodeName(folder);
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end != path.size() && path[end] != '/') {
            continue;
        }
        const QByteArray prefix = path.left(end);
        struct stat st {};
        if (::stat(prefix.constData(), &st) == 0) {
            continue;
        }
        if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST) {
            throw Exception(
                QCoreApplication::translate("lsg::platform::Autostart", "Unable to write to %1: %2")
                    .arg(forFile, systemErrorText(errno)));
        }
    }
}

bool isTrue(const QByteArray& value) {
    return value == "true";
}

bool isFalse(const QByteArray& value) {
    return value == "false";
}

}  // namespace

AutostartEntry::Folders AutostartEntry::sessionFolders() {
    Folders folders;
    const QString config = roamingAppDataFolder();
    if (!config.isEmpty()) {
        folders.user = config + QLatin1String(kAutostart);
    }
    // The XDG rules ignore relative entries, and an empty or unset list means /etc/xdg.
    for (const QString& dir : QString::fromLocal8Bit(qgetenv("XDG_CONFIG_DIRS")).split(u':')) {
        if (dir.startsWith(u'/')) {
            folders.system.append(dir + QLatin1String(kAutostart));
        }
    }
    if (folders.system.isEmpty()) {
        folders.system.append(QStringLiteral("/etc/xdg") + QLatin1String(kAutostart));
    }
    return folders;
}

AutostartEntry::AutostartEntry(QString fileName, Folders folders)
    : m_fileName(std::move(fileName)), m_folders(std::move(folders)) {}

QString AutostartEntry::userFile() const {
    return m_folders.user.isEmpty() ? QString() : m_folders.user + u'/' + m_fileName;
}

QString AutostartEntry::systemFile() const {
    for (const QString& folder : m_folders.system) {
        const QString path = folder + u'/' + m_fileName;
        if (nameExists(path)) {
            return path;
        }
    }
    return {};
}

bool AutostartEntry::isEnabled() const {
    const QString user = userFile();
    if (!user.isEmpty() && nameExists(user)) {
        return desktopEntryStarts(readEntry(user));
    }
    const QString system = systemFile();
    return !system.isEmpty() && desktopEntryStarts(readEntry(system));
}

void AutostartEntry::enable(const QByteArray& entryText) {
    const QString system = systemFile();
    if (!system.isEmpty() && desktopEntryStarts(readEntry(system))) {
        // A second entry of ours would start a second copy.
        removeUserFile();
        return;
    }
    write(entryText);
}

void AutostartEntry::disable(const QByteArray& hiddenText) {
    const QString system = systemFile();
    if (!system.isEmpty() && desktopEntryStarts(readEntry(system))) {
        write(hiddenText);
        return;
    }
    removeUserFile();
}

void AutostartEntry::write(const QByteArray& text) const {
    const QString path = userFile();
    if (path.isEmpty()) {
        throw Exception(QCoreApplication::translate(
            "lsg::platform::Autostart", "Unable to write to the autostart folder: no home folder"));
    }
    makeFolders(m_folders.user, path);
    // Whole or not at all: a half-written entry could start something else at the next login.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        throw Exception(
            QCoreApplication::translate("lsg::platform::Autostart", "Unable to write to %1: %2")
                .arg(path, file.errorString()));
    }
}

void AutostartEntry::removeUserFile() const {
    const QString path = userFile();
    if (path.isEmpty() || !nameExists(path)) {
        return;
    }
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        throw Exception(
            QCoreApplication::translate("lsg::platform::Autostart", "Unable to remove %1: %2")
                .arg(path, systemErrorText(errno)));
    }
}

QString desktopExecValue(const QString& program) {
    // Characters that make the argument need quotes (the desktop entry rules' reserved ones).
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = program.isEmpty();
    for (QChar c : program) {
        if (reserved.contains(c) || c.unicode() < 0x20) {
            quote = true;
            break;
        }
    }
    QString argument;
    if (quote) {
        argument += u'"';
        for (QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                argument += u'\\';
            }
            argument += c;
        }
        argument += u'"';
    } else {
        argument = program;
    }
    // Then the value's own escapes, which the reader undoes first; a % would be a field code.
    QString value;
    for (QChar c : argument) {
        switch (c.unicode()) {
            case u'\\':
                value += QStringLiteral("\\\\");
                break;
            case u'\n':
                value += QStringLiteral("\\n");
                break;
            case u'\t':
                value += QStringLiteral("\\t");
                break;
            case u'\r':
                value += QStringLiteral("\\r");
                break;
            case u'%':
                value += QStringLiteral("%%");
                break;
            default:
                value += c;
        }
    }
    return value;
}

bool desktopEntryStarts(const QByteArray& text) {
    bool inEntry = false;
    bool sawEntry = false;
    bool starts = true;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry) {
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            continue;
        }
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if ((key == "Hidden" && isTrue(value)) ||
            (key == "X-GNOME-Autostart-enabled" && isFalse(value))) {
            starts = false;
        }
    }
    return sawEntry && starts;
}

}  // namespace lsg::platform
