// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/processorgrid.h"

#include <QCursor>
#include <QHelpEvent>
#include <QPainter>
#include <QRegion>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <optional>

#include "gadget/chartgeom.h"
#include "ui/style.h"

namespace lsg {

namespace {

constexpr QRgb kLineColor = 0xFF000000;
constexpr int kClBtnFace = 15;
// Below this difference in every channel the area colour is not told from the background.
constexpr int kDistinctChannels = 48;

QColor mix(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) {
        return int(std::lround(a + (b - a) * std::clamp(share, 0.0, 1.0)));
    };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()), channel(from.alpha(), to.alpha()));
}

chart::PixelRect plotOf(const QRect& cell) {
    return {cell.left(), cell.top(), cell.right(), cell.bottom()};
}

}  // namespace

ProcessorGrid::ProcessorGrid(QWidget* parent)
    : PassThroughWidget(parent),
      m_background(ui::systemColor(kClBtnFace)),
      m_area(ChartView::areaColorFor(ChartKind::Strip)),
      m_areaPixel(premultipliedPixel(m_area)) {
    applyBackground();
}

ProcessorGrid::~ProcessorGrid() {
    for (ChartView* strip : m_series) {
        if (strip != nullptr) {
            strip->setWatcher(nullptr, 0);
        }
    }
}

QColor ProcessorGrid::heatColor(const QColor& background, const QColor& area, double percent) {
    const double share = std::isnan(percent) ? 0 : std::clamp(percent / 100, 0.0, 1.0);
    // Perceived lightness of the background decides which end stands out from it.
    const double lightness =
        0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue();
    const QColor end = QColor(lightness < 128 ? Qt::white : Qt::black);
    const bool distinct = std::abs(area.red() - background.red()) >= kDistinctChannels ||
                          std::abs(area.green() - background.green()) >= kDistinctChannels ||
                          std::abs(area.blue() - background.blue()) >= kDistinctChannels;
    if (!distinct) {
        return mix(background, end, share);
    }
    return share <= 0.5 ? mix(background, area, share * 2) : mix(area, end, share * 2 - 1);
}

void ProcessorGrid::addSeries(ChartView* strip) {
    strip->setWatcher(this, seriesCount());
    m_series.push_back(strip);
    m_pending.push_back(0);
    update(processorCell(m_cells, seriesCount() - 1));
}

void ProcessorGrid::setCells(const ProcessorLayout& layout) {
    if (layout == m_cells) {
        return;
    }
    m_cells = layout;
    m_toolTipCell = -1;
    update();
}

void ProcessorGrid::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == m_background) {
        return;
    }
    m_background = color;
    applyBackground();
    update();
}

void ProcessorGrid::applyBackground() {
    m_backgroundPixel = premultipliedPixel(m_background);
    for (int p = 0; p <= 100; ++p) {
        m_heat[size_t(p)] = premultipliedPixel(heatColor(m_background, m_area, p));
    }
    // A see-through background is laid over what is behind the grid, which must be drawn anew
    // first.
    setAttribute(Qt::WA_OpaquePaintEvent, m_background.alpha() == 255);
}

QString ProcessorGrid::cellToolTip(int index) const {
    const QString cpu = tr("CPU %1").arg(index + 1);
    if (index < 0 || index >= seriesCount() || m_series[size_t(index)] == nullptr ||
        m_series[size_t(index)]->values().empty()) {
        return cpu;
    }
    const double newest = m_series[size_t(index)]->values().back();
    return tr("%1: %2%").arg(cpu).arg(chart::roundHalfEven(newest));
}

int ProcessorGrid::heatLevel(int index, double value) const {
    const ChartView& strip = *m_series[size_t(index)];
    const double range = strip.maximum() - strip.minimum();
    if (!(range > 0) || !(value > strip.minimum())) {
        return 0;
    }
    if (value >= strip.maximum()) {
        return 100;
    }
    // The nearest whole percentage, halves to the even neighbour as everywhere in the charts.
    return int(std::nearbyint((value - strip.minimum()) * 100 / range));
}

