// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/feedback.h"  // the dialog's limits only (header constants, nothing linked)
#include "server/clientaddress.h"
#include "server/headscan.h"
#include "server/httpserver.h"
#include "server/options.h"
#include "server/outputtext.h"
#include "server/ratelimit.h"
#include "server/requests.h"
#include "server/service.h"
#include "server/sqlitestore.h"
#include "tests/server/servertesting.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <map>
#include <memory>
#include <thread>

namespace {

using namespace lsg::server;
using namespace lsg::server::testing;
using namespace std::chrono_literals;

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

// ---- Limits that cannot be turned against others --------------------------------------

TEST(RateLimiter, LetsABurstThroughThenOnePerRefillAndForgetsTheLeastRecentlySeen) {
    RateLimiter limit(3, 60s, 2);
    const auto t0 = RateLimiter::Clock::time_point{} + 1h;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(limit.allow("a", t0));
    }
    EXPECT_FALSE(limit.allow("a", t0 + 59s));
    EXPECT_TRUE(limit.allow("a", t0 + 61s));
    EXPECT_FALSE(limit.allow("a", t0 + 62s));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(limit.allow("b", t0 + 63s));
    }
    EXPECT_FALSE(limit.allow("a", t0 + 64s));  // a is now seen more recently than b
    // A full table never refuses a newcomer: it forgets the client seen least recently (b),
    // while a, seen since, stays limited.
    EXPECT_TRUE(limit.allow("c", t0 + 65s));
    EXPECT_FALSE(limit.allow("a", t0 + 66s));
    EXPECT_TRUE(limit.allow("b", t0 + 67s));  // forgotten, so a fresh bucket
}

TEST(NewValueLimiter, LimitsNewValuesPerClientButNeverValuesSeenThatDay) {
    NewValueLimiter limit(2, 1h);
    const auto t0 = NewValueLimiter::Clock::time_point{} + 1h;
    EXPECT_TRUE(limit.admit("flood", "2026-12-10", 1, t0));
    EXPECT_TRUE(limit.admit("flood", "2026-12-10", 2, t0));
    EXPECT_FALSE(limit.admit("flood", "2026-12-10", 3, t0));
    // Installs already seen go on checking, from any address; other addresses are unaffected.
    EXPECT_TRUE(limit.admit("flood", "2026-12-10", 1, t0));
    EXPECT_TRUE(limit.admit("office", "2026-12-10", 2, t0));
    EXPECT_TRUE(limit.admit("office", "2026-12-10", 3, t0));
    // A new day starts with no value seen.
    EXPECT_FALSE(limit.admit("flood", "2026-12-11", 1, t0));
    EXPECT_TRUE(limit.admit("flood", "2026-12-11", 1, t0 + 1h));
}

