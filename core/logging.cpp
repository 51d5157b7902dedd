// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/logging.h"

namespace lsg::log {

// Warnings and above by default; everything the program logs itself is debug or info.
Q_LOGGING_CATEGORY(online, "lsg.online", QtWarningMsg)
Q_LOGGING_CATEGORY(cpu, "lsg.cpu", QtWarningMsg)
Q_LOGGING_CATEGORY(settings, "lsg.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(gadget, "lsg.gadget", QtWarningMsg)

}  // namespace lsg::log
