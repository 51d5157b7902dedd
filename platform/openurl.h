// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace lsg::ui {

// True for an absolute http:// or https:// address with a host: the only kind ever handed on.
bool isWebAddress(const QString& address);

// Hands a web address to the desktop's browser. Anything but http/https is refused (false);
// no shell ever sees the text. Failures of the browser are not reported.
bool openWebAddress(const QString& address);

// Opens a local file with the desktop's handler for its type (a text editor for .txt).
bool openLocalFile(const QString& path);

// Test seam: receives what would be handed to the desktop; returns the previous opener.
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);

}  // namespace lsg::ui
