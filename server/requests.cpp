// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/requests.h"

#include "wire/emailcheck.h"
#include "wire/wireform.h"

#include <QHash>

#include <initializer_list>

namespace lsg::server {
namespace {

bool isControlOrBlank(QChar c) {
    return c.unicode() <= 32;
}

bool hasControl(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() == 127) {
            return true;
        }
    }
    return false;
}

bool isTrimmed(const QString& text) {
    return text.isEmpty() || (!isControlOrBlank(text.front()) && !isControlOrBlank(text.back()));
}

// "%d.%d" as the program formats its own version.
bool isProgramVersion(const QString& version) {
    const qsizetype dot = version.indexOf(u'.');
    if (dot <= 0 || dot == version.size() - 1 || dot > 9 || version.size() - dot - 1 > 9) {
        return false;
    }
    for (qsizetype i = 0; i < version.size(); ++i) {
        if (i != dot && (version[i] < u'0' || version[i] > u'9')) {
            return false;
        }
    }
    return true;
}

// The decoded fields by name, each present at most once and every name one of those allowed.
struct Fields {
    QHash<QString, QString> values;
    QString error;
};

Fields collect(QByteArrayView body, std::initializer_list<const char*> allowed) {
    Fields out;
    const auto decoded = wire::decodeForm(body);
    if (!decoded) {
        out.error = QStringLiteral("the body is not a well-formed form");
        return out;
    }
    for (const auto& [name, value] : *decoded) {
        bool known = false;
        for (const char* a : allowed) {
            known = known || name == QLatin1String(a);
        }
        if (!known) {
            out.error = QStringLiteral("unexpected field");
            return out;
        }
        if (out.values.contains(name)) {
            out.error = QStringLiteral("repeated field");
            return out;
        }
        out.values.insert(name, value);
    }
    return out;
}

// A required one-line value of bounded length; sets error when it is not.
QString lineField(const Fields& f, const char* name, int maxLength, bool mayBeEmpty,
                  QString& error) {
    const auto it = f.values.constFind(QLatin1String(name));
    if (it == f.values.cend()) {
        error = QStringLiteral("missing field ") + QLatin1String(name);
        return {};
    }
    if ((!mayBeEmpty && it->isEmpty()) || it->size() > maxLength || hasControl(*it)) {
        error = QStringLiteral("bad field ") + QLatin1String(name);
        return {};
    }
    return *it;
}

}  // namespace

std::optional<SplitFeedback> splitFeedbackText(const QString& sent) {
    SplitFeedback out{Verdict::None, sent};
    const QString like = QString::fromUtf16(kLikePrefix);
    const QString dislike = QString::fromUtf16(kDislikePrefix);
    // The dialog trims the typed text, so after a verdict's carriage return no line feed can
    // follow: "I like it!\r\n..." is text the user typed without choosing.
    for (const auto& [prefix, verdict] :
         {std::pair{like, Verdict::Like}, std::pair{dislike, Verdict::Dislike}}) {
        if (sent.startsWith(prefix) && !sent.mid(prefix.size()).startsWith(u'\n')) {
            out = {verdict, sent.mid(prefix.size())};
            break;
        }
    }
    if (out.text.size() > kMaxFeedbackTextLength || !isTrimmed(out.text)) {
        return std::nullopt;
    }
    if (out.verdict == Verdict::None && out.text.isEmpty()) {
        return std::nullopt;
    }
    return out;
}

std::variant<CheckRequest, Refusal> parseCheck(QByteArrayView body) {
    const Fields f = collect(body, {"cmd", "appname", "version", "os", "local", "guid"});
    if (!f.error.isEmpty()) {
        return Refusal{f.error};
    }
    if (f.values.value(QStringLiteral("cmd")) != QLatin1String("check")) {
        return Refusal{QStringLiteral("cmd is not check")};
    }
    QString error;
    CheckRequest r;
    r.appname = lineField(f, "appname", kMaxAppNameLength, false, error);
    r.version = lineField(f, "version", kMaxVersionLength, false, error);
    r.os = lineField(f, "os", kMaxOsLength, true, error);
    r.locale = lineField(f, "local", kMaxLocaleLength, false, error);
    r.guid = lineField(f, "guid", kMaxGuidLength, true, error);
    if (!error.isEmpty()) {
        return Refusal{error};
    }
    if (!isProgramVersion(r.version)) {
        return Refusal{QStringLiteral("bad field version")};
    }
    return r;
}

std::variant<FeedbackRequest, Refusal> parseFeedback(QByteArrayView body) {
    const Fields f = collect(body, {"cmd", "appname", "version", "feedback", "email"});
    if (!f.error.isEmpty()) {
        return Refusal{f.error};
    }
    if (f.values.value(QStringLiteral("cmd")) != QLatin1String("feedback")) {
        return Refusal{QStringLiteral("cmd is not feedback")};
    }
    QString error;
    FeedbackRequest r;
    r.appname = lineField(f, "appname", kMaxAppNameLength, false, error);
    r.version = lineField(f, "version", kMaxVersionLength, false, error);
    if (!error.isEmpty()) {
        return Refusal{error};
    }
    if (!isProgramVersion(r.version)) {
        return Refusal{QStringLiteral("bad field version")};
    }
    const auto feedback = f.values.constFind(QStringLiteral("feedback"));
    if (feedback == f.values.cend()) {
        return Refusal{QStringLiteral("missing field feedback")};
    }
    const auto split = splitFeedbackText(*feedback);
    if (!split) {
        return Refusal{QStringLiteral("bad field feedback")};
    }
    // No dialog types a NUL, and not every database can store one.
    if (split->text.contains(QChar(u'\0'))) {
        return Refusal{QStringLiteral("bad field feedback")};
    }
    r.verdict = split->verdict;
    r.text = split->text;
    r.email = f.values.value(QStringLiteral("email"));
    // The dialog sends a trimmed address that passed its check, or no address at all.
    if (!r.email.isEmpty() &&
        (r.email.size() > kMaxEmailLength || !feedback::isValidEmail(r.email))) {
        return Refusal{QStringLiteral("bad field email")};
    }
    return r;
}

}  // namespace lsg::server
