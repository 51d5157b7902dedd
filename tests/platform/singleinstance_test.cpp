// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// One running copy per user: a later copy shows the first and goes; a crashed copy's leftovers
// never keep a start from running; what a listener reads is bounded.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "platform/singleinstance.h"
#include "tests/common/deadline.h"

using lsg::platform::SingleInstance;
using Claim = SingleInstance::Claim;
using namespace std::chrono_literals;

namespace {

const QString kName = QStringLiteral("KALDERN_Loadspire_Gauge");

QString stem() {
    return kName + u'-' + QString::number(::geteuid());
}

// Runs `work` on a thread of its own (a later copy's claim blocks while it waits for its answer)
// and keeps this thread's event loop turning, so the first copy can answer, until it is done.
template <typename Work>
auto onOtherThread(Work work) {
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(5ms) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return result.get();
}

Claim laterCopy(const QString& folder, std::chrono::milliseconds timeout = 5000ms) {
    return onOtherThread([folder, timeout] {
        SingleInstance later(folder);
        later.setAnswerTimeout(timeout);
        return later.claim(kName);
    });
}

// Connects to the first copy's socket as a stranger would and sends `bytes`; returns what came
// back before it hung up (or the wait ran out).
QByteArray talk(const QString& folder, const QByteArray& bytes) {
    return onOtherThread([folder, bytes] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(folder + u'/' + stem() + ".socket");
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        QByteArray answer;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            ::send(fd, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL);
            timeval limit{10, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            char buffer[256];
            ssize_t n;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
                answer.append(buffer, n);
            }
        }
        ::close(fd);
        return answer;
    });
}

TEST(SingleInstance, ALaterCopyShowsTheFirstAndGoes) {
    lsg::testing::Deadline deadline("the single-instance test");
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    int shown = 0;
    QObject::connect(&first, &SingleInstance::showRequested, [&shown] { ++shown; });
    ASSERT_EQ(first.claim(kName), Claim::First) << first.problem().toStdString();
    EXPECT_TRUE(first.holds());

    EXPECT_EQ(laterCopy(folder.path()), Claim::OtherShown);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(laterCopy(folder.path()), Claim::OtherShown);
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(first.holds());

    // Another name, or the name let go of, is free.
    SingleInstance other(folder.path());
    EXPECT_EQ(other.claim(QStringLiteral("another/program")), Claim::First);
    first.release();
    EXPECT_FALSE(first.holds());
    EXPECT_FALSE(QFile::exists(folder.filePath(stem() + ".socket")));
    SingleInstance next(folder.path());
    EXPECT_EQ(next.claim(kName), Claim::First);
}

TEST(SingleInstance, TheLockDecidesNotTheSocketFile) {
    lsg::testing::Deadline deadline("the single-instance test");
    QTemporaryDir folder;
    // A crashed copy's socket: a file nobody listens on any more.
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(folder.filePath(stem() + ".socket"));
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    SingleInstance first(folder.path());
    ASSERT_EQ(first.claim(kName), Claim::First);
    EXPECT_EQ(laterCopy(folder.path()), Claim::OtherShown);
    first.release();

    // The lock held by a copy that does not answer: a later copy waits its time, then goes
    // without running beside it.
    const QByteArray lockPath = QFile::encodeName(folder.filePath(stem() + ".lock"));
    const int held = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    SingleInstance silent(folder.path());
    silent.setAnswerTimeout(300ms);
    EXPECT_EQ(silent.claim(kName), Claim::OtherSilent);
    EXPECT_FALSE(silent.problem().isEmpty());

    // The holder goes while a later copy waits for it: that copy runs.
    std::atomic<bool> asking = false;
    auto later = std::async(std::launch::async, [&folder, &asking] {
        SingleInstance copy(folder.path());
        asking = true;
        const Claim claim = copy.claim(kName);
        return std::make_pair(claim, copy.holds());
    });
    while (!asking) {
        std::this_thread::yield();
    }
    // Most likely the copy is waiting by now; the outcome is the same if it is not.
    std::this_thread::sleep_for(100ms);
    ::close(held);
    const auto [claim, holds] = later.get();
    EXPECT_EQ(claim, Claim::First);
    EXPECT_TRUE(holds);
}

