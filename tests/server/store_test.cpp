// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The store's behaviour, the same on the embedded SQLite file and on a shared PostgreSQL database
// (a throwaway cluster this process starts and removes).
#include "server/checkrecorder.h"
#include "server/httpserver.h"
#include "server/pgstore.h"
#include "server/service.h"
#include "server/sqlitestore.h"
#include "tests/server/pgcluster.h"
#include "tests/server/servertesting.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <memory>

namespace {

using namespace lsg::server;
using namespace lsg::server::testing;

PgCluster* g_cluster = nullptr;

// One cluster for the whole process, started before the first test and removed after the last.
class PgEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_cluster = &m_cluster;
        if (!m_cluster.start()) {
            std::fprintf(stderr, "PostgreSQL store tests: %s\n", m_cluster.problem().c_str());
        }
    }
    void TearDown() override { m_cluster.stop(); }

private:
    PgCluster m_cluster;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new PgEnvironment);

enum class Backend { Sqlite, Postgres };

class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Postgres) {
            if (!g_cluster->installed()) {
                GTEST_SKIP() << "skipped: " << g_cluster->problem();
            }
            ASSERT_TRUE(g_cluster->problem().empty()) << g_cluster->problem();
            ASSERT_TRUE(g_cluster->reset());
        }
    }

    std::unique_ptr<Store> open() {
        return Store::open(m_dir.path() + "/data",
                           GetParam() == Backend::Postgres ? g_cluster->url() : std::string());
    }

    TempFolder m_dir;
};

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

CheckRequest checkOf(const char* version, const char* os, const char* guid) {
    return {"KALDERN - Loadspire Gauge", version, os, "en-US", guid};
}

TEST_P(StoreTest, KeepsFeedbackAsSentAndExportsOneJsonLineEach) {
    {
        const auto store = open();
        FeedbackRequest f;
        f.appname = "KALDERN - Loadspire Gauge";
        f.version = "1.7";
        f.verdict = Verdict::Dislike;
        f.text = QString::fromUtf8(
            "'); DROP TABLE feedback; --\r\n\"quoted\" \\ \t\x01 \xE6\x97\xA5 \xF0\x9F\x98\x80 "
            "\xC2\x9B"
            "2J \xE2\x80\xAE");
        store->addFeedback(f, 1796904000);  // 2026-12-10T12:00:00Z
        f.verdict = Verdict::None;
        f.text = "second";
        f.email = "a@b.org";
        store->addFeedback(f, 1796904001);
    }
    const auto reopened = open();
    const auto lines = exported(*reopened);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "{\"received\":\"2026-12-10T12:00:00Z\",\"like\":false,\"text\":\"'); DROP TABLE "
              "feedback; --\\r\\n\\\"quoted\\\" \\\\ \\t\\u0001 \xE6\x97\xA5 \xF0\x9F\x98\x80 "
              "\\u009b2J \\u202e\",\"email\":\"\",\"appname\":\"KALDERN - Loadspire Gauge\","
              "\"version\":\"1.7\"}");
    EXPECT_EQ(
        lines[1],
        "{\"received\":\"2026-12-10T12:00:01Z\",\"like\":null,\"text\":\"second\","
        "\"email\":\"a@b.org\",\"appname\":\"KALDERN - Loadspire Gauge\",\"version\":\"1.7\"}");
}

