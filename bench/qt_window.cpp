// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// The toolkit's own floor for the cost benches: a window the gadget's size that does nothing but
// repaint itself whole once a second. What a desktop program built on these widgets pays to wake,
// paint and put a changed picture on the screen each second, before any work of its own.
//
//   build/bench/qt_window
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class FloorWindow : public QWidget {
public:
    void next() {
        ++m_ticks;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // Two colours in turn, so that each second's picture really differs from the last.
        QPainter(this).fillRect(rect(), (m_ticks & 1) != 0 ? Qt::darkGray : Qt::gray);
    }

private:
    unsigned m_ticks = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FloorWindow window;
    window.setWindowTitle(QStringLiteral("qt_window"));
    window.resize(355, 232);
    window.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, &FloorWindow::next);
    timer.start(1000);
    return QApplication::exec();
}
