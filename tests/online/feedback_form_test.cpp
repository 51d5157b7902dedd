// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <functional>

#include "core/identity.h"
#include "online/feedbackform.h"
#include "tests/common/deadline.h"
#include "tests/online/sharedserver.h"
#include "ui/messages.h"
#include "ui/style.h"

namespace {

using lsg::feedback::ChoicePanel;
using lsg::feedback::TFeedbackForm;
using lsg::test::Behaviour;
using lsg::test::sharedServer;
using lsg::ui::MessageIcon;
using lsg::ui::MessageRecord;

const QString kSuccess = QStringLiteral("Your feedback is received.\r\rThank you!");
const QString kFailure = QStringLiteral(
    "Something went wrong. Your feedback could not be delivered.\r\rPlease try again later.");
const QByteArray kPrefix =
    QByteArrayLiteral("cmd=feedback&appname=KALDERN+-+Loadspire+Gauge&version=1.7&feedback=");

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false) {
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r") : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(target, &release);
}

void click(QWidget* target) {
    const QPointF at = QRectF(target->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

class FeedbackForm : public ::testing::Test {
protected:
    void SetUp() override {
        m_identity.CompanyName = QStringLiteral("KALDERN");
        m_identity.ProductName = QStringLiteral("Loadspire Gauge");
        m_identity.AppCaption = QStringLiteral("KALDERN - Loadspire Gauge");
        m_identity.AppVersion = QStringLiteral("1.7");
        setReply(QByteArrayLiteral("OK"));
        sharedServer().clearRequests();
        lsg::ui::MessageHooks hooks;
        hooks.onMessage = [this](const MessageRecord& r) {
            m_messages << r;
            if (m_onMessage) {
                m_onMessage(r);
            }
        };
        hooks.onBeep = [this] { ++m_beeps; };
        m_hooks = hooks;
    }
    void TearDown() override { delete m_form.data(); }

    static void setReply(const QByteArray& body, const QString& mode = QStringLiteral("reply")) {
        Behaviour b;
        b.mode = mode;
        b.body = body;
        sharedServer().configure(QStringLiteral("/php/feedback.php"), b);
    }

    TFeedbackForm* open(int port = sharedServer().dualPort(), int timeoutMs = 3000) {
        m_form = new TFeedbackForm(m_identity);
        lsg::feedback::SendConfig config;
        config.host = QStringLiteral("127.0.0.1:") + QString::number(port);
        config.timeoutMs = timeoutMs;
        config.options.caFile = sharedServer().caFile();
        m_form->setSendConfig(config);
        m_form->setMessages(lsg::ui::Messages(m_hooks));
        m_form->show();
        return m_form;
    }
    template <class T>
    T* child(const char* name) const {
        T* w = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPlainTextEdit* memo() const { return child<QPlainTextEdit>("Memo1"); }
    QLineEdit* edit() const { return child<QLineEdit>("Edit1"); }
    QPushButton* button() const { return child<QPushButton>("BitBtn1"); }
    ChoicePanel* like() const { return child<ChoicePanel>("Panel4"); }
    ChoicePanel* dislike() const { return child<ChoicePanel>("Panel5"); }

    // "Send", and the event loop run until that press has been answered: the send has ended
    // and its box has been shown.
    void clickSend() {
        button()->click();
        waitForSend();
    }
    void waitForSend() {
        const lsg::testing::Deadline deadline("a feedback send", std::chrono::seconds(60));
        while (!m_form.isNull() && m_form->isSending()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
    }

    // True once the dialog has closed and deleted itself.
    bool closed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_form.isNull();
    }
    static QList<QByteArray> bodies() {
        QList<QByteArray> result;
        for (const auto& r : sharedServer().requests()) {
            result << r.body;
        }
        return result;
    }
    // The one body sent, or a failure when there was not exactly one request.
    static QByteArray onlyBody() {
        const auto all = bodies();
        EXPECT_EQ(all.size(), 1);
        return all.isEmpty() ? QByteArray() : all.first();
    }
    void expectOneMessage(const QString& text, const QString& title, MessageIcon icon) {
        ASSERT_EQ(m_messages.size(), 1);
        EXPECT_EQ(m_messages[0].text, text);
        EXPECT_EQ(m_messages[0].title, title);
        EXPECT_EQ(m_messages[0].icon, icon);
    }

    lsg::AppIdentity m_identity;
    QPointer<TFeedbackForm> m_form;
    QList<MessageRecord> m_messages;
    std::function<void(const MessageRecord&)> m_onMessage;
    int m_beeps = 0;
    lsg::ui::MessageHooks m_hooks;
};

TEST_F(FeedbackForm, LaidOutAsAFixedDialog) {
    open();
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Loadspire Gauge feedback"));
    EXPECT_EQ(m_form->size(), QSize(525, 326));
    EXPECT_EQ(m_form->minimumSize(), m_form->maximumSize());
    const Qt::WindowFlags flags = m_form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));
    EXPECT_TRUE(m_form->testAttribute(Qt::WA_DeleteOnClose));

    EXPECT_EQ(like()->geometry(), QRect(3, 3, 257, 40));
    EXPECT_EQ(dislike()->geometry(), QRect(266, 3, 256, 40));
    EXPECT_EQ(button()->size(), QSize(180, 34));
    EXPECT_EQ(button()->mapTo(m_form, QPoint(180, 34)), QPoint(522, 323));
    EXPECT_TRUE(button()->isDefault());
    EXPECT_EQ(button()->text(), QStringLiteral("Send"));
    EXPECT_FALSE(button()->icon().isNull());
    EXPECT_EQ(child<QLabel>("Label1")->text(),
              QStringLiteral("We would really appreciate your feedback."));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("What did you like or dislike?"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("Include my e-mail:"));
    EXPECT_EQ(m_form->font().pixelSize(), 11);
    EXPECT_TRUE(child<QLabel>("Label2")->font().bold());

    // The text box lies between the labels and the e-mail row, which sits on the button row.
    const QRect memoRect = memo()->geometry();
    EXPECT_GT(memoRect.top(), child<QLabel>("Label2")->geometry().bottom());
    EXPECT_EQ(edit()->parentWidget()->geometry(), QRect(0, 326 - 40 - 30, 525, 30));
    EXPECT_LT(memoRect.bottom(), 326 - 70);
    EXPECT_GT(memoRect.height(), 100);
    EXPECT_EQ(memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit()->maxLength(), 100);
    EXPECT_EQ(like()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dislike()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(like()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(FeedbackForm, FocusStartsInTheTextAndTabsToEmailThenSend) {
    open();
    QApplication::setActiveWindow(m_form);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), memo());
    sendKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), edit());
    sendKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), button());
    sendKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), memo());
}