TEST_P(StoreTest, ReportsDistinctInstallsPerDayByVersionAndBySystem) {
    const auto store = open();
    store->recordChecks({
        {checkOf("1.7", "Debian", "a"), "2026-12-09"},
        {checkOf("1.7", "Debian", "a"), "2026-12-09"},  // the same install again
        {checkOf("1.7", "Fedora", "b"), "2026-12-09"},
        {checkOf("1.6", "Debian", "c"), "2026-12-09"},
        {checkOf("1.7", "Debian", ""), "2026-12-09"},  // no identifier: a check, no install
        {checkOf("1.7", "Debian", ""), "2026-12-09"},
    });
    store->recordCheck(checkOf("1.7", "Debian", "a"), "2026-12-10");
    // What came from outside is escaped on the maker's terminal.
    store->recordCheck(checkOf("1.7",
                               "x\tz\xC2\x9B"
                               "2J\xE2\x80\xAE",
                               "d"),
                       "2026-12-10");
    EXPECT_EQ(reported(*store),
              "day\tby\tvalue\tinstalls\tchecks\n"
              "2026-12-09\tversion\t1.6\t1\t1\n"
              "2026-12-09\tversion\t1.7\t2\t5\n"
              "2026-12-09\tos\tDebian\t2\t5\n"
              "2026-12-09\tos\tFedora\t1\t1\n"
              "2026-12-10\tversion\t1.7\t2\t2\n"
              "2026-12-10\tos\tDebian\t1\t1\n"
              "2026-12-10\tos\tx\\u0009z\\u009b2J\\u202e\t1\t1\n");
}

TEST_P(StoreTest, KeepsOneRowPerInstallPerDayWhateverItSends) {
    const auto store = open();
    // The install updates during the day: its later check takes the earlier one's place.
    store->recordCheck(checkOf("1.7", "Debian", "a"), "2026-12-10");
    store->recordCheck(checkOf("1.8", "Debian", "a"), "2026-12-10");
    // A flood of values under one identifier is still one row.
    std::vector<Store::DatedCheck> flood;
    for (int i = 0; i < 500; ++i) {
        flood.push_back({checkOf("1.8", qPrintable(QString("os %1").arg(i)), "b"), "2026-12-10"});
    }
    store->recordChecks(flood);
    store->recordChecks(flood);
    EXPECT_EQ(reported(*store),
              "day\tby\tvalue\tinstalls\tchecks\n"
              "2026-12-10\tversion\t1.8\t2\t1002\n"
              "2026-12-10\tos\tDebian\t1\t2\n"
              "2026-12-10\tos\tos 499\t1\t1000\n");
}

TEST_P(StoreTest, KeepsSettings) {
    {
        const auto store = open();
        EXPECT_FALSE(store->setting("current-version").has_value());
        store->setSetting("current-version", "9.9");
        store->setSetting("current-version", "9.10");
    }
    EXPECT_EQ(open()->setting("current-version"), "9.10");
}

TEST_P(StoreTest, RecorderWritesEveryCheckByItsStopEvenInBatches) {
    const auto store = open();
    {
        CheckRecorder recorder(*store);
        for (int i = 0; i < 5000; ++i) {
            recorder.record(checkOf("1.7", "Linux", qPrintable(QString::number(i % 1000))),
                            "2026-12-10");
        }
        recorder.flush();
        EXPECT_NE(reported(*store).find("\tversion\t1.7\t1000\t5000\n"), std::string::npos);
        recorder.record(checkOf("1.8", "Linux", "x"), "2026-12-10");
    }
    EXPECT_NE(reported(*store).find("\tversion\t1.8\t1\t1\n"), std::string::npos);
}

// Two servers on one store, as behind a load balancer: each install counted once a day.
TEST_P(StoreTest, TwoServersOnOneStoreCountEachInstallOnce) {
    struct Instance {
        std::unique_ptr<Store> store;
        std::unique_ptr<Service> service;
        std::unique_ptr<HttpServer> http;
        std::future<void> run;
        int port = 0;
    };
    Instance instances[2];
    for (Instance& i : instances) {
        i.store = open();
        ServiceSettings settings;
        settings.currentVersion = "9.9";
        i.service = std::make_unique<Service>(*i.store, settings);
        i.http = std::make_unique<HttpServer>(*i.service, Service::httpSettings());
        i.port = i.http->listen("127.0.0.1", 0);
        i.run = std::async(std::launch::async, [&i] { i.http->run(); });
    }
    auto post = [](int port, const std::string& content) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        std::string reply;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            const std::string request =
                "POST /php/check2.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                "Content-Length: " +
                std::to_string(content.size()) + "\r\n\r\n" + content;
            (void)!::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            char buffer[512];
            ssize_t n;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
                reply.append(buffer, std::size_t(n));
            }
        }
        ::close(fd);
        return reply.rfind("HTTP/1.1 200", 0) == 0;
    };
    // 40 installs on the first, the same 40 and 40 more on the second.
    for (int n = 0; n < 80; ++n) {
        QStringList lines = kCheckLines;
        lines[5] = QString("guid=install-%1").arg(n);
        if (n < 40) {
            ASSERT_TRUE(post(instances[0].port, body(lines)));
        }
        ASSERT_TRUE(post(instances[1].port, body(lines)));
    }
    for (Instance& i : instances) {
        i.http->stop();
        i.run.get();
        i.service->flush();
    }
    EXPECT_NE(reported(*open()).find("\tversion\t1.7\t80\t120\n"), std::string::npos)
        << reported(*open());
}

