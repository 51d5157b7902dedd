// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "gadget/gadgetwindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

#include "core/logging.h"
#include "gadget/chartview.h"
#include "gadget/processorgrid.h"
#include "platform/displayserver.h"
#include "platform/windowsystem.h"
#include "ui/style.h"

namespace lsg {
namespace {

// Client size at 96 dpi; Qt's logical pixels scale it on denser screens.
constexpr int kClientWidth = 355;
constexpr int kClientHeight = 232;

// What a screen reader hears of a chart: its name, and as its value the newest percentage.
class ChartAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ChartAccessible(ChartView* chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            const QVariant value = currentValue();
            return value.isValid() ? QStringLiteral("%1 %").arg(value.toInt()) : QString();
        }
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override {
        const ChartView* chart = static_cast<const ChartView*>(widget());
        const std::optional<double> newest = chart->yValue(chart->count() - 1);
        return newest ? QVariant(int(std::lround(*newest))) : QVariant();
    }
    // The chart shows what was measured; nobody sets it.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    if (className == QLatin1String("lsg::ChartView")) {
        return new ChartAccessible(static_cast<ChartView*>(object));
    }
    // The gadget is a window of its own, named by its title, not a piece of another one.
    if (className == QLatin1String("lsg::TForm2")) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

// Lays out the chart panel. Where the strips fit: the visible strips from the top, each exactly
// the strip height, and the total chart in what is left. Elsewhere: the processor grid at the
// top and the total chart below it, the shown strips taking no room. It asks for no room at all,
// so however many strips there are, the window takes any size it is given; strips that do not
// fit are cut at the bottom.
class StripLayout : public QLayout {
public:
    explicit StripLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }
    ~StripLayout() override {
        while (QLayoutItem* item = takeAt(0)) {
            delete item;
        }
    }

    // The total chart, always last.
    void setChart(QWidget* chart) {
        addChildWidget(chart);
        m_items.push_back(new QWidgetItem(chart));
    }
    // Placed by this layout, outside the items: it is no strip.
    void setGrid(ProcessorGrid* grid) {
        addChildWidget(grid);
        m_grid = grid;
    }
    // A strip above the ones before it.
    void addStrip(QWidget* strip) {
        addChildWidget(strip);
        m_items.insert(m_items.begin(), new QWidgetItem(strip));
        invalidate();
    }
    void setStripHeight(int height) {
        if (height == m_stripHeight) {
            return;
        }
        m_stripHeight = height;
        relayout();
    }
    // At once, not at the next layout pass, so that nothing is painted in between. The panel's
    // own rectangle, as a strip shown or hidden has just cleared the layout's.
    void relayout() {
        if (QWidget* panel = parentWidget(); panel != nullptr && !panel->rect().isEmpty()) {
            setGeometry(panel->rect());
        }
    }
    int stripHeight() const { return m_stripHeight; }
    const ProcessorLayout& processorLayout() const { return m_processors; }

    void addItem(QLayoutItem* item) override { m_items.push_back(item); }
    QLayoutItem* itemAt(int index) const override {
        return index >= 0 && size_t(index) < m_items.size() ? m_items[size_t(index)] : nullptr;
    }
    QLayoutItem* takeAt(int index) override {
        if (index < 0 || size_t(index) >= m_items.size()) {
            return nullptr;
        }
        QLayoutItem* item = m_items[size_t(index)];
        m_items.erase(m_items.begin() + index);
        return item;
    }
    int count() const override { return int(m_items.size()); }
    QSize sizeHint() const override { return QSize(0, 0); }
    QSize minimumSize() const override { return QSize(0, 0); }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        if (m_items.empty()) {
            return;
        }
        const qint64 strips = qint64(m_items.size()) - 1;
        const ProcessorLayout processors =
            chooseProcessorLayout(strips, rect.width(), rect.height());
        if (processors != m_processors) {
            m_processors = processors;
            report(strips, rect.size());
        }
        int y = rect.top();
        if (m_grid != nullptr) {
            const bool shown = processors.grid() && !m_grid->isHidden();
            m_grid->setCells(processors);
            m_grid->setGeometry(rect.left(), y, rect.width(), shown ? processors.gridHeight() : 0);
            y += m_grid->height();
        }
        const int bottom = rect.top() + rect.height();
        for (size_t i = 0; i + 1 < m_items.size(); ++i) {
            QWidget* strip = m_items[i]->widget();
            if (m_items[i]->isEmpty()) {
                // A hidden strip takes no room but keeps the strip height for when it shows.
                if (strip != nullptr) {
                    strip->resize(rect.width(), m_stripHeight);
                }
                continue;
            }
            if (processors.grid()) {
                // Drawn by the grid.
                if (strip != nullptr) {
                    strip->setGeometry(rect.left(), rect.top(), rect.width(), 0);
                }
                continue;
            }
            m_items[i]->setGeometry(QRect(rect.left(), y, rect.width(), m_stripHeight));
            y += m_stripHeight;
        }
        m_items.back()->setGeometry(QRect(rect.left(), y, rect.width(), std::max(0, bottom - y)));
    }

