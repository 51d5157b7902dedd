// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/store.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace lsg::server {

// Writes update checks in batches on a thread of its own, so that a request never waits for
// the database: one transaction per batch instead of one per check. A crash loses at most the
// last fraction of a second of statistics; stop() and the destructor write what is pending.
class CheckRecorder {
public:
    // Checks waiting beyond this are dropped (and counted): a flood costs bounded memory.
    static constexpr std::size_t kMaxPending = 100000;

    explicit CheckRecorder(Store& store);
    ~CheckRecorder();
    CheckRecorder(const CheckRecorder&) = delete;
    CheckRecorder& operator=(const CheckRecorder&) = delete;

    void record(CheckRequest check, std::string day);
    // Writes everything recorded so far before it returns.
    void flush();
    void stop();
    std::uint64_t dropped() const;

private:
    void run();

    Store& m_store;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::vector<Store::DatedCheck> m_pending;
    std::uint64_t m_queued = 0;  // checks ever queued
    std::uint64_t m_done = 0;    // checks written (or failed to)
    std::uint64_t m_dropped = 0;
    bool m_flush = false;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace lsg::server
