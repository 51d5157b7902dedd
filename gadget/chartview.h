// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QSize>
#include <QWidget>
#include <span>
#include <vector>

#include "core/chartseries.h"
#include "gadget/chartgeom.h"
#include "gadget/coveragefiller.h"
#include "gadget/painterpixels.h"
#include "gadget/passthroughwidget.h"

class QPainter;

namespace lsg {

// Told of every change of a chart's values, by a view that draws the same series elsewhere and
// repaints only what the change alters there.
class SeriesWatcher {
public:
    virtual ~SeriesWatcher() = default;
    // Point `point` of the series the watcher knows as `id` went from `before` (NaN for a point
    // just added) to `after`.
    virtual void valueChanged(int id, int point, double before, double after) = 0;
    // The series' vertical range changed.
    virtual void rangeChanged(int id) = 0;
    // The chart holding the series is being destroyed.
    virtual void seriesDestroyed(int id) = 0;
};

// Which chart of the gadget: the average over all processors, or one processor's strip. The
// two differ only in the colour of the area.
enum class ChartKind { Total, Strip };

// One small area chart of CPU usage: the points joined by straight lines over a filled area, on
// a fixed vertical range, with a frame, a bottom axis line, tick marks and a light grid but no
// text. It only draws; every mouse event goes on to the parent, which drags the gadget and
// opens its menu.
class ChartView : public PassThroughWidget, public ChartSeries {
    Q_OBJECT

public:
    explicit ChartView(ChartKind kind, QWidget* parent = nullptr);
    ~ChartView() override;

    // The area colour of a kind of chart.
    static QColor areaColorFor(ChartKind kind);

    ChartKind kind() const { return m_kind; }
    QColor areaColor() const { return m_areaColor; }

    // ChartSeries. A change repaints this chart when it changes the picture: a value that stays
    // on its pixel row does not.
    int count() const override;
    void addY(double y) override;
    std::optional<double> yValue(int i) const override;
    bool setYValue(int i, double y) override;
    bool setMinMax(double minimum, double maximum) override;
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    std::span<const double> values() const { return m_values; }

    // One watcher at most, told of each change as `id`; null for none.
    void setWatcher(SeriesWatcher* watcher, int id);

    // Colour of the whole chart behind the plot; an invalid colour is ignored.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }

    // The chart as it would appear at `size` logical pixels on a screen of the given device
    // pixel ratio, on a transparent image.
    QImage renderImage(QSize size, qreal devicePixelRatio = 1) const;
    // Draws the whole chart for a client area of `size` logical pixels at the painter's origin.
    void paint(QPainter& painter, QSize size) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Geometry depends only on the size, the number of points and the range: it is computed
    // when one of them changes, not on every paint.
    const chart::ChartLayout& layoutFor(QSize size) const;
    bool hasPoint(int i) const;
    // The whole picture, written into the pixels where the chart lies.
    void draw(const PainterPixels& target, QSize size) const;

    ChartKind m_kind;
    QColor m_areaColor;
    QColor m_background;
    std::vector<double> m_values;
    double m_min = 0;
    double m_max = 100;
    QFontMetrics m_labelMetrics;
    int m_lineHeight = 0;
    SeriesWatcher* m_watcher = nullptr;
    int m_watcherId = 0;

    struct LayoutCache {
        bool valid = false;
        QSize size;
        int count = 0;
        double min = 0;
        double max = 0;
        chart::ChartLayout layout;
    };
    mutable LayoutCache m_layout;
    mutable AreaSeriesPainter m_series;
};

}  // namespace lsg
