// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "wire/wireform.h"

#include <QStringDecoder>

namespace lsg::wire {
namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
           c == '-' || c == '.' || c == '_';
}

void appendEscaped(QByteArray& out, const QString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// One name or value, unescaped and decoded; nullopt on a broken escape or bad UTF-8.
std::optional<QString> unescape(QByteArrayView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            bytes += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            bytes += c;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return decoded;
}

}  // namespace

QByteArray encodeForm(const QStringList& lines) {
    QByteArray out;
    bool first = true;
    for (const QString& line : lines) {
        if (!first) {
            out += '&';
        }
        first = false;
        const qsizetype eq = line.indexOf(u'=');
        appendEscaped(out, eq < 0 ? line : line.left(eq));
        out += '=';
        if (eq >= 0) {
            appendEscaped(out, line.mid(eq + 1));
        }
    }
    return out;
}

std::optional<QList<FormField>> decodeForm(QByteArrayView body) {
    QList<FormField> fields;
    if (body.isEmpty()) {
        return fields;
    }
    qsizetype start = 0;
    while (start <= body.size()) {
        qsizetype end = body.indexOf('&', start);
        if (end < 0) {
            end = body.size();
        }
        const QByteArrayView pair = body.sliced(start, end - start);
        const qsizetype eq = pair.indexOf('=');
        if (eq <= 0) {
            return std::nullopt;  // no '=' or an empty name
        }
        auto name = unescape(pair.first(eq));
        auto value = unescape(pair.sliced(eq + 1));
        if (!name || !value || name->isEmpty()) {
            return std::nullopt;
        }
        fields.append({std::move(*name), std::move(*value)});
        start = end + 1;
    }
    return fields;
}

}  // namespace lsg::wire
