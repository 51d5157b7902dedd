// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace lsg::fuzz {

// The input as bytes, without a copy.
inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

// The input as UTF-16 code units, lone surrogates and all: text that came from a file or
// the network can hold anything once it is a QString.
inline QString utf16(const std::uint8_t* data, std::size_t size) {
    return QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
}

// The input cut at every occurrence of a separator, for targets that take several inputs in
// a row (samples, header and body).
inline QList<QByteArray> pieces(const QByteArray& input, const QByteArray& separator) {
    QList<QByteArray> out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = input.indexOf(separator, from);
        if (at < 0) {
            out.append(input.mid(from));
            return out;
        }
        out.append(input.mid(from, at - from));
        from = at + separator.size();
    }
}

// A broken property is a fault like a crash: stop so that the fuzzer keeps the input.
inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace lsg::fuzz
