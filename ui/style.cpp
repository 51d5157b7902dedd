// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "ui/style.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>
#include <array>

namespace lsg::ui {
namespace {

// The slate-grey look, by desktop system-colour index (0..30).
constexpr std::array<QRgb, 31> kSlateGray = {
    0xFF4A5560,  // 0 scroll bar
    0xFF2B3339,  // 1 background
    0xFF3E4A56,  // 2 active caption
    0xFF353E47,  // 3 inactive caption
    0xFF3A444E,  // 4 menu
    0xFF2E363E,  // 5 window
    0xFF1C2227,  // 6 window frame
    0xFFE3E7EB,  // 7 menu text
    0xFFE3E7EB,  // 8 window text
    0xFFF2F4F6,  // 9 caption text
    0xFF4A5560,  // 10 active border
    0xFF3A444E,  // 11 inactive border
    0xFF2B3339,  // 12 application workspace
    0xFF5B87B3,  // 13 highlight
    0xFFFFFFFF,  // 14 highlight text
    0xFF3A444E,  // 15 button face
    0xFF262D33,  // 16 button shadow
    0xFF8C969F,  // 17 grey text
    0xFFE3E7EB,  // 18 button text
    0xFFB5BDC4,  // 19 inactive caption text
    0xFF58646F,  // 20 button highlight
    0xFF1C2227,  // 21 3D dark shadow
    0xFF4A5560,  // 22 3D light
    0xFFE3E7EB,  // 23 info text
    0xFF2E363E,  // 24 info background
    0xFF3A444E,  // 25 (unused)
    0xFF8AB4E0,  // 26 hot light
    0xFF4F6E8E,  // 27 gradient active caption
    0xFF3E4A56,  // 28 gradient inactive caption
    0xFF7FB0E6,  // 29 menu highlight
    0xFF3A444E,  // 30 menu bar
};

}  // namespace

QColor systemColor(int index) {
    if (index < 0 || index >= int(kSlateGray.size())) {
        return QColor(kSlateGray[15]);
    }
    return QColor(kSlateGray[size_t(index)]);
}

QColor resolveColor(TColor color) {
    if (color == clDefault || color == clNone) {
        return {};
    }
    if (isSystemColor(color)) {
        return systemColor(int(color & 0xFF));
    }
    if ((color & 0xFF000000u) != 0) {
        return {};
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor toTColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return rgbColor(rgb.red(), rgb.green(), rgb.blue());
}

void applySlateGrayStyle(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        app.setStyle(fusion);
    }
    QPalette p;
    p.setColor(QPalette::Window, systemColor(15));
    p.setColor(QPalette::WindowText, systemColor(8));
    p.setColor(QPalette::Base, systemColor(5));
    p.setColor(QPalette::AlternateBase, systemColor(4));
    p.setColor(QPalette::Text, systemColor(8));
    p.setColor(QPalette::Button, systemColor(15));
    p.setColor(QPalette::ButtonText, systemColor(18));
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, systemColor(13));
    p.setColor(QPalette::HighlightedText, systemColor(14));
    p.setColor(QPalette::Light, systemColor(20));
    p.setColor(QPalette::Midlight, systemColor(22));
    p.setColor(QPalette::Mid, systemColor(16));
    p.setColor(QPalette::Dark, systemColor(16));
    p.setColor(QPalette::Shadow, systemColor(21));
    p.setColor(QPalette::ToolTipBase, systemColor(24));
    p.setColor(QPalette::ToolTipText, systemColor(23));
    p.setColor(QPalette::Link, systemColor(26));
    p.setColor(QPalette::PlaceholderText, systemColor(17));
    p.setColor(QPalette::Disabled, QPalette::WindowText, systemColor(17));
    p.setColor(QPalette::Disabled, QPalette::Text, systemColor(17));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, systemColor(17));
    app.setPalette(p);
}

void keepOwnColors(QWidget* widget, const QColor& face, const QColor& text) {
    QPalette p = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, face);
        p.setColor(group, QPalette::Button, face);
        p.setColor(group, QPalette::Base, face);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Text, text);
    }
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

}  // namespace lsg::ui
