// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/checkrecorder.h"
#include "server/httpserver.h"
#include "server/ratelimit.h"
#include "server/store.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

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
    int feedbackBurst = 5;
    std::chrono::seconds feedbackRefill{60};
    // New installs one address may add to a day's statistics: enough at once for the installs
    // behind a large network's one address, then one every ten seconds.
    int newInstallBurst = 2000;
    std::chrono::seconds newInstallRefill{10};
};

// The two endpoints and the pages, over one store.
class Service : public HttpHandler {
public:
    Service(Store& store, ServiceSettings settings);

    // Writes the checks still waiting; the server calls it once it has stopped.
    void flush() { m_checks.flush(); }

    // Always answered as the program expects; recorded unless the client has added too many new
    // installs today.
    Reply check(std::string_view body, std::string_view host, const std::string& client,
                std::int64_t nowUnix, RateLimiter::Clock::time_point now);
    Reply feedback(std::string_view body, const std::string& client, std::int64_t nowUnix,
                   RateLimiter::Clock::time_point now);

    bool blocks(const HttpRequest& request) const override;
    Reply respond(const HttpRequest& request) override;

    // Checks answered but not recorded: past a client's new-install limit, or dropped by a
    // recorder that could not keep up.
    std::uint64_t unrecorded() const { return m_unrecorded.load() + m_checks.dropped(); }

    // The limits and headers every reply of this service goes with.
    static HttpSettings httpSettings();

private:
    std::string downloadUrlFor(std::string_view host) const;

    Store& m_store;
    ServiceSettings m_settings;
    RateLimiter m_feedbackLimit;
    NewValueLimiter m_newInstalls;
    std::atomic<std::uint64_t> m_unrecorded{0};
    CheckRecorder m_checks;
};

}  // namespace lsg::server
