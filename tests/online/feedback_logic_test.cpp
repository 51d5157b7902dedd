// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include "online/feedback.h"
#include "tests/common/deadline.h"
#include "tests/online/sharedserver.h"
#include "wire/emailcheck.h"

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

class FeedbackSendTest : public ::testing::Test {
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
    // Runs one send to its end on this thread's event loop; true on success.
    bool send(const lsg::feedback::SendConfig& c) const {
        lsg::feedback::FeedbackSend sender;
        std::optional<bool> outcome;
        QEventLoop loop;
        QObject::connect(&sender, &lsg::feedback::FeedbackSend::finished, &loop, [&](bool success) {
            outcome = success;
            loop.quit();
        });
        sender.start(m_lines, c);
        EXPECT_TRUE(sender.isRunning());
        const lsg::testing::Deadline deadline("a feedback send", std::chrono::seconds(60));
        loop.exec();
        EXPECT_FALSE(sender.isRunning());
        return outcome.value_or(false);
    }

    const QStringList m_lines = lsg::feedback::requestLines(
        QStringLiteral("KALDERN - Loadspire Gauge"), QStringLiteral("1.7"),
        QStringLiteral("I like it!\r"), QString());
};

TEST_F(FeedbackSendTest, SecureFirstWithTheRawForm) {
    EXPECT_TRUE(send(config(sharedServer().dualPort())));
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
TEST_F(FeedbackSendTest, NothingGoesOutInPlainWhenTheSecureAttemptFails) {
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
        EXPECT_FALSE(send(config(c.port)));
        EXPECT_EQ(schemes(), QStringList());
    }
}

TEST_F(FeedbackSendTest, NothingGoesOutInPlainAfterAnUnverifiedPeer) {
    // The dual port answers plain HTTP too: a retry in the clear would be recorded there.
    lsg::feedback::SendConfig untrusted = config(sharedServer().dualPort());
    untrusted.options.caFile.clear();
    EXPECT_FALSE(send(untrusted));
    EXPECT_EQ(schemes(), QStringList());

    Behaviour toPlain;
    toPlain.mode = QStringLiteral("moved");
    toPlain.body = TestServer::url("http", sharedServer().dualPort(), "/php/feedback.php").toUtf8();
    sharedServer().configure(QStringLiteral("/php/feedback.php"), toPlain);
    EXPECT_FALSE(send(config(sharedServer().dualPort())));
    EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
}

TEST_F(FeedbackSendTest, RepliesOtherThanOkFail) {
    for (const QByteArray& body :
         {QByteArrayLiteral("ok"), QByteArrayLiteral("OK\nOK"), QByteArrayLiteral("ERROR")}) {
        setReply(body);
        sharedServer().clearRequests();
        EXPECT_FALSE(send(config(sharedServer().dualPort()))) << body.constData();
        // A reply, even a bad one, is no reason to try again.
        EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
    }
    setReply(QByteArrayLiteral(" \r\n OK \r\n\r\n"));
    EXPECT_TRUE(send(config(sharedServer().dualPort())));
}

TEST_F(FeedbackSendTest, ErrorStatusCountsOnlyByItsBody) {
    // The secure path takes any status.
    Behaviour b;
    b.status = 500;
    b.body = QByteArrayLiteral("OK");
    sharedServer().configure(QStringLiteral("/php/feedback.php"), b);
    EXPECT_TRUE(send(config(sharedServer().dualPort())));
}

TEST_F(FeedbackSendTest, NothingListeningFailsWithoutThrowing) {
    const RefusingPort refusing;
    EXPECT_FALSE(send(config(refusing.port())));
}

// The helper of a send in flight, a child of this process, found by its name.
pid_t runningHelper() {
    QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (line.contains("(loadspire-post)") && rest.size() > 1 && rest[1].toInt() == ::getpid()) {
            return entry.toInt();
        }
    }
    return 0;
}

// The send runs beside the event loop, not in it: the loop goes on while the helper waits for
// the server, and stopping the send (or ending it with its owner) ends the helper at once, with
// no outcome reported.
TEST_F(FeedbackSendTest, TheEventLoopGoesOnAndStoppingEndsTheHelper) {
    setReply(QByteArray(), QStringLiteral("hang"));
    for (const bool byDestruction : {false, true}) {
        SCOPED_TRACE(byDestruction ? "owner ends" : "stop()");
        sharedServer().clearRequests();
        auto sender = std::make_unique<lsg::feedback::FeedbackSend>();
        int outcomes = 0;
        QObject::connect(sender.get(), &lsg::feedback::FeedbackSend::finished,
                         [&outcomes](bool) { ++outcomes; });
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        sender->start(m_lines, config(sharedServer().dualPort(), 60000));
        // The request reaches the server, which never answers, while the loop keeps turning.
        QElapsedTimer waited;
        waited.start();
        while (sharedServer().requests().isEmpty() && waited.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        ASSERT_EQ(schemes(), QStringList{QStringLiteral("https")});
        const int ticksBefore = ticks;
        while (ticks < ticksBefore + 3 && waited.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        EXPECT_GE(ticks, ticksBefore + 3);
        EXPECT_TRUE(sender->isRunning());
        const pid_t helper = runningHelper();
        ASSERT_GT(helper, 0);

        if (byDestruction) {
            sender.reset();
        } else {
            sender->stop();
            EXPECT_FALSE(sender->isRunning());
        }
        // Killed and reaped: not even a zombie is left.
        EXPECT_EQ(::kill(helper, 0), -1);
        EXPECT_EQ(errno, ESRCH);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(outcomes, 0);
    }
}

TEST_F(FeedbackSendTest, HungServerEndsAfterOneAttempt) {
    setReply(QByteArray(), QStringLiteral("hang"));
    constexpr int kTimeout = 500;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(send(config(sharedServer().dualPort(), kTimeout)));
    const qint64 elapsed = clock.elapsed();
    // The attempt waits out the reply limit, bounded per phase.
    EXPECT_GE(elapsed, kTimeout - 50);
    EXPECT_LT(elapsed, 2 * kTimeout + 1000);
    EXPECT_EQ(schemes(), QStringList{QStringLiteral("https")});
}

}  // namespace
