// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "online/feedbackform.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>

#include "resources/pictures.h"
#include "ui/messages.h"
#include "ui/style.h"
#include "wire/emailcheck.h"

namespace lsg::feedback {
namespace {

constexpr QSize kClientSize(525, 326);
// Space kept free around a control placed "with margins".
constexpr int kMargin = 3;
constexpr int kPictureSize = 32;

// Desktop system-colour indexes of the choice panels' looks.
constexpr int kBtnFace = 15;
constexpr int kWindowText = 8;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;

QFont tahoma(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

// ---- ChoicePanel ----------------------------------------------------------------------------

ChoicePanel::ChoicePanel(const QString& pictureName, const QString& caption, QWidget* parent)
    : QFrame(parent), m_pictureName(pictureName), m_caption(caption) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFont(tahoma(16));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSelected(false);
}

void ChoicePanel::setSelected(bool selected) {
    m_selected = selected;
    // Both looks use the desktop's colours, not the program's dark theme.
    ui::keepOwnColors(this, ui::systemColor(selected ? kHighlight : kBtnFace),
                      ui::systemColor(selected ? kHighlightText : kWindowText));
    setFrameShadow(selected ? QFrame::Sunken : QFrame::Raised);
    update();
}

void ChoicePanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio) {
        m_picture = res::picture(m_pictureName, QSize(kPictureSize, kPictureSize), ratio);
    }
    const QRect inner = contentsRect();
    const QRect pictureRect(inner.left() + kMargin,
                            inner.top() + (inner.height() - kPictureSize) / 2, kPictureSize,
                            kPictureSize);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(pictureRect, m_picture);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, m_caption);
}

void ChoicePanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
    }
    event->accept();
}

void ChoicePanel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressed) {
        return;
    }
    m_pressed = false;
    // A click is a press and a release over the panel.
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

// ---- LimitedTextEdit ------------------------------------------------------------------------

namespace {

// Line breaks are sent as a carriage return and a line feed, so each one counts as two.
qsizetype sentLength(const QString& text) {
    qsizetype length = text.size();
    for (QChar c : text) {
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            ++length;
        }
    }
    return length;
}

