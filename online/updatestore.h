// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg::check {

// 32 upper-case hexadecimal digits of the MD5 of the text, each character outside ASCII taken
// as '?'. Names the store's folder, so that each product keeps its own.
QString md5Key(const QString& text);

// Strict decimal conversion to a signed 32-bit integer: an optional sign and ASCII digits,
// nothing else (no blanks, no hexadecimal). False when the text does not convert.
bool toInt32(const QString& text, int* value);

// The update check's persistent state: one ini file, "update.ini", section "Settings", every
// value stored as text. Each write replaces the file atomically.
class UpdateStore {
public:
    static inline const QString kShowUpdate = QStringLiteral("ShowUpdate");
    static inline const QString kLastUpdateCheck = QStringLiteral("LastUpdateCheck");
    static inline const QString kLastUpdateCheckCount = QStringLiteral("LastUpdateCheckCount");
    static inline const QString kCurrentVersion = QStringLiteral("CurrentVersion");
    static inline const QString kCurrentURL = QStringLiteral("CurrentURL");

    // The store's folder for a product: baseFolder + "/" + md5Key(appCaption); empty when
    // baseFolder is empty.
    static QString folderFor(const QString& baseFolder, const QString& appCaption);
    // baseFolder + "/" + key; empty when either is empty.
    static QString folderIn(const QString& baseFolder, const QString& key);

    explicit UpdateStore(QString folder);

    // Whether the store can be used: false when there is no folder, or it cannot take files or
    // be made. Makes nothing: the folder is made by the first write.
    bool open();
    bool isOpen() const { return m_open; }
    const QString& folder() const { return m_folder; }
    QString filePath() const;

    // A missing file, section or value, or an unreadable file, gives the fallback.
    QString readText(const QString& name, const QString& fallback = {}) const;
    // As readText; a value that is not a decimal 32-bit number also gives the fallback.
    int readNumber(const QString& name, int fallback) const;

    // Writes one value, keeping every other. Opens the store first when it is not open yet, and
    // makes its folder when missing.
    // Throws lsg::Exception when the file cannot be written.
    void writeText(const QString& name, const QString& value);
    void writeNumber(const QString& name, int value);

private:
    QString m_folder;
    bool m_open = false;
};

}  // namespace lsg::check
