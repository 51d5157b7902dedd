// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/sqlitestore.h"

#include <sqlite3.h>

#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

namespace lsg::server {

namespace {

// "checks" is no longer written: see m_hasValueRows.
const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS settings(
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS install_days(
    day TEXT NOT NULL,
    guid TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL,
    os TEXT NOT NULL,
    locale TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(day, guid)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS anonymous_checks(
    day TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL,
    os TEXT NOT NULL,
    locale TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(day, appname, version, os, locale)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS feedback(
    id INTEGER PRIMARY KEY,
    received INTEGER NOT NULL,
    verdict INTEGER,
    text TEXT NOT NULL,
    email TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL);
)sql";

// Binds a text parameter by its UTF-8 bytes and length, so that any content is data.
void bindText(sqlite3_stmt* st, int index, const std::string& text) {
    sqlite3_bind_text(st, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

QString columnText(sqlite3_stmt* st, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(st, column));
}

}  // namespace

// One connection with its prepared statements and the lock that serialises their use.
struct SqliteStore::Connection {
    sqlite3* db = nullptr;
    std::mutex lock;

    Connection(const std::string& path, const char* synchronous) {
        const int rc = sqlite3_open_v2(
            path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        if (rc != SQLITE_OK) {
            const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
            sqlite3_close(db);
            db = nullptr;
            throw StoreError("cannot open the database " + path + ": " + message);
        }
        sqlite3_busy_timeout(db, 5000);
        try {
            exec("PRAGMA journal_mode=WAL");
            exec(std::string("PRAGMA synchronous=") + synchronous);
            exec(kSchema);
        } catch (...) {
            sqlite3_close(db);
            throw;
        }
    }
    ~Connection() {
        for (auto& [sql, st] : statements) {
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : sqlite3_errmsg(db);
            sqlite3_free(error);
            throw StoreError("database error: " + message);
        }
    }

    // A prepared statement, made once and reset before each use. Call with the lock held.
    sqlite3_stmt* statement(const char* sql) {
        for (auto& [text, st] : statements) {
            if (std::strcmp(text, sql) == 0) {
                sqlite3_reset(st);
                sqlite3_clear_bindings(st);
                return st;
            }
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            throw StoreError(std::string("database error: ") + sqlite3_errmsg(db));
        }
        statements.emplace_back(sql, st);
        return st;
    }

    // True while the statement has a row.
    bool step(sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            const std::string message = sqlite3_errmsg(db);
            sqlite3_reset(st);
            throw StoreError("database error: " + message);
        }
        return rc == SQLITE_ROW;
    }

    std::vector<std::pair<const char*, sqlite3_stmt*>> statements;
};

SqliteStore::SqliteStore(const std::string& dataFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    if (ec || !fs::is_directory(dataFolder, ec)) {
        throw StoreError("cannot create the data folder " + dataFolder + ": " +
                         (ec ? ec.message() : std::string("not a folder")));
    }
    // Root passes any permission check, so try what the database will need: a new file.
    if (::access(dataFolder.c_str(), W_OK | X_OK) != 0) {
        throw StoreError("the data folder " + dataFolder +
                         " is not writable: " + std::strerror(errno));
    }
    m_path = (fs::path(dataFolder) / kFileName).string();
    // Checks are cheap to lose on a power cut and come by the thousand: the log is synced at
    // checkpoints only. Feedback is someone's words: every commit is synced before "OK".
    m_checks = std::make_unique<Connection>(m_path, "NORMAL");
    m_feedback = std::make_unique<Connection>(m_path, "FULL");
    sqlite3_stmt* st =
        m_checks->statement("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'checks'");
    m_hasValueRows = m_checks->step(st);
    sqlite3_reset(st);
}

SqliteStore::~SqliteStore() = default;

std::optional<std::string> SqliteStore::setting(const std::string& key) {
    std::lock_guard guard(m_checks->lock);
    sqlite3_stmt* st = m_checks->statement("SELECT value FROM settings WHERE key = ?1");
    bindText(st, 1, key);
    if (!m_checks->step(st)) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    std::string value(bytes, static_cast<size_t>(sqlite3_column_bytes(st, 0)));
    sqlite3_reset(st);
    return value;
}

void SqliteStore::setSetting(const std::string& key, const std::string& value) {
    std::lock_guard guard(m_feedback->lock);
    sqlite3_stmt* st = m_feedback->statement(
        "INSERT INTO settings(key, value) VALUES(?1, ?2) "
        "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    bindText(st, 1, key);
    bindText(st, 2, value);
    m_feedback->step(st);
}

void SqliteStore::writeChecks(const std::vector<InstallDay>& installs,
                              const std::vector<AnonymousChecks>& anonymous) {
    std::lock_guard guard(m_checks->lock);
    m_checks->step(m_checks->statement("BEGIN IMMEDIATE"));
    try {
        for (const InstallDay& i : installs) {
            sqlite3_stmt* st = m_checks->statement(
                "INSERT INTO install_days(day, guid, appname, version, os, locale, count) "
                "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7) "
                "ON CONFLICT(day, guid) DO UPDATE SET appname = excluded.appname, "
                "version = excluded.version, os = excluded.os, locale = excluded.locale, "
                "count = count + excluded.count");
            bindText(st, 1, i.day);
            bindText(st, 2, i.guid);
            bindText(st, 3, i.appname);
            bindText(st, 4, i.version);
            bindText(st, 5, i.os);
            bindText(st, 6, i.locale);
            sqlite3_bind_int64(st, 7, i.count);
            m_checks->step(st);
        }
        for (const AnonymousChecks& a : anonymous) {
            sqlite3_stmt* st = m_checks->statement(
                "INSERT INTO anonymous_checks(day, appname, version, os, locale, count) "
                "VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
                "ON CONFLICT DO UPDATE SET count = count + excluded.count");
            bindText(st, 1, a.day);
            bindText(st, 2, a.appname);
            bindText(st, 3, a.version);
            bindText(st, 4, a.os);
            bindText(st, 5, a.locale);
            sqlite3_bind_int64(st, 6, a.count);
            m_checks->step(st);
        }
        m_checks->step(m_checks->statement("COMMIT"));
    } catch (...) {
        sqlite3_exec(m_checks->db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SqliteStore::addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) {
    std::lock_guard guard(m_feedback->lock);
    sqlite3_stmt* st = m_feedback->statement(
        "INSERT INTO feedback(received, verdict, text, email, appname, version) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    sqlite3_bind_int64(st, 1, receivedUnixSeconds);
    if (feedback.verdict == Verdict::None) {
        sqlite3_bind_null(st, 2);
    } else {
        sqlite3_bind_int(st, 2, feedback.verdict == Verdict::Like ? 1 : 0);
    }
    bindText(st, 3, utf8(feedback.text));
    bindText(st, 4, utf8(feedback.email));
    bindText(st, 5, utf8(feedback.appname));
    bindText(st, 6, utf8(feedback.version));
    m_feedback->step(st);
}

void SqliteStore::forEachFeedback(const std::function<void(const StoredFeedback&)>& row) {
    std::lock_guard guard(m_feedback->lock);
    sqlite3_stmt* st = m_feedback->statement(
        "SELECT received, verdict, text, email, appname, version FROM feedback ORDER BY id");
    while (m_feedback->step(st)) {
        StoredFeedback f;
        f.received = sqlite3_column_int64(st, 0);
        if (sqlite3_column_type(st, 1) != SQLITE_NULL) {
            f.like = sqlite3_column_int(st, 1) != 0;
        }
        f.text = columnText(st, 2);
        f.email = columnText(st, 3);
        f.appname = columnText(st, 4);
        f.version = columnText(st, 5);
        row(f);
    }
}

void SqliteStore::forEachReportRow(const std::function<void(const ReportRow&)>& row) {
    std::lock_guard guard(m_checks->lock);
    // Installs are told apart by their identifier; checks without one count as checks only.
    static const char* const kWithValueRows =
        "WITH rows(day, version, os, guid, count) AS ("
        " SELECT day, version, os, guid, count FROM install_days"
        " UNION ALL SELECT day, version, os, '', count FROM anonymous_checks"
        " UNION ALL SELECT day, version, os, guid, count FROM checks) "
        "SELECT day, 'version', version, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM rows GROUP BY day, version "
        "UNION ALL "
        "SELECT day, 'os', os, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM rows GROUP BY day, os "
        "ORDER BY 1, 2 DESC, 3";
    static const char* const kWithoutValueRows =
        "WITH rows(day, version, os, guid, count) AS ("
        " SELECT day, version, os, guid, count FROM install_days"
        " UNION ALL SELECT day, version, os, '', count FROM anonymous_checks) "
        "SELECT day, 'version', version, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM rows GROUP BY day, version "
        "UNION ALL "
        "SELECT day, 'os', os, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM rows GROUP BY day, os "
        "ORDER BY 1, 2 DESC, 3";
    sqlite3_stmt* st = m_checks->statement(m_hasValueRows ? kWithValueRows : kWithoutValueRows);
    while (m_checks->step(st)) {
        row({columnText(st, 0).toStdString(), columnText(st, 1).toStdString(), columnText(st, 2),
             sqlite3_column_int64(st, 3), sqlite3_column_int64(st, 4)});
    }
}

}  // namespace lsg::server
