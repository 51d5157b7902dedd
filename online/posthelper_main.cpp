// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// loadspire-post: the gadget's network helper. Reads one request frame from stdin, makes the
// form post, writes one reply frame to stdout and exits. The gadget starts one per request, so
// that libcurl and the TLS libraries live only as long as the request.
#include "online/postcurl.h"
#include "online/postwire.h"

#include "platform/exception.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>

#include <unistd.h>

namespace {

using namespace lsg::net;

// Reads stdin to its end; false when it holds more than a request may, or cannot be read.
bool readAll(QByteArray* data, QString* error) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = QStringLiteral("The request could not be read: %1.")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (data->size() + n > frame::kMaxRequestBytes) {
            *error =
                QStringLiteral("The request is larger than %1 bytes.").arg(frame::kMaxRequestBytes);
            return false;
        }
        data->append(buffer, n);
    }
}

// Writes the whole frame; a reader that went away only ends the helper.
bool writeAll(const QByteArray& data) {
    qsizetype at = 0;
    while (at < data.size()) {
        const ssize_t n =
            ::write(STDOUT_FILENO, data.constData() + at, static_cast<size_t>(data.size() - at));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        at += n;
    }
    return true;
}

frame::Reply answer() {
    QByteArray input;
    QString error;
    if (!readAll(&input, &error)) {
        return {frame::Outcome::Failed, error};
    }
    const std::optional<frame::Request> request = frame::parseRequest(input, &error);
    if (!request) {
        return {frame::Outcome::Failed,
                QStringLiteral("The network helper got a malformed request: %1.").arg(error)};
    }
    PostOptions options;
    options.caFile = request->caFile;
    try {
        return {frame::Outcome::Ok,
                postFormHere(request->url, request->lines, request->timeoutMs, options)};
    } catch (const UntrustedPeerError& e) {
        return {frame::Outcome::Untrusted, e.message()};
    } catch (const lsg::Exception& e) {
        return {frame::Outcome::Failed, e.message()};
    } catch (const std::exception& e) {
        return {frame::Outcome::Failed, QString::fromLocal8Bit(e.what())};
    }
}

}  // namespace

int main() {
    // A gadget that stopped waiting closes the pipe: the write fails instead of killing us.
    std::signal(SIGPIPE, SIG_IGN);
    const frame::Reply reply = answer();
    return writeAll(frame::encodeReply(reply)) ? 0 : 1;
}
