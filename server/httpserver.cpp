// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/httpserver.h"

#include "server/clientaddress.h"

// Asio's awaitable uses std::exchange without including <utility> itself.
#include <utility>

#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <unordered_set>

namespace lsg::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
// What an error reply waits to read of a request it refused, so that the client reads the reply
// instead of a reset.
constexpr std::size_t kDrainBytes = 256 * 1024;
constexpr auto kDrainTime = std::chrono::seconds(1);

const char* reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 413:
            return "Content Too Large";
        case 414:
            return "URI Too Long";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 503:
            return "Service Unavailable";
        default:
            return status >= 500 ? "Internal Server Error" : "Error";
    }
}

Reply errorReply(int status, const char* why) {
    return {status, std::string("ERROR: ") + why + "\n", "text/plain; charset=utf-8", {}};
}

std::string peerAddress(const tcp::socket& socket) {
    beast::error_code ec;
    const tcp::endpoint peer = socket.remote_endpoint(ec);
    if (ec) {
        return "unknown";
    }
    asio::ip::address address = peer.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped()) {
        address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    }
    return address.to_string();
}

// One connection as the server keeps track of it, on the thread that serves it.
struct Connection {
    enum class State { Waiting, Reading, Answering };
    State state = State::Waiting;
    std::function<void()> close;
};

// A network thread with its own event loop and its own connections.
struct Worker {
    // Declared before the loop: the loop's end destroys suspended connections, which leave this.
    std::unordered_set<Connection*> connections;
    asio::io_context loop{1};
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> guard;
};

}  // namespace

class HttpServer::Impl {
public:
    Impl(HttpHandler& handler, HttpSettings settings)
        : m_handler(handler),
          m_settings(std::move(settings)),
          m_blocking(std::size_t(std::max(1, m_settings.blockingThreads))) {
        if (!m_settings.tlsCertFile.empty()) {
            m_tls.emplace(asio::ssl::context::tls_server);
            m_tls->set_options(asio::ssl::context::default_workarounds |
                               asio::ssl::context::no_sslv2 | asio::ssl::context::no_sslv3 |
                               asio::ssl::context::no_tlsv1 | asio::ssl::context::no_tlsv1_1);
            beast::error_code ec;
            m_tls->use_certificate_chain_file(m_settings.tlsCertFile, ec);
            if (!ec) {
                m_tls->use_private_key_file(m_settings.tlsKeyFile, asio::ssl::context::pem, ec);
            }
            if (ec || SSL_CTX_check_private_key(m_tls->native_handle()) != 1) {
                throw std::runtime_error("cannot use the certificate " + m_settings.tlsCertFile +
                                         " with the key " + m_settings.tlsKeyFile +
                                         (ec ? ": " + ec.message() : std::string()));
            }
        }
        int threads = m_settings.networkThreads;
        if (threads <= 0) {
            threads = int(std::max(1u, std::thread::hardware_concurrency()));
        }
        for (int i = 0; i < threads; ++i) {
            m_workers.push_back(std::make_unique<Worker>());
            m_workers.back()->guard.emplace(m_workers.back()->loop.get_executor());
        }
        m_acceptor.emplace(m_workers.front()->loop);
    }

    int listen(const std::string& host, int port) {
        beast::error_code ec;
        tcp::resolver resolver(m_workers.front()->loop);
        const auto found =
            resolver.resolve(host, std::to_string(port),
                             tcp::resolver::passive | tcp::resolver::numeric_service, ec);
        if (ec || found.empty()) {
            throw std::runtime_error(ec ? ec.message() : "address not available");
        }
        const tcp::endpoint endpoint = found.begin()->endpoint();
        m_acceptor->open(endpoint.protocol(), ec);
        // Reuse the address after a restart, but never share the port with a second server.
        if (!ec) {
            m_acceptor->set_option(asio::socket_base::reuse_address(true), ec);
        }
        if (!ec) {
            m_acceptor->bind(endpoint, ec);
        }
        if (!ec) {
            m_acceptor->listen(asio::socket_base::max_listen_connections, ec);
        }
        if (ec) {
            m_acceptor->close();
            throw std::runtime_error(ec.message());
        }
        return m_acceptor->local_endpoint().port();
    }

