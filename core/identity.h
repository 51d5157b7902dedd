// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg {

// The program's identity texts, read once at start-up from its version information and handed
// to the windows and requests that show or send them.
struct AppIdentity {
    QString CompanyName;  // from the version information
    QString ProductName;  // from the version information
    QString AppCaption;   // CompanyName + " - " + ProductName
    QString AppVersion;   // "%d.%d" of the file version's major and minor numbers
};

}  // namespace lsg
