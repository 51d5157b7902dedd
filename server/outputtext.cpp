// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/outputtext.h"

namespace lsg::server {
namespace {

void appendEscape(std::string& out, char16_t u) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\u";
    out += kHex[(u >> 12) & 0xF];
    out += kHex[(u >> 8) & 0xF];
    out += kHex[(u >> 4) & 0xF];
    out += kHex[u & 0xF];
}

// Writes the text, passing each character that `escape` does not claim through as UTF-8.
template <typename Escape>
std::string escaped(const QString& text, Escape escape) {
    std::string out;
    out.reserve(std::size_t(text.size()) + 2);
    qsizetype run = 0;  // start of the characters not yet written, which need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            ++i;
            continue;
        }
        const bool lone = QChar::isSurrogate(u);
        std::string replacement;
        if (!lone && !escape(u, replacement)) {
            continue;
        }
        out += text.mid(run, i - run).toStdString();
        run = i + 1;
        if (replacement.empty()) {
            appendEscape(out, u);
        } else {
            out += replacement;
        }
    }
    out += text.mid(run).toStdString();
    return out;
}

}  // namespace

bool isUnsafeForDisplay(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string jsonString(const QString& text) {
    return '"' +
           escaped(text,
                   [](char16_t u, std::string& replacement) {
                       switch (u) {
                           case u'"':
                               replacement = "\\\"";
                               return true;
                           case u'\\':
                               replacement = "\\\\";
                               return true;
                           case u'\n':
                               replacement = "\\n";
                               return true;
                           case u'\r':
                               replacement = "\\r";
                               return true;
                           case u'\t':
                               replacement = "\\t";
                               return true;
                           default:
                               return isUnsafeForDisplay(u);
                       }
                   }) +
           '"';
}

std::string reportText(const QString& text) {
    return escaped(text, [](char16_t u, std::string& replacement) {
        if (u == u'\\') {
            replacement = "\\\\";
            return true;
        }
        return isUnsafeForDisplay(u);
    });
}

}  // namespace lsg::server
