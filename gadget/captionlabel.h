// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QImage>
#include <QRgba64>
#include <QString>
#include <QWidget>
#include <vector>

namespace lsg {

// The gadget's one-line caption: plain text, aligned in its box, drawn like a label's text. It
// changes its text once a second without asking the window for a new layout: one line in one
// font keeps its height. Laying out and drawing the text is most of a caption's repaint, and the
// caption shows a handful of texts in turn, so the pixels it drew for its last few texts are kept
// and copied back when a text returns, as long as nothing else about its look has changed.
class CaptionLabel : public QWidget {
    Q_OBJECT

public:
    explicit CaptionLabel(const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Whether the last paint copied kept pixels instead of drawing the text.
    bool lastPaintCopied() const { return m_lastPaintCopied; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void drawText(QPainter& painter) const;

    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    mutable QSize m_hint;

    // The whole label's device pixels as drawn for a text, most recent first. They hold the
    // background too, so they are kept only while it is one opaque colour.
    struct Kept {
        QString text;
        QImage pixels;
    };
    static constexpr size_t kKeptTexts = 6;
    std::vector<Kept> m_kept;
    // What else the kept pixels were drawn with, beyond the events that drop them: the colours
    // of the moment (an inactive window may have others) and the resolution the font took.
    struct Look {
        QRgba64 text;
        QRgba64 background;
        int dpi = 0;
        bool operator==(const Look&) const = default;
    };
    Look m_keptLook;
    bool m_lastPaintCopied = false;
};

}  // namespace lsg
