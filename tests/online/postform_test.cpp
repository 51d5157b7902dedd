// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/postform.h"

#include "platform/exception.h"
#include "tests/online/sharedserver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lsg::net {
namespace {

using lsg::test::Behaviour;
using lsg::test::sharedServer;
using lsg::test::TestServer;
using Clock = std::chrono::steady_clock;

const QStringList kLines = {QStringLiteral("cmd=check"), QStringLiteral("local=en-US")};

PostOptions trusted() {
    PostOptions o;
    o.caFile = sharedServer().caFile();
    return o;
}

qint64 msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(FormBody, EncodesEveryByteAsTheTableSays) {
    struct Case {
        QStringList lines;
        QByteArray body;
    };
    const Case cases[] = {
        {{"cmd=check", "local=en-US"}, "cmd=check&local=en-US"},
        {{"a=x y  z"}, "a=x+y++z"},
        {{"a=+=&%"}, "a=%2B%3D%26%25"},
        {{"feedback=A & B"}, "feedback=A+%26+B"},
        {{"a=1\r\n2\r3\n"}, "a=1%0D%0A2%0D3%0A"},
        {{QStringLiteral("a=caf\u00e9")}, "a=caf%C3%A9"},
        {{QString::fromUtf8("a=\xF0\x9F\x98\x80")}, "a=%F0%9F%98%80"},
        {{"a=AZaz09*-._"}, "a=AZaz09*-._"},
        {{"a=~!"}, "a=%7E%21"},
        {{"email=", "b=2"}, "email=&b=2"},
        {{"a=b=c"}, "a=b%3Dc"},
        {{"my name=v"}, "my+name=v"},
        {{"bare"}, "bare="},
        {{"a=\t\x01/:?#"}, "a=%09%01%2F%3A%3F%23"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.join(u'|').toStdString());
        EXPECT_EQ(formBody(c.lines), c.body);
    }
}

TEST(DecodeReply, UsesTheCharsetOfTheContentType) {
    const QString text = QStringLiteral("caf\u00e9");
    EXPECT_EQ(decodeReply(text.toUtf8(), ""), text);
    EXPECT_EQ(decodeReply(text.toUtf8(), "text/html"), text);
    EXPECT_EQ(decodeReply(text.toUtf8(), "text/html; charset=UTF-8"), text);
    EXPECT_EQ(decodeReply(text.toLatin1(), "text/html; charset=ISO-8859-1"), text);
    EXPECT_EQ(decodeReply(text.toLatin1(), "text/html;CHARSET=\"iso-8859-1\""), text);
    EXPECT_EQ(decodeReply("OK", "text/plain; charset=us-ascii"), QStringLiteral("OK"));
    // A charset this build cannot decode falls back to UTF-8 rather than failing.
    EXPECT_EQ(decodeReply(text.toUtf8(), "text/html; charset=x-no-such-set"), text);
}

TEST(PostFormServer, SecurePathSendsItsHeadersAndTakesAnyStatus) {
    TestServer& s = sharedServer();
    s.clearRequests();
    EXPECT_EQ(PostForm(s.url("https", s.httpsPort(), "/reply/500"), kLines, 2000, trusted()),
              QStringLiteral("body of 500"));
    EXPECT_EQ(PostForm(s.url("https", s.httpsPort(), "/reply/404"), kLines, 2000, trusted()),
              QStringLiteral("body of 404"));
    const auto requests = s.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].scheme, "https");
    EXPECT_EQ(requests[0].contentType, "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(requests[0].connection, "close");
    EXPECT_EQ(requests[0].expect, "");
    EXPECT_EQ(requests[0].body, "cmd=check&local=en-US");
}

