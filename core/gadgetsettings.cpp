// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/gadgetsettings.h"

#include "core/settingskeys.h"
#include "platform/exception.h"

namespace lsg::settings {
namespace {

template <class T, class Reader>
LookValue<T> readLook(Reader&& reader) {
    LookValue<T> result;
    try {
        result.value = reader();
    } catch (const Exception& e) {
        result.error = e.message();
    }
    return result;
}

}  // namespace

template <class T>
const std::optional<T>& LookValue<T>::get() const {
    if (!error.isEmpty()) {
        throw Exception(error);
    }
    return value;
}

template struct LookValue<TColor>;
template struct LookValue<qint32>;
template struct LookValue<FontStyle>;

GadgetSettings readGadgetSettings(const IniFile* file) {
    GadgetSettings s;
    s.left = readOptionalInt(file, Key::Left);
    s.top = readOptionalInt(file, Key::Top);
    s.height = readInt(file, Key::Height);
    s.width = readInt(file, Key::Width);
    s.transparency = readInt(file, Key::Transparency);
    s.showCores = readInt(file, Key::ShowCores) > 0;
    s.stayOnTop = readInt(file, Key::StayOnTop) == 1;
    s.textColor = readLook<TColor>([file] { return readColor(file, Key::Textcolor); });
    s.backgroundColor = readLook<TColor>([file] { return readColor(file, Key::BackgroundColor); });
    s.fontName = readText(file, Key::Fontname);
    s.fontSize = readLook<qint32>([file] { return readFontSize(file); });
    s.fontStyle = readLook<FontStyle>([file] { return readFontStyle(file); });
    return s;
}

}  // namespace lsg::settings
