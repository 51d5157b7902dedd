// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <string>

namespace lsg::server::testing {

// A throwaway PostgreSQL server for one test process: initdb in a private temporary folder, the
// server on a socket in that folder only (no TCP port, so parallel test processes never meet),
// run as the postgres user when the tests run as root (initdb refuses root). The server gets
// SIGQUIT if this process dies, and stop() (or the destructor) removes everything.
class PgCluster {
public:
    PgCluster() = default;
    ~PgCluster() { stop(); }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // False with a reason: the server package is missing (skip), or it would not start (fail).
    bool start();
    void stop();
    bool installed() const { return m_installed; }
    const std::string& problem() const { return m_problem; }

    // An address for libpq to the cluster's "postgres" database.
    std::string url() const;
    // Empties that database, so that each test starts from nothing.
    bool reset();

private:
    bool m_installed = false;
    std::string m_problem;
    std::string m_folder;
    int m_pid = -1;
};

}  // namespace lsg::server::testing
