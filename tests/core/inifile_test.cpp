// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#include <thread>
#include <vector>

#include "core/inifile.h"
#include "platform/exception.h"
#include "tests/common/deadline.h"

using lsg::Exception;
using lsg::IniFile;

namespace {

const QString kSettings = QStringLiteral("Settings");
// What a folder holds after writes: the file and the lock beside it, no temporaries.
const QStringList kFileAndLock{QStringLiteral("settings.ini"), QStringLiteral("settings.ini.lock")};

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(data), data.size());
}

QString fixture(const char* name) {
    return QStringLiteral(LSG_SETTINGS_FIXTURES "/") + QLatin1String(name);
}

// The message of the error the call raises, or "no error".
template <typename F>
QString errorOf(F&& call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override {
        // Folders made read-only by a test must become removable again.
        QFile::setPermissions(
            m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString path(const char* name = "settings.ini") const { return m_dir.filePath(name); }
    QStringList folderEntries() const {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
    IniFile ini(path());
    EXPECT_EQ(ini.fileName(), path());
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 0);
    EXPECT_EQ(ini.readInteger(kSettings, "Left", -5), -5);
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()), QString());
    EXPECT_FALSE(QFile::exists(path())) << "reading must not create the file";

    ini.writeInteger(kSettings, "Left", -300);
    ini.writeString(kSettings, "Fontname", QStringLiteral("Noto Sans CJK 字体 Ü"));
    EXPECT_EQ(readBytes(path()), QByteArray("[Settings]\nLeft=-300\nFontname=Noto Sans CJK "
                                            "\xe5\xad\x97\xe4\xbd\x93 \xc3\x9c\n"));
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), -300);
    EXPECT_EQ(ini.readString(kSettings, "fontname", QString()),
              QStringLiteral("Noto Sans CJK 字体 Ü"));
    EXPECT_EQ(folderEntries(), kFileAndLock);
}

TEST_F(IniFileTest, ReadsAsTheProfileFunctionsDo) {
    IniFile ini(fixture("mixed.ini"));
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 32);         // "LEFT = 0x20" in "[ settings ]"
    EXPECT_EQ(ini.readInteger(kSettings, "Top", 0), 32);          // "top=$20"
    EXPECT_EQ(ini.readInteger(kSettings, "Height", 0), 0);        // "abc"
    EXPECT_EQ(ini.readInteger(kSettings, "Width", 9), 9);         // empty value, not [Other]'s 640
    EXPECT_EQ(ini.readInteger(kSettings, "Transparency", 0), 0);  // beyond 32 bits
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()), QStringLiteral("Tahoma Bold"));
    EXPECT_EQ(ini.readString(kSettings, "TEXTCOLOR", QString()), QStringLiteral("CLRED"));
    EXPECT_EQ(ini.readString(kSettings, "BackgroundColor", QStringLiteral("none")),
              QStringLiteral("none"));  // a line without '=' holds no key
    EXPECT_EQ(ini.readInteger(QStringLiteral("window"), "left", 0), 999);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Missing"), "Left", 3), 3);
}

TEST_F(IniFileTest, WritesChangeOnlyTheirKey) {
    QByteArray original = readBytes(fixture("mixed.ini"));
    writeBytes(path(), original);
    IniFile ini(path());

    ini.writeInteger(kSettings, "left", 40);               // existing key, other spelling
    ini.writeString(kSettings, "ShowCores", "1");          // new key in the section
    ini.writeString(QStringLiteral("Extra"), "Key", "v");  // new section

    QByteArray expected = original;
    expected.replace("  LEFT = 0x20\n", "  LEFT=40\n");
    expected.replace("BackgroundColor\n", "BackgroundColor\nShowCores=1\n");
    expected += "[Extra]\nKey=v\n";
    EXPECT_EQ(readBytes(path()).toStdString(), expected.toStdString());
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 40);
    EXPECT_EQ(ini.readInteger(kSettings, "SHOWCORES", 0), 1);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Other"), "Width", 0), 640);
}

