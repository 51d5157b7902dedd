// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/serverhost.h"

namespace lsg {

QString ServerHost() {
    return QStringLiteral(LOADSPIRE_SERVER_HOST);
}

QString ServerTrustFile() {
#ifdef LOADSPIRE_TEST_TRUST
    return qEnvironmentVariable("LOADSPIRE_TEST_CA_FILE");
#else
    return {};
#endif
}

}  // namespace lsg
