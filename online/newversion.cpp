// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/newversion.h"

#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <utility>

#include "core/serverhost.h"
#include "platform/openurl.h"
#include "resources/pictures.h"
#include "ui/animate.h"
#include "ui/linklabel.h"
#include "ui/style.h"

namespace lsg {
namespace {

constexpr int kAnimationMs = 100;
constexpr int kScreenMargin = 5;
constexpr int kIconArea = 60;
// The program icon keeps its natural size inside its area: the large-icon size.
constexpr int kIconSize = 32;
constexpr int kRightPanelWidth = 22;
constexpr int kMargin = 3;
constexpr int kHeadingHeight = 16;

// Desktop system-colour indices of the look.
constexpr int kColorBtnFace = 15;
constexpr int kColorWindowText = 8;
constexpr int kColorMenuHighlight = 29;

QFont tahoma(int pixels) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

// The program icon at its natural size, centred in its area.
class IconView : public QWidget {
public:
    explicit IconView(QWidget* parent) : QWidget(parent), m_icon(res::programIcon()) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPixmap pixmap = m_icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF());
        const QRect target(QPoint((width() - kIconSize) / 2, (height() - kIconSize) / 2),
                           QSize(kIconSize, kIconSize));
        p.drawPixmap(target, pixmap);
    }

private:
    QIcon m_icon;
};

}  // namespace

TNewVer::TNewVer(const QString& productName, const QString& latestVersion, UrlReader downloadURL,
                 QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_downloadURL(std::move(downloadURL)) {
    setObjectName(QStringLiteral("NewVer"));
    // Borderless, so nobody sees the title; it lets the desktop's tools find the window.
    setWindowTitle(tr("UPDATE AVAILABLE"));
    // A notice, not a dialog: showing it must not take the focus from what the user is doing.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(tahoma(11));
    setCursor(Qt::ArrowCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ui::systemColor(kColorBtnFace));
    setPalette(pal);
    setAutoFillBackground(true);
    // Not a fixed size: the show and hide animations change the geometry.
    resize(kClientSize);

    buildControls(productName, latestVersion);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(placement(screen->geometry()));
    }

    TimerStart.setObjectName(QStringLiteral("TimerStart"));
    TimerClose.setObjectName(QStringLiteral("TimerClose"));
    TimerLink.setObjectName(QStringLiteral("TimerLink"));
    TimerStart.setInterval(1);
    TimerClose.setInterval(1000);
    TimerLink.setInterval(100);
    connect(&TimerStart, &QTimer::timeout, this, &TNewVer::TimerStartTimer);
    connect(&TimerClose, &QTimer::timeout, this, &TNewVer::TimerCloseTimer);
    connect(&TimerLink, &QTimer::timeout, this, &TNewVer::TimerLinkTimer);
    TimerStart.start();
    TimerClose.start();
    TimerLink.start();
}

TNewVer::~TNewVer() = default;

