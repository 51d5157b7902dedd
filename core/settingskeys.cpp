// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/settingskeys.h"

#include "core/globals.h"
#include "core/inifile.h"
#include "platform/exception.h"

namespace lsg::settings {

namespace {

// The reader's default of every integer key.
constexpr qint32 kIntegerDefault = 0;

QString section() {
    return QString::fromLatin1(kSection);
}

// Reads go to the file; before start-up has opened it every key is absent.
const IniFile* reader() {
    return SettingsFile;
}

IniFile& writer() {
    if (SettingsFile == nullptr) {
        throw Exception(
            QStringLiteral("Unable to write to %1").arg(DataFolder + QLatin1String(kFileName)));
    }
    return *SettingsFile;
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
    }
    return QString();
}

qint32 readInt(Key key) {
    return readOptionalInt(key).value_or(kIntegerDefault);
}

std::optional<qint32> readOptionalInt(Key key) {
    const std::optional<qint32> value = parseIntegerText(readText(key));
    if (!value || !inRange(key, *value)) {
        return std::nullopt;
    }
    return value;
}

void writeInt(Key key, qint32 value) {
    writer().writeInteger(section(), keyName(key), value);
}

QString readText(Key key) {
    const IniFile* file = reader();
    return file ? file->readString(section(), keyName(key), QString()) : QString();
}

void writeText(Key key, const QString& text) {
    writer().writeString(section(), keyName(key), text);
}

std::optional<TColor> readColor(Key key) {
    const QString text = readText(key);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return textToColor(text);
}

void writeColor(Key key, TColor color) {
    writeText(key, colorToText(color));
}

std::optional<qint32> readFontSize() {
    const QString text = readText(Key::Fontsize);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return strictInteger(text);
}

void writeFontSize(qint32 points) {
    writeInt(Key::Fontsize, points);
}

std::optional<FontStyle> readFontStyle() {
    const QString text = readText(Key::Fontstyle);
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return fontStyleFromCode(strictInteger(text));
}

void writeFontStyle(FontStyle style) {
    writeInt(Key::Fontstyle, fontStyleCode(style));
}

}  // namespace lsg::settings
