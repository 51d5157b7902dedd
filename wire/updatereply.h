// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QStringList>

// The reply to an update check: tagged lines, the version on the first and the download address
// on the second. The server writes it and the client reads it with these same functions.
namespace lsg::wire {

// The text between "<tag>" and "</tag>" (tag in lower case) when the line begins and ends with
// them exactly; empty otherwise. Only the ends of the line are looked at.
QString ExtractTag(const QString& line, const QString& tag);

// The reply split at CR, LF or CRLF; a trailing line break adds no empty last line.
QStringList replyLines(const QString& reply);

// "<version>V</version>\r\n<url>U</url>\r\n".
QString formatUpdateReply(const QString& version, const QString& url);

// A version worth announcing: digits separated by single dots ("4.4", "1.2.3") whose digits,
// the dots removed, fit a signed 32-bit integer, so that a client can compare it.
bool isPublishableVersion(const QString& version);

// A download address a browser can open and one reply line can carry: "http://" or "https://",
// a host, no blanks or control characters, at most 2000 characters.
bool isPublishableUrl(const QString& url);

}  // namespace lsg::wire