TEST(ClientAddress, TakesTheEntryAsManyHopsFromTheRightAsThereAreTrustedProxies) {
    struct Case {
        std::vector<std::string_view> lines;
        int hops;
        std::string client;
    };
    const Case cases[] = {
        {{"203.0.113.7"}, 0, "10.0.0.1"},  // no proxy trusted: the peer
        {{}, 1, "10.0.0.1"},
        {{"203.0.113.7"}, 1, "203.0.113.7"},
        // What the client wrote comes first; the proxy appended what it saw.
        {{"6.6.6.6, 203.0.113.7"}, 1, "203.0.113.7"},
        // A proxy that adds a line of its own instead of extending the client's.
        {{"6.6.6.6", "203.0.113.7"}, 1, "203.0.113.7"},
        {{"6.6.6.6, 203.0.113.7", " 198.51.100.2 "}, 2, "203.0.113.7"},
        {{"203.0.113.7"}, 2, "203.0.113.7"},  // fewer entries than proxies: the leftmost
        {{"6.6.6.6, not-an-address"}, 1, "10.0.0.1"},
        {{"6.6.6.6,"}, 1, "10.0.0.1"},
        {{"[2001:db8::1]"}, 1, "2001:db8::1"},
        {{"::ffff:203.0.113.7"}, 1, "203.0.113.7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clientAddress("10.0.0.1", c.lines, c.hops), c.client)
            << (c.lines.empty() ? "" : c.lines.back()) << " hops " << c.hops;
    }
}

TEST(ClientAddress, CountsIpv6ByItsSlash64) {
    EXPECT_EQ(limitKey("203.0.113.7"), "203.0.113.7");
    EXPECT_EQ(limitKey("::ffff:203.0.113.7"), "203.0.113.7");
    EXPECT_EQ(limitKey("2001:db8:1:2:aaaa::1"), "2001:db8:1:2::/64");
    EXPECT_EQ(limitKey("2001:db8:1:2:ffff:ffff:ffff:ffff"), limitKey("2001:db8:1:2::1"));
    EXPECT_NE(limitKey("2001:db8:1:3::1"), limitKey("2001:db8:1:2::1"));
    EXPECT_EQ(limitKey("unknown"), "unknown");
}

// ---- Request heads are bounded as they arrive --------------------------------------------

TEST(HeadScanner, RefusesAHeadAsSoonAsItPassesALimitWhateverTheChunks) {
    const HeadLimits limits{16, 32, 3};
    using S = HeadScanner::Status;
    struct Case {
        std::string bytes;
        S status;
    };
    const std::string line16 = "GET /" + std::string(11, 'a');  // exactly the limit
    const Case cases[] = {
        {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", S::Complete},
        {"\r\nGET / HTTP/1.1\r\n\r\n", S::Complete},  // a blank line before is allowed
        {"GET / HTTP/1.1\r\nHost: x\r\n", S::Incomplete},
        {line16 + "\r\n\r\n", S::Complete},
        {line16 + "a", S::LineTooLong},
        {line16 + "a\r\n\r\n", S::LineTooLong},
        {"GET /\r\n" + std::string(29, 'h') + "\r\n\r\n", S::Complete},  // 31 bytes of headers
        {"GET /\r\n" + std::string(30, 'h') + "\r\n\r\n", S::Complete},  // 32
        {"GET /\r\n" + std::string(31, 'h') + "\r\n\r\n", S::HeadTooLarge},
        {"GET /\r\n" + std::string(40, 'h'), S::HeadTooLarge},  // refused before its end
        {"GET /\r\na\r\nb\r\nc\r\n\r\n", S::Complete},
        {"GET /\r\na\r\nb\r\nc\r\nd\r\n", S::HeadTooLarge},
        {"\x16\x03\x01\x02\x00", S::BadRequest},  // a TLS greeting on the plain port
        {" GET / HTTP/1.1\r\n\r\n", S::BadRequest},
        {"G(T / HTTP/1.1\r\n\r\n", S::BadRequest},
        {std::string(20, '\n'), S::BadRequest},
    };
    for (const Case& c : cases) {
        HeadScanner whole(limits);
        EXPECT_EQ(whole.scan(c.bytes), c.status) << c.bytes;
        // Byte by byte, as a slow client sends it: the same verdict, at the same end.
        HeadScanner trickle(limits);
        S status = S::Incomplete;
        for (std::size_t n = 1; n <= c.bytes.size() && status == S::Incomplete; ++n) {
            status = trickle.scan(std::string_view(c.bytes).substr(0, n));
        }
        EXPECT_EQ(status, c.status) << c.bytes;
        if (c.status == S::Complete) {
            EXPECT_EQ(trickle.headEnd(), whole.headEnd());
            EXPECT_EQ(whole.headEnd(), c.bytes.size());
        }
    }
}

// ---- What the maker's terminal shows -----------------------------------------------------

TEST(OutputText, EscapesEveryControlAndDirectionCharacterAndKeepsJsonValid) {
    const QString hostile = QString::fromUtf16(
        u"a\u009b2J\u0085b\u2028c\u2029d\u202ee\u2066f\u200fg\u061ch\u007f\u0001\t\\\"q\u00e9"
        u"\U0001F600");
    const std::string json = jsonString(hostile);
    EXPECT_EQ(
        json,
        "\"a\\u009b2J\\u0085b\\u2028c\\u2029d\\u202ee\\u2066f\\u200fg\\u061ch\\u007f\\u0001\\t"
        "\\\\\\\"q\xc3\xa9\xf0\x9f\x98\x80\"");
    const auto parsed = QJsonDocument::fromJson(QByteArray::fromStdString("{\"t\":" + json + "}"));
    EXPECT_EQ(parsed.object().value("t").toString(), hostile);

    EXPECT_EQ(
        reportText(hostile),
        "a\\u009b2J\\u0085b\\u2028c\\u2029d\\u202ee\\u2066f\\u200fg\\u061ch\\u007f\\u0001\\u0009"
        "\\\\\"q\xc3\xa9\xf0\x9f\x98\x80");
    // A lone half of a surrogate pair is no character: escaped, never written as broken UTF-8.
    const QChar lone[] = {QChar(0xD800), QChar(u'x')};
    EXPECT_EQ(jsonString(QString(lone, 2)), "\"\\ud800x\"");
    EXPECT_EQ(reportText(QString(lone, 2)), "\\ud800x");
}

// ---- Over HTTP on loopback ----------------------------------------------------------------

// A connection to the server under test, speaking raw bytes.
class Connection {
public:
    explicit Connection(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval tv{20, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Connection() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool send(const std::string& bytes) {
        return m_fd >= 0 &&
               ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }

    struct Response {
        int status = 0;  // 0: none came
        std::map<std::string, std::string> headers;
        std::string body;
    };
    // One response; the body by its Content-Length (none for a HEAD request).
    Response read(bool headOnly = false) {
        Response r;
        std::size_t headEnd;
        while ((headEnd = m_pending.find("\r\n\r\n")) == std::string::npos) {
            if (!fill()) {
                return r;
            }
        }
        std::istringstream head(m_pending.substr(0, headEnd));
        std::string line;
        std::getline(head, line);
        r.status = line.size() > 12 ? std::atoi(line.c_str() + 9) : 0;
        while (std::getline(head, line)) {
            const auto colon = line.find(':');
            if (colon != std::string::npos) {
                r.headers[line.substr(0, colon)] = line.substr(colon + 2, line.size() - colon - 3);
            }
        }
        const auto declared = r.headers.find("Content-Length");
        const std::size_t length = declared == r.headers.end() || headOnly
                                       ? 0
                                       : std::size_t(std::atol(declared->second.c_str()));
        while (m_pending.size() < headEnd + 4 + length && fill()) {
        }
        r.body = m_pending.substr(headEnd + 4, length);
        m_pending.erase(0, headEnd + 4 + length);
        return r;
    }

    // True once the server has closed the connection (waits for it, up to the read timeout).
    bool closedByServer() {
        while (fill()) {
            m_pending.clear();
        }
        return m_closed;
    }

    bool open() const { return m_fd >= 0; }

private:
    bool fill() {
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = n == 0 || errno == ECONNRESET;
            return false;
        }
        m_pending.append(buffer, std::size_t(n));
        return true;
    }

    int m_fd = -1;
    std::string m_pending;
    bool m_closed = false;
};

std::string post(const std::string& path, const std::string& content,
                 const std::string& extraHeaders = {}) {
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(content.size()) + "\r\n\r\n" + content;
}

std::string get(const std::string& path, const std::string& method = "GET") {
    return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

class ServerOnLoopback : public ::testing::Test {
protected:
    void SetUp() override { start(Service::httpSettings()); }
    void TearDown() override { stop(); }

    void start(const HttpSettings& http) {
        m_store = std::make_unique<SqliteStore>(m_dir.path());
        ServiceSettings settings;
        settings.currentVersion = "9.9";
        settings.fallbackHost = "127.0.0.1";
        m_service = std::make_unique<Service>(*m_store, settings);
        m_server = std::make_unique<HttpServer>(*m_service, http);
        m_port = m_server->listen("127.0.0.1", 0);
        ASSERT_GT(m_port, 0);
        m_run = std::async(std::launch::async, [this] { m_server->run(); });
    }
    // True when run() returned within the time.
    bool stop(std::chrono::seconds within = 30s) {
        if (!m_server) {
            return true;
        }
        m_server->stop();
        const bool ended = m_run.wait_for(within) == std::future_status::ready;
        if (ended) {
            m_server.reset();
        }
        return ended;
    }
    void restart(const HttpSettings& http) {
        ASSERT_TRUE(stop());
        m_service.reset();
        m_store.reset();
        start(http);
    }

    Connection::Response exchange(const std::string& request) {
        Connection c(m_port);
        c.send(request);
        return c.read(request.rfind("HEAD ", 0) == 0);
    }

    TempFolder m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Service> m_service;
    std::unique_ptr<HttpServer> m_server;
    std::future<void> m_run;
    int m_port = 0;
};

TEST_F(ServerOnLoopback, AnswersTheCheckAndRecordsIt) {
    const auto res = exchange(post("/php/check2.php", body(kCheckLines)));
    EXPECT_EQ(res.status, 200);
    EXPECT_EQ(res.body, "<version>9.9</version>\r\n<url>http://127.0.0.1/download/</url>\r\n");
    EXPECT_EQ(res.headers.at("X-Content-Type-Options"), "nosniff");
    m_service->flush();
    EXPECT_NE(reported(*m_store).find("\tversion\t1.7\t1\t1\n"), std::string::npos);
}

TEST_F(ServerOnLoopback, ServesThePagesTheProgramOpens) {
    for (const char* path :
         {"/", "/help/loadspire-gauge/", "/download/", "/blog/credits-and-acknowledgements/",
          "/blog/how-to-uninstall-kaldern-software/"}) {
        auto res = exchange(get(path));
        EXPECT_EQ(res.status, 200) << path;
        EXPECT_EQ(res.headers["Content-Type"], "text/html; charset=utf-8") << path;
        EXPECT_EQ(res.body.find("<script"), std::string::npos) << path;
    }
    auto head = exchange(get("/", "HEAD"));
    EXPECT_EQ(head.status, 200);
    EXPECT_NE(head.headers["Content-Length"], "0");
    auto moved = exchange(get("/help/loadspire-gauge?x=1"));
    EXPECT_EQ(moved.status, 301);
    EXPECT_EQ(moved.headers["Location"], "/help/loadspire-gauge/");
    for (const char* path : {"/nope", "/../server/store.cpp", "/%2e%2e/etc/passwd", "/feedback"}) {
        EXPECT_EQ(exchange(get(path)).status, 404) << path;
    }
}

TEST_F(ServerOnLoopback, HostileRequestsGetErrorsAndTheServerStaysUp) {
    EXPECT_EQ(exchange(get("/php/check2.php")).status, 405);
    EXPECT_EQ(exchange(get("/php/feedback.php")).headers["Allow"], "POST");
    EXPECT_EQ(exchange("PUT /php/feedback.php HTTP/1.1\r\nContent-Length: 1\r\n\r\nx").status, 405);
    EXPECT_EQ(exchange(post("/", "a=b")).status, 405);
    EXPECT_EQ(exchange(get("/help/loadspire-gauge/", "DELETE")).status, 405);
    EXPECT_EQ(exchange(post("/php/check2.php", "\xff\xfe garbage")).status, 400);
    EXPECT_EQ(exchange(post("/php/feedback.php", std::string(kMaxBodyBytes + 1, 'a'))).status, 413);
    // A size announced but never sent, a chunked flood, a TLS greeting on the plain port.
    EXPECT_EQ(
        exchange("POST /php/feedback.php HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999\r\n\r\n")
            .status,
        413);
    std::string chunked =
        "POST /php/check2.php HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 40; ++i) {
        chunked += "1000\r\n" + std::string(0x1000, 'a') + "\r\n";
    }
    EXPECT_EQ(exchange(chunked + "0\r\n\r\n").status, 413);
    EXPECT_EQ(exchange("\x16\x03\x01\x02\xfc\x03\x03 not http\r\n\r\n").status, 400);
    EXPECT_EQ(
        exchange("GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n")
            .status,
        400);
    // The head's limits, each at and past its edge.
    const std::string longest = "GET /" + std::string(8192 - 14, 'a') + " HTTP/1.1";
    ASSERT_EQ(longest.size(), 8192u);
    EXPECT_EQ(exchange(longest + "\r\n\r\n").status, 404);
    EXPECT_EQ(exchange("GET /a" + longest.substr(5) + "\r\n\r\n").status, 414);
    std::string lines = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 100; ++i) {
        lines += "X-" + std::to_string(i) + ": y\r\n";
    }
    EXPECT_EQ(exchange(lines + "\r\n").status, 200);
    EXPECT_EQ(exchange(lines + "X-101: y\r\n\r\n").status, 431);
    const std::string big = "GET / HTTP/1.1\r\nX: " + std::string(16 * 1024, 'a') + "\r\n\r\n";
    EXPECT_EQ(exchange(big).status, 431);

    // Whatever came before, an ordinary check is answered, and nothing was stored.
    EXPECT_EQ(exchange(post("/php/check2.php", body(kCheckLines))).status, 200);
    EXPECT_TRUE(exported(*m_store).empty());
}

TEST_F(ServerOnLoopback, KeepsAConnectionForTheNextRequestAndAnswers100Continue) {
    Connection c(m_port);
    const std::string check = body(kCheckLines);
    ASSERT_TRUE(c.send(post("/php/check2.php", check) + post("/php/check2.php", check)));
    EXPECT_EQ(c.read().status, 200);
    EXPECT_EQ(c.read().status, 200);  // pipelined
    // A client that sends its body only when told to go on (curl does so for larger bodies).
    const std::string text = body(feedbackLines("after the interim answer"));
    ASSERT_TRUE(
        c.send("POST /php/feedback.php HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n"
               "Content-Length: " +
               std::to_string(text.size()) + "\r\n\r\n"));
    EXPECT_EQ(c.read().status, 100);
    ASSERT_TRUE(c.send(text));
    const auto res = c.read();
    EXPECT_EQ(res.status, 200);
    EXPECT_EQ(res.body, "OK");
    ASSERT_EQ(exported(*m_store).size(), 1u);
}

TEST_F(ServerOnLoopback, AFloodOfFeedbackFromOneClientIsCutOffAfterTheBurst) {
    Connection c(m_port);
    int ok = 0;
    int limited = 0;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(
            c.send(post("/php/feedback.php", body(feedbackLines(QString("flood %1").arg(i))))));
        const auto res = c.read();
        ok += res.status == 200 && res.body == "OK";
        limited += res.status == 429;
    }
    EXPECT_EQ(ok, 5);
    EXPECT_EQ(limited, 35);
    const auto lines = exported(*m_store);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[4].find("\"text\":\"flood 4\""), std::string::npos);
    EXPECT_EQ(exchange(get("/")).status, 200);
}

