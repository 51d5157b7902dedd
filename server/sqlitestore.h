// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/store.h"

#include <memory>
#include <string>

namespace lsg::server {

// The server's one database file in the data folder (SQLite, write-ahead log). Each kind of write
// has its own connection and lock.
class SqliteStore : public Store {
public:
    static constexpr const char* kFileName = "loadspire-server.sqlite3";

    // Creates the folder and the database when missing, and brings an older database up to date
    // in place. Throws StoreError when the folder cannot be made or written.
    explicit SqliteStore(const std::string& dataFolder);
    ~SqliteStore() override;

    std::optional<std::string> setting(const std::string& key) override;
    void setSetting(const std::string& key, const std::string& value) override;
    void addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) override;
    std::string location() const override { return m_path; }

    std::string path() const { return m_path; }

protected:
    void writeChecks(const std::vector<InstallDay>& installs,
                     const std::vector<AnonymousChecks>& anonymous) override;
    void forEachFeedback(const std::function<void(const StoredFeedback&)>& row) override;
    void forEachReportRow(const std::function<void(const ReportRow&)>& row) override;

private:
    struct Connection;
    std::string m_path;
    std::unique_ptr<Connection> m_checks;
    std::unique_ptr<Connection> m_feedback;
    // Databases from before installs were kept one row a day still hold their checks in the
    // table "checks", one row per install and values a day; the report reads them as they are.
    bool m_hasValueRows = false;
};

}  // namespace lsg::server
