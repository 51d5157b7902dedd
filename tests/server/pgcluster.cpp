// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "tests/server/pgcluster.h"

#include <libpq-fe.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace lsg::server::testing {
namespace {

namespace fs = std::filesystem;

// The folder of initdb and postgres: where pg_config says, else the newest Debian version.
std::string serverBinaries() {
    if (FILE* p = ::popen("pg_config --bindir 2>/dev/null", "r")) {
        char line[512] = {};
        const bool read = std::fgets(line, sizeof line, p) != nullptr;
        ::pclose(p);
        std::string dir = read ? std::string(line) : std::string();
        while (!dir.empty() && (dir.back() == '\n' || dir.back() == ' ')) {
            dir.pop_back();
        }
        if (!dir.empty() && fs::exists(dir + "/initdb") && fs::exists(dir + "/postgres")) {
            return dir;
        }
    }
    std::string best;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        const std::string dir = entry.path().string() + "/bin";
        if (fs::exists(dir + "/initdb") && fs::exists(dir + "/postgres") && dir > best) {
            best = dir;
        }
    }
    return best;
}

struct Account {
    bool drop = false;  // running as root: become the postgres user
    uid_t uid = 0;
    gid_t gid = 0;
};

// Starts the program in a child under the account, its output into the log; returns the pid.
pid_t spawn(const Account& account, const std::vector<std::string>& args, const std::string& log,
            bool dieWithParent) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
    }
    if (account.drop && (::setgroups(0, nullptr) != 0 || ::setgid(account.gid) != 0 ||
                         ::setuid(account.uid) != 0)) {
        ::_exit(126);
    }
    // After the change of user, which would clear it.
    if (dieWithParent && (::prctl(PR_SET_PDEATHSIG, SIGQUIT) != 0 || ::getppid() != parent)) {
        ::_exit(125);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

bool PgCluster::start() {
    const std::string bin = serverBinaries();
    if (bin.empty()) {
        m_problem =
            "no PostgreSQL server installed (Debian package postgresql; ./scripts/deps installs "
            "it)";
        return false;
    }
    m_installed = true;
    Account account;
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (pw == nullptr) {
            m_problem = "running as root, and there is no postgres user to run the server as";
            return false;
        }
        account = {true, pw->pw_uid, pw->pw_gid};
    }
    std::string pattern = (fs::temp_directory_path() / "lsg-pg-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_problem = "cannot make a temporary folder";
        return false;
    }
    m_folder = pattern;
    if (account.drop && ::chown(m_folder.c_str(), account.uid, account.gid) != 0) {
        m_problem = "cannot hand " + m_folder + " to the postgres user";
        return false;
    }
    const std::string log = m_folder + "/log";
    const pid_t init = spawn(account,
                             {bin + "/initdb", "-D", m_folder + "/data", "-A", "trust", "-U", "lsg",
                              "-E", "UTF8", "--locale=C", "--no-sync"},
                             log, true);
    int status = 0;
    if (init < 0 || ::waitpid(init, &status, 0) != init || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        m_problem = "initdb failed: " + readAll(log);
        return false;
    }
    m_pid = spawn(account,
                  {bin + "/postgres", "-D", m_folder + "/data", "-k", m_folder, "-c",
                   "listen_addresses=", "-c", "fsync=off", "-c", "full_page_writes=off"},
                  log, true);
    if (m_pid < 0) {
        m_problem = "cannot start postgres";
        return false;
    }
    const std::string conninfo = "host=" + m_folder + " user=lsg dbname=postgres";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PQping(conninfo.c_str()) != PQPING_OK) {
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid ||
            std::chrono::steady_clock::now() > deadline) {
            m_pid = -1;
            m_problem = "postgres did not start: " + readAll(log);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void PgCluster::stop() {
    if (m_pid > 0) {
        // Fast shutdown: sessions are ended, nothing is kept anyway.
        ::kill(m_pid, SIGINT);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
        m_folder.clear();
    }
}

std::string PgCluster::url() const {
    // The socket folder goes in as a query parameter: it is a path, not a host name.
    return "postgresql://lsg@/postgres?host=" + m_folder;
}

bool PgCluster::reset() {
    PGconn* conn = PQconnectdb(url().c_str());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    if (ok) {
        PGresult* r = PQexec(conn, "DROP SCHEMA public CASCADE; CREATE SCHEMA public;");
        ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    PQfinish(conn);
    return ok;
}

}  // namespace lsg::server::testing
