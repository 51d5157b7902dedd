// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QStringList>

#include "online/postwire.h"

namespace lsg::net {

// The form post itself, in the calling process, over libcurl. Only the network helper
// (loadspire-post) links this, so that the TLS stack stays out of the gadget's process; the
// program posts through PostForm, which runs the helper.
//
// "https://" (exactly) takes the secure path: the reply is taken whatever its HTTP status,
// up to 5 redirects are followed (to https addresses only), certificates are checked against
// the system's store (or options.caFile).
// Anything else takes the plain path: no redirects, a status outside 200..299 fails.
// timeoutMs bounds connecting and, separately, each wait for reply data; connecting and
// receiving together never take more than twice timeoutMs.
// Throws UntrustedPeerError when the secure path met a peer it cannot trust, lsg::Exception on
// every other failure.
QString postFormHere(const QString& url, const QStringList& lines, int timeoutMs,
                     const PostOptions& options);

}  // namespace lsg::net
