// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/updatestore.h"

#include "platform/exception.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include "core/inifile.h"

#include <limits>
#include <utility>

namespace lsg::check {

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kFileName = QStringLiteral("update.ini");

// Whether the folder exists and takes files, or its nearest existing parent would let it be made.
bool canHold(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    for (;;) {
        const QFileInfo info(path);
        if (info.exists()) {
            return info.isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
        }
        const QString parent = info.path();
        if (parent == path || parent.isEmpty()) {
            return false;
        }
        path = parent;
    }
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
    // Nothing is made yet: the folder comes with the first value written, so that a check that
    // stores nothing (no server answered) leaves no empty folder in the user's config folder.
    m_open = !m_folder.isEmpty() && canHold(m_folder);
    return m_open;
}

QString UpdateStore::filePath() const {
    return m_folder + u'/' + kFileName;
}

QString UpdateStore::readText(const QString& name, const QString& fallback) const {
    if (m_folder.isEmpty()) {
        return fallback;
    }
    return IniFile(filePath()).readString(kSection, name, fallback);
}

int UpdateStore::readNumber(const QString& name, int fallback) const {
    int value = 0;
    return toInt32(readText(name), &value) ? value : fallback;
}

void UpdateStore::writeText(const QString& name, const QString& value) {
    if ((!m_open && !open()) || !QDir().mkpath(m_folder)) {
        throw lsg::Exception(
            QCoreApplication::translate("lsg::UpdateStore",
                                        "The update settings folder \"%1\" could not be created.")
                .arg(m_folder));
    }
    // The same file rules as settings.ini: other values kept, an unreadable file never
    // replaced, every write atomic.
    IniFile(filePath()).writeString(kSection, name, value);
}

void UpdateStore::writeNumber(const QString& name, int value) {
    writeText(name, QString::number(value));
}

}  // namespace lsg::check
