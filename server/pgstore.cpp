// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/pgstore.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstring>
#include <mutex>

namespace lsg::server {

namespace {

// Several servers may start at once: the advisory lock lets one make the tables at a time.
const char* const kSchema = R"sql(
BEGIN;
SELECT pg_advisory_xact_lock(7465812);
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
    count BIGINT NOT NULL,
    PRIMARY KEY(day, guid));
CREATE TABLE IF NOT EXISTS anonymous_checks(
    day TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL,
    os TEXT NOT NULL,
    locale TEXT NOT NULL,
    count BIGINT NOT NULL,
    PRIMARY KEY(day, appname, version, os, locale));
CREATE TABLE IF NOT EXISTS feedback(
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    received BIGINT NOT NULL,
    verdict SMALLINT,
    text TEXT NOT NULL,
    email TEXT NOT NULL,
    appname TEXT NOT NULL,
    version TEXT NOT NULL);
COMMIT;
)sql";

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

std::string trimmedMessage(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// A PostgreSQL array literal of text values: each quoted, quotes and backslashes escaped.
std::string textArray(const std::vector<const std::string*>& values) {
    std::string out = "{";
    for (const std::string* v : values) {
        if (out.size() > 1) {
            out += ',';
        }
        out += '"';
        for (const char c : *v) {
            if (c == '"' || c == '\\') {
                out += '\\';
            }
            out += c;
        }
        out += '"';
    }
    out += '}';
    return out;
}

std::int64_t integer(const PGresult* r, int row, int column) {
    const char* text = PQgetvalue(r, row, column);
    std::int64_t value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

QString text(const PGresult* r, int row, int column) {
    return QString::fromUtf8(PQgetvalue(r, row, column), PQgetlength(r, row, column));
}

}  // namespace

class PgStore::Connection {
public:
    explicit Connection(const std::string& url) : m_url(url) { connect(); }
    ~Connection() { PQfinish(m_conn); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    std::mutex lock;

    PGconn* get() {
        if (PQstatus(m_conn) != CONNECTION_OK) {
            // The server restarted or the network dropped: a new session for this request.
            PQreset(m_conn);
            if (PQstatus(m_conn) != CONNECTION_OK) {
                throw StoreError("cannot reach the database: " +
                                 trimmedMessage(PQerrorMessage(m_conn)));
            }
        }
        return m_conn;
    }

    // Runs one statement with text parameters (nullptr for NULL). Throws StoreError.
    Result run(const char* sql, const std::vector<const char*>& params = {}) {
        PGconn* conn = get();
        Result r(PQexecParams(conn, sql, int(params.size()), nullptr, params.data(), nullptr,
                              nullptr, 0));
        check(r.get());
        return r;
    }

    void check(const PGresult* r) {
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
            status != PGRES_SINGLE_TUPLE) {
            throw StoreError("database error: " +
                             trimmedMessage(r ? PQresultErrorMessage(r) : PQerrorMessage(m_conn)));
        }
    }

    void exec(const char* sql) {
        Result r(PQexec(get(), sql));
        check(r.get());
    }

private:
    void connect() {
        m_conn = PQconnectdb(m_url.c_str());
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const std::string message = trimmedMessage(PQerrorMessage(m_conn));
            PQfinish(m_conn);
            m_conn = nullptr;
            throw StoreError("cannot connect to the database: " + message);
        }
        // Text in and out as UTF-8, whatever the database's default.
        PQsetClientEncoding(m_conn, "UTF8");
        // Notices ("table already exists") are no news to the maker.
        PQsetNoticeProcessor(
            m_conn, [](void*, const char*) {}, nullptr);
    }

    std::string m_url;
    PGconn* m_conn = nullptr;
};

bool PgStore::isUrl(const std::string& text) {
    return text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0;
}

