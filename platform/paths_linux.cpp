// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

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

namespace {

constexpr char kProbeName[] = "chk.tmp";

bool hasWriteBits(const QByteArray& folder) {
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// The named probe, for file systems without unnamed files. A probe left by a killed start of
// ours (an empty regular file of this user) is removed first rather than taken as a refusal.
bool probeWithName(const QByteArray& folder) {
    const QByteArray path = folder + kProbeName;
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 &&
        st.st_uid == ::geteuid()) {
        ::unlink(path.constData());
    }
    // O_EXCL: anything else named chk.tmp makes the probe fail, as a create-new would.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(path.constData());
    return true;
}

}  // namespace

bool IsFolderWritable(const QString& folder) {
    QString path = folder;
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    const QByteArray native = QFile::encodeName(path);
    if (!hasWriteBits(native)) {
        return false;
    }
    // An unnamed file needs the same rights as a named one and vanishes with its descriptor,
    // so a kill between create and delete leaves nothing behind.
    const int fd = ::open(native.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        return probeWithName(native);
    }
    return false;
}

bool isSystemLocation(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    for (const char* root : {"/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        const QString prefix = QLatin1String(root);
        if (clean == prefix || clean.startsWith(prefix + u'/')) {
            return true;
        }
    }
    return false;
}

bool startDetached(const QString& program) {
    return QProcess::startDetached(program, {});
}

}  // namespace lsg::platform
