// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/atomicsave.h"

#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace lsg {

namespace {

constexpr char kTemporaryMark[] = ".tmp";
// The temporary's suffix is a 24-bit random number in base 36: one to five characters.
constexpr qsizetype kMaxSuffixLength = 5;

// Creates a new, unused file beside `target`; the kernel applies the umask to its mode.
int createTemporary(const QByteArray& target, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + kTemporaryMark +
               QByteArray::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool isTemporaryName(const char* entry, const QByteArray& base) {
    const size_t length = std::strlen(entry);
    const size_t prefix = size_t(base.size()) + sizeof(kTemporaryMark) - 1;
    if (length <= prefix || length > prefix + kMaxSuffixLength ||
        std::memcmp(entry, base.constData(), size_t(base.size())) != 0 ||
        std::memcmp(entry + base.size(), kTemporaryMark, sizeof(kTemporaryMark) - 1) != 0) {
        return false;
    }
    for (const char* c = entry + prefix; *c != 0; ++c) {
        if (!((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'z'))) {
            return false;
        }
    }
    return true;
}

bool writeAll(int fd, const QByteArray& data) {
    const char* next = data.constData();
    qsizetype left = data.size();
    off_t offset = 0;
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, next, size_t(left), offset);
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
        offset += written;
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

void removeStaleTemporaries(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax<qsizetype>(slash, 1));
    const QByteArray base = target.mid(slash + 1);
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        return;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name, base)) {
            continue;
        }
        // Not through links, and never another user's file that happens to match.
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid()) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

bool saveFileInPlace(const QString& path, const QByteArray& data, const QByteArray& old) {
    const QByteArray target = QFile::encodeName(path);
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        ok = writeAll(fd, data) && ::ftruncate(fd, off_t(data.size())) == 0;
        if (!ok) {
            // A full disk may have taken part of the new text: the old one fits where it was.
            if (writeAll(fd, old)) {
                [[maybe_unused]] const int ignored = ::ftruncate(fd, off_t(old.size()));
            }
        }
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

}  // namespace lsg
