// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/settingskeys.h"

#include <QCoreApplication>

#include "core/inifile.h"
#include "platform/exception.h"

namespace lsg::settings {

namespace {

// The reader's default of every integer key.
constexpr qint32 kIntegerDefault = 0;

QString section() {
    return QString::fromLatin1(kSection);
}

// Before start-up has opened the file nothing can be written to it.
IniFile& writer(IniFile* file) {
    if (file == nullptr) {
        throw Exception(QCoreApplication::translate("lsg::IniFile", "Unable to write to %1")
                            .arg(QLatin1String(kFileName)));
    }
    return *file;
}

// A value outside a key's range reads as absent: only the low 8 bits of a hand-edited
// Transparency=256 would make the gadget invisible.
bool inRange(Key key, qint32 value) {
    if (key == Key::Transparency) {
        return value >= 1 && value <= 255;
    }
    return true;
}

}  // namespace

QString keyName(Key key) {
    switch (key) {
        case Key::Left:
            return QStringLiteral("Left");
        case Key::Top:
            return QStringLiteral("Top");
        case Key::Height:
            return QStringLiteral("Height");
        case Key::Width:
            return QStringLiteral("Width");
        case Key::Transparency:
            return QStringLiteral("Transparency");
        case Key::ShowCores:
            return QStringLiteral("ShowCores");
        case Key::StayOnTop:
            return QStringLiteral("StayOnTop");
        case Key::Textcolor:
            return QStringLiteral("Textcolor");
        case Key::BackgroundColor:
            return QStringLiteral("BackgroundColor");
        case Key::Fontname:
            return QStringLiteral("Fontname");
        case Key::Fontsize:
            return QStringLiteral("Fontsize");
        case Key::Fontstyle:
            return QStringLiteral("Fontstyle");
        case Key::LiveTrayIcon:
            return QStringLiteral("LiveTrayIcon");
    }
    return QString();
}

qint32 readInt(const IniFile* file, Key key) {
    return readOptionalInt(file, key).value_or(kIntegerDefault);
}

std::optional<qint32> readOptionalInt(const IniFile* file, Key key) {
    const std::optional<qint32> value = parseIntegerText(readText(file, key));
    if (!value || !inRange(key, *value)) {
        return std::nullopt;
    }
    return value;
}

void writeInt(IniFile* file, Key key, qint32 value) {
    writer(file).writeInteger(section(), keyName(key), value);
}

QString readText(const IniFile* file, Key key) {
    return file ? file->readString(section(), keyName(key), QString()) : QString();
}

void writeText(IniFile* file, Key key, const QString& text) {
    writer(file).writeString(section(), keyName(key), text);
}

std::optional<TColor> readColor(const IniFile* file, Key key) {
    const QString text = readText(file, key);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return textToColor(text);
}

void writeColor(IniFile* file, Key key, TColor color) {
    writeText(file, key, colorToText(color));
}

bool readLiveTrayIcon(const IniFile* file) {
    const std::optional<qint32> value = readOptionalInt(file, Key::LiveTrayIcon);
    return value ? *value != 0 : kDefaultLiveTrayIcon;
}

void writeLiveTrayIcon(IniFile* file, bool on) {
    writeInt(file, Key::LiveTrayIcon, on ? 1 : 0);
}

std::optional<qint32> readFontSize(const IniFile* file) {
    const QString text = readText(file, Key::Fontsize);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return strictInteger(text);
}

void writeFontSize(IniFile* file, qint32 points) {
    writeInt(file, Key::Fontsize, points);
}

std::optional<FontStyle> readFontStyle(const IniFile* file) {
    const QString text = readText(file, Key::Fontstyle);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return fontStyleFromCode(strictInteger(text));
}

void writeFontStyle(IniFile* file, FontStyle style) {
    writeInt(file, Key::Fontstyle, fontStyleCode(style));
}

}  // namespace lsg::settings
