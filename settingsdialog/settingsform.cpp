// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "settingsdialog/settingsform.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "core/inifile.h"
#include "core/logging.h"
#include "core/settingskeys.h"
#include "platform/displayserver.h"
#include "platform/paths.h"
#include "ui/style.h"

namespace lsg {
namespace {

// Client size and control places at 96 dpi; Qt's logical pixels scale them on denser screens.
constexpr int kClientWidth = 282;
constexpr int kClientHeight = 184;
constexpr int kMaxPosition = 8;
// Why the slider cannot be used on Wayland, as its tooltip says.
const char* const kNoTransparencyOnWayland = QT_TRANSLATE_NOOP(
    "lsg::TSettingsForm",
    "Not available on Wayland: the compositor decides how transparent a window is.");

QFont controlFont() {
    return QFont(QStringLiteral("Tahoma"), 12);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(controlFont());
    button->setGeometry(bounds);
    // Enter answers whichever button has the focus; none of them is a default button.
    button->setAutoDefault(false);
    return button;
}

// What a screen reader hears of the transparency slider: its name from its label, and its value
// as the percentage the gadget lets through.
class TransparencySliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TransparencySliderAccessible(TransparencySlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            return QStringLiteral("%1 %").arg(currentValue().toInt());
        }
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override {
        return TransparencySlider::percentForPosition(slider()->value());
    }
    void setCurrentValue(const QVariant& value) override {
        slider()->setValue(int(std::lround(value.toDouble() / 10.0)));
    }
    QVariant maximumValue() const override {
        return TransparencySlider::percentForPosition(slider()->maximum());
    }
    QVariant minimumValue() const override {
        return TransparencySlider::percentForPosition(slider()->minimum());
    }
    QVariant minimumStepSize() const override { return TransparencySlider::percentForPosition(1); }

private:
    QSlider* slider() const { return static_cast<QSlider*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String("lsg::TransparencySlider") && object != nullptr &&
        object->isWidgetType()) {
        return new TransparencySliderAccessible(static_cast<TransparencySlider*>(object));
    }
    return nullptr;
}

}  // namespace

TransparencySlider::TransparencySlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleDescription(tr("How much of the gadget shows through: 0 % is opaque."));
}

int transparencyForPosition(int position) {
    // The default rounding mode takes halves to even: 229.5 gives 230, 178.5 gives 178.
    return int(std::nearbyint((10 - position) * 25.5));
}

int positionForTransparency(qint64 transparency) {
    const double position = 10.0 - std::nearbyint(double(transparency) / 25.5);
    return int(std::clamp(position, 0.0, double(kMaxPosition)));
}

