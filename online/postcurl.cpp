// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/postcurl.h"

#include "platform/exception.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace lsg::net {

namespace {

using Clock = std::chrono::steady_clock;

// How often the wait loop looks at the clock and the cancel flag when nothing happens.
constexpr int kPollMs = 50;

void initCurlOnce() {
    // curl_global_init is not safe to race with itself or with curl_easy_init.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// State the curl callbacks share with the wait loop; all of it lives on the calling thread.
struct Transfer {
    QByteArray body;
    bool tooLarge = false;
    QByteArray statusLine;
    Clock::time_point lastData;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastData = Clock::now();
    if (static_cast<qint64>(t->body.size()) + static_cast<qint64>(n) > kMaxReplyBytes) {
        t->tooLarge = true;
        return 0;  // makes curl stop with a write error
    }
    t->body.append(data, static_cast<qsizetype>(n));
    return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastData = Clock::now();
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        t->statusLine = line.left(200);
    }
    return n;
}

// Owns the handles of one request, so that every exit path releases them.
class Handles {
public:
    Handles() : m_easy(curl_easy_init()), m_multi(curl_multi_init()) {}
    ~Handles() {
        if (m_added) {
            curl_multi_remove_handle(m_multi, m_easy);
        }
        if (m_headers != nullptr) {
            curl_slist_free_all(m_headers);
        }
        if (m_easy != nullptr) {
            curl_easy_cleanup(m_easy);
        }
        if (m_multi != nullptr) {
            curl_multi_cleanup(m_multi);
        }
    }
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;

    CURL* easy() const { return m_easy; }
    CURLM* multi() const { return m_multi; }
    bool valid() const { return m_easy != nullptr && m_multi != nullptr; }
    void addHeader(const char* header) { m_headers = curl_slist_append(m_headers, header); }
    curl_slist* headers() const { return m_headers; }
    bool add() {
        m_added = curl_multi_add_handle(m_multi, m_easy) == CURLM_OK;
        return m_added;
    }

private:
    CURL* m_easy;
    CURLM* m_multi;
    curl_slist* m_headers = nullptr;
    bool m_added = false;
};

[[noreturn]] void fail(const QString& message) {
    throw lsg::Exception(message);
}

// Failures where a TLS peer answered but could not be verified, or where our own trust store
// could not be loaded: nothing that follows may be believed.
bool isVerificationFailure(CURLcode code) {
    switch (code) {
        case CURLE_PEER_FAILED_VERIFICATION:  // also CURLE_SSL_CACERT
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return true;
        default:
            return false;
    }
}

QString curlMessage(CURLcode code, const char* detail) {
    QString message = QString::fromUtf8(curl_easy_strerror(code));
    const QString more = QString::fromUtf8(detail).trimmed();
    if (!more.isEmpty() && more != message) {
        message += QStringLiteral(": ") + more;
    }
    return message;
}

}  // namespace

QString postFormHere(const QString& url, const QStringList& lines, int timeoutMs,
                     const PostOptions& options) {
    initCurlOnce();
    const bool secure = url.startsWith(QStringLiteral("https://"));
    const long timeout = std::max(timeoutMs, 1);
    const QByteArray address = url.toUtf8();
    const QByteArray body = formBody(lines);
    const QByteArray caFile = options.caFile.toLocal8Bit();

    Handles h;
    if (!h.valid()) {
        fail(QStringLiteral("The HTTP client could not be created."));
    }
    CURL* easy = h.easy();
    Transfer transfer;
    char errorText[CURL_ERROR_SIZE] = {};

    h.addHeader(secure ? "Content-Type: application/x-www-form-urlencoded; charset=utf-8"
                       : "Content-Type: application/x-www-form-urlencoded");
    if (secure) {
        h.addHeader("Connection: close");
    }
    // Without this curl waits for "100 Continue" before sending a larger body.
    h.addHeader("Expect:");

    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, h.headers());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeout);
    // Hard bound for a server that trickles bytes: connecting plus one full reply wait.
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 2 * timeout);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.constData());
    }
#if LIBCURL_VERSION_NUM >= 0x075700
    // A cancelled request must not wait for a slow name lookup to finish.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
#endif
    if (secure) {
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
        // A verified server must not be able to hand the request on to a plain address.
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    } else {
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    }

    if (!h.add()) {
        fail(QStringLiteral("The HTTP request could not be started."));
    }

    // curl bounds connecting (TLS included); this loop bounds each wait for reply data once
    // the request is on its way, which curl's own low-speed limit does far too loosely.
    const auto limit = std::chrono::milliseconds(timeout);
    bool sent = false;
    Clock::time_point waitFrom;
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        const CURLMcode mc = curl_multi_perform(h.multi(), &running);
        if (mc != CURLM_OK) {
            fail(QString::fromUtf8(curl_multi_strerror(mc)));
        }
        if (running == 0) {
            int left = 0;
            CURLMsg* msg = nullptr;
            while ((msg = curl_multi_info_read(h.multi(), &left)) != nullptr) {
                if (msg->msg == CURLMSG_DONE) {
                    result = msg->data.result;
                }
            }
            break;
        }
        if (options.cancel != nullptr && options.cancel->load(std::memory_order_acquire)) {
            fail(QStringLiteral("The request was cancelled."));
        }
        const auto now = Clock::now();
        if (!sent) {
            curl_off_t pretransfer = 0;
            if (curl_easy_getinfo(easy, CURLINFO_PRETRANSFER_TIME_T, &pretransfer) == CURLE_OK &&
                pretransfer > 0) {
                sent = true;
                waitFrom = now;
            }
        }
        if (sent && now - std::max(waitFrom, transfer.lastData) > limit) {
            fail(QStringLiteral("The server did not answer within %1 ms.").arg(timeout));
        }
        curl_multi_poll(h.multi(), nullptr, 0, kPollMs, nullptr);
    }

    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        fail(QStringLiteral("The server's reply is larger than %1 bytes.").arg(kMaxReplyBytes));
    }
    if (secure && isVerificationFailure(result)) {
        throw UntrustedPeerError(curlMessage(result, errorText));
    }
    if (secure && result == CURLE_UNSUPPORTED_PROTOCOL) {
        // The address we asked for is https, so only a redirect can lead elsewhere.
        throw UntrustedPeerError(
            QStringLiteral("The server redirected to an address that is not https: ") +
            curlMessage(result, errorText));
    }
    if (result != CURLE_OK) {
        fail(curlMessage(result, errorText));
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (!secure && (status < 200 || status > 299)) {
        const QString line = QString::fromLatin1(transfer.statusLine);
        fail(line.isEmpty() ? QStringLiteral("The server answered with HTTP status %1.").arg(status)
                            : QStringLiteral("The server answered \"%1\".").arg(line));
    }
    const char* contentType = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType);
    return decodeReply(transfer.body, QByteArray(contentType));
}

}  // namespace lsg::net
