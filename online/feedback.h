// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "online/postform.h"

namespace lsg::feedback {

// The user's verdict; none until a choice panel is clicked.
enum class Choice { None, Like, Dislike };

inline constexpr int kTimeoutMs = 3000;
inline constexpr int kMaxTextLength = 10000;
inline constexpr int kMaxEmailLength = 100;

// The text without leading and trailing characters of code 32 or below (blanks, line breaks,
// tabs and other control characters).
QString trimControls(const QString& text);

// "I like it!" or "I dislike it!" and one carriage return for a choice, then the trimmed text.
// Empty when there is no choice and the text is blank: nothing to send.
QString feedbackText(Choice choice, const QString& text);

// The form lines of a feedback request, in the server's order; "email=" only when an address
// is given. Values go in raw: the form post escapes them.
QStringList requestLines(const QString& appCaption, const QString& appVersion,
                         const QString& feedback, const QString& email);

// True when the reply, its line breaks made CRLF and its ends trimmed, is exactly "OK".
bool isSuccessReply(const QString& reply);

// Where and how a request goes; tests point it at their own server.
struct SendConfig {
    QString host;  // host[:port] of the maker's web server
    int timeoutMs = kTimeoutMs;
    net::PostOptions options;
};

// The program's configuration: the build's server host and the 3000 ms limit.
SendConfig defaultSendConfig();

// One feedback send: the lines go to https://host/php/feedback.php, never in plain HTTP (the
// text and the address are personal: whoever stops the secure attempt, a network that blocks
// HTTPS or a stranger on the way, could read a plain one). Any failure of the attempt is a
// failure of the send.
//
// The send does not block: the network helper runs while the calling thread's event loop goes
// on, and finished() follows from that loop, at most one attempt later (bounded by the timeout
// per phase). stop(), a new start() or the object's end stops the helper at once, and then no
// finished() follows.
class FeedbackSend : public QObject {
    Q_OBJECT
public:
    explicit FeedbackSend(QObject* parent = nullptr);

    void start(const QStringList& lines, const SendConfig& config);
    void stop();
    bool isRunning() const { return m_running; }

signals:
    // success: the reply was "OK" (isSuccessReply).
    void finished(bool success);

private:
    void end(bool success);

    net::FormPost m_post;
    bool m_running = false;
    quint64 m_generation = 0;  // sends started or stopped so far
};

}  // namespace lsg::feedback
