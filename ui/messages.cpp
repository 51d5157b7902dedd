// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace lsg::ui {
namespace {

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

// A box that belongs to a window blocks only that window: the gadget, the tray menu and the
// program's other windows stay usable while it is open (Exit above all).
void keepOthersUsable(QMessageBox& box) {
    if (box.parentWidget() != nullptr) {
        box.setWindowModality(Qt::WindowModal);
    }
}

// The texts of the error reports open right now, across every window: the report is the
// program's one error box, like the framework's default report it stands for.
QStringList& openReports() {
    static QStringList texts;
    return texts;
}

}  // namespace

void Messages::messageBox(QWidget* parent, const QString& text, const QString& title,
                          MessageIcon icon) const {
    if (m_hooks.onMessage) {
        m_hooks.onMessage({text, title, icon});
        return;
    }
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    keepOthersUsable(box);
    box.exec();
}

bool Messages::confirm(QWidget* parent, const QString& text) const {
    if (m_hooks.onConfirm) {
        return m_hooks.onConfirm(text);
    }
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    keepOthersUsable(box);
    return box.exec() == QMessageBox::Yes;
}

void Messages::errorReport(const QString& text) const {
    QStringList& open = openReports();
    if (open.contains(text)) {
        return;
    }
    open.append(text);
    struct Closed {
        QStringList& open;
        ~Closed() { open.removeLast(); }
    } closed{open};
    messageBox(QApplication::activeWindow(), text, QApplication::applicationDisplayName(),
               MessageIcon::Error);
}

void Messages::beep() const {
    if (m_hooks.onBeep) {
        m_hooks.onBeep();
        return;
    }
    QApplication::beep();
}

void messageBox(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) {
    Messages().messageBox(parent, text, title, icon);
}

bool confirm(QWidget* parent, const QString& text) {
    return Messages().confirm(parent, text);
}

void showErrorReport(const QString& text) {
    Messages().errorReport(text);
}

void beep() {
    Messages().beep();
}

}  // namespace lsg::ui
