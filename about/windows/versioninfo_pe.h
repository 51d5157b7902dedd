// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Finding the version-information block in a Windows PE file: its version resource, the first
// name and language under the version type.

#include "about/versioninfo_locate.h"

namespace lsg::versioninfo {

// Windows PE files.
extern const ExecutableFormat kPeFormat;
// ELF and PE files, for a reader that takes either.
std::span<const ExecutableFormat> elfAndPeFormats();

}  // namespace lsg::versioninfo
