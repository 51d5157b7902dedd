// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/chartview.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "gadget/coveragefiller.h"
#include "gadget/painterpixels.h"
#include "platform/exception.h"
#include "ui/style.h"

namespace lsg {

// The device pixels of a chart of `size` logical pixels, when the painter allows writing them
// directly (painterPixels).
struct ChartPixels : PainterPixels {
    QSize size;  // logical
};

namespace {

constexpr QRgb kBevelLight = 0xFFFFFFFF;
constexpr QRgb kBevelShadow = 0xFFA0A0A0;
constexpr QRgb kTickColor = 0xFF808080;
constexpr QRgb kGridColor = 0xFFC0C0C0;
constexpr int kClBtnFace = 15;

// The axes size their (undrawn) labels with this font: the spacing of ticks and grid lines
// depends on it.
QFont labelFont() {
    return QFont(QStringLiteral("Arial"), 8);
}

// The outline of the 1-pixel line through points[from..to]. The line is filled as an outline: a
// thin stroked polyline would be drawn with a lighter pixel at every vertex.
QPainterPath edgeOutline(const QPolygonF& points, int from, int to) {
    QPainterPath path;
    path.moveTo(points[from]);
    for (int i = from + 1; i <= to; ++i) {
        path.lineTo(points[i]);
    }
    QPainterPathStroker stroker;
    stroker.setWidth(1);
    stroker.setCapStyle(Qt::SquareCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

std::optional<ChartPixels> chartPixels(QPainter& painter, QSize size) {
    const std::optional<PainterPixels> p = painterPixels(painter, QRect(QPoint(0, 0), size));
    if (!p) {
        return std::nullopt;
    }
    return ChartPixels{*p, size};
}

// The area and the edge of every chart: charts paint one after the other, and the fillers keep
// only the memory the widest needs.
struct Fillers {
    CoverageFiller area;
    CoverageFiller edge;
};
Fillers& sharedFillers() {
    static Fillers fillers;
    return fillers;
}

// Fills the whole-pixel rectangles of the static picture. An opaque colour is written straight
// into the chart's pixels when there are such: the very value fillRect stores, without its cost
// per call, and without keeping a copy of the picture. See-through colours go through the painter.
class RectFiller {
public:
    RectFiller(QPainter& painter, const ChartPixels* pixels)
        : m_painter(painter), m_pixels(pixels) {
        m_direct = pixels != nullptr && (pixels->format == QImage::Format_RGB32 ||
                                         pixels->format == QImage::Format_ARGB32 ||
                                         pixels->format == QImage::Format_ARGB32_Premultiplied);
    }

    void operator()(const QRect& rect, const QColor& color) const {
        // The 16-bit channels are what the painter fills with, converted as it converts them.
        const QRgba64 channels = color.rgba64();
        if (!m_direct || !channels.isOpaque() || !rect.isValid() ||
            !QRect(QPoint(0, 0), m_pixels->size).contains(rect)) {
            m_painter.fillRect(rect, color);
            return;
        }
        const int s = m_pixels->scale;
        const qsizetype width = qsizetype(rect.width()) * s;
        const qsizetype stride = m_pixels->stride;
        const QRgb value = channels.toArgb32();
        uchar* row = m_pixels->origin() + qsizetype(rect.top()) * s * stride +
                     qsizetype(rect.left()) * s * 4;
        const int rows = rect.height() * s;
        if (width < 16) {  // grid lines, ticks, bevel sides
            for (int y = 0; y < rows; ++y, row += stride) {
                std::fill_n(reinterpret_cast<QRgb*>(row), width, value);
            }
            return;
        }
        // A wide rectangle: one row is filled and copied to the others by the C library, which
        // is faster than a loop of stores.
        const uchar* first = row;
        std::fill_n(reinterpret_cast<QRgb*>(row), width, value);
        for (int y = 1; y < rows; ++y) {
            row += stride;
            std::memcpy(row, first, size_t(width) * 4);
        }
    }

private:
    QPainter& m_painter;
    const ChartPixels* m_pixels;
    bool m_direct = false;
};

}  // namespace

ChartView::ChartView(ChartKind kind, QWidget* parent)
    : QWidget(parent),
      m_kind(kind),
      m_areaColor(areaColorFor(kind)),
      m_background(ui::systemColor(kClBtnFace)),
      m_areaBrush(m_areaColor),
      m_lineBrush(Qt::black),
      m_labelMetrics(labelFont()),
      m_lineHeight(m_labelMetrics.height()) {
    // Every pixel is painted, so nothing needs to be erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_values.reserve(10);
}

ChartView::~ChartView() = default;

QColor ChartView::areaColorFor(ChartKind kind) {
    return kind == ChartKind::Total ? QColor(43, 64, 107) : QColor(68, 102, 163);
}

int ChartView::count() const {
    return int(m_values.size());
}

void ChartView::addY(double y) {
    m_values.push_back(y);
    ++m_version;
    update();
}

void ChartView::checkIndex(int i) const {
    if (i < 0 || i >= count()) {
        throw Exception(QStringLiteral("Point index %1 is out of range (the chart has %2 points).")
                            .arg(i)
                            .arg(count()));
    }
}

double ChartView::yValue(int i) const {
    checkIndex(i);
    return m_values[size_t(i)];
}

void ChartView::setYValue(int i, double y) {
    checkIndex(i);
    double& slot = m_values[size_t(i)];
    // Equal values draw the same picture (a NaN never compares equal and just repaints).
    if (slot == y) {
        return;
    }
    // So do values on the same pixel row: on an idle machine most ticks move no point at all,
    // and then nothing is repainted or sent to the display.
    const chart::ChartLayout& layout = layoutFor(size());
    const bool sameRow =
        chart::mapY(layout.plot, slot, m_min, m_max) == chart::mapY(layout.plot, y, m_min, m_max);
    slot = y;
    ++m_version;
    if (!sameRow) {
        update();
    }
}

void ChartView::setMinMax(double minimum, double maximum) {
    if (std::isnan(minimum) || std::isnan(maximum) || minimum > maximum) {
        throw Exception(
            QStringLiteral("The axis minimum (%1) must not be greater than its maximum (%2).")
                .arg(minimum)
                .arg(maximum));
    }
    if (minimum == m_min && maximum == m_max) {
        return;
    }
    m_min = minimum;
    m_max = maximum;
    ++m_version;
    update();
}

void ChartView::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == m_background) {
        return;
    }
    m_background = color;
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

ChartView::SeriesShapes& ChartView::shapesFor(QSize size, const chart::ChartLayout& layout) const {
    SeriesShapes& c = m_shapes;
    if (c.valid && c.size == size && c.version == m_version) {
        return c;
    }
    c.valid = true;
    c.size = size;
    c.version = m_version;
    c.area.clear();
    c.line.clear();
    c.bands.clear();
    const int n = count();
    if (n < 2) {
        return c;
    }
    // Vertices sit on pixel centres, so a 1-px line covers exactly the pixels of its ends and
    // stays sharp at any device pixel ratio.
    const chart::PixelRect& plot = layout.plot;
    const double xMax = n - 1;
    const double base = plot.bottom + 0.5;
    c.area.reserve(n + 2);
    c.area.append(QPointF(plot.left + 0.5, base));
    for (int i = 0; i < n; ++i) {
        c.area.append(QPointF(chart::mapX(plot, i, 0, xMax) + 0.5,
                              chart::mapY(plot, m_values[size_t(i)], m_min, m_max) + 0.5));
    }
    c.area.append(QPointF(chart::mapX(plot, xMax, 0, xMax) + 0.5, base));

    // The outline of the whole line and the bands (cleared above) are made when first drawn:
    // stroking is a good part of a tick, and only one of the two is drawn.
    c.bandsCut = false;
    return c;
}

const QPainterPath& ChartView::wholeLine(SeriesShapes& shapes) const {
    // Two or more points always stroke to a non-empty outline.
    if (shapes.line.isEmpty()) {
        shapes.line = edgeOutline(shapes.area, 1, count());
    }
    return shapes.line;
}

ChartView::SeriesShapes& ChartView::bandsFor(QSize size, const chart::ChartLayout& layout) const {
    SeriesShapes& c = shapesFor(size, layout);
    if (!c.bandsCut) {
        cutIntoBands(c, layout);
        c.bandsCut = true;
    }
    return c;
}

void ChartView::cutIntoBands(SeriesShapes& c, const chart::ChartLayout& layout) const {
    // Qt's anti-aliased fill keeps the cells of each pixel row in a list that it searches from
    // the front for every new cell, so a fill costs about the square of a row's width: a flat
    // line across the whole plot is the worst case, and the usual one on an idle machine. Drawn
    // in bands of kBandWidth columns, each through an image only that wide, the rows stay short.
    //
    // The pixels stay exactly the same. A band's outline is the whole one with a piece on each
    // side replaced: on the left by a path between the same two points, entirely in columns the
    // band does not have, where the fill only counts how far the outline crosses each row (the
    // same for both paths); on the right by one entirely in columns past the band, which never
    // reach back into it. The line is cut at points at least 3 columns before the band and 2
    // after it: the stroker draws each segment's two sides from that segment alone, so what
    // changes is only the cap that replaces the join at the cut point, within a pixel of it.
    constexpr int kBandWidth = 96;
    const chart::PixelRect& plot = layout.plot;
    // Points sit on pixel centres: area[i + 1] is point i, at column x - 0.5.
    const int n = int(c.area.size()) - 2;
    const auto column = [&c](int i) { return int(std::lround(c.area[i + 1].x() - 0.5)); };
    const int firstColumn = plot.left;
    const int endColumn = plot.right + 1;
    // In a plot only a few rows high the line is nearly flat, and a flat edge adds no cells:
    // such charts, like those no wider than a band, cost more in bands than whole.
    if (n < 2 || endColumn - firstColumn <= kBandWidth || plot.height() < 8) {
        return;
    }
    // Points closer than 2 columns may coincide, and the stroker treats a segment of no length
    // on its own: such charts, too narrow to gain anything, are drawn whole.
    for (int i = 1; i < n; ++i) {
        if (column(i) - column(i - 1) < 2) {
            return;
        }
    }
    const double base = c.area.first().y();
    for (int left = firstColumn; left < endColumn; left += kBandWidth) {
        const int right = std::min(endColumn, left + kBandWidth);
        int first = 0;
        for (int i = 0; i < n; ++i) {
            if (column(i) <= left - 3) {
                first = i;
            }
        }
        int last = n - 1;
        for (int i = n - 1; i >= 0; --i) {
            if (column(i) >= right + 2) {
                last = i;
            }
        }
        Band band;
        band.left = left;
        band.right = right;
        band.area.reserve(last - first + 3);
        band.area.append(first == 0 ? c.area.first() : QPointF(c.area[first + 1].x(), base));
        for (int i = first; i <= last; ++i) {
            band.area.append(c.area[i + 1]);
        }
        band.area.append(last == n - 1 ? c.area.last() : QPointF(c.area[last + 1].x(), base));
        band.line = edgeOutline(c.area, first + 1, last + 1);
        c.bands.push_back(std::move(band));
    }
}

void ChartView::paintStatic(QPainter& painter, QSize size, const chart::ChartLayout& layout,
                            const ChartPixels* pixels) const {
    using chart::kAxisLineWidth;
    using chart::kMajorTickLength;
    using chart::kMinorTickLength;

    const chart::PixelRect& plot = layout.plot;
    const int w = size.width();
    const int h = size.height();
    const QColor black(Qt::black);
    const QColor tick(kTickColor);
    const QColor grid(kGridColor);

    const RectFiller fill(painter, pixels);
    fill(QRect(0, 0, w, h), m_background);

    // Raised bevel: light top and left, shadow bottom and right (the shadow owns the corners
    // it shares with the light sides).
    fill(QRect(0, 0, w - 1, 1), QColor(kBevelLight));
    fill(QRect(0, 0, 1, h - 1), QColor(kBevelLight));
    fill(QRect(0, h - 1, w, 1), QColor(kBevelShadow));
    fill(QRect(w - 1, 0, 1, h), QColor(kBevelShadow));

    // Frame on the edge pixels of the plot rectangle; the inside keeps the background.
    const int frameWidth = plot.width() + 1;
    const int frameHeight = plot.height() + 1;
    fill(QRect(plot.left, plot.top, frameWidth, 1), black);
    fill(QRect(plot.left, plot.bottom, frameWidth, 1), black);
    fill(QRect(plot.left, plot.top, 1, frameHeight), black);
    fill(QRect(plot.right, plot.top, 1, frameHeight), black);

    // Bottom axis line: the frame's bottom row and the row below it.
    fill(QRect(plot.left, plot.bottom, frameWidth, kAxisLineWidth), black);

    // Ticks point away from the plot: down from under the axis line, left from the frame.
    const int tickTop = plot.bottom + kAxisLineWidth;
    for (int x : layout.bottom.major) {
        fill(QRect(x, tickTop, 1, kMajorTickLength), tick);
    }
    for (int x : layout.bottom.minor) {
        fill(QRect(x, tickTop, 1, kMinorTickLength), tick);
    }
    for (int y : layout.left.major) {
        fill(QRect(plot.left - kMajorTickLength, y, kMajorTickLength, 1), tick);
    }
    for (int y : layout.left.minor) {
        fill(QRect(plot.left - kMinorTickLength, y, kMinorTickLength, 1), tick);
    }

    // Grid lines inside the frame.
    for (int x : layout.bottom.grid) {
        fill(QRect(x, plot.top + 1, 1, plot.height() - 1), grid);
    }
    for (int y : layout.left.grid) {
        fill(QRect(plot.left + 1, y, plot.width() - 1, 1), grid);
    }
}

void ChartView::paintSeries(QPainter& painter, QSize size, const chart::ChartLayout& layout) const {
    const chart::PixelRect& plot = layout.plot;
    SeriesShapes& shapes = shapesFor(size, layout);
    if (shapes.area.isEmpty()) {
        return;
    }
    drawAreaAndEdge(painter, plot, shapes.area, wholeLine(shapes));
}

void ChartView::drawAreaAndEdge(QPainter& painter, const chart::PixelRect& plot,
                                const QPolygonF& area, const QPainterPath& edge) const {
    painter.setRenderHint(QPainter::Antialiasing);
    // The area fills the inside of the frame only, so frame and axis line stay whole.
    const QRect inside(plot.left + 1, plot.top + 1, plot.width() - 1, plot.height() - 1);
    if (!inside.isEmpty()) {
        painter.setClipRect(inside);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_areaBrush);
        painter.drawPolygon(area);
    }
    // The upper edge may run along the frame (values at the range's ends), not beyond it.
    painter.setClipRect(QRect(plot.left, plot.top, plot.width() + 1, plot.height() + 1));
    painter.fillPath(edge, m_lineBrush);
}

bool ChartView::paintSeriesDirectly(const ChartPixels& pixels,
                                    const chart::ChartLayout& layout) const {
    // The painter flattens the round joins of the edge differently at other scales, and blends
    // into other formats otherwise.
    if (pixels.scale != 1 || (pixels.format != QImage::Format_RGB32 &&
                              pixels.format != QImage::Format_ARGB32_Premultiplied)) {
        return false;
    }
    SeriesShapes& shapes = shapesFor(pixels.size, layout);
    if (shapes.area.isEmpty()) {
        return true;
    }
    const QPainterPath& line = wholeLine(shapes);
    // The outline's round joins are curves; the painter turns them into lines at half the
    // tolerance QPainterPath uses, the same as flattening the path at twice its size.
    const QPoint offset = pixels.rect.topLeft();
    const QTransform toDevice = QTransform::fromTranslate(offset.x(), offset.y());
    CoverageFiller& edge = sharedFillers().edge;
    edge.clear();
    for (QPolygonF part : line.toSubpathPolygons(toDevice * QTransform::fromScale(2, 2))) {
        for (QPointF& point : part) {
            point /= 2;
        }
        edge.addPolygon(part);
    }
    CoverageFiller& area = sharedFillers().area;
    area.clear();
    area.addPolygon(toDevice.map(shapes.area));
    // Both are checked before either is drawn: a fallback draws both through the painter.
    const CoverageFiller::Pixels device{pixels.bits, pixels.stride, pixels.imageSize.width(),
                                        pixels.imageSize.height()};
    if (!area.usable() || !edge.usable()) {
        return false;
    }
    const chart::PixelRect& plot = layout.plot;
    const QRect inside(plot.left + 1, plot.top + 1, plot.width() - 1, plot.height() - 1);
    if (!inside.isEmpty()) {
        area.fill(device, inside.translated(offset), m_areaColor.rgba64().toArgb32(),
                  CoverageFiller::FillRule::OddEven);
    }
    const QRect frame(plot.left, plot.top, plot.width() + 1, plot.height() + 1);
    edge.fill(device, frame.translated(offset), m_lineBrush.color().rgba64().toArgb32(),
              CoverageFiller::FillRule::Winding);
    return true;
}

bool ChartView::paintSeriesInBands(const ChartPixels& pixels,
                                   const chart::ChartLayout& layout) const {
    const SeriesShapes& shapes = bandsFor(pixels.size, layout);
    if (shapes.bands.empty()) {
        return false;
    }
    const int scale = pixels.scale;
    const int height = pixels.size.height() * scale;
    for (const Band& band : shapes.bands) {
        QImage columns(pixels.origin() + qsizetype(band.left) * scale * 4,
                       (band.right - band.left) * scale, height, pixels.stride, pixels.format);
        columns.setDevicePixelRatio(scale);
        QPainter bandPainter(&columns);
        bandPainter.translate(-band.left, 0);
        drawAreaAndEdge(bandPainter, layout.plot, band.area, band.line);
    }
    return true;
}

void ChartView::paint(QPainter& painter, QSize size) const {
    const chart::ChartLayout& layout = layoutFor(size);
    painter.save();
    // Where the painter's own pixels can be written, the static picture is filled straight in,
    // and so are the area and its edge, or at other scales they are drawn in column bands;
    // elsewhere all goes through the painter.
    const std::optional<ChartPixels> pixels = chartPixels(painter, size);
    paintStatic(painter, size, layout, pixels ? &*pixels : nullptr);
    if (pixels && paintSeriesDirectly(*pixels, layout)) {
        m_lastSeriesPath = SeriesPath::Direct;
    } else if (pixels && paintSeriesInBands(*pixels, layout)) {
        m_lastSeriesPath = SeriesPath::Bands;
    } else {
        paintSeries(painter, size, layout);
        m_lastSeriesPath = SeriesPath::Painter;
    }
    painter.restore();
}

void ChartView::paintThroughPainter(QPainter& painter, QSize size) const {
    const chart::ChartLayout& layout = layoutFor(size);
    painter.save();
    paintStatic(painter, size, layout, nullptr);
    paintSeries(painter, size, layout);
    painter.restore();
}

QImage ChartView::renderImage(QSize size, qreal devicePixelRatio) const {
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QImage image(pixels.expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    paint(painter, size);
    return image;
}

void ChartView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint(painter, size());
}

// The gadget window drags itself and opens its menu from events on any of its parts: none of
// them may stop here.
void ChartView::mousePressEvent(QMouseEvent* event) {
    event->ignore();
}
void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    event->ignore();
}
void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->ignore();
}
void ChartView::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}
void ChartView::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
void ChartView::contextMenuEvent(QContextMenuEvent* event) {
    event->ignore();
}

}  // namespace lsg
