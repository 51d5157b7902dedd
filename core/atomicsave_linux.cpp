// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/atomicsave.h"

#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace lsg {

namespace {

// Creates a new, unused file beside `target`; the kernel applies the umask to its mode.
int createTemporary(const QByteArray& target, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp" +
               QByteArray::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool writeAll(int fd, const QByteArray& data) {
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool saveFileAtomically(const QString& path, const QByteArray& data) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, data);
    struct stat old {};
    if (ok && ::stat(target.constData(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Only a privileged writer can hand the file back to its owner; others already are it.
        if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
            [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
        }
    }
    // No fsync: every move of the gadget writes, and a sync per write costs about 10 ms here
    // against 1.5 ms without, which would stall dragging. Data handed to the kernel survives a
    // killed process, and ext4 (auto_da_alloc) writes a file replaced by rename before the
    // rename itself.
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

}  // namespace lsg
