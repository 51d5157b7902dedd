// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/globals.h"

namespace lsg {

QString ServerHost() {
    return QStringLiteral(LOADSPIRE_SERVER_HOST);
}

}  // namespace lsg
