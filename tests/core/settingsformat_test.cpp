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

// The colours as a user knows them, not as the program stores them: fixed colours by their red,
// green and blue, system colours by the index the system knows them by, so that a swapped
// channel or a shifted index in the program's table shows.
TEST(SettingsFormat, EveryNamedColorRoundTrips) {
    struct Rgb {
        int red, green, blue;
    };
    const std::pair<const char*, Rgb> fixed[] = {
        {"clBlack", {0, 0, 0}},
        {"clMaroon", {128, 0, 0}},
        {"clGreen", {0, 128, 0}},
        {"clOlive", {128, 128, 0}},
        {"clNavy", {0, 0, 128}},
        {"clPurple", {128, 0, 128}},
        {"clTeal", {0, 128, 128}},
        {"clGray", {128, 128, 128}},
        {"clSilver", {192, 192, 192}},
        {"clRed", {255, 0, 0}},
        {"clLime", {0, 255, 0}},
        {"clYellow", {255, 255, 0}},
        {"clBlue", {0, 0, 255}},
        {"clFuchsia", {255, 0, 255}},
        {"clAqua", {0, 255, 255}},
        {"clWhite", {255, 255, 255}},
        {"clMoneyGreen", {192, 220, 192}},
        {"clSkyBlue", {166, 202, 240}},
        {"clCream", {255, 251, 240}},
        {"clMedGray", {160, 160, 164}},
    };
    for (const auto& [name, rgb] : fixed) {
        SCOPED_TRACE(name);
        const TColor value = TColor(rgb.red | rgb.green << 8 | rgb.blue << 16);
        EXPECT_EQ(colorToText(value), QString::fromLatin1(name));
        EXPECT_EQ(textToColor(QString::fromLatin1(name).toUpper()), value);
    }

    // In the order of their indices, from 0; 25 has no name.
    const char* const systemNames[] = {
        "clScrollBar",
        "clBackground",
        "clActiveCaption",
        "clInactiveCaption",
        "clMenu",
        "clWindow",
        "clWindowFrame",
        "clMenuText",
        "clWindowText",
        "clCaptionText",
        "clActiveBorder",
        "clInactiveBorder",
        "clAppWorkSpace",
        "clHighlight",
        "clHighlightText",
        "clBtnFace",
        "clBtnShadow",
        "clGrayText",
        "clBtnText",
        "clInactiveCaptionText",
        "clBtnHighlight",
        "cl3DDkShadow",
        "cl3DLight",
        "clInfoText",
        "clInfoBk",
        nullptr,
        "clHotLight",
        "clGradientActiveCaption",
        "clGradientInactiveCaption",
        "clMenuHighlight",
        "clMenuBar",
    };
    for (quint32 index = 0; index < std::size(systemNames); ++index) {
        if (systemNames[index] == nullptr) {
            continue;
        }
        SCOPED_TRACE(systemNames[index]);
        EXPECT_EQ(colorToText(0xFF000000u + index), QString::fromLatin1(systemNames[index]));
        EXPECT_EQ(textToColor(QString::fromLatin1(systemNames[index])), 0xFF000000u + index);
    }

    for (const auto& [name, value] :
         {std::pair{"clNone", 0x1FFFFFFFu}, {"clDefault", 0x20000000u}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(colorToText(value), QString::fromLatin1(name));
        EXPECT_EQ(textToColor(QString::fromLatin1(name)), value);
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
