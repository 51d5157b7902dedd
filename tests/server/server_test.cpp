// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "core/wireform.h"
#include "online/feedback.h"
#include "server/checkrecorder.h"
#include "server/options.h"
#include "server/ratelimit.h"
#include "server/requests.h"
#include "server/service.h"
#include "server/store.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace lsg::server;
namespace fs = std::filesystem;

std::string body(const QStringList& lines) {
    return lsg::wire::encodeForm(lines).toStdString();
}

QStringList feedbackLines(const QString& text, const QString& email = {}) {
    return lsg::feedback::requestLines("KALDERN - Loadspire Gauge", "1.7", text, email);
}

const QStringList kCheckLines = {"cmd=check",
                                 "appname=KALDERN - Loadspire Gauge",
                                 "version=1.7",
                                 "os=Debian GNU/Linux 12 (bookworm) (Version 6.1, Build 0, 64-bit "
                                 "Edition)",
                                 "local=en-US",
                                 "guid={0F8FAD5B-D9CB-469F-A165-70867728950E}"};

// A private folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "lsg-server-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string path() const { return m_path; }

private:
    std::string m_path;
};

std::vector<std::string> exported(Store& store) {
    std::ostringstream out;
    store.exportFeedback(out);
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// ---- What the dialog sends is accepted, and nothing else ---------------------------------

TEST(FeedbackRequest, AcceptsEverythingTheDialogBuilds) {
    struct Case {
        QString sent;
        Verdict verdict;
        QString text;
    };
    const Case cases[] = {
        {"I like it!\r", Verdict::Like, ""},
        {"I dislike it!\rToo small.\r\n\r\nSecond paragraph", Verdict::Dislike,
         "Too small.\r\n\r\nSecond paragraph"},
        {"No choice, just text", Verdict::None, "No choice, just text"},
        // Typed without a choice: the line break after it is the user's, not a verdict's.
        {"I like it!\r\nbut", Verdict::None, "I like it!\r\nbut"},
        {"I like it!\rI dislike it!\rx", Verdict::Like, "I dislike it!\rx"},
    };
    for (const Case& c : cases) {
        const auto parsed = parseFeedback(body(feedbackLines(c.sent, "a.b+c@x-y.example.org")));
        ASSERT_TRUE(std::holds_alternative<FeedbackRequest>(parsed)) << c.sent.toStdString();
        const auto& r = std::get<FeedbackRequest>(parsed);
        EXPECT_EQ(r.verdict, c.verdict) << c.sent.toStdString();
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.email, "a.b+c@x-y.example.org");
        EXPECT_EQ(r.appname, "KALDERN - Loadspire Gauge");
        EXPECT_EQ(r.version, "1.7");
    }
}

TEST(FeedbackRequest, RefusesWhatTheDialogNeverSends) {
    const std::string good = body(feedbackLines("fine"));
    const std::vector<std::string> bad = {
        "",
        "cmd=feedback",
        body({"cmd=check", "appname=A", "version=1.7", "feedback=x"}),
        body({"cmd=feedback", "appname=A", "version=1.7"}),                      // no text
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback="}),         // blank
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback= padded"}),  // untrimmed
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x\r\n"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=I like it!\r "}),
        body({"cmd=feedback", "appname=", "version=1.7", "feedback=x"}),
        body({"cmd=feedback", "appname=A\nB", "version=1.7", "feedback=x"}),
        body({"cmd=feedback", "appname=A", "version=1.7'--", "feedback=x"}),
        body({"cmd=feedback", "appname=A", "version=1", "feedback=x"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x", "email=no-at-sign"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x", "email=a@b."}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x", "email= a@b.org"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x",
              "email=" + QString(95, u'a') + "@b.org"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x", "admin=1"}),
        body({"cmd=feedback", "appname=A", "version=1.7", "feedback=x", "feedback=y"}),
        good + "&",
        good.substr(0, good.size() - 1) + "%",
        "cmd=feedback&appname=A&version=1.7&feedback=%FF",
    };
    for (const std::string& b : bad) {
        EXPECT_TRUE(std::holds_alternative<Refusal>(parseFeedback(b))) << b;
    }
}

TEST(FeedbackRequest, TakesTheLongestTextTheDialogAllowsInAnyScript) {
    EXPECT_EQ(kMaxFeedbackTextLength, lsg::feedback::kMaxTextLength);
    EXPECT_EQ(kMaxEmailLength, lsg::feedback::kMaxEmailLength);
    // Three UTF-8 bytes per character, each escaped to three: the heaviest body there is.
    const QString longest(kMaxFeedbackTextLength, QChar(0x65E5));
    const std::string max =
        body(feedbackLines("I dislike it!\r" + longest, QString(90, u'a') + "@b.org"));
    EXPECT_LE(max.size(), kMaxBodyBytes);
    EXPECT_TRUE(std::holds_alternative<FeedbackRequest>(parseFeedback(max)));
    EXPECT_TRUE(std::holds_alternative<Refusal>(
        parseFeedback(body(feedbackLines(longest + QChar(0x65E5))))));
}

