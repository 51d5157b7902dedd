// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "ui/animate.h"

#include <QPropertyAnimation>
#include <QWidget>

namespace lsg::ui {
namespace {

QRect centreRect(const QRect& r) {
    return QRect(r.center(), QSize(1, 1));
}

}  // namespace

void animateShowFromCenter(QWidget* window, int milliseconds) {
    const QRect target = window->geometry();
    auto* anim = new QPropertyAnimation(window, "geometry", window);
    anim->setDuration(milliseconds);
    anim->setStartValue(centreRect(target));
    anim->setEndValue(target);
    window->setGeometry(centreRect(target));
    window->show();
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

void animateHideToCenter(QWidget* window, int milliseconds) {
    const QRect start = window->geometry();
    auto* anim = new QPropertyAnimation(window, "geometry", window);
    anim->setDuration(milliseconds);
    anim->setStartValue(start);
    anim->setEndValue(centreRect(start));
    QObject::connect(anim, &QPropertyAnimation::finished, window, [window, start] {
        window->hide();
        window->setGeometry(start);
    });
    anim->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace lsg::ui
