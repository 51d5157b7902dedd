// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/postform.h"
#include "online/postwire.h"

#include "platform/exception.h"
#include "platform/helperprocess.h"
#include "tests/common/deadline.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <limits>
#include <memory>
#include <thread>

#include <signal.h>

namespace lsg::net {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

qint64 msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

QByteArray le32(quint32 v) {
    QByteArray out;
    for (int i = 0; i < 4; ++i) {
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return out;
}

QByteArray text(const QByteArray& utf8) {
    return le32(static_cast<quint32>(utf8.size())) + utf8;
}

frame::Request sampleRequest() {
    frame::Request r;
    r.url = QStringLiteral("https://example.invalid/php/check2.php");
    r.lines = {QStringLiteral("cmd=check"), QStringLiteral("text=caf\u00e9\r\n&"), QString()};
    r.timeoutMs = 3000;
    r.caFile = QStringLiteral("/tmp/ca.pem");
    return r;
}

// --- The framing ------------------------------------------------------------------------------

TEST(PostFrame, RequestsAndRepliesSurviveTheRoundTrip) {
    frame::Request empty;
    for (const frame::Request& request : {sampleRequest(), empty}) {
        QString error;
        const auto bytes = frame::encodeRequest(request, &error);
        ASSERT_TRUE(bytes) << error.toStdString();
        const auto back = frame::parseRequest(*bytes, &error);
        ASSERT_TRUE(back) << error.toStdString();
        EXPECT_EQ(*back, request);
    }
    for (const frame::Reply& reply :
         {frame::Reply{frame::Outcome::Ok, QStringLiteral("version=1.8 \u20ac\U0001F600")},
          frame::Reply{frame::Outcome::Untrusted, QStringLiteral("bad certificate")},
          frame::Reply{frame::Outcome::Failed, QString()}}) {
        QString error;
        const auto back = frame::parseReply(frame::encodeReply(reply), &error);
        ASSERT_TRUE(back) << error.toStdString();
        EXPECT_EQ(*back, reply);
    }
}

TEST(PostFrame, EveryCutShortFrameIsRejected) {
    const QByteArray request = *frame::encodeRequest(sampleRequest(), nullptr);
    const QByteArray reply = frame::encodeReply({frame::Outcome::Ok, QStringLiteral("OK")});
    for (qsizetype n = 0; n < request.size(); ++n) {
        QString error;
        EXPECT_FALSE(frame::parseRequest(request.left(n), &error)) << n;
        EXPECT_FALSE(error.isEmpty()) << n;
    }
    for (qsizetype n = 0; n < reply.size(); ++n) {
        QString error;
        EXPECT_FALSE(frame::parseReply(reply.left(n), &error)) << n;
        EXPECT_FALSE(error.isEmpty()) << n;
    }
}

TEST(PostFrame, MalformedFramesAreRejectedWithAReason) {
    const QByteArray url = text("http://x/");
    struct Case {
        const char* name;
        QByteArray request;  // parsed as a request when not empty
        QByteArray reply;    // parsed as a reply when not empty
        const char* reason;
    };
    const Case cases[] = {
        {"wrong request tag", "LSR1" + url + le32(1) + text("") + le32(0), {}, "tag"},
        {"wrong reply tag", {}, "LSQ1" + le32(0) + text("x"), "tag"},
        {"huge address length", "LSQ1" + le32(0xFFFFFFFF) + "http", {}, "more than"},
        {"address past the end", "LSQ1" + le32(100) + "http://x/", {}, "past the end"},
        {"timeout out of range",
         "LSQ1" + url + le32(0x80000000) + text("") + le32(0),
         {},
         "timeout"},
        {"too many lines", "LSQ1" + url + le32(1) + text("") + le32(4097), {}, "lines"},
        {"fewer lines than counted",
         "LSQ1" + url + le32(1) + text("") + le32(2) + text("a=b"),
         {},
         "form line"},
        {"request not UTF-8",
         "LSQ1" + text("http://\xff/") + le32(1) + text("") + le32(0),
         {},
         "UTF-8"},
        {"request trailing bytes", "LSQ1" + url + le32(1) + text("") + le32(0) + "x", {}, "follow"},
        {"unknown outcome", {}, "LSR1" + le32(3) + text("x"), "outcome"},
        {"huge reply text", {}, "LSR1" + le32(0) + le32(0xFFFFFFFF) + "x", "more than"},
        {"reply text past the end", {}, "LSR1" + le32(0) + le32(10) + "short", "past the end"},
        {"reply not UTF-8", {}, "LSR1" + le32(0) + text("\xc3("), "UTF-8"},
        {"reply trailing bytes", {}, "LSR1" + le32(0) + text("OK") + "\n", "follow"},
        {"oversized request", "LSQ1" + QByteArray(frame::kMaxRequestBytes, 'x'), {}, "bytes"},
        {"oversized reply", {}, "LSR1" + QByteArray(frame::kMaxReplyFrameBytes, 'x'), "bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        if (!c.request.isEmpty()) {
            EXPECT_FALSE(frame::parseRequest(c.request, &error));
        } else {
            EXPECT_FALSE(frame::parseReply(c.reply, &error));
        }
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
    }
}

TEST(PostFrame, OversizedRequestsAndRepliesAreRefusedWhenWritten) {
    frame::Request tooManyLines;
    tooManyLines.lines = QStringList(4097, QStringLiteral("a=b"));
    frame::Request tooLarge;
    tooLarge.lines = {QString(600 * 1024, u'x'), QString(600 * 1024, u'y')};
    frame::Request longUrl;
    longUrl.url = QString(frame::kMaxUrlBytes + 1, u'h');
    for (const frame::Request& r : {tooManyLines, tooLarge, longUrl}) {
        QString error;
        EXPECT_FALSE(frame::encodeRequest(r, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    // A reply whose text would not fit the frame turns into a failure that says so.
    const QString huge(frame::kMaxReplyFrameBytes / 3, QChar(0x20AC));
    const auto back = frame::parseReply(frame::encodeReply({frame::Outcome::Ok, huge}), nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->outcome, frame::Outcome::Failed);
    EXPECT_TRUE(back->text.contains(QLatin1String("larger"))) << back->text.toStdString();
}

// --- Running the helper -------------------------------------------------------------------------

// Helpers that misbehave, as shell scripts in a folder of their own. Each writes its pid to
// "<name>.pid" first, so a test can see that the process is gone (reaped, not a zombie).
class FakeHelpers : public ::testing::Test {
protected:
    QString script(const QString& name, const QByteArray& body) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho $$ >\"$0.pid\"\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    static pid_t pidOf(const QString& path) {
        QFile f(path + QStringLiteral(".pid"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
    }
    // The message of the post's failure, or "" when it did not fail.
    static QString failure(const QString& helper, std::chrono::milliseconds deadline = 5s,
                           const PostOptions& options = {}, const QStringList& lines = {}) {
        try {
            postThroughHelper(helper, QStringLiteral("http://127.0.0.1:1/"), lines, 100, options,
                              deadline);
        } catch (const lsg::Exception& e) {
            return e.message();
        }
        return {};
    }
    static void expectGone(pid_t pid) {
        ASSERT_GT(pid, 0);
        EXPECT_EQ(::kill(pid, 0), -1) << "process " << pid << " is still there";
        EXPECT_EQ(errno, ESRCH);
    }

    QTemporaryDir m_dir;
};

TEST_F(FakeHelpers, AHelperThatCannotStartFailsWithTheReason) {
    const QString missing = m_dir.filePath(QStringLiteral("no-such-helper"));
    QString message = failure(missing);
    EXPECT_TRUE(message.contains(QLatin1String("could not be started"))) << message.toStdString();
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();

    const QString notExecutable = script(QStringLiteral("plain"), "exit 0");
    QFile::setPermissions(notExecutable, QFile::ReadOwner | QFile::WriteOwner);
    message = failure(notExecutable);
    EXPECT_TRUE(message.contains(QLatin1String("could not be started"))) << message.toStdString();
}

TEST_F(FakeHelpers, NoReplyGarbageAndOverlongOutputFailClearly) {
    const struct {
        const char* name;
        QByteArray body;
        const char* expected;
    } cases[] = {
        {"silent", "cat >/dev/null; exit 3", "ended without a reply (exit status 3)"},
        {"killed", "kill -9 $$", "ended without a reply (killed by signal 9"},
        {"garbage", "cat >/dev/null; echo 'HTTP/1.1 200 OK'", "malformed reply"},
        {"endless", "exec cat /dev/zero", "larger than"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString helper = script(QString::fromLatin1(c.name), c.body);
        const QString message = failure(helper);
        EXPECT_TRUE(message.contains(QLatin1String(c.expected))) << message.toStdString();
        expectGone(pidOf(helper));
    }
}

TEST_F(FakeHelpers, RepliesMapToTheResultOrTheRightException) {
    const QString ok = script(QStringLiteral("ok"),
                              "cat >/dev/null; printf 'LSR1\\000\\000\\000\\000"
                              "\\005\\000\\000\\000hello'");
    EXPECT_EQ(postThroughHelper(ok, QStringLiteral("http://x/"), {}, 100, {}, 5s),
              QStringLiteral("hello"));
    const QString untrusted = script(QStringLiteral("untrusted"),
                                     "cat >/dev/null; printf 'LSR1\\001\\000\\000\\000"
                                     "\\003\\000\\000\\000bad'");
    EXPECT_THROW(postThroughHelper(untrusted, QStringLiteral("https://x/"), {}, 100, {}, 5s),
                 UntrustedPeerError);
}

TEST_F(FakeHelpers, AHelperThatStopsReadingEarlyDoesNotTakeTheCallerDown) {
    // Far more than a socket buffer holds, so the write meets a closed peer.
    const QStringList big(8, QString(100 * 1024, u'x'));
    const QString helper = script(QStringLiteral("deaf"), "exec 0<&-; exit 0");
    const QString message = failure(helper, 5s, {}, big);
    EXPECT_TRUE(message.contains(QLatin1String("ended without a reply"))) << message.toStdString();
    expectGone(pidOf(helper));
}

TEST_F(FakeHelpers, AHungHelperIsKilledAtTheDeadlineOrOnCancel) {
    const QString helper = script(QStringLiteral("hung"), "exec sleep 60");
    auto start = Clock::now();
    QString message = failure(helper, 300ms);
    EXPECT_TRUE(message.contains(QLatin1String("did not finish within 300 ms")))
        << message.toStdString();
    EXPECT_GE(msSince(start), 300);
    EXPECT_LT(msSince(start), 3000);
    expectGone(pidOf(helper));

    // A helper that closes its output yet stays is bounded the same way.
    const QString lingering = script(QStringLiteral("lingering"), "exec >&-; exec sleep 60");
    message = failure(lingering, 300ms);
    EXPECT_TRUE(message.contains(QLatin1String("did not finish"))) << message.toStdString();
    expectGone(pidOf(lingering));

    std::atomic<bool> cancel{false};
    PostOptions options;
    options.cancel = &cancel;
    start = Clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        cancel.store(true);
    });
    message = failure(helper, 60s, options);
    stopper.join();
    EXPECT_TRUE(message.contains(QLatin1String("cancelled"))) << message.toStdString();
    EXPECT_LT(msSince(start), 2000);
    expectGone(pidOf(helper));
}

// The same helpers run without blocking: the event loop serves the helper's input and output,
// and every way a run can end reaches the caller as PostForm's result or exception.
class EventLoopHelpers : public FakeHelpers {
protected:
    // The reply, or "error: " and the failure's message.
    static QString outcome(const QString& helper, std::chrono::milliseconds deadline = 5s,
                           const QStringList& lines = {}) {
        FormPost post;
        QEventLoop loop;
        int finished = 0;
        QObject::connect(&post, &FormPost::finished, &loop, [&] {
            ++finished;
            loop.quit();
        });
        post.start(helper, QStringLiteral("http://127.0.0.1:1/"), lines, 100, {}, deadline);
        EXPECT_TRUE(post.isRunning() || helper.endsWith(QLatin1String("no-such-helper")));
        {
            // A run whose finished() never comes fails the test instead of hanging it.
            const lsg::testing::Deadline guard("a helper run on the event loop",
                                               std::chrono::seconds(60));
            loop.exec();
        }
        EXPECT_EQ(finished, 1);
        EXPECT_FALSE(post.isRunning());
        try {
            return post.reply();
        } catch (const lsg::Exception& e) {
            return QStringLiteral("error: ") + e.message();
        }
    }
};

TEST_F(EventLoopHelpers, EveryEndReachesTheCaller) {
    const struct {
        const char* name;
        QByteArray body;
        const char* expected;
        std::chrono::milliseconds deadline;
    } cases[] = {
        {"ok", "cat >/dev/null; printf 'LSR1\\000\\000\\000\\000\\005\\000\\000\\000hello'",
         "hello", 5s},
        {"silent", "cat >/dev/null; exit 3",
         "error: The network helper ended without a reply (exit status 3)", 5s},
        {"killed", "kill -9 $$", "ended without a reply (killed by signal 9", 5s},
        {"garbage", "cat >/dev/null; echo 'HTTP/1.1 200 OK'", "malformed reply", 5s},
        {"endless", "exec cat /dev/zero", "larger than", 5s},
        {"hung", "exec sleep 60", "did not finish within 300 ms", 300ms},
        {"lingering", "exec >&-; exec sleep 60", "did not finish within 300 ms", 300ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString helper = script(QString::fromLatin1(c.name), c.body);
        const QString result = outcome(helper, c.deadline);
        EXPECT_TRUE(result.contains(QLatin1String(c.expected))) << result.toStdString();
        expectGone(pidOf(helper));
    }
    const QString missing = m_dir.filePath(QStringLiteral("no-such-helper"));
    const QString result = outcome(missing);
    EXPECT_TRUE(result.contains(QLatin1String("could not be started"))) << result.toStdString();

    // Far more input than a socket buffer holds, to a helper that stops reading at once.
    const QString deaf = script(QStringLiteral("deaf"), "exec 0<&-; exit 0");
    const QString refused = outcome(deaf, 5s, QStringList(8, QString(100 * 1024, u'x')));
    EXPECT_TRUE(refused.contains(QLatin1String("ended without a reply"))) << refused.toStdString();
}

TEST_F(EventLoopHelpers, StoppingOrEndingThePostKillsTheHelperAndReportsNothing) {
    const QString helper = script(QStringLiteral("hung"), "exec sleep 60");
    for (const bool byDestruction : {false, true}) {
        SCOPED_TRACE(byDestruction ? "the post ends" : "stop()");
        QFile::remove(helper + QStringLiteral(".pid"));
        auto post = std::make_unique<FormPost>();
        int finished = 0;
        QObject::connect(post.get(), &FormPost::finished, [&finished] { ++finished; });
        post->start(helper, QStringLiteral("http://127.0.0.1:1/"), {}, 100, {}, 60s);
        const auto start = Clock::now();
        while (pidOf(helper) == 0 && msSince(start) < 20000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        const pid_t pid = pidOf(helper);
        ASSERT_GT(pid, 0);
        if (byDestruction) {
            post.reset();
        } else {
            post->stop();
            EXPECT_FALSE(post->isRunning());
        }
        expectGone(pid);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(finished, 0);
    }
}

TEST(PostHelperDeadline, CoversConnectingAndTwiceTheTimeoutWithRoom) {
    EXPECT_GT(helperDeadline(3000), 9000ms);
    EXPECT_LT(helperDeadline(3000), 15000ms);
    EXPECT_GT(helperDeadline(0), 0ms);
    // No overflow for the largest timeout.
    EXPECT_GT(helperDeadline(std::numeric_limits<int>::max()), 3LL * 2147483647 * 1ms);
}

// --- The real helper against bad input
// ------------------------------------------------------------

TEST(PostHelperProgram, AnswersEveryMalformedRequestWithAFailureAndExits) {
    const QByteArray valid = *frame::encodeRequest(sampleRequest(), nullptr);
    const struct {
        const char* name;
        QByteArray input;
        const char* reason;
    } cases[] = {
        {"nothing", {}, "tag"},
        {"garbage", "GET / HTTP/1.1\r\n\r\n", "tag"},
        {"cut short", valid.left(valid.size() - 3), "ends inside"},
        {"trailing bytes", valid + "!", "follow"},
        {"too large", QByteArray(frame::kMaxRequestBytes + 10, 'x'), "larger than"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::HelperLimits limits;
        limits.deadline = 10s;
        limits.maxOutput = frame::kMaxReplyFrameBytes;
        const platform::HelperRun run = platform::runHelper(helperPath(), c.input, limits);
        ASSERT_EQ(run.end, platform::HelperRun::End::Finished) << run.error.toStdString();
        EXPECT_EQ(run.signal, 0);
        QString error;
        const auto reply = frame::parseReply(run.output, &error);
        ASSERT_TRUE(reply) << error.toStdString();
        EXPECT_EQ(reply->outcome, frame::Outcome::Failed);
        EXPECT_TRUE(reply->text.contains(QLatin1String(c.reason))) << reply->text.toStdString();
    }
}

}  // namespace
}  // namespace lsg::net
