// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "resources/pictures.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace lsg::res {

namespace {

// Larger requests are refused rather than allocated: nothing in the program needs them, and a
// runaway size must not take the process down.
constexpr int kMaxSide = 8192;

QImage blankImage(QSize devicePixels) {
    if (devicePixels.width() <= 0 || devicePixels.height() <= 0 ||
        devicePixels.width() > kMaxSide || devicePixels.height() > kMaxSide) {
        return {};
    }
    QImage img(devicePixels, QImage::Format_ARGB32_Premultiplied);
    if (!img.isNull()) {
        img.fill(Qt::transparent);
    }
    return img;
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor& a, const QColor& b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QPen roundPen(const QColor& c, qreal width) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Menu glyphs are white on a coloured disc, so they read on the dark menu and on light
// backgrounds alike.
const QColor kGlyph(255, 255, 255);

// --- 16 x 16 designs --------------------------------------------------------------------------

void drawDisc(QPainter& p, const QColor& light, const QColor& dark) {
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(0.5, 15.5, light, dark));
    p.drawEllipse(QPointF(8, 8), 7.5, 7.5);
    // A slightly darker rim keeps the disc's edge on light backgrounds.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark.darker(125), 0.8));
    p.drawEllipse(QPointF(8, 8), 7.1, 7.1);
}

const QColor kBlueLight(86, 140, 214);
const QColor kBlueDark(44, 88, 160);

void drawHelp(QPainter& p) {
    drawDisc(p, kBlueLight, kBlueDark);
    QPainterPath hook;
    const QRectF bowl(5.5, 3.4, 5.0, 5.0);
    hook.arcMoveTo(bowl, 165);
    hook.arcTo(bowl, 165, -225);
    hook.cubicTo(QPointF(8.6, 8.9), QPointF(8.0, 9.1), QPointF(8.0, 10.0));
    p.setPen(roundPen(kGlyph, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.drawEllipse(QPointF(8.0, 12.4), 1.15, 1.15);
}

void drawAbout(QPainter& p) {
    drawDisc(p, kBlueLight, kBlueDark);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.drawEllipse(QPointF(8.0, 4.6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(7.0, 6.6, 2.0, 6.2), 0.6, 0.6);
    // Small serifs make the letter read as "i" rather than a bar.
    p.drawRect(QRectF(6.0, 6.6, 3.0, 1.2));
    p.drawRect(QRectF(6.0, 11.8, 4.0, 1.2));
}

void drawExit(QPainter& p) {
    drawDisc(p, QColor(232, 96, 80), QColor(180, 44, 36));
    QPainterPath ring;
    const QRectF r(4.3, 4.8, 7.4, 7.4);
    ring.arcMoveTo(r, 58);
    ring.arcTo(r, 58, -296);
    p.setPen(roundPen(kGlyph, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ring);
    p.drawLine(QPointF(8, 3.3), QPointF(8, 8.0));
}

void drawFeedback(QPainter& p) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.8, 1.8, 14.4, 10.0), 3.2, 3.2);
    QPainterPath tail;
    tail.moveTo(3.2, 10.0);
    tail.lineTo(2.6, 14.8);
    tail.lineTo(8.0, 11.2);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    const QColor light(245, 170, 66);
    const QColor dark(214, 120, 24);
    p.setPen(QPen(dark.darker(130), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(1.8, 14.8, light, dark));
    p.drawPath(bubble);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    for (qreal x : {4.8, 8.0, 11.2}) {
        p.drawEllipse(QPointF(x, 6.8), 1.15, 1.15);
    }
}

// Neutral glyphs (the cross, the menu arrow) have no disc: a light body with a dark halo
// keeps them visible on dark and light faces.
void drawHaloStroke(QPainter& p, const QPainterPath& path, qreal width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(QColor(24, 30, 36, 200), width + 1.6));
    p.drawPath(path);
    p.setPen(roundPen(QColor(236, 240, 244), width));
    p.drawPath(path);
}

void drawClose(QPainter& p) {
    QPainterPath cross;
    cross.moveTo(4.5, 4.5);
    cross.lineTo(11.5, 11.5);
    cross.moveTo(11.5, 4.5);
    cross.lineTo(4.5, 11.5);
    drawHaloStroke(p, cross, 2.0);
}

void drawArrow(QPainter& p) {
    QPainterPath tri;
    tri.moveTo(4.0, 6.0);
    tri.lineTo(12.0, 6.0);
    tri.lineTo(8.0, 10.5);
    tri.closeSubpath();
    p.setPen(QPen(QColor(24, 30, 36, 200), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tri);
    p.setPen(QPen(QColor(236, 240, 244), 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(236, 240, 244));
    p.drawPath(tri);
}

// --- 32 x 32 and 48 x 48 designs --------------------------------------------------------------

void drawFace(QPainter& p, const QColor& light, const QColor& dark, bool smiling) {
    const QPointF c(16, 16);
    QRadialGradient g(QPointF(12.5, 10.5), 20);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(150), 1.3));
    p.setBrush(g);
    p.drawEllipse(c, 14.3, 14.3);

    const QColor feature = dark.darker(260);
    p.setPen(Qt::NoPen);
    p.setBrush(feature);
    p.drawEllipse(QPointF(11.3, 12.6), 1.9, 2.5);
    p.drawEllipse(QPointF(20.7, 12.6), 1.9, 2.5);

    QPainterPath mouth;
    if (smiling) {
        const QRectF r(8.5, 9.0, 15.0, 13.0);
        mouth.arcMoveTo(r, -25);
        mouth.arcTo(r, -25, -130);
    } else {
        const QRectF r(9.5, 19.5, 13.0, 11.0);
        mouth.arcMoveTo(r, 30);
        mouth.arcTo(r, 30, 120);
    }
    p.setPen(roundPen(feature, 2.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
}

void drawLike(QPainter& p) {
    drawFace(p, QColor(134, 214, 110), QColor(46, 150, 62), true);
}

void drawDislike(QPainter& p) {
    drawFace(p, QColor(246, 124, 108), QColor(196, 48, 42), false);
}

void drawGear(QPainter& p) {
    const QPointF c(24, 24);
    constexpr int teeth = 8;
    constexpr qreal outer = 22.0;
    constexpr qreal root = 16.6;
    constexpr qreal pi = 3.14159265358979323846;
    auto at = [&](qreal r, qreal deg) {
        const qreal a = deg * pi / 180.0;
        return QPointF(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
    };
    // Flanks taper so that the teeth are wider at the root, as real gears are.
    constexpr qreal rootHalf = 12.5;
    constexpr qreal tipHalf = 8.0;
    const QRectF rootRect(c.x() - root, c.y() - root, 2 * root, 2 * root);
    const QRectF outerRect(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
    const qreal step = 360.0 / teeth;
    QPainterPath gear;
    gear.moveTo(at(root, 90.0 + rootHalf));
    for (int i = 0; i < teeth; ++i) {
        const qreal mid = 90.0 - i * step;
        gear.lineTo(at(outer, mid + tipHalf));
        gear.arcTo(outerRect, mid + tipHalf, -2 * tipHalf);
        gear.lineTo(at(root, mid - rootHalf));
        gear.arcTo(rootRect, mid - rootHalf, -(step - 2 * rootHalf));
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 6.5, 6.5);
    gear = gear.subtracted(hole);

    p.setPen(QPen(QColor(38, 46, 54), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(2, 46, QColor(236, 240, 244), QColor(150, 162, 176)));
    p.drawPath(gear);

    // A hub in the chart's blue ties the gear to the program.
    QPainterPath hub;
    hub.addEllipse(c, 11.0, 11.0);
    hub = hub.subtracted(hole);
    p.setPen(QPen(QColor(30, 48, 84), 1.2));
    p.setBrush(vertical(13, 35, QColor(92, 136, 206), QColor(43, 64, 107)));
    p.drawPath(hub);
}

// --- program icon ------------------------------------------------------------------------------

// The icon is a rounded tile in the chart's blue carrying a white area chart, designed on a
// 232-unit tile inside a 256-unit square (the same coordinates as icons/loadspire.svg).
constexpr qreal kTile = 232.0;

QPainterPath tilePath() {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, kTile, kTile), 44, 44);
    return tile;
}

QPolygonF chartLine() {
    return QPolygonF({QPointF(-20, 164), QPointF(0, 160), QPointF(38.7, 104), QPointF(77.3, 136),
                      QPointF(116, 72), QPointF(154.7, 112), QPointF(193.3, 44), QPointF(232, 84),
                      QPointF(252, 96)});
}

// The program icon's parts: the live tray icon draws its own chart between the tile and the rim.
enum IconPart : unsigned { kTilePart = 1, kChartPart = 2, kRimPart = 4, kWholeIcon = 7 };

// The margin around the tile, snapped to whole pixels so that the tile's straight edges stay
// crisp at the small sizes.
int tileInset(int pixels) {
    return qRound(pixels * 12.0 / 256.0);
}

void drawProgramIcon(QPainter& p, int pixels, unsigned parts = kWholeIcon) {
    const int inset = tileInset(pixels);
    const qreal side = pixels - 2 * inset;
    if (side <= 0) {
        return;
    }
    p.translate(inset, inset);
    p.scale(side / kTile, side / kTile);
    const qreal devicePixel = kTile / side;

    const QPainterPath tile = tilePath();
    if ((parts & kTilePart) != 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(0, kTile, QColor(84, 126, 196), QColor(43, 64, 107)));
        p.drawPath(tile);

        if (pixels >= 32) {
            // Faint grid lines; below 32 pixels they would only muddy the tile.
            p.setPen(QPen(QColor(255, 255, 255, 40), std::max(devicePixel, 3.0), Qt::SolidLine,
                          Qt::FlatCap));
            for (qreal y : {58.0, 116.0, 174.0}) {
                p.drawLine(QPointF(0, y), QPointF(kTile, y));
            }
        }
    }

    if ((parts & kChartPart) != 0) {
        const QPolygonF line = chartLine();
        QPainterPath area;
        area.addPolygon(line);
        area.lineTo(252, 260);
        area.lineTo(-20, 260);
        area.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(40, kTile, QColor(255, 255, 255, 235), QColor(214, 228, 255, 190)));
        p.drawPath(area.intersected(tile));

        QPainterPath ridge;
        ridge.addPolygon(line);
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(devicePixel, 10.0));
        stroker.setJoinStyle(Qt::RoundJoin);
        p.setBrush(Qt::white);
        p.drawPath(stroker.createStroke(ridge).intersected(tile));
    }

    if ((parts & kRimPart) != 0) {
        // A thin dark rim separates the tile from light backgrounds.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 32, 58, 150), devicePixel));
        p.drawRoundedRect(
            QRectF(0, 0, kTile, kTile)
                .adjusted(devicePixel / 2, devicePixel / 2, -devicePixel / 2, -devicePixel / 2),
            44 - devicePixel / 2, 44 - devicePixel / 2);
    }
}

// --- maker's logo -------------------------------------------------------------------------------

constexpr qreal kLogoW = 688.0;
constexpr qreal kLogoH = 210.0;
const QColor kLogoWhite(242, 245, 248);
const QColor kLogoAccent(47, 199, 154);

// A letter of the wordmark: its centre lines are stroked and then trimmed to the letter's box,
// so that every terminal ends flat on the baseline, the cap line or the letter's side.
struct Letter {
    QPainterPath body;
    QPainterPath accent;
    qreal width = 0;
};

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first) {
            path.moveTo(pt);
            first = false;
        } else {
            path.lineTo(pt);
        }
    }
    return path;
}

