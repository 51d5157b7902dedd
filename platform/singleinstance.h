// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

namespace lsg::platform {

// One running copy of the program per user. The first copy holds an exclusive lock in the
// user's runtime folder and listens on a local socket beside it; a later copy finds the lock
// held, asks the first one through the socket to show itself, and goes. The lock decides who is
// first: a socket left by a copy that crashed is replaced, never obeyed.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        First,        // this copy runs: it holds the lock and answers later copies
        OtherShown,   // another copy runs and has shown itself
        OtherSilent,  // another copy holds the lock but did not answer in time
    };

    // `folder` holds the lock and the socket; empty means the user's runtime folder.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the name for this copy, or asks the copy that holds it to show itself. May be called
    // before the application object exists: requests that come meanwhile wait until its event
    // loop runs. When the lock cannot be had at all (no runtime folder, say) this copy runs, as
    // it would have without the check.
    Claim claim(const QString& name);

    // Lets go of the name, so that a copy started next runs: call it before the program starts
    // a fresh copy of itself and ends.
    void release();

    // True while this copy holds the name.
    bool holds() const;

    // Why the name could not be held or asked about, for the log; empty when all went well.
    QString problem() const;

    // How long a later copy waits for the first one to answer (it may still be starting).
    static constexpr std::chrono::milliseconds kAnswerTimeout{5000};
    void setAnswerTimeout(std::chrono::milliseconds timeout) { m_answerTimeout = timeout; }

signals:
    // A later copy asked this one to show itself.
    void showRequested();

private:
    struct State;
    std::unique_ptr<State> m_state;
    QString m_folder;
    QString m_problem;
    std::chrono::milliseconds m_answerTimeout = kAnswerTimeout;

    void listen();
    void acceptWaiting();
};

}  // namespace lsg::platform
