// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/helperprocess.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/exception.h"

extern char** environ;

namespace lsg::platform {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the loops sleep before they look at the cancel flag and the clock again.
constexpr std::chrono::milliseconds kSlice{50};
constexpr qsizetype kReadChunk = 64 * 1024;

// One descriptor, closed when it goes out of scope.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return m_fd; }
    bool open() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// Moves a descriptor above stdin, stdout and stderr (a process started with one of those closed
// hands out 0..2 for new descriptors), so that the child's dup2 calls cannot clobber each other.
bool aboveStdio(Fd& fd) {
    if (fd.get() > STDERR_FILENO) {
        return true;
    }
    const int moved = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) {
        return false;
    }
    fd.reset(moved);
    return true;
}

// The child until it is reaped; a child still running when this goes out of scope is killed
// first, so no exit path leaves a process or a zombie behind.
class Child {
public:
    explicit Child(pid_t pid) : m_pid(pid) {}
    ~Child() {
        if (!m_reaped) {
            killAndReap();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void killAndReap() {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_reaped = true;
        m_status = status;
    }
    // True once the child has exited and been reaped.
    bool tryReap() {
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid || (r < 0 && errno == ECHILD)) {
            m_reaped = true;
            m_status = status;
        }
        return m_reaped;
    }
    int status() const { return m_status; }

private:
    pid_t m_pid;
    bool m_reaped = false;
    int m_status = 0;
};

bool cancelled(const HelperLimits& limits) {
    return limits.cancel != nullptr && limits.cancel->load(std::memory_order_acquire);
}

// Milliseconds to sleep: at most one slice, never past the deadline, at least 1.
int sliceMs(Clock::time_point deadline, std::chrono::milliseconds cap = kSlice) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(
        std::clamp<std::chrono::milliseconds::rep>(left.count() + 1, 1, cap.count()));
}

HelperRun stopped(Child& child, HelperRun::End end, HelperRun run) {
    child.killAndReap();
    run.end = end;
    return run;
}