TSettingsForm::TSettingsForm(ui::GadgetLook* gadget, IniFile* settingsFile, ui::Messages messages,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_gadget(gadget),
      SettingsFile(settingsFile),
      m_messages(std::move(messages)),
      m_dialogs(SettingsDialogs::standard()) {
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(tr("Settings"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);
    buildControls();

    // Centred on the primary screen, as the screen sees the client area.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kClientWidth) / 2,
             area.y() + (area.height() - kClientHeight) / 2);
    }

    m_messages.guarded([this] { FormCreate(); });
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::buildControls() {
    BitBtn1 = makeButton(this, "BitBtn1", tr("Edit Font..."), QRect(8, 8, 266, 33));
    BitBtn4 = makeButton(this, "BitBtn4", tr("Edit Background Color..."), QRect(8, 55, 266, 33));

    Label1 = new QLabel(tr("Transparency:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(controlFont());
    // The substitute for Tahoma runs wider; the label may use the gap up to the slider.
    const int labelWidth = std::clamp(Label1->sizeHint().width(), 101, 125 - 8 - 4);
    Label1->setGeometry(8, 104, labelWidth, 19);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    TrackBar1 = new TransparencySlider(this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, kMaxPosition);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);
    TrackBar1->setValue(0);
    TrackBar1->setGeometry(125, 104, 149, 29);
    // The label names the slider, for a screen reader too.
    Label1->setBuddy(TrackBar1);
    if (platform::isWaylandSession()) {
        // Wayland has no whole-window opacity: the slider would change nothing to be seen.
        for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(TrackBar1)}) {
            control->setEnabled(false);
            control->setToolTip(tr(kNoTransparencyOnWayland));
        }
        TrackBar1->setAccessibleDescription(tr(kNoTransparencyOnWayland));
    }

    BitBtn2 = makeButton(this, "BitBtn2", tr("Reset to Defaults..."), QRect(8, 139, 266, 33));

    setTabOrder(BitBtn1, BitBtn4);
    setTabOrder(BitBtn4, TrackBar1);
    setTabOrder(TrackBar1, BitBtn2);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { m_messages.guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this,
            [this] { m_messages.guarded([this] { BitBtn4Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this,
            [this] { m_messages.guarded([this] { BitBtn2Click(); }); });
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this] { m_messages.guarded([this] { TrackBar1Change(); }); });
}

void TSettingsForm::setDialogs(std::unique_ptr<SettingsDialogs> dialogs) {
    m_dialogs = dialogs ? std::move(dialogs) : SettingsDialogs::standard();
}

void TSettingsForm::setRestartActions(RestartActions actions) {
    m_restart = std::move(actions);
}

void TSettingsForm::FormCreate() {
    const qint32 transparency = settings::readInt(SettingsFile, settings::Key::Transparency);
    if (transparency <= 0) {
        return;
    }
    // Only the user's change of the slider writes: opening the window shows the nearest step
    // without storing it, so a hand-edited value stays in the file and on the gadget.
    {
        const QSignalBlocker quiet(TrackBar1);
        TrackBar1->setValue(positionForTransparency(transparency));
    }
    if (m_gadget != nullptr) {
        m_gadget->setTransparency(transparency & 0xFF);
    }
}

void TSettingsForm::TrackBar1Change() {
    const int value = transparencyForPosition(TrackBar1->value());
    if (m_gadget != nullptr) {
        m_gadget->setTransparency(value);
    }
    settings::writeInt(SettingsFile, settings::Key::Transparency, value);
}

void TSettingsForm::BitBtn1Click() {
    if (m_gadget == nullptr) {
        return;
    }
    FontChoice initial{m_gadget->captionFont(), ui::resolveColor(m_gadget->captionColor())};
    if (!initial.color.isValid()) {
        initial.color = ui::systemColor(8);
    }
    const std::optional<FontChoice> chosen = m_dialogs->chooseFont(this, initial);
    if (!chosen) {
        return;
    }
    QFont font = m_gadget->captionFont();
    font.setFamily(chosen->font.family());
    int points = chosen->font.pointSize();
    if (points <= 0) {
        points = QFontInfo(chosen->font).pointSize();
    }
    font.setPointSize(points);
    font.setBold(chosen->font.bold());
    font.setItalic(chosen->font.italic());
    font.setUnderline(chosen->font.underline());
    font.setStrikeOut(chosen->font.strikeOut());
    m_gadget->setCaptionFont(font);
    if (chosen->color.isValid()) {
        m_gadget->setCaptionColor(ui::toTColor(chosen->color));
    }

    settings::writeColor(SettingsFile, settings::Key::Textcolor, m_gadget->captionColor());
    settings::writeText(SettingsFile, settings::Key::Fontname, font.family());
    settings::writeFontSize(SettingsFile, font.pointSize());
    settings::writeFontStyle(
        SettingsFile,
        {.bold = font.bold(), .italic = font.italic(), .underline = font.underline()});
}

void TSettingsForm::BitBtn4Click() {
    if (m_gadget == nullptr) {
        return;
    }
    QColor initial = ui::resolveColor(m_gadget->backgroundColor());
    if (!initial.isValid()) {
        initial = ui::systemColor(15);
    }
    const std::optional<QColor> chosen = m_dialogs->chooseColor(this, initial);
    if (!chosen || !chosen->isValid()) {
        return;
    }
    const TColor color = ui::toTColor(*chosen);
    m_gadget->setBackgroundColor(color);
    settings::writeColor(SettingsFile, settings::Key::BackgroundColor, color);
}

void TSettingsForm::BitBtn2Click() {
    if (!m_messages.confirm(this, tr("Restart Application?"))) {
        return;
    }
    // Without the file the next start finds every default; a missing file is no error. Only the
    // file the program opened goes: with none open (start-up stopped early) nothing is deleted.
    if (SettingsFile != nullptr) {
        QFile::remove(SettingsFile->fileName());
    } else {
        qCInfo(log::settings) << "reset: no settings file open, nothing deleted";
    }
    QCoreApplication::processEvents();

    const QString program =
        m_restart.executablePath ? m_restart.executablePath() : platform::executablePath();
    if (m_restart.beforeStart) {
        m_restart.beforeStart();
    }
    // Whether the new copy started or not, this one ends.
    if (m_restart.startDetached) {
        m_restart.startDetached(program);
    } else {
        platform::startDetached(program);
    }
    if (m_restart.quit) {
        m_restart.quit();
    } else {
        QApplication::quit();
    }
}

}  // namespace lsg
