// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/versioninfo_block.h"

#include <QList>
#include <algorithm>

namespace lsg::versioninfo {

namespace {

constexpr qsizetype kHeaderSize = 6;  // length, value length, type
constexpr quint32 kFixedInfoSignature = 0xFEEF04BD;
constexpr qsizetype kFixedInfoSize = 52;

quint16 le16(QByteArrayView b, qsizetype at) {
    return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

quint32 le32(QByteArrayView b, qsizetype at) {
    return le16(b, at) | (quint32{le16(b, at + 2)} << 16);
}

qsizetype align4(qsizetype v) {
    return (v + 3) & ~qsizetype{3};
}

// UTF-16LE text from `begin` up to a NUL unit or `end`; `nulAt` receives the NUL's offset.
QString utf16Until(QByteArrayView b, qsizetype begin, qsizetype end, qsizetype* nulAt) {
    QString s;
    qsizetype at = begin;
    for (; at + 2 <= end; at += 2) {
        const quint16 unit = le16(b, at);
        if (unit == 0) {
            if (nulAt) {
                *nulAt = at;
            }
            return s;
        }
        s.append(QChar(unit));
    }
    if (nulAt) {
        *nulAt = -1;
    }
    return s;
}

struct Node {
    qsizetype end = 0;  // one past the node's last byte
    QString key;
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    qsizetype childrenBegin = 0;
    bool isText = false;
};

// The node starting at `begin`, which must end by `limit`; nullopt when it claims more room than
// it has or its key has no terminating NUL.
std::optional<Node> readNode(QByteArrayView b, qsizetype begin, qsizetype limit) {
    if (begin < 0 || limit > b.size() || begin > limit || limit - begin < kHeaderSize) {
        return std::nullopt;
    }
    const qsizetype length = le16(b, begin);
    if (length < kHeaderSize || length > limit - begin) {
        return std::nullopt;
    }
    Node n;
    n.end = begin + length;
    const quint16 valueLength = le16(b, begin + 2);
    n.isText = le16(b, begin + 4) == 1;
    qsizetype nul = -1;
    n.key = utf16Until(b, begin + kHeaderSize, n.end, &nul);
    if (nul < 0) {
        return std::nullopt;
    }
    n.valueBegin = std::min(align4(nul + 2), n.end);
    // A text value's length counts UTF-16 units, a binary one's bytes.
    const qsizetype valueBytes = n.isText ? qsizetype{valueLength} * 2 : qsizetype{valueLength};
    n.valueEnd = std::min(n.valueBegin + valueBytes, n.end);
    n.childrenBegin = std::min(align4(n.valueBegin + valueBytes), n.end);
    if (n.isText) {
        // Text is read up to its NUL, so it may run to the node's end whatever its length says.
        n.valueEnd = n.end;
    }
    return n;
}

std::optional<Node> findChild(QByteArrayView b, const Node& parent, QStringView key) {
    qsizetype at = parent.childrenBegin;
    // Each node is at least kHeaderSize long, so the walk always moves forward.
    while (at < parent.end) {
        const std::optional<Node> child = readNode(b, at, parent.end);
        if (!child) {
            return std::nullopt;
        }
        if (QStringView(child->key).compare(key, Qt::CaseInsensitive) == 0) {
            return child;
        }
        at = align4(child->end);
    }
    return std::nullopt;
}

}  // namespace

qsizetype versionBlockLength(QByteArrayView data) {
    const std::optional<Node> root = readNode(data, 0, data.size());
    if (!root || root->key != QLatin1String("VS_VERSION_INFO")) {
        return 0;
    }
    return root->end;
}

std::optional<BlockValue> queryValue(QByteArrayView block, QStringView subBlock) {
    const qsizetype length = versionBlockLength(block);
    if (length == 0) {
        return std::nullopt;
    }
    std::optional<Node> node = readNode(block, 0, length);
    for (QStringView part : subBlock.split(u'\\', Qt::SkipEmptyParts)) {
        node = findChild(block, *node, part);
        if (!node) {
            return std::nullopt;
        }
    }
    return BlockValue{block.sliced(node->valueBegin, node->valueEnd - node->valueBegin),
                      node->isText};
}

QString textOf(const BlockValue& value) {
    return utf16Until(value.bytes, 0, value.bytes.size(), nullptr);
}

std::optional<quint32> fileVersionMS(QByteArrayView block) {
    const std::optional<BlockValue> fixed = queryValue(block, u"\\");
    if (!fixed || fixed->bytes.size() < kFixedInfoSize ||
        le32(fixed->bytes, 0) != kFixedInfoSignature) {
        return std::nullopt;
    }
    return le32(fixed->bytes, 8);
}

}  // namespace lsg::versioninfo