// Writes what the child takes of the rest of the input, without waiting. True when nothing more
// is to be written: all of it went, or the child stopped reading (EPIPE, a reset), and then what
// it wrote or how it ended tells the rest. Closing its stdin afterwards tells the child the
// request is complete.
bool feedInput(int fd, const QByteArray& input, qsizetype& written) {
    const ssize_t n =
        ::send(fd, input.constData() + written, static_cast<size_t>(input.size() - written),
               MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
        written += n;
    }
    return written == input.size() ||
           (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

enum class Output { More, Ended, TooLong };

// Reads what the child has written so far, without waiting, and never more than one byte past
// maxOutput.
Output collectOutput(int fd, QByteArray& output, qsizetype maxOutput) {
    for (;;) {
        const qsizetype room = std::min(kReadChunk, maxOutput + 1 - output.size());
        QByteArray chunk(room, Qt::Uninitialized);
        const ssize_t n = ::read(fd, chunk.data(), static_cast<size_t>(room));
        if (n > 0) {
            output.append(chunk.constData(), n);
            if (output.size() > maxOutput) {
                return Output::TooLong;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Output::More;
        }
        return Output::Ended;
    }
}

// How a reaped child ended.
void takeStatus(HelperRun& run, int status) {
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
}

// A started helper: its pid and this process's ends of its stdin and stdout.
struct Spawned {
    pid_t pid = -1;
    Fd in;   // the child's stdin, a socket
    Fd out;  // the child's stdout, non-blocking
};

// Starts the program as runHelper describes. False, with the reason in *error, when it cannot.
bool spawnHelper(const QString& program, Spawned& spawned, QString* error) {
    auto notStarted = [error](const QString& reason) {
        *error = reason;
        return false;
    };

    // The child's stdin is a socket so that writing to a child that has died can use
    // MSG_NOSIGNAL: a pipe would raise SIGPIPE in this process, and blocking the signal
    // around the write would touch the whole thread's signal state.
    int in[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) {
        return notStarted(systemErrorText(errno));
    }
    Fd inParent(in[0]);
    Fd inChild(in[1]);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return notStarted(systemErrorText(errno));
    }
    Fd outParent(out[0]);
    Fd outChild(out[1]);
    if (!aboveStdio(inParent) || !aboveStdio(inChild) || !aboveStdio(outParent) ||
        !aboveStdio(outChild)) {
        return notStarted(systemErrorText(errno));
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return notStarted(QStringLiteral("out of memory"));
    }
    if (::posix_spawnattr_init(&attr) != 0) {
        ::posix_spawn_file_actions_destroy(&actions);
        return notStarted(QStringLiteral("out of memory"));
    }
    ::posix_spawn_file_actions_adddup2(&actions, inChild.get(), STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, outChild.get(), STDOUT_FILENO);
    // Every descriptor of ours is close-on-exec; this also covers one a library opened without.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // A clean signal state: nothing blocked, and nothing ignored (an ignored SIGPIPE would be
    // inherited across exec).
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(&attr, &none);
    ::posix_spawnattr_setsigdefault(&attr, &all);
    ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    QByteArray path = QFile::encodeName(program);
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    const int started = ::posix_spawn(&pid, path.constData(), &actions, &attr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attr);
    inChild.reset();
    outChild.reset();
    if (started != 0) {
        return notStarted(systemErrorText(started));
    }
    ::fcntl(outParent.get(), F_SETFL, ::fcntl(outParent.get(), F_GETFL) | O_NONBLOCK);
    spawned.pid = pid;
    spawned.in.reset(inParent.release());
    spawned.out.reset(outParent.release());
    return true;
}

}  // namespace

HelperRun runHelper(const QString& program, const QByteArray& input, const HelperLimits& limits) {
    const auto deadline = Clock::now() + limits.deadline;
    HelperRun run;
    Spawned spawned;
    if (!spawnHelper(program, spawned, &run.error)) {
        run.end = HelperRun::End::NotStarted;
        return run;
    }
    Child child(spawned.pid);
    Fd& inParent = spawned.in;
    Fd& outParent = spawned.out;

    qsizetype written = 0;
    if (input.isEmpty()) {
        inParent.reset();
    }
    for (;;) {
        if (cancelled(limits)) {
            return stopped(child, HelperRun::End::Cancelled, std::move(run));
        }
        if (Clock::now() >= deadline) {
            return stopped(child, HelperRun::End::TimedOut, std::move(run));
        }
        pollfd fds[2] = {{outParent.get(), POLLIN, 0}, {inParent.get(), POLLOUT, 0}};
        const nfds_t count = inParent.open() ? 2 : 1;
        if (::poll(fds, count, sliceMs(deadline)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;  // cannot wait on the output any more: take what came
        }
        if (count == 2 && fds[1].revents != 0 && feedInput(inParent.get(), input, written)) {
            inParent.reset();
        }
        if (fds[0].revents != 0) {
            const Output output = collectOutput(outParent.get(), run.output, limits.maxOutput);
            if (output == Output::TooLong) {
                return stopped(child, HelperRun::End::OutputTooLong, std::move(run));
            }
            if (output == Output::Ended) {
                break;
            }
        }
    }
    inParent.reset();
    outParent.reset();

    // The output has ended, so the child is on its way out; the wait is still bounded, for a
    // child that closes its stdout and goes on running.
    std::chrono::milliseconds backoff{1};
    while (!child.tryReap()) {
        if (cancelled(limits)) {
            return stopped(child, HelperRun::End::Cancelled, std::move(run));
        }
        if (Clock::now() >= deadline) {
            return stopped(child, HelperRun::End::TimedOut, std::move(run));
        }
        ::poll(nullptr, 0, sliceMs(deadline, backoff));
        backoff = std::min(backoff * 2, kSlice);
    }
    run.end = HelperRun::End::Finished;
    takeStatus(run, child.status());
    return run;
}

// ---- HelperProcess --------------------------------------------------------------------------

// The run in progress. Its notifiers and timers are children of the HelperProcess, retired with
// deleteLater: the run may end inside one of their own signals.
struct HelperProcess::Running {
    pid_t pid = -1;
    bool reaped = false;
    int status = 0;
    Fd in;
    Fd out;
    QByteArray input;
    qsizetype written = 0;
    qsizetype maxOutput = 0;
    HelperRun run;
    std::chrono::milliseconds backoff{1};
    QSocketNotifier* reader = nullptr;
    QSocketNotifier* writer = nullptr;
    QTimer* deadline = nullptr;
    QTimer* reaper = nullptr;

    static void retire(QSocketNotifier*& notifier) {
        if (notifier != nullptr) {
            notifier->setEnabled(false);
            notifier->disconnect();
            notifier->deleteLater();
            notifier = nullptr;
        }
    }
    static void retire(QTimer*& timer) {
        if (timer != nullptr) {
            timer->stop();
            timer->disconnect();
            timer->deleteLater();
            timer = nullptr;
        }
    }
    // Stops watching the child and closes this side's descriptors; kills and reaps the child
    // unless it has been reaped already.
    void close() {
        retire(reader);
        retire(writer);
        retire(deadline);
        retire(reaper);
        in.reset();
        out.reset();
        if (!reaped) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            reaped = true;
        }
    }
};

HelperProcess::HelperProcess(QObject* parent) : QObject(parent) {}

HelperProcess::~HelperProcess() {
    stop();
}

bool HelperProcess::isRunning() const {
    return m_running != nullptr;
}

void HelperProcess::start(const QString& program, const QByteArray& input,
                          const HelperLimits& limits) {
    stop();
    m_result = HelperRun();
    Spawned spawned;
    if (!spawnHelper(program, spawned, &m_result.error)) {
        m_result.end = HelperRun::End::NotStarted;
        announce();
        return;
    }
    auto running = std::make_unique<Running>();
    Running& r = *running;
    r.pid = spawned.pid;
    r.in.reset(spawned.in.release());
    r.out.reset(spawned.out.release());
    r.input = input;
    r.maxOutput = limits.maxOutput;
    m_running = std::move(running);

    r.deadline = new QTimer(this);
    r.deadline->setSingleShot(true);
    r.deadline->setTimerType(Qt::PreciseTimer);
    r.deadline->setInterval(std::clamp<std::chrono::milliseconds>(
        limits.deadline, std::chrono::milliseconds(0),
        std::chrono::milliseconds(std::numeric_limits<int>::max())));
    connect(r.deadline, &QTimer::timeout, this, [this] { end(HelperRun::End::TimedOut); });
    r.reader = new QSocketNotifier(r.out.get(), QSocketNotifier::Read, this);
    connect(r.reader, &QSocketNotifier::activated, this, &HelperProcess::readOutput);
    if (r.input.isEmpty()) {
        r.in.reset();
    } else {
        r.writer = new QSocketNotifier(r.in.get(), QSocketNotifier::Write, this);
        connect(r.writer, &QSocketNotifier::activated, this, &HelperProcess::writeInput);
    }
    r.deadline->start();
}

void HelperProcess::stop() {
    // A finished() already on its way for an earlier run is dropped.
    ++m_generation;
    if (!m_running) {
        return;
    }
    const std::unique_ptr<Running> running = std::move(m_running);
    running->close();
    m_result = std::move(running->run);
    m_result.end = HelperRun::End::Cancelled;
}

void HelperProcess::writeInput() {
    Running& r = *m_running;
    if (feedInput(r.in.get(), r.input, r.written)) {
        Running::retire(r.writer);
        r.in.reset();
    }
}

void HelperProcess::readOutput() {
    Running& r = *m_running;
    switch (collectOutput(r.out.get(), r.run.output, r.maxOutput)) {
        case Output::More:
            return;
        case Output::TooLong:
            end(HelperRun::End::OutputTooLong);
            return;
        case Output::Ended:
            break;
    }
    Running::retire(r.reader);
    Running::retire(r.writer);
    r.in.reset();
    r.out.reset();
    reap();
}

void HelperProcess::reap() {
    // The output has ended, so the child is on its way out; the deadline still bounds a child
    // that closes its stdout and goes on running.
    Running& r = *m_running;
    const pid_t reaped = ::waitpid(r.pid, &r.status, WNOHANG);
    if (reaped == r.pid || (reaped < 0 && errno == ECHILD)) {
        r.reaped = true;
        end(HelperRun::End::Finished);
        return;
    }
    if (r.reaper == nullptr) {
        r.reaper = new QTimer(this);
        r.reaper->setSingleShot(true);
        connect(r.reaper, &QTimer::timeout, this, &HelperProcess::reap);
    }
    r.reaper->start(r.backoff);
    r.backoff = std::min(r.backoff * 2, kSlice);
}

void HelperProcess::end(HelperRun::End how) {
    const std::unique_ptr<Running> running = std::move(m_running);
    running->close();
    m_result = std::move(running->run);
    m_result.end = how;
    if (how == HelperRun::End::Finished) {
        takeStatus(m_result, running->status);
    }
    announce();
}

void HelperProcess::announce() {
    // From the event loop, never from inside the caller's start() or a notifier of this run.
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_generation] {
            if (generation == m_generation) {
                emit finished();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace lsg::platform
