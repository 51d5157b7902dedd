// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QLoggingCategory>

// The program keeps no log of its own, but failures it swallows on purpose stay findable: each
// area logs under a category of its own, silent unless turned on, e.g.
//     QT_LOGGING_RULES="lsg.*=true" loadspire
// (every level; "lsg.*.debug=true" alone would leave the info messages off).
namespace lsg::log {

Q_DECLARE_LOGGING_CATEGORY(online)    // "lsg.online": the update check
Q_DECLARE_LOGGING_CATEGORY(cpu)       // "lsg.cpu": the sampler and the chart feed
Q_DECLARE_LOGGING_CATEGORY(settings)  // "lsg.settings": settings.ini
Q_DECLARE_LOGGING_CATEGORY(gadget)    // "lsg.gadget": placing the gadget on the desktop

}  // namespace lsg::log
