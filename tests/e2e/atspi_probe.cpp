// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// atspi_probe: a plain window titled "lsg-atspi-probe" with a caption label and a transparency
// slider whose label is its buddy, for the test of the screen-reader reader (atspi_tree.py).
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lsg-atspi-probe"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("lsg-atspi-probe"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Average CPU Usage: 37% (8 processors)")));
    auto* sliderLabel = new QLabel(QStringLiteral("&Transparency:"));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 8);
    slider->setValue(3);
    sliderLabel->setBuddy(slider);
    layout->addWidget(sliderLabel);
    layout->addWidget(slider);
    window.show();
    return QApplication::exec();
}
