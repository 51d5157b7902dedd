// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The settings-file reader on any file content, with the readers of its integer, colour and
// font-style values on what it returns.
#include "core/inifile.h"
#include "core/settingsformat.h"
#include "core/settingskeys.h"
#include "fuzz/common.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString& filePath() {
    // A file rewritten for every input: memory-backed when the system offers it.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/lsg-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/lsg-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("settings.ini"));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::settings;
    {
        QFile file(filePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const lsg::IniFile ini(filePath());
    const QString section = QString::fromLatin1(kSection);
    for (int k = 0; k <= static_cast<int>(Key::LiveTrayIcon); ++k) {
        const QString name = keyName(static_cast<Key>(k));
        const QString text = ini.readString(section, name, QStringLiteral("default"));
        // readInteger is readIntegerText over readString; one read of the file serves both.
        (void)fontStyleFromCode(readIntegerText(text, -7));
        try {
            (void)textToColor(text);
        } catch (const lsg::Exception&) {
        }
    }
    // A section and a key named by the file itself: its first line, split at '='.
    const QByteArray first = lsg::fuzz::bytes(data, size).left(64).split('\n').first();
    const qsizetype eq = first.indexOf('=');
    if (eq > 0) {
        (void)ini.readString(QString::fromUtf8(first.left(eq)),
                             QString::fromUtf8(first.mid(eq + 1)), QString());
    }
    return 0;
}
