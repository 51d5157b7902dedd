// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "updatestore.h"

#include "exception.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <limits>
#include <utility>

namespace lsg::check {

namespace {

const QString kSection = QStringLiteral("[Settings]");
const QString kFileName = QStringLiteral("update.ini");
// The file holds five short values; anything far larger is not ours to parse.
constexpr qint64 kMaxFileBytes = 64 * 1024;

struct Entry {
    QString name;
    QString value;
};

// The lines of the file split into the "Settings" section's entries and everything else,
// which a write keeps as it was.
struct Parsed {
    QStringList before;
    QList<Entry> entries;
    QStringList after;
};

Parsed parse(const QByteArray& data) {
    Parsed p;
    QString text = QString::fromUtf8(data);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    enum { Before, Inside, After } where = Before;
    for (const QString& line : std::as_const(lines)) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            if (trimmed.compare(kSection, Qt::CaseInsensitive) == 0 && where == Before) {
                where = Inside;
                continue;
            }
            if (where == Inside) {
                where = After;
            }
        }
        if (where == Inside) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0) {
                p.entries.append({line.left(eq).trimmed(), line.mid(eq + 1)});
            }
        } else if (where == Before) {
            p.before.append(line);
        } else {
            p.after.append(line);
        }
    }
    return p;
}

bool readFile(const QString& path, QByteArray* data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    *data = file.read(kMaxFileBytes);
    return file.error() == QFileDevice::NoError;
}

// Line breaks would end the value early and turn its tail into a line of its own.
QString oneLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

}  // namespace

QString md5Key(const QString& text) {
    QByteArray ascii;
    for (const char32_t c : text.toUcs4()) {
        ascii += c < 128 ? static_cast<char>(c) : '?';
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(ascii, QCryptographicHash::Md5).toHex().toUpper());
}

bool toInt32(const QString& text, int* value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return false;
        }
        result = result * 10 + (c - u'0');
        if (result > qint64(std::numeric_limits<int>::max()) + 1) {
            return false;
        }
    }
    if (negative) {
        result = -result;
    }
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return false;
    }
    if (value != nullptr) {
        *value = static_cast<int>(result);
    }
    return true;
}

QString UpdateStore::folderFor(const QString& baseFolder, const QString& appCaption) {
    return folderIn(baseFolder, md5Key(appCaption));
}

QString UpdateStore::folderIn(const QString& baseFolder, const QString& key) {
    if (baseFolder.isEmpty() || key.isEmpty()) {
        return {};
    }
    return QDir::cleanPath(baseFolder) + u'/' + key;
}

UpdateStore::UpdateStore(QString folder) : m_folder(std::move(folder)) {}

bool UpdateStore::open() {
    m_open = !m_folder.isEmpty() && QDir().mkpath(m_folder);
    return m_open;
}

QString UpdateStore::filePath() const {
    return m_folder + u'/' + kFileName;
}

QString UpdateStore::readText(const QString& name, const QString& fallback) const {
    QByteArray data;
    if (m_folder.isEmpty() || !readFile(filePath(), &data)) {
        return fallback;
    }
    const Parsed p = parse(data);
    for (const Entry& e : p.entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            return e.value;
        }
    }
    return fallback;
}

int UpdateStore::readNumber(const QString& name, int fallback) const {
    int value = 0;
    return toInt32(readText(name), &value) ? value : fallback;
}

void UpdateStore::writeText(const QString& name, const QString& value) {
    if (!m_open && !open()) {
        throw lsg::Exception(
            QStringLiteral("The update settings folder \"%1\" could not be created.")
                .arg(m_folder));
    }
    QByteArray data;
    Parsed p;
    if (QFile::exists(filePath())) {
        // Never replace a file whose other values could not be read.
        if (!readFile(filePath(), &data)) {
            throw lsg::Exception(
                QStringLiteral("The update settings file \"%1\" could not be read.")
                    .arg(filePath()));
        }
        p = parse(data);
    }
    bool found = false;
    for (Entry& e : p.entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            e.value = oneLine(value);
            found = true;
        }
    }
    if (!found) {
        p.entries.append({name, oneLine(value)});
    }

    QString text;
    for (const QString& line : std::as_const(p.before)) {
        text += line + u'\n';
    }
    text += kSection + u'\n';
    for (const Entry& e : std::as_const(p.entries)) {
        text += e.name + u'=' + e.value + u'\n';
    }
    for (const QString& line : std::as_const(p.after)) {
        text += line + u'\n';
    }

    QSaveFile file(filePath());
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw lsg::Exception(QStringLiteral("The update settings file \"%1\" could not be "
                                            "written: %2")
                                 .arg(filePath(), file.errorString()));
    }
}

void UpdateStore::writeNumber(const QString& name, int value) {
    writeText(name, QString::number(value));
}

}  // namespace lsg::check
