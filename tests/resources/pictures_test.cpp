// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>

#include "resources/pictures.h"

namespace {

using lsg::res::logo;
using lsg::res::menuIcon;
using lsg::res::picture;
using lsg::res::pictureNames;
using lsg::res::programIcon;
using lsg::res::programIconImage;

// The bounding box of the pixels that are not fully transparent.
QRect inkBounds(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) > 0) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

int opaquePixels(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += qAlpha(img.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    return n;
}

struct Named {
    const char* name;
    int side;
};

const Named kPictures[] = {
    {"settings48", 48}, {"help", 16},    {"feedback", 16}, {"about", 16}, {"exit", 16},
    {"close", 16},      {"close32", 32}, {"arrow", 16},    {"like", 32},  {"dislike", 32},
};

TEST(Pictures, EveryNameIsDrawnAtItsSizeAndRatio) {
    ASSERT_EQ(pictureNames().size(), int(std::size(kPictures)));
    for (const Named& n : kPictures) {
        for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << n.name << " at " << dpr);
            const QPixmap pm = picture(QString::fromLatin1(n.name), dpr);
            ASSERT_FALSE(pm.isNull());
            EXPECT_EQ(pm.deviceIndependentSize().toSize(), QSize(n.side, n.side));
            EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), dpr);
            const int device = qRound(n.side * dpr);
            const QImage img = pm.toImage();
            ASSERT_EQ(img.size(), QSize(device, device));

            EXPECT_GE(opaquePixels(img), device * device / 32);
            // Each design sits on a transparent square: round or cut corners, inside margins.
            for (const QPoint corner :
                 {QPoint(0, 0), QPoint(device - 1, 0), QPoint(device - 1, device - 1)}) {
                EXPECT_EQ(qAlpha(img.pixel(corner)), 0) << corner.x() << "," << corner.y();
            }
            // The drawing fills its box around the centre: a design drawn in the wrong
            // coordinate range ends up in a corner or spilling over.
            const QRect ink = inkBounds(img);
            EXPECT_GE(ink.width(), device / 2);
            EXPECT_NEAR(ink.center().x() + 0.5, device / 2.0, device * 0.1);
            EXPECT_NEAR(ink.center().y() + 0.5, device / 2.0, device * 0.15);
        }
    }
}

TEST(Pictures, ExplicitSizeAndMenuIconRatios) {
    // "close" is also used at 16 x 16 from the 32 x 32 design, and every menu picture is
    // shown at 16 x 16.
    const QPixmap small = picture(QStringLiteral("close32"), QSize(16, 16), 2.0);
    EXPECT_EQ(small.size(), QSize(32, 32));
    EXPECT_EQ(small.toImage(), picture(QStringLiteral("close"), 2.0).toImage());

    const QIcon icon = menuIcon(QStringLiteral("settings48"));
    ASSERT_FALSE(icon.isNull());
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
        const QPixmap pm = icon.pixmap(QSize(16, 16), dpr);
        EXPECT_EQ(pm.size(), (QSizeF(16, 16) * dpr).toSize()) << dpr;
        EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), dpr);
    }
}

TEST(Pictures, UnknownNamesAndUnusableSizesGiveNothing) {
    for (const char* name : {"", "Help", "close64", "settings", "help "}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(picture(QString::fromLatin1(name), 1.0).isNull());
        EXPECT_TRUE(menuIcon(QString::fromLatin1(name)).isNull());
        EXPECT_FALSE(lsg::res::pictureSize(QString::fromLatin1(name)).isValid());
    }
    EXPECT_TRUE(picture(QStringLiteral("help"), 0.0).isNull());
    EXPECT_TRUE(picture(QStringLiteral("help"), -1.0).isNull());
    EXPECT_TRUE(picture(QStringLiteral("help"), QSize(0, 16), 1.0).isNull());
    EXPECT_TRUE(picture(QStringLiteral("help"), QSize(1 << 20, 1 << 20), 1.0).isNull());
    EXPECT_TRUE(programIconImage(0).isNull());
    EXPECT_TRUE(programIconImage(-5).isNull());
    EXPECT_TRUE(logo(QSize()).isNull());
    EXPECT_TRUE(logo(QSize(1 << 20, 100)).isNull());
}

TEST(Pictures, LogoFillsTheRequestedSizeAndReadsOnBlack) {
    for (const QSize size : {QSize(344, 105), QSize(688, 210), QSize(516, 158)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage img = logo(size);
        ASSERT_EQ(img.size(), size);
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size.width() - 1, size.height() - 1)), 0);
        const QRect ink = inkBounds(img);
        EXPECT_GE(ink.width(), size.width() * 9 / 10);
        EXPECT_GE(ink.height(), size.height() * 7 / 10);

        // Light ink: on black the wordmark must be bright, not merely present.
        const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
        int bright = 0;
        for (int y = 0; y < argb.height(); ++y) {
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb px = argb.pixel(x, y);
                bright += qAlpha(px) == 255 && qGray(px) > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(bright, size.width() * size.height() / 20);
    }

    // Another shape keeps the proportions and is centred in it.
    const QRect wide = inkBounds(logo(QSize(688, 105)));
    EXPECT_LE(wide.width(), 344 + 2);
    EXPECT_NEAR(wide.center().x(), 344, 4);
}

TEST(Pictures, ProgramIconHasEverySizeFrom16To256) {
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int s : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
        const QImage img = programIconImage(s);
        ASSERT_EQ(img.size(), QSize(s, s));
        // A rounded tile: transparent corners, an opaque middle.
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << s;
        EXPECT_EQ(qAlpha(img.pixel(s / 2, s / 2)), 255) << s;
        EXPECT_GT(opaquePixels(img), s * s / 2) << s;
    }
}

// Icons are drawn when a size is asked for: each size must be the picture drawn for it, a
// non-square request gets the largest square that fits, and the disabled look still differs.
TEST(Pictures, IconsAreDrawnForTheSizeAskedFor) {
    const auto argb = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QIcon program = programIcon();
    for (int side : {22, 30, 256}) {
        const QPixmap pm = program.pixmap(QSize(side, side));
        EXPECT_EQ(argb(pm.toImage()), argb(programIconImage(side))) << side;
    }
    EXPECT_EQ(program.pixmap(QSize(64, 32)).size(), QSize(32, 32));
    EXPECT_NE(argb(program.pixmap(QSize(24, 24), QIcon::Disabled).toImage()),
              argb(program.pixmap(QSize(24, 24)).toImage()));

    // Painted at ratio 2, a menu icon is as sharp as the picture drawn for that ratio.
    const QIcon help = menuIcon(QStringLiteral("help"));
    QImage cell(QSize(20, 20) * 2, QImage::Format_ARGB32_Premultiplied);
    cell.setDevicePixelRatio(2);
    cell.fill(Qt::transparent);
    {
        QPainter p(&cell);
        help.paint(&p, QRect(2, 2, 16, 16));
    }
    const QImage expected = argb(picture(QStringLiteral("help"), QSize(16, 16), 2).toImage());
    QImage drawn = cell.copy(4, 4, 32, 32);
    drawn.setDevicePixelRatio(expected.devicePixelRatio());
    EXPECT_EQ(drawn, expected);
}

}  // namespace
