// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

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
        m_file = std::make_unique<IniFile>(m_dir.path() + u'/' + QLatin1String(kFileName));
        SettingsFile = m_file.get();
    }

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
    IniFile* SettingsFile = nullptr;
};

TEST_F(SettingsKeysTest, KeyNamesInTheFile) {
    writeInt(SettingsFile, Key::Left, 1);
    writeInt(SettingsFile, Key::Top, 2);
    writeInt(SettingsFile, Key::Height, 3);
    writeInt(SettingsFile, Key::Width, 4);
    writeInt(SettingsFile, Key::Transparency, 204);
    writeInt(SettingsFile, Key::ShowCores, 1);
    writeInt(SettingsFile, Key::StayOnTop, 0);
    writeColor(SettingsFile, Key::Textcolor, clBlack);
    writeColor(SettingsFile, Key::BackgroundColor, rgbColor(255, 128, 0));
    writeText(SettingsFile, Key::Fontname, QStringLiteral("Tahoma"));
    writeFontSize(SettingsFile, 8);
    writeFontStyle(SettingsFile, {.bold = true, .italic = true, .underline = false});
    EXPECT_EQ(content(),
              QByteArray("[Settings]\nLeft=1\nTop=2\nHeight=3\nWidth=4\nTransparency=204\n"
                         "ShowCores=1\nStayOnTop=0\nTextcolor=clBlack\n"
                         "BackgroundColor=$000080FF\nFontname=Tahoma\nFontsize=8\nFontstyle=5\n"));
}

TEST_F(SettingsKeysTest, ReadsThroughTheFile) {
    EXPECT_EQ(readInt(SettingsFile, Key::Left), 0);
    EXPECT_EQ(readColor(SettingsFile, Key::Textcolor), std::nullopt);
    EXPECT_EQ(readFontSize(SettingsFile), std::nullopt);
    EXPECT_EQ(readFontStyle(SettingsFile), std::nullopt);
    EXPECT_EQ(readText(SettingsFile, Key::Fontname), QString());

    setContent(
        "Left=0x20\nTop=abc\nTextcolor=CLRED\nBackgroundColor=$000000FF\n"
        "Fontsize=12\nFontstyle=7\nFontname= Courier New \n");
    EXPECT_EQ(readInt(SettingsFile, Key::Left), 32);
    EXPECT_EQ(readInt(SettingsFile, Key::Top), 0);
    EXPECT_EQ(readColor(SettingsFile, Key::Textcolor), clRed);
    EXPECT_EQ(readColor(SettingsFile, Key::BackgroundColor), clRed);
    EXPECT_EQ(readFontSize(SettingsFile), 12);
    EXPECT_EQ(readFontStyle(SettingsFile),
              (FontStyle{.bold = true, .italic = true, .underline = true}));
    EXPECT_EQ(readText(SettingsFile, Key::Fontname), QStringLiteral("Courier New"));

    writeColor(SettingsFile, Key::BackgroundColor, clWhite);
    EXPECT_EQ(readText(SettingsFile, Key::BackgroundColor), QStringLiteral("clWhite"));
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
    EXPECT_EQ(messageOf([this] { readColor(SettingsFile, Key::Textcolor); }),
              QStringLiteral("'reddish' is not a valid integer value"));
    EXPECT_EQ(messageOf([this] { readFontSize(SettingsFile); }),
              QStringLiteral("'12pt' is not a valid integer value"));
    EXPECT_EQ(messageOf([this] { readFontStyle(SettingsFile); }),
              QStringLiteral("'0x5' is not a valid integer value"));
}

// The live tray icon is on unless the file says exactly 0: files from before the key, and values
// that are no integer, keep the icon live. What is written reads back, beside the other keys.
TEST_F(SettingsKeysTest, LiveTrayIconRoundTripsAndDefaultsToOn) {
    EXPECT_TRUE(readLiveTrayIcon(SettingsFile));
    const struct {
        QByteArray line;
        bool on;
    } cases[] = {
        {"LiveTrayIcon=0\n", false}, {"LiveTrayIcon=0x0\n", false}, {"LiveTrayIcon=1\n", true},
        {"LiveTrayIcon=2\n", true},  {"LiveTrayIcon=off\n", true},  {"LiveTrayIcon=\n", true},
        {"livetrayicon=0\n", false},
    };
    for (const auto& c : cases) {
        setContent(c.line);
        EXPECT_EQ(readLiveTrayIcon(SettingsFile), c.on) << c.line.constData();
    }

    setContent("StayOnTop=1\nFontstyle=5\n");
    writeLiveTrayIcon(SettingsFile, false);
    EXPECT_FALSE(readLiveTrayIcon(SettingsFile));
    writeLiveTrayIcon(SettingsFile, true);
    EXPECT_TRUE(readLiveTrayIcon(SettingsFile));
    EXPECT_EQ(content(), QByteArray("[Settings]\nStayOnTop=1\nFontstyle=5\nLiveTrayIcon=1\n"));
}

TEST_F(SettingsKeysTest, WithoutAnOpenFileReadsAreEmptyAndWritesFail) {
    SettingsFile = nullptr;
    EXPECT_EQ(readInt(SettingsFile, Key::Width), 0);
    EXPECT_EQ(readText(SettingsFile, Key::Fontname), QString());
    try {
        writeInt(SettingsFile, Key::Width, 5);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to settings.ini"));
    }
}

}  // namespace
