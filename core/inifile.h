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
// so an interrupted write never leaves a half-written file; a writable file in a folder that
// takes no new files is written in place instead. Each write holds an advisory lock on
// "<file>.lock" while it reads, changes and replaces the file, so that copies of the program
// sharing the file never undo each other's keys; where no lock file exists or can be made (a
// folder that takes no new files), the file itself is locked and written in place. Nothing is
// written without a lock: a lock that is not a regular file, or cannot be taken, refuses the
// write. A link to the file is written through only when it leads to one of the user's own
// files. A write that cannot be made throws lsg::Exception "Unable to write to <full path>",
// with the reason after a colon where there is one to tell.
//
// Reads never throw and never block: a missing or unreadable file, anything that is not a
// regular file (a FIFO, a device), a file beyond kMaxFileSize, a missing section or key, and a
// value beyond kMaxValueSize read as the default. A file found too large reads as empty for the
// rest of this object's life and is never replaced.
//
// One object is used by one thread at a time.
class IniFile {
public:
    // Longest value, in bytes of its UTF-8 text, that is read or written; far above any real
    // setting, so a value is never cut.
    static constexpr qsizetype kMaxValueSize = 64 * 1024;
    // Largest file that is read or written.
    static constexpr qsizetype kMaxFileSize = 1024 * 1024;

    explicit IniFile(const QString& fileName);

    // Absolute path of the file.
    const QString& fileName() const { return m_fileName; }

    // The value as a decimal or "$"/"0x"-hexadecimal 32-bit integer; the default when the key
    // is missing or its text is not such an integer.
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // Writes the value as decimal text.
    void writeInteger(const QString& section, const QString& key, qint32 value);

    // The value with surrounding blanks (and one pair of enclosing quotes) removed; the default
    // when the key is missing or its value is longer than kMaxValueSize.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Writes the text; line breaks in it become blanks and a NUL ends it, so that one value
    // can never turn into further lines of the file. A value longer than kMaxValueSize, or one
    // that would make the file larger than kMaxFileSize, is refused with an exception that says
    // so; nothing is written then.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    [[noreturn]] void refuse(const QString& reason = QString()) const;

    QString m_fileName;
    mutable bool m_tooLarge = false;
};

}  // namespace lsg
