// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <thread>
#include <vector>

#include "online/emailcheck.h"
#include "online/feedback.h"
#include "tests/online/sharedserver.h"

namespace {

using lsg::feedback::Choice;
using lsg::test::Behaviour;
using lsg::test::RefusingPort;
using lsg::test::sharedServer;
using lsg::test::TestServer;

struct EmailCase {
    const char* address;
    bool valid;
};

TEST(EmailCheck, AcceptsAndRejectsByShape) {
    const EmailCase cases[] = {
        // Rejected.
        {"user@example", false},           // no dot after the at-sign
        {"user@.example.com", false},      // domain starts with a dot
        {"user@example.com.", false},      // ends in a dot
        {"user@example.com-", false},      // ends in a hyphen
        {"us er@example.com", false},      // blank inside
        {"user@exa mple.com", false},      // blank in the domain
        {"jos\u00e9@example.com", false},  // non-ASCII letter
        {"user@ex\u00e4mple.com", false},  // non-ASCII letter in the domain
        {"user@@example.com", false},      // two at-signs in a row
        {"a@b@example.com", false},        // two at-signs apart
        {"", false},
        {"@example.com", false},  // no local part
        {"user@", false},
        {"user@example.c_m", false},  // underscore only belongs to the local part
        {"user(x)@example.com", false},
        {"user@example.com\n", false},  // a final line feed is not part of an address
        {"\nuser@example.com", false},
        {"user@example..", false},
        // Accepted.
        {"user@example..com", true},  // two dots in a row after the first label
        {"user@-example.com", true},  // label starting with a hyphen
        {".user@example.com", true},  // local part starting with a dot
        {"user.@example.com", true},  // local part ending with a dot
        {"USER@EXAMPLE.COM", true},
        {"MiXeD.Case@Example.Org", true},
        {"a+tag_x-y@sub.example.co.uk", true},
        {"a@b.c", true},
        {"1@2.3", true},
        {"user@example.c-m", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lsg::feedback::isValidEmail(QString::fromUtf8(c.address)), c.valid) << c.address;
    }
}

TEST(EmailCheck, EmbeddedNulAndLoneSurrogateAreRejected) {
    QString withNul = QStringLiteral("user@example.com");
    withNul.insert(4, QChar(u'\0'));
    EXPECT_FALSE(lsg::feedback::isValidEmail(withNul));
    QString surrogate = QStringLiteral("user@example.com");
    surrogate.insert(2, QChar(0xD800));
    EXPECT_FALSE(lsg::feedback::isValidEmail(surrogate));
}

TEST(EmailCheck, IsSafeFromManyThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong] {
            for (int i = 0; i < 200; ++i) {
                if (!lsg::feedback::isValidEmail(QStringLiteral("a@b.c")) ||
                    lsg::feedback::isValidEmail(QStringLiteral("a@b"))) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST(FeedbackText, ChoiceLineThenTrimmedText) {
    using lsg::feedback::feedbackText;
    EXPECT_EQ(feedbackText(Choice::None, QString()), QString());
    EXPECT_EQ(feedbackText(Choice::None, QStringLiteral(" \r\n\t \r\n")), QString());
    EXPECT_EQ(feedbackText(Choice::Like, QString()), QStringLiteral("I like it!\r"));
    EXPECT_EQ(feedbackText(Choice::Dislike, QStringLiteral("\r\n\r\n  slow\r\n\r\nstart \r\n")),
              QStringLiteral("I dislike it!\rslow\r\n\r\nstart"));
    EXPECT_EQ(feedbackText(Choice::None, QStringLiteral("\x01\x1f text\x7f")),
              QStringLiteral("text\x7f"));
    // Only codes up to 32 are trimmed: a no-break space stays.
    EXPECT_EQ(lsg::feedback::trimControls(QStringLiteral("\u00a0x\u00a0")),
              QStringLiteral("\u00a0x\u00a0"));
}

TEST(RequestLines, InOrderWithEmailOnlyWhenGiven) {
    using lsg::feedback::requestLines;
    const QStringList base{QStringLiteral("cmd=feedback"),
                           QStringLiteral("appname=KALDERN - Loadspire Gauge"),
                           QStringLiteral("version=1.7"), QStringLiteral("feedback=a=b&c")};
    EXPECT_EQ(requestLines(QStringLiteral("KALDERN - Loadspire Gauge"), QStringLiteral("1.7"),
                           QStringLiteral("a=b&c"), QString()),
              base);
    EXPECT_EQ(requestLines(QStringLiteral("KALDERN - Loadspire Gauge"), QStringLiteral("1.7"),
                           QStringLiteral("a=b&c"), QStringLiteral("x@y.z")),
              base + QStringList{QStringLiteral("email=x@y.z")});
}

TEST(SuccessReply, OnlyOkWithBlanksAround) {
    struct Case {
        const char* reply;
        bool ok;
    };
    const Case cases[] = {
        {"OK", true},       {"  OK  ", true},     {"\r\n\r\nOK\r\n", true},
        {"\nOK\n\n", true}, {"\t\rOK\r", true},   {"ok", false},
        {"Ok", false},      {"OK\nOK", false},    {"OK\r\nOK", false},
        {"OK.", false},     {"", false},          {"NOT OK", false},
        {"O K", false},     {"OK\r\n\x01", true}, {"\u00a0OK", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lsg::feedback::isSuccessReply(QString::fromUtf8(c.reply)), c.ok)
            << QString::fromUtf8(c.reply).toUtf8().toPercentEncoding().constData();
    }
}

// ---- The send against the local servers ---------------------------------------------------

class FeedbackSend : public ::testing::Test {
protected:
    void SetUp() override {
        setReply(QByteArrayLiteral("OK"));
        sharedServer().clearRequests();
    }
    static void setReply(const QByteArray& body, const QString& mode = QStringLiteral("reply")) {
        Behaviour b;
        b.mode = mode;
        b.body = body;
        sharedServer().configure(QStringLiteral("/php/feedback.php"), b);
    }
    static lsg::feedback::SendConfig config(int port, int timeoutMs = 3000) {
        lsg::feedback::SendConfig c;
        c.host = QStringLiteral("127.0.0.1:") + QString::number(port);
        c.timeoutMs = timeoutMs;
        c.options.caFile = sharedServer().caFile();
        return c;
    }
    static QStringList schemes() {
        QStringList s;
        for (const auto& r : sharedServer().requests()) {
            EXPECT_EQ(r.path, QStringLiteral("/php/feedback.php"));
            s << r.scheme;
        }
        return s;
    }
    const QStringList m_lines = lsg::feedback::requestLines(
        QStringLiteral("KALDERN - Loadspire Gauge"), QStringLiteral("1.7"),
        QStringLiteral("I like it!\r"), QString());
};

TEST_F(FeedbackSend, SecureFirstWithTheRawForm) {
    EXPECT_TRUE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort())));
    const auto requests = sharedServer().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].scheme, QStringLiteral("https"));
    EXPECT_EQ(requests[0].method, QStringLiteral("POST"));
    EXPECT_EQ(requests[0].body,
              QByteArrayLiteral("cmd=feedback&appname=KALDERN+-+Loadspire+Gauge&version=1.7&"
                                "feedback=I+like+it%21%0D"));
}

