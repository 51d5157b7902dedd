// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// window_requests_probe: a top-level window named "lsg-request-probe" that runs the window-system
// requests the gadget makes, one command a line on standard input, and prints "done COMMAND"
// after each, for the whole-program tests to drive under a real window manager:
//     show     shows the window           hide     hides it
//     sticky   asks for it on every desktop (before its map when hidden, at once when shown)
//     bring    shows it and brings it before the user
//     quit     ends
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <unistd.h>
#include <cstdio>

#include "platform/windowsystem.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("lsg-request-probe"));
    window.resize(200, 120);
    window.setStyleSheet(QStringLiteral("background: #3cb371"));

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            QApplication::quit();
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray command = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            if (command == "show") {
                window.show();
            } else if (command == "hide") {
                window.hide();
            } else if (command == "sticky") {
                lsg::platform::showOnAllDesktops(&window);
            } else if (command == "bring") {
                window.show();
                lsg::platform::bringToUser(&window);
            } else if (command == "quit") {
                QApplication::quit();
            } else {
                std::printf("unknown %s\n", command.constData());
                std::fflush(stdout);
                continue;
            }
            std::printf("done %s\n", command.constData());
            std::fflush(stdout);
        }
    });
    return QApplication::exec();
}
