// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QImage>
#include <QLinearGradient>
#include <QPalette>
#include <functional>
#include <memory>
#include <vector>

#include "gadget/captionlabel.h"

namespace lsg {
namespace {

QString caption(int percent) {
    return QStringLiteral("Average CPU Usage: %1% (2 processors)").arg(percent);
}

// Set up like the gadget's caption.
std::unique_ptr<CaptionLabel> makeLabel() {
    auto label = std::make_unique<CaptionLabel>(QString());
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(236, 233, 216));
    palette.setColor(QPalette::WindowText, QColor(20, 40, 160));
    label->setPalette(palette);
    label->resize(349, 17);
    return label;
}

QImage render(CaptionLabel& label) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    label.render(&image);
    return image;
}

// A text shown again is copied from the pixels drawn for it, which must be exactly what drawing
// it anew gives; whatever changes the look draws anew.
TEST(CaptionLabel, ATextShownAgainLooksExactlyAsDrawnAnew) {
    auto label = makeLabel();
    label->setText(caption(7));
    const QImage first = render(*label);
    EXPECT_FALSE(label->lastPaintCopied());
    label->setText(caption(8));
    render(*label);
    label->setText(caption(7));
    EXPECT_EQ(render(*label), first);
    EXPECT_TRUE(label->lastPaintCopied());

    const std::vector<std::pair<const char*, std::function<void(CaptionLabel&)>>> changes = {
        {"text colour",
         [](CaptionLabel& l) {
             QPalette p = l.palette();
             p.setColor(QPalette::WindowText, Qt::darkGreen);
             l.setPalette(p);
         }},
        {"background",
         [](CaptionLabel& l) {
             QPalette p = l.palette();
             p.setColor(QPalette::Window, QColor(40, 40, 40));
             l.setPalette(p);
         }},
        {"font", [](CaptionLabel& l) { l.setFont(QFont(QStringLiteral("DejaVu Serif"), 11)); }},
        {"alignment", [](CaptionLabel& l) { l.setAlignment(Qt::AlignRight | Qt::AlignVCenter); }},
        {"size", [](CaptionLabel& l) { l.resize(300, 23); }},
        {"disabled", [](CaptionLabel& l) { l.setEnabled(false); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        auto shown = makeLabel();  // has drawn the text before the change
        shown->setText(caption(7));
        render(*shown);
        auto fresh = makeLabel();  // draws it for the first time after the change
        fresh->setText(caption(7));
        change(*shown);
        change(*fresh);
        const QImage drawn = render(*shown);
        EXPECT_FALSE(shown->lastPaintCopied());
        EXPECT_EQ(drawn, render(*fresh));
        EXPECT_EQ(render(*shown), drawn);
        EXPECT_TRUE(shown->lastPaintCopied());
    }
}

TEST(CaptionLabel, KeepsOnlyTheLastFewTextsAndOnlyOnAPlainBackground) {
    auto label = makeLabel();
    for (int percent = 0; percent <= 6; ++percent) {
        label->setText(caption(percent));
        render(*label);
    }
    label->setText(caption(0));  // the oldest of seven: no longer kept
    render(*label);
    EXPECT_FALSE(label->lastPaintCopied());
    label->setText(caption(6));
    render(*label);
    EXPECT_TRUE(label->lastPaintCopied());

    // A gradient under the text: never copied, always drawn.
    QPalette palette = label->palette();
    QLinearGradient gradient(0, 0, 349, 0);
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, Qt::gray);
    palette.setBrush(QPalette::Window, gradient);
    label->setPalette(palette);
    for (int round = 0; round < 2; ++round) {
        render(*label);
        EXPECT_FALSE(label->lastPaintCopied());
    }
}

}  // namespace
}  // namespace lsg