bool ProcessorGrid::altersPicture(int index, double before, double after) const {
    if (std::isnan(before) || std::isnan(after)) {
        return true;
    }
    if (m_cells.kind == ProcessorLayout::Kind::Heat) {
        return heatLevel(index, before) != heatLevel(index, after);
    }
    const ChartView& strip = *m_series[size_t(index)];
    const chart::PixelRect plot = plotOf(processorCell(m_cells, index));
    return chart::mapY(plot, before, strip.minimum(), strip.maximum()) !=
           chart::mapY(plot, after, strip.minimum(), strip.maximum());
}

void ProcessorGrid::repaintCell(int index) {
    if (m_pending[size_t(index)] != 0) {
        return;
    }
    const QRect cell = processorCell(m_cells, index);
    if (cell.isEmpty()) {
        return;
    }
    m_pending[size_t(index)] = 1;
    update(cell);
}

void ProcessorGrid::valueChanged(int id, int point, double before, double after) {
    if (id < 0 || id >= seriesCount() || !isVisible()) {
        return;
    }
    if (id == m_toolTipCell && point == int(m_series[size_t(id)]->values().size()) - 1 &&
        QToolTip::isVisible()) {
        // The tooltip follows the value while it is open (the pointer has not left the grid
        // since it was shown, so the tooltip open is this one).
        showToolTip(id, QCursor::pos());
    }
    if (m_pending[size_t(id)] == 0 && altersPicture(id, before, after)) {
        repaintCell(id);
    }
}

void ProcessorGrid::rangeChanged(int id) {
    if (id >= 0 && id < seriesCount() && isVisible()) {
        repaintCell(id);
    }
}

void ProcessorGrid::seriesDestroyed(int id) {
    if (id >= 0 && id < seriesCount()) {
        m_series[size_t(id)] = nullptr;
        repaintCell(id);
    }
}

void ProcessorGrid::showToolTip(int index, const QPoint& globalPosition) {
    m_toolTipCell = index;
    QToolTip::showText(globalPosition, cellToolTip(index), this, processorCell(m_cells, index));
}

bool ProcessorGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const qint64 cell = processorCellAt(m_cells, help->pos());
        if (cell < 0 || cell >= seriesCount()) {
            m_toolTipCell = -1;
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        showToolTip(int(cell), help->globalPos());
        return true;
    }
    if (event->type() == QEvent::Leave) {
        m_toolTipCell = -1;
    }
    return QWidget::event(event);
}

void ProcessorGrid::drawCell(const PainterPixels& target, int index, const QRect& cell) const {
    if (m_series[size_t(index)] == nullptr) {
        fillPixels(target.pixels, target.map(cell), target.clip, m_backgroundPixel);
        return;
    }
    const ChartView& strip = *m_series[size_t(index)];
    if (m_cells.kind == ProcessorLayout::Kind::Charts) {
        drawChartCell(target, strip, cell);
        return;
    }
    const QRect device = target.map(cell);
    const QRect inside = device & target.clip & target.pixels.rect();
    const std::span<const double> values = strip.values();
    const int n = int(values.size());
    if (inside.isEmpty()) {
        return;
    }
    if (n == 0) {
        fillPixels(target.pixels, inside, inside, m_backgroundPixel);
        return;
    }
    // Slices side by side across the cell's device pixels, the oldest value on the left as in
    // the charts; the newest always keeps at least a pixel.
    std::vector<QRgb>& colors = m_sliceColors;
    colors.clear();
    bool opaque = true;
    for (double value : values) {
        colors.push_back(m_heat[size_t(heatLevel(index, value))]);
        opaque = opaque && qAlpha(colors.back()) == 255;
    }
    const int w = device.width();
    const auto sliceLeft = [&](int k) {
        return std::clamp(device.left() + k * w / n, inside.left(), inside.right() + 1);
    };
    if (!opaque) {
        for (int k = 0; k < n; ++k) {
            fillPixels(
                target.pixels,
                QRect(sliceLeft(k), inside.top(), sliceLeft(k + 1) - sliceLeft(k), inside.height()),
                inside, colors[size_t(k)]);
        }
        return;
    }
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        QRgb* row = target.pixels.row(y);
        for (int k = 0; k < n; ++k) {
            const int left = sliceLeft(k);
            std::fill(row + left, row + sliceLeft(k + 1), colors[size_t(k)]);
        }
    }
}

