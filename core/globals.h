// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg {

class IniFile;

// Process-wide values, set once by start-up and read elsewhere.
inline QString CompanyName;  // from the version information
inline QString ProductName;  // from the version information
inline QString AppCaption;   // CompanyName + " - " + ProductName
inline QString AppVersion;   // "%d.%d" of the file version's major and minor numbers
inline QString DataFolder;   // folder of settings.ini, always ending in '/'
// The one accessor of settings.ini; created by start-up, never released before the end.
inline IniFile* SettingsFile = nullptr;

// Host (optionally "host:port") of the maker's web server, fixed at build time.
QString ServerHost();
// PEM file of the certificate authorities to trust instead of the system's store: the path in
// LOADSPIRE_TEST_CA_FILE in the build that talks to the local test server, so that its tests
// run over verified TLS; always empty in the real program.
QString ServerTrustFile();

}  // namespace lsg

namespace lsg {

// Processor layout, set by start-up.
inline qint64 ProcessorChartCount = 0;   // M: the number of logical processors shown as strips
inline qint64 ProcessorChartHeight = 0;  // height of one strip, recomputed on every resize
inline bool StartupComplete = false;     // true once the gadget has first been shown

}  // namespace lsg
