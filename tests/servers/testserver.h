// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

namespace lsg::test {

// One request as the server saw it.
struct RecordedRequest {
    QString method;       // "POST", or "GET" after a redirect
    QString scheme;       // "http" or "https"
    QString path;         // with the query, as sent
    QString contentType;  // the Content-Type header
    QString connection;   // the Connection header, empty when not sent
    QString expect;       // the Expect header, empty when not sent
    QByteArray body;      // the raw body bytes
};

// How a configured path answers (see server.py for the modes).
struct Behaviour {
    QString mode =
        QStringLiteral("reply");  // reply, hang, slow, reset, redirect, moved, big, stream, echo
    int status = 200;
    QByteArray body;  // UTF-8 text of the reply; moved: the address redirected to
    QString contentType = QStringLiteral("text/html; charset=UTF-8");
    int ms = 0;     // slow: delay before the answer
    int count = 0;  // redirect: length of the chain
    int size = 0;   // big: body size in bytes
};

// The local test servers (tests/servers/server.py), started on 127.0.0.1 by the constructor
// and stopped by the destructor. Every port is chosen by the system.
//   http        plain HTTP
//   https       TLS, certificate for 127.0.0.1 and localhost signed by caFile()
//   dual        plain HTTP and TLS on the same port, as the real server host serves both
//   wrongHost   TLS, certificate for another name, signed by caFile()
//   selfSigned  TLS, self-signed certificate no CA vouches for
//   tlsReset    plain HTTP, and a reset for every TLS handshake: a network that blocks HTTPS
//               and answers plain HTTP itself
// Fixed paths answer by their name: /reply/<status>, /echo, /hang, /slow/<ms>, /reset,
// /redirect/<n>, /big/<bytes>, /stream/<bytes>, /charset/<name>. "/php/check2.php" answers
// "<version>4.4</version>" and "<url>https://example.invalid/download/</url>" and
// "/php/feedback.php" answers "OK" until configure() says otherwise.
// Failures to start throw std::runtime_error.
class TestServer {
public:
    // dualPort: the dual listener's port, 0 for any free one.
    explicit TestServer(int dualPort = 0);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int httpPort() const { return m_http; }
    int httpsPort() const { return m_https; }
    int dualPort() const { return m_dual; }
    int wrongHostPort() const { return m_wrongHost; }
    int selfSignedPort() const { return m_selfSigned; }
    int tlsResetPort() const { return m_tlsReset; }
    // PEM file of the test certificate authority.
    const QString& caFile() const { return m_caFile; }

    // "scheme://127.0.0.1:port" + path.
    static QString url(const QString& scheme, int port, const QString& path);
    // "127.0.0.1:port" + path: a server address without a scheme.
    static QString address(int port, const QString& path);

    // Sets how a path answers from now on.
    void configure(const QString& path, const Behaviour& behaviour);
    // Every request seen since the start or the last clearRequests(), oldest first.
    QList<RecordedRequest> requests();
    void clearRequests();

private:
    void stop();
    QByteArray command(const QByteArray& json);
    QByteArray readLine(int timeoutMs);

    pid_t m_pid = -1;
    int m_in = -1;   // the server's stdin
    int m_out = -1;  // the server's stdout
    QByteArray m_pending;
    int m_http = 0;
    int m_https = 0;
    int m_dual = 0;
    int m_wrongHost = 0;
    int m_selfSigned = 0;
    int m_tlsReset = 0;
    QString m_caFile;
};

// A port on 127.0.0.1 that refuses every connection while the object lives: a socket is bound
// to it and never listens. A port freed by a stopped server would not do, since a test running
// meanwhile in another process may be given it and answer.
class RefusingPort {
public:
    RefusingPort();  // throws std::runtime_error
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace lsg::test