TEST_F(FeedbackForm, ChoicePanelsShowOneSelection) {
    using lsg::ui::systemColor;
    open();
    const auto expectLook = [](ChoicePanel* panel, bool selected) {
        const QPalette p = panel->palette();
        EXPECT_EQ(panel->isSelected(), selected) << panel->objectName().toStdString();
        EXPECT_EQ(p.color(QPalette::Window), systemColor(selected ? 13 : 15));
        EXPECT_EQ(p.color(QPalette::WindowText), systemColor(selected ? 14 : 8));
        EXPECT_EQ(panel->frameShadow(), selected ? QFrame::Sunken : QFrame::Raised);
        EXPECT_TRUE(panel->autoFillBackground());
    };
    expectLook(like(), false);
    expectLook(dislike(), false);
    EXPECT_EQ(m_form->choice(), lsg::feedback::Choice::None);

    click(like());
    expectLook(like(), true);
    expectLook(dislike(), false);
    click(dislike());
    expectLook(like(), false);
    expectLook(dislike(), true);
    // Clicking the chosen panel again keeps the choice: there is no way back to none.
    click(dislike());
    expectLook(dislike(), true);
    EXPECT_EQ(m_form->choice(), lsg::feedback::Choice::Dislike);

    // A press that is released outside the panel is no click.
    const QPointF inside(10, 10);
    const QPointF outside(-20, 10);
    QMouseEvent press(QEvent::MouseButtonPress, inside, like()->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(like(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, outside, like()->mapToGlobal(outside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(like(), &release);
    EXPECT_EQ(m_form->choice(), lsg::feedback::Choice::Dislike);
}

TEST_F(FeedbackForm, NothingToSendOnlyBeeps) {
    open();
    memo()->setPlainText(QStringLiteral("  \n\t\n  "));
    clickSend();
    EXPECT_EQ(m_beeps, 1);
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(bodies().isEmpty());
    EXPECT_FALSE(closed());
    EXPECT_TRUE(m_form->isVisible());
}

TEST_F(FeedbackForm, LikeWithEmptyTextSendsTheChoiceLineAndCloses) {
    open();
    click(like());
    clickSend();
    EXPECT_EQ(onlyBody(), kPrefix + "I+like+it%21%0D");
    expectOneMessage(kSuccess, QStringLiteral("Success"), MessageIcon::Information);
    EXPECT_TRUE(closed());
}

TEST_F(FeedbackForm, LastChoiceWinsAndTextIsTrimmedWithCrLfInside) {
    open();
    click(like());
    click(dislike());
    memo()->setPlainText(QStringLiteral("\n\n  too slow\n\nto start  \n\n"));
    edit()->setText(QStringLiteral("   "));  // only blanks: no address, no check
    clickSend();
    EXPECT_EQ(onlyBody(), kPrefix + "I+dislike+it%21%0Dtoo+slow%0D%0A%0D%0Ato+start");
    expectOneMessage(kSuccess, QStringLiteral("Success"), MessageIcon::Information);
}

TEST_F(FeedbackForm, TextGoesOutAsTyped) {
    open();
    // A no-break space and a line separator (Shift+Enter) are part of the text; only the
    // editor's own paragraph breaks become CR LF.
    memo()->setPlainText(QStringLiteral("a\u00a0b"));
    memo()->moveCursor(QTextCursor::End);
    sendKey(memo(), Qt::Key_Return, Qt::ShiftModifier);
    memo()->insertPlainText(QStringLiteral("c"));
    sendKey(memo(), Qt::Key_Return);
    memo()->insertPlainText(QStringLiteral("d"));
    clickSend();
    EXPECT_EQ(onlyBody(), kPrefix + "a%C2%A0b%E2%80%A8c%0D%0Ad");
}

TEST_F(FeedbackForm, AddressIsTrimmedCheckedAndSent) {
    open();
    memo()->setPlainText(QStringLiteral("Nice & small"));
    edit()->setText(QStringLiteral(" \t first.last+tag@Example.co.uk  "));
    clickSend();
    EXPECT_EQ(onlyBody(), kPrefix + "Nice+%26+small&email=first.last%2Btag%40Example.co.uk");
}

TEST_F(FeedbackForm, InvalidAddressSendsNothingAndKeepsTheInput) {
    open();
    click(like());
    memo()->setPlainText(QStringLiteral("text"));
    for (const QString& address :
         {QStringLiteral("me@home"), QStringLiteral("me@@home.net"), QStringLiteral("m e@x.org"),
          QStringLiteral("me@x.org."), QStringLiteral("m\u00e9@x.org")}) {
        m_messages.clear();
        edit()->setText(address);
        clickSend();
        expectOneMessage(QStringLiteral("Invalid e-mail address!"), QStringLiteral("Failure"),
                         MessageIcon::Error);
        EXPECT_EQ(edit()->text(), address);
    }
    EXPECT_TRUE(bodies().isEmpty());
    EXPECT_FALSE(closed());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("text"));
    EXPECT_TRUE(like()->isSelected());
}

TEST_F(FeedbackForm, OnlyAnOkReplyIsSuccess) {
    struct Case {
        QByteArray reply;
        bool success;
    };
    const Case cases[] = {
        {QByteArrayLiteral("  \r\n\r\nOK \r\n\n"), true},
        {QByteArrayLiteral("ok"), false},
        {QByteArrayLiteral("OK\nOK"), false},
        {QByteArrayLiteral("Error: database down"), false},
    };
    for (const auto& c : cases) {
        setReply(c.reply);
        sharedServer().clearRequests();
        m_messages.clear();
        open();
        click(dislike());
        memo()->setPlainText(QStringLiteral("keep me"));
        edit()->setText(QStringLiteral("a@b.cd"));
        clickSend();
        EXPECT_EQ(bodies().size(), 1) << c.reply.constData();
        if (c.success) {
            expectOneMessage(kSuccess, QStringLiteral("Success"), MessageIcon::Information);
            EXPECT_TRUE(closed());
        } else {
            expectOneMessage(kFailure, QStringLiteral("Failure"), MessageIcon::Error);
            ASSERT_FALSE(closed()) << c.reply.constData();
            EXPECT_TRUE(m_form->isVisible());
            EXPECT_EQ(memo()->toPlainText(), QStringLiteral("keep me"));
            EXPECT_EQ(edit()->text(), QStringLiteral("a@b.cd"));
            EXPECT_TRUE(dislike()->isSelected());
            delete m_form.data();
        }
    }
}

TEST_F(FeedbackForm, ABlockedSecureAttemptEndsInTheFailureBoxWithNothingInPlain) {
    // Every TLS handshake is reset, and plain HTTP would be answered "OK".
    open(sharedServer().tlsResetPort());
    click(like());
    memo()->setPlainText(QStringLiteral("private"));
    edit()->setText(QStringLiteral("me@example.org"));
    clickSend();
    EXPECT_TRUE(bodies().isEmpty());
    expectOneMessage(kFailure, QStringLiteral("Failure"), MessageIcon::Error);
    ASSERT_FALSE(closed());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("private"));
}

TEST_F(FeedbackForm, HungServerEndsInTheFailureBoxWithinTheBound) {
    setReply(QByteArray(), QStringLiteral("hang"));
    constexpr int kTimeout = 500;
    open(sharedServer().dualPort(), kTimeout);
    memo()->setPlainText(QStringLiteral("hello"));
    QElapsedTimer clock;
    clock.start();
    clickSend();
    EXPECT_LT(clock.elapsed(), 2 * kTimeout + 1000);
    expectOneMessage(kFailure, QStringLiteral("Failure"), MessageIcon::Error);
    EXPECT_EQ(bodies().size(), 1);
    EXPECT_FALSE(closed());
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("hello"));
}

// While the send runs, the dialog says so and takes no input: nothing can start a second send
// or change what is being sent. Closing it then stops the send, and no box follows.
TEST_F(FeedbackForm, WhileSendingItSaysSoTakesNoInputAndClosingStopsIt) {
    setReply(QByteArray(), QStringLiteral("hang"));
    open(sharedServer().dualPort(), 60000);
    click(like());
    memo()->setPlainText(QStringLiteral("in flight"));
    button()->click();
    EXPECT_TRUE(m_form->isSending());
    EXPECT_FALSE(button()->isEnabled());
    EXPECT_EQ(button()->text(), QStringLiteral("Sending..."));
    EXPECT_TRUE(memo()->isReadOnly());
    EXPECT_TRUE(edit()->isReadOnly());
    // Another press, Enter in the e-mail box, or a choice: none of them does anything now.
    m_form->BitBtn1Click();
    sendKey(edit(), Qt::Key_Return);
    click(dislike());
    EXPECT_TRUE(like()->isSelected());
    QElapsedTimer waited;
    waited.start();
    while (bodies().isEmpty() && waited.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    EXPECT_EQ(bodies().size(), 1);

    sendKey(memo(), Qt::Key_Escape);
    EXPECT_TRUE(closed());
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_EQ(bodies().size(), 1);
}

TEST_F(FeedbackForm, APressWhileItsBoxIsOpenDoesNotSendAgain) {
    setReply(QByteArrayLiteral("busy"));
    open();
    memo()->setPlainText(QStringLiteral("once"));
    m_onMessage = [this](const MessageRecord&) {
        // What a second click or Enter would do while the first send's box is up.
        button()->click();
        sendKey(edit(), Qt::Key_Return);
    };
    clickSend();
    EXPECT_EQ(bodies().size(), 1);
    EXPECT_EQ(m_messages.size(), 1);
    // Once the box is closed, another press sends again.
    m_onMessage = nullptr;
    clickSend();
    EXPECT_EQ(bodies().size(), 2);
}

TEST_F(FeedbackForm, EscapeClosesFromEachFieldWhateverTheModifiers) {
    struct Case {
        const char* field;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"Memo1", Qt::NoModifier},
        {"Memo1", Qt::ShiftModifier},
        {"Edit1", Qt::ControlModifier | Qt::AltModifier},
        {"BitBtn1", Qt::NoModifier},
        {"BitBtn1", Qt::ShiftModifier},
    };
    for (const auto& c : cases) {
        open();
        memo()->setPlainText(QStringLiteral("unsent"));
        click(like());
        sendKey(child<QWidget>(c.field), Qt::Key_Escape, c.modifiers);
        EXPECT_TRUE(closed()) << c.field;
    }
    EXPECT_TRUE(bodies().isEmpty());
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(FeedbackForm, EnterSendsFromTheEmailBoxButBreaksLinesInTheText) {
    open();
    memo()->setPlainText(QStringLiteral("line"));
    memo()->moveCursor(QTextCursor::End);
    sendKey(memo(), Qt::Key_Return);
    EXPECT_EQ(m_form->memoText(), QStringLiteral("line\r\n"));
    EXPECT_TRUE(bodies().isEmpty());

    // A held key repeats; only its first press counts.
    sendKey(edit(), Qt::Key_Return, Qt::NoModifier, true);
    EXPECT_TRUE(bodies().isEmpty());
    sendKey(edit(), Qt::Key_Return);
    waitForSend();
    EXPECT_EQ(onlyBody(), kPrefix + "line");
    EXPECT_TRUE(closed());
}

TEST_F(FeedbackForm, TextBoxTakesAtMostTenThousandCharacters) {
    open();
    const auto type = [this](int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(memo(), &press);
    };
    const auto paste = [this](const QString& text) {
        QApplication::clipboard()->setText(text);
        memo()->paste();
    };
    const auto putCursorAt = [this](int position) {
        QTextCursor cursor = memo()->textCursor();
        cursor.setPosition(position);
        memo()->setTextCursor(cursor);
    };

    memo()->setPlainText(QString(9999, u'a'));
    memo()->moveCursor(QTextCursor::End);
    type(Qt::Key_B, QStringLiteral("b"));
    type(Qt::Key_C, QStringLiteral("c"));
    EXPECT_EQ(memo()->toPlainText(), QString(9999, u'a') + u'b');
    // A line break is sent as two characters and counts as two: no room for it now.
    memo()->setPlainText(QString(9999, u'a'));
    memo()->moveCursor(QTextCursor::End);
    type(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(memo()->toPlainText(), QString(9999, u'a'));
    // Replacing a selection frees its room.
    memo()->selectAll();
    type(Qt::Key_X, QStringLiteral("x"));
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("x"));

    // A paste in the middle is cut to fit; the text around it stays whole.
    memo()->setPlainText(QStringLiteral("head") + QString(9990, u'x') + QStringLiteral("tail"));
    putCursorAt(4);
    paste(QString(10, u'P'));
    const QString text = memo()->toPlainText();
    EXPECT_EQ(text.size(), 10000);
    EXPECT_TRUE(text.startsWith(QStringLiteral("headPPx")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("tail")));

    // Pasted line breaks of any kind become the box's own, counted as sent.
    memo()->setPlainText(QString(9990, u'a'));
    memo()->moveCursor(QTextCursor::End);
    paste(QStringLiteral("1\r\n2\r3\n4567"));
    EXPECT_EQ(m_form->memoText(), QString(9990, u'a') + QStringLiteral("1\r\n2\r\n3\r\n4"));

    // A character outside the basic plane is never split in half.
    memo()->setPlainText(QString(9999, u'a'));
    memo()->moveCursor(QTextCursor::End);
    paste(QStringLiteral("\U0001F600"));
    EXPECT_EQ(memo()->toPlainText(), QString(9999, u'a'));

    // Undo after a cut paste gives back the text before it.
    memo()->setPlainText(QString(9995, u'a'));
    memo()->moveCursor(QTextCursor::End);
    paste(QString(20, u'b'));
    EXPECT_EQ(memo()->toPlainText(), QString(9995, u'a') + QString(5, u'b'));
    memo()->undo();
    EXPECT_EQ(memo()->toPlainText(), QString(9995, u'a'));
}

}  // namespace
