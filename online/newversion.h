// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "platform/openurl.h"
#include "ui/surfacedrag.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

class QFrame;
class QMouseEvent;
class QLabel;
class QToolButton;

namespace lsg {

// The "UPDATE AVAILABLE" popup: a small borderless, stay-on-top window in the top-right corner
// of the primary screen with the program icon, a heading, a link that opens the download
// address and a close button. It shows itself about 1 ms after creation and hides itself on
// the eleventh tick of its close countdown.
//
// Create it at most once per run and keep it: closing only hides it, and a closed popup is
// never shown again.
//     auto* popup = new TNewVer(identity.ProductName, check.latestVersion(),
//                               [&check] { return check.downloadURL(); });
class TNewVer : public QWidget {
    Q_OBJECT
public:
    // Reads the download address when the link is clicked, not before.
    using UrlReader = std::function<QString()>;

    // Client size in logical pixels.
    static constexpr QSize kClientSize{320, 68};
    // Ticks of TimerClose until the popup hides itself.
    static constexpr int kCloseTicks = 11;

    TNewVer(const QString& productName, const QString& latestVersion, UrlReader downloadURL,
            QWidget* parent = nullptr);
    ~TNewVer() override;

    // "Click to download <product> <version>".
    static QString linkText(const QString& productName, const QString& latestVersion);
    // Top-left corner on a screen: 5 from the top, right edge 5 from the screen's right edge.
    static QPoint placement(const QRect& screenGeometry);
    // The address the link opens for a download address: the address itself when it is an
    // http:// or https:// one, otherwise the maker's home page.
    static QString linkTarget(const QString& downloadURL);

    // Handlers, run by the timers and the controls; public so that tests can drive them.
    void TimerStartTimer();
    void TimerCloseTimer();
    void TimerLinkTimer();
    void Label2Click();
    void Button1Click();

    // Where the link's address goes; empty (the default) is the desktop's browser.
    void setUrlOpener(platform::UrlOpener opener) { m_urlOpener = std::move(opener); }

    int closeCountdown() const { return m_closeCountdown; }
    // True once the popup has been closed in any way; it is never shown again.
    bool isClosed() const { return m_closed; }
    // The link's current colour.
    QColor linkColor() const { return m_linkColor; }

    QTimer TimerStart{this};
    QTimer TimerClose{this};
    QTimer TimerLink{this};

    QFrame* Panel1 = nullptr;
    QWidget* Image1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QWidget* Panel3 = nullptr;
    QToolButton* Button1 = nullptr;

protected:
    // The frame, the icon, the heading and the right panel drag the popup.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(const QString& productName, const QString& latestVersion);
    bool dragMouse(QMouseEvent* event);
    void closePopup();

    UrlReader m_downloadURL;
    platform::UrlOpener m_urlOpener;
    int m_closeCountdown = kCloseTicks;
    bool m_closed = false;
    QColor m_linkColor;

    // The drag in progress and the cursor's screen position at its last step.
    ui::SurfaceDrag m_drag;
};

}  // namespace lsg
