// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "settingsdialog/fontcolordialog.h"
#include "settingsdialog/settingsform.h"

namespace lsg {
namespace {

QColor askColorDialog(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
}

QIcon swatch(const QColor& color) {
    QPixmap pixmap(28, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(color);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

class StandardDialogs : public SettingsDialogs {
public:
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override {
        FontColorDialog dialog(initial.font, initial.color, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return FontChoice{dialog.selectedFont(), dialog.selectedColor()};
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override {
        const QColor color = askColorDialog(parent, initial);
        if (!color.isValid()) {
            return std::nullopt;
        }
        return color;
    }
};

}  // namespace

std::unique_ptr<SettingsDialogs> SettingsDialogs::standard() {
    return std::make_unique<StandardDialogs>();
}

FontColorDialog::FontColorDialog(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent), askColor(askColorDialog) {
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(tr("Font"));

    m_fonts = new QFontDialog(this);
    // A dialog used as a plain widget: its own buttons go, ours decide.
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setSizeGripEnabled(false);
    // A family the desktop lacks (Tahoma) starts the list at the font that stands in for it,
    // which is what the gadget shows, rather than at an arbitrary default.
    QFont start = font;
    if (!QFontDatabase::hasFamily(font.family())) {
        start.setFamily(QFontInfo(font).family());
    }
    // The chooser finds the style by its name, and families name their plain style
    // differently ("Book", "Regular"): name the one the font actually gets.
    start.setStyleName(QFontInfo(start).styleName());
    m_fonts->setCurrentFont(start);
    // Enter or Escape inside the chooser would only hide it; they answer this dialog instead.
    connect(m_fonts, &QDialog::accepted, this, &QDialog::accept);
    connect(m_fonts, &QDialog::rejected, this, &QDialog::reject);

    m_colorButton = new QPushButton(tr("&Color..."), this);
    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    m_colorButton->setAutoDefault(false);
    connect(m_colorButton, &QPushButton::clicked, this, &FontColorDialog::colorButtonClick);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_colorButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(bottom);

    setSelectedColor(color);
}

QFont FontColorDialog::selectedFont() const {
    return m_fonts->currentFont();
}

void FontColorDialog::setSelectedColor(const QColor& color) {
    m_color = color;
    m_colorButton->setIcon(swatch(color));
    // The chooser's sample line shows the text in the chosen colour.
    for (QGroupBox* box : m_fonts->findChildren<QGroupBox*>()) {
        for (QLineEdit* sample : box->findChildren<QLineEdit*>()) {
            QPalette p = sample->palette();
            p.setColor(QPalette::Text, color);
            sample->setPalette(p);
        }
    }
}

void FontColorDialog::colorButtonClick() {
    const QColor chosen = askColor ? askColor(this, m_color) : QColor();
    if (chosen.isValid()) {
        setSelectedColor(chosen);
    }
}

}  // namespace lsg
