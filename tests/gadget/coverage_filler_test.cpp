// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "gadget/coveragefiller.h"

namespace lsg {
namespace {

DevicePixels pixelsOf(QImage& image) {
    return {image.bits(), image.bytesPerLine(), image.width(), image.height()};
}

// Coverage 0..1 of a pixel filled white over black.
double coverageAt(const QImage& image, int x, int y) {
    return qBlue(image.pixel(x, y)) / 255.0;
}

double overlap(double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// Every pixel is covered by the share of its area inside the shape, for rectangles anywhere on
// and off the pixels with edges anywhere within pixels, and nothing outside the clip changes.
TEST(CoverageFiller, CoversEachPixelByTheShareOfItsAreaInside) {
    std::mt19937 random(20261211);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + int(random() % 60);
        const int height = 1 + int(random() % 40);
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        double x0 = uniform(-10, width + 10);
        double x1 = uniform(-10, width + 10);
        double y0 = uniform(-10, height + 10);
        double y1 = uniform(-10, height + 10);
        const QRect clip(int(random() % 20) - 5, int(random() % 20) - 5, int(random() % 70),
                         int(random() % 50));
        // Either way round: the direction of the outline does not matter.
        if (random() % 2) {
            std::swap(x0, x1);
        }
        const QPointF corners[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        CoverageFiller filler;
        filler.addPolygon(corners);
        filler.fill(pixelsOf(image), clip, 0xFFFFFFFF);

        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double expected =
                    clip.contains(x, y) ? overlap(x, x + 1, std::min(x0, x1), std::max(x0, x1)) *
                                              overlap(y, y + 1, std::min(y0, y1), std::max(y0, y1))
                                        : 0;
                ASSERT_NEAR(coverageAt(image, x, y), expected, 0.5 / 255 + 1e-9)
                    << "round " << round << ", pixel " << x << "," << y;
            }
        }
    }
}

// Slanted edges: the coverage of all pixels together is the polygon's area, whatever its shape.
TEST(CoverageFiller, AddsUpToTheAreaOfAnyPolygon) {
    std::mt19937 random(20261212);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 100; ++round) {
        // Corners in order around a centre, each in its own slice of the turn, make a polygon
        // that never crosses itself, so its area is the shoelace sum.
        const QPointF centre(uniform(20, 40), uniform(15, 25));
        const int corners = 3 + int(random() % 12);
        std::vector<double> angles;
        for (int i = 0; i < corners; ++i) {
            angles.push_back((i + uniform(0, 1)) * 2 * std::numbers::pi / corners);
        }
        std::vector<QPointF> polygon;
        for (double a : angles) {
            const double r = uniform(1, 14);
            polygon.emplace_back(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        }
        double area = 0;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const QPointF& p = polygon[i];
            const QPointF& q = polygon[(i + 1) % polygon.size()];
            area += p.x() * q.y() - q.x() * p.y();
        }
        area = std::abs(area) / 2;

        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::black);
        CoverageFiller filler;
        filler.addPolygon(polygon);
        filler.fill(pixelsOf(image), image.rect(), 0xFFFFFFFF);
        double covered = 0;
        int touched = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                covered += coverageAt(image, x, y);
                touched += qBlue(image.pixel(x, y)) != 0 ? 1 : 0;
            }
        }
        // Each pixel's coverage is rounded to 1/255.
        EXPECT_NEAR(covered, area, touched * 0.5 / 255 + 1e-6) << "round " << round;
    }
}

// Overlapping parts count once, and a line is as dark where its segments join as elsewhere.
TEST(CoverageFiller, OverlapsCountOnce) {
    QImage once(20, 10, QImage::Format_RGB32);
    once.fill(Qt::black);
    QImage twice = once;
    CoverageFiller filler;
    const QPointF square[] = {{2.5, 2.25}, {9.75, 2.25}, {9.75, 7.5}, {2.5, 7.5}};
    const QPointF backwards[] = {{2.5, 2.25}, {2.5, 7.5}, {9.75, 7.5}, {9.75, 2.25}};
    filler.addPolygon(square);
    filler.fill(pixelsOf(once), once.rect(), 0xFFFFFFFF);
    filler.clear();
    filler.addPolygon(square);
    filler.addPolygon(backwards);
    filler.addPolygon(square);
    filler.fill(pixelsOf(twice), twice.rect(), 0xFFFFFFFF);
    EXPECT_EQ(twice, once);

    // A line through many points on one straight line is the line between its ends.
    QImage straight(40, 12, QImage::Format_RGB32);
    straight.fill(Qt::black);
    QImage joined = straight;
    const QPointF ends[] = {{3.5, 2.5}, {35.5, 9.5}};
    std::vector<QPointF> many;
    for (int i = 0; i <= 8; ++i) {
        many.push_back(ends[0] + (ends[1] - ends[0]) * (i / 8.0));
    }
    filler.clear();
    filler.addPolyline(ends, 1);
    filler.fill(pixelsOf(straight), straight.rect(), 0xFFFFFFFF);
    filler.clear();
    filler.addPolyline(many, 1);
    filler.fill(pixelsOf(joined), joined.rect(), 0xFFFFFFFF);
    for (int y = 0; y < straight.height(); ++y) {
        for (int x = 0; x < straight.width(); ++x) {
            ASSERT_NEAR(qBlue(joined.pixel(x, y)), qBlue(straight.pixel(x, y)), 1) << x << "," << y;
        }
    }

    // A corner 2 pixels wide: two bodies of 10 x 2 sharing a 1 x 1 square, two square ends of
    // 1 x 2, and outside the corner a quarter circle of radius 1 drawn as two 45-degree steps.
    QImage corner(20, 20, QImage::Format_RGB32);
    corner.fill(Qt::black);
    const QPointF bend[] = {{3, 3}, {13, 3}, {13, 13}};
    filler.clear();
    filler.addPolyline(bend, 2);
    filler.fill(pixelsOf(corner), corner.rect(), 0xFFFFFFFF);
    double covered = 0;
    int touched = 0;
    for (int y = 0; y < corner.height(); ++y) {
        for (int x = 0; x < corner.width(); ++x) {
            covered += coverageAt(corner, x, y);
            touched += qBlue(corner.pixel(x, y)) != 0 ? 1 : 0;
        }
    }
    EXPECT_NEAR(covered, 39 + 4 + 2 * 0.5 * std::sin(std::numbers::pi / 4),
                touched * 0.5 / 255 + 1e-6);
}

