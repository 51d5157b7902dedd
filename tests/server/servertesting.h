// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "server/store.h"
#include "wire/wireform.h"

#include <QStringList>

#include <stdlib.h>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace lsg::server::testing {

inline std::string body(const QStringList& lines) {
    return lsg::wire::encodeForm(lines).toStdString();
}

// The lines the program's feedback dialog posts.
inline QStringList feedbackLines(const QString& text, const QString& email = {}) {
    QStringList lines = {"cmd=feedback", "appname=KALDERN - Loadspire Gauge", "version=1.7",
                         "feedback=" + text};
    if (!email.isEmpty()) {
        lines << "email=" + email;
    }
    return lines;
}

inline const QStringList kCheckLines = {
    "cmd=check",   "appname=KALDERN - Loadspire Gauge",
    "version=1.7", "os=Debian GNU/Linux 12 (bookworm) (Version 6.1, Build 0, 64-bit Edition)",
    "local=en-US", "guid={0F8FAD5B-D9CB-469F-A165-70867728950E}"};

// A private folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lsg-server-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path() const { return m_path; }

private:
    std::string m_path;
};

inline std::vector<std::string> exported(Store& store) {
    std::ostringstream out;
    store.exportFeedback(out);
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline std::string reported(Store& store) {
    std::ostringstream out;
    store.report(out);
    return out.str();
}

}  // namespace lsg::server::testing
