// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "about/versioninfo_block.h"
#include "fuzz/common.h"

#include <QtEndian>

namespace lsg::fuzz {

// Reads a block the way the program reads its own: the root's fixed information, the first
// translation and the twelve texts under it, and one more path taken from the block's end.
inline void walkVersionBlock(QByteArrayView block) {
    using namespace lsg::versioninfo;
    const qsizetype length = versionBlockLength(block);
    require(length >= 0 && length <= block.size());
    (void)fileVersionMS(block);
    QString table = QStringLiteral("040904E4");
    if (const auto translation = queryValue(block, u"\\VarFileInfo\\Translation")) {
        if (translation->bytes.size() >= 4) {
            const auto* p = reinterpret_cast<const uchar*>(translation->bytes.data());
            table = QStringLiteral("%1%2")
                        .arg(qFromLittleEndian<quint16>(p), 4, 16, QLatin1Char('0'))
                        .arg(qFromLittleEndian<quint16>(p + 2), 4, 16, QLatin1Char('0'));
        }
    }
    static const char* const kKeys[] = {"CompanyName",      "FileDescription", "FileVersion",
                                        "InternalName",     "LegalCopyright",  "LegalTrademarks",
                                        "OriginalFilename", "ProductName",     "ProductVersion",
                                        "Comments",         "PrivateBuild",    "SpecialBuild"};
    for (const char* key : kKeys) {
        const QString path =
            QStringLiteral("\\StringFileInfo\\") + table + u'\\' + QLatin1String(key);
        if (const auto value = queryValue(block, path)) {
            require(value->bytes.size() <= block.size());
            (void)textOf(*value);
        }
    }
    const QByteArrayView tail = block.last(std::min<qsizetype>(block.size(), 40));
    const QString path = QString::fromUtf8(tail.data(), tail.size());
    if (const auto value = queryValue(block, path)) {
        (void)textOf(*value);
    }
}

}  // namespace lsg::fuzz
