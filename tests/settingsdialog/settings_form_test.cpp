// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/settingskeys.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"
#include "settingsdialog/fontcolordialog.h"
#include "settingsdialog/settingsform.h"
#include "ui/messages.h"
#include "ui/style.h"

using namespace lsg;

namespace {

// Answers the font and colour pickers without opening them, and remembers what they were
// started from.
class ScriptedDialogs : public SettingsDialogs {
public:
    std::optional<FontChoice> fontAnswer;
    std::optional<QColor> colorAnswer;
    std::optional<FontChoice> fontAskedWith;
    std::optional<QColor> colorAskedWith;

    std::optional<FontChoice> chooseFont(QWidget*, const FontChoice& initial) override {
        fontAskedWith = initial;
        return fontAnswer;
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override {
        colorAskedWith = initial;
        return colorAnswer;
    }
};

class SettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_file = std::make_unique<IniFile>(iniPath());
        SettingsFile = m_file.get();
        m_gadget = std::make_unique<TForm2>();
        m_gadget->createStrips(2, false);

        m_hooks.onMessage = [this](const ui::MessageRecord& m) { m_messages.push_back(m.text); };
        m_hooks.onConfirm = [this](const QString& text) {
            m_questions.push_back(text);
            return m_confirmAnswer;
        };
    }

    void TearDown() override {
        QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    QString iniPath() const { return m_dir.path() + u'/' + QLatin1String(settings::kFileName); }

    void setContent(const QByteArray& lines) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Settings]\n" + lines);
    }
    QByteArray content() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A settings window whose pickers answer from the returned script.
    std::unique_ptr<TSettingsForm> makeForm(ScriptedDialogs** dialogs = nullptr) {
        auto form =
            std::make_unique<TSettingsForm>(m_gadget.get(), SettingsFile, ui::Messages(m_hooks));
        auto scripted = std::make_unique<ScriptedDialogs>();
        if (dialogs != nullptr) {
            *dialogs = scripted.get();
        }
        form->setDialogs(std::move(scripted));
        return form;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<IniFile> m_file;
    IniFile* SettingsFile = nullptr;  // the file the program opened
    std::unique_ptr<TForm2> m_gadget;
    std::vector<QString> m_messages;
    std::vector<QString> m_questions;
    bool m_confirmAnswer = false;
    ui::MessageHooks m_hooks;
};

TEST_F(SettingsFormTest, WindowLayout) {
    auto form = makeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(form->size(), QSize(282, 184));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));

    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Edit Font..."));
    EXPECT_EQ(form->BitBtn4->text(), QStringLiteral("Edit Background Color..."));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Transparency:"));
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("Reset to Defaults..."));
    EXPECT_EQ(form->BitBtn1->geometry(), QRect(8, 8, 266, 33));
    EXPECT_EQ(form->BitBtn4->geometry(), QRect(8, 55, 266, 33));
    EXPECT_EQ(form->TrackBar1->geometry(), QRect(125, 104, 149, 29));
    EXPECT_EQ(form->BitBtn2->geometry(), QRect(8, 139, 266, 33));
    // The label never reaches into the slider.
    EXPECT_EQ(form->Label1->pos(), QPoint(8, 104));
    EXPECT_LE(form->Label1->geometry().right(), 124);
    EXPECT_EQ(form->TrackBar1->minimum(), 0);
    EXPECT_EQ(form->TrackBar1->maximum(), 8);
    EXPECT_EQ(form->BitBtn1->font().pointSize(), 12);
    EXPECT_EQ(form->Label1->font().pointSize(), 12);

    // Tab order: the three controls in reading order, the reset button last.
    std::vector<QWidget*> order;
    QWidget* w = form->BitBtn1;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) != 0) {
            order.push_back(w);
        }
        w = w->nextInFocusChain();
    } while (w != form->BitBtn1 && order.size() < 10);
    EXPECT_EQ(order, (std::vector<QWidget*>{form->BitBtn1, form->BitBtn4, form->TrackBar1,
                                            form->BitBtn2}));

    // Closing only hides the window.
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(form->TrackBar1->parent(), form.get());
}

