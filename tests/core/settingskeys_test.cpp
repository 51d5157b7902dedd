// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/globals.h"
#include "core/inifile.h"
#include "core/settingskeys.h"
#include "platform/exception.h"

using namespace lsg;
using namespace lsg::settings;

namespace {

class SettingsKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder = m_dir.path() + QLatin1Char('/');
        m_file = std::make_unique<IniFile>(DataFolder + QLatin1String(kFileName));
        SettingsFile = m_file.get();
    }
    void TearDown() override { SettingsFile = nullptr; }

    void setContent(const QByteArray& lines) {
        QFile file(SettingsFile->fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Settings]\n" + lines);
    }
    QByteArray content() const {
        QFile file(SettingsFile->fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<IniFile> m_file;
};

TEST_F(SettingsKeysTest, KeyNamesInTheFile) {
    writeInt(Key::Left, 1);
    writeInt(Key::Top, 2);
    writeInt(Key::Height, 3);
    writeInt(Key::Width, 4);
    writeInt(Key::Transparency, 204);
    writeInt(Key::ShowCores, 1);
    writeInt(Key::StayOnTop, 0);
    writeColor(Key::Textcolor, clBlack);
    writeColor(Key::BackgroundColor, rgbColor(255, 128, 0));
    writeText(Key::Fontname, QStringLiteral("Tahoma"));
    writeFontSize(8);
    writeFontStyle({.bold = true, .italic = true, .underline = false});
    EXPECT_EQ(content(),
              QByteArray("[Settings]\nLeft=1\nTop=2\nHeight=3\nWidth=4\nTransparency=204\n"
                         "ShowCores=1\nStayOnTop=0\nTextcolor=clBlack\n"
                         "BackgroundColor=$000080FF\nFontname=Tahoma\nFontsize=8\nFontstyle=5\n"));
}

TEST_F(SettingsKeysTest, ReadsThroughTheFile) {
    EXPECT_EQ(readInt(Key::Left), 0);
    EXPECT_EQ(readColor(Key::Textcolor), std::nullopt);
    EXPECT_EQ(readFontSize(), std::nullopt);
    EXPECT_EQ(readFontStyle(), std::nullopt);
    EXPECT_EQ(readText(Key::Fontname), QString());

    setContent(
        "Left=0x20\nTop=abc\nTextcolor=CLRED\nBackgroundColor=$000000FF\n"
        "Fontsize=12\nFontstyle=7\nFontname= Courier New \n");
    EXPECT_EQ(readInt(Key::Left), 32);
    EXPECT_EQ(readInt(Key::Top), 0);
    EXPECT_EQ(readColor(Key::Textcolor), clRed);
    EXPECT_EQ(readColor(Key::BackgroundColor), clRed);
    EXPECT_EQ(readFontSize(), 12);
    EXPECT_EQ(readFontStyle(), (FontStyle{.bold = true, .italic = true, .underline = true}));
    EXPECT_EQ(readText(Key::Fontname), QStringLiteral("Courier New"));

    writeColor(Key::BackgroundColor, clWhite);
    EXPECT_EQ(readText(Key::BackgroundColor), QStringLiteral("clWhite"));
}

TEST_F(SettingsKeysTest, MalformedAppearanceTextsRaise) {
    setContent("Textcolor=reddish\nFontsize=12pt\nFontstyle=0x5\n");
    const auto messageOf = [](auto call) {
        try {
            call();
        } catch (const Exception& e) {
            return e.message();
        }
        return QStringLiteral("no error");
    };
    EXPECT_EQ(messageOf([] { readColor(Key::Textcolor); }),
              QStringLiteral("'reddish' is not a valid integer value"));
    EXPECT_EQ(messageOf([] { readFontSize(); }),
              QStringLiteral("'12pt' is not a valid integer value"));
    EXPECT_EQ(messageOf([] { readFontStyle(); }),
              QStringLiteral("'0x5' is not a valid integer value"));
}

TEST_F(SettingsKeysTest, WithoutAnOpenFileReadsAreEmptyAndWritesFail) {
    SettingsFile = nullptr;
    EXPECT_EQ(readInt(Key::Width), 0);
    EXPECT_EQ(readText(Key::Fontname), QString());
    try {
        writeInt(Key::Width, 5);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to ") + DataFolder +
                                   QStringLiteral("settings.ini"));
    }
}

}  // namespace
