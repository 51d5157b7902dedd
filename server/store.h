// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/requests.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace lsg::server {

// A failure of the data folder or the database, with a message for the maker.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server's one database file in the data folder (SQLite, write-ahead log). Safe to use from
// several threads: each kind of write has its own connection and lock.
class Store {
public:
    static constexpr const char* kFileName = "loadspire-server.sqlite3";

    // Creates the folder and the database when missing. Throws StoreError when the folder cannot
    // be made or written.
    explicit Store(const std::string& dataFolder);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    std::optional<std::string> setting(const std::string& key);
    void setSetting(const std::string& key, const std::string& value);

    // One update check on a day ("YYYY-MM-DD", UTC). Repeated checks of one install on one day
    // add to a count instead of a row each, so a chatty client cannot grow the file much.
    void recordCheck(const CheckRequest& check, const std::string& day);
    struct DatedCheck {
        CheckRequest check;
        std::string day;
    };
    // Many checks in one transaction.
    void recordChecks(const std::vector<DatedCheck>& checks);

    // Durable once it returns: the feedback survives a crash of the process or of the machine.
    void addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds);

    // One JSON object per line, oldest first.
    void exportFeedback(std::ostream& out);
    // Per day: distinct installs and checks per version and per operating system.
    void report(std::ostream& out);

    std::string path() const { return m_path; }

private:
    struct Connection;
    std::string m_path;
    std::unique_ptr<Connection> m_checks;
    std::unique_ptr<Connection> m_feedback;
};

// "2026-03-01T12:34:56Z"
std::string isoUtc(std::int64_t unixSeconds);
// "2026-03-01"
std::string dayUtc(std::int64_t unixSeconds);
// The text as a JSON string literal in UTF-8, quotes included; control characters escaped, so
// that one record stays on one line whatever was sent.
std::string jsonString(const QString& text);

}  // namespace lsg::server
