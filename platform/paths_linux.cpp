// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lsg::platform {

QString executablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString executableFolder() {
    QString folder = QFileInfo(executablePath()).absolutePath();
    if (!folder.endsWith(u'/')) {
        folder += u'/';
    }
    return folder;
}

QString roamingAppDataFolder() {
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative value.
    if (!xdg.isEmpty() && xdg.startsWith('/')) {
        return QDir::cleanPath(QString::fromLocal8Bit(xdg));
    }
    const QString home = QDir::homePath();
    if (home.isEmpty()) {
        return {};
    }
    return QDir::cleanPath(home + QStringLiteral("/.config"));
}

void createFolder(const QString& path) {
    QDir().mkpath(path);
}

bool IsFolderWritable(const QString& folder) {
    QString path = folder;
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    path += QStringLiteral("chk.tmp");
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: an existing chk.tmp makes the probe fail, as a create-new would.
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(native.constData());
    return true;
}

bool startDetached(const QString& program) {
    return QProcess::startDetached(program, {});
}

void holdNamedMutex(const QString& name) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        return;
    }
    const QByteArray path = QFile::encodeName(dir + u'/' + name + QStringLiteral(".lock"));
    // A shared lock never blocks a second copy; the descriptor is kept open until exit.
    const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::flock(fd, LOCK_SH | LOCK_NB);
    }
}

}  // namespace lsg::platform
