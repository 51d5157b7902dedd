// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <filesystem>
#include <functional>

#include "about/versioninfo.h"
#include "about/versioninfo_block.h"
#include "about/versioninfo_locate.h"
#include "about/windows/versioninfo_pe.h"
#include "platform/exception.h"
#include "resources/version/versionblock.h"

using lsg::TEXEVersionData;
using lsg::versioninfo::LocateError;
using lsg::versioninfo::MemorySource;

namespace {

// The tests read Windows PE files as well as ELF ones.
TEXEVersionData ReadEXEVersionData(const QString& fileName) {
    return lsg::ReadEXEVersionData(fileName, lsg::versioninfo::elfAndPeFormats());
}
quint32 GetFileVersion(const QString& fileName) {
    return lsg::GetFileVersion(fileName, lsg::versioninfo::elfAndPeFormats());
}
QByteArray readVersionBlock(const QString& fileName) {
    return lsg::versioninfo::readVersionBlock(fileName, lsg::versioninfo::elfAndPeFormats());
}

QByteArray blockOf(const lsg::versionblock::Description& d) {
    const auto block = lsg::versionblock::buildBlock(d);
    return QByteArray(reinterpret_cast<const char*>(block.data()),
                      static_cast<qsizetype>(block.size()));
}

QByteArray sampleBlock() {
    lsg::versionblock::Description d;
    d.fileVersion = {4, 2, 0, 1};
    d.productVersion = d.fileVersion;
    d.translations = {{0x0409, 0x04B0}};
    d.strings = {{"CompanyName", "Sample Maker"}, {"ProductName", "Sample"}};
    return blockOf(d);
}

void put(QByteArray& b, qsizetype at, quint64 value, int width, bool big = false) {
    if (b.size() < at + width) {
        b.resize(at + width, '\0');
    }
    for (int i = 0; i < width; ++i) {
        const int shift = big ? 8 * (width - 1 - i) : 8 * i;
        b[at + i] = static_cast<char>((value >> shift) & 0xFF);
    }
}

// A minimal ELF file: a null section, the given sections, and the section-name table.
struct Elf {
    QByteArray bytes;
    qsizetype shoff = 0;
    int entSize = 0;
    bool is64 = true;
    bool big = false;
    // Offset of a field of section header `index`, given as (64-bit, 32-bit) offsets.
    qsizetype field(int index, int at64, int at32) const {
        return shoff + index * entSize + (is64 ? at64 : at32);
    }
};

Elf buildElf(bool is64, bool big, const QList<std::pair<QByteArray, QByteArray>>& sections) {
    Elf e;
    e.is64 = is64;
    e.big = big;
    e.entSize = is64 ? 64 : 40;
    QByteArray out(is64 ? 64 : 52, '\0');
    QByteArray names(1, '\0');
    QList<quint64> nameAt, offsets;
    for (const auto& [name, data] : sections) {
        nameAt.append(names.size());
        names += name + '\0';
    }
    const quint64 namesName = names.size();
    names += QByteArray(".shstrtab") + '\0';
    for (const auto& [name, data] : sections) {
        out.resize((out.size() + 3) & ~3, '\0');
        offsets.append(out.size());
        out += data;
    }
    const quint64 namesOffset = out.size();
    out += names;
    out.resize((out.size() + 7) & ~7, '\0');
    e.shoff = out.size();
    const int count = static_cast<int>(sections.size()) + 2;
    out.resize(e.shoff + count * e.entSize, '\0');
    auto header = [&](int i, quint64 name, quint32 type, quint64 offset, quint64 size) {
        const qsizetype at = e.shoff + i * e.entSize;
        put(out, at, name, 4, big);
        put(out, at + 4, type, 4, big);
        put(out, at + (is64 ? 24 : 16), offset, is64 ? 8 : 4, big);
        put(out, at + (is64 ? 32 : 20), size, is64 ? 8 : 4, big);
    };
    for (int i = 0; i < sections.size(); ++i) {
        header(i + 1, nameAt[i], 1, offsets[i], sections[i].second.size());
    }
    header(count - 1, namesName, 3, namesOffset, names.size());
    out[0] = '\x7f';
    out[1] = 'E';
    out[2] = 'L';
    out[3] = 'F';
    out[4] = is64 ? 2 : 1;
    out[5] = big ? 2 : 1;
    out[6] = 1;
    put(out, is64 ? 0x28 : 0x20, e.shoff, is64 ? 8 : 4, big);
    put(out, is64 ? 0x3A : 0x2E, e.entSize, 2, big);
    put(out, is64 ? 0x3C : 0x30, count, 2, big);
    put(out, is64 ? 0x3E : 0x32, count - 1, 2, big);
    e.bytes = out;
    return e;
}

Elf sampleElf(bool is64 = true, bool big = false) {
    return buildElf(is64, big,
                    {{".text", QByteArray(24, '\x90')}, {".lsg_version", sampleBlock()}});
}

// A minimal PE file with one .rsrc section at file offset 0x200 holding one version resource:
// root directory at 0x00, type directory at 0x18, name directory at 0x30, data entry at 0x48,
// block at 0x58 (offsets within the section).
constexpr qsizetype kRsrc = 0x200;
constexpr qsizetype kRootCounts = kRsrc + 14, kRootEntry = kRsrc + 0x10;
constexpr qsizetype kTypeCounts = kRsrc + 0x18 + 14, kTypeEntry = kRsrc + 0x28;
constexpr qsizetype kLangEntry = kRsrc + 0x40, kDataEntry = kRsrc + 0x48;

struct Pe {
    QByteArray bytes;
    qsizetype countAt = 0;  // NumberOfRvaAndSizes
    qsizetype section = 0;  // the section header
};

Pe buildPe(const QByteArray& block, bool plus) {
    Pe pe;
    const int optionalSize = plus ? 240 : 224;
    QByteArray b(kRsrc, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put(b, 0x3C, 0x40, 4);
    b.replace(0x40, 4, QByteArray("PE\0\0", 4));
    put(b, 0x44, plus ? 0x8664 : 0x14C, 2);
    put(b, 0x46, 1, 2);
    put(b, 0x54, optionalSize, 2);
    put(b, 0x58, plus ? 0x20B : 0x10B, 2);
    pe.countAt = 0x58 + (plus ? 108 : 92);
    put(b, pe.countAt, 16, 4);
    QByteArray r(0x58, '\0');
    put(r, 14, 1, 2);
    put(r, 0x10, 16, 4);
    put(r, 0x14, 0x80000018, 4);
    put(r, 0x18 + 14, 1, 2);
    put(r, 0x28, 1, 4);
    put(r, 0x2C, 0x80000030, 4);
    put(r, 0x30 + 14, 1, 2);
    put(r, 0x40, 0x409, 4);
    put(r, 0x44, 0x48, 4);
    put(r, 0x48, 0x1058, 4);
    put(r, 0x4C, block.size(), 4);
    r += block;
    put(b, pe.countAt + 4 + 16, 0x1000, 4);
    put(b, pe.countAt + 4 + 20, r.size(), 4);
    pe.section = 0x58 + optionalSize;
    b.replace(pe.section, 5, ".rsrc");
    put(b, pe.section + 8, r.size(), 4);
    put(b, pe.section + 12, 0x1000, 4);
    put(b, pe.section + 16, r.size(), 4);
    put(b, pe.section + 20, kRsrc, 4);
    pe.bytes = b + r;
    return pe;
}

// The errno a locate attempt ends with, 0 when it finds a block.
int locateCode(const QByteArray& image) {
    try {
        const QByteArray block = lsg::versioninfo::locateVersionBlock(
            MemorySource(image), lsg::versioninfo::elfAndPeFormats());
        EXPECT_EQ(lsg::versioninfo::versionBlockLength(block), block.size());
        return 0;
    } catch (const LocateError& e) {
        return e.code();
    }
}

QString errorOf(const QString& fileName) {
    try {
        ReadEXEVersionData(fileName);
    } catch (const lsg::Exception& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

QString systemError(int code, const char* text) {
    return QStringLiteral("System Error.  Code: %1.\r\n%2").arg(code).arg(QLatin1String(text));
}

QByteArray readAll(const QString& fileName) {
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString peFixture(const char* name) {
    return QStringLiteral(LSG_VI_PE_DIR "/%1.exe").arg(QLatin1String(name));
}

class TempFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

void expectProgramValues(const QString& fileName) {
    SCOPED_TRACE(fileName.toStdString());
    const TEXEVersionData d = ReadEXEVersionData(fileName);
    EXPECT_EQ(d.CompanyName, "KALDERN");
    EXPECT_EQ(d.FileDescription, "Loadspire Gauge");
    EXPECT_EQ(d.FileVersion, "1.7.0.0");
    EXPECT_EQ(d.InternalName, "Loadspire Gauge");
    EXPECT_EQ(d.OriginalFileName, "loadspire.exe");
    EXPECT_EQ(d.ProductName, "Loadspire Gauge");
    EXPECT_EQ(d.ProductVersion, "1.7.0.0");
    EXPECT_TRUE(d.PrivateBuild.isEmpty());
    EXPECT_TRUE(d.SpecialBuild.isEmpty());
    EXPECT_EQ(GetFileVersion(fileName), 0x00010007u);
    EXPECT_EQ(lsg::formatAppVersion(GetFileVersion(fileName)), "1.7");
}

}  // namespace

// This test executable embeds the block as the program does; so does a small one linked with
// section garbage collection, and its stripped copy.
TEST(OwnVersionInformation, EmbeddedBlockIsFoundInTheExecutable) {
    const QString self = QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe"));
    for (const QString& file :
         {self, QStringLiteral(LSG_VI_PROBE), QStringLiteral(LSG_VI_PROBE ".stripped")}) {
        expectProgramValues(file);
    }
    const TEXEVersionData d = ReadEXEVersionData(self);
    EXPECT_EQ(d.LegalCopyright,
              QString::fromUtf8("Copyright © 2026 The Loadspire Gauge developers"));
    EXPECT_FALSE(d.LegalTrademarks.isEmpty());
    EXPECT_FALSE(d.Comments.isEmpty());
    EXPECT_EQ(readVersionBlock(self), readAll(LSG_VI_BLOCK_BIN));
}

TEST(OwnVersionInformation, AppVersionText) {
    EXPECT_EQ(lsg::formatAppVersion(0x00010007), "1.7");
    EXPECT_EQ(lsg::formatAppVersion(0x000A0000), "10.0");
    EXPECT_EQ(lsg::formatAppVersion(0xFFFFFFFF), "65535.65535");
}

class ResourceCompiler : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LSG_VI_HAVE_PE) {
            GTEST_SKIP() << "no resource compiler at build time";
        }
    }
};

// The build's own block is byte for byte what a resource compiler makes of the same values.
TEST_F(ResourceCompiler, GeneratedBlockMatchesTheCompilersBlock) {
    const QByteArray generated = readAll(LSG_VI_BLOCK_BIN);
    ASSERT_FALSE(generated.isEmpty());
    EXPECT_EQ(readVersionBlock(peFixture("generated")), generated);
}

TEST_F(ResourceCompiler, ProgramValues) {
    expectProgramValues(peFixture("own"));
}

TEST_F(ResourceCompiler, TableIsChosenByTheTranslation) {
    const TEXEVersionData d = ReadEXEVersionData(peFixture("german"));
    EXPECT_EQ(d.CompanyName, QString::fromUtf8("Müller & Söhne GmbH"));
    EXPECT_EQ(d.FileDescription, QString::fromUtf8("Prüfprogramm"));
    EXPECT_EQ(d.FileVersion, "2.10.3.4");
    EXPECT_EQ(d.PrivateBuild, "nur intern");
    EXPECT_EQ(d.SpecialBuild, "Sonderausgabe");
    EXPECT_TRUE(d.ProductName.isEmpty());
    EXPECT_EQ(GetFileVersion(peFixture("german")), 0x0002000Au);
    EXPECT_EQ(lsg::formatAppVersion(GetFileVersion(peFixture("german"))), "2.10");
}

TEST_F(ResourceCompiler, OnlyTheFirstTranslationIsRead) {
    const TEXEVersionData d = ReadEXEVersionData(peFixture("two"));
    EXPECT_EQ(d.CompanyName, "First translation");
    EXPECT_EQ(d.ProductName, QString::fromUtf8("Tvåspråkig"));
    EXPECT_TRUE(d.Comments.isEmpty());
}

TEST_F(ResourceCompiler, FilesWithoutVersionInformation) {
    for (const char* name : {"none", "bare"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorOf(peFixture(name)), systemError(ENODATA, "No data available"));
        EXPECT_EQ(GetFileVersion(peFixture(name)), 0xFFFFFFFFu);
    }
}

// Whatever is cut off the end of a real PE file, the answer is a block or an error; a file cut
// before the end of its block is refused.
TEST_F(ResourceCompiler, TruncatedFilesAreRefused) {
    const QByteArray full = readAll(peFixture("own"));
    const QByteArray block = readVersionBlock(peFixture("own"));
    const qsizetype blockEnd = full.indexOf(block) + block.size();
    ASSERT_GT(blockEnd, block.size());
    for (qsizetype n = 0; n < full.size(); ++n) {
        const int code = locateCode(full.left(n));
        if (n < blockEnd) {
            EXPECT_TRUE(code == ENOEXEC || code == ENODATA) << n << " " << code;
        } else {
            EXPECT_EQ(code, 0) << n;
        }
    }
}

TEST(VersionInformationErrors, MessagesCarryTheSystemErrorOrTheFallbackText) {
    TempFiles files;
    QByteArray noTranslation = sampleBlock();
    noTranslation.replace(QByteArray("T\0r\0a\0n\0s", 10), QByteArray("X\0r\0a\0n\0s", 10));
    QByteArray shortTranslation = sampleBlock();
    {
        // The Translation value is the block's last 4 bytes; say it has 2.
        const qsizetype var = shortTranslation.indexOf(QByteArray("T\0r\0a\0n\0s", 10)) - 6;
        put(shortTranslation, var + 2, 2, 2);
    }
    const QString dir = files.path("folder");
    QDir().mkpath(dir);
    const QString fifo = files.path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        const char* name;
        QString file;
        QString message;
        quint32 fileVersion = 0xFFFFFFFF;
    };
    const std::vector<Case> cases = {
        {"missing file", files.path("missing.exe"),
         systemError(ENOENT, "No such file or directory")},
        {"folder", dir, systemError(EISDIR, "Is a directory")},
        {"FIFO, opened without waiting for a writer", fifo,
         systemError(ENOEXEC, "Exec format error")},
        {"empty file", files.write("empty", {}), systemError(ENOEXEC, "Exec format error")},
        {"text file", files.write("text", "hello, world\n"),
         systemError(ENOEXEC, "Exec format error")},
        {"ELF without the section",
         files.write("plain.elf", buildElf(true, false, {{".text", "x"}}).bytes),
         systemError(ENODATA, "No data available")},
        {"no translation entry",
         files.write("nt.elf", buildElf(true, false, {{".lsg_version", noTranslation}}).bytes),
         "A call to an OS function failed", 0x00040002},
        {"translation entry too short",
         files.write("st.elf", buildElf(true, false, {{".lsg_version", shortTranslation}}).bytes),
         "A call to an OS function failed", 0x00040002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(errorOf(c.file), c.message);
        // The fixed part needs no translation.
        EXPECT_EQ(GetFileVersion(c.file), c.fileVersion);
    }
}

TEST(VersionInformationContainers, ElfOfEitherClassAndByteOrder) {
    TempFiles files;
    for (bool is64 : {false, true}) {
        for (bool big : {false, true}) {
            SCOPED_TRACE(::testing::Message() << (is64 ? "64" : "32") << (big ? " BE" : " LE"));
            const QString file = files.write("e", sampleElf(is64, big).bytes);
            const TEXEVersionData d = ReadEXEVersionData(file);
            EXPECT_EQ(d.CompanyName, "Sample Maker");
            EXPECT_EQ(d.ProductName, "Sample");
            EXPECT_EQ(GetFileVersion(file), 0x00040002u);
        }
    }
    // Extended numbering: the count and the name-table index kept in section 0.
    Elf e = sampleElf();
    put(e.bytes, 0x3C, 0, 2);
    put(e.bytes, 0x3E, 0xFFFF, 2);
    put(e.bytes, e.field(0, 32, 20), 4, 8);
    put(e.bytes, e.field(0, 40, 24), 3, 4);
    EXPECT_EQ(locateCode(e.bytes), 0);
}

TEST(VersionInformationContainers, PeOfEitherWidth) {
    TempFiles files;
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        const QString file = files.write("p.exe", buildPe(sampleBlock(), plus).bytes);
        EXPECT_EQ(ReadEXEVersionData(file).CompanyName, "Sample Maker");
        EXPECT_EQ(GetFileVersion(file), 0x00040002u);
    }
}

