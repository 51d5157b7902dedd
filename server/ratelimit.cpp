// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/ratelimit.h"

#include <algorithm>

namespace lsg::server {

RateLimiter::RateLimiter(int burst, Clock::duration refill, std::size_t maxClients)
    : m_burst(std::max(burst, 1)),
      m_refill(refill),
      m_maxClients(std::max<std::size_t>(maxClients, 1)) {}

void RateLimiter::refillAt(Bucket& b, Clock::time_point now) const {
    if (now > b.updated && m_refill.count() > 0) {
        const double gained = std::chrono::duration<double>(now - b.updated) /
                              std::chrono::duration<double>(m_refill);
        b.tokens = std::min<double>(m_burst, b.tokens + gained);
    }
    b.updated = std::max(b.updated, now);
}

void RateLimiter::forgetFull(Clock::time_point now) {
    for (auto it = m_buckets.begin(); it != m_buckets.end();) {
        refillAt(it->second, now);
        it = it->second.tokens >= m_burst ? m_buckets.erase(it) : std::next(it);
    }
}

bool RateLimiter::allow(const std::string& client, Clock::time_point now) {
    std::lock_guard guard(m_lock);
    auto it = m_buckets.find(client);
    if (it == m_buckets.end()) {
        if (m_buckets.size() >= m_maxClients) {
            forgetFull(now);
            if (m_buckets.size() >= m_maxClients) {
                return false;
            }
        }
        it = m_buckets.emplace(client, Bucket{double(m_burst), now}).first;
    }
    Bucket& b = it->second;
    refillAt(b, now);
    if (b.tokens < 1.0) {
        return false;
    }
    b.tokens -= 1.0;
    return true;
}

}  // namespace lsg::server