TEST_F(ServerOnLoopback, BehindAProxyCountsTheForwardedClientNotWhatItClaims) {
    HttpSettings http = Service::httpSettings();
    http.trustedProxies = 1;
    restart(http);
    auto feedbackFrom = [&](const std::string& forwarded) {
        return exchange(post("/php/feedback.php", body(feedbackLines("x")),
                             "X-Forwarded-For: " + forwarded + "\r\n"))
            .status;
    };
    // The client rotates what it writes; the proxy's entry at the right stays its own.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(feedbackFrom("6.6.6." + std::to_string(i) + ", 203.0.113.7"), 200);
    }
    EXPECT_EQ(feedbackFrom("6.6.6.9, 203.0.113.7"), 429);
    EXPECT_EQ(feedbackFrom("203.0.113.8"), 200);  // someone else behind the same proxy
    // Addresses of one IPv6 /64 share a limit.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(feedbackFrom("2001:db8:0:1::" + std::to_string(i + 1)), 200);
    }
    EXPECT_EQ(feedbackFrom("2001:db8:0:1:ffff::1"), 429);
}

TEST_F(ServerOnLoopback, SlowAndIdleClientsAreClosedAndHoldNoOneUp) {
    HttpSettings http = Service::httpSettings();
    http.headDeadline = 1s;
    http.idleTimeout = 200ms;
    restart(http);
    std::vector<std::unique_ptr<Connection>> slow;
    std::vector<std::unique_ptr<Connection>> idle;
    for (int i = 0; i < 64; ++i) {
        slow.push_back(std::make_unique<Connection>(m_port));
        ASSERT_TRUE(slow.back()->send("POST /php/check2.php HTTP/1.1\r\nHost: x\r\nX-a"));
        idle.push_back(std::make_unique<Connection>(m_port));
        ASSERT_TRUE(idle.back()->send(get("/")));
        ASSERT_EQ(idle.back()->read().status, 200);
    }
    // Meanwhile a fresh client is answered at once: no one waits for a worker.
    EXPECT_EQ(exchange(post("/php/check2.php", body(kCheckLines))).status, 200);
    // A head still unfinished at its deadline is dropped, though bytes keep coming.
    ASSERT_TRUE(slow.front()->send("a"));
    for (auto& c : slow) {
        EXPECT_TRUE(c->closedByServer());
    }
    for (auto& c : idle) {
        EXPECT_TRUE(c->closedByServer());
    }
}

