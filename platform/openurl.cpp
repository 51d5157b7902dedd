// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/openurl.h"

#include <QDesktopServices>

namespace lsg::platform {
namespace {

void hand(const QUrl& url, const UrlOpener& opener) {
    if (opener) {
        opener(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

}  // namespace

bool isWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme();  // QUrl lowers the scheme
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool openWebAddress(const QString& address, const UrlOpener& opener) {
    if (!isWebAddress(address)) {
        return false;
    }
    hand(QUrl(address, QUrl::StrictMode), opener);
    return true;
}

bool openLocalFile(const QString& path, const UrlOpener& opener) {
    hand(QUrl::fromLocalFile(path), opener);
    return true;
}

}  // namespace lsg::platform
