// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/checkrecorder.h"
#include "server/ratelimit.h"
#include "server/store.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace httplib {
class Server;
}

namespace lsg::server {

// Largest request body read. A feedback at the dialog's limits is about 91 KB on the wire when
// its 10000 characters are all three-byte UTF-8 (each escaped byte takes three), so the cap sits
// just above that.
inline constexpr std::size_t kMaxBodyBytes = 96 * 1024;

struct ServiceSettings {
    std::string currentVersion;  // empty: update checks are refused
    std::string downloadUrl;     // empty: the download page of the host the client asked
    std::string fallbackHost;    // host[:port] for that page when the request names none
    bool tls = false;
    bool trustProxy = false;
    int feedbackBurst = 5;
    std::chrono::seconds feedbackRefill{60};
};

struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";
};

// The two endpoints and the pages, over one store. The reply functions are the whole logic;
// install() only hands them what httplib read.
class Service {
public:
    Service(Store& store, ServiceSettings settings);

    // Writes the checks still waiting; the server calls it once it has stopped.
    void flush() { m_checks.flush(); }

    Reply check(std::string_view body, std::string_view host, std::int64_t nowUnix);
    Reply feedback(std::string_view body, const std::string& client, std::int64_t nowUnix,
                   RateLimiter::Clock::time_point now);

    // Routes, limits and timeouts on a server that is not listening yet.
    void install(httplib::Server& server);

private:
    std::string downloadUrlFor(std::string_view host) const;

    Store& m_store;
    ServiceSettings m_settings;
    RateLimiter m_feedbackLimit;
    CheckRecorder m_checks;
};

}  // namespace lsg::server