TEST_F(SettingsFormTest, SliderStepsApplyAndStoreTheirValues) {
    const int values[] = {255, 230, 204, 178, 153, 128, 102, 76, 51};
    auto form = makeForm();
    // From the most transparent step back to opaque, so that every step is a change.
    for (int position = 8; position >= 0; --position) {
        SCOPED_TRACE(position);
        form->TrackBar1->setValue(position);
        EXPECT_EQ(m_gadget->alphaBlendValue(), values[position]);
        EXPECT_EQ(settings::readInt(SettingsFile, settings::Key::Transparency), values[position]);
        EXPECT_EQ(transparencyForPosition(position), values[position]);
        EXPECT_EQ(positionForTransparency(values[position]), position);
    }
    // The keyboard moves one step at a time.
    form->TrackBar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form->TrackBar1->value(), 1);
    EXPECT_EQ(settings::readInt(SettingsFile, settings::Key::Transparency), 230);
}

// A screen reader names the slider by its label and reads its value as the share of the gadget
// that shows through, not as the bare step; setting that value through it moves the slider.
TEST_F(SettingsFormTest, AScreenReaderReadsTheSliderByItsLabelInPercent) {
    auto form = makeForm();
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(form->TrackBar1);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->role(), QAccessible::Slider);
    EXPECT_EQ(slider->text(QAccessible::Name), QStringLiteral("Transparency:"));
    QAccessibleValueInterface* value = slider->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 80);
    EXPECT_EQ(value->minimumStepSize().toInt(), 10);
    for (const auto& [position, percent] : {std::pair{0, 0}, std::pair{3, 30}, std::pair{8, 80}}) {
        form->TrackBar1->setValue(position);
        EXPECT_EQ(value->currentValue().toInt(), percent);
        EXPECT_EQ(slider->text(QAccessible::Value), QStringLiteral("%1 %").arg(percent));
    }
    value->setCurrentValue(50);
    EXPECT_EQ(form->TrackBar1->value(), 5);
    EXPECT_EQ(settings::readInt(SettingsFile, settings::Key::Transparency), 128);
    EXPECT_FALSE(slider->text(QAccessible::Description).isEmpty());
}

