// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>

namespace lsg::platform {

// Bounds of one run of a helper program.
struct HelperLimits {
    // The whole run, from start to reaping, never takes longer than this.
    std::chrono::milliseconds deadline{10000};
    // More output than this stops the run.
    qsizetype maxOutput = 0;
    // When set and it becomes true, the run stops within about 50 ms (runHelper only; a
    // HelperProcess stops at once on stop()).
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

// The same run without blocking: start() returns at once, the helper's stdin and stdout are
// served by the calling thread's event loop, and finished() follows from that loop when the run
// has ended, however it ended (also when the program could not be started). The child is always
// reaped: stop(), a new start() or the object's end kills a running one first, so no helper
// outlives its HelperProcess. One run at a time; used on one thread.
class HelperProcess : public QObject {
    Q_OBJECT
public:
    explicit HelperProcess(QObject* parent = nullptr);
    ~HelperProcess() override;

    void start(const QString& program, const QByteArray& input, const HelperLimits& limits);
    // Kills and reaps a running helper; no finished() follows for its run.
    void stop();
    bool isRunning() const;
    // How the last run ended; read it once finished() has come.
    const HelperRun& result() const { return m_result; }

signals:
    void finished();

private:
    struct Running;

    void writeInput();
    void readOutput();
    void reap();
    void end(HelperRun::End how);
    void announce();

    std::unique_ptr<Running> m_running;
    HelperRun m_result;
    quint64 m_generation = 0;  // runs started or stopped so far
};

}  // namespace lsg::platform
