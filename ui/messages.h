// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <functional>
#include <utility>

#include "platform/exception.h"

class QWidget;

namespace lsg::ui {

enum class MessageIcon { None, Information, Warning, Error, Question };

// A message box with one OK button, modal to its parent.
void messageBox(QWidget* parent, const QString& text, const QString& title, MessageIcon icon);
// A confirmation with Yes and No and the question icon; true on Yes.
bool confirm(QWidget* parent, const QString& text);
// The default error report: a message box with the error's text; the program goes on.
void showErrorReport(const QString& text);
// The desktop's default beep.
void beep();

// Runs an event handler; an error that leaves it is shown by the error report.
template <class F>
void guarded(F&& handler) {
    try {
        std::forward<F>(handler)();
    } catch (const Exception& e) {
        showErrorReport(e.message());
    } catch (const std::exception& e) {
        showErrorReport(QString::fromUtf8(e.what()));
    }
}

// Test seam: what would be shown is handed to these instead of opening modal boxes.
struct MessageRecord {
    QString text;
    QString title;
    MessageIcon icon;
};
struct MessageHooks {
    std::function<void(const MessageRecord&)> onMessage;  // message boxes and error reports
    std::function<bool(const QString&)> onConfirm;        // the answer to a confirmation
    std::function<void()> onBeep;
};
// Installs hooks (empty members keep the real behaviour); returns the previous ones.
MessageHooks setMessageHooks(MessageHooks hooks);

}  // namespace lsg::ui
