// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/exception.h"

namespace lsg::platform {
namespace {

using Clock = std::chrono::steady_clock;

// The whole conversation: a later copy sends the request line, the first one answers with the
// reply line once it has shown itself.
constexpr char kRequest[] = "show\n";
constexpr char kReply[] = "shown\n";
// A line longer than this is no request of ours.
constexpr std::size_t kMaxLine = 64;
// Later copies served at once, and how long one may take to say what it wants.
constexpr int kMaxConnections = 8;
constexpr std::chrono::milliseconds kConnectionTimeout{2000};
// How often a later copy looks again for a first one that is still starting.
constexpr std::chrono::milliseconds kRetryPause{50};

// Letters, digits and a few marks: the name becomes part of file names.
QByteArray fileStem(const QString& name) {
    QByteArray stem = name.toUtf8();
    for (char& c : stem) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!plain) {
            c = '_';
        }
    }
    return stem.left(64) + '-' + QByteArray::number(qulonglong(::geteuid()));
}

// The socket's address: its full path, or when that is too long for an address, the same file
// reached through the open folder's descriptor.
bool socketAddress(const QByteArray& folder, int folderFd, const QByteArray& file,
                   sockaddr_un* address) {
    *address = {};
    address->sun_family = AF_UNIX;
    QByteArray path = folder + '/' + file;
    if (std::size_t(path.size()) >= sizeof address->sun_path) {
        path = "/proc/self/fd/" + QByteArray::number(folderFd) + '/' + file;
        if (std::size_t(path.size()) >= sizeof address->sun_path) {
            return false;
        }
    }
    std::memcpy(address->sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

enum class Asked { Shown, NotListening, Silent };

// Asks the copy listening at the address to show itself, waiting for its answer until the
// deadline.
Asked askToShow(const sockaddr_un& address, Clock::time_point deadline) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return Asked::NotListening;
    }
    // A full backlog answers EAGAIN instead of blocking: it counts as not listening yet.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) != ssize_t(sizeof kRequest - 1)) {
        ::close(fd);
        return Asked::NotListening;
    }
    char reply[kMaxLine];
    std::size_t length = 0;
    Asked result = Asked::Silent;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        const ssize_t n = ::recv(fd, reply + length, sizeof reply - length, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            // Closed without an answer: that copy is going, or refused us.
            result = Asked::NotListening;
            break;
        }
        length += std::size_t(n);
        if (std::memchr(reply, '\n', length) != nullptr || length == sizeof reply) {
            const bool shown =
                length >= sizeof kReply - 1 && std::memcmp(reply, kReply, sizeof kReply - 1) == 0;
            result = shown ? Asked::Shown : Asked::NotListening;
            break;
        }
    }
    ::close(fd);
    return result;
}

// One later copy's conversation with the first: at most one short line in, one line out.
class Conversation : public QObject {
public:
    Conversation(int fd, SingleInstance* owner) : QObject(owner), m_fd(fd), m_owner(owner) {
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &Conversation::read);
        // A copy that connects and says nothing is not waited for.
        QTimer::singleShot(kConnectionTimeout, this, &Conversation::end);
    }
    ~Conversation() override { closeSocket(); }

    bool ended() const { return m_fd < 0; }

    // Hangs up at once; the object goes once the event loop has left it.
    void end() {
        closeSocket();
        deleteLater();
    }

private:
    void read() {
        for (;;) {
            const ssize_t n = ::recv(m_fd, m_line + m_length, sizeof m_line - m_length, 0);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                return;
            }
            if (n <= 0) {
                end();
                return;
            }
            m_length += std::size_t(n);
            if (std::memchr(m_line, '\n', m_length) != nullptr) {
                if (m_length == sizeof kRequest - 1 &&
                    std::memcmp(m_line, kRequest, m_length) == 0) {
                    emit m_owner->showRequested();
                    // What was connected to the request may have let go of the name meanwhile.
                    if (ended()) {
                        return;
                    }
                    ::send(m_fd, kReply, sizeof kReply - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                }
                end();
                return;
            }
            if (m_length == sizeof m_line) {
                end();
                return;
            }
        }
    }

    void closeSocket() {
        if (m_fd >= 0) {
            // It may be the notifier whose signal runs now: it goes later, unwatched.
            m_notifier->setEnabled(false);
            m_notifier->deleteLater();
            m_notifier = nullptr;
            ::close(m_fd);
            m_fd = -1;
        }
    }

    int m_fd;
    SingleInstance* m_owner;
    QSocketNotifier* m_notifier = nullptr;
    char m_line[kMaxLine] = {};
    std::size_t m_length = 0;
};

}  // namespace

struct SingleInstance::State {
    int folderFd = -1;
    int lockFd = -1;
    int listenFd = -1;
    bool holding = false;
    QByteArray socketFile;
    sockaddr_un address{};
    QSocketNotifier* notifier = nullptr;
    std::vector<QPointer<Conversation>> conversations;
};

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>()), m_folder(std::move(folder)) {}

SingleInstance::~SingleInstance() {
    release();
}