TEST_F(IniFileTest, KeepsWindowsLineBreaksAndBom) {
    writeBytes(path(), "\xEF\xBB\xBF[Settings]\r\nTop=5\r\n\r\n[Next]\r\nA=1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger(kSettings, "Top", 0), 5);
    ini.writeInteger(kSettings, "Top", 6);
    ini.writeInteger(kSettings, "Left", 7);
    EXPECT_EQ(readBytes(path()),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nTop=6\r\nLeft=7\r\n\r\n[Next]\r\nA=1\r\n"));
}

TEST_F(IniFileTest, ValueTexts) {
    IniFile ini(path());
    writeBytes(path(),
               "[Settings]\nA=  \"quoted value\"  \nB='x'\nC=\"half\nD=\t\tpadded\t \n"
               "E=" +
                   QByteArray(3000, 'e') + "\nF=" + QByteArray(IniFile::kMaxValueSize, 'f') +
                   "\nG=" + QByteArray(IniFile::kMaxValueSize + 1, 'g') + "\n");
    EXPECT_EQ(ini.readString(kSettings, "A", QString()), QStringLiteral("quoted value"));
    EXPECT_EQ(ini.readString(kSettings, "B", QString()), QStringLiteral("x"));
    EXPECT_EQ(ini.readString(kSettings, "C", QString()), QStringLiteral("\"half"));
    EXPECT_EQ(ini.readString(kSettings, "D", QString()), QStringLiteral("padded"));
    // Long values come back whole up to the limit; beyond it they read as absent, never cut.
    EXPECT_EQ(ini.readString(kSettings, "E", QString()), QString(3000, QLatin1Char('e')));
    EXPECT_EQ(ini.readString(kSettings, "F", QString()).size(), IniFile::kMaxValueSize);
    EXPECT_EQ(ini.readString(kSettings, "G", QStringLiteral("absent")), QStringLiteral("absent"));

    // A written value stays one line, whatever it holds.
    ini.writeString(kSettings, "Fontname", QStringLiteral("Evil\nLeft=5\r\nTop=6"));
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 0);
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()),
              QStringLiteral("Evil Left=5  Top=6"));
    ini.writeString(kSettings, "Fontname", QStringLiteral("Cut") + QChar(0) + QStringLiteral("x"));
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()), QStringLiteral("Cut"));
}

TEST_F(IniFileTest, NothingIsCached) {
    IniFile first(path());
    IniFile second(path());
    first.writeInteger(kSettings, "Left", 1);
    EXPECT_EQ(second.readInteger(kSettings, "Left", 0), 1);
    second.writeInteger(kSettings, "Top", 2);
    writeBytes(path(), readBytes(path()) + "Width=3\n");  // changed behind both objects' backs
    first.writeInteger(kSettings, "Height", 4);
    EXPECT_EQ(readBytes(path()), QByteArray("[Settings]\nLeft=1\nTop=2\nWidth=3\nHeight=4\n"));
}