// A bowl (of D, R) from the stem out to the right and back: straight top, half circle, straight
// bottom, on centre lines.
QPainterPath bowl(qreal stemX, qreal top, qreal bottom, qreal right) {
    const qreal r = (bottom - top) / 2;
    const qreal cx = right - r;
    QPainterPath path;
    path.moveTo(stemX, top);
    path.lineTo(cx, top);
    path.arcTo(QRectF(cx - r, top, 2 * r, 2 * r), 90, -180);
    path.lineTo(stemX, bottom);
    return path;
}

Letter makeLetter(char ch, qreal h, qreal s) {
    Letter l;
    const qreal hs = s / 2;
    // Centre lines run past the box where a terminal must be cut flat by it.
    const qreal over = s;
    std::vector<QPainterPath> strokes;
    switch (ch) {
        case 'K': {
            l.width = 60;
            const qreal w = l.width;
            strokes.push_back(polyline({{hs, -over}, {hs, h + over}}));
            // The arm runs on into the stem so that it joins it without a notch.
            const QPointF armTop(w - hs * 0.3, -over * 0.3);
            const QPointF joint(s * 0.6, h * 0.64);
            const QPointF armEnd =
                joint + (joint - armTop) * ((joint.x() + s) / (armTop.x() - joint.x()));
            strokes.push_back(polyline({armTop, armEnd}));
            strokes.push_back(polyline({{w * 0.40, h * 0.40}, {w - hs * 0.3, h + over * 0.3}}));
            break;
        }
        case 'A': {
            l.width = 66;
            const qreal w = l.width;
            strokes.push_back(
                polyline({{hs * 0.7, h + over}, {w / 2, -over}, {w - hs * 0.7, h + over}}));
            // The crossbar is set in the accent colour, the wordmark's one flourish.
            QPainterPath outer;
            outer.addPolygon(QPolygonF({{0, h}, {w / 2, -h * 0.2}, {w, h}}));
            QPainterPath band;
            band.addRect(QRectF(0, h * 0.62, w, s * 0.85));
            l.accent = band.intersected(outer);
            break;
        }
        case 'L': {
            l.width = 48;
            strokes.push_back(polyline({{hs, -over}, {hs, h - hs}, {l.width + over, h - hs}}));
            break;
        }
        case 'D': {
            l.width = 62;
            strokes.push_back(polyline({{hs, -over}, {hs, h + over}}));
            strokes.push_back(bowl(hs, hs, h - hs, l.width - hs));
            break;
        }
        case 'E': {
            l.width = 50;
            const qreal w = l.width;
            strokes.push_back(
                polyline({{w + over, hs}, {hs, hs}, {hs, h - hs}, {w + over, h - hs}}));
            strokes.push_back(polyline({{hs, h / 2}, {w * 0.86, h / 2}}));
            break;
        }
        case 'R': {
            l.width = 58;
            const qreal w = l.width;
            const qreal bowlBottom = h * 0.56;
            strokes.push_back(polyline({{hs, -over}, {hs, h + over}}));
            strokes.push_back(bowl(hs, hs, bowlBottom, w - hs));
            strokes.push_back(polyline({{w * 0.46, bowlBottom}, {w - hs * 0.3, h + over * 0.3}}));
            break;
        }
        case 'N': {
            l.width = 62;
            const qreal w = l.width;
            strokes.push_back(polyline({{hs, h + over}, {hs, -over}}));
            strokes.push_back(polyline({{hs * 0.4, -over * 0.4}, {w - hs * 0.4, h + over * 0.4}}));
            strokes.push_back(polyline({{w - hs, h + over}, {w - hs, -over}}));
            break;
        }
        default:
            return l;
    }
    QPainterPathStroker st;
    st.setWidth(s);
    st.setCapStyle(Qt::FlatCap);
    st.setJoinStyle(Qt::MiterJoin);
    st.setMiterLimit(8);
    QPainterPath box;
    box.addRect(QRectF(0, 0, l.width, h));
    for (const QPainterPath& c : strokes) {
        l.body = l.body.united(st.createStroke(c).simplified().intersected(box));
    }
    l.accent = l.accent.subtracted(l.body);
    return l;
}

