// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace lsg::testing {

// A watchdog for calls that once blocked for good (an open of a FIFO, an endless read): past
// the limit the test binary ends with a message, so the test fails instead of hanging until
// the test runner gives up.
class Deadline {
public:
    explicit Deadline(const char* what, std::chrono::seconds limit = std::chrono::seconds(20))
        : m_thread([this, what, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                  std::fprintf(stderr, "blocked for good: %s\n", what);
                  std::_Exit(1);
              }
          }) {}
    ~Deadline() {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

}  // namespace lsg::testing
