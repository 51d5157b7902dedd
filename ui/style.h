// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QColor>

#include "core/tcolor.h"

class QApplication;
class QWidget;

namespace lsg::ui {

// The program's dark slate-grey look (Fusion with a slate-grey palette), applied once at start.
void applySlateGrayStyle(QApplication& app);

// The look's colour for a desktop system-colour index (clBtnFace is 15, clWindowText 8, ...).
QColor systemColor(int index);

// A TColor as the screen shows it: plain colours as they are, system colours from the look,
// clDefault and clNone as an invalid colour (the caller keeps its own default).
QColor resolveColor(TColor color);

// The nearest TColor for a colour chosen in a dialog (always a plain $00BBGGRR value).
TColor toTColor(const QColor& color);

// Keeps the look off a control's face and text: it paints the given colours whatever the style.
void keepOwnColors(QWidget* widget, const QColor& face, const QColor& text);

}  // namespace lsg::ui
