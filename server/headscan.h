// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstddef>
#include <string_view>

namespace lsg::server {

// How large a request head may grow before it is refused, whatever the client sends.
struct HeadLimits {
    std::size_t requestLine = 8 * 1024;   // without its line break
    std::size_t headerBytes = 16 * 1024;  // the header lines with their line breaks
    std::size_t headerLines = 100;
};

// Watches the bytes of a request head as they arrive, so that an over-long or endless head is
// refused as soon as it passes a limit, before it is parsed and without ever holding more of it
// than the limits allow. Only the framing is judged here; the parser judges the rest.
class HeadScanner {
public:
    enum class Status {
        Incomplete,    // within the limits so far; read more
        Complete,      // the head ends at headEnd()
        BadRequest,    // not the start of an HTTP request (a TLS greeting, binary junk)
        LineTooLong,   // 414
        HeadTooLarge,  // 431
    };

    explicit HeadScanner(HeadLimits limits = {}) : m_limits(limits) {}

    // All bytes received so far for this request, the earlier ones unchanged. Picks up where the
    // last call stopped, so a head sent byte by byte costs no more than one sent at once.
    Status scan(std::string_view received);

    // Bytes before the request line (blank lines a client may send between requests).
    std::size_t headStart() const { return m_start; }
    // One past the blank line that ends the head.
    std::size_t headEnd() const { return m_end; }
    // The most bytes a head within the limits can take, blank lines before it excluded.
    static std::size_t maxHeadBytes(const HeadLimits& limits) {
        return limits.requestLine + 2 + limits.headerBytes + 2;
    }

private:
    HeadLimits m_limits;
    std::size_t m_pos = 0;          // next byte to look at
    std::size_t m_start = 0;        // first byte of the request line
    bool m_started = false;         // past the blank lines before the request line
    bool m_methodDone = false;      // past the method's token
    std::size_t m_lineStart = 0;    // first byte of the current header line
    bool m_inHeaders = false;       // the request line has ended
    std::size_t m_headerBytes = 0;  // header bytes in complete lines
    std::size_t m_headerLines = 0;
    std::size_t m_end = 0;
};

}  // namespace lsg::server
