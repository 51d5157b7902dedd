// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/headscan.h"

namespace lsg::server {
namespace {

// The characters a method may have (a token).
bool isTokenChar(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return true;
    }
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
        return true;
    }
    switch (c) {
        case '!':
        case '#':
        case '$':
        case '%':
        case '&':
        case '\'':
        case '*':
        case '+':
        case '-':
        case '.':
        case '^':
        case '_':
        case '`':
        case '|':
        case '~':
            return true;
        default:
            return false;
    }
}

}  // namespace

HeadScanner::Status HeadScanner::scan(std::string_view received) {
    for (; m_pos < received.size(); ++m_pos) {
        const auto c = static_cast<unsigned char>(received[m_pos]);
        if (!m_started) {
            // Blank lines before a request are allowed, a few of them.
            if (c == '\r' || c == '\n') {
                if (m_pos >= 16) {
                    return Status::BadRequest;
                }
                continue;
            }
            m_started = true;
            m_start = m_pos;
        }
        if (!m_inHeaders) {
            // A request starts with a method: anything else, such as a TLS greeting on the
            // plain port, is refused at its first byte instead of waiting for a line break.
            if (!m_methodDone) {
                if (c == ' ' && m_pos > m_start) {
                    m_methodDone = true;
                } else if (!isTokenChar(c)) {
                    return Status::BadRequest;
                }
            }
            if (c == '\n') {
                m_inHeaders = true;
                m_lineStart = m_pos + 1;
                continue;
            }
            // The line break's carriage return is not part of the line.
            if (m_pos - m_start >= m_limits.requestLine + (c == '\r' ? 1 : 0)) {
                return Status::LineTooLong;
            }
            continue;
        }
        if (c != '\n') {
            if (m_headerBytes + (m_pos - m_lineStart) >=
                m_limits.headerBytes + (c == '\r' ? 1 : 0)) {
                return Status::HeadTooLarge;
            }
            continue;
        }
        const std::size_t length = m_pos + 1 - m_lineStart;
        const bool blank = length == 1 || (length == 2 && received[m_lineStart] == '\r');
        if (blank) {
            m_end = m_pos + 1;
            ++m_pos;
            return Status::Complete;
        }
        m_headerBytes += length;
        if (m_headerBytes > m_limits.headerBytes || ++m_headerLines > m_limits.headerLines) {
            return Status::HeadTooLarge;
        }
        m_lineStart = m_pos + 1;
    }
    return Status::Incomplete;
}

}  // namespace lsg::server
