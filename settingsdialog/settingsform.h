// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QSlider>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "ui/gadgetlook.h"
#include "ui/messages.h"

class QLabel;
class QPushButton;

namespace lsg {

class IniFile;

// The nine transparency steps: slider position 0..8 to window opacity 255..51, and a stored
// opacity back to the nearest position (clamped to 0..8). Halves round to the even neighbour.
int transparencyForPosition(int position);
int positionForTransparency(qint64 transparency);

// A font with the colour to draw it in.
struct FontChoice {
    QFont font;
    QColor color;
};

// The font and colour pickers the settings window opens. The default set shows modal dialogs;
// tests install their own answers.
class SettingsDialogs {
public:
    virtual ~SettingsDialogs() = default;
    // nullopt when the user cancels.
    virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;

    // The modal dialogs of the desktop.
    static std::unique_ptr<SettingsDialogs> standard();
};

// What "Reset to Defaults..." does once the settings file is gone; empty members keep the
// real behaviour (the running executable, nothing to do before the start, a detached start,
// QApplication::quit()).
struct RestartActions {
    std::function<QString()> executablePath;
    // Runs just before the fresh copy starts: what would keep it from running is let go of.
    std::function<void()> beforeStart;
    std::function<bool(const QString&)> startDetached;
    std::function<void()> quit;
};

// The transparency slider. A screen reader reads its value as the percentage the gadget lets
// through (0 % opaque, 80 % the most transparent step) rather than the bare step 0..8.
class TransparencySlider : public QSlider {
    Q_OBJECT

public:
    explicit TransparencySlider(QWidget* parent = nullptr);

    // The step's share of see-through, 10 % a step.
    static int percentForPosition(int position) { return position * 10; }
};

// The settings window: label font and colour, background colour and transparency of the gadget,
// and a reset that deletes the settings file and restarts the program. Every change is applied
// to the gadget and written to the settings file at once; there is no OK or Cancel.
//
// Each use creates a new window and shows it modeless; the owner decides what closing does
// (the program frees it, with Qt::WA_DeleteOnClose). The gadget must outlive the window:
//     auto* form = new TSettingsForm(gadget, settingsFile);
//     form->setAttribute(Qt::WA_DeleteOnClose);
//     form->show();
class TSettingsForm : public QDialog {
    Q_OBJECT

public:
    // `settingsFile` is the file start-up opened (null when it opened none: nothing can be
    // written then); `messages` answers the window's questions and reports its errors, from its
    // creation on; the default shows the real boxes.
    TSettingsForm(ui::GadgetLook* gadget, IniFile* settingsFile, ui::Messages messages = {},
                  QWidget* parent = nullptr);
    ~TSettingsForm() override;

    QPushButton* BitBtn1 = nullptr;  // "Edit Font..."
    QPushButton* BitBtn4 = nullptr;  // "Edit Background Color..."
    QLabel* Label1 = nullptr;        // "Transparency:"
    QSlider* TrackBar1 = nullptr;    // 0..8, opaque to most transparent
    QPushButton* BitBtn2 = nullptr;  // "Reset to Defaults..."

    void setDialogs(std::unique_ptr<SettingsDialogs> dialogs);
    void setRestartActions(RestartActions actions);

    // The handlers; the buttons and the slider run them through the error report.
    void BitBtn1Click();
    void BitBtn4Click();
    void TrackBar1Change();
    void BitBtn2Click();

private:
    void FormCreate();
    void buildControls();

    ui::GadgetLook* m_gadget;
    IniFile* SettingsFile;
    ui::Messages m_messages;
    std::unique_ptr<SettingsDialogs> m_dialogs;
    RestartActions m_restart;
};

}  // namespace lsg
