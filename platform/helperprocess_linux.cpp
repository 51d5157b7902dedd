// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/helperprocess.h"

#include <QFile>

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

extern char** environ;

namespace lsg::platform {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the loops sleep before they look at the cancel flag and the clock again.
constexpr std::chrono::milliseconds kSlice{50};
constexpr qsizetype kReadChunk = 64 * 1024;

QString errnoText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

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

}  // namespace

HelperRun runHelper(const QString& program, const QByteArray& input, const HelperLimits& limits) {
    const auto deadline = Clock::now() + limits.deadline;
    HelperRun run;
    auto notStarted = [&run](const QString& reason) {
        run.end = HelperRun::End::NotStarted;
        run.error = reason;
        return run;
    };

    // The child's stdin is a socket so that writing to a child that has died can use
    // MSG_NOSIGNAL: a pipe would raise SIGPIPE in this process, and blocking the signal
    // around the write would touch the whole thread's signal state.
    int in[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) {
        return notStarted(errnoText(errno));
    }
    Fd inParent(in[0]);
    Fd inChild(in[1]);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return notStarted(errnoText(errno));
    }
    Fd outParent(out[0]);
    Fd outChild(out[1]);
    if (!aboveStdio(inParent) || !aboveStdio(inChild) || !aboveStdio(outParent) ||
        !aboveStdio(outChild)) {
        return notStarted(errnoText(errno));
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
    const int spawned = ::posix_spawn(&pid, path.constData(), &actions, &attr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attr);
    inChild.reset();
    outChild.reset();
    if (spawned != 0) {
        return notStarted(errnoText(spawned));
    }
    Child child(pid);

    ::fcntl(outParent.get(), F_SETFL, ::fcntl(outParent.get(), F_GETFL) | O_NONBLOCK);
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
        if (count == 2 && fds[1].revents != 0) {
            const ssize_t n =
                ::send(inParent.get(), input.constData() + written,
                       static_cast<size_t>(input.size() - written), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                written += n;
            }
            // Closing tells the child the request is complete. A child that stopped reading
            // (EPIPE, a reset) gets nothing more; what it wrote or how it ended tells the rest.
            if (written == input.size() ||
                (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                inParent.reset();
            }
        }
        if (fds[0].revents != 0) {
            const qsizetype room = std::min(kReadChunk, limits.maxOutput + 1 - run.output.size());
            QByteArray chunk(room, Qt::Uninitialized);
            const ssize_t n = ::read(outParent.get(), chunk.data(), static_cast<size_t>(room));
            if (n > 0) {
                run.output.append(chunk.constData(), n);
                if (run.output.size() > limits.maxOutput) {
                    return stopped(child, HelperRun::End::OutputTooLong, std::move(run));
                }
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                break;  // end of output
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
    const int status = child.status();
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    return run;
}

}  // namespace lsg::platform
