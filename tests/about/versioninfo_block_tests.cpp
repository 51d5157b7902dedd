// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

#include "about/versioninfo_block.h"
#include "resources/version/versionblock.h"

using lsg::versionblock::Description;
using namespace lsg::versioninfo;

namespace {

Description sample() {
    Description d;
    d.fileVersion = {1, 7, 0, 0};
    d.productVersion = {1, 7, 0, 0};
    d.translations = {{0x0409, 0x04E4}};
    d.strings = {{"CompanyName", "KALDERN"}, {"OriginalFilename", "loadspire.exe"}, {"X", "A"}};
    return d;
}

QByteArray bytesOf(const Description& d) {
    const auto block = lsg::versionblock::buildBlock(d);
    return QByteArray(reinterpret_cast<const char*>(block.data()),
                      static_cast<qsizetype>(block.size()));
}

std::optional<QString> text(const QByteArray& block, const char16_t* path) {
    const auto value = queryValue(block, QString::fromUtf16(path));
    if (!value) {
        return std::nullopt;
    }
    return textOf(*value);
}

// Offset of a node whose key is `key` (UTF-16LE), i.e. of its length field.
qsizetype nodeOffset(const QByteArray& block, const QString& key) {
    QByteArray utf16;
    for (QChar c : key) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
        utf16.append(static_cast<char>(c.unicode() >> 8));
    }
    utf16.append(2, '\0');
    const qsizetype at = block.indexOf(utf16);
    return at < 0 ? at : at - 6;
}

void put16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

}  // namespace

TEST(VersionBlock, KeysMatchWithoutRegardToCaseAndEmptyPartsAreSkipped) {
    const QByteArray block = bytesOf(sample());
    EXPECT_EQ(text(block, u"\\StringFileInfo\\040904E4\\OriginalFileName"),
              QString("loadspire.exe"));
    EXPECT_EQ(text(block, u"\\stringfileinfo\\040904e4\\COMPANYNAME"), QString("KALDERN"));
    EXPECT_EQ(text(block, u"\\StringFileInfo\\\\040904E4\\CompanyName\\"), QString("KALDERN"));
    EXPECT_EQ(text(block, u"\\StringFileInfo\\040904E4\\PrivateBuild"), std::nullopt);
    EXPECT_EQ(text(block, u"\\StringFileInfo\\040704B0\\CompanyName"), std::nullopt);
    // A key is matched whole, not as a prefix.
    EXPECT_EQ(text(block, u"\\StringFileInfo\\040904E4\\Company"), std::nullopt);

    const auto translation = queryValue(block, u"\\VarFileInfo\\Translation\\");
    ASSERT_TRUE(translation);
    EXPECT_EQ(translation->bytes, QByteArray::fromHex("0904e404"));
    EXPECT_EQ(fileVersionMS(block), 0x00010007u);
}

TEST(VersionBlock, TextValuesKeepCharactersBeyondAscii) {
    Description d = sample();
    d.strings = {{"LegalCopyright", "© Müller 😀"}};
    EXPECT_EQ(text(bytesOf(d), u"\\StringFileInfo\\040904E4\\LegalCopyright"),
              QString::fromUtf8("© Müller 😀"));
}