// A database from before installs were kept one row a day keeps working: its rows stay, the
// report reads them beside the new ones, and an install seen in both on one day counts once.
TEST(SqliteStore, BringsAnOlderDatabaseUpToDateInPlace) {
    TempFolder dir;
    const std::string path = dir.path() + "/" + SqliteStore::kFileName;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, R"sql(
        CREATE TABLE settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);
        CREATE TABLE checks(day TEXT NOT NULL, appname TEXT NOT NULL, version TEXT NOT NULL,
            os TEXT NOT NULL, locale TEXT NOT NULL, guid TEXT NOT NULL,
            count INTEGER NOT NULL DEFAULT 1,
            PRIMARY KEY(day, appname, version, os, locale, guid)) WITHOUT ROWID;
        CREATE TABLE feedback(id INTEGER PRIMARY KEY, received INTEGER NOT NULL, verdict INTEGER,
            text TEXT NOT NULL, email TEXT NOT NULL, appname TEXT NOT NULL,
            version TEXT NOT NULL);
        INSERT INTO settings VALUES('current-version', '1.8');
        INSERT INTO checks VALUES('2026-12-09', 'A', '1.7', 'Debian', 'en-US', 'a', 3);
        INSERT INTO checks VALUES('2026-12-09', 'A', '1.8', 'Debian', 'en-US', 'a', 1);
        INSERT INTO checks VALUES('2026-12-10', 'A', '1.7', 'Debian', 'en-US', 'b', 2);
        INSERT INTO feedback VALUES(1, 1796904000, 1, 'old words', '', 'A', '1.7');
    )sql",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    SqliteStore store(dir.path());
    EXPECT_EQ(store.setting("current-version"), "1.8");
    store.recordCheck(checkOf("1.8", "Debian", "b"), "2026-12-10");
    EXPECT_EQ(reported(store),
              "day\tby\tvalue\tinstalls\tchecks\n"
              "2026-12-09\tversion\t1.7\t1\t3\n"
              "2026-12-09\tversion\t1.8\t1\t1\n"
              "2026-12-09\tos\tDebian\t1\t4\n"
              "2026-12-10\tversion\t1.7\t1\t2\n"
              "2026-12-10\tversion\t1.8\t1\t1\n"
              "2026-12-10\tos\tDebian\t1\t3\n");
    ASSERT_EQ(exported(store).size(), 1u);
    EXPECT_NE(exported(store)[0].find("\"text\":\"old words\""), std::string::npos);
}

TEST(SqliteStore, RefusesAFolderItCannotMake) {
    TempFolder dir;
    std::ofstream(dir.path() + "/file") << "x";
    EXPECT_THROW(SqliteStore(dir.path() + "/file/data"), StoreError);
    EXPECT_THROW(SqliteStore(dir.path() + "/file"), StoreError);
}

TEST(PgStore, SaysWhyItCannotReachTheDatabase) {
    try {
        // A socket folder where no server listens.
        PgStore("postgresql://lsg@/postgres?host=/nonexistent-lsg-folder&connect_timeout=5");
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot connect to the database"), std::string::npos)
            << e.what();
    }
}

}  // namespace
