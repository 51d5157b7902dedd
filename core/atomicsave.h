// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>

namespace lsg {

// Replaces the file at `path` with `data` so that the file holds either its old or its new
// content at every moment, even if the process is killed or the disk fills up: the data goes
// to a new file in the same folder ("<name>.tmp" + a few letters and digits), every write
// checked, and that file is then renamed over the old one. An existing file's permissions (and,
// where allowed, owner) are kept; a new file gets the usual 0666 less the umask. Returns false,
// with no temporary file left and the old file untouched, when any step fails.
bool saveFileAtomically(const QString& path, const QByteArray& data);

// Removes the temporary files a killed saveFileAtomically left beside `path`: regular files of
// its naming owned by this user. Only while no other writer can be saving to `path`.
void removeStaleTemporaries(const QString& path);

// Writes `data` over the existing regular file at `path` without a temporary file, for a
// writable file in a folder that takes no new files. Not atomic: a kill in the middle leaves a
// mix of old and new. On a failed write the old content is put back as far as possible.
// Returns false on any failure.
bool saveFileInPlace(const QString& path, const QByteArray& data, const QByteArray& old);

}  // namespace lsg
