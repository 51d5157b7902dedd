// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace lsg::ui {
namespace {

MessageHooks& hooks() {
    static MessageHooks h;
    return h;
}

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageHooks setMessageHooks(MessageHooks h) {
    return std::exchange(hooks(), std::move(h));
}

void messageBox(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) {
    if (hooks().onMessage) {
        hooks().onMessage({text, title, icon});
        return;
    }
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool confirm(QWidget* parent, const QString& text) {
    if (hooks().onConfirm) {
        return hooks().onConfirm(text);
    }
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void showErrorReport(const QString& text) {
    // A timer whose handler keeps failing would otherwise stack a new box every second
    // inside the open one; while a report is open, later ones are dropped.
    static bool reportOpen = false;
    if (reportOpen) {
        return;
    }
    reportOpen = true;
    messageBox(QApplication::activeWindow(), text, QApplication::applicationDisplayName(),
               MessageIcon::Error);
    reportOpen = false;
}

void beep() {
    if (hooks().onBeep) {
        hooks().onBeep();
        return;
    }
    QApplication::beep();
}

}  // namespace lsg::ui
