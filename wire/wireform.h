// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The application/x-www-form-urlencoded body the program posts to the maker's server, written by
// the client and read back by the server with the same rules.
namespace lsg::wire {

// The body of "name=value" lines, in their order. Everything before the first '=' is the name (a
// line without '=' is all name, empty value). Letters, digits and "*-._" stay as they are, a
// blank becomes '+', every other UTF-8 byte "%XX" in upper-case hexadecimal.
QByteArray encodeForm(const QStringList& lines);

using FormField = std::pair<QString, QString>;

// The fields of a body, in their order; nullopt when it is not a well-formed form: a pair
// without '=', an empty name, a '%' not followed by two hexadecimal digits, or bytes that are
// not UTF-8. An empty body has no fields. Percent escapes may use either case of hexadecimal.
std::optional<QList<FormField>> decodeForm(QByteArrayView body);

}  // namespace lsg::wire