// Each case damages one field of a sound file. ENOEXEC: a damaged file; ENODATA: a sound file
// without version information.
TEST(VersionInformationContainers, TheProgramReadsOnlyItsOwnFormat) {
    const QByteArray pe = buildPe(sampleBlock(), false).bytes;
    EXPECT_EQ(locateCode(pe), 0);
    try {
        lsg::versioninfo::locateVersionBlock(MemorySource(pe));
        ADD_FAILURE() << "a PE file was read with the native formats";
    } catch (const LocateError& e) {
        EXPECT_EQ(e.code(), ENOEXEC);
    }
    EXPECT_FALSE(lsg::versioninfo::locateVersionBlock(MemorySource(sampleElf().bytes)).isEmpty());
}

TEST(VersionInformationContainers, DamagedElfFiles) {
    const Elf good = sampleElf();
    const int version = 2, names = 3;
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
        int code;
    };
    const std::vector<Case> cases = {
        {"unknown class", [](QByteArray& b) { b[4] = 3; }, ENOEXEC},
        {"no section headers", [](QByteArray& b) { put(b, 0x28, 0, 8); }, ENODATA},
        {"section headers beyond the file", [](QByteArray& b) { put(b, 0x28, 1ull << 40, 8); },
         ENOEXEC},
        {"header entries too small", [](QByteArray& b) { put(b, 0x3A, 10, 2); }, ENOEXEC},
        {"name table index out of range", [](QByteArray& b) { put(b, 0x3E, 9, 2); }, ENOEXEC},
        {"no name table", [](QByteArray& b) { put(b, 0x3E, 0, 2); }, ENODATA},
        {"name table beyond the file",
         [&](QByteArray& b) { put(b, good.field(names, 24, 16), 1ull << 40, 8); }, ENOEXEC},
        {"section name beyond the name table",
         [&](QByteArray& b) { put(b, good.field(version, 0, 0), 0xFFFF, 4); }, ENODATA},
        {"section data beyond the file",
         [&](QByteArray& b) { put(b, good.field(version, 24, 16), 1ull << 40, 8); }, ENOEXEC},
        {"section size beyond the file",
         [&](QByteArray& b) { put(b, good.field(version, 32, 20), 1ull << 40, 8); }, ENOEXEC},
        {"section without data", [&](QByteArray& b) { put(b, good.field(version, 4, 4), 8, 4); },
         ENOEXEC},
        {"section empty", [&](QByteArray& b) { put(b, good.field(version, 32, 20), 0, 8); },
         ENOEXEC},
        {"section shorter than its block",
         [&](QByteArray& b) { put(b, good.field(version, 32, 20), 100, 8); }, ENOEXEC},
        {"lying extended count",
         [&](QByteArray& b) {
             put(b, 0x3C, 0, 2);
             put(b, good.field(0, 32, 20), 1ull << 40, 8);
         },
         ENOEXEC},
        {"truncated header", [](QByteArray& b) { b.truncate(20); }, ENOEXEC},
    };
    EXPECT_EQ(locateCode(good.bytes), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray b = good.bytes;
        c.damage(b);
        EXPECT_EQ(locateCode(b), c.code);
    }
}