TEST(CheckRequest, AcceptsTheProgramsRequestAndRefusesOthers) {
    const auto parsed = parseCheck(body(kCheckLines));
    ASSERT_TRUE(std::holds_alternative<CheckRequest>(parsed));
    EXPECT_EQ(std::get<CheckRequest>(parsed).locale, "en-US");
    QStringList noGuid = kCheckLines;
    noGuid[5] = "guid=";
    EXPECT_TRUE(std::holds_alternative<CheckRequest>(parseCheck(body(noGuid))));

    for (int drop = 0; drop < kCheckLines.size(); ++drop) {
        QStringList lines = kCheckLines;
        lines.removeAt(drop);
        EXPECT_TRUE(std::holds_alternative<Refusal>(parseCheck(body(lines)))) << drop;
    }
    for (const QString& line : {QString("guid=") + QString(65, u'a'), QString("os=a\rb"),
                                QString("version=4.4b"), QString("local=")}) {
        QStringList lines = kCheckLines;
        const QString name = line.left(line.indexOf('='));
        for (QString& l : lines) {
            if (l.startsWith(name + "=")) {
                l = line;
            }
        }
        EXPECT_TRUE(std::holds_alternative<Refusal>(parseCheck(body(lines)))) << line.toStdString();
    }
}

// ---- The store ----------------------------------------------------------------------------

TEST(Store, KeepsFeedbackAsSentAndExportsOneJsonLineEach) {
    TempFolder dir;
    {
        Store store(dir.path() + "/data");
        FeedbackRequest f;
        f.appname = "KALDERN - Loadspire Gauge";
        f.version = "1.7";
        f.verdict = Verdict::Dislike;
        f.text = QString::fromUtf8(
            "'); DROP TABLE feedback; --\r\n\"quoted\" \\ \t\x01 \xE6\x97\xA5 \xF0\x9F\x98\x80");
        store.addFeedback(f, 1796904000);  // 2026-12-10T12:00:00Z
        f.verdict = Verdict::None;
        f.text = "second";
        f.email = "a@b.org";
        store.addFeedback(f, 1796904001);
    }
    Store reopened(dir.path() + "/data");
    const auto lines = exported(reopened);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "{\"received\":\"2026-12-10T12:00:00Z\",\"like\":false,\"text\":\"'); DROP TABLE "
              "feedback; --\\r\\n\\\"quoted\\\" \\\\ \\t\\u0001 \xE6\x97\xA5 \xF0\x9F\x98\x80\","
              "\"email\":\"\",\"appname\":\"KALDERN - Loadspire Gauge\",\"version\":\"1.7\"}");
    EXPECT_EQ(
        lines[1],
        "{\"received\":\"2026-12-10T12:00:01Z\",\"like\":null,\"text\":\"second\","
        "\"email\":\"a@b.org\",\"appname\":\"KALDERN - Loadspire Gauge\",\"version\":\"1.7\"}");
}

TEST(Store, ReportsDistinctInstallsPerDayByVersionAndBySystem) {
    TempFolder dir;
    Store store(dir.path());
    auto check = [&](const char* version, const char* os, const char* guid, const char* day) {
        store.recordCheck({"KALDERN - Loadspire Gauge", version, os, "en-US", guid}, day);
    };
    check("1.7", "Debian", "a", "2026-12-09");
    check("1.7", "Debian", "a", "2026-12-09");  // the same install again
    check("1.7", "Fedora", "b", "2026-12-09");
    check("1.6", "Debian", "c", "2026-12-09");
    check("1.7", "Debian", "", "2026-12-09");  // no identifier: a check, no install
    check("1.7", "Debian", "a", "2026-12-10");
    std::ostringstream out;
    store.report(out);
    EXPECT_EQ(out.str(),
              "day\tby\tvalue\tinstalls\tchecks\n"
              "2026-12-09\tversion\t1.6\t1\t1\n"
              "2026-12-09\tversion\t1.7\t2\t4\n"
              "2026-12-09\tos\tDebian\t2\t4\n"
              "2026-12-09\tos\tFedora\t1\t1\n"
              "2026-12-10\tversion\t1.7\t1\t1\n"
              "2026-12-10\tos\tDebian\t1\t1\n");
}

