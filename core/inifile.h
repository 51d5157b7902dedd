// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg {

// Reads and writes one ini file the way the desktop's profile functions do: sections and keys
// are found without regard to case, nothing is cached (every read reads the file, every write
// updates it at once), and every line the program does not write is kept byte for byte.
//
// Writes replace the whole file atomically (temporary file in the same folder, then rename),
// so an interrupted write never leaves a half-written file. A write that cannot be made throws
// lsg::Exception "Unable to write to <full path>". Reads never throw: a missing or unreadable
// file, section or key reads as the default.
class IniFile {
public:
    // Longest value a read returns, in UTF-16 code units.
    static constexpr qsizetype kMaxValueLength = 2047;

    explicit IniFile(const QString& fileName);

    // Absolute path of the file.
    const QString& fileName() const { return m_fileName; }

    // The value as a decimal or "$"/"0x"-hexadecimal 32-bit integer; the default when the key
    // is missing or its text is not such an integer.
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // Writes the value as decimal text.
    void writeInteger(const QString& section, const QString& key, qint32 value);

    // The value with surrounding blanks (and one pair of enclosing quotes) removed, at most
    // kMaxValueLength long; the default when the key is missing.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Writes the text; line breaks in it become blanks and a NUL ends it, so that one value
    // can never turn into further lines of the file.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    QString m_fileName;
};

}  // namespace lsg
