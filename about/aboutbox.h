// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include "ui/surfacedrag.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "about/popupguard.h"
#include "about/rain.h"
#include "core/identity.h"
#include "platform/openurl.h"
#include "ui/messages.h"

class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace lsg::ui {
class LinkLabel;
}

namespace lsg::about {

class LogoView;
class IconView;

// Opens a licence file with the desktop's text editor, or tells the user it is missing.
// folder ends with '/'; the file is folder + "license.txt".
void openLicenseText(QWidget* parent, const QString& folder, const ui::Messages& messages = {},
                     const platform::UrlOpener& opener = {});

// The About box: product and version under the maker's logo, the Info menu, a link to the
// maker's site and the character rain around the panel.
//
// Each use creates a new box; the box deletes itself when it closes (Qt::WA_DeleteOnClose), its
// timer with it. The program shows it modeless, so that its tray menu stays usable:
//     (new TAboutBox(identity))->show();
// showModal() runs it modal instead; the pointer must not be used after exec() returns.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // Shows the product's name and version from its identity.
    explicit TAboutBox(const AppIdentity& identity, QWidget* parent = nullptr);
    ~TAboutBox() override;

    static void showModal(const AppIdentity& identity, QWidget* parent = nullptr);

    // What the box shows and opens, and the clock of its Info menu's guard; the defaults are
    // the real boxes, the desktop and the real clock.
    void setMessages(ui::Messages messages) { m_messages = std::move(messages); }
    void setUrlOpener(platform::UrlOpener opener) { m_urlOpener = std::move(opener); }
    void setPopupClock(TickClock clock) { m_popupGuard.setClock(std::move(clock)); }

    const RainModel& rain() const { return m_rain; }
    // The outer size the rain's grid was taken from.
    QSize capturedSize() const { return m_captured; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void startRain();
    void resetRain();
    void tmTimerTimer();
    void BitBtn2Click();
    void Label5Click();
    void Credits1Click();
    void Howtouninstall1Click();
    void LicensePrivacyPolicy1Click();
    bool dragMouse(QMouseEvent* event);
    QRect cellRect(int column, int row) const;
    const QPixmap& glyph(int character, TColor color);

    RainModel m_rain;
    QSize m_captured;
    QTimer m_timer{this};  // a child, so tests find it as "tmTimer"
    QFont m_rainFont;
    int m_rainAscent = 0;
    std::vector<QString> m_characters;  // the animation string, one ready text per character
    std::vector<RainCellOp> m_pending;  // operations not yet painted, in order
    std::vector<std::uint8_t> m_dirty;  // per-cell flags of the current tick
    std::vector<std::uint8_t> m_shown;  // per cell: can any of it be seen (not under the panel)
    // Ready cells (character on black) by character and colour, for the current pixel ratio.
    std::unordered_map<std::uint64_t, QPixmap> m_glyphs;
    qreal m_glyphRatio = 0;
    std::vector<QRect> m_dirtyRects;  // the tick's changed cells as sorted bands
    bool m_placed = false;

    ui::SurfaceDrag m_drag;
    ui::Messages m_messages;
    platform::UrlOpener m_urlOpener;
    PopupGuard m_popupGuard;

    QFrame* m_panel = nullptr;
    LogoView* m_logo = nullptr;
    QFrame* m_bevel = nullptr;
    IconView* m_icon = nullptr;
    QLabel* m_productLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_infoButton = nullptr;
    ui::LinkLabel* m_link = nullptr;
    QMenu* m_menu = nullptr;
};

}  // namespace lsg::about
