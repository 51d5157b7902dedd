// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Finding the version-information block inside an executable: in an ELF file, the section the
// build embeds it in; in a Windows PE file, its version resource. Every offset and length read
// from the file is checked against the file before it is used.

#include <QByteArray>
#include <QString>
#include <exception>

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

// The version block found in `source` (the root node exactly, its trailing bytes cut off).
// Throws LocateError.
QByteArray locateVersionBlock(const ByteSource& source);

// The same for a file; opening and reading errors carry their errno.
QByteArray readVersionBlock(const QString& fileName);

}  // namespace lsg::versioninfo
