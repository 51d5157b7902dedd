// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "core/tcolor.h"

// Text forms of the values kept in settings.ini: integers, colours and font styles.
namespace lsg::settings {

// A decimal ("-12", "+7") or "$"-hexadecimal ("$FF", "-$20") 32-bit integer; nothing else,
// no blanks. Hexadecimal texts may use all 32 bits ("$FFFFFFFF" is -1, so system colours
// round-trip); decimal texts must lie within the signed 32-bit range.
std::optional<qint32> parseInteger(QStringView text);

// The lenient reader of integer keys: a text longer than 2 characters starting with "0x" (any
// case) has that prefix read as "$"; an empty or unparsable text gives nullopt.
std::optional<qint32> parseIntegerText(QStringView text);
// The same with a default for an empty or unparsable text.
qint32 readIntegerText(QStringView text, qint32 defaultValue);

// The strict parse: throws lsg::Exception "'<text>' is not a valid integer value".
qint32 strictInteger(const QString& text);

// The colour's name when it has one (e.g. "clBlack"), else "$" + 8 upper-case hex digits.
QString colorToText(TColor color);
// A colour name (any case) or an integer text; anything else throws as strictInteger does.
TColor textToColor(const QString& text);

// The font style the settings remember; strikeout is not kept.
struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

// Bold adds 1, underline 2, italic 4.
qint32 fontStyleCode(FontStyle style);
// Bold when bit 0 is set, underline for the codes 2, 3, 6 and 7, italic above 3; the codes
// 0..7 give back the style they were written from.
FontStyle fontStyleFromCode(qint32 code);

}  // namespace lsg::settings
