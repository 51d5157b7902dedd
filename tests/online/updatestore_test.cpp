// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/updatestore.h"

#include "online/check.h"

#include "platform/exception.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lsg::check {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(UpdateStore, LivesInAFolderNamedByTheCaptionsMd5) {
    EXPECT_EQ(UpdateStore::folderFor(QStringLiteral("/home/u/.config/"),
                                     QStringLiteral("KALDERN - Loadspire Gauge")),
              QStringLiteral("/home/u/.config/591B8B78EDE73CE6CFC02EAE4546497A"));
    EXPECT_EQ(UpdateStore::folderFor(QString(), QStringLiteral("x")), QString());
    UpdateStore nowhere{QString()};
    EXPECT_FALSE(nowhere.open());
    EXPECT_EQ(nowhere.readNumber(UpdateStore::kShowUpdate, 1), 1);
}

TEST(UpdateStore, WritesTextValuesAndReadsThemBackWithDefaults) {
    QTemporaryDir dir;
    UpdateStore s(dir.filePath(QStringLiteral("a/b")));
    EXPECT_EQ(s.readNumber(UpdateStore::kShowUpdate, 1), 1);
    EXPECT_EQ(s.readText(UpdateStore::kLastUpdateCheck), QString());
    ASSERT_TRUE(s.open());
    // Folder and file are made by the first write only: a store nothing was written to leaves
    // no empty folder behind.
    EXPECT_FALSE(QDir(s.folder()).exists());

    s.writeNumber(UpdateStore::kShowUpdate, 0);
    s.writeText(UpdateStore::kLastUpdateCheck, QStringLiteral("12/9/26"));
    s.writeNumber(UpdateStore::kLastUpdateCheckCount, 3);
    s.writeText(UpdateStore::kCurrentVersion, QStringLiteral(" 4.4 "));
    s.writeNumber(UpdateStore::kLastUpdateCheckCount, 4);
    EXPECT_EQ(readAll(s.filePath()),
              "[Settings]\nShowUpdate=0\nLastUpdateCheck=12/9/26\nLastUpdateCheckCount=4\n"
              "CurrentVersion= 4.4 \n");
    EXPECT_EQ(s.readNumber(UpdateStore::kShowUpdate, 1), 0);
    EXPECT_EQ(s.readNumber(UpdateStore::kLastUpdateCheckCount, 0), 4);
    // Blanks around a value are not part of it, as in settings.ini.
    EXPECT_EQ(s.readText(UpdateStore::kCurrentVersion), QStringLiteral("4.4"));
    // No temporary file is left beside it, only the lock that writers share.
    EXPECT_EQ(QDir(s.folder()).entryList(QDir::Files),
              QStringList({"update.ini", "update.ini.lock"}));
}

TEST(UpdateStore, LongDownloadAddressesComeBackWhole) {
    QTemporaryDir dir;
    UpdateStore s(dir.path());
    ASSERT_TRUE(s.open());
    QString address = QStringLiteral("https://example.org/download?token=");
    while (address.size() < 4096) {
        address += QStringLiteral("0123456789abcdef");
    }
    s.writeText(UpdateStore::kCurrentURL, ScrambleText(address));
    EXPECT_EQ(UnscrambleText(s.readText(UpdateStore::kCurrentURL)), address);
}

TEST(UpdateStore, ToleratesHandEditedFiles) {
    QTemporaryDir dir;
    UpdateStore s(dir.path());
    ASSERT_TRUE(s.open());
    writeAll(s.filePath(),
             "; note\r\n[Other]\r\nShowUpdate=0\r\n[settings]\r\nshowupdate=yes\r\n"
             "LastUpdateCheckCount=99999999999\r\nCurrentURL=AB=CD\r\n[Tail]\r\nx=1\r\n");
    // Not numbers: the defaults.
    EXPECT_EQ(s.readNumber(UpdateStore::kShowUpdate, 1), 1);
    EXPECT_EQ(s.readNumber(UpdateStore::kLastUpdateCheckCount, 0), 0);
    EXPECT_EQ(s.readText(UpdateStore::kCurrentURL), QStringLiteral("AB=CD"));

    // A write keeps the other sections and values, and a line break cannot split a value.
    s.writeNumber(UpdateStore::kShowUpdate, 1);
    s.writeText(UpdateStore::kCurrentVersion, QStringLiteral("4.4\r\n[Evil]"));
    EXPECT_EQ(readAll(s.filePath()),
              "; note\r\n[Other]\r\nShowUpdate=0\r\n[settings]\r\nshowupdate=1\r\n"
              "LastUpdateCheckCount=99999999999\r\nCurrentURL=AB=CD\r\n"
              "CurrentVersion=4.4  [Evil]\r\n[Tail]\r\nx=1\r\n");
}

TEST(UpdateStore, AFailedWriteThrowsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    // The store's folder is a file: nothing can be made there.
    writeAll(dir.filePath(QStringLiteral("blocked")), "x");
    UpdateStore blocked(dir.filePath(QStringLiteral("blocked")));
    EXPECT_FALSE(blocked.open());
    EXPECT_THROW(blocked.writeNumber(UpdateStore::kShowUpdate, 0), lsg::Exception);
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("blocked"))), "x");

    // The file's place is taken by a folder: the write fails, nothing is lost.
    UpdateStore s(dir.filePath(QStringLiteral("store")));
    ASSERT_TRUE(s.open());
    ASSERT_TRUE(QDir().mkpath(s.filePath()));
    EXPECT_THROW(s.writeNumber(UpdateStore::kShowUpdate, 0), lsg::Exception);
    EXPECT_TRUE(QDir(s.filePath()).exists());
}

TEST(ToInt32, StrictDecimal) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"44", true, 44},
        {"-5", true, -5},
        {"+7", true, 7},
        {"", false, 0},
        {"-", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"0x10", false, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 0;
        EXPECT_EQ(toInt32(QString::fromUtf8(c.text), &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

}  // namespace
}  // namespace lsg::check