void drawLogo(QPainter& p, QSize px) {
    const qreal scale = std::min(px.width() / kLogoW, px.height() / kLogoH);
    p.translate((px.width() - kLogoW * scale) / 2, (px.height() - kLogoH * scale) / 2);
    p.scale(scale, scale);

    // Emblem: a hexagonal badge holding two peaks.
    constexpr qreal pi = 3.14159265358979323846;
    const QPointF centre(92, 105);
    constexpr qreal radius = 84;
    QPolygonF hex;
    for (int k = 0; k < 6; ++k) {
        const qreal a = (90 + 60 * k) * pi / 180.0;
        hex << QPointF(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    }
    hex << hex.first();
    p.setPen(QPen(kLogoAccent, 11, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(hex);

    QPainterPath peaks;
    peaks.moveTo(38, 140);
    peaks.lineTo(74, 88);
    peaks.lineTo(92, 112);
    peaks.lineTo(112, 62);
    peaks.lineTo(152, 140);
    peaks.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kLogoWhite);
    p.drawPath(peaks);

    // Wordmark.
    constexpr qreal capHeight = 92;
    constexpr qreal stem = 16;
    constexpr qreal gap = 10;
    qreal x = 204;
    const qreal top = 52;
    for (char ch : {'K', 'A', 'L', 'D', 'E', 'R', 'N'}) {
        const Letter l = makeLetter(ch, capHeight, stem);
        p.save();
        p.translate(x, top);
        p.setBrush(kLogoWhite);
        p.drawPath(l.body);
        p.setBrush(kLogoAccent);
        p.drawPath(l.accent);
        p.restore();
        x += l.width + gap;
    }
    p.setBrush(kLogoAccent);
    p.drawRect(QRectF(204, top + capHeight + 18, x - gap - 204, 5));
}

struct Design {
    const char* name;
    int side;   // logical size at 96 dpi
    int units;  // the design's own coordinate range
    void (*draw)(QPainter&);
};

constexpr std::array<Design, 10> kDesigns{{
    {"settings48", 48, 48, drawGear},
    {"help", 16, 16, drawHelp},
    {"feedback", 16, 16, drawFeedback},
    {"about", 16, 16, drawAbout},
    {"exit", 16, 16, drawExit},
    {"close", 16, 16, drawClose},
    {"close32", 32, 16, drawClose},
    {"arrow", 16, 16, drawArrow},
    {"like", 32, 32, drawLike},
    {"dislike", 32, 32, drawDislike},
}};

const Design* findDesign(const QString& name) {
    for (const Design& d : kDesigns) {
        if (name == QLatin1String(d.name)) {
            return &d;
        }
    }
    return nullptr;
}

// An icon drawn when a size is asked for, keeping only the pixmap drawn last. Made ahead in every
// size, the program icon alone held some 400 KB for as long as the program ran, while the tray
// shows one size.
class DrawnIconEngine final : public QIconEngine {
public:
    using Draw = std::function<QImage(int pixels)>;
    DrawnIconEngine(Draw draw, std::initializer_list<int> sides) : m_draw(std::move(draw)) {
        for (int side : sides) {
            m_sizes.append(QSize(side, side));
        }
    }

    // The icon is square: asked for any size, it is drawn as large as fits.
    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = std::max(0, std::min(size.width(), size.height()));
        return {side, side};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = actualSize(size, mode, state).width();
        if (side <= 0) {
            return {};
        }
        if (m_last.isNull() || m_lastSide != side || m_lastMode != mode) {
            QPixmap drawn = QPixmap::fromImage(m_draw(side));
            // Disabled and selected looks come from the platform, as for any other icon.
            m_last = mode == QIcon::Normal || drawn.isNull()
                         ? drawn
                         : QIcon(drawn).pixmap(QSize(side, side), 1.0, mode, state);
            m_lastSide = side;
            m_lastMode = mode;
        }
        return m_last;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1;
        const QPixmap pm = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        if (pm.isNull()) {
            return;
        }
        // Centred in the rectangle, as QIcon::paint places a smaller pixmap; each device pixel
        // of the pixmap lands on one of the device.
        const QSizeF drawn = QSizeF(pm.size()) / ratio;
        painter->drawPixmap(QRectF(QPointF(rect.x() + (rect.width() - drawn.width()) / 2,
                                           rect.y() + (rect.height() - drawn.height()) / 2),
                                   drawn),
                            pm, QRectF(pm.rect()));
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return m_sizes;
    }
    QString key() const override { return QStringLiteral("lsg-drawn"); }
    QIconEngine* clone() const override { return new DrawnIconEngine(*this); }
    bool isNull() override { return false; }

private:
    Draw m_draw;
    QList<QSize> m_sizes;
    QPixmap m_last;
    int m_lastSide = 0;
    QIcon::Mode m_lastMode = QIcon::Normal;
};

}  // namespace

