// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The update reply as it comes off the wire: the input's first line is the Content-Type
// header, the rest the body. Decoded, split, its tags read, its version judged and its address
// checked; the feedback reply check reads the same text.
#include "fuzz/common.h"
#include "online/check.h"
#include "online/feedback.h"
#include "online/postform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::check;
    const QByteArray input = lsg::fuzz::bytes(data, size);
    const qsizetype eol = input.indexOf('\n');
    const QByteArray contentType = eol < 0 ? QByteArray() : input.left(eol);
    const QByteArray body = eol < 0 ? input : input.mid(eol + 1);

    const QString reply = lsg::net::decodeReply(body, contentType);
    const ReplyFields fields = readReply(reply);
    lsg::fuzz::require(fields.version.size() <= reply.size() && fields.url.size() <= reply.size());
    (void)isOfferedVersion(fields.version, QStringLiteral("1.7"));
    (void)isMakersSecureAddress(fields.url, QStringLiteral("127.0.0.1:8443"));
    (void)ExtractTag(reply, QStringLiteral("version"));
    (void)lsg::feedback::isSuccessReply(reply);
    return 0;
}
