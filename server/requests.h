// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <variant>

// What the program posts, decoded and checked field by field. Anything the program would never
// send is refused, so that nothing but well-formed records reaches the database.
namespace lsg::server {

// Longest values kept; far above what the program sends, far below anything costly.
inline constexpr int kMaxAppNameLength = 100;
inline constexpr int kMaxVersionLength = 20;
inline constexpr int kMaxOsLength = 200;
inline constexpr int kMaxLocaleLength = 20;
inline constexpr int kMaxGuidLength = 64;

// The feedback dialog's limits: the text box holds at most 10000 characters as sent (a line
// break counts as the two it is sent as), the e-mail box at most 100.
inline constexpr int kMaxFeedbackTextLength = 10000;
inline constexpr int kMaxEmailLength = 100;

// The verdict panels put one of these, ended by a lone carriage return, before the text.
inline constexpr char16_t kLikePrefix[] = u"I like it!\r";
inline constexpr char16_t kDislikePrefix[] = u"I dislike it!\r";

struct CheckRequest {
    QString appname;
    QString version;
    QString os;
    QString locale;
    QString guid;
};

enum class Verdict { None, Like, Dislike };

struct FeedbackRequest {
    QString appname;
    QString version;
    Verdict verdict = Verdict::None;
    QString text;   // without the verdict's prefix
    QString email;  // empty when none was given
};

// Why a request was refused, in a few words for the error reply.
struct Refusal {
    QString reason;
};

std::variant<CheckRequest, Refusal> parseCheck(QByteArrayView body);
std::variant<FeedbackRequest, Refusal> parseFeedback(QByteArrayView body);

// The verdict and the text as the dialog joined them; nullopt when the text could not have come
// from the dialog (blank, untrimmed, too long).
struct SplitFeedback {
    Verdict verdict;
    QString text;
};
std::optional<SplitFeedback> splitFeedbackText(const QString& sent);

}  // namespace lsg::server