TEST(Store, KeepsSettingsAndRefusesAFolderItCannotMake) {
    TempFolder dir;
    {
        Store store(dir.path());
        EXPECT_FALSE(store.setting("current-version").has_value());
        store.setSetting("current-version", "9.9");
        store.setSetting("current-version", "9.10");
    }
    EXPECT_EQ(Store(dir.path()).setting("current-version"), "9.10");

    std::ofstream(dir.path() + "/file") << "x";
    EXPECT_THROW(Store(dir.path() + "/file/data"), StoreError);
    EXPECT_THROW(Store(dir.path() + "/file"), StoreError);
}

TEST(CheckRecorder, WritesEveryCheckByItsStopEvenInBatches) {
    TempFolder dir;
    Store store(dir.path());
    {
        CheckRecorder recorder(store);
        for (int i = 0; i < 5000; ++i) {
            recorder.record({"A", "1.7", "Linux", "en-US", QString::number(i % 1000)},
                            "2026-12-10");
        }
        recorder.flush();
        std::ostringstream out;
        store.report(out);
        EXPECT_NE(out.str().find("\tversion\t1.7\t1000\t5000\n"), std::string::npos) << out.str();
        recorder.record({"A", "1.8", "Linux", "en-US", "x"}, "2026-12-10");
    }
    std::ostringstream out;
    store.report(out);
    EXPECT_NE(out.str().find("\tversion\t1.8\t1\t1\n"), std::string::npos) << out.str();
}

// ---- The feedback limit -------------------------------------------------------------------

TEST(RateLimiter, LetsABurstThroughThenOnePerRefill) {
    using namespace std::chrono_literals;
    RateLimiter limit(3, 60s, 2);
    const auto t0 = RateLimiter::Clock::time_point{} + 1h;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(limit.allow("a", t0));
    }
    EXPECT_FALSE(limit.allow("a", t0 + 59s));
    EXPECT_TRUE(limit.allow("a", t0 + 61s));
    EXPECT_FALSE(limit.allow("a", t0 + 62s));
    // A full table refuses newcomers while its clients are active, and forgets idle ones.
    EXPECT_TRUE(limit.allow("b", t0 + 62s));
    EXPECT_FALSE(limit.allow("c", t0 + 62s));
    EXPECT_TRUE(limit.allow("c", t0 + 62s + 10min));
}

// ---- Over HTTP on loopback ----------------------------------------------------------------

class ServerOnLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        m_store = std::make_unique<Store>(m_dir.path());
        ServiceSettings settings;
        settings.currentVersion = "9.9";
        settings.fallbackHost = "127.0.0.1";
        m_service = std::make_unique<Service>(*m_store, settings);
        m_service->install(m_server);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_port, 0);
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    void TearDown() override {
        while (!m_server.is_running()) {
            std::this_thread::yield();
        }
        m_server.stop();
        m_thread.join();
    }

    httplib::Client client() {
        httplib::Client c("127.0.0.1", m_port);
        c.set_connection_timeout(5);
        c.set_read_timeout(5);
        return c;
    }

    // Sends raw bytes and returns the status code of the answer (0 when there is none).
    int raw(const std::string& request) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(m_port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval tv{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            return -1;
        }
        (void)!::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[64] = {};
        const ssize_t n = ::recv(fd, buffer, sizeof buffer - 1, 0);
        ::close(fd);
        return n > 12 ? std::atoi(buffer + 9) : 0;
    }

    TempFolder m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Service> m_service;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

TEST_F(ServerOnLoopback, AnswersTheCheckAndRecordsIt) {
    auto c = client();
    const auto res =
        c.Post("/php/check2.php", body(kCheckLines), "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->body, "<version>9.9</version>\r\n<url>http://127.0.0.1:" +
                             std::to_string(m_port) + "/download/</url>\r\n");
    m_service->flush();
    std::ostringstream report;
    m_store->report(report);
    EXPECT_NE(report.str().find("\tversion\t1.7\t1\t1\n"), std::string::npos) << report.str();
}

TEST_F(ServerOnLoopback, ServesThePagesTheProgramOpens) {
    auto c = client();
    for (const char* path :
         {"/", "/help/loadspire-gauge/", "/download/", "/blog/credits-and-acknowledgements/",
          "/blog/how-to-uninstall-kaldern-software/"}) {
        const auto res = c.Get(path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, 200) << path;
        EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8") << path;
        EXPECT_EQ(res->body.find("<script"), std::string::npos) << path;
    }
    EXPECT_EQ(c.Get("/help/loadspire-gauge")->status, 301);
    for (const char* path : {"/nope", "/../server/store.cpp", "/%2e%2e/etc/passwd", "/feedback"}) {
        EXPECT_EQ(c.Get(path)->status, 404) << path;
    }
}

