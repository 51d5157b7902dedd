// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// The two options every command answers, handled before any window system is touched, so that
// they work on a console without a display. Every other argument is ignored.

#include <QString>
#include <optional>

namespace lsg::commandline {

enum class Request { Run, Help, Version };

// The first of "--help" / "-h" / "--version" among the arguments ("--" ends the options);
// Run when there is none.
Request parse(int argc, const char* const* argv);

// The usage text printed by --help.
QString usageText();

// "Loadspire Gauge 1.7": product name and version as read from the executable's version
// information. Throws lsg::Exception when that cannot be read.
QString versionText(const QString& executable);

// Prints the answer to --help or --version and returns the exit status; nothing for Run.
std::optional<int> handle(int argc, const char* const* argv);

}  // namespace lsg::commandline
