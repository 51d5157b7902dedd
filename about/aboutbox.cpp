// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/aboutbox.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "about/popupguard.h"
#include "core/serverhost.h"
#include "platform/openurl.h"
#include "platform/paths.h"
#include "resources/pictures.h"
#include "ui/linklabel.h"
#include "ui/messages.h"
#include "ui/style.h"

namespace lsg::about {
namespace {

constexpr QSize kClientSize(446, 374);
// The rain's grid comes from the outer size (frame and caption included). Qt learns the frame
// only after the window manager has framed the window, long after the rain has started, so the
// box takes the usual small-caption frame: 7 px borders and a 30 px top with the caption. That
// gives 57 x 34 cells, and with 34 rows the tail erase lands 5 rows above the head, which keeps
// the trails short.
constexpr QMargins kOuterFrame(7, 30, 7, 7);
constexpr int kRainIntervalMs = 50;
// Beyond this many unpainted operations the box is not being painted (hidden or stalled): drop
// them and let the next full repaint clear the surface.
constexpr size_t kMaxPendingTicks = 16;

QFont fontOfPixels(const QString& family, int pixels) {
    QFont f(family);
    f.setPixelSize(pixels);
    return f;
}

QString hostWithoutPort() {
    const QUrl url(QStringLiteral("http://") + lsg::ServerHost() + u'/');
    const QString host = url.host();
    return host.isEmpty() ? lsg::ServerHost() : host;
}

QString webPage(const char* scheme, const char* path) {
    return QLatin1String(scheme) + lsg::ServerHost() + QLatin1String(path);
}

}  // namespace

// The maker's logo, rendered afresh whenever the device pixel ratio it is shown at changes (a
// move to a monitor with another scale), so it stays sharp instead of being stretched.
class LogoView : public QWidget {
public:
    explicit LogoView(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

    void render() {
        const qreal dpr = devicePixelRatioF();
        const QSize pixels(int(std::lround(width() * dpr)), int(std::lround(height() * dpr)));
        m_image = lsg::res::logo(pixels);
        m_image.setDevicePixelRatio(dpr);
        m_renderedFor = size();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull() || m_image.devicePixelRatio() != devicePixelRatioF() ||
            m_renderedFor != size()) {
            render();
        }
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), m_image);
    }

private:
    QImage m_image;
    QSize m_renderedFor;
};

// The program icon, centred; QIcon picks the pixmap for the current pixel ratio when painting.
class IconView : public QWidget {
public:
    IconView(const QIcon& icon, QWidget* parent) : QWidget(parent), m_icon(icon) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_icon.paint(&p, rect(), Qt::AlignCenter);
    }

private:
    QIcon m_icon;
};

void openLicenseText(QWidget* parent, const QString& folder, const ui::Messages& messages,
                     const platform::UrlOpener& opener) {
    const QString path = folder + QStringLiteral("license.txt");
    // isFile() follows links; a folder or a dangling link counts as missing.
    if (QFileInfo(path).isFile()) {
        lsg::platform::openLocalFile(path, opener);
    } else {
        messages.messageBox(parent, TAboutBox::tr("File not found!"), TAboutBox::tr("License"),
                            lsg::ui::MessageIcon::Error);
    }
}

