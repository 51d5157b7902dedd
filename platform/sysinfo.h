// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QDate>
#include <QString>

namespace lsg::platform {

// "PRETTY_NAME (Version major.minor, Build n, 64-bit Edition)" from /etc/os-release and the
// kernel release.
QString osDescription();
// The system locale as "en-US"; "xx" when it has no country or cannot be read ("C", "POSIX").
QString localeCode();
// /etc/machine-id, trimmed; empty when missing.
QString machineId();
// The date in the locale's short date format.
QString shortDate(const QDate& date);

}  // namespace lsg::platform
