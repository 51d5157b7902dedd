// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace lsg::platform {

// "PRETTY_NAME (Version major.minor, Build n, 64-bit Edition)" from /etc/os-release and the
// kernel release.
QString osDescription();
// The system locale as "en-US"; "xx" when it has no country or cannot be read ("C", "POSIX").
QString localeCode();
// /etc/machine-id, trimmed; empty when missing.
QString machineId();
// The date in the locale's short date format, the year always written with four digits.
QString shortDate(const QDate& date);
// The date in the locale's short date format as it is (often a two-digit year), as earlier
// versions wrote it.
QString legacyShortDate(const QDate& date);

// The pieces behind them, with their inputs open to tests.

// The product name of an os-release file: PRETTY_NAME, else NAME, else "Linux".
QString osProductName(const QString& osReleasePath);
// The description from a product name, a kernel release such as "6.1.0-28-amd64" (major 6,
// minor 1, build = the third number, 0) and a machine name such as "x86_64" (any machine
// name containing "64" is a 64-bit system). Missing numbers count as 0.
QString osDescriptionFrom(const QString& productName, const QString& kernelRelease,
                          const QString& machine);
// The locale's ISO 639 language and ISO 3166 country joined by "-"; "xx" for the C locale or
// a locale without a country.
QString localeCodeFor(const QLocale& locale);
// A date format with every two-digit year ("yy") widened to four digits ("yyyy"); quoted
// text is left alone.
QString withFourDigitYear(const QString& format);
// The first line of a machine-id file, trimmed; empty when missing, unreadable or blank.
QString machineIdFrom(const QString& path);

}  // namespace lsg::platform
