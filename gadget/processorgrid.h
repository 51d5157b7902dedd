// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QSize>
#include <QWidget>
#include <array>
#include <vector>

#include "gadget/chartview.h"
#include "gadget/painterpixels.h"
#include "gadget/processorlayout.h"

class QPainter;
class QRegion;

namespace lsg {

// The per-processor view of machines whose strips would not fit: a cell per processor where
// ProcessorLayout puts it, either a small area chart without bevel, frame or grid lines, or ten
// slices side by side coloured by the last ten values. It keeps no values of its own: it draws
// the strips' series, which the sampling tick feeds whether they are seen or not, and repaints a
// cell only when a change of them alters that cell's picture. Every mouse event goes on to the
// parent (the gadget drags itself and opens its menu); resting the pointer on a cell shows
// "CPU n: p%", n counted from 1 so that the last processor's number is the count in the caption.
class ProcessorGrid : public PassThroughWidget, public SeriesWatcher {
    Q_OBJECT

public:
    explicit ProcessorGrid(QWidget* parent = nullptr);
    ~ProcessorGrid() override;

    // The colour of a load of `percent` in a coloured cell: the background at 0, the area colour
    // at 50 and, at 100, white on a dark background or black on a light one, so that a busy
    // processor stands out whatever the user's colours; straight from the background to that
    // end when the area colour is too close to the background to be told from it.
    static QColor heatColor(const QColor& background, const QColor& area, double percent);

    // Cell i shows the i-th strip added; the grid watches it from now on.
    void addSeries(ChartView* strip);
    int seriesCount() const { return int(m_series.size()); }

    // Where the cells are; a change repaints the whole grid.
    void setCells(const ProcessorLayout& layout);
    const ProcessorLayout& cells() const { return m_cells; }

    // Colour behind and between the cells; an invalid colour is ignored.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }

    // "CPU n: p%" for the processor of cell `index` (n = index + 1, p its newest value); without
    // a value yet, "CPU n".
    QString cellToolTip(int index) const;

    // The grid as it would appear at `size` logical pixels on a screen of the given device pixel
    // ratio, on a transparent image.
    QImage renderImage(QSize size, qreal devicePixelRatio = 1) const;
    // Draws the grid for a client area of `size` logical pixels at the painter's origin, within
    // the painter's device clip.
    void paint(QPainter& painter, QSize size) const;

    // SeriesWatcher
    void valueChanged(int id, int point, double before, double after) override;
    void rangeChanged(int id) override;
    void seriesDestroyed(int id) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Whether a value going from `before` to `after` changes the picture of cell `index`.
    bool altersPicture(int index, double before, double after) const;
    void applyBackground();
    void repaintCell(int index);
    void showToolTip(int index, const QPoint& globalPosition);
    // Writes the part of the grid inside `region` (device pixels; empty for the whole clip).
    void draw(const PainterPixels& target, QSize size, const QRegion& region) const;
    void drawPart(const PainterPixels& target, QSize size) const;
    void drawCell(const PainterPixels& target, int index, const QRect& cell) const;
    void drawChartCell(const PainterPixels& target, const ChartView& strip,
                       const QRect& cell) const;
    int heatLevel(int index, double value) const;

    std::vector<ChartView*> m_series;  // null once destroyed
    // Cells whose repaint is asked for and not yet done: each is asked for once.
    std::vector<unsigned char> m_pending;
    ProcessorLayout m_cells;
    QColor m_background;
    QColor m_area;
    QRgb m_backgroundPixel = 0;
    QRgb m_areaPixel = 0;
    std::array<QRgb, 101> m_heat{};           // premultiplied, for each whole percentage
    int m_toolTipCell = -1;                   // the cell whose tooltip was shown last
    mutable std::vector<QPointF> m_points;    // of the chart being drawn, in device pixels
    mutable std::vector<QRgb> m_sliceColors;  // of the coloured cell being drawn
};

}  // namespace lsg