private:
    // Where the processors went, for whoever looks into the program's log.
    void report(qint64 strips, QSize panel) const {
        if (!log::gadget().isInfoEnabled()) {
            return;
        }
        const ProcessorLayout& p = m_processors;
        const QString where =
            !p.grid() ? QStringLiteral("strips of %1 px").arg(p.stripHeight)
                      : QStringLiteral("%1 in %2 x %3 cells of %4 px, gap %5, across %6 px, %7 px")
                            .arg(p.kind == ProcessorLayout::Kind::Charts ? "charts" : "heat")
                            .arg(p.columns)
                            .arg(p.rows)
                            .arg(p.cellHeight)
                            .arg(p.gap)
                            .arg(p.width)
                            .arg(p.gridHeight());
        qCInfo(log::gadget).noquote()
            << QStringLiteral("%1 processors shown as %2 of a %3 x %4 px panel")
                   .arg(strips)
                   .arg(where)
                   .arg(panel.width())
                   .arg(panel.height());
    }

    std::vector<QLayoutItem*> m_items;  // top to bottom; the total chart last
    ProcessorGrid* m_grid = nullptr;
    int m_stripHeight = 0;
    ProcessorLayout m_processors;
};

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(accessible);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAccessibleName(tr("CPU usage charts"));
    m_panelLayout = new StripLayout(Panel1);
    Chart1 = new ChartView(ChartKind::Total, Panel1);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(tr("Total CPU usage"));
    Chart1->setMinimumSize(0, 0);
    m_panelLayout->setChart(Chart1);
    m_grid = new ProcessorGrid(Panel1);
    m_grid->setObjectName(QStringLiteral("ProcessorGrid"));
    m_grid->setAccessibleName(tr("CPU usage of each processor"));
    m_grid->hide();
    m_panelLayout->setGrid(m_grid);
    outer->addWidget(Panel1, 1);

    // The caption keeps 3 pixels of room on every side.
    auto* labelBox = new QVBoxLayout;
    labelBox->setContentsMargins(3, 3, 3, 3);
    Label1 = new CaptionLabel(tr("CPU"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    // The caption is as wide as the window and clipped when longer: it never widens the window.
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label1->setAutoFillBackground(true);
    labelBox->addWidget(Label1);
    outer->addLayout(labelBox);

    applyColors();
    platform::hideFromTaskbar(this);
}

TForm2::~TForm2() = default;

void TForm2::createStrips(int count, bool visible) {
    // The panel's height once the window's layout has given it its share.
    if (QLayout* outer = layout()) {
        outer->activate();
    }
    m_panelLayout->setStripHeight(stripHeightFor(Panel1->height(), stripCount() + count));
    for (int i = 1; i <= count; ++i) {
        auto* strip = new ChartView(ChartKind::Strip, Panel1);
        strip->setObjectName(QStringLiteral("ProcessorChart%1").arg(stripCount() + 1));
        // Counted from 1, as the grid's cells and the caption's count are.
        strip->setAccessibleName(tr("CPU %1 usage").arg(stripCount() + 1));
        strip->setVisible(visible);
        strip->setBackgroundColor(Chart1->backgroundColor());
        // Each new strip goes on top, so the last processor ends up uppermost.
        m_panelLayout->addStrip(strip);
        m_strips.push_back(strip);
        m_grid->addSeries(strip);
    }
    m_grid->setVisible(visible && !m_strips.empty());
    m_panelLayout->relayout();
}

void TForm2::setStripsVisible(bool visible) {
    for (ChartView* strip : m_strips) {
        strip->setVisible(visible);
    }
    m_grid->setVisible(visible && !m_strips.empty());
    // Placed before anything is painted, so the panel never shows a mix of both.
    m_panelLayout->relayout();
}

qint64 TForm2::processorChartHeight() const {
    return m_panelLayout->stripHeight();
}

const ProcessorLayout& TForm2::processorLayout() const {
    return m_panelLayout->processorLayout();
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

QFont TForm2::captionFont() const {
    return Label1->font();
}

void TForm2::setCaptionFont(const QFont& font) {
    Label1->setFont(font);
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
    m_grid->setBackgroundColor(face);
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

void TForm2::reassertTopmost() {
    setTopmost(true);
    if (isVisible()) {
        platform::requestAbove(this);
        raise();
    }
}

void TForm2::bringBack() {
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    // As a pager does when the user picks the window: the window manager's modes (Show Desktop,
    // another desktop, a minimise the toolkit has not heard of yet) would keep it out of sight.
    platform::bringToUser(this);
    raise();
    activateWindow();
}

void TForm2::setVisible(bool visible) {
    if (visible && !isVisible()) {
        platform::showOnAllDesktops(this);
    }
    QWidget::setVisible(visible);
}

void TForm2::placeQuietly(const QPoint& position, const QSize& size) {
    m_ownPosition = position;
    m_ownSize = size;
    const QMargins margins = frameMarginsNow();
    if (margins.isNull()) {
        // No frame known yet: the window system places the frame once it has one.
        resize(size);
        move(position);
        return;
    }
    // The client's place, from margins read now: QWidget::move() would take them from its own
    // record, which can still hold a frame of nothing.
    setGeometry(QRect(position + QPoint(margins.left(), margins.top()), size));
}

QMargins TForm2::frameMarginsNow() const {
    const QWindow* window = windowHandle();
    return window != nullptr ? window->frameMargins() : QMargins();
}

QPoint TForm2::framePosition() const {
    const QMargins margins = frameMarginsNow();
    if (margins.isNull()) {
        return pos();
    }
    return geometry().topLeft() - QPoint(margins.left(), margins.top());
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit menuRequested(QCursor::pos());
        return;
    }
    m_ownPosition.reset();
    m_dragMoved = false;
    m_drag.press(this, event->globalPosition().toPoint());
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag.move(this, event->globalPosition().toPoint())) {
        m_dragMoved = true;
    }
}

void TForm2::mouseReleaseEvent(QMouseEvent*) {
    const bool wasDragging = m_drag.active();
    m_drag.release();
    if (wasDragging) {
        // Known here, not from the move events: the window manager confirms moves later.
        emit dragFinished(std::exchange(m_dragMoved, false));
    }
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

bool TForm2::filled() const {
    return (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

void TForm2::FormResize() {
    const bool own = m_ownSize && size() == *m_ownSize;
    if (!own) {
        m_ownSize.reset();
    }
    m_panelLayout->setStripHeight(stripHeightFor(Panel1->height(), stripCount()));
    if (!own && !platform::isWaylandSession() && !filled()) {
        const QMargins margins = frameMarginsNow();
        emit resized(margins.isNull() ? frameGeometry().size() : size().grownBy(margins));
    }
}

void TForm2::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (m_ownPosition && framePosition() == *m_ownPosition) {
        return;
    }
    m_ownPosition.reset();
    // Wayland never tells a window where it is: the position here is only what was asked for.
    if (!platform::isWaylandSession() && !filled()) {
        emit moved(framePosition());
    }
}

void TForm2::showEvent(QShowEvent* event) {
    // The window manager drops the window's states when it is hidden: each show asks again.
    platform::hideFromTaskbar(this);
    QWidget::showEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    // Closing only hides the gadget; the program goes on in the tray.
    event->accept();
    hide();
    emit closed();
}

}  // namespace lsg
