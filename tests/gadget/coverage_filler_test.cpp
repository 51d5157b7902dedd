// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <limits>
#include <random>

#include "gadget/coveragefiller.h"

namespace lsg {
namespace {

using Rule = CoverageFiller::FillRule;

// Any shape of straight edges, partly or wholly off the pixels, clipped to any rectangle, is
// filled exactly as the painter fills it.
TEST(CoverageFiller, FillsExactlyAsThePainter) {
    std::mt19937 random(20261211);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 400; ++round) {
        const int width = 1 + int(random() % 120);
        const int height = 1 + int(random() % 90);
        const QImage::Format format =
            random() % 2 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
        QImage reference(width, height, format);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                reference.setPixel(x, y, 0xFF000000 | random());
            }
        }
        QImage direct = reference;

        // Points anywhere near the pixels: on pixel centres and corners, or anywhere at all;
        // now and then one repeats the last, or lies on a line with it.
        const bool centres = random() % 3 == 0;
        const auto coordinate = [&](int size) {
            const double v = uniform(-20, size + 20);
            return centres ? std::floor(v) + 0.5 * double(random() % 2) : v;
        };
        QPainterPath path;
        CoverageFiller filler;
        const int polygons = 1 + int(random() % 3);
        for (int k = 0; k < polygons; ++k) {
            QPolygonF polygon;
            const int points = 3 + int(random() % 10);
            for (int i = 0; i < points; ++i) {
                QPointF p(coordinate(width), coordinate(height));
                if (i > 0 && random() % 5 == 0) {
                    p = random() % 2 ? polygon.last() : QPointF(polygon.last().x(), p.y());
                }
                polygon.append(p);
            }
            path.addPolygon(polygon);
            path.closeSubpath();
            filler.addPolygon(polygon);
        }
        const Rule rule = random() % 2 ? Rule::Winding : Rule::OddEven;
        path.setFillRule(rule == Rule::Winding ? Qt::WindingFill : Qt::OddEvenFill);
        const QRect clip = random() % 3 == 0
                               ? QRect(-5, -5, width + 10, height + 10)
                               : QRect(int(random() % 30) - 10, int(random() % 30) - 10,
                                       int(random() % 130), int(random() % 100));
        const QColor color(int(random() % 256), int(random() % 256), int(random() % 256));

        {
            QPainter painter(&reference);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(clip);
            painter.fillPath(path, color);
        }
        ASSERT_TRUE(filler.usable());
        filler.fill({direct.bits(), direct.bytesPerLine(), width, height}, clip,
                    color.rgba64().toArgb32(), rule);

        ASSERT_TRUE(direct == reference)
            << "round " << round << ": " << width << "x" << height << ", format " << format << ", "
            << polygons << " polygons, rule " << int(rule);
    }
}

TEST(CoverageFiller, LeavesShapesFarAwayOrNotNumbersToThePainter) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const QPointF& wild : {QPointF(1e7, 5), QPointF(5, -9000), QPointF(nan, 5)}) {
        CoverageFiller filler;
        filler.addPolygon(QPolygonF({QPointF(1, 1), QPointF(8, 2), wild}));
        EXPECT_FALSE(filler.usable()) << wild.x() << ", " << wild.y();
        QImage pixels(10, 10, QImage::Format_RGB32);
        pixels.fill(Qt::white);
        const QImage before = pixels;
        filler.fill({pixels.bits(), pixels.bytesPerLine(), 10, 10}, pixels.rect(), 0xff000000,
                    Rule::Winding);
        EXPECT_EQ(pixels, before) << "a shape that is not usable is not filled at all";
        filler.clear();
        filler.addPolygon(QPolygonF({QPointF(1, 1), QPointF(8, 2), QPointF(5, 7)}));
        EXPECT_TRUE(filler.usable());
    }
}

}  // namespace
}  // namespace lsg
