// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QDialog>
#include <QFrame>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QString>

#include "core/identity.h"
#include "online/feedback.h"
#include "ui/messages.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lsg::feedback {

// One of the two choice panels: a picture at the left and a centred caption, clicked with the
// mouse only. Its face, text and bevel show whether it is the chosen one.
class ChoicePanel : public QFrame {
    Q_OBJECT
public:
    ChoicePanel(const QString& pictureName, const QString& caption, QWidget* parent);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_pictureName;
    QString m_caption;
    QPixmap m_picture;
    bool m_selected = false;
    bool m_pressed = false;
};

// A multi-line text box that takes at most maxLength characters from the user, each line break
// counting as two (it is sent as a carriage return and a line feed). Typing, pasting, dropping
// and input methods are cut to fit; text set by the program is not.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    LimitedTextEdit(int maxLength, QWidget* parent);
    int maxLength() const { return m_maxLength; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How much more may go in when the selection is replaced.
    qsizetype room() const;

    int m_maxLength;
};

// The feedback dialog: like or dislike, a free text and an optional e-mail address, posted to
// the maker's server when "Send" is pressed.
//
// Each use creates a new dialog and shows it modeless, so that the rest of the program (the
// tray menu above all) stays usable; it deletes itself when it closes (Qt::WA_DeleteOnClose):
//     (new TFeedbackForm)->show();
// The send does not block: while it runs the dialog says so on its Send button and takes no
// input, and the rest of the program goes on. Closing the dialog, or deleting it, stops a send
// in progress, and then no message box follows.
// Its controls carry the object names Panel4, Panel5, Memo1, Edit1 and BitBtn1.
class TFeedbackForm : public QDialog {
    Q_OBJECT
public:
    // Titled by the product's name; sends the identity's caption and version.
    explicit TFeedbackForm(const AppIdentity& identity, QWidget* parent = nullptr);

    // Where "Send" posts to; the build's server host unless a test says otherwise.
    void setSendConfig(const SendConfig& config) { m_config = config; }
    // How the dialog answers "Send"; the default shows the real boxes and beeps.
    void setMessages(ui::Messages messages) { m_messages = std::move(messages); }

    Choice choice() const;
    // The text box's text with its line breaks as carriage return and line feed.
    QString memoText() const;

    // True from "Send" until the send's outcome has been shown.
    bool isSending() const { return m_sending; }

    void Image1Click();
    void Image2Click();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void sendFinished(bool success);
    // The look while a send is in flight: "Sending..." on a disabled button, nothing to edit.
    void showSending(bool sending);

    AppIdentity m_identity;
    SendConfig m_config;
    ui::Messages m_messages;
    FeedbackSend m_send;
    // A press of Send is being answered: the send runs, or a box of it is open.
    bool m_sending = false;

    ChoicePanel* Panel4 = nullptr;
    ChoicePanel* Panel5 = nullptr;
    LimitedTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

}  // namespace lsg::feedback
