// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lsg::server {

// A token bucket per client address: `burst` requests at once, then one more every `refill`.
// The table forgets clients whose bucket has filled up again, and refuses newcomers while it
// is full of active ones, so that a flood of addresses costs bounded memory.
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    RateLimiter(int burst, Clock::duration refill, std::size_t maxClients = 4096);

    // True when the client may go on; takes one token.
    bool allow(const std::string& client, Clock::time_point now);

private:
    struct Bucket {
        double tokens;
        Clock::time_point updated;
    };
    void refillAt(Bucket& b, Clock::time_point now) const;
    void forgetFull(Clock::time_point now);

    const int m_burst;
    const Clock::duration m_refill;
    const std::size_t m_maxClients;
    std::mutex m_lock;
    std::unordered_map<std::string, Bucket> m_buckets;
};

}  // namespace lsg::server