TAboutBox::TAboutBox(const AppIdentity& identity, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The surface is painted black by paintEvent itself, cell by cell between full repaints.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(kClientSize);
    setFont(fontOfPixels(QStringLiteral("Tahoma"), 11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    buildControls();

    m_rain.setAnimation(QStringLiteral("qel"));
    startRain();
    setWindowTitle(tr("About %1").arg(identity.ProductName));
    m_productLabel->setText(identity.ProductName + u' ' + identity.AppVersion);
    m_logo->render();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showModal(const AppIdentity& identity, QWidget* parent) {
    auto* box = new TAboutBox(identity, parent);
    box->exec();
}

void TAboutBox::buildControls() {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QFont tahoma16 = fontOfPixels(QStringLiteral("Tahoma"), 16);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setGeometry(48, 42, 350, 291);
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel->setLineWidth(1);
    m_panel->setFont(fontOfPixels(QStringLiteral("Tahoma"), 11));
    lsg::ui::keepOwnColors(m_panel, black, white);

    m_logo = new LogoView(m_panel);
    m_logo->setObjectName(QStringLiteral("Image2"));
    m_logo->setGeometry(3, 4, 344, 105);

    m_bevel = new QFrame(m_panel);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setGeometry(9, 122, 34, 34);
    m_bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_bevel->setLineWidth(1);

    m_icon = new IconView(lsg::res::programIcon(), m_panel);
    m_icon->setObjectName(QStringLiteral("Image1"));
    m_icon->setGeometry(10, 123, 32, 32);

    m_productLabel = new QLabel(m_panel);
    m_productLabel->setObjectName(QStringLiteral("Label2"));
    m_productLabel->setGeometry(49, 122, 290, 40);
    m_productLabel->setWordWrap(true);
    m_productLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_productLabel->setFont(tahoma16);
    lsg::ui::keepOwnColors(m_productLabel, black, white);

    m_okButton = new QPushButton(tr("OK"), m_panel);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setGeometry(49, 224, 122, 33);
    m_okButton->setFont(tahoma16);
    lsg::ui::keepOwnColors(m_okButton, black, white);

    m_infoButton = new QPushButton(tr("Info"), m_panel);
    m_infoButton->setObjectName(QStringLiteral("BitBtn2"));
    m_infoButton->setGeometry(177, 224, 122, 33);
    m_infoButton->setFont(tahoma16);
    m_infoButton->setIcon(lsg::res::menuIcon(QStringLiteral("arrow")));
    m_infoButton->setIconSize(QSize(16, 16));
    // Right-to-left puts the picture at the right of the caption.
    m_infoButton->setLayoutDirection(Qt::RightToLeft);
    lsg::ui::keepOwnColors(m_infoButton, black, white);

    m_link = new ui::LinkLabel(hostWithoutPort(), m_panel);
    m_link->setObjectName(QStringLiteral("Label5"));
    m_link->setGeometry(4, 274, 342, 13);
    m_link->setAlignment(Qt::AlignCenter);
    QFont linkFont = fontOfPixels(QStringLiteral("MS Sans Serif"), 11);
    linkFont.setUnderline(true);
    m_link->setFont(linkFont);
    lsg::ui::keepOwnColors(m_link, black, QColor(0, 255, 0));
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setToolTip(webPage("http://", "/"));
    m_link->setFocusPolicy(Qt::NoFocus);
    m_link->onClick = [this] { Label5Click(); };

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    // The menu keeps the program's look, not the box's black.
    m_menu->setPalette(QApplication::palette());
    QAction* credits = m_menu->addAction(tr("Acknowledgements..."));
    credits->setObjectName(QStringLiteral("Credits1"));
    QAction* uninstall = m_menu->addAction(tr("How to uninstall..."));
    uninstall->setObjectName(QStringLiteral("Howtouninstall1"));
    QAction* license = m_menu->addAction(tr("License..."));
    license->setObjectName(QStringLiteral("LicensePrivacyPolicy1"));

    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_infoButton, &QPushButton::clicked, this, &TAboutBox::BitBtn2Click);
    connect(credits, &QAction::triggered, this, &TAboutBox::Credits1Click);
    connect(uninstall, &QAction::triggered, this, &TAboutBox::Howtouninstall1Click);
    connect(license, &QAction::triggered, this, &TAboutBox::LicensePrivacyPolicy1Click);

    for (QWidget* w : {static_cast<QWidget*>(m_okButton), static_cast<QWidget*>(m_infoButton)}) {
        w->installEventFilter(this);
    }
    for (QWidget* w : {static_cast<QWidget*>(m_panel), static_cast<QWidget*>(m_logo),
                       static_cast<QWidget*>(m_icon), static_cast<QWidget*>(m_productLabel)}) {
        w->installEventFilter(this);
    }
    m_okButton->setFocus();
}

void TAboutBox::startRain() {
    m_captured = kClientSize.grownBy(kOuterFrame);
    m_rain.start(m_captured.width(), m_captured.height());

    // The whole character cell is 12 px high, internal leading included: take the largest
    // size whose line height fits.
    m_rainFont = QFont(QStringLiteral("DejaVu Sans Mono"));
    m_rainFont.setStyleHint(QFont::Monospace);
    for (int px = RainModel::kCellHeight; px >= 6; --px) {
        m_rainFont.setPixelSize(px);
        if (QFontMetrics(m_rainFont).height() <= RainModel::kCellHeight) {
            break;
        }
    }
    m_rainAscent = QFontMetrics(m_rainFont).ascent();
    m_characters.clear();
    for (QChar ch : m_rain.animation()) {
        m_characters.emplace_back(ch);
    }
    resetRain();

    m_timer.setObjectName(QStringLiteral("tmTimer"));
    m_timer.setInterval(kRainIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TAboutBox::tmTimerTimer);
    m_timer.start();
}

void TAboutBox::resetRain() {
    m_rain.reset();
    m_pending.clear();
    m_pending.reserve(m_rain.drops().size() * 3 * 2);
    const int columns = m_rain.columns();
    const int gridRows = m_rain.rows() + 2;
    m_dirty.assign(size_t(columns) * size_t(gridRows), 0);
    // Cells wholly under the panel or outside the client area are never seen: leaving them out
    // of the repaint keeps the cost of a tick to what shows.
    m_shown.assign(m_dirty.size(), 0);
    const QRect client = rect();
    const QRect panel = m_panel->geometry();
    for (int row = 0; row < gridRows; ++row) {
        for (int c = 0; c < columns; ++c) {
            const QRect cell = cellRect(c, row);
            m_shown[size_t(row) * size_t(columns) + size_t(c)] =
                cell.intersects(client) && !panel.contains(cell) ? 1 : 0;
        }
    }
    update();  // a full repaint fills the surface black
}

QRect TAboutBox::cellRect(int column, int row) const {
    return {column * RainModel::kCellWidth, row * RainModel::kCellHeight, RainModel::kCellWidth,
            RainModel::kCellHeight};
}

void TAboutBox::tmTimerTimer() {
    const std::vector<RainCellOp>& ops = m_rain.tick();
    if (!isVisible()) {
        return;
    }
    if (m_pending.size() + ops.size() > kMaxPendingTicks * std::max<size_t>(ops.size(), 1)) {
        m_pending.clear();
        update();
        return;
    }

    // Repaint only the cells this tick touched: mark them, then hand Qt one region of
    // horizontal runs, band by band, which is what QRegion::setRects expects.
    const int columns = m_rain.columns();
    const int gridRows = m_rain.rows() + 2;
    std::fill(m_dirty.begin(), m_dirty.end(), std::uint8_t(0));
    for (const RainCellOp& op : ops) {
        if (op.column < 0 || op.column >= columns || op.row < 0 || op.row >= gridRows) {
            continue;
        }
        const size_t index = size_t(op.row) * size_t(columns) + size_t(op.column);
        if (m_shown[index] != 0) {
            m_dirty[index] = 1;
            m_pending.push_back(op);
        }
    }
    m_dirtyRects.clear();
    for (int row = 0; row < gridRows; ++row) {
        const std::uint8_t* line = m_dirty.data() + size_t(row) * size_t(columns);
        for (int c = 0; c < columns;) {
            if (line[c] == 0) {
                ++c;
                continue;
            }
            const int first = c;
            while (c < columns && line[c] != 0) {
                ++c;
            }
            m_dirtyRects.push_back(
                QRect(first * RainModel::kCellWidth, row * RainModel::kCellHeight,
                      (c - first) * RainModel::kCellWidth, RainModel::kCellHeight));
        }
    }
    if (!m_dirtyRects.empty()) {
        QRegion region;
        region.setRects(m_dirtyRects.data(), int(m_dirtyRects.size()));
        update(region);
    }
}

const QPixmap& TAboutBox::glyph(int character, TColor color) {
    const std::uint64_t key = (std::uint64_t(std::uint32_t(character)) << 32) | color;
    auto it = m_glyphs.find(key);
    if (it != m_glyphs.end()) {
        return it->second;
    }
    // Drawing text is by far the dearest part of a tick; each (character, colour) pair is
    // drawn once, as a whole opaque cell, and later only copied.
    const QSize cell(RainModel::kCellWidth, RainModel::kCellHeight);
    QPixmap pixmap(cell * m_glyphRatio);
    pixmap.setDevicePixelRatio(m_glyphRatio);
    pixmap.fill(Qt::black);
    {
        QPainter p(&pixmap);
        p.setFont(m_rainFont);
        p.setPen(QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)));
        p.drawText(QPoint(0, m_rainAscent), m_characters[size_t(character)]);
    }
    return m_glyphs.emplace(key, std::move(pixmap)).first->second;
}

void TAboutBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // A repaint starts from black: characters of earlier ticks in the repainted part are gone
    // until drops pass again.
    for (const QRect& r : event->region()) {
        p.fillRect(r, Qt::black);
    }
    if (m_glyphRatio != devicePixelRatioF()) {
        m_glyphRatio = devicePixelRatioF();
        m_glyphs.clear();
    }
    for (const RainCellOp& op : m_pending) {
        const QRect cell = cellRect(op.column, op.row);
        if (op.kind == RainCellOp::Kind::Draw && op.character >= 0 &&
            size_t(op.character) < m_characters.size()) {
            p.drawPixmap(cell.topLeft(), glyph(op.character, op.color));
        } else {
            p.fillRect(cell, Qt::black);
        }
    }
    m_pending.clear();
}

void TAboutBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    resetRain();
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        // Centred on the screen (the parent's, else the primary one), by the outer size.
        QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : nullptr;
        if (screen == nullptr) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            move(area.center().x() - m_captured.width() / 2,
                 area.center().y() - m_captured.height() / 2);
        }
    }
}

bool TAboutBox::dragMouse(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
                m_drag.press(this, global);
                return true;
            }
            return false;
        case QEvent::MouseMove:
            return m_drag.move(this, global);
        case QEvent::MouseButtonRelease:
            m_drag.release();
            return true;
        default:
            return false;
    }
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
    if (!dragMouse(event)) {
        QDialog::mousePressEvent(event);
    }
}

