// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/windows/versioninfo_pe.h"

#include <QList>
#include <algorithm>
#include <utility>

namespace lsg::versioninfo {

namespace {

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
            throwDamaged();
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
                throwDamaged();
        }
        const quint32 directoryCount = optional.u32(countAt);
        const quint64 resourceEntry = countAt + 4 + 2 * 8;  // data directory 2: resources
        if (directoryCount <= 2 || !fits(resourceEntry, 8, optionalSize)) {
            throwAbsent();
        }
        m_resourceRva = optional.u32(resourceEntry);
        if (m_resourceRva == 0) {
            throwAbsent();
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
        throwDamaged();
    }

    Fields resourceBytes(quint64 offset, quint64 length) const {
        if (!fits(offset, length, m_resourceRoom)) {
            throwDamaged();
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
            throwAbsent();
        }
        // Name level, then language level: the first entry of each. The walk has a fixed depth,
        // so a directory that points back at an earlier one cannot make it go round.
        for (int level = 0; level < 2; ++level) {
            if ((next & kHighBit) == 0) {
                throwDamaged();  // a data entry where a directory belongs
            }
            const auto entries = directory(next & ~kHighBit);
            if (entries.isEmpty()) {
                throwAbsent();
            }
            next = entries.front().second;
        }
        if ((next & kHighBit) != 0) {
            throwDamaged();  // a directory where the data belongs
        }
        const Fields entry = resourceBytes(next, 16);
        const quint32 dataRva = entry.u32(0);
        const quint32 dataSize = entry.u32(4);
        const auto [offset, room] = map(dataRva);
        if (dataSize > room || !fits(offset, dataSize, m_src.size())) {
            throwDamaged();
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

QByteArray fromPe(const ByteSource& source) {
    return PeImage(source).versionBlock();
}

}  // namespace

constinit const ExecutableFormat kPeFormat{QByteArrayView("MZ"), &fromPe};

std::span<const ExecutableFormat> elfAndPeFormats() {
    static const ExecutableFormat formats[] = {kElfFormat, kPeFormat};
    return formats;
}

}  // namespace lsg::versioninfo
