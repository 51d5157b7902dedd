// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/loadicon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <span>

#include "gadget/painterpixels.h"
#include "resources/pictures.h"

namespace lsg {
namespace {

constexpr int kMaxPixels = 512;
// The chart on the tile, in the tile's 232 units: 100 % near its top, 0 % a little above its
// bottom, so that an idle machine still shows a white base and the icon stays recognisable.
constexpr double kTileUnits = 232.0;
constexpr double kTopUnits = 36.0;
constexpr double kBaseUnits = 206.0;

const QRgb kArea = premultipliedPixel(QColor(255, 255, 255, 215));
const QRgb kLine = premultipliedPixel(QColor(255, 255, 255));

struct Frame {
    int inset = 0;
    double side = 0;  // the tile's side in device pixels
    double top = 0;   // y of 100 %
    double base = 0;  // y of 0 %
};

Frame frameFor(int pixels) {
    Frame f;
    f.inset = res::programIconInset(pixels);
    f.side = std::max(0, pixels - 2 * f.inset);
    const double unit = f.side / kTileUnits;
    f.top = f.inset + kTopUnits * unit;
    f.base = f.inset + kBaseUnits * unit;
    return f;
}

// The icon drawn for the tray at the size it paints or asks for.
class LoadIconEngine final : public QIconEngine {
public:
    explicit LoadIconEngine(std::shared_ptr<LoadIcon> source) : m_source(std::move(source)) {}

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = std::clamp(std::min(size.width(), size.height()), 0, kMaxPixels);
        return {side, side};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QImage& image = m_source->image(actualSize(size, mode, state).width());
        return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    }

    // Painted straight from the kept picture: an XEmbed tray repaints without a new pixmap.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1;
        const int side = actualSize((QSizeF(rect.size()) * ratio).toSize(), mode, state).width();
        const QImage& image = m_source->image(side);
        if (image.isNull()) {
            return;
        }
        const qreal drawn = side / ratio;
        painter->drawImage(QRectF(rect.x() + (rect.width() - drawn) / 2,
                                  rect.y() + (rect.height() - drawn) / 2, drawn, drawn),
                           image, QRectF(image.rect()));
    }

    // The sizes trays commonly show, up to the largest a StatusNotifierItem tray is sent.
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24),
                QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }
    QString key() const override { return QStringLiteral("lsg-load"); }
    QIconEngine* clone() const override { return new LoadIconEngine(m_source); }
    bool isNull() override { return false; }

private:
    std::shared_ptr<LoadIcon> m_source;
};

}  // namespace

LoadIcon::LoadIcon() {
    // An area's ten points and its two corners at the base.
    m_points.reserve(kPoints + 2);
}

LoadIcon::~LoadIcon() = default;

LoadIcon::Rows LoadIcon::rowsFor(int pixels, const Values& values) {
    const Frame f = frameFor(pixels);
    Rows rows{};
    for (int i = 0; i < kPoints; ++i) {
        const double y = f.base - (f.base - f.top) * std::clamp(values[size_t(i)], 0, 100) / 100.0;
        rows[size_t(i)] = int(std::floor(y));
    }
    return rows;
}

bool LoadIcon::push(qint64 percent) {
    const int value = int(std::clamp<qint64>(percent, 0, 100));
    if (!m_seeded) {
        m_values.fill(value);
        m_seeded = true;
    } else {
        std::copy(m_values.begin() + 1, m_values.end(), m_values.begin());
        m_values.back() = value;
    }
    for (const Drawn& d : m_drawn) {
        if (d.pixels != 0 && rowsFor(d.pixels, m_values) != d.rows) {
            return true;
        }
    }
    return false;
}

LoadIcon::Drawn& LoadIcon::entryFor(int pixels) {
    Drawn* oldest = &m_drawn[0];
    for (Drawn& d : m_drawn) {
        if (d.pixels == pixels) {
            return d;
        }
        if (d.lastUse < oldest->lastUse) {
            oldest = &d;
        }
    }
    *oldest = Drawn{};
    oldest->pixels = pixels;
    oldest->tile = res::programIconTile(pixels);
    oldest->rim = res::programIconRim(pixels);
    oldest->image = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    // Drawn at once, whatever the rows.
    oldest->rows.fill(-1);
    return *oldest;
}

const QImage& LoadIcon::image(int pixels) {
    if (pixels < 1 || pixels > kMaxPixels) {
        return m_null;
    }
    Drawn& entry = entryFor(pixels);
    entry.lastUse = ++m_uses;
    const Rows rows = rowsFor(pixels, m_values);
    if (rows != entry.rows) {
        entry.rows = rows;
        draw(entry);
    }
    return entry.image;
}

void LoadIcon::draw(Drawn& entry) {
    QImage& image = entry.image;
    if (image.isNull() || entry.tile.isNull() || entry.rim.isNull()) {
        return;
    }
    const int pixels = entry.pixels;
    // The tile first; the image keeps its own pixels, so this copies without allocating.
    for (int y = 0; y < pixels; ++y) {
        std::copy_n(reinterpret_cast<const QRgb*>(entry.tile.constScanLine(y)), pixels,
                    reinterpret_cast<QRgb*>(image.scanLine(y)));
    }
    const DevicePixels target{image.bits(), image.bytesPerLine(), pixels, pixels};

    const Frame f = frameFor(pixels);
    const double bottom = pixels - f.inset;
    m_points.clear();
    for (int i = 0; i < kPoints; ++i) {
        m_points.emplace_back(f.inset + f.side * i / (kPoints - 1), entry.rows[size_t(i)] + 0.5);
    }
    m_points.emplace_back(m_points.back().x(), bottom);
    m_points.emplace_back(m_points.front().x(), bottom);
    m_filler.clear();
    m_filler.addPolygon(m_points);
    m_filler.fill(target, target.rect(), kArea);
    m_filler.clear();
    m_filler.addPolyline(std::span(m_points).first(kPoints), res::programIconLineWidth(pixels));
    m_filler.fill(target, target.rect(), kLine);

    // Only the tile may show: each pixel keeps the share of it that the tile covers. Then the
    // rim goes over everything, as on the program icon.
    for (int y = 0; y < pixels; ++y) {
        QRgb* row = target.row(y);
        const QRgb* tile = reinterpret_cast<const QRgb*>(entry.tile.constScanLine(y));
        const QRgb* rim = reinterpret_cast<const QRgb*>(entry.rim.constScanLine(y));
        for (int x = 0; x < pixels; ++x) {
            const uint cover = qAlpha(tile[x]);
            if (cover != 255) {
                row[x] = byteMul(row[x], cover);
            }
            if (rim[x] != 0) {
                row[x] = rim[x] + byteMul(row[x], 255 - qAlpha(rim[x]));
            }
        }
    }
}

QIcon LoadIcon::icon(const std::shared_ptr<LoadIcon>& source) {
    return QIcon(new LoadIconEngine(source));
}

}  // namespace lsg