TEST_F(ServerOnLoopback, WhenConnectionsRunShortIdleOnesMakeRoom) {
    HttpSettings http = Service::httpSettings();
    http.maxConnections = 8;
    restart(http);
    std::vector<std::unique_ptr<Connection>> idle;
    for (int i = 0; i < 8; ++i) {
        idle.push_back(std::make_unique<Connection>(m_port));
        ASSERT_TRUE(idle.back()->send(get("/")));
        ASSERT_EQ(idle.back()->read().status, 200);
    }
    EXPECT_EQ(exchange(post("/php/check2.php", body(kCheckLines))).status, 200);
    EXPECT_TRUE(idle.front()->closedByServer());
}

TEST_F(ServerOnLoopback, StopsPromptlyWhileClientsHangOn) {
    std::vector<std::unique_ptr<Connection>> hanging;
    for (int i = 0; i < 32; ++i) {
        hanging.push_back(std::make_unique<Connection>(m_port));
        ASSERT_TRUE(hanging.back()->send(i % 2 ? "GET / HTTP/1.1\r\nX: " : get("/")));
    }
    ASSERT_EQ(hanging[0]->read().status, 200);
    // Far below the deadlines those clients could otherwise hold the server for.
    EXPECT_TRUE(stop(5s));
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
    const Options shared = parseOptions({"--listen", "0.0.0.0:80", "--database",
                                         "postgresql://lsg@db.example.org/lsg", "--trust-proxy"});
    EXPECT_EQ(shared.databaseUrl, "postgresql://lsg@db.example.org/lsg");
    EXPECT_TRUE(shared.dataFolder.empty());
    EXPECT_EQ(shared.trustProxy, 1);
    EXPECT_EQ(parseOptions({"--trust-proxy", "2", "--listen", "[::]:80", "--data", "d"}).trustProxy,
              2);
    EXPECT_EQ(parseOptions({"--database", "postgres://h/db", "--report"}).mode,
              Options::Mode::Report);
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
        {"--listen", "127.0.0.1:80", "--data", "d", "--database", "postgresql://h/db"},
        {"--listen", "127.0.0.1:80", "--database", "mysql://h/db"},
        {"--listen", "127.0.0.1:80", "--data", "d", "--trust-proxy", "0"},
        {"--listen", "127.0.0.1:80", "--data", "d", "--trust-proxy", "two"},
        {"--data", "d", "--report", "--trust-proxy"},
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
