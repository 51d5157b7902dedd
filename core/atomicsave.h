// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>

namespace lsg {

// Replaces the file at `path` with `data` so that the file holds either its old or its new
// content at every moment, even if the process is killed or the disk fills up: the data goes
// to a new file in the same folder, every write checked, and that file is then renamed over
// the old one. An existing file's permissions (and, where allowed, owner) are kept; a new file gets
// the usual 0666 less the umask. Returns false, with no temporary file left and the old file
// untouched, when any step fails.
bool saveFileAtomically(const QString& path, const QByteArray& data);

}  // namespace lsg
