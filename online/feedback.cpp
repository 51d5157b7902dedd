// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/feedback.h"

#include "core/serverhost.h"

namespace lsg::feedback {
namespace {

const QString kPath = QStringLiteral("/php/feedback.php");

bool isControlOrBlank(QChar c) {
    return c.unicode() <= 32;
}

}  // namespace

QString trimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isControlOrBlank(text.at(first))) {
        ++first;
    }
    while (last > first && isControlOrBlank(text.at(last - 1))) {
        --last;
    }
    return text.mid(first, last - first);
}

QString feedbackText(Choice choice, const QString& text) {
    QString result;
    if (choice == Choice::Like) {
        result = QStringLiteral("I like it!\r");
    } else if (choice == Choice::Dislike) {
        result = QStringLiteral("I dislike it!\r");
    }
    return result + trimControls(text);
}

QStringList requestLines(const QString& appCaption, const QString& appVersion,
                         const QString& feedback, const QString& email) {
    QStringList lines{QStringLiteral("cmd=feedback"), QStringLiteral("appname=") + appCaption,
                      QStringLiteral("version=") + appVersion,
                      QStringLiteral("feedback=") + feedback};
    if (!email.isEmpty()) {
        lines << QStringLiteral("email=") + email;
    }
    return lines;
}

bool isSuccessReply(const QString& reply) {
    // A list of lines joined by CRLF: a reply of two non-blank lines keeps a break between them
    // and so can never equal "OK".
    QString normalised = reply;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    normalised.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return trimControls(normalised) == QStringLiteral("OK");
}

SendConfig defaultSendConfig() {
    SendConfig config;
    config.host = ServerHost();
    config.options.caFile = ServerTrustFile();
    return config;
}

FeedbackSend::FeedbackSend(QObject* parent) : QObject(parent) {
    connect(&m_post, &net::FormPost::finished, this, [this] {
        bool success = false;
        try {
            success = isSuccessReply(m_post.reply());
        } catch (...) {
            success = false;
        }
        end(success);
    });
}

void FeedbackSend::start(const QStringList& lines, const SendConfig& config) {
    stop();
    m_running = true;
    try {
        m_post.start(QStringLiteral("https://") + config.host + kPath, lines, config.timeoutMs,
                     config.options);
    } catch (...) {
        // Reported like any other failure, from the event loop.
        QMetaObject::invokeMethod(
            this,
            [this, generation = m_generation] {
                if (generation == m_generation) {
                    end(false);
                }
            },
            Qt::QueuedConnection);
    }
}

void FeedbackSend::stop() {
    ++m_generation;
    m_running = false;
    m_post.stop();
}

void FeedbackSend::end(bool success) {
    m_running = false;
    emit finished(success);
}

}  // namespace lsg::feedback
