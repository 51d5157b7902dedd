// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/checkrecorder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace lsg::server {

namespace {
// Long enough to gather many checks into one transaction, short enough for a fresh report.
constexpr auto kBatchWindow = std::chrono::milliseconds(100);
constexpr std::size_t kBatchSize = 2048;
}  // namespace

CheckRecorder::CheckRecorder(Store& store) : m_store(store), m_thread([this] { run(); }) {}

CheckRecorder::~CheckRecorder() {
    stop();
}

void CheckRecorder::record(CheckRequest check, std::string day) {
    std::lock_guard guard(m_lock);
    if (m_pending.size() >= kMaxPending) {
        ++m_dropped;
        return;
    }
    m_pending.push_back({std::move(check), std::move(day)});
    ++m_queued;
    if (m_pending.size() >= kBatchSize) {
        m_wake.notify_one();
    }
}

void CheckRecorder::flush() {
    std::unique_lock guard(m_lock);
    const std::uint64_t target = m_queued;
    m_flush = true;
    m_wake.notify_one();
    m_written.wait(guard, [&] { return m_done >= target; });
}

void CheckRecorder::stop() {
    {
        std::lock_guard guard(m_lock);
        if (m_stopping) {
            return;
        }
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::uint64_t CheckRecorder::dropped() const {
    std::lock_guard guard(m_lock);
    return m_dropped;
}

void CheckRecorder::run() {
    // Behind the threads that answer requests: under full load the statistics wait (or, past
    // kMaxPending, are dropped) rather than every reply.
    setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    std::vector<Store::DatedCheck> batch;
    std::unique_lock guard(m_lock);
    for (;;) {
        m_wake.wait_for(guard, kBatchWindow,
                        [&] { return m_stopping || m_flush || m_pending.size() >= kBatchSize; });
        if (m_pending.empty()) {
            m_flush = false;
            if (m_stopping) {
                return;
            }
            continue;
        }
        m_flush = false;
        batch.swap(m_pending);
        guard.unlock();
        try {
            m_store.recordChecks(batch);
        } catch (const StoreError& e) {
            // Statistics only: say so and go on with the next batch.
            std::fprintf(stderr, "loadspire-server: %s (%zu checks not recorded)\n", e.what(),
                         batch.size());
        }
        const std::size_t written = batch.size();
        batch.clear();
        guard.lock();
        m_done += written;
        m_written.notify_all();
    }
}

}  // namespace lsg::server
