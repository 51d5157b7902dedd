// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/commandline.h"
#include "app/mainform.h"
#include "app/translations.h"
#include "core/logging.h"
#include "platform/displayserver.h"
#include "platform/singleinstance.h"
#include "resources/pictures.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    // --help and --version answer before anything needs a display.
    if (const auto status = lsg::commandline::handle(argc, argv)) {
        return *status;
    }
    // One copy per user: two would stack two gadgets and two tray icons, both writing one
    // settings file. A later start shows the running gadget instead, as Show Form does, and
    // goes before it opens the display.
    lsg::platform::SingleInstance instance;
    switch (instance.claim(QStringLiteral("KALDERN_Loadspire_Gauge"))) {
        case lsg::platform::SingleInstance::Claim::First:
            break;
        case lsg::platform::SingleInstance::Claim::OtherShown:
            return 0;
        case lsg::platform::SingleInstance::Claim::OtherSilent:
            std::fputs(
                "loadspire: Loadspire Gauge is already running but did not answer; "
                "this copy ends.\n",
                stderr);
            return 1;
    }
    // On X whenever X is there and the user chose no platform: only there can the gadget place
    // itself, stay on top and keep off the taskbar. Programs started from here choose their own.
    const lsg::platform::PlatformChoice platform = lsg::platform::applyPreferredPlatform();
    QApplication app(argc, argv);
    lsg::platform::restorePlatformChoice(platform);
    QApplication::setApplicationName(QStringLiteral("Loadspire Gauge"));
    // Before any window exists, so that every text is made in the user's language.
    lsg::installTranslations(app);
    // Every window of the program (the gadget, its dialogs, message boxes) shows its icon.
    QApplication::setWindowIcon(lsg::res::programIcon());
    // The main form is never shown; closing the gadget only hides it.
    QApplication::setQuitOnLastWindowClosed(false);
    lsg::ui::applySlateGrayStyle(app);
    if (!instance.problem().isEmpty()) {
        qCInfo(lsg::log::gadget) << "running without the one-copy check:" << instance.problem();
    }

    lsg::TAppForm::Environment environment;
    // Reset to Defaults lets go of the name first, or the fresh copy would find this one.
    environment.releaseInstance = [&instance] { instance.release(); };
    auto form = std::make_unique<lsg::TAppForm>(std::move(environment));
    QObject::connect(&instance, &lsg::platform::SingleInstance::showRequested, form.get(),
                     &lsg::TAppForm::ShowWindow1Click);
    form->FormCreate();
    const int status = QApplication::exec();
    // Everything of the program's own (the last place written, the one-copy name) ends here.
    form.reset();
    instance.release();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Qt 6.4's Wayland client can deadlock while it tears down its display (the event
        // thread waits for a read the main thread never makes), and Exit would hang with no
        // window left. Nothing is left to save: end without that teardown.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