TEST_F(IniFileTest, RefusedWritesNameTheFileAndKeepIt) {
    const QByteArray original("[Settings]\nLeft=10\n; keep me\n");
    writeBytes(path(), original);
    IniFile ini(path());
    const QString message = QStringLiteral("Unable to write to ") + path();

    // Read-only file: refused even though the folder would allow a rename over it.
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(errorOf([&] { ini.writeInteger(kSettings, "Left", 11); }), message);
    EXPECT_EQ(readBytes(path()), original);
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 10) << "reads still work";

    // Read-only folder without the file: nowhere to create it.
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    IniFile absent(path("absent.ini"));
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(errorOf([&] { absent.writeInteger(kSettings, "Left", 12); }),
              QStringLiteral("Unable to write to ") + absent.fileName());
    QFile::setPermissions(m_dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readBytes(path()), original);
    EXPECT_EQ(folderEntries(), kFileAndLock);

    // Missing folder, and a folder standing where the file should be.
    IniFile nowhere(m_dir.filePath(QStringLiteral("gone/settings.ini")));
    EXPECT_EQ(errorOf([&] { nowhere.writeString(kSettings, "Fontname", "x"); }),
              QStringLiteral("Unable to write to ") + nowhere.fileName());
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("dir.ini")));
    IniFile folder(path("dir.ini"));
    EXPECT_EQ(folder.readString(kSettings, "Fontname", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(errorOf([&] { folder.writeString(kSettings, "Fontname", "x"); }),
              QStringLiteral("Unable to write to ") + folder.fileName());
}

TEST_F(IniFileTest, WritesKeepLinksAndPermissions) {
    writeBytes(path("real.ini"), "[Settings]\nLeft=1\n");
    QFile::setPermissions(path("real.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup);
    ASSERT_TRUE(QFile::link(path("real.ini"), path()));
    IniFile ini(path());
    ini.writeInteger(kSettings, "Left", 2);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), path("real.ini"));
    EXPECT_EQ(readBytes(path("real.ini")), QByteArray("[Settings]\nLeft=2\n"));
    EXPECT_EQ(QFile::permissions(path("real.ini")) & 0x7077,  // owner, group, others
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

// Stands in for a full disk: writes beyond a few bytes fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(IniFileTest, FullDiskKeepsTheOldFile) {
    const QByteArray original("[Settings]\nFontname=Tahoma\n");
    writeBytes(path(), original);
    IniFile ini(path());
    {
        FileSizeLimit limit(64);
        EXPECT_EQ(errorOf([&] { ini.writeString(kSettings, "Fontname", QString(200, 'x')); }),
                  QStringLiteral("Unable to write to ") + path());
    }
    EXPECT_EQ(readBytes(path()), original);
    EXPECT_EQ(folderEntries(), kFileAndLock) << "no temp file left";
}

TEST_F(IniFileTest, KillDuringWritesNeverLeavesAPartialFile) {
    // Each state of the file is one long value of a single digit; a torn write would show
    // a mix of digits or a short value.
    constexpr int kLength = IniFile::kMaxValueSize;
    IniFile ini(path());
    ini.writeString(kSettings, "Fontname", QString(kLength, QLatin1Char('0')));
    for (int round = 0; round < 8; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                ini.writeString(kSettings, "Fontname", QString(kLength, QChar(u'0' + i % 10)));
            }
        }
        usleep(3000 + round * 2500);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const QString value = ini.readString(kSettings, "Fontname", QString());
        ASSERT_EQ(value.size(), kLength) << "round " << round;
        ASSERT_EQ(value.count(value.front()), value.size()) << "round " << round;
        const QByteArray bytes = readBytes(path());
        ASSERT_EQ(bytes.size(), qsizetype(sizeof("[Settings]\nFontname=\n") - 1 + kLength));
        ASSERT_EQ(bytes.count(bytes[20]), kLength);
    }
}

TEST_F(IniFileTest, CorruptedFileIsReadAndKept) {
    const QByteArray original = readBytes(fixture("corrupt.ini"));
    ASSERT_FALSE(original.isEmpty());
    writeBytes(path(), original);
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger(kSettings, "Top", 0), 12);
    EXPECT_EQ(ini.readInteger(kSettings, "Height", 0), 77);
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 0);
    EXPECT_EQ(ini.readInteger(kSettings, "Width", 0), 0);
    // A value in a single-byte code page still reads character for character.
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()), QStringLiteral("Café"));

    ini.writeInteger(kSettings, "Top", 13);
    ini.writeInteger(kSettings, "Transparency", 204);  // after the last line, which has no break
    QByteArray expected = original;
    expected.replace("Top=12\n", "Top=13\n");
    expected += "\nTransparency=204\n";
    EXPECT_EQ(readBytes(path()).toStdString(), expected.toStdString());
}

TEST_F(IniFileTest, HugeLinesAndNulsDoNotHurt) {
    QByteArray data(IniFile::kMaxFileSize - 100, 'z');  // one line, no break
    data.prepend("[Settings]\nFontname=");
    data[100] = '\0';
    writeBytes(path(), data);
    IniFile ini(path());
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QStringLiteral("long")),
              QStringLiteral("long"));
    ini.writeInteger(kSettings, "Left", 1);
    EXPECT_EQ(readBytes(path()), data + "\nLeft=1\n");
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 1);

    // Many stray headers and keyless lines before the section.
    QByteArray manyLines;
    for (int i = 0; i < 150000; ++i) {
        manyLines += "[x\nx\n";
    }
    manyLines += "[Settings]\n";
    writeBytes(path(), manyLines);
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 6), 6);

    writeBytes(path(), QByteArray(100000, '\0'));
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 5), 5);
    ini.writeInteger(kSettings, "Left", 2);
    EXPECT_EQ(readBytes(path()), QByteArray(100000, '\0') + "\n[Settings]\nLeft=2\n");
}

