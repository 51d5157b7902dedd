// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// Writes the pictures of the charts and processor grids the chart tests compare with, one PNG per
// case, to a folder:
// to look at by eye, and, after a deliberate change of the chart's look, to replace the kept ones.
//
//   build/tools/chartpictures tests/fixtures/chart
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "tests/gadget/chart_goldens.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: chartpictures FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "chartpictures: cannot make the folder %s\n", argv[1]);
        return 1;
    }
    for (const lsg::test::ChartGolden& golden : lsg::test::chartGoldens()) {
        const QString path = folder.filePath(QString::fromLatin1(golden.name) + ".png");
        if (!lsg::test::renderGolden(golden).save(path)) {
            std::fprintf(stderr, "chartpictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    for (const lsg::test::GridGolden& golden : lsg::test::gridGoldens()) {
        const QString path = folder.filePath(QString::fromLatin1(golden.name) + ".png");
        if (!lsg::test::renderGridGolden(golden).save(path)) {
            std::fprintf(stderr, "chartpictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
