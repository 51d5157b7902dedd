// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Queries into a version-information block (VS_VERSIONINFO, the Windows binary layout): a tree of
// nodes, each "length, value length, type, UTF-16LE key, padding, value, padding, children",
// all little-endian and aligned to 32 bits from the block's start. Every length in the block is
// outside data: nothing here reads past the view it is given, whatever the lengths say.

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace lsg::versioninfo {

// The length the root node claims when `data` starts with a usable version block (length
// within `data`, key "VS_VERSION_INFO"); 0 otherwise.
qsizetype versionBlockLength(QByteArrayView data);

// A value found in the block: its bytes, bounded by its node.
struct BlockValue {
    QByteArrayView bytes;
    bool isText = false;
};

// Looks up a sub-block path such as "\StringFileInfo\040904E4\CompanyName": components are
// separated by backslashes, empty components are skipped ("\" is the root, whose value is the
// fixed file information) and keys match without regard to case. nullopt when the path is
// missing or the nodes on the way are damaged.
std::optional<BlockValue> queryValue(QByteArrayView block, QStringView subBlock);

// A text value up to its terminating NUL (or the end of its node when the NUL is missing).
QString textOf(const BlockValue& value);

// The fixed file version's most significant 32 bits, when the root carries fixed file
// information with the right signature.
std::optional<quint32> fileVersionMS(QByteArrayView block);

}  // namespace lsg::versioninfo