namespace hostile {

using lsg::testing::Deadline;

class HostileFileTest : public IniFileTest {};

TEST_F(HostileFileTest, WhatIsNotARegularFileOrTooLargeReadsEmptyAndIsNeverWritten) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"FIFO", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p), 0600), 0); }},
        {"link to /dev/zero",
         [](const QString& p) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), p)); }},
        {"folder", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }},
        {"just over the size limit",
         [](const QString& p) {
             writeBytes(p, "[Settings]\nLeft=5\n" + QByteArray(IniFile::kMaxFileSize, ';'));
         }},
        // 3 GB claimed, nothing stored: a read of it all would run out of memory.
        {"huge sparse file",
         [](const QString& p) {
             writeBytes(p, "[Settings]\nLeft=5\n");
             ASSERT_EQ(::truncate(QFile::encodeName(p), 3'000'000'000), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file =
            m_dir.filePath(QLatin1String(c.name).toString().replace(' ', '_').replace('/', '_'));
        c.make(file);
        struct stat before {};
        ASSERT_EQ(::lstat(QFile::encodeName(file), &before), 0);
        IniFile ini(file);
        {
            const Deadline deadline(c.name);
            EXPECT_EQ(ini.readInteger(kSettings, "Left", -1), -1);
            EXPECT_TRUE(errorOf([&] {
                            ini.writeInteger(kSettings, "Left", 7);
                        }).startsWith(QStringLiteral("Unable to write to ") + file));
            EXPECT_EQ(ini.readInteger(kSettings, "Left", -1), -1);
        }
        struct stat after {};
        ASSERT_EQ(::lstat(QFile::encodeName(file), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "replaced";
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
    // Nothing was made beside what the links point to.
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/dev/zero.lock")));
}

TEST_F(HostileFileTest, AFileFoundTooLargeStaysUnreadForTheRun) {
    writeBytes(path(), "[Settings]\nLeft=5\n" + QByteArray(IniFile::kMaxFileSize, ';'));
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 0);
    writeBytes(path(), "[Settings]\nLeft=5\n");  // cut down behind the program's back
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 0);
    EXPECT_EQ(
        errorOf([&] { ini.writeInteger(kSettings, "Left", 6); }),
        QStringLiteral("Unable to write to %1: the file is larger than 1048576 bytes").arg(path()));
    EXPECT_EQ(readBytes(path()), QByteArray("[Settings]\nLeft=5\n"));
    EXPECT_EQ(IniFile(path()).readInteger(kSettings, "Left", 0), 5) << "a new run reads it";
}

TEST_F(HostileFileTest, LongValuesAreRefusedWholeNeverCut) {
    IniFile ini(path());
    ini.writeString(kSettings, "Left", QStringLiteral("1"));
    const QByteArray before = readBytes(path());
    const QString longest(IniFile::kMaxValueSize, QLatin1Char('a'));
    EXPECT_EQ(errorOf([&] { ini.writeString(kSettings, "URL", longest + u'a'); }),
              QStringLiteral("Unable to write to %1: the value of \"URL\" is longer than 65536 "
                             "bytes")
                  .arg(path()));
    // Two-byte characters count twice.
    EXPECT_NE(errorOf([&] { ini.writeString(kSettings, "URL", QString(32769, QChar(0xE9))); }),
              QStringLiteral("no error"));
    EXPECT_EQ(readBytes(path()), before);

    ini.writeString(kSettings, "URL", longest);
    EXPECT_EQ(ini.readString(kSettings, "URL", QString()), longest);
    // A file that would pass the size limit is refused too, and kept: fifteen such values fit.
    ini.writeString(kSettings, "A", longest);
    for (const char* key : {"B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N"}) {
        ini.writeString(kSettings, key, longest);
    }
    const QByteArray full = readBytes(path());
    EXPECT_TRUE(errorOf([&] {
                    ini.writeString(kSettings, "P", longest);
                }).endsWith(QStringLiteral("the file would grow beyond 1048576 bytes")));
    EXPECT_EQ(readBytes(path()), full);
    EXPECT_EQ(ini.readString(kSettings, "N", QString()), longest);
}

TEST_F(HostileFileTest, StaleTemporariesOfOurNamingGoAtTheNextSave) {
    writeBytes(path(), "[Settings]\nLeft=1\n");
    for (const char* name :
         {"settings.ini.tmp1", "settings.ini.tmpa9z0q", "settings.ini.tmpzzzzz"}) {
        writeBytes(path(name), QByteArray(1000, 'x'));
    }
    // Not of our naming, or not ours to remove.
    const QStringList kept{
        QStringLiteral("other.ini.tmpabc"),     QStringLiteral("settings.ini.tmp"),
        QStringLiteral("settings.ini.tmpABC"),  QStringLiteral("settings.ini.tmpabcdef7"),
        QStringLiteral("settings.ini.tmp-1"),   QStringLiteral("settings.ini.tmpdir"),
        QStringLiteral("settings.ini.tmplink"), QStringLiteral("settings.ini.tmpother")};
    for (const QString& name : kept) {
        if (name.endsWith(QStringLiteral("dir"))) {
            ASSERT_TRUE(QDir(m_dir.path()).mkdir(name));
        } else if (name.endsWith(QStringLiteral("link"))) {
            ASSERT_TRUE(QFile::link(path(), m_dir.filePath(name)));
        } else {
            writeBytes(m_dir.filePath(name), "x");
        }
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(
            ::chown(QFile::encodeName(m_dir.filePath(QStringLiteral("settings.ini.tmpother"))),
                    65534, 65534),
            0);
    }
    IniFile ini(path());
    ini.writeInteger(kSettings, "Left", 2);
    QStringList expected = kept + kFileAndLock;
    if (::geteuid() != 0) {
        expected.removeOne(QStringLiteral("settings.ini.tmpother"));  // it was this user's
    }
    expected.sort();
    EXPECT_EQ(folderEntries(), expected);
    EXPECT_EQ(readBytes(path()), QByteArray("[Settings]\nLeft=2\n"));
}

TEST_F(HostileFileTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    writeBytes(path(), "[Settings]\nLeft=1\nFontname=a long name to be shortened\n");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path()), &before), 0);
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    IniFile ini(path());
    ini.writeInteger(kSettings, "Left", 22);
    ini.writeString(kSettings, "Fontname", QStringLiteral("short"));
    EXPECT_EQ(readBytes(path()), QByteArray("[Settings]\nLeft=22\nFontname=short\n"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path()), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("settings.ini")}) << "nothing created";
}

