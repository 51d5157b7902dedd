// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace lsg::res {

// Every picture is drawn in code, so it is sharp at any scale: sizes are given at 96 dpi and
// the device pixel ratio says how many device pixels each logical pixel gets. An empty or
// absurd size (over 8192 device pixels a side) or a ratio outside (0, 16] gives a null result.

// The program icon, drawn in the size asked for when it is asked for; it offers 16 to 256 pixels.
QIcon programIcon();
// The program icon drawn at a square size in device pixels.
QImage programIconImage(int pixels);
// Its parts, for a picture that draws its own chart on the tile (the live tray icon): the
// rounded tile with its grid, and the rim that goes over everything; both the whole icon's size.
QImage programIconTile(int pixels);
QImage programIconRim(int pixels);
// The margin between the icon's edge and its tile, in device pixels.
int programIconInset(int pixels);
// The width of the icon's chart line, in device pixels.
qreal programIconLineWidth(int pixels);

// Named pictures: "settings48" (48 x 48), "help", "feedback", "about", "exit", "close", "arrow"
// (16 x 16), "close32" (32 x 32), "like", "dislike" (32 x 32). An unknown name gives a null
// pixmap.
QPixmap picture(const QString& name, qreal devicePixelRatio = 1.0);
// The same picture drawn at an explicit size in logical pixels.
QPixmap picture(const QString& name, QSize logicalSize, qreal devicePixelRatio);
// The names above, and the logical size a name is drawn at by default (invalid if unknown).
QStringList pictureNames();
QSize pictureSize(const QString& name);
// A menu or button icon (16 x 16 logical), drawn for the device pixel ratio it is shown at.
QIcon menuIcon(const QString& name);

// The maker's logo (light, for a black background), drawn afresh at any size; its source
// proportions are 688 x 210, kept and centred when the size has others. Transparent around it.
QImage logo(QSize devicePixels);

}  // namespace lsg::res