TEST(PostFormServer, PlainPathFailsOutsideTwoHundreds) {
    TestServer& s = sharedServer();
    s.clearRequests();
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/reply/200"), kLines, 2000),
              QStringLiteral("body of 200"));
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/reply/299"), kLines, 2000),
              QStringLiteral("body of 299"));
    for (const char* path : {"/reply/500", "/reply/404", "/reply/300", "/redirect/1"}) {
        SCOPED_TRACE(path);
        try {
            PostForm(s.url("http", s.httpPort(), path), kLines, 2000);
            ADD_FAILURE() << "no exception";
        } catch (const lsg::Exception& e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
    // An upper-case scheme is not "https://": the plain path's rules and headers apply.
    EXPECT_THROW(PostForm(s.url("HTTPS", s.httpsPort(), "/reply/500"), kLines, 2000, trusted()),
                 lsg::Exception);

    const auto requests = s.requests();
    ASSERT_EQ(requests.size(), 7);
    for (const auto& r : requests) {
        EXPECT_EQ(r.contentType, "application/x-www-form-urlencoded");
        EXPECT_EQ(r.connection, "");
        EXPECT_EQ(r.body, "cmd=check&local=en-US");
    }
    EXPECT_EQ(requests[6].scheme, "https");
}

TEST(PostFormServer, SecurePathFollowsFiveRedirectsButNotSix) {
    TestServer& s = sharedServer();
    EXPECT_EQ(PostForm(s.url("https", s.httpsPort(), "/redirect/5"), kLines, 2000, trusted()),
              QStringLiteral("arrived"));
    EXPECT_THROW(PostForm(s.url("https", s.httpsPort(), "/redirect/6"), kLines, 2000, trusted()),
                 lsg::Exception);
}

TEST(PostFormServer, SecurePathRedirectsOnlyToHttps) {
    TestServer& s = sharedServer();
    Behaviour toPlain;
    toPlain.mode = QStringLiteral("moved");
    toPlain.body = s.url("http", s.httpPort(), "/reply/200").toUtf8();
    s.configure(QStringLiteral("/moved/plain"), toPlain);
    Behaviour toSecure = toPlain;
    toSecure.body = s.url("https", s.httpsPort(), "/reply/200").toUtf8();
    s.configure(QStringLiteral("/moved/secure"), toSecure);
    s.clearRequests();

    EXPECT_THROW(PostForm(s.url("https", s.dualPort(), "/moved/plain"), kLines, 2000, trusted()),
                 UntrustedPeerError);
    const auto requests = s.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].scheme, "https");

    EXPECT_EQ(PostForm(s.url("https", s.dualPort(), "/moved/secure"), kLines, 2000, trusted()),
              QStringLiteral("body of 200"));
}

TEST(PostFormServer, HungOrSlowServersAreBoundedByTheTimeout) {
    TestServer& s = sharedServer();
    struct Case {
        const char* scheme;
        int port;
        const char* path;
        bool succeeds;
    };
    const Case cases[] = {
        {"http", s.httpPort(), "/hang", false},      {"https", s.httpsPort(), "/hang", false},
        {"http", s.httpPort(), "/slow/2000", false}, {"http", s.httpPort(), "/slow/100", true},
        {"https", s.httpsPort(), "/slow/100", true},
    };
    constexpr int kTimeout = 500;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scheme) + c.path);
        const auto start = Clock::now();
        if (c.succeeds) {
            EXPECT_EQ(PostForm(s.url(c.scheme, c.port, c.path), kLines, kTimeout, trusted()),
                      QStringLiteral("slow reply"));
        } else {
            EXPECT_THROW(PostForm(s.url(c.scheme, c.port, c.path), kLines, kTimeout, trusted()),
                         lsg::Exception);
            const qint64 took = msSince(start);
            EXPECT_GE(took, kTimeout - 50);
            // Room for sanitizer builds on a busy machine, yet below the hard bound of twice
            // the timeout that would apply if the wait for the reply were not tracked.
            EXPECT_LT(took, kTimeout + 400);
        }
    }
}

