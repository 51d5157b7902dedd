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

namespace lsg::settings {

// A look value as read: absent, a value, or the error its text gave. The error is kept and
// raised when the value is applied, so that the steps before it still take effect.
template <class T>
struct LookValue {
    std::optional<T> value;
    QString error;  // empty unless the text was malformed

    // The value (nullopt when absent); throws the kept error.
    const std::optional<T>& get() const;
};

// Everything start-up takes from settings.ini, read once. Integer keys read as 0 when absent
// or malformed, which start-up treats as "use the default"; Left and Top tell a stored 0 (a
// place at the edge) from a missing key.
struct GadgetSettings {
    std::optional<qint32> left;
    std::optional<qint32> top;
    qint32 width = 0;   // outer size
    qint32 height = 0;  // outer size
    qint32 transparency = 0;
    bool showCores = false;  // "ShowCores" greater than 0
    bool stayOnTop = false;  // "StayOnTop" exactly 1
    LookValue<TColor> textColor;
    LookValue<TColor> backgroundColor;
    QString fontName;  // empty when absent
    LookValue<qint32> fontSize;
    LookValue<FontStyle> fontStyle;
};

// Reads the settings of the file (null: none opened) through the typed readers of the keys;
// never throws.
GadgetSettings readGadgetSettings(const IniFile* file);

}  // namespace lsg::settings
