// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// loadspire-server: answers the program's update checks and feedback, and serves the maker's
// pages. See usageText() for the command line.
#include "server/options.h"
#include "server/service.h"
#include "server/store.h"

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <thread>

namespace {

using namespace lsg::server;

int fail(const std::string& message) {
    std::fprintf(stderr, "loadspire-server: %s\n", message.c_str());
    return 1;
}

// Settings given now are kept; settings not given are those of the last run that gave them.
std::string remembered(Store& store, const char* key, const std::optional<std::string>& given) {
    if (given) {
        store.setSetting(key, *given);
        return *given;
    }
    return store.setting(key).value_or(std::string());
}

int serve(const Options& o) {
    // Termination is taken by one thread with sigwait; every other thread inherits the mask, so
    // no handler interrupts a request half-way.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Store store(o.dataFolder);
    const std::string hostPort =
        (o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host) + ":" +
        std::to_string(o.port);
    ServiceSettings settings;
    settings.currentVersion = remembered(store, "current-version", o.currentVersion);
    settings.downloadUrl = remembered(store, "download-url", o.downloadUrl);
    settings.fallbackHost = hostPort;
    settings.tls = !o.tlsCert.empty();
    settings.trustProxy = o.trustProxy;

    std::unique_ptr<httplib::Server> server;
    if (settings.tls) {
        auto tls = std::make_unique<httplib::SSLServer>(o.tlsCert.c_str(), o.tlsKey.c_str());
        if (!tls->is_valid()) {
            return fail("cannot use the certificate " + o.tlsCert + " with the key " + o.tlsKey);
        }
        server = std::move(tls);
    } else {
        server = std::make_unique<httplib::Server>();
    }
    // Enough workers that a few idle keep-alive connections do not hold up the rest.
    server->new_task_queue = [] { return new httplib::ThreadPool(32); };
    Service service(store, settings);
    service.install(*server);

    errno = 0;
    int port = o.port;
    if (port == 0) {
        port = server->bind_to_any_port(o.host);
    } else if (!server->bind_to_port(o.host, port)) {
        port = -1;
    }
    if (port <= 0) {
        const int error = errno;
        return fail("cannot listen on " + hostPort + ": " +
                    (error != 0 ? std::strerror(error) : "address not available"));
    }

    std::atomic<bool> listening{true};
    std::atomic<bool> signalled{false};
    std::thread stopper([&server, &listening, &signalled, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        // stop() stops accepting, and listen_after_bind() returns once the requests in flight
        // have ended. A signal in the moment before the server runs would be missed: try again.
        while (listening) {
            server->stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    std::printf(
        "loadspire-server: listening on %s://%s:%d (data in %s)\n", settings.tls ? "https" : "http",
        o.host.find(':') != std::string::npos ? ("[" + o.host + "]").c_str() : o.host.c_str(), port,
        store.path().c_str());
    if (settings.currentVersion.empty()) {
        std::printf(
            "loadspire-server: no --current-version given yet: update checks are refused\n");
    }
    std::fflush(stdout);
    server->listen_after_bind();
    listening = false;
    service.flush();
    if (!signalled) {
        // The server ended by itself; wake the stopper so that it can be joined.
        pthread_kill(stopper.native_handle(), SIGTERM);
    }
    stopper.join();
    std::printf("loadspire-server: stopped\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    try {
        o = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "loadspire-server: %s\n\n%s", e.what(), usageText().c_str());
        return 2;
    }
    try {
        switch (o.mode) {
            case Options::Mode::Help:
                std::fputs(usageText().c_str(), stdout);
                return 0;
            case Options::Mode::ExportFeedback: {
                Store store(o.dataFolder);
                store.exportFeedback(std::cout);
                std::cout.flush();
                return std::cout ? 0 : fail("cannot write the export");
            }
            case Options::Mode::Report: {
                Store store(o.dataFolder);
                store.report(std::cout);
                std::cout.flush();
                return std::cout ? 0 : fail("cannot write the report");
            }
            case Options::Mode::Serve:
                return serve(o);
        }
    } catch (const StoreError& e) {
        return fail(e.what());
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return 0;
}
