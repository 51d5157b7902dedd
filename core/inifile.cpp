// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/atomicsave.h"
#include "platform/exception.h"
#include "core/settingsformat.h"

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

bool hasWriteBits(const QFileInfo& info) {
    return (info.permissions() &
            (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
}

}  // namespace

IniFile::IniFile(const QString& fileName) : m_fileName(QFileInfo(fileName).absoluteFilePath()) {}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return defaultValue;
    }
    const QByteArray data = file.readAll();
    const Location where = locate(data, section.trimmed(), key.trimmed());
    if (!where.entryFound) {
        return defaultValue;
    }
    QString value = decode(data, where.entry.value);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    if (value.size() > kMaxValueLength) {
        value.truncate(kMaxValueLength);
        if (value.back().isHighSurrogate()) {
            value.chop(1);
        }
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
    const auto refuse = [this] {
        throw Exception(QStringLiteral("Unable to write to %1").arg(m_fileName));
    };

    // Write through a link to the file it names, as an in-place write would.
    QFileInfo info(m_fileName);
    const QString canonical = info.canonicalFilePath();
    const QString target = canonical.isEmpty() ? m_fileName : canonical;
    info = QFileInfo(target);

    QByteArray data;
    if (info.exists()) {
        // The rename below would replace even a read-only file, and would work for a
        // privileged user too: a file nobody may write refuses the write, as the desktop's
        // read-only attribute does. A file that cannot be read completely is not replaced,
        // or its other lines would be lost.
        if (!info.isFile() || !info.isWritable() || !hasWriteBits(info)) {
            refuse();
        }
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly)) {
            refuse();
        }
        data = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            refuse();
        }
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir() || !folder.isWritable() || !hasWriteBits(folder)) {
        refuse();
    }

    const QByteArray updated = withValue(data, section, key, value);
    if (info.exists() && updated == data) {
        return;  // the file already says so
    }

    if (!saveFileAtomically(target, updated)) {
        refuse();
    }
}

}  // namespace lsg
