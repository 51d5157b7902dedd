// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/options.h"

#include "wire/updatereply.h"

#include <QString>

#include <charconv>
#include <set>

namespace lsg::server {
namespace {

// "HOST:PORT" or "[V6]:PORT"; port 0 asks the system for a free one.
void parseListen(const std::string& text, Options& o) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        throw UsageError("--listen wants HOST:PORT, not \"" + text + "\"");
    }
    std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            throw UsageError("--listen: bad IPv6 address in \"" + text + "\"");
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        throw UsageError("--listen: write an IPv6 address in brackets, as [::1]:8080");
    }
    int value = -1;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value < 0 ||
        value > 65535) {
        throw UsageError("--listen: \"" + port + "\" is not a port number (0 to 65535)");
    }
    o.host = host;
    o.port = value;
}

}  // namespace

std::string usageText() {
    return "usage: loadspire-server --listen HOST:PORT (--data DIR | --database URL)\n"
           "                        [--current-version X.Y] [--download-url URL]\n"
           "                        [--tls-cert FILE --tls-key FILE] [--trust-proxy [N]]\n"
           "       loadspire-server (--data DIR | --database URL) --export-feedback\n"
           "       loadspire-server (--data DIR | --database URL) --report\n"
           "\n"
           "  --listen HOST:PORT     address to serve on ([::1]:8080 for IPv6; port 0: any)\n"
           "  --data DIR             folder of the database, created when missing\n"
           "  --database URL         a PostgreSQL database instead (postgresql://USER@HOST/DB),\n"
           "                         which several servers can share\n"
           "  --current-version X.Y  version that update checks are told (kept for later runs)\n"
           "  --download-url URL     download address that update checks are told (kept)\n"
           "  --tls-cert FILE        serve HTTPS with this PEM certificate chain ...\n"
           "  --tls-key FILE         ... and this PEM private key\n"
           "  --trust-proxy [N]      behind N reverse proxies (1 if not given): take the client's\n"
           "                         address from X-Forwarded-For, N entries from its right\n"
           "  --export-feedback      print every stored feedback as one JSON object per line\n"
           "  --report               print update checks per day, by version and by system\n";
}

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    std::set<std::string> seen;
    bool listen = false;
    bool exportFeedback = false;
    bool report = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") {
            o.mode = Options::Mode::Help;
            return o;
        }
        if (!seen.insert(flag).second) {
            throw UsageError(flag + " is given twice");
        }
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                throw UsageError(flag + " needs a value");
            }
            return args[++i];
        };
        if (flag == "--listen") {
            parseListen(value(), o);
            listen = true;
        } else if (flag == "--data") {
            o.dataFolder = value();
            if (o.dataFolder.empty()) {
                throw UsageError("--data needs a folder");
            }
        } else if (flag == "--current-version") {
            o.currentVersion = value();
            if (!wire::isPublishableVersion(QString::fromStdString(*o.currentVersion))) {
                throw UsageError("--current-version wants digits and dots, as 1.8, not \"" +
                                 *o.currentVersion + "\"");
            }
        } else if (flag == "--download-url") {
            o.downloadUrl = value();
            if (!wire::isPublishableUrl(QString::fromStdString(*o.downloadUrl))) {
                throw UsageError(
                    "--download-url wants an http:// or https:// address without "
                    "blanks, not \"" +
                    *o.downloadUrl + "\"");
            }
        } else if (flag == "--database") {
            o.databaseUrl = value();
            if (o.databaseUrl.rfind("postgresql://", 0) != 0 &&
                o.databaseUrl.rfind("postgres://", 0) != 0) {
                throw UsageError("--database wants a postgresql:// address, not \"" +
                                 o.databaseUrl + "\"");
            }
        } else if (flag == "--tls-cert") {
            o.tlsCert = value();
        } else if (flag == "--tls-key") {
            o.tlsKey = value();
        } else if (flag == "--trust-proxy") {
            o.trustProxy = 1;
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                const std::string& n = args[++i];
                int hops = 0;
                const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), hops);
                if (n.empty() || ec != std::errc() || end != n.data() + n.size() || hops < 1 ||
                    hops > 16) {
                    throw UsageError("--trust-proxy wants a number of proxies (1 to 16), not \"" +
                                     n + "\"");
                }
                o.trustProxy = hops;
            }
        } else if (flag == "--export-feedback") {
            exportFeedback = true;
        } else if (flag == "--report") {
            report = true;
        } else {
            throw UsageError("unknown option \"" + flag + "\"");
        }
    }
    if (o.dataFolder.empty() && o.databaseUrl.empty()) {
        throw UsageError("--data DIR is required (or --database URL)");
    }
    if (!o.dataFolder.empty() && !o.databaseUrl.empty()) {
        throw UsageError("--data and --database go one at a time");
    }
    if (exportFeedback && report) {
        throw UsageError("--export-feedback and --report go one at a time");
    }
    if (exportFeedback || report) {
        if (listen || o.currentVersion || o.downloadUrl || !o.tlsCert.empty() ||
            !o.tlsKey.empty() || o.trustProxy != 0) {
            throw UsageError(std::string(exportFeedback ? "--export-feedback" : "--report") +
                             " takes --data or --database only");
        }
        o.mode = exportFeedback ? Options::Mode::ExportFeedback : Options::Mode::Report;
        return o;
    }
    if (!listen) {
        throw UsageError("--listen HOST:PORT is required");
    }
    if (o.tlsCert.empty() != o.tlsKey.empty()) {
        throw UsageError("--tls-cert and --tls-key go together");
    }
    return o;
}

}  // namespace lsg::server
