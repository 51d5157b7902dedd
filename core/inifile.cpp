// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/inifile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <thread>

#include "core/atomicsave.h"
#include "core/settingsformat.h"
#include "platform/exception.h"

namespace lsg {

namespace {

// What the profile functions skip around names and values.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

struct Range {
    qsizetype begin = 0;
    qsizetype end = 0;
};

Range trimmed(const QByteArray& data, Range r) {
    while (r.begin < r.end && isBlank(data[r.begin])) {
        ++r.begin;
    }
    while (r.end > r.begin && isBlank(data[r.end - 1])) {
        --r.end;
    }
    return r;
}

// Names and values are UTF-8; a file written elsewhere in a single-byte code page still gives
// every byte a character instead of replacement marks.
QString decode(const QByteArray& data, Range r) {
    const QByteArrayView bytes(data.constData() + r.begin, r.end - r.begin);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

bool sameName(const QByteArray& data, Range name, QStringView wanted) {
    return decode(data, name).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Searches one line only, so that a file of many lines stays a linear scan.
qsizetype find(const QByteArray& data, char c, Range r) {
    const qsizetype at = QByteArrayView(data).sliced(r.begin, r.end - r.begin).indexOf(c);
    return at < 0 ? -1 : r.begin + at;
}

enum class LineKind { Blank, Comment, Other, Section, Entry };

struct Line {
    qsizetype begin = 0;       // first byte of the line
    qsizetype contentEnd = 0;  // before the line break ("\n" or "\r\n")
    qsizetype end = 0;         // after the line break
    LineKind kind = LineKind::Blank;
    Range name;   // section or key name, trimmed
    Range value;  // entry value, trimmed
};

// Cuts the line starting at `begin` and tells what it holds. Never reads outside the data.
Line lineAt(const QByteArray& data, qsizetype begin) {
    Line line;
    line.begin = begin;
    const qsizetype newline = data.indexOf('\n', begin);
    line.end = newline < 0 ? data.size() : newline + 1;
    line.contentEnd = newline < 0 ? data.size() : newline;
    if (line.contentEnd > begin && data[line.contentEnd - 1] == '\r') {
        --line.contentEnd;
    }
    qsizetype start = begin;
    if (begin == 0 && data.startsWith("\xEF\xBB\xBF")) {
        start = qMin<qsizetype>(3, line.contentEnd);
    }
    const Range content = trimmed(data, {start, line.contentEnd});
    if (content.begin == content.end) {
        return line;
    }
    if (data[content.begin] == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    if (data[content.begin] == '[') {
        qsizetype close = find(data, ']', {content.begin + 1, content.end});
        if (close < 0) {
            close = content.end;
        }
        line.kind = LineKind::Section;
        line.name = trimmed(data, {content.begin + 1, close});
        return line;
    }
    const qsizetype equals = find(data, '=', content);
    if (equals < 0) {
        line.kind = LineKind::Other;
        return line;
    }
    line.kind = LineKind::Entry;
    line.name = trimmed(data, {content.begin, equals});
    line.value = trimmed(data, {equals + 1, content.end});
    return line;
}

// Where a key of a section sits, or where a new one would go.
struct Location {
    bool sectionFound = false;
    bool entryFound = false;
    Line entry;                     // the key's line when found
    qsizetype insertAt = 0;         // after the section's last content line (or its header)
    bool insertNeedsBreak = false;  // that line is the file's last and has no line break
};

// Only the first section of the name counts, and in it the first entry of the key.
Location locate(const QByteArray& data, QStringView section, QStringView key) {
    Location where;
    bool inSection = false;
    for (qsizetype pos = 0; pos < data.size();) {
        const Line line = lineAt(data, pos);
        pos = line.end;
        if (line.kind == LineKind::Section) {
            if (inSection) {
                break;
            }
            if (sameName(data, line.name, section)) {
                inSection = true;
                where.sectionFound = true;
                where.insertAt = line.end;
                where.insertNeedsBreak = data[line.end - 1] != '\n';
            }
        } else if (inSection && line.kind == LineKind::Entry && sameName(data, line.name, key)) {
            where.entryFound = true;
            where.entry = line;
            return where;
        } else if (inSection && (line.kind == LineKind::Entry || line.kind == LineKind::Other)) {
            // New keys go to the end of the section's content, before blank lines and
            // comments that lead to the next section.
            where.insertAt = line.end;
            where.insertNeedsBreak = data[line.end - 1] != '\n';
        }
    }
    return where;
}

// New lines follow the file's own convention.
QByteArray lineBreakOf(const QByteArray& data) {
    const qsizetype newline = data.indexOf('\n');
    return newline > 0 && data[newline - 1] == '\r' ? QByteArrayLiteral("\r\n")
                                                    : QByteArrayLiteral("\n");
}

// A name or value must stay on its one line.
QByteArray singleLine(const QString& text) {
    QString line = text;
    const qsizetype nul = line.indexOf(QChar(0));
    if (nul >= 0) {
        line.truncate(nul);
    }
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.toUtf8();
}

QByteArray withValue(const QByteArray& data, const QString& section, const QString& key,
                     const QString& value) {
    const Location where = locate(data, section.trimmed(), key.trimmed());
    const QByteArray text = singleLine(value);
    if (where.entryFound) {
        // Keep the line's indentation, the key's spelling and its line break.
        const Line& line = where.entry;
        QByteArray out = data.left(line.name.end);
        out += '=';
        out += text;
        out += QByteArrayView(data).sliced(line.contentEnd);
        return out;
    }
    const QByteArray lineBreak = lineBreakOf(data);
    const QByteArray entry = singleLine(key) + '=' + text + lineBreak;
    if (where.sectionFound) {
        QByteArray out = data.left(where.insertAt);
        if (where.insertNeedsBreak) {
            out += lineBreak;
        }
        out += entry;
        out += QByteArrayView(data).sliced(where.insertAt);
        return out;
    }
    QByteArray out = data;
    if (!out.isEmpty() && !out.endsWith('\n')) {
        out += lineBreak;
    }
    out += '[' + singleLine(section) + ']' + lineBreak + entry;
    return out;
}

// A file or folder nobody may write counts as read-only even for a privileged user, as the
// desktop's read-only attribute does.
bool writableByUs(const QByteArray& path, const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::access(path.constData(), W_OK) == 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    int get() const { return m_fd; }

private:
    int m_fd;
};

enum class FileState { Missing, Regular, Unusable, TooLarge };

struct FileContent {
    FileState state = FileState::Missing;
    QByteArray data;
    struct stat info {};
};

// Reads a whole regular file of at most `limit` bytes. O_NONBLOCK keeps a FIFO or a device
// from stalling the open; only a regular file is then read, and never more than one byte
// beyond the limit, however long the file claims or turns out to be.
FileContent readFile(const QByteArray& path, qsizetype limit) {
    FileContent content;
    Descriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        content.state = errno == ENOENT ? FileState::Missing : FileState::Unusable;
        return content;
    }
    if (::fstat(fd.get(), &content.info) != 0 || !S_ISREG(content.info.st_mode)) {
        content.state = FileState::Unusable;
        return content;
    }
    if (content.info.st_size > limit) {
        content.state = FileState::TooLarge;
        return content;
    }
    content.data.resize(qsizetype(content.info.st_size) + 1);
    qsizetype total = 0;
    for (;;) {
        if (total == content.data.size()) {
            if (total > limit) {
                content.state = FileState::TooLarge;  // it grew while being read
                content.data.clear();
                return content;
            }
            content.data.resize(qMin(total * 2 + 4096, limit + 1));
        }
        const ssize_t got =
            ::read(fd.get(), content.data.data() + total, size_t(content.data.size() - total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            content.state = FileState::Unusable;
            content.data.clear();
            return content;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    content.data.truncate(total);
    content.state = FileState::Regular;
    return content;
}

// How long a write waits for another copy of the program to finish its own; one write takes a
// few milliseconds.
constexpr std::chrono::milliseconds kLockWait{2000};

enum class LockResult { Held, Unavailable, TimedOut };

LockResult lockExclusively(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return LockResult::Held;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            return LockResult::Unavailable;  // a file system without locks
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return LockResult::TimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The lock file beside the settings file, created only in a folder that takes new files.
struct LockFile {
    enum class State { Open, Missing, NotRegular, Unusable };
    State state = State::Missing;
    Descriptor fd;
    int error = 0;  // errno of a failed open
};

// Only a regular file orders the writers, and only one opened without following a link: a
// folder, FIFO or link there is refused rather than worked around.
LockFile openLockFile(const QByteArray& path, bool create) {
    LockFile lock;
    lock.fd = Descriptor(::open(
        path.constData(),
        O_RDONLY | (create ? O_CREAT : 0) | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
    if (lock.fd.get() < 0) {
        lock.error = errno;
        lock.state = lock.error == ENOENT                          ? LockFile::State::Missing
                     : lock.error == ELOOP || lock.error == EISDIR ? LockFile::State::NotRegular
                                                                   : LockFile::State::Unusable;
        return lock;
    }
    struct stat st {};
    if (::fstat(lock.fd.get(), &st) != 0) {
        lock.error = errno;
        lock.state = LockFile::State::Unusable;
    } else {
        lock.state = S_ISREG(st.st_mode) ? LockFile::State::Open : LockFile::State::NotRegular;
    }
    return lock;
}

// The raw bytes of a value, as stored between '=' and the end of its line.
qsizetype storedSize(const Range& value) {
    return value.end - value.begin;
}

}  // namespace

IniFile::IniFile(const QString& fileName) : m_fileName(QFileInfo(fileName).absoluteFilePath()) {}

void IniFile::refuse(const QString& reason) const {
    QString message =
        QCoreApplication::translate("lsg::IniFile", "Unable to write to %1").arg(m_fileName);
    if (!reason.isEmpty()) {
        message += QStringLiteral(": ") + reason;
    }
    throw Exception(message);
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    if (m_tooLarge) {
        return defaultValue;
    }
    const FileContent file = readFile(QFile::encodeName(m_fileName), kMaxFileSize);
    if (file.state == FileState::TooLarge) {
        m_tooLarge = true;
    }
    if (file.state != FileState::Regular) {
        return defaultValue;
    }
    const QByteArray& data = file.data;
    const Location where = locate(data, section.trimmed(), key.trimmed());
    if (!where.entryFound || storedSize(where.entry.value) > kMaxValueSize) {
        return defaultValue;
    }
    QString value = decode(data, where.entry.value);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

qint32 IniFile::readInteger(const QString& section, const QString& key, qint32 defaultValue) const {
    return settings::readIntegerText(readString(section, key, QString()), defaultValue);
}

void IniFile::writeInteger(const QString& section, const QString& key, qint32 value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    if (singleLine(value).size() > kMaxValueSize) {
        refuse(QCoreApplication::translate("lsg::IniFile",
                                           "the value of \"%1\" is longer than %2 bytes")
                   .arg(key)
                   .arg(kMaxValueSize));
    }
    if (m_tooLarge) {
        refuse(QCoreApplication::translate("lsg::IniFile", "the file is larger than %1 bytes")
                   .arg(kMaxFileSize));
    }

    // Write through a link to the file it names, as an in-place write would; but only to one of
    // the user's own files: a link planted in a folder another user can write to must not make
    // this program (perhaps run as root) write that user's file, or one of the system's.
    const QByteArray ownPath = QFile::encodeName(m_fileName);
    struct stat link {};
    struct stat linked {};
    if (::lstat(ownPath.constData(), &link) == 0 && S_ISLNK(link.st_mode) &&
        ::stat(ownPath.constData(), &linked) == 0 && linked.st_uid != ::geteuid()) {
        refuse(QCoreApplication::translate("lsg::IniFile", "it links to a file of another user"));
    }
    const QString canonical = QFileInfo(m_fileName).canonicalFilePath();
    const QString target = canonical.isEmpty() ? m_fileName : canonical;
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QString folderPath = QFileInfo(target).absolutePath();
    const QByteArray nativeFolder = QFile::encodeName(folderPath);

    // Anything but a regular file is refused before a lock file is made beside it (a link to
    // /dev/zero must not leave a file in /dev).
    struct stat existing {};
    if (::stat(nativeTarget.constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        refuse();
    }
    const auto takesFiles = [](const QByteArray& path) {
        struct stat folder {};
        return ::stat(path.constData(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
               writableByUs(path, folder);
    };
    const bool folderTakesFiles = takesFiles(nativeFolder);

    // Everything from the read to the replacement happens under the lock, so a copy of the
    // program writing at the same moment waits and then sees this write. The lock lies beside
    // the path every copy opens, whatever it links to. Nothing is ever written without it.
    const QByteArray ownFolder = QFile::encodeName(QFileInfo(m_fileName).absolutePath());
    const QByteArray lockPath = ownPath + ".lock";
    const LockFile lock = openLockFile(lockPath, takesFiles(ownFolder));
    const auto lockOrRefuse = [this, &lockPath](int fd) {
        const LockResult result = lockExclusively(fd);
        if (result == LockResult::TimedOut) {
            refuse(QCoreApplication::translate("lsg::IniFile", "another program keeps it locked"));
        }
        if (result == LockResult::Unavailable) {
            refuse(QCoreApplication::translate("lsg::IniFile", "its lock %1 cannot be taken: %2")
                       .arg(QFile::decodeName(lockPath), systemErrorText(errno)));
        }
    };
    switch (lock.state) {
        case LockFile::State::Open:
            lockOrRefuse(lock.fd.get());
            break;
        case LockFile::State::NotRegular:
            refuse(QCoreApplication::translate("lsg::IniFile", "its lock %1 is not a regular file")
                       .arg(QFile::decodeName(lockPath)));
        case LockFile::State::Unusable:
            refuse(QCoreApplication::translate("lsg::IniFile", "its lock %1 cannot be opened: %2")
                       .arg(QFile::decodeName(lockPath), systemErrorText(lock.error)));
        case LockFile::State::Missing:
            break;
    }

    // Without a lock file (a folder that takes no new files, where none can be made), the file
    // itself is locked: it is then only written in place, so every copy locks the same file.
    const bool lockedItself = lock.state == LockFile::State::Missing;
    Descriptor self;
    if (lockedItself) {
        self = Descriptor(
            ::open(nativeTarget.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat st {};
        if (self.get() < 0 || ::fstat(self.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            refuse();  // a folder that takes no files cannot hold a new one either
        }
        lockOrRefuse(self.get());
    }
    const FileContent file = readFile(nativeTarget, kMaxFileSize);
    if (file.state == FileState::TooLarge) {
        m_tooLarge = true;
        refuse(QCoreApplication::translate("lsg::IniFile", "the file is larger than %1 bytes")
                   .arg(kMaxFileSize));
    }
    if (file.state == FileState::Unusable) {
        refuse();  // not a regular file, or unreadable: its other lines would be lost
    }
    const bool exists = file.state == FileState::Regular;
    // The rename below would replace even a read-only file: a file nobody may write refuses.
    if (exists && !writableByUs(nativeTarget, file.info)) {
        refuse();
    }

    const QByteArray updated = withValue(file.data, section, key, value);
    if (exists && updated == file.data) {
        return;  // the file already says so
    }
    if (updated.size() > kMaxFileSize) {
        refuse(QCoreApplication::translate("lsg::IniFile", "the file would grow beyond %1 bytes")
                   .arg(kMaxFileSize));
    }

    if (folderTakesFiles && !lockedItself) {
        // Leftovers of a killed save are ours to remove, and no other copy is saving now.
        removeStaleTemporaries(target);
        if (!saveFileAtomically(target, updated)) {
            refuse();
        }
        return;
    }
    if (!exists || !saveFileInPlace(target, updated, file.data)) {
        refuse();
    }
}

}  // namespace lsg