TEST_F(ServerOnLoopback, HostileRequestsGetErrorsAndTheServerStaysUp) {
    auto c = client();
    EXPECT_EQ(c.Get("/php/check2.php")->status, 405);
    EXPECT_EQ(c.Get("/php/feedback.php")->status, 405);
    EXPECT_EQ(c.Put("/php/feedback.php", body(feedbackLines("x")), "text/plain")->status, 405);
    EXPECT_EQ(c.Post("/", "a=b", "application/x-www-form-urlencoded")->status, 405);
    EXPECT_EQ(c.Delete("/help/loadspire-gauge/")->status, 405);
    EXPECT_EQ(c.Post("/php/check2.php", "\xff\xfe garbage", "text/plain")->status, 400);
    EXPECT_EQ(c.Post("/php/feedback.php", std::string(kMaxBodyBytes + 1, 'a'),
                     "application/x-www-form-urlencoded")
                  ->status,
              413);
    // A size announced but never sent, a chunked flood, a TLS greeting on the plain port.
    EXPECT_EQ(raw("POST /php/feedback.php HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999\r\n\r\n"),
              413);
    std::string chunked =
        "POST /php/check2.php HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 40; ++i) {
        chunked += "1000\r\n" + std::string(0x1000, 'a') + "\r\n";
    }
    EXPECT_GE(raw(chunked + "0\r\n\r\n"), 400);
    EXPECT_EQ(raw("\x16\x03\x01\x02\xfc\x03\x03 not http\r\n\r\n"), 400);

    const auto res =
        c.Post("/php/check2.php", body(kCheckLines), "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_TRUE(exported(*m_store).empty());
}

TEST_F(ServerOnLoopback, AFloodOfFeedbackFromOneClientIsCutOffAfterTheBurst) {
    auto c = client();
    int ok = 0;
    int limited = 0;
    for (int i = 0; i < 40; ++i) {
        const auto res =
            c.Post("/php/feedback.php", body(feedbackLines(QString("flood %1").arg(i))),
                   "application/x-www-form-urlencoded");
        ASSERT_TRUE(res) << i;
        ok += res->status == 200 && res->body == "OK";
        limited += res->status == 429;
    }
    EXPECT_EQ(ok, 5);
    EXPECT_EQ(limited, 35);
    const auto lines = exported(*m_store);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[4].find("\"text\":\"flood 4\""), std::string::npos);
    EXPECT_EQ(c.Get("/")->status, 200);
}

// ---- The command line ---------------------------------------------------------------------

TEST(Options, ParsesTheDocumentedForms) {
    const Options serve =
        parseOptions({"--listen", "127.0.0.1:8080", "--data", "d", "--current-version", "9.9",
                      "--download-url", "https://example.org/dl/"});
    EXPECT_EQ(serve.mode, Options::Mode::Serve);
    EXPECT_EQ(serve.host, "127.0.0.1");
    EXPECT_EQ(serve.port, 8080);
    EXPECT_EQ(serve.currentVersion, "9.9");
    EXPECT_EQ(parseOptions({"--listen", "[::1]:0", "--data", "d"}).host, "::1");
    EXPECT_EQ(parseOptions({"--data", "d", "--export-feedback"}).mode,
              Options::Mode::ExportFeedback);
    EXPECT_EQ(parseOptions({"--report", "--data", "d"}).mode, Options::Mode::Report);
}

TEST(Options, RefusesBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--listen", "127.0.0.1:8080"},
        {"--data", "d"},
        {"--listen", "127.0.0.1", "--data", "d"},
        {"--listen", "127.0.0.1:65536", "--data", "d"},
        {"--listen", "127.0.0.1:80x", "--data", "d"},
        {"--listen", "::1:80", "--data", "d"},
        {"--listen", "127.0.0.1:8080", "--data"},
        {"--listen", "127.0.0.1:8080", "--data", "d", "--bogus"},
        {"--listen", "127.0.0.1:8080", "--data", "d", "--data", "e"},
        {"--listen", "127.0.0.1:8080", "--data", "d", "--current-version", "beta"},
        {"--listen", "127.0.0.1:8080", "--data", "d", "--download-url", "file:///etc/passwd"},
        {"--listen", "127.0.0.1:8080", "--data", "d", "--tls-cert", "c.pem"},
        {"--data", "d", "--export-feedback", "--report"},
        {"--data", "d", "--export-feedback", "--listen", "127.0.0.1:1"},
    };
    for (const auto& args : bad) {
        std::string line;
        for (const auto& a : args) {
            line += a + " ";
        }
        EXPECT_THROW(parseOptions(args), UsageError) << line;
    }
}

}  // namespace
