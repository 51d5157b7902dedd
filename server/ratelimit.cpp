// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/ratelimit.h"

#include <algorithm>

namespace lsg::server {

RateLimiter::RateLimiter(int burst, Clock::duration refill, std::size_t maxClients)
    : m_burst(std::max(burst, 1)),
      m_refill(refill),
      m_maxClients(std::max<std::size_t>(maxClients, 1)) {}

bool RateLimiter::allow(const std::string& client, Clock::time_point now) {
    std::lock_guard guard(m_lock);
    auto found = m_index.find(client);
    if (found != m_index.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found->second);
    } else {
        if (m_index.size() >= m_maxClients) {
            m_index.erase(m_recent.back().client);
            m_recent.pop_back();
        }
        m_recent.push_front({client, double(m_burst), now});
        // The key views the string inside the list node, which never moves.
        m_index.emplace(m_recent.front().client, m_recent.begin());
    }
    Bucket& b = m_recent.front();
    if (now > b.updated && m_refill.count() > 0) {
        const double gained = std::chrono::duration<double>(now - b.updated) /
                              std::chrono::duration<double>(m_refill);
        b.tokens = std::min<double>(m_burst, b.tokens + gained);
    }
    b.updated = std::max(b.updated, now);
    if (b.tokens < 1.0) {
        return false;
    }
    b.tokens -= 1.0;
    return true;
}

NewValueLimiter::NewValueLimiter(int burst, Clock::duration refill, std::size_t maxValues)
    : m_clients(burst, refill), m_maxValues(maxValues) {}

bool NewValueLimiter::admit(const std::string& client, const std::string& day, std::uint64_t value,
                            Clock::time_point now) {
    {
        std::lock_guard guard(m_lock);
        if (day != m_day) {
            m_day = day;
            std::unordered_set<std::uint64_t>().swap(m_seen);
        }
        if (m_seen.count(value) != 0) {
            return true;
        }
    }
    if (!m_clients.allow(client, now)) {
        return false;
    }
    std::lock_guard guard(m_lock);
    if (day == m_day && m_seen.size() < m_maxValues) {
        m_seen.insert(value);
    }
    return true;
}

}  // namespace lsg::server
