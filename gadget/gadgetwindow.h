// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>
#include <vector>

#include "core/tcolor.h"
#include "gadget/captionlabel.h"
#include "gadget/processorlayout.h"
#include "ui/gadgetlook.h"
#include "ui/surfacedrag.h"

class QVBoxLayout;
class QLabel;

namespace lsg {

class ChartView;
class ProcessorGrid;
class StripLayout;

// The gadget window: the total chart, the optional per-processor strips above it and the
// caption label below. Where the strips would be too low to read (chooseProcessorLayout), the
// processors are shown in a grid above the total chart instead, which draws the strips' series;
// the strips then take no room but stay shown, as "Show All Processors" asked. The window is
// dragged by any point of its surface and only hides when closed.
// It writes no settings: it reports what the user did through its signals, and the owner
// decides what is kept.
class TForm2 : public QWidget, public ui::GadgetLook {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    CaptionLabel* Label1 = nullptr;
    QWidget* Panel1 = nullptr;
    ChartView* Chart1 = nullptr;

    // Builds one strip per processor (strip i shows processor i - 1), stacked above the total
    // chart with the last processor on top, each processorChartHeight() high. The strips never
    // constrain the window's size.
    void createStrips(int count, bool visible);
    // Height of one strip: the panel's share per chart, recomputed on every resize.
    qint64 processorChartHeight() const;
    int stripCount() const { return int(m_strips.size()); }
    // Strip i, 1-based.
    ChartView* strip(int i) const { return m_strips.at(size_t(i - 1)); }
    void setStripsVisible(bool visible);
    // How the processors are laid out at the panel's current size, shown or not.
    const ProcessorLayout& processorLayout() const;
    ProcessorGrid* processorGrid() const { return m_grid; }

    // Whole-window opacity, 0..255 (255 opaque).
    void setAlphaBlendValue(int value);
    int alphaBlendValue() const { return m_alphaBlendValue; }

    // The gadget's background: window, label, total chart and every strip, hidden ones too.
    void setGadgetColor(TColor color);
    TColor gadgetColor() const { return m_gadgetColor; }
    // The label's font colour.
    void setLabelTextColor(TColor color);
    TColor labelTextColor() const { return m_labelTextColor; }

    // GadgetLook, for the settings window.
    QFont captionFont() const override;
    void setCaptionFont(const QFont& font) override;
    TColor captionColor() const override { return m_labelTextColor; }
    void setCaptionColor(TColor color) override { setLabelTextColor(color); }
    TColor backgroundColor() const override { return m_gadgetColor; }
    void setBackgroundColor(TColor color) override { setGadgetColor(color); }
    void setTransparency(int alpha) override { setAlphaBlendValue(alpha); }

    // Keeps the native window and toggles its stay-on-top state.
    void setTopmost(bool topmost);
    // Asks the window manager again to keep the window above the others and raises it: another
    // program may have cleared the state, and setting an unchanged flag sends nothing.
    void reassertTopmost();
    // Shows the window in its normal state and brings it before the user whatever the window
    // manager's mode: out of Show Desktop, onto the current desktop, out of its icon, raised and
    // active.
    void bringBack();

    // Each show puts the window on every desktop first: the window manager reads that when the
    // window is mapped and forgets it when it is hidden.
    void setVisible(bool visible) override;

    // The program's own placement, which is never reported as the user's. Moves and resizes
    // reach the window later (once the window manager confirms them), so the placed position
    // and size are remembered: events that report exactly them are not reported.
    // `position` is the frame's top-left corner.
    void placeQuietly(const QPoint& position, const QSize& size);

    // The window manager's frame as the window system reports it now. QWidget's own frame
    // geometry keeps the margins it saw at its last move or resize, which may be from before
    // the window manager framed the window.
    QMargins frameMarginsNow() const;
    QPoint framePosition() const;

    bool isDragging() const { return m_drag.active(); }

signals:
    // The user moved the window (not into a maximised or full-screen state); its frame's new
    // top-left corner.
    void moved(const QPoint& position);
    // The window's size changed other than by placeQuietly, in a way the user may have made: not
    // to a maximised or full-screen state, and never on Wayland, where the compositor decides
    // sizes (a tiling one gives the window a tile) and tells no program whether it did. Its new
    // outer (frame) size.
    void resized(const QSize& outerSize);
    // A right click anywhere on the gadget, with the cursor's screen position.
    void menuRequested(const QPoint& screenPosition);
    // A press on the surface ended (any button released); `moved` when it dragged the window.
    void dragFinished(bool moved);
    // The user closed the window (it is hidden already).
    void closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormResize();
    void applyColors();
    // Maximised or full screen: place and size are the window manager's, not the user's.
    bool filled() const;

    StripLayout* m_panelLayout = nullptr;
    ProcessorGrid* m_grid = nullptr;
    std::vector<ChartView*> m_strips;
    int m_alphaBlendValue = 255;
    TColor m_gadgetColor = clBtnFace;
    TColor m_labelTextColor = clWindowText;
    std::optional<QPoint> m_ownPosition;
    std::optional<QSize> m_ownSize;

    ui::SurfaceDrag m_drag;
    bool m_dragMoved = false;  // the drag in progress has moved the window
};

}  // namespace lsg
