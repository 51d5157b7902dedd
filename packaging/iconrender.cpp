// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// Writes the program icon into a hicolor icon tree at the sizes given on the command line, so
// the installed icons are exactly the pictures the program draws for itself.
//   lsg_iconrender OUTPUT-FOLDER SIZE...
// gives OUTPUT-FOLDER/hicolor/NxN/apps/loadspire.png for every size N.

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "resources/pictures.h"

int main(int argc, char** argv) {
    // A build machine has no display; the icon is drawn into an image and needs none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
        const QString file = folder + QStringLiteral("/loadspire.png");
        const QImage image = lsg::res::programIconImage(size);
        if (image.isNull() || image.width() != size || image.height() != size) {
            std::fprintf(stderr, "no %dx%d icon\n", size, size);
            return 1;
        }
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
