// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/store.h"

#include "server/outputtext.h"
#include "server/pgstore.h"
#include "server/sqlitestore.h"

#include <ctime>
#include <map>
#include <tuple>

namespace lsg::server {

Store::~Store() = default;

std::unique_ptr<Store> Store::open(const std::string& dataFolder, const std::string& databaseUrl) {
    if (!databaseUrl.empty()) {
        return std::make_unique<PgStore>(databaseUrl);
    }
    return std::make_unique<SqliteStore>(dataFolder);
}

void Store::recordCheck(const CheckRequest& check, const std::string& day) {
    recordChecks({DatedCheck{check, day}});
}

void Store::recordChecks(const std::vector<DatedCheck>& checks) {
    // A batch holds many checks of the same installs: each becomes one write, the last check's
    // values and the sum of the counts.
    std::map<std::pair<std::string, std::string>, InstallDay> installs;
    std::map<std::tuple<std::string, std::string, std::string, std::string, std::string>,
             AnonymousChecks>
        anonymous;
    for (const DatedCheck& c : checks) {
        const std::string appname = c.check.appname.toStdString();
        const std::string version = c.check.version.toStdString();
        const std::string os = c.check.os.toStdString();
        const std::string locale = c.check.locale.toStdString();
        if (c.check.guid.isEmpty()) {
            AnonymousChecks& a = anonymous[{c.day, appname, version, os, locale}];
            a = {c.day, appname, version, os, locale, a.count + 1};
        } else {
            const std::string guid = c.check.guid.toStdString();
            InstallDay& i = installs[{c.day, guid}];
            i = {c.day, guid, appname, version, os, locale, i.count + 1};
        }
    }
    std::vector<InstallDay> installRows;
    installRows.reserve(installs.size());
    for (auto& [key, row] : installs) {
        installRows.push_back(std::move(row));
    }
    std::vector<AnonymousChecks> anonymousRows;
    anonymousRows.reserve(anonymous.size());
    for (auto& [key, row] : anonymous) {
        anonymousRows.push_back(std::move(row));
    }
    writeChecks(installRows, anonymousRows);
}

void Store::exportFeedback(std::ostream& out) {
    forEachFeedback([&](const StoredFeedback& f) {
        const char* like = !f.like ? "null" : *f.like ? "true" : "false";
        out << "{\"received\":\"" << isoUtc(f.received) << "\",\"like\":" << like
            << ",\"text\":" << jsonString(f.text) << ",\"email\":" << jsonString(f.email)
            << ",\"appname\":" << jsonString(f.appname) << ",\"version\":" << jsonString(f.version)
            << "}\n";
    });
}

void Store::report(std::ostream& out) {
    out << "day\tby\tvalue\tinstalls\tchecks\n";
    forEachReportRow([&](const ReportRow& r) {
        out << r.day << '\t' << r.by << '\t'
            << (r.value.isEmpty() ? std::string("-") : reportText(r.value)) << '\t' << r.installs
            << '\t' << r.checks << '\n';
    });
}

std::string isoUtc(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

std::string dayUtc(std::int64_t unixSeconds) {
    return isoUtc(unixSeconds).substr(0, 10);
}

}  // namespace lsg::server