// The area under the line through the points and the line, in whole device pixels: a column at a
// time, the line over the rows it crosses within the column and the area below them. Points lie on
// the pixel rows chart::mapY gives, so a value that keeps its row draws the same picture. Filling
// a cell this way costs a few thousand instructions, where the anti-aliased filler takes some
// eighty thousand for the same small cell: a machine with a hundred processors or more repaints
// them all every second.
void ProcessorGrid::drawChartCell(const PainterPixels& target, const ChartView& strip,
                                  const QRect& cell) const {
    const QRect device = target.map(cell);
    const QRect columns = device & target.clip;
    if (columns.isEmpty()) {
        return;
    }
    const bool opaque = qAlpha(m_backgroundPixel) == 255;
    const std::span<const double> values = strip.values();
    const int n = int(values.size());
    if (n < 2) {
        if (opaque) {
            fillPixels(target.pixels, columns, columns, m_backgroundPixel);
        }
        return;
    }
    const chart::PixelRect plot = plotOf(cell);
    std::vector<QPointF>& points = m_points;
    points.clear();
    for (int i = 0; i < n; ++i) {
        const int row =
            std::clamp(chart::mapY(plot, values[size_t(i)], strip.minimum(), strip.maximum()),
                       plot.top, plot.bottom);
        points.push_back(target.map(QPointF(chart::mapX(plot, i, 0, n - 1) + 0.5, row + 0.5)));
    }
    const double half = target.scale / 2;
    size_t segment = 0;
    // The line's height at a device x, on the segment that holds it.
    const auto lineAt = [&](double x) {
        while (segment + 2 < points.size() && points[segment + 1].x() <= x) {
            ++segment;
        }
        const QPointF& a = points[segment];
        const QPointF& b = points[segment + 1];
        if (b.x() <= a.x()) {
            return b.y();
        }
        const double t = std::clamp((x - a.x()) / (b.x() - a.x()), 0.0, 1.0);
        return a.y() + (b.y() - a.y()) * t;
    };
    size_t next = 0;  // the first point not yet left of the column
    for (int x = columns.left(); x <= columns.right(); ++x) {
        const double atLeft = lineAt(x);
        const double atRight = lineAt(x + 1.0);
        double high = std::min(atLeft, atRight);
        double low = std::max(atLeft, atRight);
        // A point inside the column is a corner of the line there.
        for (; next < points.size() && points[next].x() < x + 1.0; ++next) {
            if (points[next].x() >= x) {
                high = std::min(high, points[next].y());
                low = std::max(low, points[next].y());
            }
        }
        // Rows whose centres the line, one logical pixel thick, passes; the area below them.
        // All three colours are opaque here (a see-through background is laid first), so the
        // pixels are written, not blended.
        const int lineTop =
            std::clamp(int(std::ceil(high - half - 0.5)), columns.top(), columns.bottom() + 1);
        const int areaTop =
            std::clamp(int(std::ceil(low + half - 0.5)), lineTop, columns.bottom() + 1);
        int y = columns.top();
        if (opaque) {
            for (; y < lineTop; ++y) {
                target.pixels.row(y)[x] = m_backgroundPixel;
            }
        }
        for (y = lineTop; y < areaTop; ++y) {
            target.pixels.row(y)[x] = kLineColor;
        }
        for (; y <= columns.bottom(); ++y) {
            target.pixels.row(y)[x] = m_areaPixel;
        }
    }
}

