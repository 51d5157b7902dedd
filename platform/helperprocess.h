// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>

namespace lsg::platform {

// Bounds of one run of a helper program.
struct HelperLimits {
    // The whole run, from start to reaping, never takes longer than this.
    std::chrono::milliseconds deadline{10000};
    // More output than this stops the run.
    qsizetype maxOutput = 0;
    // When set and it becomes true, the run stops within about 50 ms.
    const std::atomic<bool>* cancel = nullptr;
};

struct HelperRun {
    enum class End {
        NotStarted,     // error says why
        Finished,       // the helper closed its output and exited; exitCode or signal tell how
        Cancelled,      // killed on request
        TimedOut,       // killed at the deadline
        OutputTooLong,  // killed after more than maxOutput bytes
    };
    End end = End::NotStarted;
    QString error;
    QByteArray output;
    int exitCode = -1;  // when it exited normally
    int signal = 0;     // when a signal ended it
};

// Runs the program at the absolute path with no arguments, nothing on its command line or in
// its environment that the caller chose, writes input to its stdin and closes it, and collects
// its stdout until it closes. stderr is shared with this process; no other descriptor passes.
// The child is always reaped before this returns (killed first when it has to be stopped), and
// a child that dies before reading all its input cannot take this process down with SIGPIPE.
// Blocks the calling thread; safe to call from several threads at once.
HelperRun runHelper(const QString& program, const QByteArray& input, const HelperLimits& limits);

}  // namespace lsg::platform
