// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/settingsformat.h"

#include <QCoreApplication>
#include <array>
#include <cstdint>

#include "platform/exception.h"

namespace lsg::settings {

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

// Every name the colour texts may carry; each value has at most one name.
constexpr std::array<NamedColor, 52> kColorNames{{
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", systemColor(0)},
    {"clBackground", systemColor(1)},
    {"clActiveCaption", systemColor(2)},
    {"clInactiveCaption", systemColor(3)},
    {"clMenu", systemColor(4)},
    {"clWindow", systemColor(5)},
    {"clWindowFrame", systemColor(6)},
    {"clMenuText", systemColor(7)},
    {"clWindowText", systemColor(8)},
    {"clCaptionText", systemColor(9)},
    {"clActiveBorder", systemColor(10)},
    {"clInactiveBorder", systemColor(11)},
    {"clAppWorkSpace", systemColor(12)},
    {"clHighlight", systemColor(13)},
    {"clHighlightText", systemColor(14)},
    {"clBtnFace", systemColor(15)},
    {"clBtnShadow", systemColor(16)},
    {"clGrayText", systemColor(17)},
    {"clBtnText", systemColor(18)},
    {"clInactiveCaptionText", systemColor(19)},
    {"clBtnHighlight", systemColor(20)},
    {"cl3DDkShadow", systemColor(21)},
    {"cl3DLight", systemColor(22)},
    {"clInfoText", systemColor(23)},
    {"clInfoBk", systemColor(24)},
    {"clHotLight", systemColor(26)},
    {"clGradientActiveCaption", systemColor(27)},
    {"clGradientInactiveCaption", systemColor(28)},
    {"clMenuHighlight", systemColor(29)},
    {"clMenuBar", systemColor(30)},
}};

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<qint32> parseInteger(QStringView text) {
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const bool hex = pos < text.size() && text[pos] == u'$';
    if (hex) {
        ++pos;
    }
    if (pos >= text.size()) {
        return std::nullopt;
    }
    const std::uint64_t base = hex ? 16 : 10;
    // Hexadecimal texts may fill all 32 bits; decimal ones stop at the signed range (one
    // more on the negative side).
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = hexDigit(text[pos]);
        if (digit < 0 || std::uint64_t(digit) >= base) {
            return std::nullopt;
        }
        magnitude = magnitude * base + std::uint64_t(digit);
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    std::uint32_t bits = std::uint32_t(magnitude);
    if (negative) {
        bits = 0u - bits;
    }
    return static_cast<qint32>(bits);
}

std::optional<qint32> parseIntegerText(QStringView text) {
    if (text.size() > 2 && text.startsWith(u"0x", Qt::CaseInsensitive)) {
        const QString dollar = QLatin1Char('$') + text.mid(2).toString();
        return parseInteger(dollar);
    }
    return parseInteger(text);
}

qint32 readIntegerText(QStringView text, qint32 defaultValue) {
    return parseIntegerText(text).value_or(defaultValue);
}

qint32 strictInteger(const QString& text) {
    if (const auto value = parseInteger(text)) {
        return *value;
    }
    throw Exception(
        QCoreApplication::translate("lsg::SettingsFormat", "'%1' is not a valid integer value")
            .arg(text));
}

QString colorToText(TColor color) {
    for (const NamedColor& named : kColorNames) {
        if (named.value == color) {
            return QString::fromLatin1(named.name);
        }
    }
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

TColor textToColor(const QString& text) {
    for (const NamedColor& named : kColorNames) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
            return named.value;
        }
    }
    return static_cast<TColor>(strictInteger(text));
}

qint32 fontStyleCode(FontStyle style) {
    return (style.bold ? 1 : 0) + (style.underline ? 2 : 0) + (style.italic ? 4 : 0);
}

FontStyle fontStyleFromCode(qint32 code) {
    FontStyle style;
    style.bold = (code & 1) != 0;
    style.underline = code == 2 || code == 3 || code == 6 || code == 7;
    style.italic = code > 3;
    return style;
}

}  // namespace lsg::settings