namespace {

QImage programIconParts(int pixels, unsigned parts) {
    QImage img = blankImage(QSize(pixels, pixels));
    if (img.isNull()) {
        return img;
    }
    QPainter p(&img);
    prepare(p);
    drawProgramIcon(p, pixels, parts);
    return img;
}

}  // namespace

QImage programIconImage(int pixels) {
    return programIconParts(pixels, kWholeIcon);
}

QImage programIconTile(int pixels) {
    return programIconParts(pixels, kTilePart);
}

QImage programIconRim(int pixels) {
    return programIconParts(pixels, kRimPart);
}

int programIconInset(int pixels) {
    return pixels > 0 ? tileInset(pixels) : 0;
}

qreal programIconLineWidth(int pixels) {
    const int side = pixels - 2 * programIconInset(pixels);
    return side > 0 ? std::max(1.0, side * 10.0 / kTile) : 0.0;
}

QIcon programIcon() {
    return QIcon(new DrawnIconEngine([](int pixels) { return programIconImage(pixels); },
                                     {16, 20, 22, 24, 32, 40, 48, 64, 96, 128, 256}));
}

QStringList pictureNames() {
    QStringList names;
    for (const Design& d : kDesigns) {
        names << QLatin1String(d.name);
    }
    return names;
}

QSize pictureSize(const QString& name) {
    const Design* d = findDesign(name);
    return d ? QSize(d->side, d->side) : QSize();
}

