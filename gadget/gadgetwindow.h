// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "gadget/captionlabel.h"
#include "ui/surfacedrag.h"
#include "core/tcolor.h"

class QVBoxLayout;

namespace lsg {

class ChartView;

// The gadget window: the total chart, the optional per-processor strips above it and the
// caption label below. It is dragged by any point of its surface, saves its place and size
// once start-up is complete, and only hides when closed.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    CaptionLabel* Label1 = nullptr;
    QWidget* Panel1 = nullptr;
    ChartView* Chart1 = nullptr;

    // Builds one strip per processor (strip i shows processor i - 1), stacked above the total
    // chart with the last processor on top.
    void createStrips(int count, int height, bool visible);
    int stripCount() const { return int(m_strips.size()); }
    // Strip i, 1-based.
    ChartView* strip(int i) const { return m_strips.at(size_t(i - 1)); }
    void setStripsVisible(bool visible);

    // Whole-window opacity, 0..255 (255 opaque).
    void setAlphaBlendValue(int value);
    int alphaBlendValue() const { return m_alphaBlendValue; }

    // The gadget's background: window, label, total chart and every strip, hidden ones too.
    void setGadgetColor(TColor color);
    TColor gadgetColor() const { return m_gadgetColor; }
    // The label's font colour.
    void setLabelTextColor(TColor color);
    TColor labelTextColor() const { return m_labelTextColor; }

    // Keeps the native window and toggles its stay-on-top state.
    void setTopmost(bool topmost);

    // The program's own placement, which is never written to the settings file. Moves and
    // resizes reach the window later (once the window manager confirms them), so the placed
    // position and size are remembered: events that report exactly them are not written.
    void placeQuietly(const QPoint& position, const QSize& size);

    bool isDragging() const { return m_drag.active(); }

    // Called with the cursor's screen position on a right click anywhere on the gadget.
    std::function<void(const QPoint&)> onContextMenu;
    // Called after the user closed the window (it is hidden already).
    std::function<void()> onClosed;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormResize();
    void applyColors();

    QVBoxLayout* m_panelLayout = nullptr;
    std::vector<ChartView*> m_strips;
    int m_alphaBlendValue = 255;
    TColor m_gadgetColor = clBtnFace;
    TColor m_labelTextColor = clWindowText;
    std::optional<QPoint> m_ownPosition;
    std::optional<QSize> m_ownSize;

    ui::SurfaceDrag m_drag;
};

}  // namespace lsg
