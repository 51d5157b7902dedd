// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// The server's reading of a request head: the same verdict whether the bytes come at once or in
// pieces, never a head past the limits; the client address taken from any X-Forwarded-For lines;
// and any text written to the export as JSON that parses back to the same text.
#include "fuzz/common.h"
#include "server/clientaddress.h"
#include "server/headscan.h"
#include "server/outputtext.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lsg::server;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const HeadLimits limits{64, 256, 8};

    HeadScanner whole(limits);
    const auto status = whole.scan(input);
    // In pieces whose sizes the input's first byte picks.
    const std::size_t step = size > 0 ? 1 + data[0] % 7 : 1;
    HeadScanner pieces(limits);
    auto pieceStatus = HeadScanner::Status::Incomplete;
    for (std::size_t n = step; pieceStatus == HeadScanner::Status::Incomplete; n += step) {
        pieceStatus = pieces.scan(input.substr(0, std::min(n, size)));
        if (n >= size) {
            break;
        }
    }
    if (pieceStatus != status) {
        std::abort();
    }
    if (status == HeadScanner::Status::Complete) {
        if (whole.headEnd() > size || pieces.headEnd() != whole.headEnd() ||
            whole.headEnd() - whole.headStart() > HeadScanner::maxHeadBytes(limits)) {
            std::abort();
        }
    }

    // Every line is an X-Forwarded-For value; the answer is the peer or a real address.
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from <= size;) {
        const std::size_t end = std::min(input.find('\n', from), size);
        lines.push_back(input.substr(from, end - from));
        from = end + 1;
    }
    const std::string client = clientAddress("peer", lines, 1 + int(size % 3));
    if (client != "peer" && limitKey(client) == client && client.find(':') != std::string::npos) {
        std::abort();  // an IPv6 address always becomes its /64
    }

    const QString text = lsg::fuzz::utf16(data, size);
    const std::string json = "{\"t\":" + jsonString(text) + "}";
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (error.error != QJsonParseError::NoError || json.find('\n') != std::string::npos) {
        std::abort();
    }
    const std::string line = reportText(text);
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            std::abort();
        }
    }
    return 0;
}
