// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lsg::server {

// A command line that cannot be followed; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    enum class Mode { Serve, ExportFeedback, Report, Help };
    Mode mode = Mode::Serve;
    std::string host;  // without brackets for IPv6
    int port = 0;
    std::string dataFolder;
    std::string databaseUrl;  // postgresql://...; empty: the SQLite file in dataFolder
    std::optional<std::string> currentVersion;
    std::optional<std::string> downloadUrl;
    std::string tlsCert;
    std::string tlsKey;
    // Behind reverse proxies every request comes from a proxy: take the client's address from
    // X-Forwarded-For, this many entries from its right (see clientAddress()). 0: the peer.
    int trustProxy = 0;
};

// The arguments after the program's name. Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

std::string usageText();

}  // namespace lsg::server
