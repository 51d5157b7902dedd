// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/versioninfo_locate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QList>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "about/versioninfo_block.h"

namespace lsg::versioninfo {

namespace {

// A version block's root length is 16 bits, so more than this is never needed.
constexpr quint64 kMaxBlockBytes = 0x10000;
// Header tables beyond this are not an executable we would ever be given.
constexpr quint64 kMaxTableBytes = 16 * 1024 * 1024;

[[noreturn]] void damaged() {
    throw LocateError(ENOEXEC);
}

[[noreturn]] void absent() {
    throw LocateError(ENODATA);
}

bool fits(quint64 offset, quint64 length, quint64 size) {
    return offset <= size && length <= size - offset;
}

// Fixed-width fields of a header that was read whole; a field outside it means a damaged file.
class Fields {
public:
    Fields(QByteArray data, bool bigEndian) : m_data(std::move(data)), m_big(bigEndian) {}

    quint64 get(quint64 at, int width) const {
        if (!fits(at, static_cast<quint64>(width), static_cast<quint64>(m_data.size()))) {
            damaged();
        }
        quint64 v = 0;
        for (int i = 0; i < width; ++i) {
            const int shift = m_big ? 8 * (width - 1 - i) : 8 * i;
            v |= quint64{static_cast<quint8>(m_data[static_cast<qsizetype>(at) + i])} << shift;
        }
        return v;
    }
    quint16 u16(quint64 at) const { return static_cast<quint16>(get(at, 2)); }
    quint32 u32(quint64 at) const { return static_cast<quint32>(get(at, 4)); }
    quint64 u64(quint64 at) const { return get(at, 8); }
    const QByteArray& bytes() const { return m_data; }

private:
    QByteArray m_data;
    bool m_big;
};

// The block at the start of `data`, cut to its own length.
QByteArray blockFrom(QByteArray data) {
    const qsizetype length = versionBlockLength(data);
    if (length == 0) {
        damaged();
    }
    data.truncate(length);
    return data;
}

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
        damaged();
    }
    const bool is64 = elfClass == 2;
    const Fields header(src.read(0, is64 ? 64 : 52), encoding == 2);
    const quint64 shoff = is64 ? header.u64(0x28) : header.u32(0x20);
    const quint64 entSize = header.u16(is64 ? 0x3A : 0x2E);
    quint64 count = header.u16(is64 ? 0x3C : 0x30);
    quint64 namesIndex = header.u16(is64 ? 0x3E : 0x32);
    if (shoff == 0) {
        absent();  // no section headers, so no sections to look in
    }
    if (entSize < (is64 ? 64u : 40u)) {
        damaged();
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
        absent();
    }
    if (count > kMaxTableBytes / entSize || namesIndex >= count) {
        damaged();
    }
    const Fields table(src.read(shoff, count * entSize), encoding == 2);
    const ElfSection namesSection = sectionAt(table, namesIndex);
    if (namesSection.type == kShtNobits || namesSection.size > kMaxTableBytes) {
        damaged();
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
            damaged();
        }
        return blockFrom(src.read(s.offset, std::min(s.size, kMaxBlockBytes)));
    }
    absent();
}

// ---- PE: the version resource ----

constexpr quint32 kRtVersion = 16;
constexpr quint32 kHighBit = 0x80000000;

