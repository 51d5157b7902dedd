// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// Opens the About box on its own, with the program's look, to see it without the whole program.
#include <QApplication>

#include "about/aboutbox.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    lsg::ui::applySlateGrayStyle(app);
    lsg::AppIdentity identity;
    identity.ProductName = QStringLiteral("Loadspire Gauge");
    identity.AppVersion = QStringLiteral("1.7");
    lsg::about::TAboutBox::showModal(identity);
    return 0;
}
