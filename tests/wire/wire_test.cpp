// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "wire/updatereply.h"
#include "wire/wireform.h"

#include <gtest/gtest.h>

namespace {

using lsg::wire::decodeForm;
using lsg::wire::encodeForm;

TEST(WireForm, EncodesEachByteByTheTable) {
    struct Case {
        QStringList lines;
        QByteArray body;
    };
    const Case cases[] = {
        {{"cmd=check", "local=en-US"}, "cmd=check&local=en-US"},
        {{"feedback=A & B"}, "feedback=A+%26+B"},
        {{"v=+=&%"}, "v=%2B%3D%26%25"},
        {{"v=a\r\nb\rc"}, "v=a%0D%0Ab%0Dc"},
        {{QString::fromUtf8("v=\xC3\xA9\xF0\x9F\x98\x80")}, "v=%C3%A9%F0%9F%98%80"},
        {{"v=*-._aZ09~!"}, "v=*-._aZ09%7E%21"},
        {{"empty=", "bare"}, "empty=&bare="},
        {{"url=a=b"}, "url=a%3Db"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeForm(c.lines), c.body) << c.lines.join('|').toStdString();
    }
}

TEST(WireForm, DecodesWhatItEncodesBackToTheSameFields) {
    const QString hostile =
        QString::fromUtf8("I like it!\r\xE6\x97\xA5\xE6\x9C\xAC +%&=\"'; DROP\n\t\xF0\x9F\x98\x80");
    const auto fields = decodeForm(encodeForm({"cmd=feedback", "feedback=" + hostile, "email="}));
    ASSERT_TRUE(fields.has_value());
    ASSERT_EQ(fields->size(), 3);
    EXPECT_EQ((*fields)[0], std::make_pair(QString("cmd"), QString("feedback")));
    EXPECT_EQ((*fields)[1].second, hostile);
    EXPECT_EQ((*fields)[2], std::make_pair(QString("email"), QString()));
    // Lower-case escapes are read too; an empty body has no fields.
    EXPECT_EQ(decodeForm("a=%c3%a9")->at(0).second, QString::fromUtf8("\xC3\xA9"));
    EXPECT_TRUE(decodeForm("")->isEmpty());
}

TEST(WireForm, RefusesBodiesThatAreNoForm) {
    const char* bad[] = {
        "cmd",          // no '='
        "=value",       // empty name
        "a=1&",         // empty pair at the end
        "a=1&&b=2",     // empty pair inside
        "a=%",          // cut escape
        "a=%4",         // half an escape
        "a=%G0",        // not hexadecimal
        "a=%C3",        // a lone UTF-8 lead byte
        "a=%FF%FE",     // never UTF-8
        "a=%ED%A0%80",  // an encoded surrogate
    };
    for (const char* body : bad) {
        EXPECT_FALSE(decodeForm(body).has_value()) << body;
    }
}

TEST(UpdateReply, WhatTheServerWritesTheClientReadsBack) {
    const QString reply =
        lsg::wire::formatUpdateReply("9.9", "https://example.org/download/?a=1&b=<2>");
    const QStringList lines = lsg::wire::replyLines(reply);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lsg::wire::ExtractTag(lines[0], "version"), "9.9");
    EXPECT_EQ(lsg::wire::ExtractTag(lines[1], "url"), "https://example.org/download/?a=1&b=<2>");
}

TEST(UpdateReply, PublishesOnlyVersionsAndAddressesTheClientCanUse) {
    for (const char* v : {"4.4", "1.2.3", "10.0", "0.1", "2147483.647"}) {
        EXPECT_TRUE(lsg::wire::isPublishableVersion(v)) << v;
    }
    for (const char* v :
         {"", ".4", "4.", "4..4", "4.4b", " 4.4", "beta", "-1.2", "2147483.648", "99999999999.1"}) {
        EXPECT_FALSE(lsg::wire::isPublishableVersion(v)) << v;
    }
    for (const char* u :
         {"http://h/", "https://example.org/download/", "http://127.0.0.1:8080/x"}) {
        EXPECT_TRUE(lsg::wire::isPublishableUrl(u)) << u;
    }
    for (const char* u : {"", "ftp://h/", "https://", "https:///path", "javascript:alert(1)",
                          "http://h/a b", "http://h/\r\n<version>1.0</version>", "HTTP://h/"}) {
        EXPECT_FALSE(lsg::wire::isPublishableUrl(u)) << u;
    }
    EXPECT_FALSE(lsg::wire::isPublishableUrl("http://h/" + QString(2000, u'a')));
}

}  // namespace
