// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/postform.h"

#include "platform/exception.h"
#include "platform/helperprocess.h"
#include "platform/paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace lsg::net {

namespace {

constexpr char kHelperName[] = "loadspire-post";
// Starting the helper (loading its libraries, reading the certificate store) on a busy machine.
constexpr std::chrono::milliseconds kStartMargin{2000};

[[noreturn]] void fail(const QString& message) {
    throw lsg::Exception(message);
}

QString howItEnded(const platform::HelperRun& run) {
    if (run.signal != 0) {
        return QStringLiteral("killed by signal %1, %2")
            .arg(run.signal)
            .arg(QString::fromLocal8Bit(::strsignal(run.signal)));
    }
    return QStringLiteral("exit status %1").arg(run.exitCode);
}

}  // namespace

QString helperPath() {
    const QString beside = platform::executableFolder() + QLatin1String(kHelperName);
    const QFileInfo info(beside);
    if (info.isFile() && info.isExecutable()) {
        return beside;
    }
    return QStringLiteral(LOADSPIRE_POST_HELPER);
}

std::chrono::milliseconds helperDeadline(int timeoutMs) {
    const std::chrono::milliseconds timeout{std::max(timeoutMs, 1)};
    return timeout + 2 * timeout + kStartMargin;
}

QString PostForm(const QString& url, const QStringList& lines, int timeoutMs) {
    return PostForm(url, lines, timeoutMs, PostOptions{});
}

QString PostForm(const QString& url, const QStringList& lines, int timeoutMs,
                 const PostOptions& options) {
    return postThroughHelper(helperPath(), url, lines, timeoutMs, options,
                             helperDeadline(timeoutMs));
}

namespace {

// The request's frame for the helper; throws when it is too large to frame.
QByteArray requestFrame(const QString& url, const QStringList& lines, int timeoutMs,
                        const PostOptions& options) {
    frame::Request request;
    request.url = url;
    request.lines = lines;
    request.timeoutMs = std::max(timeoutMs, 1);
    request.caFile = options.caFile;
    QString problem;
    const std::optional<QByteArray> input = frame::encodeRequest(request, &problem);
    if (!input) {
        fail(problem);
    }
    return *input;
}

platform::HelperLimits helperLimits(std::chrono::milliseconds deadline,
                                    const std::atomic<bool>* cancel) {
    platform::HelperLimits limits;
    limits.deadline = deadline;
    limits.maxOutput = frame::kMaxReplyFrameBytes;
    limits.cancel = cancel;
    return limits;
}

// The reply text of a helper's run, or the exception PostForm throws for it.
QString replyOf(const QString& helper, const platform::HelperRun& run,
                std::chrono::milliseconds deadline) {
    using End = platform::HelperRun::End;
    switch (run.end) {
        case End::NotStarted:
            fail(QStringLiteral("The network helper %1 could not be started: %2.")
                     .arg(helper, run.error));
        case End::Cancelled:
            fail(QStringLiteral("The request was cancelled."));
        case End::TimedOut:
            fail(QStringLiteral("The network helper did not finish within %1 ms.")
                     .arg(deadline.count()));
        case End::OutputTooLong:
            fail(QStringLiteral("The network helper's reply is larger than %1 bytes.")
                     .arg(frame::kMaxReplyFrameBytes));
        case End::Finished:
            break;
    }
    if (run.output.isEmpty()) {
        fail(QStringLiteral("The network helper ended without a reply (%1).").arg(howItEnded(run)));
    }
    QString problem;
    const std::optional<frame::Reply> reply = frame::parseReply(run.output, &problem);
    if (!reply) {
        fail(QStringLiteral("The network helper sent a malformed reply (%1): %2.")
                 .arg(howItEnded(run), problem));
    }
    switch (reply->outcome) {
        case frame::Outcome::Ok:
            return reply->text;
        case frame::Outcome::Untrusted:
            throw UntrustedPeerError(reply->text);
        case frame::Outcome::Failed:
            break;
    }
    fail(reply->text.isEmpty()
             ? QStringLiteral("The network helper reported a failure without a message.")
             : reply->text);
}

}  // namespace

QString postThroughHelper(const QString& helper, const QString& url, const QStringList& lines,
                          int timeoutMs, const PostOptions& options,
                          std::chrono::milliseconds deadline) {
    const QByteArray input = requestFrame(url, lines, timeoutMs, options);
    return replyOf(helper,
                   platform::runHelper(helper, input, helperLimits(deadline, options.cancel)),
                   deadline);
}

FormPost::FormPost(QObject* parent) : QObject(parent) {
    connect(&m_process, &platform::HelperProcess::finished, this, &FormPost::finished);
}

void FormPost::start(const QString& url, const QStringList& lines, int timeoutMs,
                     const PostOptions& options) {
    start(helperPath(), url, lines, timeoutMs, options, helperDeadline(timeoutMs));
}

void FormPost::start(const QString& helper, const QString& url, const QStringList& lines,
                     int timeoutMs, const PostOptions& options,
                     std::chrono::milliseconds deadline) {
    m_process.stop();
    const QByteArray input = requestFrame(url, lines, timeoutMs, options);
    m_helper = helper;
    m_deadline = deadline;
    m_process.start(helper, input, helperLimits(deadline, nullptr));
}

void FormPost::stop() {
    m_process.stop();
}

bool FormPost::isRunning() const {
    return m_process.isRunning();
}

QString FormPost::reply() const {
    return replyOf(m_helper, m_process.result(), m_deadline);
}

}  // namespace lsg::net
