// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <optional>

#include "core/settingsformat.h"
#include "platform/exception.h"

using namespace lsg;
using namespace lsg::settings;

namespace {

struct IntegerCase {
    const char* text;
    std::optional<qint32> strict;  // parseInteger
    qint32 lenient;                // readIntegerText with default -7
};

TEST(SettingsFormat, IntegerTexts) {
    const IntegerCase cases[] = {
        {"0", 0, 0},
        {"32", 32, 32},
        {"-300", -300, -300},
        {"+5", 5, 5},
        {"007", 7, 7},
        {"$20", 32, 32},
        {"$ff", 255, 255},
        {"-$20", -32, -32},
        {"0x20", std::nullopt, 32},
        {"0X1f", std::nullopt, 31},
        {"0x", std::nullopt, -7},  // too short for the prefix rule
        {"0", 0, 0},
        {"abc", std::nullopt, -7},
        {"", std::nullopt, -7},
        {"$", std::nullopt, -7},
        {"-", std::nullopt, -7},
        {" 5", std::nullopt, -7},
        {"5 ", std::nullopt, -7},
        {"12px", std::nullopt, -7},
        {"1.5", std::nullopt, -7},
        {"$1G", std::nullopt, -7},
        {"2147483647", 2147483647, 2147483647},
        {"-2147483648", qint32(-2147483647 - 1), qint32(-2147483647 - 1)},
        {"2147483648", std::nullopt, -7},
        {"-2147483649", std::nullopt, -7},
        {"99999999999999999999999", std::nullopt, -7},
        {"$FFFFFFFF", -1, -1},
        {"$FF000008", qint32(0xFF000008u), qint32(0xFF000008u)},
        {"$100000000", std::nullopt, -7},
        {"0x100000000", std::nullopt, -7},
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInteger(QString::fromLatin1(c.text)), c.strict);
        EXPECT_EQ(readIntegerText(QString::fromLatin1(c.text), -7), c.lenient);
    }
}

TEST(SettingsFormat, StrictIntegerNamesTheText) {
    EXPECT_EQ(strictInteger(QStringLiteral("$10")), 16);
    try {
        strictInteger(QStringLiteral("12pt"));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12pt' is not a valid integer value"));
    }
    EXPECT_THROW(strictInteger(QStringLiteral("0x10")), Exception);
    EXPECT_THROW(strictInteger(QString()), Exception);
}

TEST(SettingsFormat, ColorTextsBothWays) {
    EXPECT_EQ(colorToText(clWhite), QStringLiteral("clWhite"));
    EXPECT_EQ(colorToText(clBlack), QStringLiteral("clBlack"));
    EXPECT_EQ(colorToText(rgbColor(255, 128, 0)), QStringLiteral("$000080FF"));
    EXPECT_EQ(colorToText(0x00ABCDEF), QStringLiteral("$00ABCDEF"));
    EXPECT_EQ(colorToText(clWindowText), QStringLiteral("clWindowText"));
    EXPECT_EQ(colorToText(clBtnFace), QStringLiteral("clBtnFace"));
    EXPECT_EQ(colorToText(clDefault), QStringLiteral("clDefault"));
    EXPECT_EQ(colorToText(clNone), QStringLiteral("clNone"));
    // System colour 25 has no name.
    EXPECT_EQ(colorToText(systemColor(25)), QStringLiteral("$FF000019"));

    EXPECT_EQ(textToColor(QStringLiteral("CLRED")), clRed);
    EXPECT_EQ(textToColor(QStringLiteral("clred")), clRed);
    EXPECT_EQ(textToColor(QStringLiteral("255")), clRed);
    EXPECT_EQ(textToColor(QStringLiteral("$000000FF")), clRed);
    EXPECT_EQ(textToColor(QStringLiteral("clMenuHighlight")), clMenuHighlight);
    EXPECT_EQ(textToColor(QStringLiteral("$FF000019")), systemColor(25));
    EXPECT_EQ(textToColor(QStringLiteral("-1")), 0xFFFFFFFFu);
    try {
        textToColor(QStringLiteral("reddish"));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'reddish' is not a valid integer value"));
    }
}

TEST(SettingsFormat, EveryNamedColorRoundTrips) {
    const std::pair<const char*, TColor> table[] = {
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
        {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000},
        {"clScrollBar", 0xFF000000},
        {"clBackground", 0xFF000001},
        {"clActiveCaption", 0xFF000002},
        {"clInactiveCaption", 0xFF000003},
        {"clMenu", 0xFF000004},
        {"clWindow", 0xFF000005},
        {"clWindowFrame", 0xFF000006},
        {"clMenuText", 0xFF000007},
        {"clWindowText", 0xFF000008},
        {"clCaptionText", 0xFF000009},
        {"clActiveBorder", 0xFF00000A},
        {"clInactiveBorder", 0xFF00000B},
        {"clAppWorkSpace", 0xFF00000C},
        {"clHighlight", 0xFF00000D},
        {"clHighlightText", 0xFF00000E},
        {"clBtnFace", 0xFF00000F},
        {"clBtnShadow", 0xFF000010},
        {"clGrayText", 0xFF000011},
        {"clBtnText", 0xFF000012},
        {"clInactiveCaptionText", 0xFF000013},
        {"clBtnHighlight", 0xFF000014},
        {"cl3DDkShadow", 0xFF000015},
        {"cl3DLight", 0xFF000016},
        {"clInfoText", 0xFF000017},
        {"clInfoBk", 0xFF000018},
        {"clHotLight", 0xFF00001A},
        {"clGradientActiveCaption", 0xFF00001B},
        {"clGradientInactiveCaption", 0xFF00001C},
        {"clMenuHighlight", 0xFF00001D},
        {"clMenuBar", 0xFF00001E},
    };
    for (const auto& [name, value] : table) {
        SCOPED_TRACE(name);
        EXPECT_EQ(colorToText(value), QString::fromLatin1(name));
        EXPECT_EQ(textToColor(QString::fromLatin1(name).toUpper()), value);
    }
}

TEST(SettingsFormat, FontStyleCodes) {
    EXPECT_EQ(fontStyleCode({.bold = true, .italic = true, .underline = false}), 5);
    EXPECT_EQ(fontStyleCode({.bold = true, .italic = true, .underline = true}), 7);
    EXPECT_EQ(fontStyleCode({}), 0);  // a strikeout-only font keeps nothing
    for (qint32 code = 0; code <= 7; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(fontStyleCode(fontStyleFromCode(code)), code);
    }
    EXPECT_EQ(fontStyleFromCode(6), (FontStyle{.bold = false, .italic = true, .underline = true}));
    // Codes the program never writes follow the reader's rules, without failing.
    EXPECT_EQ(fontStyleFromCode(8), (FontStyle{.bold = false, .italic = true, .underline = false}));
    EXPECT_EQ(fontStyleFromCode(-1),
              (FontStyle{.bold = true, .italic = false, .underline = false}));
}

}  // namespace
