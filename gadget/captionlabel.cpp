// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/captionlabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace lsg {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CaptionLabel::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    // One line in one font: the height stays, so the layout needs nothing new.
    m_text = text;
    update();
}

void CaptionLabel::setAlignment(Qt::Alignment alignment) {
    if (alignment == m_alignment) {
        return;
    }
    m_alignment = alignment;
    update();
}

QSize CaptionLabel::sizeHint() const {
    if (!m_hint.isValid()) {
        // Measured like a label's plain text: the bounding box of the text as drawn.
        const QRect box = fontMetrics().boundingRect(
            QRect(0, 0, 2000, 2000), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, m_text);
        const QMargins margins = contentsMargins();
        m_hint = box.size().grownBy(margins);
    }
    return m_hint;
}

QSize CaptionLabel::minimumSizeHint() const {
    return sizeHint();
}

void CaptionLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_hint = QSize();
        updateGeometry();
    }
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int flags =
        int(QStyle::visualAlignment(Qt::LeftToRight, m_alignment)) | Qt::TextForceLeftToRight;
    style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(), m_text,
                          foregroundRole());
}

}  // namespace lsg
