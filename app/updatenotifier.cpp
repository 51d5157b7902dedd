// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/updatenotifier.h"

#include "core/logging.h"
#include "online/check.h"
#include "online/newversion.h"

namespace lsg {

UpdateNotifier::UpdateNotifier(platform::UrlOpener openUrl, QObject* parent)
    : QObject(parent), m_openUrl(std::move(openUrl)) {
    TimerChecker.setInterval(1000);
    connect(&TimerChecker, &QTimer::timeout, this, &UpdateNotifier::TimerCheckerTimer);
}

UpdateNotifier::~UpdateNotifier() {
    // The popup reads the check's address when clicked: it goes first.
    NewVer.reset();
    m_check.reset();
}

void UpdateNotifier::TimerCheckerTimer() {
    if (!m_check) {
        m_check = std::make_unique<check::UpdateCheck>(check::defaultCheckConfig(m_identity));
    }
    if (m_check->tick() != check::TickOutcome::Finished) {
        return;
    }
    TimerChecker.stop();
    m_ended = true;
    if (m_check->checkFailed()) {
        qCInfo(log::online) << "update check failed:" << m_check->failureText();
    }
    emit ended(m_check->showUpdate() != 0);
    if (m_check->newVersionAvailable()) {
        createUpdatePopup();
    }
}

void UpdateNotifier::storeShowUpdate(bool on) {
    if (m_check && m_ended) {
        m_check->storeShowUpdate(on);
    }
}

void UpdateNotifier::createUpdatePopup() {
    if (NewVer) {
        return;
    }
    // The download address is read when the link is clicked.
    NewVer = std::make_unique<TNewVer>(m_identity.ProductName, m_check->latestVersion(), [this] {
        return m_check ? m_check->downloadURL() : QString();
    });
    NewVer->setUrlOpener(m_openUrl);
}

}  // namespace lsg
