// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/service.h"

#include "server/clientaddress.h"
#include "server/pages.h"
#include "wire/updatereply.h"

#include <QByteArrayView>

#include <cstdio>
#include <ctime>
#include <functional>
#include <map>

namespace lsg::server {
namespace {

constexpr std::string_view kCheckPath = "/php/check2.php";
constexpr std::string_view kFeedbackPath = "/php/feedback.php";

Reply refuse(int status, const QString& reason) {
    return {status, "ERROR: " + reason.toStdString() + "\n", "text/plain; charset=utf-8", {}};
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

// What tells one install (or, without an identifier, one kind of check) from another today.
std::uint64_t valueKey(const CheckRequest& check) {
    if (!check.guid.isEmpty()) {
        return std::hash<std::string>()("guid\n" + check.guid.toStdString());
    }
    return std::hash<std::string>()(
        (check.appname + u'\n' + check.version + u'\n' + check.os + u'\n' + check.locale)
            .toStdString());
}

const std::map<std::string_view, const Page*>& pagesByPath() {
    static const std::map<std::string_view, const Page*> pages = [] {
        std::map<std::string_view, const Page*> m;
        for (const Page& p : embeddedPages()) {
            m.emplace(p.path, &p);
        }
        return m;
    }();
    return pages;
}

}  // namespace

Service::Service(Store& store, ServiceSettings settings)
    : m_store(store),
      m_settings(std::move(settings)),
      m_feedbackLimit(m_settings.feedbackBurst, m_settings.feedbackRefill),
      m_newInstalls(m_settings.newInstallBurst, m_settings.newInstallRefill),
      m_checks(store) {}

HttpSettings Service::httpSettings() {
    HttpSettings s;
    s.maxBody = kMaxBodyBytes;
    s.defaultHeaders = {{"X-Content-Type-Options", "nosniff"}, {"Referrer-Policy", "no-referrer"}};
    return s;
}

std::string Service::downloadUrlFor(std::string_view host) const {
    if (!m_settings.downloadUrl.empty()) {
        return m_settings.downloadUrl;
    }
    const std::string h = isHostHeader(host) ? std::string(host) : m_settings.fallbackHost;
    return (m_settings.tls ? "https://" : "http://") + h + "/download/";
}

Reply Service::check(std::string_view body, std::string_view host, const std::string& client,
                     std::int64_t nowUnix, RateLimiter::Clock::time_point now) {
    auto parsed = parseCheck(QByteArrayView(body.data(), qsizetype(body.size())));
    if (const auto* refusal = std::get_if<Refusal>(&parsed)) {
        return refuse(400, refusal->reason);
    }
    auto& check = std::get<CheckRequest>(parsed);
    std::string day = dayUtc(nowUnix);
    if (m_newInstalls.admit(limitKey(client), day, valueKey(check), now)) {
        m_checks.record(std::move(check), std::move(day));
    } else {
        ++m_unrecorded;
    }
    if (m_settings.currentVersion.empty()) {
        return refuse(503, QStringLiteral("no current version is set"));
    }
    return {200,
            wire::formatUpdateReply(QString::fromStdString(m_settings.currentVersion),
                                    QString::fromStdString(downloadUrlFor(host)))
                .toStdString(),
            "text/plain; charset=utf-8",
            {}};
}

Reply Service::feedback(std::string_view body, const std::string& client, std::int64_t nowUnix,
                        RateLimiter::Clock::time_point now) {
    if (!m_feedbackLimit.allow(limitKey(client), now)) {
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
    return {200, "OK", "text/plain; charset=utf-8", {}};
}

bool Service::blocks(const HttpRequest& request) const {
    return request.path == kFeedbackPath && request.method == "POST";
}

Reply Service::respond(const HttpRequest& request) {
    const bool endpoint = request.path == kCheckPath || request.path == kFeedbackPath;
    if (endpoint && request.method != "POST") {
        Reply r = refuse(405, QStringLiteral("only POST is answered here"));
        r.headers.emplace_back("Allow", "POST");
        return r;
    }
    if (!endpoint && request.method != "GET" && request.method != "HEAD") {
        Reply r = refuse(405, QStringLiteral("only GET is answered here"));
        r.headers.emplace_back("Allow", "GET, HEAD");
        return r;
    }
    if (request.path == kCheckPath) {
        return check(request.body, request.host, request.client, std::time(nullptr),
                     RateLimiter::Clock::now());
    }
    if (request.path == kFeedbackPath) {
        return feedback(request.body, request.client, std::time(nullptr),
                        RateLimiter::Clock::now());
    }
    const auto& pages = pagesByPath();
    const auto it = pages.find(request.path);
    if (it != pages.end()) {
        return {
            200,
            std::string(it->second->body),
            std::string(it->second->contentType),
            {{"Content-Security-Policy", "default-src 'none'; style-src 'self'; img-src 'self'"}}};
    }
    if (!request.path.empty() && request.path.back() != '/' &&
        pages.count(request.path + "/") != 0) {
        return {301, "", "text/plain; charset=utf-8", {{"Location", request.path + "/"}}};
    }
    return refuse(404, QStringLiteral("no such page"));
}

}  // namespace lsg::server
