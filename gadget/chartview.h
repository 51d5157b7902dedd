// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QSize>
#include <QWidget>
#include <vector>

#include "core/chartseries.h"
#include "gadget/chartgeom.h"

class QPainter;

namespace lsg {

struct ChartPixels;

// Which chart of the gadget: the average over all processors, or one processor's strip. The
// two differ only in the colour of the area.
enum class ChartKind { Total, Strip };

// One small area chart of CPU usage: the points joined by straight lines over a filled area, on
// a fixed vertical range, with a frame, a bottom axis line, tick marks and a light grid but no
// text. It only draws; every mouse event goes on to the parent, which drags the gadget and
// opens its menu.
class ChartView : public QWidget, public ChartSeries {
    Q_OBJECT

public:
    explicit ChartView(ChartKind kind, QWidget* parent = nullptr);
    ~ChartView() override;

    // The area colour of a kind of chart.
    static QColor areaColorFor(ChartKind kind);

    ChartKind kind() const { return m_kind; }
    QColor areaColor() const { return m_areaColor; }

    // ChartSeries. Each change repaints this chart, and only when something actually changed.
    int count() const override;
    void addY(double y) override;
    double yValue(int i) const override;
    void setYValue(int i, double y) override;
    // Throws lsg::Exception when minimum > maximum or either is not a number.
    void setMinMax(double minimum, double maximum) override;
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }

    // Colour of the whole chart behind the plot; an invalid colour is ignored.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }

    // The chart as it would appear at `size` logical pixels on a screen of the given device
    // pixel ratio.
    QImage renderImage(QSize size, qreal devicePixelRatio = 1) const;
    // Draws the whole chart for a client area of `size` logical pixels at the painter's origin.
    void paint(QPainter& painter, QSize size) const;
    // The same picture drawn wholly through the painter, without pixels written directly or
    // bands: the reference that paint() matches pixel for pixel.
    void paintThroughPainter(QPainter& painter, QSize size) const;
    // How the last paint() drew the area and its edge: through the painter in one piece, in
    // column bands, or straight into the device's pixels.
    enum class SeriesPath { Painter, Bands, Direct };
    SeriesPath lastSeriesPath() const { return m_lastSeriesPath; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Geometry depends only on the size, the number of points and the range: it is computed
    // when one of them changes, not on every paint.
    const chart::ChartLayout& layoutFor(QSize size) const;
    void checkIndex(int i) const;

    ChartKind m_kind;
    QColor m_areaColor;
    QColor m_background;
    QBrush m_areaBrush;
    QBrush m_lineBrush;
    std::vector<double> m_values;
    double m_min = 0;
    double m_max = 100;
    QFontMetrics m_labelMetrics;
    int m_lineHeight = 0;

    struct LayoutCache {
        bool valid = false;
        QSize size;
        int count = 0;
        double min = 0;
        double max = 0;
        chart::ChartLayout layout;
    };
    mutable LayoutCache m_layout;

    // A column band of the plot with the part of the area and of its edge that can touch it.
    struct Band {
        int left = 0;   // first column
        int right = 0;  // one past the last column
        QPolygonF area;
        QPainterPath line;
    };
    // The area and its upper edge, rebuilt only when a value, the range or the size changed.
    struct SeriesShapes {
        bool valid = false;
        QSize size;
        quint64 version = 0;
        QPolygonF area;
        QPainterPath line;        // made when first drawn in one piece; empty until then
        std::vector<Band> bands;  // empty when the chart is drawn whole
        bool bandsCut = false;    // whether `bands` is made yet
    };
    SeriesShapes& shapesFor(QSize size, const chart::ChartLayout& layout) const;
    // The same, with the bands cut.
    SeriesShapes& bandsFor(QSize size, const chart::ChartLayout& layout) const;
    // The outline of the whole line of shapes with two or more points, made on first use.
    const QPainterPath& wholeLine(SeriesShapes& shapes) const;
    mutable SeriesPath m_lastSeriesPath = SeriesPath::Painter;
    quint64 m_version = 0;
    mutable SeriesShapes m_shapes;

    // Background, bevel, frame, axis, ticks and grid: what a tick does not change. Written
    // straight into `pixels` where it can be, when they are given.
    void paintStatic(QPainter& painter, QSize size, const chart::ChartLayout& layout,
                     const ChartPixels* pixels) const;
    // Fills the area inside the plot's frame and its edge within the frame.
    void drawAreaAndEdge(QPainter& painter, const chart::PixelRect& plot, const QPolygonF& area,
                         const QPainterPath& edge) const;
    // The area and its upper edge.
    void paintSeries(QPainter& painter, QSize size, const chart::ChartLayout& layout) const;
    // The same, straight into the device's pixels, exactly as the painter would draw them;
    // false (and nothing drawn) where that is not known to be exact.
    bool paintSeriesDirectly(const ChartPixels& pixels, const chart::ChartLayout& layout) const;
    // The same, band by band, each through an image that shares the chart's pixels; false (and
    // nothing drawn) when the chart is not cut into bands at its size.
    bool paintSeriesInBands(const ChartPixels& pixels, const chart::ChartLayout& layout) const;
    void cutIntoBands(SeriesShapes& shapes, const chart::ChartLayout& layout) const;
};

}  // namespace lsg