SingleInstance::Claim SingleInstance::claim(const QString& name) {
    release();
    m_problem.clear();
    QString folder = m_folder;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) {
        m_problem = QStringLiteral("no runtime folder to hold the lock in");
        return Claim::First;
    }
    const QByteArray nativeFolder = QFile::encodeName(folder);
    State& s = *m_state;
    s.folderFd = ::open(nativeFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (s.folderFd < 0) {
        m_problem = QStringLiteral("cannot open %1: %2").arg(folder, systemErrorText(errno));
        return Claim::First;
    }
    const QByteArray stem = fileStem(name);
    s.socketFile = stem + ".socket";
    const QByteArray lockFile = stem + ".lock";
    s.lockFd =
        ::openat(s.folderFd, lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (s.lockFd < 0) {
        m_problem =
            QStringLiteral("cannot open the lock in %1: %2").arg(folder, systemErrorText(errno));
        release();
        return Claim::First;
    }
    const bool addressed = socketAddress(nativeFolder, s.folderFd, s.socketFile, &s.address);

    const Clock::time_point deadline = Clock::now() + m_answerTimeout;
    for (;;) {
        if (::flock(s.lockFd, LOCK_EX | LOCK_NB) == 0) {
            s.holding = true;
            if (addressed) {
                listen();
            } else {
                m_problem = QStringLiteral("the socket's path in %1 is too long").arg(folder);
            }
            return Claim::First;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            m_problem = QStringLiteral("cannot lock %1: %2").arg(folder, systemErrorText(errno));
            release();
            return Claim::First;
        }
        // Held: the copy that holds it may still be starting, or may just have ended (then the
        // lock is free on the next round).
        const Asked asked = addressed ? askToShow(s.address, deadline) : Asked::NotListening;
        if (asked == Asked::Shown) {
            release();
            return Claim::OtherShown;
        }
        if (asked == Asked::Silent || Clock::now() >= deadline) {
            m_problem = QStringLiteral("the running copy did not answer");
            release();
            return Claim::OtherSilent;
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(kRetryPause, deadline - Clock::now()));
    }
}

void SingleInstance::listen() {
    State& s = *m_state;
    // Whatever is left at the socket's name was left by a copy that no longer holds the lock.
    ::unlinkat(s.folderFd, s.socketFile.constData(), 0);
    s.listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s.listenFd < 0 ||
        ::bind(s.listenFd, reinterpret_cast<const sockaddr*>(&s.address), sizeof s.address) != 0 ||
        ::listen(s.listenFd, kMaxConnections) != 0) {
        m_problem =
            QStringLiteral("cannot listen for later copies: %1").arg(systemErrorText(errno));
        if (s.listenFd >= 0) {
            ::close(s.listenFd);
            s.listenFd = -1;
        }
        return;
    }
    // Before the application object exists there is no event loop to watch the socket with:
    // the watch starts with the loop, and requests wait in the socket's backlog till then.
    const auto watch = [this] {
        State& st = *m_state;
        if (st.listenFd < 0 || st.notifier != nullptr) {
            return;
        }
        st.notifier = new QSocketNotifier(st.listenFd, QSocketNotifier::Read, this);
        connect(st.notifier, &QSocketNotifier::activated, this, &SingleInstance::acceptWaiting);
        acceptWaiting();
    };
    if (QCoreApplication::instance() != nullptr) {
        watch();
    } else {
        QMetaObject::invokeMethod(this, watch, Qt::QueuedConnection);
    }
}

void SingleInstance::acceptWaiting() {
    State& s = *m_state;
    for (;;) {
        const int fd = ::accept4(s.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        // Only the same user's copies are heard (the folder is the user's own anyway).
        ucred peer{};
        socklen_t length = sizeof peer;
        const bool sameUser = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
                              peer.uid == ::geteuid();
        std::erase_if(s.conversations,
                      [](const QPointer<Conversation>& c) { return c.isNull() || c->ended(); });
        if (!sameUser || s.conversations.size() >= std::size_t(kMaxConnections)) {
            ::close(fd);
            continue;
        }
        s.conversations.emplace_back(new Conversation(fd, this));
    }
}

void SingleInstance::release() {
    State& s = *m_state;
    for (const QPointer<Conversation>& c : s.conversations) {
        if (!c.isNull()) {
            c->end();
        }
    }
    s.conversations.clear();
    if (s.notifier != nullptr) {
        s.notifier->setEnabled(false);
        s.notifier->deleteLater();
        s.notifier = nullptr;
    }
    if (s.listenFd >= 0) {
        ::close(s.listenFd);
        s.listenFd = -1;
    }
    // The socket's name is ours to remove only while the lock is.
    if (s.holding && s.folderFd >= 0 && !s.socketFile.isEmpty()) {
        ::unlinkat(s.folderFd, s.socketFile.constData(), 0);
    }
    s.holding = false;
    if (s.lockFd >= 0) {
        ::close(s.lockFd);
        s.lockFd = -1;
    }
    if (s.folderFd >= 0) {
        ::close(s.folderFd);
        s.folderFd = -1;
    }
}

bool SingleInstance::holds() const {
    return m_state->holding;
}

QString SingleInstance::problem() const {
    return m_problem;
}

}  // namespace lsg::platform
