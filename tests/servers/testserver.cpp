// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "tests/servers/testserver.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lsg::test {

namespace {

// The first start makes the certificates (a few openssl runs on a busy machine).
constexpr int kStartTimeoutMs = 60000;
constexpr int kCommandTimeoutMs = 10000;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("test server: " + what);
}

QString certFolder() {
    // Shared by the test processes of one build tree, so that the certificates are made once.
    const QByteArray binary = qgetenv("LSG_BINARY_DIR");
    if (!binary.isEmpty()) {
        return QString::fromLocal8Bit(binary) + QStringLiteral("/test-certs");
    }
    return QDir::tempPath() + QStringLiteral("/lsg-test-certs-%1").arg(::getuid());
}

}  // namespace

TestServer::TestServer(int dualPort) {
    // A server that died must fail the test, not kill the process on the next write.
    std::signal(SIGPIPE, SIG_IGN);
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) {
        fail("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);

    const std::string script = LSG_TEST_SERVER_SCRIPT;
    const std::string certs = certFolder().toStdString();
    const std::string port = std::to_string(dualPort);
    // -I -S: the standard library only, nothing from the user's or the site's packages.
    const char* argv[] = {"python3",   "-I",          "-S",          "-u",         script.c_str(),
                          "--certdir", certs.c_str(), "--dual-port", port.c_str(), nullptr};
    pid_t pid = -1;
    const int rc =
        ::posix_spawnp(&pid, "python3", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    m_in = toChild[1];
    m_out = fromChild[0];
    if (rc != 0) {
        ::close(m_in);
        ::close(m_out);
        fail("python3 could not be started");
    }
    m_pid = pid;

    const QByteArray line = readLine(kStartTimeoutMs);
    const QJsonObject ready = QJsonDocument::fromJson(line).object();
    m_http = ready.value(QStringLiteral("http")).toInt();
    m_https = ready.value(QStringLiteral("https")).toInt();
    m_dual = ready.value(QStringLiteral("dual")).toInt();
    m_wrongHost = ready.value(QStringLiteral("wronghost")).toInt();
    m_selfSigned = ready.value(QStringLiteral("selfsigned")).toInt();
    m_tlsReset = ready.value(QStringLiteral("tlsreset")).toInt();
    m_caFile = ready.value(QStringLiteral("ca")).toString();
    if (m_http == 0 || m_https == 0 || m_dual == 0 || m_tlsReset == 0 || m_caFile.isEmpty()) {
        stop();
        fail("unexpected start line: " + line.toStdString());
    }
}

TestServer::~TestServer() {
    stop();
}

void TestServer::stop() {
    if (m_in >= 0) {
        ::close(m_in);  // the server ends when its stdin closes
        m_in = -1;
    }
    if (m_out >= 0) {
        ::close(m_out);
        m_out = -1;
    }
    if (m_pid > 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_pid = -1;
    }
}

QString TestServer::url(const QString& scheme, int port, const QString& path) {
    return scheme + QStringLiteral("://") + address(port, path);
}

QString TestServer::address(int port, const QString& path) {
    return QStringLiteral("127.0.0.1:%1").arg(port) + path;
}

QByteArray TestServer::readLine(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            fail("no answer from the server");
        }
        pollfd p{m_out, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[65536];
        const ssize_t n = ::read(m_out, buffer, sizeof buffer);
        if (n <= 0) {
            fail("the server ended");
        }
        m_pending.append(buffer, n);
    }
}

QByteArray TestServer::command(const QByteArray& json) {
    QByteArray line = json;
    line += '\n';
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(m_in, line.constData() + written, line.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail("could not write to the server");
        }
        written += n;
    }
    const QByteArray answer = readLine(kCommandTimeoutMs);
    if (!QJsonDocument::fromJson(answer).object().value(QStringLiteral("ok")).toBool()) {
        fail("command refused: " + answer.toStdString());
    }
    return answer;
}

void TestServer::configure(const QString& path, const Behaviour& b) {
    QJsonObject o;
    o.insert(QStringLiteral("cmd"), QStringLiteral("set"));
    o.insert(QStringLiteral("path"), path);
    o.insert(QStringLiteral("mode"), b.mode);
    o.insert(QStringLiteral("status"), b.status);
    o.insert(QStringLiteral("body"), QString::fromUtf8(b.body));
    o.insert(QStringLiteral("content_type"), b.contentType);
    o.insert(QStringLiteral("ms"), b.ms);
    o.insert(QStringLiteral("count"), b.count);
    o.insert(QStringLiteral("size"), b.size);
    command(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QList<RecordedRequest> TestServer::requests() {
    const QByteArray answer = command(R"({"cmd": "requests"})");
    QList<RecordedRequest> out;
    const QJsonArray list =
        QJsonDocument::fromJson(answer).object().value(QStringLiteral("requests")).toArray();
    for (const auto& item : list) {
        const QJsonObject o = item.toObject();
        RecordedRequest r;
        r.method = o.value(QStringLiteral("method")).toString();
        r.scheme = o.value(QStringLiteral("scheme")).toString();
        r.path = o.value(QStringLiteral("path")).toString();
        r.contentType = o.value(QStringLiteral("content_type")).toString();
        r.connection = o.value(QStringLiteral("connection")).toString();
        r.expect = o.value(QStringLiteral("expect")).toString();
        // The server hands the bytes over as Latin-1 text, one character per byte.
        r.body = o.value(QStringLiteral("body")).toString().toLatin1();
        out.append(r);
    }
    return out;
}

void TestServer::clearRequests() {
    command(R"({"cmd": "clear"})");
}

RefusingPort::RefusingPort() {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        fail("no socket for a refusing port");
    }
    // No SO_REUSEADDR: the servers set it, and two such sockets could share the port.
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        ::close(m_fd);
        fail("cannot bind a refusing port");
    }
    m_port = ntohs(addr.sin_port);
}

RefusingPort::~RefusingPort() {
    ::close(m_fd);
}

}  // namespace lsg::test