TEST(PostFormServer, TransportFailuresThrowWithAMessage) {
    TestServer& s = sharedServer();
    // untrusted: a TLS peer answered that could not be verified, so no plain retry may follow.
    const struct {
        QString url;
        PostOptions options;
        bool untrusted;
    } cases[] = {
        {s.url("http", s.httpPort(), "/reset"), {}, false},
        {s.url("https", s.httpsPort(), "/reset"), trusted(), false},
        // TLS against a plain server, and plain HTTP against a TLS server.
        {s.url("https", s.httpPort(), "/reply/200"), trusted(), false},
        {s.url("http", s.httpsPort(), "/reply/200"), {}, false},
        // Certificates: another host's, one no CA vouches for, and the test CA's without the
        // test CA (the system's store knows nothing of it).
        {s.url("https", s.wrongHostPort(), "/reply/200"), trusted(), true},
        {s.url("https", s.selfSignedPort(), "/reply/200"), trusted(), true},
        {s.url("https", s.httpsPort(), "/reply/200"), {}, true},
        {s.url("https", s.dualPort(), "/reply/200"), {}, true},
        // A trust store that cannot be read verifies nobody.
        {s.url("https", s.httpsPort(), "/reply/200"),
         [] {
             PostOptions o;
             o.caFile = QStringLiteral("/nonexistent/ca.pem");
             return o;
         }(),
         true},
        // Replies over the 1 MiB limit, with a known and an unknown length.
        {s.url("https", s.httpsPort(), "/big/2097152"), trusted(), false},
        {s.url("http", s.httpPort(), "/big/1048577"), {}, false},
        {s.url("https", s.httpsPort(), "/stream/2097152"), trusted(), false},
        {QStringLiteral("file:///etc/hostname"), {}, false},
        {QStringLiteral("http://127.0.0.1:1/"), {}, false},
        {QStringLiteral("https://127.0.0.1:1/"), {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        try {
            PostForm(c.url, kLines, 2000, c.options);
            ADD_FAILURE() << "no exception";
        } catch (const lsg::Exception& e) {
            EXPECT_FALSE(e.message().trimmed().isEmpty());
            EXPECT_EQ(dynamic_cast<const UntrustedPeerError*>(&e) != nullptr, c.untrusted)
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/big/1048576"), kLines, 2000).size(), 1048576);
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/stream/1048576"), kLines, 2000).size(),
              1048576);
}

TEST(PostFormServer, DecodesTheReplyByItsCharset) {
    TestServer& s = sharedServer();
    const QString both = QStringLiteral("caf\u00e9 \u20ac");
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/charset/none"), kLines, 2000), both);
    EXPECT_EQ(PostForm(s.url("https", s.httpsPort(), "/charset/utf-8"), kLines, 2000, trusted()),
              both);
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/charset/iso-8859-1"), kLines, 2000),
              QStringLiteral("caf\u00e9"));
    EXPECT_EQ(PostForm(s.url("http", s.httpPort(), "/charset/utf-16"), kLines, 2000), both);
}

TEST(PostFormServer, ConcurrentCallsAndCancellation) {
    TestServer& s = sharedServer();
    QString replies[2];
    std::thread a(
        [&] { replies[0] = PostForm(s.url("http", s.httpPort(), "/slow/100"), kLines, 2000); });
    std::thread b([&] {
        replies[1] = PostForm(s.url("https", s.httpsPort(), "/slow/100"), kLines, 2000, trusted());
    });
    a.join();
    b.join();
    EXPECT_EQ(replies[0], QStringLiteral("slow reply"));
    EXPECT_EQ(replies[1], QStringLiteral("slow reply"));

    std::atomic<bool> cancel{false};
    PostOptions options;
    options.cancel = &cancel;
    const auto start = Clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cancel.store(true);
    });
    EXPECT_THROW(PostForm(s.url("http", s.httpPort(), "/hang"), kLines, 10000, options),
                 lsg::Exception);
    stopper.join();
    EXPECT_LT(msSince(start), 1000);
}

}  // namespace
}  // namespace lsg::net