// The longest start of text whose sent length is at most room, never half a surrogate pair.
QString fitted(const QString& text, qsizetype room) {
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const QChar c = text.at(end);
        const bool pair =
            c.isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
        const qsizetype cost = pair ? 2 : sentLength(QString(c));
        if (used + cost > room) {
            break;
        }
        used += cost;
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

bool isTextKey(const QKeyEvent* event) {
    if (isEnterKey(event->key())) {
        return true;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

}  // namespace

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), m_maxLength(maxLength) {}

qsizetype LimitedTextEdit::room() const {
    const qsizetype now = sentLength(toPlainText());
    const qsizetype replaced = sentLength(textCursor().selectedText());
    return std::max<qsizetype>(0, m_maxLength - (now - replaced));
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    if (isTextKey(event)) {
        const QString typed = isEnterKey(event->key()) ? QStringLiteral("\n") : event->text();
        if (fitted(typed, room()).size() < typed.size()) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (!commit.isEmpty()) {
        const QString fit = fitted(commit, room());
        if (fit.size() < commit.size()) {
            event->setCommitString(fit, event->replacementStart(), event->replacementLength());
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Pasted text may come with any kind of line break; the box holds one kind.
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    insertPlainText(fitted(text, room()));
    ensureCursorVisible();
}

// ---- TFeedbackForm --------------------------------------------------------------------------

TFeedbackForm::TFeedbackForm(const AppIdentity& identity, QWidget* parent)
    : QDialog(parent), m_identity(identity), m_config(defaultSendConfig()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(tr("%1 feedback").arg(m_identity.ProductName));
    setFont(tahoma(11));
    setFixedSize(kClientSize);
    setSizeGripEnabled(false);
    buildControls();
}

void TFeedbackForm::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // The two choice panels side by side; the dislike one has a fixed width, the like one
    // takes the rest.
    auto* panel3 = new QWidget(this);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFixedHeight(46);
    auto* choices = new QHBoxLayout(panel3);
    choices->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    choices->setSpacing(2 * kMargin);
    Panel4 = new ChoicePanel(QStringLiteral("like"), tr("I like it!"), panel3);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel5 = new ChoicePanel(QStringLiteral("dislike"), tr("I dislike it!"), panel3);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFixedWidth(256);
    choices->addWidget(Panel4, 1);
    choices->addWidget(Panel5);
    root->addWidget(panel3);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    texts->setSpacing(2 * kMargin);
    auto* label1 = new QLabel(tr("We would really appreciate your feedback."), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(tahoma(16));
    auto* label2 = new QLabel(tr("What did you like or dislike?"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setFont(tahoma(13, true));
    Memo1 = new LimitedTextEdit(kMaxTextLength, this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(tahoma(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab leaves the text box, as in every other field of the dialog.
    Memo1->setTabChangesFocus(true);
    texts->addWidget(label1);
    texts->addWidget(label2);
    texts->addWidget(Memo1, 1);
    root->addLayout(texts, 1);

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(30);
    auto* emailRow = new QHBoxLayout(panel1);
    emailRow->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    emailRow->setSpacing(2 * kMargin);
    auto* label3 = new QLabel(tr("Include my e-mail:"), panel1);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setFont(tahoma(13));
    label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1 = new QLineEdit(panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFont(tahoma(13));
    Edit1->setMaxLength(kMaxEmailLength);
    emailRow->addWidget(label3);
    emailRow->addWidget(Edit1, 1);
    root->addWidget(panel1);

    auto* panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedHeight(40);
    auto* buttonRow = new QHBoxLayout(panel2);
    buttonRow->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    buttonRow->addStretch(1);
    BitBtn1 = new QPushButton(res::menuIcon(QStringLiteral("feedback")), tr("Send"), panel2);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFont(tahoma(13, true));
    BitBtn1->setIconSize(QSize(16, 16));
    BitBtn1->setFixedSize(180, 34);
    BitBtn1->setDefault(true);
    buttonRow->addWidget(BitBtn1);
    root->addWidget(panel2);

    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    for (QWidget* w : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(Edit1),
                       static_cast<QWidget*>(BitBtn1)}) {
        w->installEventFilter(this);
    }

    connect(Panel4, &ChoicePanel::clicked, this, &TFeedbackForm::Image1Click);
    connect(Panel5, &ChoicePanel::clicked, this, &TFeedbackForm::Image2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFeedbackForm::BitBtn1Click);
    connect(&m_send, &FeedbackSend::finished, this, &TFeedbackForm::sendFinished);
}

void TFeedbackForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TFeedbackForm::hideEvent(QHideEvent* event) {
    // Closed (by Escape, the close box or the program's end) while sending: the send stops and
    // nothing more is shown. A window manager's own hiding (minimising) is no close.
    if (!event->spontaneous() && m_send.isRunning()) {
        m_send.stop();
        showSending(false);
        m_sending = false;
    }
    QDialog::hideEvent(event);
}

bool TFeedbackForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            // Whatever modifiers are held.
            close();
            return true;
        }
        // A held Enter would repeat the send as soon as the previous one ends.
        if (watched != Memo1 && isEnterKey(key->key()) && key->isAutoRepeat()) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

Choice TFeedbackForm::choice() const {
    if (Panel4->isSelected()) {
        return Choice::Like;
    }
    if (Panel5->isSelected()) {
        return Choice::Dislike;
    }
    return Choice::None;
}

QString TFeedbackForm::memoText() const {
    // toPlainText() would turn no-break spaces into blanks and line separators into line
    // breaks; the raw text keeps what was typed, and only the editor's paragraph separators
    // become line breaks.
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

void TFeedbackForm::Image1Click() {
    if (!Panel4->isSelected()) {
        Panel4->setSelected(true);
    }
    if (Panel5->isSelected()) {
        Panel5->setSelected(false);
    }
}

void TFeedbackForm::Image2Click() {
    if (!Panel5->isSelected()) {
        Panel5->setSelected(true);
    }
    if (Panel4->isSelected()) {
        Panel4->setSelected(false);
    }
}

void TFeedbackForm::BitBtn1Click() {
    // A click or key that arrives while this press is still being answered (the send runs, or
    // one of its boxes is open) starts nothing.
    if (m_sending) {
        return;
    }
    const QString text = feedbackText(choice(), memoText());
    if (text.isEmpty()) {
        m_messages.beep();
        return;
    }
    const QString email = trimControls(Edit1->text());
    if (!email.isEmpty() && !isValidEmail(email)) {
        m_sending = true;
        m_messages.messageBox(this, tr("Invalid e-mail address!"), tr("Failure"),
                              ui::MessageIcon::Error);
        m_sending = false;
        return;
    }
    m_sending = true;
    showSending(true);
    m_send.start(requestLines(m_identity.AppCaption, m_identity.AppVersion, text, email), m_config);
}

void TFeedbackForm::sendFinished(bool success) {
    showSending(false);
    const QPointer<TFeedbackForm> alive(this);
    if (success) {
        m_messages.messageBox(this, tr("Your feedback is received.\r\rThank you!"), tr("Success"),
                              ui::MessageIcon::Information);
    } else {
        m_messages.messageBox(this,
                              tr("Something went wrong. Your feedback could not be "
                                 "delivered.\r\rPlease try again later."),
                              tr("Failure"), ui::MessageIcon::Error);
    }
    if (alive.isNull()) {
        return;
    }
    m_sending = false;
    if (success) {
        close();
    }
}

void TFeedbackForm::showSending(bool sending) {
    BitBtn1->setEnabled(!sending);
    BitBtn1->setText(sending ? tr("Sending...") : tr("Send"));
    Memo1->setReadOnly(sending);
    Edit1->setReadOnly(sending);
    Panel4->setEnabled(!sending);
    Panel5->setEnabled(!sending);
    if (sending) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

}  // namespace lsg::feedback
