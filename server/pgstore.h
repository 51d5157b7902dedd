// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/store.h"

#include <memory>
#include <string>

namespace lsg::server {

// Checks, feedback and settings in a PostgreSQL database, so that several servers behind a load
// balancer share them. The tables are made when missing. Each kind of write has its own
// connection and lock; a connection that broke is opened again on the next use.
class PgStore : public Store {
public:
    // A postgresql:// or postgres:// address (libpq's). Throws StoreError when the database
    // cannot be reached or its tables cannot be made.
    explicit PgStore(const std::string& url);
    ~PgStore() override;

    std::optional<std::string> setting(const std::string& key) override;
    void setSetting(const std::string& key, const std::string& value) override;
    void addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) override;
    std::string location() const override { return m_location; }

    static bool isUrl(const std::string& text);

protected:
    void writeChecks(const std::vector<InstallDay>& installs,
                     const std::vector<AnonymousChecks>& anonymous) override;
    void forEachFeedback(const std::function<void(const StoredFeedback&)>& row) override;
    void forEachReportRow(const std::function<void(const ReportRow&)>& row) override;

private:
    class Connection;
    std::string m_location;
    std::unique_ptr<Connection> m_checks;
    std::unique_ptr<Connection> m_feedback;
};

}  // namespace lsg::server