TEST_F(HostileFileTest, TwoWritersLoseNoWrite) {
    writeBytes(path(), "[Settings]\n");
    constexpr int kRounds = 60;
    // Each writer has its own object, and so its own descriptors, as a second copy of the
    // program would; each writes its own keys over and over.
    const auto writer = [this](const QString& prefix) {
        IniFile ini(path());
        for (int round = 0; round < kRounds; ++round) {
            for (int key = 0; key < 3; ++key) {
                ini.writeInteger(kSettings, prefix + QString::number(key), round);
            }
        }
    };
    {
        const Deadline deadline("two writers", std::chrono::seconds(60));
        std::thread first(writer, QStringLiteral("First"));
        std::thread second(writer, QStringLiteral("Second"));
        first.join();
        second.join();
    }
    IniFile ini(path());
    for (const char* prefix : {"First", "Second"}) {
        for (int key = 0; key < 3; ++key) {
            EXPECT_EQ(ini.readInteger(kSettings, QLatin1String(prefix) + QString::number(key), -1),
                      kRounds - 1)
                << prefix << key;
        }
    }
    EXPECT_EQ(folderEntries(), kFileAndLock);
}

// A lock that is not a regular file cannot order the writers: each would write unlocked and
// undo the others' keys. Such a lock refuses every write, and says why.
TEST_F(HostileFileTest, ALockThatIsNotARegularFileRefusesTheWrite) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"folder", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }},
        {"FIFO", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p), 0600), 0); }},
        {"link to a regular file",
         [this](const QString& p) {
             writeBytes(path("elsewhere"), "");
             ASSERT_TRUE(QFile::link(path("elsewhere"), p));
         }},
        {"dangling link",
         [this](const QString& p) { ASSERT_TRUE(QFile::link(path("nowhere"), p)); }},
    };
    const QByteArray original("[Settings]\nLeft=1\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path(), original);
        const QString lock = path("settings.ini.lock");
        c.make(lock);
        IniFile ini(path());
        {
            const Deadline deadline(c.name);
            EXPECT_EQ(errorOf([&] { ini.writeInteger(kSettings, "Left", 2); }),
                      QStringLiteral("Unable to write to %1: its lock %2 is not a regular file")
                          .arg(path(), lock));
        }
        EXPECT_EQ(readBytes(path()), original);
        EXPECT_FALSE(QFileInfo::exists(path("nowhere")));
        QFile::remove(lock);
        QDir().rmdir(lock);
    }
}

