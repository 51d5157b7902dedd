// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The integer, colour and font-style readers of settings.ini values on any text, with the
// round trips the settings rely on.
#include "core/settingsformat.h"
#include "fuzz/common.h"
#include "platform/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::settings;
    using lsg::fuzz::require;
    const QString texts[] = {QString::fromUtf8(lsg::fuzz::bytes(data, size)),
                             lsg::fuzz::utf16(data, size)};
    for (const QString& text : texts) {
        const std::optional<qint32> parsed = parseInteger(text);
        const qint32 lenient = readIntegerText(text, 12345);
        if (parsed) {
            require(lenient == *parsed);
            require(strictInteger(text) == *parsed);
        } else {
            try {
                (void)strictInteger(text);
                require(false);
            } catch (const lsg::Exception&) {
            }
        }
        try {
            const lsg::TColor color = textToColor(text);
            // What is written back must read as the same colour.
            require(textToColor(colorToText(color)) == color);
        } catch (const lsg::Exception&) {
        }
        const FontStyle style = fontStyleFromCode(lenient);
        (void)fontStyleCode(style);
    }
    return 0;
}
