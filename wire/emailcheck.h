// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

namespace lsg::feedback {

// True when the whole address has the shape local@label.rest: letters, digits and _ . + - before
// the at-sign; letters, digits and hyphens in the first domain label; a dot; then letters, digits,
// hyphens and dots ending in a letter or digit. ASCII only. Safe to call from any thread.
bool isValidEmail(const QString& address);

}  // namespace lsg::feedback
