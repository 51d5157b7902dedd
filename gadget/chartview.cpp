// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/chartview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "ui/style.h"

namespace lsg {

namespace {

constexpr QRgb kBevelLight = 0xFFFFFFFF;
constexpr QRgb kBevelShadow = 0xFFA0A0A0;
constexpr QRgb kTickColor = 0xFF808080;
constexpr QRgb kGridColor = 0xFFC0C0C0;
constexpr QRgb kLineColor = 0xFF000000;
constexpr int kClBtnFace = 15;

// The axes size their (undrawn) labels with this font: the spacing of ticks and grid lines
// depends on it.
QFont labelFont() {
    return QFont(QStringLiteral("Arial"), 8);
}

}  // namespace

ChartView::ChartView(ChartKind kind, QWidget* parent)
    : PassThroughWidget(parent),
      m_kind(kind),
      m_areaColor(areaColorFor(kind)),
      m_background(ui::systemColor(kClBtnFace)),
      m_labelMetrics(labelFont()),
      m_lineHeight(m_labelMetrics.height()) {
    // Every pixel is painted over, so nothing needs to be erased first.
    setAttribute(Qt::WA_OpaquePaintEvent, m_background.alpha() == 255);
    m_values.reserve(10);
}

ChartView::~ChartView() {
    if (m_watcher != nullptr) {
        m_watcher->seriesDestroyed(m_watcherId);
    }
}

QColor ChartView::areaColorFor(ChartKind kind) {
    return kind == ChartKind::Total ? QColor(43, 64, 107) : QColor(68, 102, 163);
}

int ChartView::count() const {
    return int(m_values.size());
}

void ChartView::addY(double y) {
    m_values.push_back(y);
    update();
    if (m_watcher != nullptr) {
        m_watcher->valueChanged(m_watcherId, count() - 1, std::numeric_limits<double>::quiet_NaN(),
                                y);
    }
}

void ChartView::setWatcher(SeriesWatcher* watcher, int id) {
    m_watcher = watcher;
    m_watcherId = id;
}

bool ChartView::hasPoint(int i) const {
    return i >= 0 && i < count();
}

std::optional<double> ChartView::yValue(int i) const {
    if (!hasPoint(i)) {
        return std::nullopt;
    }
    return m_values[size_t(i)];
}

bool ChartView::setYValue(int i, double y) {
    if (!hasPoint(i)) {
        return false;
    }
    double& slot = m_values[size_t(i)];
    // Equal values draw the same picture (a NaN never compares equal and just repaints).
    if (slot == y) {
        return true;
    }
    // So do values on the same pixel row: on an idle machine most ticks move no point at all,
    // and then nothing is repainted or sent to the display.
    const chart::ChartLayout& layout = layoutFor(size());
    const bool sameRow =
        chart::mapY(layout.plot, slot, m_min, m_max) == chart::mapY(layout.plot, y, m_min, m_max);
    const double before = std::exchange(slot, y);
    if (!sameRow) {
        update();
    }
    if (m_watcher != nullptr) {
        m_watcher->valueChanged(m_watcherId, i, before, y);
    }
    return true;
}

bool ChartView::setMinMax(double minimum, double maximum) {
    if (std::isnan(minimum) || std::isnan(maximum) || minimum > maximum) {
        return false;
    }
    if (minimum == m_min && maximum == m_max) {
        return true;
    }
    m_min = minimum;
    m_max = maximum;
    update();
    if (m_watcher != nullptr) {
        m_watcher->rangeChanged(m_watcherId);
    }
    return true;
}

void ChartView::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == m_background) {
        return;
    }
    m_background = color;
    // A see-through background is laid over what is behind the chart, which must be drawn anew
    // first.
    setAttribute(Qt::WA_OpaquePaintEvent, color.alpha() == 255);
    update();
}

const chart::ChartLayout& ChartView::layoutFor(QSize size) const {
    LayoutCache& c = m_layout;
    if (c.valid && c.size == size && c.count == count() && c.min == m_min && c.max == m_max) {
        return c.layout;
    }
    const double xMax = std::max(0, count() - 1);
    double labelWidth = 0;
    for (const QString& text : chart::horizontalLabelTexts(0, xMax)) {
        labelWidth = std::max(labelWidth, double(m_labelMetrics.horizontalAdvance(text)));
    }
    c.layout = chart::computeLayout(size.width(), size.height(), {0, xMax}, {m_min, m_max}, count(),
                                    m_lineHeight, labelWidth);
    c.valid = true;
    c.size = size;
    c.count = count();
    c.min = m_min;
    c.max = m_max;
    return c.layout;
}

