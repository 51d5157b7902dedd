// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/versioninfo_locate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "about/versioninfo_block.h"

namespace lsg::versioninfo {

namespace {

// Header tables beyond this are not an executable we would ever be given.
constexpr quint64 kMaxTableBytes = 16 * 1024 * 1024;

// ---- ELF: the section with the agreed name ----

struct ElfSection {
    quint32 name = 0;
    quint32 type = 0;
    quint64 offset = 0;
    quint64 size = 0;
    quint32 link = 0;
};

constexpr quint32 kShtNobits = 8;
constexpr quint32 kShnXindex = 0xFFFF;

QByteArray fromElf(const ByteSource& src) {
    const QByteArray ident = src.read(0, 16);
    const int elfClass = ident[4];
    const int encoding = ident[5];
    if ((elfClass != 1 && elfClass != 2) || (encoding != 1 && encoding != 2)) {
        throwDamaged();
    }
    const bool is64 = elfClass == 2;
    const Fields header(src.read(0, is64 ? 64 : 52), encoding == 2);
    const quint64 shoff = is64 ? header.u64(0x28) : header.u32(0x20);
    const quint64 entSize = header.u16(is64 ? 0x3A : 0x2E);
    quint64 count = header.u16(is64 ? 0x3C : 0x30);
    quint64 namesIndex = header.u16(is64 ? 0x3E : 0x32);
    if (shoff == 0) {
        throwAbsent();  // no section headers, so no sections to look in
    }
    if (entSize < (is64 ? 64u : 40u)) {
        throwDamaged();
    }
    auto sectionAt = [&](const Fields& table, quint64 index) {
        const quint64 at = index * entSize;
        ElfSection s;
        s.name = table.u32(at);
        s.type = table.u32(at + 4);
        s.offset = is64 ? table.u64(at + 24) : table.u32(at + 16);
        s.size = is64 ? table.u64(at + 32) : table.u32(at + 20);
        s.link = table.u32(at + (is64 ? 40 : 24));
        return s;
    };
    // Extended numbering: with many sections the real count and name-table index live in
    // section 0.
    if (count == 0 || namesIndex == kShnXindex) {
        const ElfSection first = sectionAt(Fields(src.read(shoff, entSize), encoding == 2), 0);
        if (count == 0) {
            count = first.size;
        }
        if (namesIndex == kShnXindex) {
            namesIndex = first.link;
        }
    }
    if (count == 0 || namesIndex == 0) {
        throwAbsent();
    }
    if (count > kMaxTableBytes / entSize || namesIndex >= count) {
        throwDamaged();
    }
    const Fields table(src.read(shoff, count * entSize), encoding == 2);
    const ElfSection namesSection = sectionAt(table, namesIndex);
    if (namesSection.type == kShtNobits || namesSection.size > kMaxTableBytes) {
        throwDamaged();
    }
    const QByteArray names = src.read(namesSection.offset, namesSection.size);
    const QByteArrayView wanted(kElfSectionName, sizeof kElfSectionName);  // with its NUL
    for (quint64 i = 0; i < count; ++i) {
        const ElfSection s = sectionAt(table, i);
        if (!fits(s.name, static_cast<quint64>(wanted.size()),
                  static_cast<quint64>(names.size())) ||
            QByteArrayView(names).sliced(s.name, wanted.size()) != wanted) {
            continue;
        }
        if (s.type == kShtNobits || !fits(s.offset, s.size, src.size())) {
            throwDamaged();
        }
        return blockFrom(src.read(s.offset, std::min(s.size, kMaxBlockBytes)));
    }
    throwAbsent();
}

// ---- files ----

class FileSource : public ByteSource {
public:
    explicit FileSource(const QString& fileName) {
        const QByteArray path = QFile::encodeName(fileName);
        // Non-blocking, so that a FIFO given by mistake cannot stall the open.
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0) {
            throw LocateError(errno);
        }
        struct stat st {};
        if (::fstat(m_fd, &st) != 0) {
            const int error = errno;
            ::close(m_fd);
            throw LocateError(error);
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(m_fd);
            throw LocateError(S_ISDIR(st.st_mode) ? EISDIR : ENOEXEC);
        }
        m_size = static_cast<quint64>(st.st_size);
    }
    ~FileSource() override { ::close(m_fd); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    quint64 size() const override { return m_size; }

    QByteArray read(quint64 offset, quint64 length) const override {
        if (!fits(offset, length, m_size)) {
            throwDamaged();
        }
        QByteArray out(static_cast<qsizetype>(length), Qt::Uninitialized);
        quint64 done = 0;
        while (done < length) {
            const ssize_t n =
                ::pread(m_fd, out.data() + done, length - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw LocateError(errno);
            }
            if (n == 0) {
                throwDamaged();  // the file got shorter while we read it
            }
            done += static_cast<quint64>(n);
        }
        return out;
    }

private:
    int m_fd = -1;
    quint64 m_size = 0;
};

}  // namespace

QByteArray MemorySource::read(quint64 offset, quint64 length) const {
    if (!fits(offset, length, size())) {
        throwDamaged();
    }
    return m_data.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
}

[[noreturn]] void throwDamaged() {
    throw LocateError(ENOEXEC);
}

[[noreturn]] void throwAbsent() {
    throw LocateError(ENODATA);
}

QByteArray blockFrom(QByteArray data) {
    const qsizetype length = versionBlockLength(data);
    if (length == 0) {
        throwDamaged();
    }
    data.truncate(length);
    return data;
}

constinit const ExecutableFormat kElfFormat{QByteArrayView("\x7f"
                                                           "ELF"),
                                            &fromElf};

std::span<const ExecutableFormat> nativeFormats() {
    static const ExecutableFormat formats[] = {kElfFormat};
    return formats;
}

QByteArray locateVersionBlock(const ByteSource& source, std::span<const ExecutableFormat> formats) {
    if (source.size() < 4) {
        throwDamaged();
    }
    const QByteArray magic = source.read(0, 4);
    for (const ExecutableFormat& format : formats) {
        if (magic.startsWith(format.magic)) {
            return format.locate(source);
        }
    }
    throwDamaged();
}

QByteArray readVersionBlock(const QString& fileName, std::span<const ExecutableFormat> formats) {
    return locateVersionBlock(FileSource(fileName), formats);
}

}  // namespace lsg::versioninfo