void ProcessorGrid::drawPart(const PainterPixels& target, QSize size) const {
    const bool cells = m_cells.grid() && m_cells.columns > 0 && !m_series.empty();
    // The logical pixels the part reaches into, and the cells there.
    const QRect& device = target.clip;
    const auto logical = [&](qreal d, qreal offset) { return (d - offset) / target.scale; };
    const int left = std::max(0, int(std::floor(logical(device.left(), target.offset.x()))));
    const int right =
        std::min({size.width() - 1, m_cells.width - 1,
                  int(std::ceil(logical(device.right() + 1, target.offset.x()))) - 1});
    const int top = std::max(0, int(std::floor(logical(device.top(), target.offset.y()))));
    const int bottom = std::min(
        size.height() - 1, int(std::ceil(logical(device.bottom() + 1, target.offset.y()))) - 1);
    if (!cells || right < left || bottom < top) {
        fillPixels(target.pixels, target.clip, target.clip, m_backgroundPixel);
        return;
    }
    // The first row always has every column, so its cells give the columns.
    const qint64 firstColumn = processorCellAt(m_cells, QPoint(left, 0));
    const qint64 lastColumn = processorCellAt(m_cells, QPoint(right, 0));
    const int pitch = m_cells.cellHeight + m_cells.gap;
    const int firstRow = top / pitch;
    const int lastRow = std::min(m_cells.rows - 1, bottom / pitch);
    const qint64 count = std::min<qint64>(seriesCount(), m_cells.processors);
    // A part inside one cell (a cell whose picture changed) is written whole by the cell; any
    // other gets the background first, for the gaps and the empty places.
    const qint64 only = qint64(firstRow) * m_cells.columns + firstColumn;
    const bool inOneCell = firstRow == lastRow && firstColumn == lastColumn && only < count &&
                           qAlpha(m_backgroundPixel) == 255 &&
                           target.map(processorCell(m_cells, only)).contains(device);
    if (!inOneCell) {
        fillPixels(target.pixels, target.clip, target.clip, m_backgroundPixel);
    }
    for (int row = firstRow; row <= lastRow; ++row) {
        for (qint64 column = firstColumn; column <= lastColumn && column >= 0; ++column) {
            const qint64 index = qint64(row) * m_cells.columns + column;
            if (index >= count) {
                break;
            }
            drawCell(target, int(index), processorCell(m_cells, index));
        }
    }
}

void ProcessorGrid::draw(const PainterPixels& target, QSize size, const QRegion& region) const {
    PainterPixels grid = target;
    grid.clip &= target.map(QRect(QPoint(0, 0), size));
    if (region.isEmpty()) {
        drawPart(grid, size);
        return;
    }
    // Each rectangle of the region on its own: only there may pixels be written.
    for (const QRect& rect : region) {
        PainterPixels part = grid;
        part.clip &= rect;
        if (!part.clip.isEmpty()) {
            drawPart(part, size);
        }
    }
}

void ProcessorGrid::paint(QPainter& painter, QSize size) const {
    QRegion region;
    if (const std::optional<PainterPixels> target = painterPixels(painter, region)) {
        draw(*target, size, region);
        return;
    }
    // Any other device gets the same pixels, drawn into an image first.
    const QPaintDevice* device = painter.device();
    const qreal ratio = device != nullptr ? device->devicePixelRatio() : 1;
    painter.drawImage(QRect(QPoint(0, 0), size), renderImage(size, ratio));
}

QImage ProcessorGrid::renderImage(QSize size, qreal devicePixelRatio) const {
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QImage image(pixels.expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    const DevicePixels bits{image.bits(), image.bytesPerLine(), image.width(), image.height()};
    draw({bits, image.format(), devicePixelRatio, QPointF(0, 0), image.rect()}, size, QRegion());
    return image;
}

void ProcessorGrid::paintEvent(QPaintEvent* /*event*/) {
    // Every repaint asked for lies in this paint's region.
    std::fill(m_pending.begin(), m_pending.end(), 0);
    QPainter painter(this);
    paint(painter, size());
}

}  // namespace lsg