// A line along a row through pixel centres covers exactly the pixels from its first to its last
// point, at any width in whole pixels; a line whose points all coincide is a square dot.
TEST(CoverageFiller, LinesThroughPixelCentresAreSharp) {
    for (int width : {1, 2, 3}) {
        QImage image(18, 12, QImage::Format_RGB32);
        image.fill(Qt::black);
        // Centres for odd widths, boundaries for even ones: the edges fall on boundaries.
        const double o = width % 2 == 0 ? 0.5 : 0;
        const QPointF points[] = {{3.5 + o, 5.5 + o}, {7.5 + o, 5.5 + o}, {12.5 + o, 5.5 + o}};
        CoverageFiller filler;
        filler.addPolyline(points, width);
        filler.fill(pixelsOf(image), image.rect(), 0xFFFFFFFF);
        // Square ends reach half the width past the end points.
        const QRect covered(
            QPoint(int(3.5 + o - width / 2.0), int(5.5 + o - width / 2.0)),
            QPoint(int(12.5 + o + width / 2.0) - 1, int(5.5 + o + width / 2.0) - 1));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_EQ(image.pixel(x, y), covered.contains(x, y) ? 0xFFFFFFFF : 0xFF000000)
                    << "width " << width << ", pixel " << x << "," << y;
            }
        }
    }
    QImage dot(5, 5, QImage::Format_RGB32);
    dot.fill(Qt::black);
    const QPointF same[] = {{2.5, 2.5}, {2.5, 2.5}};
    CoverageFiller filler;
    filler.addPolyline(same, 1);
    filler.fill(pixelsOf(dot), dot.rect(), 0xFFFFFFFF);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(dot.pixel(x, y), x == 2 && y == 2 ? 0xFFFFFFFF : 0xFF000000);
        }
    }
}

TEST(CoverageFiller, ASeeThroughColourIsLaidOverThePixels) {
    QImage image(4, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 0, 200));
    const QPointF half[] = {{0, 0}, {2.5, 0}, {2.5, 1}, {0, 1}};
    CoverageFiller filler;
    filler.addPolygon(half);
    // Red at half opacity, premultiplied.
    filler.fill(pixelsOf(image), image.rect(), qRgba(128, 0, 0, 128));
    EXPECT_EQ(image.pixel(0, 0), qRgba(128, 0, 100, 255));
    // Half covered: a quarter of red, three quarters of the blue stays.
    EXPECT_EQ(image.pixel(2, 0), qRgba(64, 0, 150, 255));
    EXPECT_EQ(image.pixel(3, 0), qRgba(0, 0, 200, 255));
}

TEST(CoverageFiller, LeavesOutPolygonsWithPointsFarAwayOrNotNumbers) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QPointF& wild :
         {QPointF(1e9, 5), QPointF(5, -1e8), QPointF(nan, 5), QPointF(5, inf)}) {
        QImage pixels(10, 10, QImage::Format_RGB32);
        pixels.fill(Qt::white);
        const QImage before = pixels;
        CoverageFiller filler;
        const QPointF polygon[] = {{1, 1}, {8, 2}, wild};
        filler.addPolygon(polygon);
        filler.fill(pixelsOf(pixels), pixels.rect(), 0xFF000000);
        EXPECT_EQ(pixels, before) << wild.x() << ", " << wild.y();
    }
    // Far, but not that far: drawn where it reaches the pixels.
    QImage pixels(10, 10, QImage::Format_RGB32);
    pixels.fill(Qt::white);
    CoverageFiller filler;
    const QPointF tall[] = {{2, -1e6}, {6, -1e6}, {6, 1e6}, {2, 1e6}};
    filler.addPolygon(tall);
    filler.fill(pixelsOf(pixels), pixels.rect(), 0xFF000000);
    EXPECT_EQ(pixels.pixel(2, 0), 0xFF000000);
    EXPECT_EQ(pixels.pixel(5, 9), 0xFF000000);
    EXPECT_EQ(pixels.pixel(6, 5), 0xFFFFFFFF);
}

}  // namespace
}  // namespace lsg