TEST(VersionInformationContainers, DamagedPeFiles) {
    const Pe good = buildPe(sampleBlock(), false);
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
        int code;
    };
    const std::vector<Case> cases = {
        {"PE header beyond the file", [](QByteArray& b) { put(b, 0x3C, 0xFFFFFF00, 4); }, ENOEXEC},
        {"no PE signature", [](QByteArray& b) { b[0x41] = 'X'; }, ENOEXEC},
        {"unknown optional header", [](QByteArray& b) { put(b, 0x58, 0x999, 2); }, ENOEXEC},
        {"no optional header", [](QByteArray& b) { put(b, 0x54, 0, 2); }, ENOEXEC},
        {"no resource directory entry", [&](QByteArray& b) { put(b, good.countAt, 2, 4); },
         ENODATA},
        {"no resources", [&](QByteArray& b) { put(b, good.countAt + 20, 0, 4); }, ENODATA},
        {"resources outside every section",
         [&](QByteArray& b) { put(b, good.countAt + 20, 0x9000, 4); }, ENOEXEC},
        {"section table beyond the file", [](QByteArray& b) { put(b, 0x46, 0xFFFF, 2); }, ENOEXEC},
        {"section data beyond the file",
         [&](QByteArray& b) { put(b, good.section + 20, 0xFFFFFF00, 4); }, ENOEXEC},
        {"directory with more entries than room",
         [](QByteArray& b) { put(b, kRootCounts, 0xFFFF, 2); }, ENOEXEC},
        {"no version type", [](QByteArray& b) { put(b, kRootEntry, 17, 4); }, ENODATA},
        {"version type is data", [](QByteArray& b) { put(b, kRootEntry + 4, 0x18, 4); }, ENOEXEC},
        {"version type without names", [](QByteArray& b) { put(b, kTypeCounts, 0, 2); }, ENODATA},
        {"name level points back at the root",
         [](QByteArray& b) { put(b, kTypeEntry + 4, 0x80000000, 4); }, ENOEXEC},
        {"language level is a directory",
         [](QByteArray& b) { put(b, kLangEntry + 4, 0x80000018, 4); }, ENOEXEC},
        {"directory offset beyond the section",
         [](QByteArray& b) { put(b, kTypeEntry + 4, 0xFFFFFFF0, 4); }, ENOEXEC},
        {"data outside every section", [](QByteArray& b) { put(b, kDataEntry, 0x9000, 4); },
         ENOEXEC},
        {"data size beyond the section", [](QByteArray& b) { put(b, kDataEntry + 4, 0x100000, 4); },
         ENOEXEC},
        {"data shorter than its block", [](QByteArray& b) { put(b, kDataEntry + 4, 40, 4); },
         ENOEXEC},
    };
    EXPECT_EQ(locateCode(good.bytes), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray b = good.bytes;
        c.damage(b);
        EXPECT_EQ(locateCode(b), c.code);
    }
}

// Every prefix and every single-byte change of small sound files: a block or an error, never a
// read outside the data (the sanitizer build checks that) and never a hang.
TEST(VersionInformationContainers, AnyTruncationOrByteChangeIsSafe) {
    for (const QByteArray& good :
         {buildPe(sampleBlock(), false).bytes, sampleElf().bytes, sampleElf(false, true).bytes}) {
        for (qsizetype n = 0; n < good.size(); ++n) {
            const int code = locateCode(good.left(n));
            EXPECT_TRUE(code == ENOEXEC || code == ENODATA) << n;
        }
        for (qsizetype at = 0; at < good.size(); ++at) {
            for (char value : {'\0', '\xFF'}) {
                QByteArray b = good;
                b[at] = value;
                locateCode(b);
            }
        }
    }
}