struct PeSection {
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

class PeImage {
public:
    explicit PeImage(const ByteSource& src) : m_src(src) {
        const Fields dos(src.read(0, 64), false);
        const quint64 peAt = dos.u32(0x3C);
        const Fields coff(src.read(peAt, 24), false);
        if (coff.bytes().left(4) != QByteArrayView("PE\0\0", 4)) {
            damaged();
        }
        const quint32 sectionCount = coff.u16(6);
        const quint32 optionalSize = coff.u16(20);
        const Fields optional(src.read(peAt + 24, optionalSize), false);
        quint64 countAt = 0;
        switch (optional.u16(0)) {
            case 0x10B:  // 32-bit image
                countAt = 92;
                break;
            case 0x20B:  // 64-bit image
                countAt = 108;
                break;
            default:
                damaged();
        }
        const quint32 directoryCount = optional.u32(countAt);
        const quint64 resourceEntry = countAt + 4 + 2 * 8;  // data directory 2: resources
        if (directoryCount <= 2 || !fits(resourceEntry, 8, optionalSize)) {
            absent();
        }
        m_resourceRva = optional.u32(resourceEntry);
        if (m_resourceRva == 0) {
            absent();
        }
        const Fields table(src.read(peAt + 24 + optionalSize, quint64{sectionCount} * 40), false);
        for (quint32 i = 0; i < sectionCount; ++i) {
            const quint64 at = quint64{i} * 40;
            m_sections.push_back({table.u32(at + 12), table.u32(at + 16), table.u32(at + 20)});
        }
        // Directory offsets count from the resource root and stay inside its section's data.
        const auto [offset, room] = map(m_resourceRva);
        m_resourceOffset = offset;
        m_resourceRoom = room;
    }

    // File offset of an address and the bytes its section has from there on.
    std::pair<quint64, quint64> map(quint32 rva) const {
        for (const PeSection& s : m_sections) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
                const quint64 into = rva - s.virtualAddress;
                return {quint64{s.rawOffset} + into, s.rawSize - into};
            }
        }
        damaged();
    }

    Fields resourceBytes(quint64 offset, quint64 length) const {
        if (!fits(offset, length, m_resourceRoom)) {
            damaged();
        }
        return Fields(m_src.read(m_resourceOffset + offset, length), false);
    }

    // Entries (name or id, target) of the resource directory at `offset`.
    QList<std::pair<quint32, quint32>> directory(quint64 offset) const {
        const Fields header = resourceBytes(offset, 16);
        const quint64 count = quint64{header.u16(12)} + header.u16(14);
        const Fields entries = resourceBytes(offset + 16, count * 8);
        QList<std::pair<quint32, quint32>> list;
        for (quint64 i = 0; i < count; ++i) {
            list.append({entries.u32(i * 8), entries.u32(i * 8 + 4)});
        }
        return list;
    }

    QByteArray versionBlock() const {
        // Type level: the version type, an id entry.
        quint32 next = 0;
        bool found = false;
        for (const auto& [name, target] : directory(0)) {
            if ((name & kHighBit) == 0 && name == kRtVersion) {
                next = target;
                found = true;
                break;
            }
        }
        if (!found) {
            absent();
        }
        // Name level, then language level: the first entry of each. The walk has a fixed depth,
        // so a directory that points back at an earlier one cannot make it go round.
        for (int level = 0; level < 2; ++level) {
            if ((next & kHighBit) == 0) {
                damaged();  // a data entry where a directory belongs
            }
            const auto entries = directory(next & ~kHighBit);
            if (entries.isEmpty()) {
                absent();
            }
            next = entries.front().second;
        }
        if ((next & kHighBit) != 0) {
            damaged();  // a directory where the data belongs
        }
        const Fields entry = resourceBytes(next, 16);
        const quint32 dataRva = entry.u32(0);
        const quint32 dataSize = entry.u32(4);
        const auto [offset, room] = map(dataRva);
        if (dataSize > room || !fits(offset, dataSize, m_src.size())) {
            damaged();
        }
        return blockFrom(m_src.read(offset, std::min<quint64>(dataSize, kMaxBlockBytes)));
    }

private:
    const ByteSource& m_src;
    QList<PeSection> m_sections;
    quint32 m_resourceRva = 0;
    quint64 m_resourceOffset = 0;
    quint64 m_resourceRoom = 0;
};

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
            damaged();
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
                damaged();  // the file got shorter while we read it
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
        damaged();
    }
    return m_data.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
}

QByteArray locateVersionBlock(const ByteSource& source) {
    if (source.size() < 4) {
        damaged();
    }
    const QByteArray magic = source.read(0, 4);
    if (magic == QByteArrayView("\x7f"
                                "ELF")) {
        return fromElf(source);
    }
    if (magic.startsWith("MZ")) {
        return PeImage(source).versionBlock();
    }
    damaged();
}

QByteArray readVersionBlock(const QString& fileName) {
    return locateVersionBlock(FileSource(fileName));
}

}  // namespace lsg::versioninfo
