// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "online/postwire.h"
#include "platform/helperprocess.h"

#include <chrono>

namespace lsg::net {

// Posts the lines as an HTML form and returns the reply body as text.
// "https://" (exactly) takes the secure path: the reply is taken whatever its HTTP status,
// up to 5 redirects are followed (to https addresses only), certificates are checked against
// the system's store.
// Anything else takes the plain path: no redirects, a status outside 200..299 fails.
// timeoutMs bounds connecting and, separately, each wait for reply data.
// Throws UntrustedPeerError when the secure path met a peer it cannot trust, lsg::Exception on
// every other failure.
//
// The post runs in a short-lived helper process (loadspire-post), so that the network and TLS
// libraries, several megabytes, are never loaded into the gadget's own process.
QString PostForm(const QString& url, const QStringList& lines, int timeoutMs);
QString PostForm(const QString& url, const QStringList& lines, int timeoutMs,
                 const PostOptions& options);

// The helper PostForm runs: loadspire-post beside the running executable (the build tree, a
// copied program), else the one in the install location.
QString helperPath();

// How long a post may take in all before its helper is stopped: the helper's own worst case
// (connecting, then connecting and receiving within twice the timeout) and room for starting it.
std::chrono::milliseconds helperDeadline(int timeoutMs);

// PostForm through the given helper, stopped at the given deadline.
QString postThroughHelper(const QString& helper, const QString& url, const QStringList& lines,
                          int timeoutMs, const PostOptions& options,
                          std::chrono::milliseconds deadline);

// PostForm's work without blocking the calling thread: the helper runs while the thread's event
// loop goes on, and finished() follows from that loop. stop(), a new start() or the object's
// end stops the helper at once. One post at a time; options.cancel is not used (stop() is).
//     connect(&post, &FormPost::finished, ...);  post.start(url, lines, 3000);
//     ... in the slot: post.reply()
class FormPost : public QObject {
    Q_OBJECT
public:
    explicit FormPost(QObject* parent = nullptr);

    // Throws lsg::Exception, and starts nothing, when the request is too large to send.
    void start(const QString& url, const QStringList& lines, int timeoutMs,
               const PostOptions& options = {});
    // Through the given helper, stopped at the given deadline.
    void start(const QString& helper, const QString& url, const QStringList& lines, int timeoutMs,
               const PostOptions& options, std::chrono::milliseconds deadline);
    void stop();
    bool isRunning() const;
    // Once finished() has come: the reply text, or the exception PostForm would have thrown.
    QString reply() const;

signals:
    void finished();

private:
    platform::HelperProcess m_process;
    QString m_helper;
    std::chrono::milliseconds m_deadline{0};
};

}  // namespace lsg::net
