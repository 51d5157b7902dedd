// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/exception.h"

#include <atomic>

namespace lsg::net {

// Largest reply body accepted; the callers read a line or two, and an endless reply must not
// exhaust memory.
inline constexpr qint64 kMaxReplyBytes = 1024 * 1024;

// The application/x-www-form-urlencoded body of "name=value" lines, in their order.
// Everything before the first '=' is the name (a line without '=' is all name, empty value).
QByteArray formBody(const QStringList& lines);

// Settings a caller may add to a post. The program itself uses none of them: they exist for
// tests (a private certificate authority) and for a clean stop at shutdown.
struct PostOptions {
    // PEM file of the certificate authorities to trust instead of the system's store.
    QString caFile;
    // When set and it becomes true, the post stops within about 50 ms and fails.
    const std::atomic<bool>* cancel = nullptr;
};

// The secure path reached a server it must not trust: its certificate or host name did not
// verify, or it redirected to an address that is not https. Whoever answered could be
// anyone on the way, so the caller must not repeat the request in plain text.
class UntrustedPeerError : public lsg::Exception {
public:
    using lsg::Exception::Exception;
    const char* className() const noexcept override { return "UntrustedPeerError"; }
};

// Posts the lines as an HTML form and returns the reply body as text.
// "https://" (exactly) takes the secure path: the reply is taken whatever its HTTP status,
// up to 5 redirects are followed (to https addresses only), certificates are checked against
// the system's store.
// Anything else takes the plain path: no redirects, a status outside 200..299 fails.
// timeoutMs bounds connecting and, separately, each wait for reply data.
// Throws UntrustedPeerError when the secure path met a peer it cannot trust, lsg::Exception on
// every other failure.
QString PostForm(const QString& url, const QStringList& lines, int timeoutMs);
QString PostForm(const QString& url, const QStringList& lines, int timeoutMs,
                 const PostOptions& options);

// Decodes a reply body by the charset parameter of its Content-Type; UTF-8 when it names
// none or one this build cannot decode.
QString decodeReply(const QByteArray& body, const QByteArray& contentType);

}  // namespace lsg::net