// Copies of the program writing at once, each its own key, while the lock is a folder: none of
// them may write unlocked, so every write reported as done is still in the file at the end.
TEST_F(HostileFileTest, ConcurrentWritersWithABrokenLockLoseNoReportedWrite) {
    writeBytes(path(), "[Settings]\n");
    ASSERT_TRUE(QDir().mkdir(path("settings.ini.lock")));
    constexpr int kWriters = 8;
    constexpr int kRounds = 30;
    std::vector<int> lastDone(kWriters, -1);
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.emplace_back([this, i, &lastDone] {
            IniFile ini(path());
            for (int round = 0; round < kRounds; ++round) {
                try {
                    ini.writeInteger(kSettings, QStringLiteral("Key%1").arg(i), round);
                    lastDone[size_t(i)] = round;
                } catch (const Exception&) {
                }
            }
        });
    }
    for (std::thread& t : writers) {
        t.join();
    }
    IniFile ini(path());
    for (int i = 0; i < kWriters; ++i) {
        EXPECT_EQ(ini.readInteger(kSettings, QStringLiteral("Key%1").arg(i), -1),
                  lastDone[size_t(i)])
            << "writer " << i;
    }
}

// A settings file that links to another user's file (planted in a folder that user can write
// to, with the program run as root) is never written through.
TEST_F(HostileFileTest, ALinkToAnotherUsersFileIsNotWrittenThrough) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    const QByteArray theirs("[Settings]\nLeft=1\n");
    writeBytes(path("theirs.ini"), theirs);
    ASSERT_EQ(::chown(QFile::encodeName(path("theirs.ini")), 65534, 65534), 0);
    ASSERT_TRUE(QFile::link(path("theirs.ini"), path()));
    IniFile ini(path());
    EXPECT_EQ(
        errorOf([&] { ini.writeInteger(kSettings, "Left", 2); }),
        QStringLiteral("Unable to write to %1: it links to a file of another user").arg(path()));
    EXPECT_EQ(readBytes(path("theirs.ini")), theirs);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), path("theirs.ini"));
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 1) << "reading it stays allowed";
}

TEST_F(HostileFileTest, AHeldLockEndsTheWaitWithAnError) {
    writeBytes(path(), "[Settings]\nLeft=1\n");
    IniFile ini(path());
    ini.writeInteger(kSettings, "Left", 2);  // makes the lock file
    const int holder = ::open(QFile::encodeName(path("settings.ini.lock")), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    {
        const Deadline deadline("a held lock");
        EXPECT_EQ(
            errorOf([&] { ini.writeInteger(kSettings, "Left", 3); }),
            QStringLiteral("Unable to write to %1: another program keeps it locked").arg(path()));
    }
    ::close(holder);
    ini.writeInteger(kSettings, "Left", 4);
    EXPECT_EQ(ini.readInteger(kSettings, "Left", 0), 4);
}

}  // namespace hostile

}  // namespace
