// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/requests.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lsg::server {

// A failure of the data folder or the database, with a message for the maker.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where checks, feedback and the kept settings live: a database file in a data folder (SQLite,
// the default) or a PostgreSQL database that several servers share. Safe to use from several
// threads.
class Store {
public:
    virtual ~Store();

    // Opens the store a command line names: a postgresql:// (or postgres://) address when one is
    // given, else the data folder. Throws StoreError.
    static std::unique_ptr<Store> open(const std::string& dataFolder,
                                       const std::string& databaseUrl);

    virtual std::optional<std::string> setting(const std::string& key) = 0;
    virtual void setSetting(const std::string& key, const std::string& value) = 0;

    // Update checks on their days ("YYYY-MM-DD", UTC), in one transaction. An install is one row
    // per day, whatever it sends: a later check that day takes its place and adds to its count.
    // Checks without an install identifier add to a count per day and values.
    struct DatedCheck {
        CheckRequest check;
        std::string day;
    };
    void recordChecks(const std::vector<DatedCheck>& checks);
    void recordCheck(const CheckRequest& check, const std::string& day);

    // Durable once it returns: the feedback survives a crash of the process or of the machine.
    virtual void addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) = 0;

    // One JSON object per line, oldest first.
    void exportFeedback(std::ostream& out);
    // Per day: distinct installs and checks per version and per operating system.
    void report(std::ostream& out);

    // Where the data is, for the maker (never a password).
    virtual std::string location() const = 0;

protected:
    struct InstallDay {
        std::string day, guid, appname, version, os, locale;
        std::int64_t count = 0;
    };
    struct AnonymousChecks {
        std::string day, appname, version, os, locale;
        std::int64_t count = 0;
    };
    // Each key at most once, in key order (so that writers sharing a database lock rows in one
    // order).
    virtual void writeChecks(const std::vector<InstallDay>& installs,
                             const std::vector<AnonymousChecks>& anonymous) = 0;

    struct StoredFeedback {
        std::int64_t received = 0;
        std::optional<bool> like;
        QString text, email, appname, version;
    };
    virtual void forEachFeedback(const std::function<void(const StoredFeedback&)>& row) = 0;

    struct ReportRow {
        std::string day;
        std::string by;  // "version" or "os"
        QString value;
        std::int64_t installs = 0;
        std::int64_t checks = 0;
    };
    // Ordered by day, "version" before "os", then by value as bytes.
    virtual void forEachReportRow(const std::function<void(const ReportRow&)>& row) = 0;
};

// "2026-03-01T12:34:56Z"
std::string isoUtc(std::int64_t unixSeconds);
// "2026-03-01"
std::string dayUtc(std::int64_t unixSeconds);

}  // namespace lsg::server
