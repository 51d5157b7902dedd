// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/headscan.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lsg::server {

struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;  // besides the usual ones
};

struct HttpRequest {
    std::string method;
    std::string path;  // the target without its query
    std::string host;  // the Host header, as sent
    std::string body;
    std::string client;  // the peer's address, or the one the trusted proxies forwarded
};

class HttpHandler {
public:
    virtual ~HttpHandler() = default;
    // True when respond() may wait (for the database): it then runs on a thread of its own, so
    // that the network threads never wait.
    virtual bool blocks(const HttpRequest& request) const = 0;
    // May throw: the client then gets a 500.
    virtual Reply respond(const HttpRequest& request) = 0;
};

struct HttpSettings {
    HeadLimits head;
    std::size_t maxBody = 96 * 1024;
    // The whole head (from the connection's start, or from a kept-alive request's first byte),
    // the whole body, the whole reply.
    std::chrono::milliseconds headDeadline{10000};
    std::chrono::milliseconds bodyDeadline{10000};
    std::chrono::milliseconds writeDeadline{10000};
    // A kept-alive connection waits this long for its next request.
    std::chrono::milliseconds idleTimeout{5000};
    // After stop(), requests being answered get this long to finish.
    std::chrono::milliseconds stopGrace{1000};
    // Beyond three quarters of this, idle connections are closed and no reply keeps its
    // connection; at the limit, new connections are closed at once.
    std::size_t maxConnections = 1024;
    int networkThreads = 0;  // 0: one per processor
    int blockingThreads = 2;
    int trustedProxies = 0;   // see clientAddress()
    std::string tlsCertFile;  // both set: HTTPS only
    std::string tlsKeyFile;
    std::vector<std::pair<std::string, std::string>> defaultHeaders;
};

// HTTP/1.1 over an event loop on a few threads: a connection costs a socket and a bounded buffer,
// not a thread, so slow, idle or hostile clients hold up no one else. Every phase of a request
// has a deadline, every part a size limit.
class HttpServer {
public:
    // Throws std::runtime_error when the certificate or key cannot be used.
    HttpServer(HttpHandler& handler, HttpSettings settings);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens; port 0 takes any free port. Returns the port. Throws std::runtime_error
    // with the system's reason.
    int listen(const std::string& host, int port);
    // Serves until stop(); returns once every thread has ended.
    void run();
    // From any thread, also before run(): stops accepting, closes connections that are not
    // being answered, and ends run() when the rest are done or the grace has passed.
    void stop();
    std::size_t openConnections() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lsg::server