// Each case damages a sound block; the query must give its answer without reading outside the
// block (the sanitizer build checks that) and without looping.
TEST(VersionBlock, DamagedBlocks) {
    const QByteArray good = bytesOf(sample());
    const qsizetype company = nodeOffset(good, "CompanyName");
    const qsizetype x = nodeOffset(good, "X");
    const qsizetype table = nodeOffset(good, "040904E4");
    ASSERT_GT(company, 0);
    ASSERT_GT(x, 0);
    ASSERT_GT(table, 0);

    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
        bool isBlock;
        std::optional<QString> company;
        std::optional<QString> x;
    };
    const std::vector<Case> cases = {
        {"sound", [](QByteArray&) {}, true, QString("KALDERN"), QString("A")},
        {"root longer than the data", [](QByteArray& b) { put16(b, 0, b.size() + 1); }, false,
         std::nullopt, std::nullopt},
        {"root shorter than its header", [](QByteArray& b) { put16(b, 0, 5); }, false, std::nullopt,
         std::nullopt},
        {"root key without its NUL", [](QByteArray& b) { put16(b, 0, 6 + 10); }, false,
         std::nullopt, std::nullopt},
        {"root key of another name", [](QByteArray& b) { b[6] = 'W'; }, false, std::nullopt,
         std::nullopt},
        {"child of length 0 ends the walk", [&](QByteArray& b) { put16(b, company, 0); }, true,
         std::nullopt, std::nullopt},
        {"child longer than its parent is not used",
         [&](QByteArray& b) { put16(b, company, 0xFFF0); }, true, std::nullopt, std::nullopt},
        {"text length far beyond its node", [&](QByteArray& b) { put16(b, company + 2, 0xFFFF); },
         true, QString("KALDERN"), QString("A")},
        {"last value without its NUL, node cut to an odd length",
         [&](QByteArray& b) { put16(b, x, 15); }, true, QString("KALDERN"), QString("A")},
        {"key of a string without its NUL", [&](QByteArray& b) { put16(b, x, 6 + 2); }, true,
         QString("KALDERN"), std::nullopt},
        {"table shorter than its strings", [&](QByteArray& b) { put16(b, table, x - table - 1); },
         true, QString("KALDERN"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray b = good;
        c.damage(b);
        EXPECT_EQ(versionBlockLength(b) != 0, c.isBlock);
        EXPECT_EQ(text(b, u"\\StringFileInfo\\040904E4\\CompanyName"), c.company);
        EXPECT_EQ(text(b, u"\\StringFileInfo\\040904E4\\X"), c.x);
    }
}

TEST(VersionBlock, FixedInfoNeedsItsSignatureAndSize) {
    QByteArray block = bytesOf(sample());
    const qsizetype fixed = block.indexOf(QByteArray::fromHex("bd04effe"));
    ASSERT_GT(fixed, 0);
    QByteArray wrongSignature = block;
    wrongSignature[fixed] = 0;
    EXPECT_EQ(fileVersionMS(wrongSignature), std::nullopt);
    QByteArray shortValue = block;
    put16(shortValue, 2, 51);
    EXPECT_EQ(fileVersionMS(shortValue), std::nullopt);
}

// Every prefix and every single-byte change of a sound block: the walk stays inside the data.
TEST(VersionBlock, AnyTruncationOrByteChangeIsSafe) {
    const QByteArray good = bytesOf(sample());
    const char16_t* paths[] = {u"\\", u"\\VarFileInfo\\Translation",
                               u"\\StringFileInfo\\040904E4\\CompanyName",
                               u"\\StringFileInfo\\040904E4\\X"};
    auto exercise = [&](const QByteArray& b) {
        for (const char16_t* path : paths) {
            if (const auto v = queryValue(b, QString::fromUtf16(path))) {
                textOf(*v);
            }
        }
        fileVersionMS(b);
    };
    for (qsizetype n = 0; n < good.size(); ++n) {
        const QByteArray prefix = good.left(n);
        EXPECT_EQ(versionBlockLength(prefix), 0) << n;
        exercise(prefix);
    }
    for (qsizetype at = 0; at < good.size(); ++at) {
        for (char value : {'\0', '\x01', '\xFF'}) {
            QByteArray b = good;
            b[at] = value;
            exercise(b);
        }
    }
}

TEST(VersionBlockWriter, RefusesBadDescriptions) {
    const char* bad[] = {
        "[fixed]\nFileVersion = 1.70000\n[translation]\nLanguage=1\nCodePage=2\n",
        "[fixed]\nFileVersion = 1.2.3.4.5\n[translation]\nLanguage=1\nCodePage=2\n",
        "[fixed]\nFileFlags = 0xZZ\n[translation]\nLanguage=1\nCodePage=2\n",
        "[translation]\nLanguage=1\n",
        "[strings]\nno equals sign\n[translation]\nLanguage=1\nCodePage=2\n",
        "[colours]\n",
        "[strings]\nBad = \xC3\n[translation]\nLanguage=1\nCodePage=2\n",
    };
    for (const char* text : bad) {
        EXPECT_THROW(lsg::versionblock::parseDescription(text), std::runtime_error) << text;
    }
    const Description d = lsg::versionblock::parseDescription(
        "[fixed]\nFileVersion = 2.3\n[translation]\nLanguage = 0x0407\nCodePage = 1200\n"
        "[strings]\nA = x = y\n");
    EXPECT_EQ(d.fileVersion, (std::array<std::uint16_t, 4>{2, 3, 0, 0}));
    EXPECT_EQ(lsg::versionblock::stringTableName(d.translations.at(0)), "040704B0");
    EXPECT_EQ(d.strings.at(0).second, "x = y");
}
