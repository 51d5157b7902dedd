// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <QWidget>

namespace lsg {

// The one-line caption under the charts. It draws like a plain-text label, but a new text only
// repaints it: the caption changes every second, and its height never depends on the text, so
// the window is not laid out again for it (a label would ask for that on every change). Mouse
// events go on to the parent, which drags the gadget and opens its menu.
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    mutable QSize m_hint;
};

}  // namespace lsg
