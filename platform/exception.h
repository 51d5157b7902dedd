// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>
#include <exception>

namespace lsg {

// The program's one error type: it carries a message meant for the user. Handlers let it
// leave; the error report at the event-handler boundary shows its text in a message box.
class Exception : public std::exception {
public:
    explicit Exception(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }
    // The name the update check records for an unexpected error.
    virtual const char* className() const noexcept { return "Exception"; }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The system's text for an errno value, for the reason part of a message.
inline QString systemErrorText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

}  // namespace lsg
