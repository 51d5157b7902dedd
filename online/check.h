// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "core/identity.h"
#include "online/updatestore.h"
#include "wire/updatereply.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace lsg::check {

// ---- Pure helpers -----------------------------------------------------------------------

// The reply format is shared with the maker's server.
using wire::ExtractTag;
using wire::replyLines;

// Reversible scrambling of a text into upper-case hexadecimal (UTF-8 bytes, 16-bit running
// key), so that the stored download address is not plain text.
QString ScrambleText(const QString& text);
// The reverse; empty when a pair of digits is not hexadecimal. A last single digit is ignored.
QString UnscrambleText(const QString& hex);

// What the update check reads from a reply: line 1 carries the version, line 2 the download
// address. A missing line leaves its value alone.
struct ReplyFields {
    bool hasVersion = false;
    QString version;
    bool hasURL = false;
    QString url;
};
ReplyFields readReply(const QString& reply);

// True when the address is an https address on the maker's server: its host (compared without
// regard to case) and port (443 when none is named) are those of serverHost, "host[:port]", and
// it carries no user name. Only such an address is taken from a reply that came in plain text,
// or from the store, which an earlier run may have filled from one.
bool isMakersSecureAddress(const QString& address, const QString& serverHost);
// The maker's download page over https, where the link leads when no trusted address is known.
QString makersDownloadPage(const QString& serverHost);

// The id sent as "guid=": HMAC-SHA256 keyed by the machine id over this program's own fixed
// 128-bit id, its first 16 bytes as a lower-case GUID. The machine id itself never leaves the
// machine, and no two programs can match their ids. Empty for an empty machine id.
QString appSpecificId(const QString& machineId);

// A server version is worth showing when it differs from ours and, with its dots removed, is a
// decimal 32-bit integer (see toInt32: "4.4" and "1.2.3" pass; "", "beta", "4.4b", " 4.4" do
// not).
bool isOfferedVersion(const QString& latest, const QString& current);

// ---- The check ----------------------------------------------------------------------------

// Everything the check takes from outside, so that tests can point it elsewhere.
struct CheckConfig {
    QString appCaption;       // "appname=" and the store's key
    QString appVersion;       // "version=" and the comparison
    QString serverAddress;    // host[:port] + "/php/check2.php", without a scheme
    QString storeBaseFolder;  // the store's md5-named folder is made inside it
    int timeoutMs = 10000;
    QString caFile;  // test builds only: trust this CA file instead of the system's store
    std::function<QDate()> today;
    std::function<QString(const QDate&)> shortDate;
    // The date as earlier versions wrote it (two-digit year), still counted as the same day;
    // may be empty.
    std::function<QString(const QDate&)> legacyShortDate;
    std::function<QString()> osDescription;
    std::function<QString()> localeCode;
    std::function<QString()> machineId;
};

// The program's configuration: its identity texts, the build's server host, the user's config
// folder and the system's information. Call it on the main thread.
CheckConfig defaultCheckConfig(const AppIdentity& identity);

// Result of one check. The worker writes it all before it publishes CheckDone.
struct CheckResults {
    bool NewVersionAvailable = false;
    QString LatestVersion;
    QString DownloadURL;
    int ShowUpdate = 1;  // the preference as read from the store; 0 = off
    bool CheckFailed = false;
    QString failureText;  // messages separated by two carriage returns; shown nowhere
};

// State shared by the worker and the main thread. The worker fills results and store, then
// sets CheckDone with release; the main thread touches them only after an acquire load of it.
struct CheckState {
    std::atomic<bool> CheckDone{false};
    std::atomic<bool> cancel{false};  // set at shutdown: an unfinished request stops early
    CheckResults results;
    std::unique_ptr<UpdateStore> store;
};

// The worker: one per run, on a thread its owner joins.
class TChecker {
public:
    // Starts Execute on a new thread.
    static std::jthread start(std::shared_ptr<CheckState> state, CheckConfig config);
    // The whole check on the calling thread; always ends by setting CheckDone.
    static void Execute(CheckState& state, const CheckConfig& config);
};

enum class TickOutcome {
    Started,   // first tick: the worker was started
    Waiting,   // the worker is still running
    Finished,  // the check has just ended: stop the timer, enable the menu item, maybe popup
    Idle,      // the check ended on an earlier tick; nothing to do
};

// The user-interface half of the check, driven by TimerChecker once a second.
class UpdateCheck {
public:
    explicit UpdateCheck(CheckConfig config);
    // Stops a still-running worker and waits for it: a request in flight ends within about
    // 100 ms, so nothing of the check outlives its owner.
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // TimerCheckerTimer's work. On Finished the caller, in this order: disables the timer,
    // enables "Update Notifications", clears its check mark when showUpdate() is 0, and
    // creates the popup when newVersionAvailable().
    TickOutcome tick();

    bool checkStarted() const { return m_started; }
    bool checkDone() const;

    // The results; defaults until the check has ended.
    bool newVersionAvailable() const;
    QString latestVersion() const;
    QString downloadURL() const;
    int showUpdate() const;
    bool checkFailed() const;
    QString failureText() const;

    // "Update Notifications" clicked: stores ShowUpdate as 1 (on) or 0 (off). Takes effect at
    // the next run. Throws lsg::Exception when the check has not ended yet or the value
    // cannot be saved.
    void storeShowUpdate(bool on);

private:
    const CheckResults* results() const;

    CheckConfig m_config;
    std::shared_ptr<CheckState> m_state;
    bool m_started = false;
    bool m_finished = false;
    std::jthread m_worker;
};

}  // namespace lsg::check
