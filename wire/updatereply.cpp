// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "wire/updatereply.h"

namespace lsg::wire {

QString ExtractTag(const QString& line, const QString& tag) {
    if (line.isEmpty() || tag.isEmpty()) {
        return {};
    }
    const QString lower = tag.toLower();
    const QString open = u'<' + lower + u'>';
    const QString close = QStringLiteral("</") + lower + u'>';
    if (line.size() < open.size() + close.size() || !line.startsWith(open) ||
        !line.endsWith(close)) {
        return {};
    }
    return line.mid(open.size(), line.size() - open.size() - close.size());
}

QStringList replyLines(const QString& reply) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = reply.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = reply[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(reply.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && reply[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
        ++i;
    }
    if (start < n) {
        lines.append(reply.mid(start));
    }
    return lines;
}

QString formatUpdateReply(const QString& version, const QString& url) {
    return QStringLiteral("<version>") + version + QStringLiteral("</version>\r\n<url>") + url +
           QStringLiteral("</url>\r\n");
}

bool isPublishableVersion(const QString& version) {
    if (version.isEmpty() || version.startsWith(u'.') || version.endsWith(u'.') ||
        version.contains(QStringLiteral(".."))) {
        return false;
    }
    qint64 value = 0;
    for (const QChar c : version) {
        if (c == u'.') {
            continue;
        }
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > 2147483647) {
            return false;
        }
    }
    return true;
}

bool isPublishableUrl(const QString& url) {
    if (url.size() > 2000) {
        return false;
    }
    qsizetype hostStart = 0;
    if (url.startsWith(QStringLiteral("https://"))) {
        hostStart = 8;
    } else if (url.startsWith(QStringLiteral("http://"))) {
        hostStart = 7;
    } else {
        return false;
    }
    if (hostStart >= url.size() || url[hostStart] == u'/') {
        return false;
    }
    for (const QChar c : url) {
        // Blanks and controls would break the reply line or the browser's reading of it.
        if (c.unicode() <= 32 || c.unicode() == 127 || c.isSpace()) {
            return false;
        }
    }
    return true;
}

}  // namespace lsg::wire