void TAboutBox::mouseMoveEvent(QMouseEvent* event) {
    if (!dragMouse(event)) {
        QDialog::mouseMoveEvent(event);
    }
}

void TAboutBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragMouse(event)) {
        QDialog::mouseReleaseEvent(event);
    }
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_okButton || watched == m_infoButton) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();  // whatever the modifier keys
            return true;
        }
        // A button ignores the buttons it does not react to, and Qt would hand such a press on
        // to the panel, which drags; the buttons must never start a drag.
        if ((event->type() == QEvent::MouseButtonPress ||
             event->type() == QEvent::MouseButtonDblClick) &&
            static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
            event->accept();
            return true;
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return dragMouse(static_cast<QMouseEvent*>(event));
        default:
            return QDialog::eventFilter(watched, event);
    }
}

void TAboutBox::BitBtn2Click() {
    m_popupGuard.popupBelow(m_infoButton, m_menu);
}

void TAboutBox::Label5Click() {
    lsg::platform::openWebAddress(webPage("http://", "/"), m_urlOpener);
}

void TAboutBox::Credits1Click() {
    lsg::platform::openWebAddress(webPage("https://", "/blog/credits-and-acknowledgements/"),
                                  m_urlOpener);
}

void TAboutBox::Howtouninstall1Click() {
    lsg::platform::openWebAddress(webPage("http://", "/blog/how-to-uninstall-kaldern-software/"),
                                  m_urlOpener);
}

void TAboutBox::LicensePrivacyPolicy1Click() {
    openLicenseText(this, lsg::platform::executableFolder(), m_messages, m_urlOpener);
}

}  // namespace lsg::about
