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

GadgetSettings readGadgetSettings() {
    GadgetSettings s;
    s.left = readOptionalInt(Key::Left);
    s.top = readOptionalInt(Key::Top);
    s.height = readInt(Key::Height);
    s.width = readInt(Key::Width);
    s.transparency = readInt(Key::Transparency);
    s.showCores = readInt(Key::ShowCores) > 0;
    s.stayOnTop = readInt(Key::StayOnTop) == 1;
    s.textColor = readLook<TColor>([] { return readColor(Key::Textcolor); });
    s.backgroundColor = readLook<TColor>([] { return readColor(Key::BackgroundColor); });
    s.fontName = readText(Key::Fontname);
    s.fontSize = readLook<qint32>([] { return readFontSize(); });
    s.fontStyle = readLook<FontStyle>([] { return readFontStyle(); });
    return s;
}

}  // namespace lsg::settings