QPixmap picture(const QString& name, QSize logicalSize, qreal dpr) {
    const Design* d = findDesign(name);
    if (!d || !(dpr > 0) || dpr > 16) {
        return {};
    }
    QImage img = blankImage((QSizeF(logicalSize) * dpr).toSize());
    if (img.isNull()) {
        return {};
    }
    {
        QPainter p(&img);
        prepare(p);
        p.scale(qreal(img.width()) / d->units, qreal(img.height()) / d->units);
        d->draw(p);
    }
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(dpr);
    return pm;
}

QPixmap picture(const QString& name, qreal dpr) {
    const Design* d = findDesign(name);
    return d ? picture(name, QSize(d->side, d->side), dpr) : QPixmap();
}

QIcon menuIcon(const QString& name) {
    if (findDesign(name) == nullptr) {
        return {};
    }
    // 16 logical pixels at the usual device pixel ratios 1, 1.5, 2 and 3.
    return QIcon(new DrawnIconEngine(
        [name](int pixels) { return picture(name, QSize(pixels, pixels), 1.0).toImage(); },
        {16, 24, 32, 48}));
}

QImage logo(QSize px) {
    QImage img = blankImage(px);
    if (img.isNull()) {
        return img;
    }
    QPainter p(&img);
    prepare(p);
    drawLogo(p, px);
    return img;
}

}  // namespace lsg::res
