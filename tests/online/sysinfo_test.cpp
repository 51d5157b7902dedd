// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/sysinfo.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace lsg::platform {
namespace {

QString fileWith(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    return path;
}

TEST(SysInfo, ProductNameFromOsRelease) {
    QTemporaryDir dir;
    const struct {
        QByteArray content;
        const char* name;
    } cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME='Single Quoted'\n", "Single Quoted"},
        {"PRETTY_NAME=Bare\n", "Bare"},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\$x\"\n", "Say \"hi\" $x"},
        {"NAME=Fedora\n", "Fedora"},
        {"PRETTY_NAME=\"\"\nNAME=Arch\n", "Arch"},
        {"# comment\nPRETTY_NAME=\"Tab\there\"\n", "Tabhere"},
        // Octal escapes end after three digits, so the letters after them stay letters.
        {"PRETTY_NAME=\"A\001B\177C\037D\303\251\"\n", "ABCD\u00e9"},
        {"", "Linux"},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        const QString path = fileWith(dir, QString::number(i++), c.content);
        EXPECT_EQ(osProductName(path), QString::fromUtf8(c.name));
    }
    EXPECT_EQ(osProductName(dir.filePath(QStringLiteral("missing"))), QStringLiteral("Linux"));
}

TEST(SysInfo, DescriptionFromTheKernelRelease) {
    const struct {
        const char* release;
        const char* machine;
        const char* description;
    } cases[] = {
        {"6.1.0-28-amd64", "x86_64", "D (Version 6.1, Build 0, 64-bit Edition)"},
        {"6.18.44-fc-v1403", "aarch64", "D (Version 6.18, Build 44, 64-bit Edition)"},
        {"5.15.153.1-microsoft-standard-WSL2", "x86_64",
         "D (Version 5.15, Build 153, 64-bit Edition)"},
        {"4.19", "i686", "D (Version 4.19, Build 0, 32-bit Edition)"},
        {"6", "armv7l", "D (Version 6.0, Build 0, 32-bit Edition)"},
        {"", "", "D (Version 0.0, Build 0, 32-bit Edition)"},
        {"99999999999999.1.2", "x86_64", "D (Version 999999999.1, Build 2, 64-bit Edition)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.release);
        EXPECT_EQ(osDescriptionFrom(QStringLiteral("D"), QString::fromUtf8(c.release),
                                    QString::fromUtf8(c.machine)),
                  QString::fromUtf8(c.description));
    }
    // The real system gives the same shape.
    EXPECT_TRUE(osDescription().contains(QStringLiteral(" (Version ")));
}

TEST(SysInfo, LocaleCode) {
    EXPECT_EQ(localeCodeFor(QLocale(QStringLiteral("en_US"))), QStringLiteral("en-US"));
    EXPECT_EQ(localeCodeFor(QLocale(QStringLiteral("de_AT"))), QStringLiteral("de-AT"));
    EXPECT_EQ(localeCodeFor(QLocale(QStringLiteral("pt_BR"))), QStringLiteral("pt-BR"));
    EXPECT_EQ(localeCodeFor(QLocale::c()), QStringLiteral("xx"));
    EXPECT_EQ(localeCodeFor(QLocale(QStringLiteral("POSIX"))), QStringLiteral("xx"));
}

TEST(SysInfo, ShortDatesGetAFourDigitYear) {
    const struct {
        const char* format;
        const char* widened;
    } cases[] = {
        {"M/d/yy", "M/d/yyyy"},
        {"dd.MM.yy", "dd.MM.yyyy"},
        {"yy-MM-dd", "yyyy-MM-dd"},
        {"d/M/yyyy", "d/M/yyyy"},
        {"d MMM yyyy", "d MMM yyyy"},
        {"dd.MM.yy 'yy'", "dd.MM.yyyy 'yy'"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(withFourDigitYear(QString::fromUtf8(c.format)), QString::fromUtf8(c.widened));
    }
    // Whatever the machine's locale, today's short date carries the full year.
    const QDate date(2026, 12, 9);
    EXPECT_TRUE(shortDate(date).contains(QStringLiteral("2026"))) << shortDate(date).toStdString();
}

TEST(SysInfo, MachineIdIsTheTrimmedFirstLineOrEmpty) {
    QTemporaryDir dir;
    EXPECT_EQ(machineIdFrom(fileWith(dir, "a", "0123456789abcdef0123456789abcdef\n")),
              QStringLiteral("0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(machineIdFrom(fileWith(dir, "b", "  id  \nsecond\n")), QStringLiteral("id"));
    EXPECT_EQ(machineIdFrom(fileWith(dir, "c", "")), QString());
    EXPECT_EQ(machineIdFrom(dir.filePath(QStringLiteral("missing"))), QString());
}

}  // namespace
}  // namespace lsg::platform