void TNewVer::buildControls(const QString& productName, const QString& latestVersion) {
    const int w = kClientSize.width();
    const int h = kClientSize.height();

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(0, 0, w, h);
    const QRect inner = Panel1->contentsRect();  // inside the 1-px bevel

    Image1 = new IconView(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(inner.left() + kMargin, inner.top() + kMargin, kIconArea, kIconArea);

    const int rightLeft = inner.right() + 1 - kRightPanelWidth;
    Panel3 = new QWidget(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(rightLeft, inner.top(), kRightPanelWidth, inner.height());

    Button1 = new QToolButton(Panel3);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(0, 0, kRightPanelWidth, kRightPanelWidth);
    Button1->setIcon(res::menuIcon(QStringLiteral("close")));
    Button1->setIconSize(QSize(16, 16));
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setFocusPolicy(Qt::NoFocus);
    // A button ignores the mouse buttons it does not react to; they must not drag either.
    Button1->setAttribute(Qt::WA_NoMousePropagation);
    connect(Button1, &QToolButton::clicked, this, &TNewVer::Button1Click);

    const int middleLeft = inner.left() + kMargin + kIconArea + kMargin;
    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(middleLeft, inner.top(), rightLeft - middleLeft, inner.height());
    Panel2->setAttribute(Qt::WA_NoMousePropagation);

    Label1 = new QLabel(tr("UPDATE AVAILABLE"), Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = tahoma(13);
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(kMargin, kMargin, Panel2->width() - 2 * kMargin, kHeadingHeight);

    auto* link = new ui::LinkLabel(linkText(productName, latestVersion), Panel2);
    Label2 = link;
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont underlined = tahoma(13);
    underlined.setUnderline(true);
    Label2->setFont(underlined);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setAttribute(Qt::WA_NoMousePropagation);
    const int linkTop = kMargin + kHeadingHeight + kMargin;
    Label2->setGeometry(0, linkTop, Panel2->width(), Panel2->height() - linkTop);
    m_linkColor = ui::systemColor(kColorWindowText);
    QPalette linkPalette = Label2->palette();
    linkPalette.setColor(QPalette::WindowText, m_linkColor);
    Label2->setPalette(linkPalette);
    link->onClick = [this] { Label2Click(); };

    for (QWidget* w :
         {static_cast<QWidget*>(Panel1), Image1, static_cast<QWidget*>(Label1), Panel3}) {
        w->installEventFilter(this);
    }
}

QString TNewVer::linkText(const QString& productName, const QString& latestVersion) {
    return tr("Click to download %1 %2").arg(productName, latestVersion);
}

QPoint TNewVer::placement(const QRect& screenGeometry) {
    // The full screen, not its work area: the corner is fixed even over a docked panel.
    return {screenGeometry.x() + screenGeometry.width() - kClientSize.width() - kScreenMargin,
            screenGeometry.y() + kScreenMargin};
}

QString TNewVer::linkTarget(const QString& downloadURL) {
    // Only a web address goes to the browser: a server-supplied file:, javascript:, path or
    // command could run something on the user's machine.
    if (platform::isWebAddress(downloadURL)) {
        return downloadURL;
    }
    return QStringLiteral("http://") + ServerHost() + u'/';
}

void TNewVer::TimerStartTimer() {
    TimerStart.stop();
    if (m_closed) {
        return;
    }
    ui::animateShowFromCenter(this, kAnimationMs);
}

void TNewVer::TimerCloseTimer() {
    if (m_closeCountdown <= 0) {
        return;
    }
    --m_closeCountdown;
    if (m_closeCountdown > 0) {
        return;
    }
    TimerClose.stop();
    if (m_closed) {
        return;
    }
    m_closed = true;
    TimerStart.stop();
    TimerLink.stop();
    ui::animateHideToCenter(this, kAnimationMs);
}

void TNewVer::TimerLinkTimer() {
    const bool inside = Label2->rect().contains(Label2->mapFromGlobal(QCursor::pos()));
    const QColor color = ui::systemColor(inside ? kColorMenuHighlight : kColorWindowText);
    // Only a change is applied: a new palette repaints the label.
    if (color == m_linkColor) {
        return;
    }
    m_linkColor = color;
    QPalette pal = Label2->palette();
    pal.setColor(QPalette::WindowText, color);
    Label2->setPalette(pal);
}

void TNewVer::Label2Click() {
    const QString url = m_downloadURL ? m_downloadURL() : QString();
    platform::openWebAddress(linkTarget(url), m_urlOpener);
    closePopup();
}

void TNewVer::Button1Click() {
    closePopup();
}

void TNewVer::closePopup() {
    m_closed = true;
    m_drag.release();
    // Nothing of the popup runs once it is closed; the countdown has nothing left to hide.
    TimerStart.stop();
    TimerClose.stop();
    TimerLink.stop();
    hide();
}

bool TNewVer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            dragMouse(static_cast<QMouseEvent*>(event));
            // Consumed either way: a press the drag ignores (right button) goes nowhere else.
            event->accept();
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool TNewVer::dragMouse(QMouseEvent* event) {
    const QPoint p = event->globalPosition().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (event->button() == Qt::RightButton) {
                return false;
            }
            m_drag.press(this, p);
            return true;
        case QEvent::MouseMove:
            return m_drag.move(this, p);
        case QEvent::MouseButtonRelease:
            m_drag.release();
            return true;
        default:
            return false;
    }
}

}  // namespace lsg
