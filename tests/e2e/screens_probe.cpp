// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// screens_probe [--show]: prints the screens the toolkit reports and the area the gadget may use
// on each, one line each, for the whole-program tests to compare with the desktop they set up:
//     screen 0 DUMMY0 geometry 0,0 1280x800 available 0,0 1280x800 ratio 1
//     area 0 0,0 1280x770
// With --show it then covers each area with a window of its own colour (magenta, cyan, yellow,
// ...), outside the window manager's care, prints "shown" once all are on the screen, and
// stays until it is ended.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/placement.h"
#include "platform/workarea.h"

namespace {

QByteArray text(const QRect& r) {
    return QByteArray::number(r.x()) + ',' + QByteArray::number(r.y()) + ' ' +
           QByteArray::number(r.width()) + 'x' + QByteArray::number(r.height());
}

class AreaWindow : public QRasterWindow {
public:
    AreaWindow(QColor color, int* exposedLeft) : m_color(color), m_exposedLeft(exposedLeft) {
        setFlags(Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(), size()), m_color);
    }
    void exposeEvent(QExposeEvent* event) override {
        QRasterWindow::exposeEvent(event);
        if (isExposed() && !m_counted) {
            m_counted = true;
            if (--*m_exposedLeft == 0) {
                std::printf("shown\n");
                std::fflush(stdout);
            }
        }
    }

private:
    QColor m_color;
    int* m_exposedLeft;
    bool m_counted = false;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::printf("screens %lld primary %s\n", static_cast<long long>(screens.size()),
                qPrintable(QGuiApplication::primaryScreen()->name()));
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QScreen* s = screens[i];
        std::printf("screen %lld %s geometry %s available %s ratio %g\n", static_cast<long long>(i),
                    qPrintable(s->name()), text(s->geometry()).constData(),
                    text(s->availableGeometry()).constData(), s->devicePixelRatio());
    }
    const lsg::platform::DesktopLayout layout = lsg::platform::readDesktopLayout();
    std::printf("window-manager %s struts %zu workarea %s\n",
                layout.fromWindowManager ? "yes" : "no", layout.struts.size(),
                layout.workArea ? text(*layout.workArea).constData() : "none");
    const std::vector<QRect> areas = lsg::placement::availableAreas(layout);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        std::printf("area %zu %s\n", i, text(areas[i]).constData());
    }
    std::fflush(stdout);
    if (argc < 2 || qstrcmp(argv[1], "--show") != 0) {
        return 0;
    }
    const QColor colors[] = {Qt::magenta, Qt::cyan, Qt::yellow, Qt::green};
    int exposedLeft = int(areas.size());
    std::vector<std::unique_ptr<AreaWindow>> windows;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        windows.push_back(std::make_unique<AreaWindow>(colors[i % 4], &exposedLeft));
        windows.back()->setScreen(screens[qsizetype(i)]);
        windows.back()->setGeometry(areas[i]);
        windows.back()->show();
    }
    return QGuiApplication::exec();
}
