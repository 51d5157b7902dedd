// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// instance_probe FOLDER NAME: claims NAME in FOLDER the way the program starts, before its
// application object exists, and prints what came of it ("first", "other shown", "other
// silent"). The first copy then runs until a later one asks it to show itself, prints "show
// requested" and ends.
#include <QCoreApplication>

#include <cstdio>

#include "platform/singleinstance.h"

using lsg::platform::SingleInstance;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: instance_probe FOLDER NAME\n");
        return 2;
    }
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const SingleInstance::Claim claim = instance.claim(QString::fromLocal8Bit(argv[2]));
    switch (claim) {
        case SingleInstance::Claim::First:
            std::printf("first\n");
            break;
        case SingleInstance::Claim::OtherShown:
            std::printf("other shown\n");
            return 0;
        case SingleInstance::Claim::OtherSilent:
            std::printf("other silent\n");
            return 0;
    }
    std::fflush(stdout);
    QCoreApplication app(argc, argv);
    QObject::connect(&instance, &SingleInstance::showRequested, &app, [] {
        std::printf("show requested\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}