TEST(SingleInstance, WhatTheListenerReadsIsBounded) {
    lsg::testing::Deadline deadline("the single-instance test");
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    int shown = 0;
    QObject::connect(&first, &SingleInstance::showRequested, [&shown] { ++shown; });
    ASSERT_EQ(first.claim(kName), Claim::First);

    struct Case {
        const char* name;
        QByteArray bytes;
        QByteArray answer;
    };
    const Case cases[] = {
        {"the request", "show\n", "shown\n"},
        {"another word", "quit\n", ""},
        {"a line longer than any request", QByteArray(100000, 'x'), ""},
        {"bytes that are no text", QByteArray("\0\xff\n", 3), ""},
        {"a copy that stops mid-line (dropped after its time)", "sho", ""},
    };
    int expectedShows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(talk(folder.path(), c.bytes), c.answer);
        expectedShows += c.answer.isEmpty() ? 0 : 1;
        EXPECT_EQ(shown, expectedShows);
    }
    // After all that the first copy still answers.
    EXPECT_EQ(laterCopy(folder.path()), Claim::OtherShown);
}

TEST(SingleInstance, AFolderTooDeepForASocketAddress) {
    lsg::testing::Deadline deadline("the single-instance test");
    QTemporaryDir top;
    const QString deep = top.filePath(QString(120, u'd'));
    ASSERT_TRUE(QDir().mkpath(deep));
    SingleInstance first(deep);
    ASSERT_EQ(first.claim(kName), Claim::First);
    EXPECT_TRUE(first.problem().isEmpty()) << first.problem().toStdString();
    EXPECT_EQ(laterCopy(deep), Claim::OtherShown);
}

TEST(SingleInstance, AMissingFolderLetsTheCopyRun) {
    SingleInstance lonely(QStringLiteral("/nonexistent/folder"));
    EXPECT_EQ(lonely.claim(kName), Claim::First);
    EXPECT_FALSE(lonely.holds());
    EXPECT_FALSE(lonely.problem().isEmpty());
}

// Two processes, claiming before their application objects exist as the program does; the
// first is killed, as a crash would end it, and its leftovers do not stop the next start.
TEST(SingleInstance, TwoProcesses) {
    lsg::testing::Deadline deadline("the two-process single-instance test", 60s);
    QTemporaryDir folder;
    const QString probe =
        QCoreApplication::applicationDirPath() + QStringLiteral("/instance_probe");
    const QStringList arguments{folder.path(), kName};

    QProcess first;
    first.start(probe, arguments);
    ASSERT_TRUE(first.waitForReadyRead(30000));
    EXPECT_EQ(first.readLine(), "first\n");

    QProcess second;
    second.start(probe, arguments);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardOutput(), "other shown\n");
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.readAllStandardOutput(), "show requested\n");

    QProcess crashed;
    crashed.start(probe, arguments);
    ASSERT_TRUE(crashed.waitForReadyRead(30000));
    EXPECT_EQ(crashed.readLine(), "first\n");
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(30000));
    EXPECT_TRUE(QFile::exists(folder.filePath(stem() + ".socket")));

    QProcess next;
    next.start(probe, arguments);
    ASSERT_TRUE(next.waitForReadyRead(30000));
    EXPECT_EQ(next.readLine(), "first\n");
    QProcess last;
    last.start(probe, arguments);
    ASSERT_TRUE(last.waitForFinished(30000));
    EXPECT_EQ(last.readAllStandardOutput(), "other shown\n");
    ASSERT_TRUE(next.waitForFinished(30000));
    EXPECT_EQ(next.readAllStandardOutput(), "show requested\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