    void run() {
        if (m_acceptor->is_open()) {
            asio::co_spawn(m_workers.front()->loop, accept(), asio::detached);
        }
        std::vector<std::thread> threads;
        for (std::size_t i = 1; i < m_workers.size(); ++i) {
            threads.emplace_back([w = m_workers[i].get()] { w->loop.run(); });
        }
        m_workers.front()->loop.run();
        for (std::thread& t : threads) {
            t.join();
        }
        m_blocking.join();
    }

    void stop() {
        if (m_stopping.exchange(true)) {
            return;
        }
        asio::post(m_workers.front()->loop, [this] {
            beast::error_code ec;
            m_acceptor->close(ec);
        });
        for (auto& w : m_workers) {
            asio::post(w->loop, [w = w.get()] {
                for (Connection* c : w->connections) {
                    if (c->state != Connection::State::Answering) {
                        c->close();
                    }
                }
            });
        }
        asio::co_spawn(m_workers.front()->loop, finish(), asio::detached);
    }

    std::size_t openConnections() const { return m_open.load(); }

private:
    // Ends the loops once the connections being answered are done, or the grace is over.
    asio::awaitable<void> finish() {
        asio::steady_timer timer(m_workers.front()->loop);
        const auto deadline = std::chrono::steady_clock::now() + m_settings.stopGrace;
        while (m_open.load() > 0 && std::chrono::steady_clock::now() < deadline) {
            timer.expires_after(std::chrono::milliseconds(10));
            beast::error_code ec;
            co_await timer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
        }
        for (auto& w : m_workers) {
            w->guard.reset();
            w->loop.stop();
        }
    }

    bool crowded() const { return m_open.load() >= m_settings.maxConnections * 3 / 4; }

    // Closes every connection waiting for a request, on every thread: when connections run
    // short, idle ones are the cheapest to give up.
    void relieve() {
        if (m_relieving.exchange(true)) {
            return;
        }
        for (auto& w : m_workers) {
            asio::post(w->loop, [w = w.get()] {
                for (Connection* c : w->connections) {
                    if (c->state == Connection::State::Waiting) {
                        c->close();
                    }
                }
            });
        }
        asio::post(m_workers.back()->loop, [this] { m_relieving = false; });
    }

