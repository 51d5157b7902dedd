// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/openurl.h"

#include <QDesktopServices>
#include <utility>

namespace lsg::ui {
namespace {

UrlOpener& opener() {
    static UrlOpener o;
    return o;
}

void hand(const QUrl& url) {
    if (opener()) {
        opener()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

}  // namespace

UrlOpener setUrlOpener(UrlOpener o) {
    return std::exchange(opener(), std::move(o));
}

bool isWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme();  // QUrl lowers the scheme
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool openWebAddress(const QString& address) {
    if (!isWebAddress(address)) {
        return false;
    }
    hand(QUrl(address, QUrl::StrictMode));
    return true;
}

bool openLocalFile(const QString& path) {
    hand(QUrl::fromLocalFile(path));
    return true;
}

}  // namespace lsg::ui
