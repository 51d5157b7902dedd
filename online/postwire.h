// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/exception.h"

#include <atomic>
#include <optional>

// What the gadget and its network helper (loadspire-post) share: the form post's options and
// errors, the body rules, and the framing of the one request and one reply that pass between
// them over the helper's stdin and stdout. Qt Core only, no network code, so that the gadget's
// process never loads the TLS stack.
namespace lsg::net {

// Largest reply body accepted; the callers read a line or two, and an endless reply must not
// exhaust memory.
inline constexpr qint64 kMaxReplyBytes = 1024 * 1024;

// The application/x-www-form-urlencoded body of "name=value" lines, in their order.
// Everything before the first '=' is the name (a line without '=' is all name, empty value).
QByteArray formBody(const QStringList& lines);

// Decodes a reply body by the charset parameter of its Content-Type; UTF-8 when it names
// none or one this build cannot decode.
QString decodeReply(const QByteArray& body, const QByteArray& contentType);

// Settings a caller may add to a post. The program itself uses none of them: they exist for
// tests (a private certificate authority) and for a clean stop at shutdown.
struct PostOptions {
    // PEM file of the certificate authorities to trust instead of the system's store.
    QString caFile;
    // When set and it becomes true, the post stops within about 50 ms and fails.
    const std::atomic<bool>* cancel = nullptr;
};

// The secure path reached a server it must not trust: its certificate or host name did not
// verify, or it redirected to an address that is not https. Whoever answered could be
// anyone on the way, so the caller must not repeat the request in plain text.
class UntrustedPeerError : public lsg::Exception {
public:
    using lsg::Exception::Exception;
    const char* className() const noexcept override { return "UntrustedPeerError"; }
};

namespace frame {

// Bounds of a request. The program's largest is a feedback text of 10000 characters.
inline constexpr qsizetype kMaxRequestBytes = 1024 * 1024;
inline constexpr qsizetype kMaxUrlBytes = 64 * 1024;
inline constexpr qsizetype kMaxCaFileBytes = 64 * 1024;
inline constexpr quint32 kMaxLines = 4096;
// A reply body of kMaxReplyBytes decodes to at most three UTF-8 bytes per byte (a single-byte
// charset, or U+FFFD for every invalid byte); the rest is room for the header and a message.
inline constexpr qsizetype kMaxReplyFrameBytes = 3 * kMaxReplyBytes + 64 * 1024;

struct Request {
    QString url;
    QStringList lines;
    int timeoutMs = 0;
    QString caFile;

    bool operator==(const Request&) const = default;
};

enum class Outcome : quint32 {
    Ok = 0,         // text is the decoded reply body
    Untrusted = 1,  // text is the message of an UntrustedPeerError
    Failed = 2,     // text is the message of any other failure
};

struct Reply {
    Outcome outcome = Outcome::Failed;
    QString text;

    bool operator==(const Reply&) const = default;
};

// Every frame is a four-byte tag, then its fields: 32-bit little-endian numbers, and texts as a
// 32-bit little-endian byte count followed by that many bytes of UTF-8.
//   request: "LSQ1" url timeoutMs caFile lineCount line...
//   reply:   "LSR1" outcome text
// A frame is the whole stream: nothing may follow it.

// The request's frame; nullopt (and the reason in *error) when it exceeds the bounds above.
std::optional<QByteArray> encodeRequest(const Request& request, QString* error);
// The request in a frame; nullopt (and the reason in *error) for anything malformed: a wrong
// tag, a length past the end or the bounds, text that is not UTF-8, a negative timeout, bytes
// after the last field.
std::optional<Request> parseRequest(const QByteArray& frame, QString* error);

// The reply's frame; a text that would exceed the bound becomes a failure saying so.
QByteArray encodeReply(const Reply& reply);
// The reply in a frame; nullopt (and the reason in *error) for anything malformed, an unknown
// outcome included.
std::optional<Reply> parseReply(const QByteArray& frame, QString* error);

}  // namespace frame

}  // namespace lsg::net
