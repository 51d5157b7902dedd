// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The e-mail check on any text, against a plain reading of the same rule: letters, digits and
// _ . + - before the one at-sign; after it a first label of letters, digits and hyphens, a dot,
// then letters, digits, hyphens and dots ending in a letter or digit.
#include "fuzz/common.h"
#include "wire/emailcheck.h"

namespace {

bool isAlnum(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool plainRule(const QString& s) {
    const qsizetype at = s.indexOf(u'@');
    if (at <= 0) {
        return false;
    }
    for (qsizetype i = 0; i < at; ++i) {
        const QChar c = s[i];
        if (!isAlnum(c) && c != u'_' && c != u'.' && c != u'+' && c != u'-') {
            return false;
        }
    }
    const qsizetype dot = s.indexOf(u'.', at + 1);
    if (dot <= at + 1 || dot + 1 >= s.size()) {
        return false;
    }
    for (qsizetype i = at + 1; i < dot; ++i) {
        if (!isAlnum(s[i]) && s[i] != u'-') {
            return false;
        }
    }
    for (qsizetype i = dot + 1; i < s.size(); ++i) {
        if (!isAlnum(s[i]) && s[i] != u'-' && s[i] != u'.') {
            return false;
        }
    }
    return isAlnum(s.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString texts[] = {QString::fromUtf8(lsg::fuzz::bytes(data, size)),
                             lsg::fuzz::utf16(data, size)};
    for (const QString& text : texts) {
        lsg::fuzz::require(lsg::feedback::isValidEmail(text) == plainRule(text));
    }
    return 0;
}