void ChartView::draw(const PainterPixels& target, QSize size) const {
    using chart::kAxisLineWidth;
    using chart::kMajorTickLength;
    using chart::kMinorTickLength;

    const chart::ChartLayout& layout = layoutFor(size);
    const chart::PixelRect& plot = layout.plot;
    const int w = size.width();
    const int h = size.height();
    const QRect whole(0, 0, w, h);
    // Nothing lands outside the chart.
    PainterPixels chart = target;
    chart.clip &= target.map(whole);
    const auto fill = [&chart](const QRect& rect, QRgb color) {
        fillPixels(chart.pixels, chart.map(rect), chart.clip, color);
    };

    fill(whole, premultipliedPixel(m_background));

    // Raised bevel: light top and left, shadow bottom and right (the shadow owns the corners
    // it shares with the light sides).
    fill(QRect(0, 0, w - 1, 1), kBevelLight);
    fill(QRect(0, 0, 1, h - 1), kBevelLight);
    fill(QRect(0, h - 1, w, 1), kBevelShadow);
    fill(QRect(w - 1, 0, 1, h), kBevelShadow);

    // Frame on the edge pixels of the plot rectangle; the inside keeps the background.
    const QRect frame(plot.left, plot.top, plot.width() + 1, plot.height() + 1);
    fill(QRect(plot.left, plot.top, frame.width(), 1), kLineColor);
    fill(QRect(plot.left, plot.bottom, frame.width(), 1), kLineColor);
    fill(QRect(plot.left, plot.top, 1, frame.height()), kLineColor);
    fill(QRect(plot.right, plot.top, 1, frame.height()), kLineColor);

    // Bottom axis line: the frame's bottom row and the row below it.
    fill(QRect(plot.left, plot.bottom, frame.width(), kAxisLineWidth), kLineColor);

    // Ticks point away from the plot: down from under the axis line, left from the frame.
    const int tickTop = plot.bottom + kAxisLineWidth;
    for (int x : layout.bottom.major) {
        fill(QRect(x, tickTop, 1, kMajorTickLength), kTickColor);
    }
    for (int x : layout.bottom.minor) {
        fill(QRect(x, tickTop, 1, kMinorTickLength), kTickColor);
    }
    for (int y : layout.left.major) {
        fill(QRect(plot.left - kMajorTickLength, y, kMajorTickLength, 1), kTickColor);
    }
    for (int y : layout.left.minor) {
        fill(QRect(plot.left - kMinorTickLength, y, kMinorTickLength, 1), kTickColor);
    }

    // Grid lines inside the frame.
    for (int x : layout.bottom.grid) {
        fill(QRect(x, plot.top + 1, 1, plot.height() - 1), kGridColor);
    }
    for (int y : layout.left.grid) {
        fill(QRect(plot.left + 1, y, plot.width() - 1, 1), kGridColor);
    }

    // The area fills the inside of the frame only, so frame and axis line stay whole; its upper
    // edge may run along the frame (values at the range's ends), not beyond it.
    const QRect inside(plot.left + 1, plot.top + 1, plot.width() - 1, plot.height() - 1);
    m_series.paint(chart, plot,
                   {m_values, m_min, m_max, premultipliedPixel(m_areaColor), kLineColor}, inside,
                   frame);
}

void ChartView::paint(QPainter& painter, QSize size) const {
    if (const std::optional<PainterPixels> target = painterPixels(painter)) {
        draw(*target, size);
        return;
    }
    // Any other device (a printer, a picture, another pixel format, a rotated painter) gets the
    // same pixels, drawn into an image first.
    const QPaintDevice* device = painter.device();
    const qreal ratio = device != nullptr ? device->devicePixelRatio() : 1;
    painter.drawImage(QRect(QPoint(0, 0), size), renderImage(size, ratio));
}

QImage ChartView::renderImage(QSize size, qreal devicePixelRatio) const {
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QImage image(pixels.expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(devicePixelRatio);
    // A see-through background lets what is under the chart show.
    image.fill(Qt::transparent);
    const DevicePixels bits{image.bits(), image.bytesPerLine(), image.width(), image.height()};
    draw({bits, image.format(), devicePixelRatio, QPointF(0, 0), image.rect()}, size);
    return image;
}

void ChartView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint(painter, size());
}

}  // namespace lsg
