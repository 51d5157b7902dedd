// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <functional>

class QFontDialog;
class QPushButton;

namespace lsg {

// A font dialog with a colour of its own: Qt's font chooser embedded as a widget, a "Color..."
// button whose face shows the colour, and OK and Cancel.
class FontColorDialog : public QDialog {
    Q_OBJECT

public:
    FontColorDialog(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QFont selectedFont() const;
    QColor selectedColor() const { return m_color; }
    void setSelectedColor(const QColor& color);

    QPushButton* colorButton() const { return m_colorButton; }

    // Asks for a colour when the button is pressed; the default opens the colour dialog.
    // An invalid colour means the user cancelled.
    std::function<QColor(QWidget* parent, const QColor& initial)> askColor;

private:
    void colorButtonClick();

    QFontDialog* m_fonts = nullptr;
    QPushButton* m_colorButton = nullptr;
    QColor m_color;
};

}  // namespace lsg
