// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "platform/exception.h"
#include "core/inifile.h"

using lsg::Exception;
using lsg::IniFile;

namespace {

const QString kSettings = QStringLiteral("Settings");

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
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("settings.ini")});
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
                   QByteArray(3000, 'e') + "\n");
    EXPECT_EQ(ini.readString(kSettings, "A", QString()), QStringLiteral("quoted value"));
    EXPECT_EQ(ini.readString(kSettings, "B", QString()), QStringLiteral("x"));
    EXPECT_EQ(ini.readString(kSettings, "C", QString()), QStringLiteral("\"half"));
    EXPECT_EQ(ini.readString(kSettings, "D", QString()), QStringLiteral("padded"));
    EXPECT_EQ(ini.readString(kSettings, "E", QString()), QString(2047, QLatin1Char('e')));

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

    // Read-only folder.
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(errorOf([&] { ini.writeInteger(kSettings, "Left", 12); }), message);
    EXPECT_EQ(readBytes(path()), original);
    QFile::setPermissions(m_dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("settings.ini")});

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
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("settings.ini")}) << "no temp file left";
}

TEST_F(IniFileTest, KillDuringWritesNeverLeavesAPartialFile) {
    // Each state of the file is one long value of a single digit; a torn write would show
    // a mix of digits or a short value.
    constexpr int kLength = 200000;
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
        ASSERT_EQ(value.size(), IniFile::kMaxValueLength) << "round " << round;
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
    QByteArray data(4 * 1024 * 1024, 'z');  // one line, no break
    data.prepend("[Settings]\nFontname=");
    data[100] = '\0';
    writeBytes(path(), data);
    IniFile ini(path());
    EXPECT_EQ(ini.readString(kSettings, "Fontname", QString()).size(), IniFile::kMaxValueLength);
    ini.writeInteger(kSettings, "Left", 1);
    EXPECT_EQ(readBytes(path()), data + "\nLeft=1\n");

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

}  // namespace
