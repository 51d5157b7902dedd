// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/postwire.h"

#include "wire/wireform.h"

#include <QStringDecoder>

#include <limits>

namespace lsg::net {

QByteArray formBody(const QStringList& lines) {
    return wire::encodeForm(lines);
}

QString decodeReply(const QByteArray& body, const QByteArray& contentType) {
    QByteArray charset;
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset") {
            continue;
        }
        charset = param.mid(eq + 1).trimmed();
        if (charset.size() >= 2 && charset.startsWith('"') && charset.endsWith('"')) {
            charset = charset.mid(1, charset.size() - 2);
        }
    }
    const QByteArray name = charset.toLower();
    if (name.isEmpty() || name == "us-ascii" || name == "ascii") {
        // ASCII is a subset of UTF-8; UTF-8 is also the sensible guess for an unnamed one.
        return QString::fromUtf8(body);
    }
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid()) {
        return QString::fromUtf8(body);
    }
    return decoder.decode(body);
}

namespace frame {

namespace {

constexpr char kRequestTag[] = "LSQ1";
constexpr char kReplyTag[] = "LSR1";
constexpr qsizetype kTagBytes = 4;

void putNumber(QByteArray& out, quint32 value) {
    for (int i = 0; i < 4; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void putText(QByteArray& out, const QByteArray& utf8) {
    putNumber(out, static_cast<quint32>(utf8.size()));
    out.append(utf8);
}

// Reads fields front to back; every read checks the bytes that are left first.
class Reader {
public:
    explicit Reader(const QByteArray& data) : m_data(data) {}

    bool tag(const char* expected) {
        if (m_data.size() - m_at < kTagBytes || m_data.mid(m_at, kTagBytes) != expected) {
            return fail(QStringLiteral("it does not start with the tag %1")
                            .arg(QString::fromLatin1(expected)));
        }
        m_at += kTagBytes;
        return true;
    }

    bool number(quint32* value, const char* what) {
        if (m_data.size() - m_at < 4) {
            return fail(QStringLiteral("it ends inside the %1").arg(QString::fromLatin1(what)));
        }
        quint32 v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<quint32>(static_cast<unsigned char>(m_data[m_at + i])) << (8 * i);
        }
        m_at += 4;
        *value = v;
        return true;
    }

    bool text(QString* value, qsizetype limit, const char* what) {
        quint32 length = 0;
        if (!number(&length, what)) {
            return false;
        }
        if (length > static_cast<quint64>(limit)) {
            return fail(QStringLiteral("its %1 has %2 bytes, more than the %3 allowed")
                            .arg(QString::fromLatin1(what))
                            .arg(length)
                            .arg(limit));
        }
        if (static_cast<qint64>(length) > m_data.size() - m_at) {
            return fail(QStringLiteral("its %1 runs past the end").arg(QString::fromLatin1(what)));
        }
        const QByteArray bytes = m_data.mid(m_at, static_cast<qsizetype>(length));
        if (!bytes.isValidUtf8()) {
            return fail(QStringLiteral("its %1 is not UTF-8").arg(QString::fromLatin1(what)));
        }
        m_at += static_cast<qsizetype>(length);
        *value = QString::fromUtf8(bytes);
        return true;
    }

    // A frame over `limit` bytes is refused before any field is read.
    bool fits(qsizetype limit) {
        if (m_data.size() > limit) {
            return fail(QStringLiteral("it has %1 bytes, more than the %2 allowed")
                            .arg(m_data.size())
                            .arg(limit));
        }
        return true;
    }

    bool end() {
        if (m_at != m_data.size()) {
            return fail(QStringLiteral("%1 bytes follow its last field").arg(m_data.size() - m_at));
        }
        return true;
    }

    bool fail(const QString& reason) {
        if (m_error.isEmpty()) {
            m_error = reason;
        }
        return false;
    }
    const QString& error() const { return m_error; }

private:
    const QByteArray& m_data;
    qsizetype m_at = 0;
    QString m_error;
};

template <typename T>
std::optional<T> rejected(const Reader& reader, QString* error) {
    if (error != nullptr) {
        *error = reader.error();
    }
    return std::nullopt;
}

}  // namespace

std::optional<QByteArray> encodeRequest(const Request& request, QString* error) {
    auto refuse = [error](const QString& reason) -> std::optional<QByteArray> {
        if (error != nullptr) {
            *error = reason;
        }
        return std::nullopt;
    };
    const QByteArray url = request.url.toUtf8();
    const QByteArray caFile = request.caFile.toUtf8();
    if (url.size() > kMaxUrlBytes) {
        return refuse(QStringLiteral("The address is longer than %1 bytes.").arg(kMaxUrlBytes));
    }
    if (caFile.size() > kMaxCaFileBytes) {
        return refuse(QStringLiteral("The name of the certificate file is longer than %1 bytes.")
                          .arg(kMaxCaFileBytes));
    }
    if (request.lines.size() > static_cast<qsizetype>(kMaxLines)) {
        return refuse(QStringLiteral("The form has more than %1 lines.").arg(kMaxLines));
    }
    if (request.timeoutMs < 0) {
        return refuse(QStringLiteral("The timeout is negative."));
    }
    QByteArray out(kRequestTag, kTagBytes);
    putText(out, url);
    putNumber(out, static_cast<quint32>(request.timeoutMs));
    putText(out, caFile);
    putNumber(out, static_cast<quint32>(request.lines.size()));
    for (const QString& line : request.lines) {
        putText(out, line.toUtf8());
        if (out.size() > kMaxRequestBytes) {
            return refuse(
                QStringLiteral("The form is larger than %1 bytes.").arg(kMaxRequestBytes));
        }
    }
    return out;
}

std::optional<Request> parseRequest(const QByteArray& frame, QString* error) {
    Reader in(frame);
    if (!in.fits(kMaxRequestBytes)) {
        return rejected<Request>(in, error);
    }
    Request request;
    quint32 timeout = 0;
    quint32 count = 0;
    if (!in.tag(kRequestTag) || !in.text(&request.url, kMaxUrlBytes, "address") ||
        !in.number(&timeout, "timeout") ||
        !in.text(&request.caFile, kMaxCaFileBytes, "certificate file") ||
        !in.number(&count, "line count")) {
        return rejected<Request>(in, error);
    }
    if (timeout > static_cast<quint32>(std::numeric_limits<int>::max())) {
        in.fail(QStringLiteral("its timeout %1 is out of range").arg(timeout));
        return rejected<Request>(in, error);
    }
    if (count > kMaxLines) {
        in.fail(
            QStringLiteral("it has %1 lines, more than the %2 allowed").arg(count).arg(kMaxLines));
        return rejected<Request>(in, error);
    }
    request.timeoutMs = static_cast<int>(timeout);
    for (quint32 i = 0; i < count; ++i) {
        QString line;
        if (!in.text(&line, kMaxRequestBytes, "form line")) {
            return rejected<Request>(in, error);
        }
        request.lines.append(line);
    }
    if (!in.end()) {
        return rejected<Request>(in, error);
    }
    return request;
}

QByteArray encodeReply(const Reply& reply) {
    QByteArray text = reply.text.toUtf8();
    Outcome outcome = reply.outcome;
    if (text.size() > kMaxReplyFrameBytes - 64) {
        outcome = Outcome::Failed;
        text = QStringLiteral("The server's reply is larger than %1 bytes once decoded.")
                   .arg(kMaxReplyFrameBytes - 64)
                   .toUtf8();
    }
    QByteArray out(kReplyTag, kTagBytes);
    putNumber(out, static_cast<quint32>(outcome));
    putText(out, text);
    return out;
}

std::optional<Reply> parseReply(const QByteArray& frame, QString* error) {
    Reader in(frame);
    if (!in.fits(kMaxReplyFrameBytes)) {
        return rejected<Reply>(in, error);
    }
    quint32 outcome = 0;
    Reply reply;
    if (!in.tag(kReplyTag) || !in.number(&outcome, "outcome")) {
        return rejected<Reply>(in, error);
    }
    if (outcome > static_cast<quint32>(Outcome::Failed)) {
        in.fail(QStringLiteral("its outcome %1 is unknown").arg(outcome));
        return rejected<Reply>(in, error);
    }
    reply.outcome = static_cast<Outcome>(outcome);
    if (!in.text(&reply.text, kMaxReplyFrameBytes, "text") || !in.end()) {
        return rejected<Reply>(in, error);
    }
    return reply;
}

}  // namespace frame

}  // namespace lsg::net
