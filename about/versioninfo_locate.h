// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Finding the version-information block inside an executable. Each executable format has a
// reader of its own: here the ELF one, which looks for the section the build embeds the block
// in; the Windows PE one (its version resource) lives in about/windows/. Every offset and length
// read from the file is checked against the file before it is used.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <exception>
#include <span>

namespace lsg::versioninfo {

// ELF section that carries the program's own block; the build names it.
inline constexpr char kElfSectionName[] = LSG_VERSION_SECTION;

// Why no block could be had, as an errno value: the error of a failed open or read, EISDIR,
// ENOEXEC (not an ELF or PE file, or a damaged one), ENODATA (a sound executable without
// version information).
class LocateError : public std::exception {
public:
    explicit LocateError(int code) : m_code(code) {}
    int code() const noexcept { return m_code; }
    const char* what() const noexcept override { return "version information not found"; }

private:
    int m_code;
};

// Random access to the bytes of an executable.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual quint64 size() const = 0;
    // Exactly `length` bytes from `offset`; throws LocateError when they are not all there.
    virtual QByteArray read(quint64 offset, quint64 length) const = 0;
};

// A byte array in memory.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(QByteArray data) : m_data(std::move(data)) {}
    quint64 size() const override { return static_cast<quint64>(m_data.size()); }
    QByteArray read(quint64 offset, quint64 length) const override;

private:
    QByteArray m_data;
};

// How to find the block in one executable format.
struct ExecutableFormat {
    // The first bytes of every file of this format.
    QByteArrayView magic;
    // The block, or LocateError; called only for a source that starts with the magic.
    QByteArray (*locate)(const ByteSource& source);
};

// ELF files.
extern const ExecutableFormat kElfFormat;
// The formats this program's own executable comes in.
std::span<const ExecutableFormat> nativeFormats();

// The version block found in `source` (the root node exactly, its trailing bytes cut off), in
// the first of the formats whose magic it starts with. Throws LocateError; ENOEXEC for a file
// of none of them.
QByteArray locateVersionBlock(const ByteSource& source,
                              std::span<const ExecutableFormat> formats = nativeFormats());

// The same for a file; opening and reading errors carry their errno.
QByteArray readVersionBlock(const QString& fileName,
                            std::span<const ExecutableFormat> formats = nativeFormats());

// ---- for the format readers ----

// A version block's root length is 16 bits, so more than this is never needed.
inline constexpr quint64 kMaxBlockBytes = 0x10000;

// ENOEXEC: the file is not of the format, or damaged.
[[noreturn]] void throwDamaged();
// ENODATA: a sound file without version information.
[[noreturn]] void throwAbsent();

inline bool fits(quint64 offset, quint64 length, quint64 size) {
    return offset <= size && length <= size - offset;
}

// Fixed-width fields of a header that was read whole; a field outside it means a damaged file.
class Fields {
public:
    Fields(QByteArray data, bool bigEndian) : m_data(std::move(data)), m_big(bigEndian) {}

    quint64 get(quint64 at, int width) const {
        if (!fits(at, static_cast<quint64>(width), static_cast<quint64>(m_data.size()))) {
            throwDamaged();
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
QByteArray blockFrom(QByteArray data);

}  // namespace lsg::versioninfo
