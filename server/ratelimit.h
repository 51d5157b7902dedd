// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace lsg::server {

// A token bucket per client: `burst` requests at once, then one more every `refill`. The table
// holds at most `maxClients`; a newcomer takes the place of the client seen least recently, so a
// flood of addresses costs bounded memory and can never lock anyone out. (A forgotten client
// starts again with a full bucket: at worst a flood of addresses buys its senders a fresh burst.)
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    RateLimiter(int burst, Clock::duration refill, std::size_t maxClients = 16384);

    // True when the client may go on; takes one token.
    bool allow(const std::string& client, Clock::time_point now);

private:
    struct Bucket {
        std::string client;
        double tokens;
        Clock::time_point updated;
    };

    const int m_burst;
    const Clock::duration m_refill;
    const std::size_t m_maxClients;
    std::mutex m_lock;
    std::list<Bucket> m_recent;  // most recently seen first
    std::unordered_map<std::string_view, std::list<Bucket>::iterator> m_index;
};

// Bounds what one client can add to a day's statistics: a value (an install's identifier) seen
// that day before is always let through, a new one takes a token of the client's bucket. A flood
// of made-up installs from one address thus adds rows at the bucket's pace, while the installs
// behind one address (a company's, a school's) go on checking as often as they like.
class NewValueLimiter {
public:
    using Clock = RateLimiter::Clock;

    // Remembers at most `maxValues` values a day; past that every value counts as new.
    NewValueLimiter(int burst, Clock::duration refill, std::size_t maxValues = 262144);

    // True when the value may be recorded.
    bool admit(const std::string& client, const std::string& day, std::uint64_t value,
               Clock::time_point now);

private:
    RateLimiter m_clients;
    const std::size_t m_maxValues;
    std::mutex m_lock;
    std::string m_day;
    std::unordered_set<std::uint64_t> m_seen;
};

}  // namespace lsg::server