    asio::awaitable<void> accept() {
        std::size_t next = 0;
        asio::steady_timer pause(m_workers.front()->loop);
        for (;;) {
            Worker& w = *m_workers[next++ % m_workers.size()];
            beast::error_code ec;
            tcp::socket socket = co_await m_acceptor->async_accept(
                w.loop, asio::redirect_error(asio::use_awaitable, ec));
            if (m_stopping) {
                co_return;
            }
            if (ec) {
                // Out of descriptors or memory for a moment: let connections end.
                relieve();
                pause.expires_after(std::chrono::milliseconds(50));
                co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, ec));
                continue;
            }
            ++m_open;  // this one included
            if (crowded()) {
                relieve();
            }
            // Past the limit, wait a moment for idle connections to go before giving up on this
            // one.
            for (int i = 0; i < 40 && m_open.load() > m_settings.maxConnections; ++i) {
                relieve();
                pause.expires_after(std::chrono::milliseconds(5));
                co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, ec));
            }
            if (m_open.load() > m_settings.maxConnections) {
                --m_open;
                socket.close(ec);
                continue;
            }
            asio::co_spawn(w.loop, session(std::move(socket), w), asio::detached);
        }
    }

    asio::awaitable<void> session(tcp::socket socket, Worker& w) {
        Connection connection;
        w.connections.insert(&connection);
        struct Leave {
            Impl& impl;
            Worker& w;
            Connection& c;
            ~Leave() {
                w.connections.erase(&c);
                --impl.m_open;
            }
        } leave{*this, w, connection};
        const std::string peer = peerAddress(socket);
        beast::tcp_stream plain(std::move(socket));
        plain.socket().set_option(tcp::no_delay(true));
        // The head's deadline runs from the connection's start, the handshake included.
        plain.expires_after(m_settings.headDeadline);
        if (!m_tls) {
            connection.close = [&plain] { plain.close(); };
            co_await serve(plain, connection, peer);
            co_return;
        }
        beast::ssl_stream<beast::tcp_stream> secure(std::move(plain), *m_tls);
        connection.close = [&secure] { beast::get_lowest_layer(secure).close(); };
        beast::error_code ec;
        co_await secure.async_handshake(asio::ssl::stream_base::server,
                                        asio::redirect_error(asio::use_awaitable, ec));
        if (!ec && !m_stopping) {
            co_await serve(secure, connection, peer);
        }
    }

    template <class Stream>
    asio::awaitable<void> serve(Stream& stream, Connection& connection, const std::string& peer) {
        auto& lowest = beast::get_lowest_layer(stream);
        const std::size_t headRoom = HeadScanner::maxHeadBytes(m_settings.head) + 64;
        beast::flat_buffer buffer(headRoom + kReadChunk);
        bool first = true;
        for (;;) {
            connection.state = Connection::State::Waiting;
            beast::error_code ec;
            if (buffer.size() == 0) {
                if (m_stopping || (!first && crowded())) {
                    co_return;
                }
                if (!first) {
                    // An idle connection keeps no more than a small buffer.
                    if (buffer.capacity() > kReadChunk) {
                        buffer.shrink_to_fit();
                    }
                    lowest.expires_after(m_settings.idleTimeout);
                }
                const std::size_t n = co_await stream.async_read_some(
                    buffer.prepare(kReadChunk), asio::redirect_error(asio::use_awaitable, ec));
                if (ec) {
                    co_return;
                }
                buffer.commit(n);
            }
            connection.state = Connection::State::Reading;
            if (!first) {
                lowest.expires_after(m_settings.headDeadline);
            }
            first = false;

            HeadScanner scanner(m_settings.head);
            HeadScanner::Status status;
            for (;;) {
                status = scanner.scan(std::string_view(
                    static_cast<const char*>(buffer.data().data()), buffer.size()));
                if (status != HeadScanner::Status::Incomplete) {
                    break;
                }
                const std::size_t room =
                    std::min(kReadChunk, headRoom - std::min(headRoom, buffer.size()));
                if (room == 0) {
                    status = HeadScanner::Status::HeadTooLarge;
                    break;
                }
                const std::size_t n = co_await stream.async_read_some(
                    buffer.prepare(room), asio::redirect_error(asio::use_awaitable, ec));
                if (ec) {
                    co_return;  // the deadline passed or the client left: no one to answer
                }
                buffer.commit(n);
            }
            switch (status) {
                case HeadScanner::Status::LineTooLong:
                    co_await refuse(stream, buffer,
                                    errorReply(414, "the request line is too long"));
                    co_return;
                case HeadScanner::Status::HeadTooLarge:
                    co_await refuse(stream, buffer,
                                    errorReply(431, "the request header is too large"));
                    co_return;
                case HeadScanner::Status::BadRequest:
                    co_await refuse(stream, buffer, errorReply(400, "not an HTTP request"));
                    co_return;
                default:
                    break;
            }

            buffer.consume(scanner.headStart());
            const std::size_t headBytes = scanner.headEnd() - scanner.headStart();
            http::request_parser<http::string_body> parser;
            parser.header_limit(std::uint32_t(headBytes + 1));
            parser.body_limit(m_settings.maxBody);
            parser.put(asio::buffer(buffer.data().data(), headBytes), ec);
            if (ec == http::error::body_limit) {
                co_await refuse(stream, buffer, errorReply(413, "the request body is too large"));
                co_return;
            }
            if (ec || !parser.is_header_done()) {
                co_await refuse(stream, buffer, errorReply(400, "the request is malformed"));
                co_return;
            }
            buffer.consume(headBytes);

            if (!parser.is_done()) {
                auto& head = parser.get();
                if (head.version() >= 11 &&
                    beast::iequals(head[http::field::expect], "100-continue")) {
                    static const char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
                    lowest.expires_after(m_settings.writeDeadline);
                    co_await asio::async_write(stream,
                                               asio::buffer(kContinue, sizeof kContinue - 1),
                                               asio::redirect_error(asio::use_awaitable, ec));
                    if (ec) {
                        co_return;
                    }
                }
                lowest.expires_after(m_settings.bodyDeadline);
                co_await http::async_read(stream, buffer, parser,
                                          asio::redirect_error(asio::use_awaitable, ec));
                if (ec == http::error::body_limit) {
                    co_await refuse(stream, buffer,
                                    errorReply(413, "the request body is too large"));
                    co_return;
                }
                const bool malformed =
                    ec &&
                    ec.category() == http::make_error_code(http::error::bad_method).category() &&
                    ec != http::error::partial_message && ec != http::error::end_of_stream;
                if (malformed) {
                    co_await refuse(stream, buffer, errorReply(400, "the request is malformed"));
                    co_return;
                }
                if (ec) {
                    co_return;
                }
            }

            connection.state = Connection::State::Answering;
            auto& message = parser.get();
            HttpRequest request;
            request.method = std::string(message.method_string());
            const std::string_view target = message.target();
            request.path = std::string(target.substr(0, target.find('?')));
            request.host = std::string(message[http::field::host]);
            request.body = std::move(message.body());
            std::vector<std::string_view> forwarded;
            const auto [from, to] = message.equal_range("X-Forwarded-For");
            for (auto field = from; field != to; ++field) {
                forwarded.push_back(field->value());
            }
            request.client = clientAddress(peer, forwarded, m_settings.trustedProxies);

            Reply reply;
            try {
                if (m_handler.blocks(request)) {
                    reply = co_await asio::co_spawn(
                        m_blocking,
                        [this, &request]() -> asio::awaitable<Reply> {
                            co_return m_handler.respond(request);
                        },
                        asio::use_awaitable);
                } else {
                    reply = m_handler.respond(request);
                }
            } catch (const std::exception&) {
                reply = errorReply(500, "internal error");
            }
            const bool crowd = crowded();
            if (crowd) {
                relieve();
            }
            const bool keepAlive = message.keep_alive() && !m_stopping && !crowd;
            const std::string out = format(reply, keepAlive, message.method() == http::verb::head);
            lowest.expires_after(m_settings.writeDeadline);
            co_await asio::async_write(stream, asio::buffer(out),
                                       asio::redirect_error(asio::use_awaitable, ec));
            if (ec || !keepAlive) {
                co_return;
            }
        }
    }

    // Answers a request that will not be read, then reads for a moment what the client still
    // sends, so that the reply is not lost to a reset; then the connection ends.
    template <class Stream>
    asio::awaitable<void> refuse(Stream& stream, beast::flat_buffer& buffer, const Reply& reply) {
        auto& lowest = beast::get_lowest_layer(stream);
        beast::error_code ec;
        const std::string out = format(reply, false, false);
        lowest.expires_after(m_settings.writeDeadline);
        co_await asio::async_write(stream, asio::buffer(out),
                                   asio::redirect_error(asio::use_awaitable, ec));
        if (ec || m_stopping) {
            co_return;
        }
        lowest.socket().shutdown(tcp::socket::shutdown_send, ec);
        lowest.expires_after(kDrainTime);
        std::size_t drained = 0;
        while (!ec && drained < kDrainBytes) {
            buffer.clear();
            drained += co_await stream.async_read_some(
                buffer.prepare(kReadChunk), asio::redirect_error(asio::use_awaitable, ec));
        }
    }

    std::string format(const Reply& reply, bool keepAlive, bool headOnly) const {
        std::string out;
        out.reserve(256 + (headOnly ? 0 : reply.body.size()));
        out += "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
        out += "Content-Type: " + reply.contentType + "\r\n";
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        for (const auto& [name, value] : m_settings.defaultHeaders) {
            out += name + ": " + value + "\r\n";
        }
        for (const auto& [name, value] : reply.headers) {
            out += name + ": " + value + "\r\n";
        }
        out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
        if (!headOnly) {
            out += reply.body;
        }
        return out;
    }

    HttpHandler& m_handler;
    const HttpSettings m_settings;
    std::atomic<std::size_t> m_open{0};
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_relieving{false};
    std::optional<asio::ssl::context> m_tls;
    asio::thread_pool m_blocking;
    // The loops are destroyed before what their suspended connections refer to above, and the
    // acceptor before the loop it belongs to.
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::optional<tcp::acceptor> m_acceptor;
};

HttpServer::HttpServer(HttpHandler& handler, HttpSettings settings)
    : m_impl(std::make_unique<Impl>(handler, std::move(settings))) {}

HttpServer::~HttpServer() = default;

int HttpServer::listen(const std::string& host, int port) {
    return m_impl->listen(host, port);
}

void HttpServer::run() {
    m_impl->run();
}

void HttpServer::stop() {
    m_impl->stop();
}

std::size_t HttpServer::openConnections() const {
    return m_impl->openConnections();
}

}  // namespace lsg::server
