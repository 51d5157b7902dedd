// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg::platform {

// Full path of the running executable.
QString executablePath();
// Folder of the running executable, with a trailing '/'.
QString executableFolder();
// The user's roaming application-data folder without a trailing delimiter:
// $XDG_CONFIG_HOME, else ~/.config; empty when neither can be found.
QString roamingAppDataFolder();
// Creates one folder; failures (an existing folder included) are ignored.
void createFolder(const QString& path);

// True when the folder takes new files and has write bits (a folder nobody may write counts as
// read-only even for a privileged user). The probe leaves no name behind, even when the
// program is killed during it.
bool IsFolderWritable(const QString& folder);

// True for a folder the system's packages own (under /usr and the top-level links into it):
// settings never go there, whoever may write it, or they would outlive the package.
bool isSystemLocation(const QString& folder);

// Starts the program at the path again, detached, without arguments. Returns false on failure.
bool startDetached(const QString& program);

}  // namespace lsg::platform
