// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/store.h"

#include <sqlite3.h>

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace lsg::server {

namespace {

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS settings(
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS checks(
    day TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL,
    os TEXT NOT NULL,
    locale TEXT NOT NULL,
    guid TEXT NOT NULL,
    count INTEGER NOT NULL DEFAULT 1,
    PRIMARY KEY(day, appname, version, os, locale, guid)) WITHOUT ROWID;
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
struct Store::Connection {
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
        exec("PRAGMA journal_mode=WAL");
        exec(std::string("PRAGMA synchronous=") + synchronous);
        exec(kSchema);
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

    void step(sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            const std::string message = sqlite3_errmsg(db);
            sqlite3_reset(st);
            throw StoreError("database error: " + message);
        }
    }

    std::vector<std::pair<const char*, sqlite3_stmt*>> statements;
};

Store::Store(const std::string& dataFolder) {
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
}

Store::~Store() = default;

std::optional<std::string> Store::setting(const std::string& key) {
    std::lock_guard guard(m_checks->lock);
    sqlite3_stmt* st = m_checks->statement("SELECT value FROM settings WHERE key = ?1");
    bindText(st, 1, key);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(st, 0)));
    }
    if (rc != SQLITE_DONE) {
        throw StoreError(std::string("database error: ") + sqlite3_errmsg(m_checks->db));
    }
    return std::nullopt;
}

void Store::setSetting(const std::string& key, const std::string& value) {
    std::lock_guard guard(m_feedback->lock);
    sqlite3_stmt* st = m_feedback->statement(
        "INSERT INTO settings(key, value) VALUES(?1, ?2) "
        "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    bindText(st, 1, key);
    bindText(st, 2, value);
    m_feedback->step(st);
}

void Store::recordCheck(const CheckRequest& check, const std::string& day) {
    recordChecks({DatedCheck{check, day}});
}

void Store::recordChecks(const std::vector<DatedCheck>& checks) {
    std::lock_guard guard(m_checks->lock);
    sqlite3_stmt* begin = m_checks->statement("BEGIN IMMEDIATE");
    m_checks->step(begin);
    try {
        for (const DatedCheck& c : checks) {
            sqlite3_stmt* st = m_checks->statement(
                "INSERT INTO checks(day, appname, version, os, locale, guid) "
                "VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
                "ON CONFLICT DO UPDATE SET count = count + 1");
            bindText(st, 1, c.day);
            bindText(st, 2, utf8(c.check.appname));
            bindText(st, 3, utf8(c.check.version));
            bindText(st, 4, utf8(c.check.os));
            bindText(st, 5, utf8(c.check.locale));
            bindText(st, 6, utf8(c.check.guid));
            m_checks->step(st);
        }
        m_checks->step(m_checks->statement("COMMIT"));
    } catch (...) {
        sqlite3_exec(m_checks->db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Store::addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) {
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

void Store::exportFeedback(std::ostream& out) {
    std::lock_guard guard(m_feedback->lock);
    sqlite3_stmt* st = m_feedback->statement(
        "SELECT received, verdict, text, email, appname, version FROM feedback ORDER BY id");
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const char* like = sqlite3_column_type(st, 1) == SQLITE_NULL ? "null"
                           : sqlite3_column_int(st, 1) != 0          ? "true"
                                                                     : "false";
        out << "{\"received\":\"" << isoUtc(sqlite3_column_int64(st, 0)) << "\",\"like\":" << like
            << ",\"text\":" << jsonString(columnText(st, 2))
            << ",\"email\":" << jsonString(columnText(st, 3))
            << ",\"appname\":" << jsonString(columnText(st, 4))
            << ",\"version\":" << jsonString(columnText(st, 5)) << "}\n";
    }
    if (rc != SQLITE_DONE) {
        throw StoreError(std::string("database error: ") + sqlite3_errmsg(m_feedback->db));
    }
}

void Store::report(std::ostream& out) {
    std::lock_guard guard(m_checks->lock);
    // Installs are told apart by their identifier; checks without one count as checks only.
    sqlite3_stmt* st = m_checks->statement(
        "SELECT day, 'version', version, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM checks GROUP BY day, version "
        "UNION ALL "
        "SELECT day, 'os', os, COUNT(DISTINCT NULLIF(guid, '')), SUM(count) "
        "FROM checks GROUP BY day, os "
        "ORDER BY 1, 2 DESC, 3");
    out << "day\tby\tvalue\tinstalls\tchecks\n";
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QString value = columnText(st, 2);
        value.replace(u'\t', u' ');
        out << columnText(st, 0).toStdString() << '\t' << columnText(st, 1).toStdString() << '\t'
            << (value.isEmpty() ? std::string("-") : value.toStdString()) << '\t'
            << sqlite3_column_int64(st, 3) << '\t' << sqlite3_column_int64(st, 4) << '\n';
    }
    if (rc != SQLITE_DONE) {
        throw StoreError(std::string("database error: ") + sqlite3_errmsg(m_checks->db));
    }
}

std::string isoUtc(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

std::string dayUtc(std::int64_t unixSeconds) {
    return isoUtc(unixSeconds).substr(0, 10);
}

std::string jsonString(const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    qsizetype run = 0;  // start of the characters not yet written, which need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool plain =
            u >= 0x20 && u != u'"' && u != u'\\' && u != 0x7F && u != 0x2028 && u != 0x2029;
        if (plain) {
            continue;
        }
        out += text.mid(run, i - run).toStdString();
        run = i + 1;
        switch (u) {
            case u'"':
                out += "\\\"";
                break;
            case u'\\':
                out += "\\\\";
                break;
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            default:
                out += "\\u";
                out += kHex[(u >> 12) & 0xF];
                out += kHex[(u >> 8) & 0xF];
                out += kHex[(u >> 4) & 0xF];
                out += kHex[u & 0xF];
        }
    }
    out += text.mid(run).toStdString();
    out += '"';
    return out;
}

}  // namespace lsg::server
