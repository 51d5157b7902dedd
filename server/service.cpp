// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/service.h"

#include "core/updatereply.h"
#include "server/pages.h"

#include <httplib.h>

#include <QByteArrayView>

#include <sys/socket.h>
#include <cstdio>
#include <ctime>
#include <map>

namespace lsg::server {
namespace {

Reply refuse(int status, const QString& reason) {
    return {status, "ERROR: " + reason.toStdString() + "\n"};
}

bool isHostHeader(std::string_view host) {
    if (host.empty() || host.size() > 255) {
        return false;
    }
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::string clientAddress(const httplib::Request& req, bool trustProxy) {
    if (trustProxy && req.has_header("X-Forwarded-For")) {
        // The proxy appends the address it saw; whatever comes before it the client wrote.
        std::string chain = req.get_header_value("X-Forwarded-For");
        const auto comma = chain.rfind(',');
        std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
        const auto first = last.find_first_not_of(' ');
        const auto end = last.find_last_not_of(' ');
        if (first != std::string::npos) {
            return last.substr(first, end - first + 1);
        }
    }
    return req.remote_addr;
}

void send(httplib::Response& res, const Reply& reply) {
    res.status = reply.status;
    res.set_content(reply.body, reply.contentType.c_str());
}

// Reads the body up to the cap; false (and the reply set) when it cannot be had.
bool readBody(const httplib::ContentReader& reader, httplib::Response& res, std::string& body) {
    bool tooLarge = false;
    const bool ok = reader([&](const char* data, size_t length) {
        if (body.size() + length > kMaxBodyBytes) {
            tooLarge = true;
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (tooLarge || res.status == 413) {
        send(res, refuse(413, QStringLiteral("the request body is too large")));
        return false;
    }
    if (!ok) {
        send(res, refuse(400, QStringLiteral("the request body could not be read")));
        return false;
    }
    return true;
}

}  // namespace

Service::Service(Store& store, ServiceSettings settings)
    : m_store(store),
      m_settings(std::move(settings)),
      m_feedbackLimit(m_settings.feedbackBurst, m_settings.feedbackRefill),
      m_checks(store) {}

std::string Service::downloadUrlFor(std::string_view host) const {
    if (!m_settings.downloadUrl.empty()) {
        return m_settings.downloadUrl;
    }
    const std::string h = isHostHeader(host) ? std::string(host) : m_settings.fallbackHost;
    return (m_settings.tls ? "https://" : "http://") + h + "/download/";
}

Reply Service::check(std::string_view body, std::string_view host, std::int64_t nowUnix) {
    auto parsed = parseCheck(QByteArrayView(body.data(), qsizetype(body.size())));
    if (const auto* refusal = std::get_if<Refusal>(&parsed)) {
        return refuse(400, refusal->reason);
    }
    m_checks.record(std::move(std::get<CheckRequest>(parsed)), dayUtc(nowUnix));
    if (m_settings.currentVersion.empty()) {
        return refuse(503, QStringLiteral("no current version is set"));
    }
    return {200, wire::formatUpdateReply(QString::fromStdString(m_settings.currentVersion),
                                         QString::fromStdString(downloadUrlFor(host)))
                     .toStdString()};
}

Reply Service::feedback(std::string_view body, const std::string& client, std::int64_t nowUnix,
                        RateLimiter::Clock::time_point now) {
    if (!m_feedbackLimit.allow(client, now)) {
        return refuse(429, QStringLiteral("too many feedbacks from this address, try later"));
    }
    const auto parsed = parseFeedback(QByteArrayView(body.data(), qsizetype(body.size())));
    if (const auto* refusal = std::get_if<Refusal>(&parsed)) {
        return refuse(400, refusal->reason);
    }
    try {
        m_store.addFeedback(std::get<FeedbackRequest>(parsed), nowUnix);
    } catch (const StoreError& e) {
        std::fprintf(stderr, "loadspire-server: %s\n", e.what());
        return refuse(500, QStringLiteral("the feedback could not be stored"));
    }
    return {200, "OK"};
}

void Service::install(httplib::Server& server) {
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_tcp_nodelay(true);  // header and body go out in two writes
    // Reuse the address after a restart, but never share the port with a second server, which
    // the library's default would allow: a port in use must be an error.
    server.set_socket_options([](int sock) {
        const int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.set_keep_alive_max_count(1000);
    server.set_keep_alive_timeout(2);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_default_headers(
        {{"X-Content-Type-Options", "nosniff"}, {"Referrer-Policy", "no-referrer"}});

    static const std::map<std::string_view, const Page*> pages = [] {
        std::map<std::string_view, const Page*> m;
        for (const Page& p : embeddedPages()) {
            m.emplace(p.path, &p);
        }
        return m;
    }();
    static const std::string kCheckPath = "/php/check2.php";
    static const std::string kFeedbackPath = "/php/feedback.php";

    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        const bool endpoint = req.path == kCheckPath || req.path == kFeedbackPath;
        if (endpoint && req.method != "POST") {
            res.set_header("Allow", "POST");
            send(res, refuse(405, QStringLiteral("only POST is answered here")));
            return httplib::Server::HandlerResponse::Handled;
        }
        if (!endpoint && req.method != "GET" && req.method != "HEAD") {
            res.set_header("Allow", "GET, HEAD");
            send(res, refuse(405, QStringLiteral("only GET is answered here")));
            return httplib::Server::HandlerResponse::Handled;
        }
        // Refused before a byte of it is read: a client must not hold a worker with a body it
        // announced too large.
        if (req.get_header_value<std::uint64_t>("Content-Length") > kMaxBodyBytes) {
            res.set_header("Connection", "close");
            send(res, refuse(413, QStringLiteral("the request body is too large")));
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server.Post(kCheckPath, [this](const httplib::Request& req, httplib::Response& res,
                                   const httplib::ContentReader& reader) {
        std::string body;
        if (readBody(reader, res, body)) {
            send(res, check(body, req.get_header_value("Host"), std::time(nullptr)));
        }
    });
    server.Post(kFeedbackPath, [this](const httplib::Request& req, httplib::Response& res,
                                      const httplib::ContentReader& reader) {
        std::string body;
        if (readBody(reader, res, body)) {
            send(res, feedback(body, clientAddress(req, m_settings.trustProxy), std::time(nullptr),
                               RateLimiter::Clock::now()));
        }
    });

    server.Get(".*", [](const httplib::Request& req, httplib::Response& res) {
        const auto it = pages.find(req.path);
        if (it != pages.end()) {
            res.set_header("Content-Security-Policy",
                           "default-src 'none'; style-src 'self'; img-src 'self'");
            res.set_content(std::string(it->second->body), std::string(it->second->contentType));
            return;
        }
        if (!req.path.empty() && req.path.back() != '/' && pages.count(req.path + "/") != 0) {
            res.set_redirect(req.path + "/", 301);
            return;
        }
        send(res, refuse(404, QStringLiteral("no such page")));
    });

    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
            // Only errors raised by the library itself come without a text of ours.
            if (res.body.empty()) {
                res.set_content("ERROR: " + std::to_string(res.status) + "\n",
                                "text/plain; charset=utf-8");
            }
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            send(res, refuse(500, QStringLiteral("internal error")));
        });
}

}  // namespace lsg::server