PgStore::PgStore(const std::string& url) {
    if (!isUrl(url)) {
        throw StoreError("not a postgresql:// address: " + url);
    }
    m_checks = std::make_unique<Connection>(url);
    m_feedback = std::make_unique<Connection>(url);
    try {
        m_checks->exec(kSchema);
    } catch (const StoreError&) {
        try {
            m_checks->exec("ROLLBACK");
        } catch (const StoreError&) {
            // The connection is gone, and the transaction with it.
        }
        throw;
    }
    PGconn* c = m_checks->get();
    const char* host = PQhost(c);
    m_location = std::string("PostgreSQL database ") + PQdb(c) + " as " + PQuser(c) + " on " +
                 (host && *host ? host : "localhost") + ":" + PQport(c);
}

PgStore::~PgStore() = default;

std::optional<std::string> PgStore::setting(const std::string& key) {
    std::lock_guard guard(m_checks->lock);
    const Result r = m_checks->run("SELECT value FROM settings WHERE key = $1", {key.c_str()});
    if (PQntuples(r.get()) == 0) {
        return std::nullopt;
    }
    return std::string(PQgetvalue(r.get(), 0, 0), std::size_t(PQgetlength(r.get(), 0, 0)));
}

void PgStore::setSetting(const std::string& key, const std::string& value) {
    std::lock_guard guard(m_feedback->lock);
    m_feedback->run(
        "INSERT INTO settings(key, value) VALUES($1, $2) "
        "ON CONFLICT(key) DO UPDATE SET value = excluded.value",
        {key.c_str(), value.c_str()});
}

void PgStore::writeChecks(const std::vector<InstallDay>& installs,
                          const std::vector<AnonymousChecks>& anonymous) {
    // Each kind in one statement over arrays: one round trip for the whole batch.
    std::vector<const std::string*> day, guid, appname, version, os, locale;
    std::string counts = "{";
    for (const InstallDay& i : installs) {
        day.push_back(&i.day);
        guid.push_back(&i.guid);
        appname.push_back(&i.appname);
        version.push_back(&i.version);
        os.push_back(&i.os);
        locale.push_back(&i.locale);
        counts += (counts.size() > 1 ? "," : "") + std::to_string(i.count);
    }
    counts += "}";
    const std::string days = textArray(day), guids = textArray(guid), appnames = textArray(appname),
                      versions = textArray(version), oses = textArray(os),
                      locales = textArray(locale);

    std::vector<const std::string*> aDay, aAppname, aVersion, aOs, aLocale;
    std::string aCounts = "{";
    for (const AnonymousChecks& a : anonymous) {
        aDay.push_back(&a.day);
        aAppname.push_back(&a.appname);
        aVersion.push_back(&a.version);
        aOs.push_back(&a.os);
        aLocale.push_back(&a.locale);
        aCounts += (aCounts.size() > 1 ? "," : "") + std::to_string(a.count);
    }
    aCounts += "}";
    const std::string aDays = textArray(aDay), aAppnames = textArray(aAppname),
                      aVersions = textArray(aVersion), aOses = textArray(aOs),
                      aLocales = textArray(aLocale);

    std::lock_guard guard(m_checks->lock);
    m_checks->exec("BEGIN");
    try {
        if (!installs.empty()) {
            m_checks->run(
                "INSERT INTO install_days(day, guid, appname, version, os, locale, count) "
                "SELECT * FROM unnest($1::text[], $2::text[], $3::text[], $4::text[], "
                "$5::text[], $6::text[], $7::bigint[]) "
                "ON CONFLICT(day, guid) DO UPDATE SET appname = excluded.appname, "
                "version = excluded.version, os = excluded.os, locale = excluded.locale, "
                "count = install_days.count + excluded.count",
                {days.c_str(), guids.c_str(), appnames.c_str(), versions.c_str(), oses.c_str(),
                 locales.c_str(), counts.c_str()});
        }
        if (!anonymous.empty()) {
            m_checks->run(
                "INSERT INTO anonymous_checks(day, appname, version, os, locale, count) "
                "SELECT * FROM unnest($1::text[], $2::text[], $3::text[], $4::text[], "
                "$5::text[], $6::bigint[]) "
                "ON CONFLICT(day, appname, version, os, locale) DO UPDATE SET "
                "count = anonymous_checks.count + excluded.count",
                {aDays.c_str(), aAppnames.c_str(), aVersions.c_str(), aOses.c_str(),
                 aLocales.c_str(), aCounts.c_str()});
        }
        m_checks->exec("COMMIT");
    } catch (...) {
        try {
            m_checks->exec("ROLLBACK");
        } catch (const StoreError&) {
            // The connection is gone, and the transaction with it.
        }
        throw;
    }
}

