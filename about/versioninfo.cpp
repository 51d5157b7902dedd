// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/versioninfo.h"

#include <QCoreApplication>
#include <array>
#include <cstring>

#include "about/versioninfo_block.h"
#include "about/versioninfo_locate.h"
#include "platform/exception.h"

namespace lsg {

namespace {

// The error text of a failed system call; code 0 means the failure had no error code of its own.
[[noreturn]] void raiseSystemError(int code) {
    if (code == 0) {
        throw Exception(
            QCoreApplication::translate("lsg::VersionInfo", "A call to an OS function failed"));
    }
    char buffer[256];
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    throw Exception(
        QCoreApplication::translate("lsg::VersionInfo", "System Error.  Code: %1.\r\n%2%3")
            .arg(code)
            .arg(QString::fromLocal8Bit(text), QString()));
}

}  // namespace

TEXEVersionData ReadEXEVersionData(const QString& fileName,
                                   std::span<const versioninfo::ExecutableFormat> formats) {
    QByteArray block;
    try {
        block = versioninfo::readVersionBlock(fileName, formats);
    } catch (const versioninfo::LocateError& e) {
        raiseSystemError(e.code());
    }

    const auto translation = versioninfo::queryValue(block, u"\\VarFileInfo\\Translation\\");
    if (!translation || translation->bytes.size() < 4) {
        raiseSystemError(0);
    }
    // Only the first entry counts: its language and code page name the string table.
    const QByteArrayView t = translation->bytes;
    const auto word = [&](int at) {
        return static_cast<uint>(static_cast<quint8>(t[at]) |
                                 (static_cast<quint8>(t[at + 1]) << 8));
    };
    const QString table = QString::asprintf("%.4x%.4x", word(0), word(2)).toUpper();

    TEXEVersionData data;
    const std::array<std::pair<const char16_t*, QString*>, 12> fields{{
        {u"\\CompanyName", &data.CompanyName},
        {u"\\FileDescription", &data.FileDescription},
        {u"\\FileVersion", &data.FileVersion},
        {u"\\InternalName", &data.InternalName},
        {u"\\LegalCopyright", &data.LegalCopyright},
        {u"\\LegalTrademarks", &data.LegalTrademarks},
        {u"\\OriginalFileName", &data.OriginalFileName},
        {u"\\ProductName", &data.ProductName},
        {u"\\ProductVersion", &data.ProductVersion},
        {u"\\Comments", &data.Comments},
        {u"\\PrivateBuild", &data.PrivateBuild},
        {u"\\SpecialBuild", &data.SpecialBuild},
    }};
    const QString prefix = QStringLiteral("\\StringFileInfo\\") + table;
    for (const auto& [key, field] : fields) {
        if (const auto value = versioninfo::queryValue(block, prefix + QString::fromUtf16(key))) {
            *field = versioninfo::textOf(*value);
        }
    }
    return data;
}

quint32 GetFileVersion(const QString& fileName,
                       std::span<const versioninfo::ExecutableFormat> formats) noexcept {
    try {
        const QByteArray block = versioninfo::readVersionBlock(fileName, formats);
        return versioninfo::fileVersionMS(block).value_or(0xFFFFFFFF);
    } catch (...) {
        return 0xFFFFFFFF;
    }
}

QString formatAppVersion(quint32 fileVersionMS) {
    return QString::asprintf("%d.%d", static_cast<int>(fileVersionMS >> 16),
                             static_cast<int>(fileVersionMS & 0xFFFF));
}

}  // namespace lsg