// Opening reads the stored value and writes nothing: only the user's change of the slider
// writes. A hand-edited value stays in the file and on the gadget until the slider moves.
TEST_F(SettingsFormTest, OpeningTakesTheStoredTransparencyAndWritesNothing) {
    struct Case {
        QByteArray line;
        int position;
        int gadgetAlpha;
    };
    const Case cases[] = {
        {"Transparency=230\n", 1, 230},
        {"Transparency=51\n", 8, 51},
        {"Transparency=255\n", 0, 255},
        // Hand-edited values: the nearest step on the slider, the stored value on the gadget.
        {"Transparency=240\n", 1, 240},
        {"Transparency=1\n", 8, 1},
        {"Transparency=0x10\n", 8, 16},
        // Out of range: read as absent, so the gadget stays opaque instead of taking the low
        // 8 bits (300 would be a nearly invisible 44).
        {"Transparency=300\n", 0, 255},
        {"Transparency=256\n", 0, 255},
        {"Transparency=2147483647\n", 0, 255},
        // Nothing to apply.
        {"Transparency=0\n", 0, 255},
        {"Transparency=-40\n", 0, 255},
        {"Transparency=abc\n", 0, 255},
        {"", 0, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        m_gadget->setAlphaBlendValue(255);
        setContent(c.line);
        const QByteArray before = content();
        // Read-only, so that an attempt to write would also be reported.
        QFile::setPermissions(iniPath(), QFileDevice::ReadOwner);
        auto form = makeForm();
        EXPECT_EQ(form->TrackBar1->value(), c.position);
        EXPECT_EQ(m_gadget->alphaBlendValue(), c.gadgetAlpha);
        EXPECT_EQ(content(), before);
        QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    EXPECT_TRUE(m_messages.empty());

    // The user's move writes the step's value.
    setContent("Transparency=240\n");
    auto form = makeForm();
    form->TrackBar1->setValue(3);
    EXPECT_EQ(content(), "[Settings]\nTransparency=178\n");
    EXPECT_EQ(m_gadget->alphaBlendValue(), 178);
}

TEST_F(SettingsFormTest, FontChoiceAppliesAndWritesFourKeysInOrder) {
    struct Case {
        bool bold, underline, italic, strikeOut;
        QByteArray style;
    };
    const Case cases[] = {
        {true, false, true, false, "5"},
        {true, true, true, true, "7"},
        {false, false, false, true, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style.toStdString());
        QFile::remove(iniPath());
        ScriptedDialogs* dialogs = nullptr;
        auto form = makeForm(&dialogs);
        QFont font(QStringLiteral("Arial"), 14);
        font.setBold(c.bold);
        font.setUnderline(c.underline);
        font.setItalic(c.italic);
        font.setStrikeOut(c.strikeOut);
        dialogs->fontAnswer = FontChoice{font, QColor(255, 0, 0)};
        form->BitBtn1->click();

        EXPECT_EQ(content(),
                  "[Settings]\nTextcolor=clRed\nFontname=Arial\nFontsize=14\nFontstyle=" + c.style +
                      "\n");
        const QFont label = m_gadget->Label1->font();
        EXPECT_EQ(label.family(), QStringLiteral("Arial"));
        EXPECT_EQ(label.pointSize(), 14);
        EXPECT_EQ(label.bold(), c.bold);
        EXPECT_EQ(label.italic(), c.italic);
        EXPECT_EQ(label.underline(), c.underline);
        EXPECT_EQ(label.strikeOut(), c.strikeOut);
        EXPECT_EQ(m_gadget->labelTextColor(), clRed);
        EXPECT_EQ(m_gadget->Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SettingsFormTest, PickersStartFromTheGadgetNotTheFile) {
    setContent("Textcolor=clBlue\nBackgroundColor=clYellow\nFontname=Courier\n");
    QFont font(QStringLiteral("Tahoma"), 11);
    font.setItalic(true);
    m_gadget->Label1->setFont(font);
    m_gadget->setLabelTextColor(rgbColor(10, 20, 30));
    m_gadget->setGadgetColor(clBtnFace);

    ScriptedDialogs* dialogs = nullptr;
    auto form = makeForm(&dialogs);
    form->BitBtn1->click();
    form->BitBtn4->click();
    ASSERT_TRUE(dialogs->fontAskedWith && dialogs->colorAskedWith);
    EXPECT_EQ(dialogs->fontAskedWith->font, font);
    EXPECT_EQ(dialogs->fontAskedWith->color, QColor(10, 20, 30));
    // A system colour starts the picker from what the screen shows for it.
    EXPECT_EQ(*dialogs->colorAskedWith, ui::systemColor(15));
}

TEST_F(SettingsFormTest, CancelChangesAndWritesNothing) {
    const QFont before = m_gadget->Label1->font();
    ScriptedDialogs* dialogs = nullptr;
    auto form = makeForm(&dialogs);
    form->BitBtn1->click();
    form->BitBtn4->click();
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_EQ(m_gadget->Label1->font(), before);
    EXPECT_EQ(m_gadget->labelTextColor(), clWindowText);
    EXPECT_EQ(m_gadget->gadgetColor(), clBtnFace);
}

TEST_F(SettingsFormTest, BackgroundColourReachesHiddenStripsAndTheFile) {
    struct Case {
        QColor chosen;
        TColor color;
        QByteArray text;
    };
    const Case cases[] = {
        {QColor(255, 255, 255), clWhite, "clWhite"},
        {QColor(255, 128, 0), 0x000080FF, "$000080FF"},
    };
    ASSERT_FALSE(m_gadget->strip(1)->isVisibleTo(m_gadget.get()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        ScriptedDialogs* dialogs = nullptr;
        auto form = makeForm(&dialogs);
        dialogs->colorAnswer = c.chosen;
        form->BitBtn4->click();
        EXPECT_EQ(m_gadget->gadgetColor(), c.color);
        EXPECT_EQ(m_gadget->Chart1->backgroundColor(), c.chosen);
        for (int i = 1; i <= m_gadget->stripCount(); ++i) {
            EXPECT_EQ(m_gadget->strip(i)->backgroundColor(), c.chosen) << "strip " << i;
        }
        EXPECT_EQ(m_gadget->Label1->palette().color(QPalette::Window), c.chosen);
        EXPECT_EQ(content(), "[Settings]\nBackgroundColor=" + c.text + "\n");
    }
}

TEST_F(SettingsFormTest, RefusedWriteIsReportedAndTheChangeStays) {
    setContent("Transparency=255\n");
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner));
    ScriptedDialogs* dialogs = nullptr;
    auto form = makeForm(&dialogs);
    const QString error = QStringLiteral("Unable to write to ") + iniPath();

    dialogs->colorAnswer = QColor(255, 255, 255);
    form->BitBtn4->click();
    EXPECT_EQ(m_gadget->gadgetColor(), clWhite);

    form->TrackBar1->setValue(3);
    EXPECT_EQ(m_gadget->alphaBlendValue(), 178);

    dialogs->fontAnswer = FontChoice{QFont(QStringLiteral("Arial"), 14), QColor(255, 0, 0)};
    form->BitBtn1->click();
    EXPECT_EQ(m_gadget->labelTextColor(), clRed);
    EXPECT_EQ(m_gadget->Label1->font().pointSize(), 14);

    EXPECT_EQ(m_messages, (std::vector<QString>{error, error, error}));
    EXPECT_EQ(content(), "[Settings]\nTransparency=255\n");
}

TEST_F(SettingsFormTest, LargerLabelFontShrinksTheChartsButNotTheStrips) {
    m_gadget->setStripsVisible(true);
    m_gadget->show();
    QApplication::processEvents();
    const int labelHeight = m_gadget->Label1->height();
    const int chartHeight = m_gadget->Chart1->height();
    const int stripHeight = m_gadget->strip(1)->height();

    ScriptedDialogs* dialogs = nullptr;
    auto form = makeForm(&dialogs);
    dialogs->fontAnswer = FontChoice{QFont(QStringLiteral("Tahoma"), 24), QColor(0, 0, 0)};
    form->BitBtn1->click();
    QApplication::processEvents();

    EXPECT_GT(m_gadget->Label1->height(), labelHeight);
    EXPECT_EQ(m_gadget->Chart1->height(), chartHeight - (m_gadget->Label1->height() - labelHeight));
    EXPECT_EQ(m_gadget->strip(1)->height(), stripHeight);
    EXPECT_EQ(m_gadget->strip(2)->height(), stripHeight);
}

class ResetTest : public SettingsFormTest {
protected:
    void SetUp() override {
        SettingsFormTest::SetUp();
        setContent("Transparency=204\nFontsize=20\n");
        // A stand-in for the program: it only leaves a mark that it ran.
        m_program = m_dir.path() + QStringLiteral("/standin.sh");
        m_marker = m_dir.path() + QStringLiteral("/started");
        QFile script(m_program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$#\" > '" + m_marker.toUtf8() + "'\n");
        script.close();
        QFile::setPermissions(
            m_program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    std::unique_ptr<TSettingsForm> makeResetForm() {
        auto form = makeForm();
        RestartActions actions;
        actions.executablePath = [this] { return m_program; };
        actions.beforeStart = [this] { m_steps.emplace_back("let go"); };
        actions.startDetached = [this](const QString& program) {
            m_steps.emplace_back("start");
            return QProcess::startDetached(program, {});
        };
        actions.quit = [this] { ++m_quits; };
        form->setRestartActions(actions);
        return form;
    }

    // The stand-in's mark: the number of arguments it was given; empty if it never ran.
    QByteArray waitForMarker() const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QFile file(m_marker);
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray text = file.readAll();
                if (text.endsWith('\n')) {
                    return text.trimmed();
                }
            }
            QThread::msleep(20);
        }
        return {};
    }

    QString m_program;
    QString m_marker;
    int m_quits = 0;
    // "let go" (of what would keep the fresh copy from running) and "start", as they came.
    std::vector<std::string> m_steps;
};

TEST_F(ResetTest, NoLeavesEverythingAlone) {
    m_confirmAnswer = false;
    auto form = makeResetForm();
    const QByteArray before = content();
    form->BitBtn2->click();
    EXPECT_EQ(m_questions, (std::vector<QString>{QStringLiteral("Restart Application?")}));
    EXPECT_EQ(content(), before);
    EXPECT_EQ(m_quits, 0);
    // The start hook records every start, so nothing started can be told without waiting.
    EXPECT_TRUE(m_steps.empty());
    EXPECT_FALSE(QFile::exists(m_marker));
}

TEST_F(ResetTest, YesDeletesTheFileStartsAFreshCopyWithoutArgumentsAndQuits) {
    m_confirmAnswer = true;
    auto form = makeResetForm();
    form->BitBtn2->click();
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_EQ(waitForMarker(), QByteArray("0"));
    EXPECT_EQ(m_quits, 1);
    // Let go of before the fresh copy starts, or it would find this one running.
    EXPECT_EQ(m_steps, (std::vector<std::string>{"let go", "start"}));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ResetTest, OnlyTheFileTheProgramOpenedIsDeleted) {
    m_confirmAnswer = true;
    // The program opened a file elsewhere than the test's folder: that one goes, not a namesake.
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    const QString opened = other.path() + QStringLiteral("/settings.ini");
    QFile(opened).open(QIODevice::WriteOnly);
    IniFile openedFile(opened);
    SettingsFile = &openedFile;
    makeResetForm()->BitBtn2->click();
    EXPECT_FALSE(QFile::exists(opened));
    EXPECT_TRUE(QFile::exists(iniPath()));

    // No file open (start-up stopped before opening one): nothing is deleted.
    SettingsFile = nullptr;
    makeResetForm()->BitBtn2->click();
    EXPECT_TRUE(QFile::exists(iniPath()));
    EXPECT_EQ(m_quits, 2);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ResetTest, MissingFileOrFailedStartStillEndsQuietly) {
    m_confirmAnswer = true;
    QFile::remove(iniPath());
    auto form = makeResetForm();
    RestartActions actions;
    actions.executablePath = [this] { return m_dir.path() + QStringLiteral("/no-such-program"); };
    actions.quit = [this] { ++m_quits; };
    form->setRestartActions(actions);
    form->BitBtn2->click();
    EXPECT_EQ(m_quits, 1);
    EXPECT_TRUE(m_messages.empty());
}

TEST(FontColorDialogTest, StartsFromTheGivenFontAndColourAndKeepsTheChosenColour) {
    QFont font(QStringLiteral("DejaVu Sans"), 15);
    font.setBold(true);
    FontColorDialog dialog(font, QColor(1, 2, 3));
    EXPECT_EQ(dialog.selectedFont().pointSize(), 15);
    EXPECT_TRUE(dialog.selectedFont().bold());
    EXPECT_EQ(dialog.selectedColor(), QColor(1, 2, 3));

    QColor offered;
    dialog.askColor = [&offered](QWidget*, const QColor& initial) {
        offered = initial;
        return QColor(200, 100, 50);
    };
    dialog.colorButton()->click();
    EXPECT_EQ(offered, QColor(1, 2, 3));
    EXPECT_EQ(dialog.selectedColor(), QColor(200, 100, 50));

    // Cancelling the colour picker keeps the colour.
    dialog.askColor = [](QWidget*, const QColor&) { return QColor(); };
    dialog.colorButton()->click();
    EXPECT_EQ(dialog.selectedColor(), QColor(200, 100, 50));
}

TEST(FontColorDialogTest, AMissingFamilyStartsAtItsStandInWithThePlainStyle) {
    const QFont tahoma(QStringLiteral("Tahoma"), 8);
    FontColorDialog dialog(tahoma, QColor(0, 0, 0));
    const QFont start = dialog.selectedFont();
    EXPECT_EQ(start.family(), QFontInfo(tahoma).family());
    EXPECT_EQ(start.pointSize(), 8);
    EXPECT_FALSE(start.italic());
    EXPECT_FALSE(start.bold());
}

}  // namespace
