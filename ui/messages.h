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

// What a window would show, handed to a hook instead of a modal box.
struct MessageRecord {
    QString text;
    QString title;
    MessageIcon icon;
};
// Stand-ins for the boxes; an empty member keeps the real box.
struct MessageHooks {
    std::function<void(const MessageRecord&)> onMessage;  // message boxes and error reports
    std::function<bool(const QString&)> onConfirm;        // the answer to a confirmation
    std::function<void()> onBeep;
};

// How one window talks to the user: message boxes, confirmations, the error report and the
// beep. A default-made one shows the real boxes; tests hand a window one made from hooks.
class Messages {
public:
    Messages() = default;
    explicit Messages(MessageHooks hooks) : m_hooks(std::move(hooks)) {}

    // A message box with one OK button, modal to its parent window only (to the whole program
    // when it has none).
    void messageBox(QWidget* parent, const QString& text, const QString& title,
                    MessageIcon icon) const;
    // A confirmation with Yes and No and the question icon; true on Yes.
    bool confirm(QWidget* parent, const QString& text) const;
    // The default error report: a message box with the error's text; the program goes on.
    // While a report is open, a repeat of a text already showing is dropped (a timer whose
    // handler keeps failing would otherwise stack a box every second); other texts still show.
    void errorReport(const QString& text) const;
    // The desktop's default beep.
    void beep() const;

    // Runs an event handler; an error that leaves it is shown by the error report.
    template <class F>
    void guarded(F&& handler) const {
        try {
            std::forward<F>(handler)();
        } catch (const Exception& e) {
            errorReport(e.message());
        } catch (const std::exception& e) {
            errorReport(QString::fromUtf8(e.what()));
        }
    }

private:
    MessageHooks m_hooks;
};

// The same with the real boxes, for code that has no window of its own to ask.
void messageBox(QWidget* parent, const QString& text, const QString& title, MessageIcon icon);
bool confirm(QWidget* parent, const QString& text);
void showErrorReport(const QString& text);
void beep();
template <class F>
void guarded(F&& handler) {
    Messages().guarded(std::forward<F>(handler));
}

}  // namespace lsg::ui
