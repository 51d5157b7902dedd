// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg {

// Host (optionally "host:port") of the maker's web server, fixed at build time.
QString ServerHost();
// PEM file of the certificate authorities to trust instead of the system's store: the path in
// LOADSPIRE_TEST_CA_FILE in the build that talks to the local test server, so that its tests
// run over verified TLS; always empty in the real program.
QString ServerTrustFile();

}  // namespace lsg