void PgStore::addFeedback(const FeedbackRequest& feedback, std::int64_t receivedUnixSeconds) {
    const std::string received = std::to_string(receivedUnixSeconds);
    const char* verdict = feedback.verdict == Verdict::None   ? nullptr
                          : feedback.verdict == Verdict::Like ? "1"
                                                              : "0";
    const std::string text = feedback.text.toStdString(), email = feedback.email.toStdString(),
                      appname = feedback.appname.toStdString(),
                      version = feedback.version.toStdString();
    std::lock_guard guard(m_feedback->lock);
    // Committed by itself; with synchronous_commit on (the default) durable before it returns.
    m_feedback->run(
        "INSERT INTO feedback(received, verdict, text, email, appname, version) "
        "VALUES($1, $2, $3, $4, $5, $6)",
        {received.c_str(), verdict, text.c_str(), email.c_str(), appname.c_str(), version.c_str()});
}

void PgStore::forEachFeedback(const std::function<void(const StoredFeedback&)>& row) {
    std::lock_guard guard(m_feedback->lock);
    PGconn* conn = m_feedback->get();
    // Row by row, so that a large export never sits in memory whole.
    if (!PQsendQuery(conn,
                     "SELECT received, verdict, text, email, appname, version FROM feedback "
                     "ORDER BY id") ||
        !PQsetSingleRowMode(conn)) {
        throw StoreError("database error: " + trimmedMessage(PQerrorMessage(conn)));
    }
    std::string error;
    while (PGresult* raw = PQgetResult(conn)) {
        const Result r(raw);
        if (PQresultStatus(raw) == PGRES_SINGLE_TUPLE) {
            if (!error.empty()) {
                continue;
            }
            StoredFeedback f;
            f.received = integer(raw, 0, 0);
            if (!PQgetisnull(raw, 0, 1)) {
                f.like = integer(raw, 0, 1) != 0;
            }
            f.text = text(raw, 0, 2);
            f.email = text(raw, 0, 3);
            f.appname = text(raw, 0, 4);
            f.version = text(raw, 0, 5);
            try {
                row(f);
            } catch (const std::exception& e) {
                error = e.what();
            }
        } else if (PQresultStatus(raw) != PGRES_TUPLES_OK && error.empty()) {
            error = "database error: " + trimmedMessage(PQresultErrorMessage(raw));
        }
    }
    if (!error.empty()) {
        throw StoreError(error);
    }
}

void PgStore::forEachReportRow(const std::function<void(const ReportRow&)>& row) {
    std::lock_guard guard(m_checks->lock);
    // Installs are told apart by their identifier; checks without one count as checks only.
    // Values are ordered by their bytes, whatever the database's collation.
    const Result r = m_checks->run(
        "WITH rows AS ("
        " SELECT day, version, os, guid, count FROM install_days"
        " UNION ALL SELECT day, version, os, '', count FROM anonymous_checks) "
        "SELECT * FROM ("
        " SELECT day, 'version' AS kind, version AS value,"
        "  COUNT(DISTINCT NULLIF(guid, '')) AS installs, SUM(count)::bigint AS checks"
        " FROM rows GROUP BY day, version"
        " UNION ALL"
        " SELECT day, 'os', os, COUNT(DISTINCT NULLIF(guid, '')), SUM(count)::bigint"
        " FROM rows GROUP BY day, os) AS report "
        "ORDER BY day COLLATE \"C\", kind DESC, value COLLATE \"C\"");
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        row({PQgetvalue(r.get(), i, 0), PQgetvalue(r.get(), i, 1), text(r.get(), i, 2),
             integer(r.get(), i, 3), integer(r.get(), i, 4)});
    }
}

}  // namespace lsg::server
