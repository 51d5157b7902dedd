// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "core/identity.h"
#include "platform/openurl.h"

namespace lsg {

class TNewVer;
namespace check {
class UpdateCheck;
}

// The once-a-run update check as the user meets it (TimerChecker): its first tick starts the
// worker, later ticks poll it, and when it has ended the notifier says whether notifications are
// on and, when the maker's server named another version, shows the UPDATE AVAILABLE popup.
class UpdateNotifier : public QObject {
    Q_OBJECT

public:
    // Links in the popup go to `openUrl` (empty: the desktop's browser).
    explicit UpdateNotifier(platform::UrlOpener openUrl, QObject* parent = nullptr);
    ~UpdateNotifier() override;

    // The identity the check sends; set before the first tick.
    void setIdentity(const AppIdentity& identity) { m_identity = identity; }

    void start() { TimerChecker.start(); }
    // One tick of the check.
    void TimerCheckerTimer();
    bool hasEnded() const { return m_ended; }

    // "Update Notifications" chosen after the check has ended: stores the new preference, which
    // takes effect at the next start.
    void storeShowUpdate(bool on);

    // The popup, once the check has asked for it.
    TNewVer* popup() const { return NewVer.get(); }

signals:
    // The check has ended; `notificationsOn` is the stored preference.
    void ended(bool notificationsOn);

private:
    void createUpdatePopup();

    QTimer TimerChecker;
    platform::UrlOpener m_openUrl;
    AppIdentity m_identity;
    std::unique_ptr<check::UpdateCheck> m_check;
    std::unique_ptr<TNewVer> NewVer;  // one per run; closing it only hides it
    bool m_ended = false;
};

}  // namespace lsg