// Whatever stops the secure attempt (a reset, as a network that blocks HTTPS sends, or a TLS
// error), the text never goes out in plain HTTP: both listeners answer plain HTTP with "OK" and
// record every request.
TEST_F(FeedbackSend, NothingGoesOutInPlainWhenTheSecureAttemptFails) {
    const struct {
        const char* name;
        int port;
    } cases[] = {
        {"every TLS handshake reset", sharedServer().tlsResetPort()},
        {"a plain listener breaks the handshake", sharedServer().httpPort()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sharedServer().clearRequests();
        EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, config(c.port)));
        EXPECT_EQ(schemes(), QStringList());
    }
}

TEST_F(FeedbackSend, NothingGoesOutInPlainAfterAnUnverifiedPeer) {
    // The dual port answers plain HTTP too: a retry in the clear would be recorded there.
    lsg::feedback::SendConfig untrusted = config(sharedServer().dualPort());
    untrusted.options.caFile.clear();
    EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, untrusted));
    EXPECT_EQ(schemes(), QStringList());

    Behaviour toPlain;
    toPlain.mode = QStringLiteral("moved");
    toPlain.body = TestServer::url("http", sharedServer().dualPort(), "/php/feedback.php").toUtf8();
    sharedServer().configure(QStringLiteral("/php/feedback.php"), toPlain);
    EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort())));
    EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
}

TEST_F(FeedbackSend, RepliesOtherThanOkFail) {
    for (const QByteArray& body :
         {QByteArrayLiteral("ok"), QByteArrayLiteral("OK\nOK"), QByteArrayLiteral("ERROR")}) {
        setReply(body);
        sharedServer().clearRequests();
        EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort())))
            << body.constData();
        // A reply, even a bad one, is no reason to try again.
        EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
    }
    setReply(QByteArrayLiteral(" \r\n OK \r\n\r\n"));
    EXPECT_TRUE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort())));
}

TEST_F(FeedbackSend, ErrorStatusCountsOnlyByItsBody) {
    // The secure path takes any status.
    Behaviour b;
    b.status = 500;
    b.body = QByteArrayLiteral("OK");
    sharedServer().configure(QStringLiteral("/php/feedback.php"), b);
    EXPECT_TRUE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort())));
}

TEST_F(FeedbackSend, NothingListeningFailsWithoutThrowing) {
    const RefusingPort refusing;
    EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, config(refusing.port())));
}

TEST_F(FeedbackSend, HungServerEndsAfterOneAttempt) {
    setReply(QByteArray(), QStringLiteral("hang"));
    constexpr int kTimeout = 500;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(lsg::feedback::sendFeedback(m_lines, config(sharedServer().dualPort(), kTimeout)));
    const qint64 elapsed = clock.elapsed();
    // The attempt waits out the reply limit, bounded per phase.
    EXPECT_GE(elapsed, kTimeout - 50);
    EXPECT_LT(elapsed, 2 * kTimeout + 1000);
    EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
}

}  // namespace
