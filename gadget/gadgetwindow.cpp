// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/gadgetwindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "gadget/chartview.h"
#include "core/globals.h"
#include "ui/messages.h"
#include "core/settingskeys.h"
#include "ui/style.h"
#include "platform/displayserver.h"
#include "platform/taskbar.h"

namespace lsg {
namespace {

// Client size at 96 dpi; Qt's logical pixels scale it on denser screens.
constexpr int kClientWidth = 355;
constexpr int kClientHeight = 232;

qint64 roundHalfEven(double value) {
    return qint64(std::nearbyint(value));  // the default rounding mode takes halves to even
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(AppCaption);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    m_panelLayout = new QVBoxLayout(Panel1);
    m_panelLayout->setContentsMargins(0, 0, 0, 0);
    m_panelLayout->setSpacing(0);
    Chart1 = new ChartView(ChartKind::Total, Panel1);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setMinimumSize(0, 0);
    m_panelLayout->addWidget(Chart1, 1);
    outer->addWidget(Panel1, 1);

    // The caption keeps 3 pixels of room on every side.
    auto* labelBox = new QVBoxLayout;
    labelBox->setContentsMargins(3, 3, 3, 3);
    Label1 = new QLabel(QStringLiteral("CPU"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    // The caption is as wide as the window and clipped when longer: it never widens the window.
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label1->setAutoFillBackground(true);
    labelBox->addWidget(Label1);
    outer->addLayout(labelBox);

    applyColors();
    ui::hideFromTaskbar(this);
}

TForm2::~TForm2() = default;

void TForm2::createStrips(int count, int height, bool visible) {
    for (int i = 1; i <= count; ++i) {
        auto* strip = new ChartView(ChartKind::Strip, Panel1);
        strip->setObjectName(QStringLiteral("ProcessorChart%1").arg(i));
        strip->setVisible(visible);
        strip->setFixedHeight(height);
        strip->setBackgroundColor(Chart1->backgroundColor());
        // Each new strip goes on top, so the last processor ends up uppermost.
        m_panelLayout->insertWidget(0, strip);
        m_strips.push_back(strip);
    }
}

void TForm2::setStripsVisible(bool visible) {
    for (ChartView* strip : m_strips) {
        strip->setVisible(visible);
    }
}

void TForm2::setAlphaBlendValue(int value) {
    m_alphaBlendValue = value & 0xFF;
    // Wayland has no whole-window opacity; the value is kept for the settings dialog.
    if (!platform::isWaylandSession()) {
        setWindowOpacity(m_alphaBlendValue / 255.0);
    }
}

void TForm2::setGadgetColor(TColor color) {
    m_gadgetColor = color;
    applyColors();
}

void TForm2::setLabelTextColor(TColor color) {
    m_labelTextColor = color;
    applyColors();
}

void TForm2::applyColors() {
    QColor face = ui::resolveColor(m_gadgetColor);
    if (!face.isValid()) {
        face = ui::systemColor(15);
    }
    QColor text = ui::resolveColor(m_labelTextColor);
    if (!text.isValid()) {
        text = ui::systemColor(8);
    }
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, face);
    setPalette(windowPalette);

    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::Window, face);
    labelPalette.setColor(QPalette::WindowText, text);
    Label1->setPalette(labelPalette);

    Chart1->setBackgroundColor(face);
    for (ChartView* strip : m_strips) {
        strip->setBackgroundColor(face);
    }
}

void TForm2::setTopmost(bool topmost) {
    // Toggling the flag on the native window keeps it; setWindowFlag() would recreate it.
    if (QWindow* window = windowHandle()) {
        window->setFlag(Qt::WindowStaysOnTopHint, topmost);
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    }
}

void TForm2::placeQuietly(const QPoint& position, const QSize& size) {
    m_ownPosition = position;
    m_ownSize = size;
    resize(size);
    move(position);
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (onContextMenu) {
            onContextMenu(QCursor::pos());
        }
        return;
    }
    m_ownPosition.reset();
    m_drag.press(this, event->globalPosition().toPoint());
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
    m_drag.move(this, event->globalPosition().toPoint());
}

void TForm2::mouseReleaseEvent(QMouseEvent*) {
    m_drag.release();
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ui::guarded([this] { FormResize(); });
}

void TForm2::FormResize() {
    const bool own = m_ownSize && size() == *m_ownSize;
    if (!own) {
        m_ownSize.reset();
    }
    if (StartupComplete && !own) {
        const QRect outer = frameGeometry();
        settings::writeInt(settings::Key::Height, outer.height());
        settings::writeInt(settings::Key::Width, outer.width());
    }
    ProcessorChartHeight = roundHalfEven(double(Panel1->height()) / double(stripCount() + 1));
    for (ChartView* strip : m_strips) {
        strip->setFixedHeight(int(ProcessorChartHeight));
    }
}

void TForm2::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (m_ownPosition && pos() == *m_ownPosition) {
        return;
    }
    m_ownPosition.reset();
    // Wayland never tells a window where it is: the position here is only what was asked for.
    if (!StartupComplete || platform::isWaylandSession()) {
        return;
    }
    ui::guarded([this] {
        settings::writeInt(settings::Key::Left, x());
        settings::writeInt(settings::Key::Top, y());
    });
}

void TForm2::closeEvent(QCloseEvent* event) {
    // Closing only hides the gadget; the program goes on in the tray.
    event->accept();
    hide();
    if (onClosed) {
        onClosed();
    }
}

}  // namespace lsg
