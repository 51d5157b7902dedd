// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <QApplication>

#include "app/commandline.h"
#include "app/mainform.h"
#include "platform/displayserver.h"
#include "platform/paths.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    // --help and --version answer before anything needs a display.
    if (const auto status = lsg::commandline::handle(argc, argv)) {
        return *status;
    }
    // Held for the process's life; a second copy still starts and runs.
    lsg::platform::holdNamedMutex(QStringLiteral("KALDERN_Loadspire_Gauge"));
    // On X whenever X is there and the user chose no platform: only there can the gadget place
    // itself, stay on top and keep off the taskbar. Programs started from here choose their own.
    const lsg::platform::PlatformChoice platform = lsg::platform::applyPreferredPlatform();
    QApplication app(argc, argv);
    lsg::platform::restorePlatformChoice(platform);
    QApplication::setApplicationName(QStringLiteral("Loadspire Gauge"));
    // The main form is never shown; closing the gadget only hides it.
    QApplication::setQuitOnLastWindowClosed(false);
    lsg::ui::applySlateGrayStyle(app);

    lsg::TAppForm form;
    form.FormCreate();
    return QApplication::exec();
}
