// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <optional>

#include "core/settingsformat.h"
#include "core/tcolor.h"

namespace lsg {
class IniFile;
}

// The keys of settings.ini and their defaults, in one place. Every reader and writer of the
// file goes through these accessors on the file start-up opened (null before it did: every key
// reads as absent, and a write fails); nothing else spells a key name.
namespace lsg::settings {

// Name of the file inside the data folder.
inline constexpr char kFileName[] = "settings.ini";
// The one section the program uses.
inline constexpr char kSection[] = "Settings";

enum class Key {
    Left,             // integer, screen pixels
    Top,              // integer, screen pixels
    Height,           // integer, outer height in pixels
    Width,            // integer, outer width in pixels
    Transparency,     // integer, opacity 1..255 (absent or outside: opaque)
    ShowCores,        // integer 0 or 1
    StayOnTop,        // integer 0 or 1
    Textcolor,        // colour text
    BackgroundColor,  // colour text
    Fontname,         // plain text
    Fontsize,         // integer text, points
    Fontstyle,        // integer text, fontStyleCode
    LiveTrayIcon,     // integer 0 or 1: the tray icon shows the load (absent: on)
};

// The key's name as it appears in the file.
QString keyName(Key key);

// What the program uses while a key is absent (or 0 for the integer keys).
inline constexpr qint32 kDefaultTransparency = 255;
inline constexpr TColor kDefaultTextColor = clWindowText;
inline constexpr TColor kDefaultBackgroundColor = clBtnFace;
inline constexpr char kDefaultFontName[] = "Tahoma";
inline constexpr qint32 kDefaultFontSize = 8;
inline constexpr bool kDefaultLiveTrayIcon = true;

// The key read by the lenient integer reader: 0 when absent, not an integer, or outside the
// key's range (Transparency: 1..255).
qint32 readInt(const IniFile* file, Key key);
// The same, but empty instead of 0, so that a stored 0 can be told from a missing key.
std::optional<qint32> readOptionalInt(const IniFile* file, Key key);
// Writes the value as decimal text at once; throws lsg::Exception "Unable to write to ..."
// when the file refuses the write.
void writeInt(IniFile* file, Key key, qint32 value);

// The key's text, empty when absent.
QString readText(const IniFile* file, Key key);
void writeText(IniFile* file, Key key, const QString& text);

// The colour of a colour key; nullopt when its text is empty. A text that is neither a colour
// name nor an integer throws "'<text>' is not a valid integer value".
std::optional<TColor> readColor(const IniFile* file, Key key);
void writeColor(IniFile* file, Key key, TColor color);

// "LiveTrayIcon": off only when it reads as exactly 0, so that a file from before the key, or
// a hand-edited value that is no integer, keeps the default.
bool readLiveTrayIcon(const IniFile* file);
void writeLiveTrayIcon(IniFile* file, bool on);

// "Fontsize" by the strict integer parse; nullopt when empty, throws when malformed.
std::optional<qint32> readFontSize(const IniFile* file);
void writeFontSize(IniFile* file, qint32 points);

// "Fontstyle" by the strict integer parse; nullopt when empty, throws when malformed.
std::optional<FontStyle> readFontStyle(const IniFile* file);
void writeFontStyle(IniFile* file, FontStyle style);

}  // namespace lsg::settings
