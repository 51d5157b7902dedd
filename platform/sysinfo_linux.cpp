// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/sysinfo.h"

#include <QFile>

#include <sys/utsname.h>

namespace lsg::platform {

namespace {

// Both files are a few hundred bytes; a larger one is not what we expect to read.
constexpr qint64 kMaxFileBytes = 64 * 1024;

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(kMaxFileBytes);
}

// A value of os-release(5): shell-style, optionally quoted, with backslash escapes inside
// double quotes.
QString unquote(const QString& raw) {
    const QString value = raw.trimmed();
    if (value.size() >= 2 && value.front() == u'\'' && value.back() == u'\'') {
        return value.mid(1, value.size() - 2);
    }
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        QString out;
        const QString inner = value.mid(1, value.size() - 2);
        for (qsizetype i = 0; i < inner.size(); ++i) {
            if (inner[i] == u'\\' && i + 1 < inner.size()) {
                ++i;
            }
            out += inner[i];
        }
        return out;
    }
    return value;
}

}  // namespace

QString osProductName(const QString& osReleasePath) {
    const QString text = QString::fromUtf8(readSmallFile(osReleasePath));
    QString pretty;
    QString name;
    for (const QString& line : text.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed();
        if (key == QStringLiteral("PRETTY_NAME")) {
            pretty = unquote(line.mid(eq + 1));
        } else if (key == QStringLiteral("NAME")) {
            name = unquote(line.mid(eq + 1));
        }
    }
    // Control characters would break the one-line form field. A loop, not a regular expression:
    // this runs in the gadget, which then need not load and compile a regex engine.
    const auto isControl = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; };
    pretty.removeIf(isControl);
    name.removeIf(isControl);
    if (!pretty.trimmed().isEmpty()) {
        return pretty.trimmed();
    }
    if (!name.trimmed().isEmpty()) {
        return name.trimmed();
    }
    return QStringLiteral("Linux");
}

QString osDescriptionFrom(const QString& productName, const QString& kernelRelease,
                          const QString& machine) {
    // "6.1.0-28-amd64": the leading dotted numbers are major, minor and the third one, which
    // stands where a build number would.
    int numbers[3] = {0, 0, 0};
    qsizetype i = 0;
    for (int n = 0; n < 3; ++n) {
        qint64 value = 0;
        qsizetype digits = 0;
        while (i < kernelRelease.size() && kernelRelease[i].isDigit() &&
               kernelRelease[i].unicode() < 128) {
            value = value * 10 + (kernelRelease[i].unicode() - u'0');
            if (value > 999999999) {
                value = 999999999;
            }
            ++i;
            ++digits;
        }
        if (digits == 0) {
            break;
        }
        numbers[n] = static_cast<int>(value);
        if (i >= kernelRelease.size() || kernelRelease[i] != u'.') {
            break;
        }
        ++i;
    }
    const QString edition = machine.contains(QStringLiteral("64"))
                                ? QStringLiteral("64-bit Edition")
                                : QStringLiteral("32-bit Edition");
    return QStringLiteral("%1 (Version %2.%3, Build %4, %5)")
        .arg(productName)
        .arg(numbers[0])
        .arg(numbers[1])
        .arg(numbers[2])
        .arg(edition);
}

QString osDescription() {
    QString product = osProductName(QStringLiteral("/etc/os-release"));
    if (!QFile::exists(QStringLiteral("/etc/os-release"))) {
        // os-release(5): /usr/lib/os-release is the fallback location.
        product = osProductName(QStringLiteral("/usr/lib/os-release"));
    }
    struct utsname names {};
    QString release;
    QString machine;
    if (::uname(&names) == 0) {
        release = QString::fromLocal8Bit(names.release);
        machine = QString::fromLocal8Bit(names.machine);
    }
    return osDescriptionFrom(product, release, machine);
}

QString localeCodeFor(const QLocale& locale) {
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage ||
        locale.territory() == QLocale::AnyTerritory) {
        return QStringLiteral("xx");
    }
    const QString language = QLocale::languageToCode(locale.language());
    const QString country = QLocale::territoryToCode(locale.territory());
    if (language.isEmpty() || country.isEmpty()) {
        return QStringLiteral("xx");
    }
    return language + u'-' + country;
}

QString localeCode() {
    return localeCodeFor(QLocale::system());
}

QString machineIdFrom(const QString& path) {
    const QByteArray data = readSmallFile(path);
    const qsizetype end = data.indexOf('\n');
    return QString::fromUtf8(end < 0 ? data : data.left(end)).trimmed();
}

QString machineId() {
    return machineIdFrom(QStringLiteral("/etc/machine-id"));
}

QString withFourDigitYear(const QString& format) {
    QString out;
    bool quoted = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || c != u'y') {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i + run < format.size() && format[i + run] == u'y') {
            ++run;
        }
        out += run == 2 ? QStringLiteral("yyyy") : QString(run, u'y');
        i += run;
    }
    return out;
}

QString shortDate(const QDate& date) {
    const QLocale locale = QLocale::system();
    return locale.toString(date, withFourDigitYear(locale.dateFormat(QLocale::ShortFormat)));
}

QString legacyShortDate(const QDate& date) {
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

}  // namespace lsg::platform
