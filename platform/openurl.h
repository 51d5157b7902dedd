// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace lsg::platform {

// True for an absolute http:// or https:// address with a host: the only kind ever handed on.
bool isWebAddress(const QString& address);

// Hands an address to the desktop. A window that opens addresses keeps one of these; an empty
// one is the desktop itself, and tests give the window one that records instead.
using UrlOpener = std::function<void(const QUrl&)>;

// Hands a web address to the desktop's browser (or to `opener` when it is set). Anything but
// http/https is refused (false); no shell ever sees the text. Failures of the browser are not
// reported.
bool openWebAddress(const QString& address, const UrlOpener& opener = {});

// Opens a local file with the desktop's handler for its type (a text editor for .txt).
bool openLocalFile(const QString& path, const UrlOpener& opener = {});

}  // namespace lsg::platform
