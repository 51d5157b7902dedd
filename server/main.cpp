// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// loadspire-server: answers the program's update checks and feedback, and serves the maker's
// pages. See usageText() for the command line.
#include "server/httpserver.h"
#include "server/options.h"
#include "server/service.h"
#include "server/store.h"

#include <sys/resource.h>

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
    // A connection is a descriptor: take all the system grants, not the shell's default.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    const auto store = Store::open(o.dataFolder, o.databaseUrl);
    const std::string hostPort =
        (o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host) + ":" +
        std::to_string(o.port);
    ServiceSettings settings;
    settings.currentVersion = remembered(*store, "current-version", o.currentVersion);
    settings.downloadUrl = remembered(*store, "download-url", o.downloadUrl);
    settings.fallbackHost = hostPort;
    settings.tls = !o.tlsCert.empty();
    Service service(*store, settings);

    HttpSettings http = Service::httpSettings();
    http.trustedProxies = o.trustProxy;
    http.tlsCertFile = o.tlsCert;
    http.tlsKeyFile = o.tlsKey;
    std::unique_ptr<HttpServer> server;
    int port = 0;
    try {
        server = std::make_unique<HttpServer>(service, http);
    } catch (const std::runtime_error& e) {
        return fail(e.what());
    }
    try {
        port = server->listen(o.host, o.port);
    } catch (const std::runtime_error& e) {
        return fail("cannot listen on " + hostPort + ": " + e.what());
    }

    std::atomic<bool> running{true};
    std::atomic<bool> signalled{false};
    std::thread stopper([&server, &running, &signalled, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        if (running) {
            server->stop();
        }
    });
    std::printf(
        "loadspire-server: listening on %s://%s:%d (data in %s)\n", settings.tls ? "https" : "http",
        o.host.find(':') != std::string::npos ? ("[" + o.host + "]").c_str() : o.host.c_str(), port,
        store->location().c_str());
    if (settings.currentVersion.empty()) {
        std::printf(
            "loadspire-server: no --current-version given yet: update checks are refused\n");
    }
    std::fflush(stdout);
    server->run();
    running = false;
    service.flush();
    if (!signalled) {
        // The server ended by itself; wake the stopper so that it can be joined.
        pthread_kill(stopper.native_handle(), SIGTERM);
    }
    stopper.join();
    if (const std::uint64_t unrecorded = service.unrecorded()) {
        std::printf("loadspire-server: %llu checks were answered but not recorded (limits)\n",
                    static_cast<unsigned long long>(unrecorded));
    }
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
                const auto store = Store::open(o.dataFolder, o.databaseUrl);
                store->exportFeedback(std::cout);
                std::cout.flush();
                return std::cout ? 0 : fail("cannot write the export");
            }
            case Options::Mode::Report: {
                const auto store = Store::open(o.dataFolder, o.databaseUrl);
                store->report(std::cout);
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
