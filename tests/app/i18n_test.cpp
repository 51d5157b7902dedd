// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// The translations: every text of the program translated in every language, the embedded
// catalogues as the .ts files say, the menu in the user's language with access keys that do not
// collide, and the texts that go to the server unchanged whatever the language.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <algorithm>

#include "app/translations.h"
#include "app/traymenu.h"
#include "core/identity.h"
#include "core/samplingtick.h"
#include "cpu/countersource.h"
#include "online/check.h"
#include "online/feedbackform.h"
#include "tests/common/deadline.h"
#include "tests/online/sharedserver.h"
#include "ui/messages.h"

using namespace lsg;

namespace {

// The languages of the program: one loadspire_<lang>.ts each in translations/.
QStringList languages() {
    QStringList found;
    const QDir dir(qEnvironmentVariable("LSG_SOURCE_DIR") + QStringLiteral("/translations"));
    for (const QString& name : dir.entryList({QStringLiteral("loadspire_*.ts")}, QDir::Files)) {
        found << name.mid(10, name.size() - 13);
    }
    return found;
}

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

// The text of <source> or <translation>, with the <byte value="xd"/> that stand for control
// characters put back.
QString mixedText(QXmlStreamReader& xml) {
    QString text;
    const QString element = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement() && xml.name() == u"byte") {
            const QString value = xml.attributes().value(QLatin1String("value")).toString();
            text += QChar(value.mid(1).toUShort(nullptr, 16));
        } else if (xml.isEndElement() && xml.name() == element) {
            break;
        }
    }
    return text;
}

QList<Message> readTs(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            messages.append({context, {}, {}, false});
        } else if (xml.name() == u"source" && !messages.isEmpty()) {
            messages.last().source = mixedText(xml);
        } else if (xml.name() == u"translation" && !messages.isEmpty()) {
            // unfinished, vanished and obsolete entries all carry a type; finished ones none.
            messages.last().finished = !xml.attributes().hasAttribute(QLatin1String("type"));
            messages.last().translation = mixedText(xml);
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

QSet<QString> keysOf(const QList<Message>& messages) {
    QSet<QString> keys;
    for (const Message& m : messages) {
        keys.insert(m.context + u'|' + m.source);
    }
    return keys;
}

// %1, %2 ... in the order of their numbers: a translation may move them, not drop or add one.
std::string placeholders(const QString& text) {
    static const QRegularExpression number(QStringLiteral("%[0-9]+"));
    QStringList found;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        found << it.next().captured();
    }
    found.sort();
    return found.join(u' ').toStdString();
}

// Access keys: an & before a character, && being a plain ampersand.
int accessKeys(const QString& text) {
    int n = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            n += text[i + 1] == u'&' ? 0 : 1;
            ++i;
        }
    }
    return n;
}

QChar accessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&' && text[i + 1] != u'&') {
            return text[i + 1].toLower();
        }
    }
    return {};
}

// Takes away every translator installTranslations put on the application.
void removeTranslations() {
    qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
}

QString sourceDir() {
    return qEnvironmentVariable("LSG_SOURCE_DIR");
}

TEST(Translations, EveryTextOfTheProgramIsTranslatedInEveryLanguage) {
    ASSERT_FALSE(sourceDir().isEmpty());
    // The texts the code has today, gathered as a new language would get them.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess lupdate;
    lupdate.start(QStringLiteral("bash"),
                  {sourceDir() + QStringLiteral("/scripts/update-translations"),
                   QStringLiteral("--into"), dir.path(), QStringLiteral("en")});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const QList<Message> fresh = readTs(dir.filePath(QStringLiteral("loadspire_en.ts")));
    ASSERT_GT(fresh.size(), 50);

    const QStringList langs = languages();
    ASSERT_GE(langs.size(), 4);
    for (const QString& lang : langs) {
        SCOPED_TRACE(lang.toStdString());
        const QList<Message> committed =
            readTs(sourceDir() + QStringLiteral("/translations/loadspire_%1.ts").arg(lang));
        const QSet<QString> have = keysOf(committed);
        const QSet<QString> want = keysOf(fresh);
        EXPECT_TRUE(have == want)
            << "translations/loadspire_" << lang.toStdString()
            << ".ts is out of date: run scripts/update-translations and translate"
            << "\n  missing: " << QStringList((want - have).values()).join(u'\n').toStdString()
            << "\n  gone from the code: "
            << QStringList((have - want).values()).join(u'\n').toStdString();

        QTranslator translator;
        ASSERT_TRUE(translator.load(QStringLiteral(":/i18n/loadspire_%1.qm").arg(lang)));
        QCoreApplication::installTranslator(&translator);
        for (const Message& m : committed) {
            SCOPED_TRACE((m.context + u' ' + m.source).toStdString());
            EXPECT_TRUE(m.finished);
            EXPECT_FALSE(m.translation.isEmpty());
            EXPECT_EQ(placeholders(m.translation), placeholders(m.source));
            EXPECT_EQ(accessKeys(m.translation), accessKeys(m.source));
            EXPECT_LE(accessKeys(m.translation), 1);
            // The embedded catalogue is the one in the tree.
            EXPECT_EQ(QCoreApplication::translate(m.context.toUtf8().constData(),
                                                  m.source.toUtf8().constData()),
                      m.translation);
        }
        QCoreApplication::removeTranslator(&translator);
    }
}

TEST(Translations, ChosenFromTheUsersLanguagesWithEnglishAndUnknownOnesLeftAlone) {
    const struct {
        QLocale locale;
        QString language;  // what is installed; empty: nothing, the texts stay English
    } cases[] = {
        {QLocale(QStringLiteral("de_DE")), QStringLiteral("de")},
        {QLocale(QStringLiteral("de_AT")), QStringLiteral("de")},
        {QLocale(QStringLiteral("fr_CA")), QStringLiteral("fr")},
        {QLocale(QStringLiteral("es_MX")), QStringLiteral("es")},
        {QLocale(QStringLiteral("tr_TR")), QStringLiteral("tr")},
        {QLocale(QStringLiteral("en_US")), QString()},
        {QLocale(QStringLiteral("en_GB")), QString()},
        {QLocale::c(), QString()},
        {QLocale(QStringLiteral("ja_JP")), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const InstalledTranslations installed = installTranslations(*qApp, c.locale);
        EXPECT_EQ(installed.language, c.language);
        if (c.language.isEmpty()) {
            EXPECT_TRUE(qApp->findChildren<QTranslator*>().isEmpty());
            EXPECT_EQ(tickCaption(8, 37), "Average CPU Usage: 37% (8 processors)");
        }
        removeTranslations();
    }
}

TEST(Translations, TheTrayMenuReadsInTheLanguageAndItsAccessKeysDoNotCollide) {
    for (const QString& lang : languages() + QStringList{QStringLiteral("en")}) {
        SCOPED_TRACE(lang.toStdString());
        installTranslations(*qApp, QLocale(lang));
        TrayMenu tray;
        QStringList texts;
        QList<QChar> keys;
        for (QAction* action : tray.PopupMenu1()->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            texts << action->text();
            if (const QChar key = accessKey(action->text()); !key.isNull()) {
                EXPECT_FALSE(keys.contains(key)) << action->text().toStdString();
                keys << key;
            }
        }
        // Every item that has a key in English has one in each language.
        EXPECT_EQ(keys.size(), 6);
        if (lang == u"de") {
            EXPECT_EQ(texts,
                      (QStringList{"&Fenster anzeigen", "Einstellungen...", "Immer im Vordergrund",
                                   "Alle Prozessoren anzeigen", "&Live-Symbol im Infobereich",
                                   "Update-Benachrichtigungen", "Beim &Anmelden starten",
                                   "Online-Hilfe", "Feedback &senden...", "Ü&ber...", "B&eenden"}));
            EXPECT_EQ(tickCaption(1, 5), "CPU-Auslastung: 5% (1 Prozessor)");
            EXPECT_EQ(sampleErrorText(adCpuUsage::kIndexError),
                      "CPU-Index außerhalb des gültigen Bereichs");
        }
        if (lang == u"en") {
            EXPECT_EQ(texts.first(), "Show &Form");
            EXPECT_EQ(texts.last(), "E&xit");
            EXPECT_EQ(sampleErrorText(adCpuUsage::kIndexError), "CPU index out of bounds");
        }
        removeTranslations();
    }
}

// The feedback a German user sends and the update check of a German session carry the same
// bytes as in English: the prefixes, appname and field names are never translated.
TEST(Translations, WhatGoesToTheServerStaysEnglishUnderAGermanTranslation) {
    using lsg::test::sharedServer;
    ASSERT_EQ(installTranslations(*qApp, QLocale(QStringLiteral("de_DE"))).language, "de");

    lsg::test::Behaviour ok;
    ok.body = QByteArrayLiteral("OK");
    sharedServer().configure(QStringLiteral("/php/feedback.php"), ok);
    lsg::test::Behaviour update;
    update.body =
        QByteArrayLiteral("<version>4.4</version>\r\n<url>https://example.invalid/dl/</url>\r\n");
    sharedServer().configure(QStringLiteral("/php/check2.php"), update);
    sharedServer().clearRequests();

    AppIdentity identity;
    identity.CompanyName = QStringLiteral("KALDERN");
    identity.ProductName = QStringLiteral("Loadspire Gauge");
    identity.AppCaption = QStringLiteral("KALDERN - Loadspire Gauge");
    identity.AppVersion = QStringLiteral("1.7");
    QList<ui::MessageRecord> boxes;
    ui::MessageHooks hooks;
    hooks.onMessage = [&boxes](const ui::MessageRecord& r) { boxes << r; };

    QPointer<feedback::TFeedbackForm> form = new feedback::TFeedbackForm(identity);
    feedback::SendConfig send;
    send.host = QStringLiteral("127.0.0.1:") + QString::number(sharedServer().dualPort());
    send.timeoutMs = 20000;
    send.options.caFile = sharedServer().caFile();
    form->setSendConfig(send);
    form->setMessages(ui::Messages(hooks));
    form->show();
    auto* like = form->findChild<feedback::ChoicePanel*>(QStringLiteral("Panel4"));
    ASSERT_NE(like, nullptr);
    like->setSelected(true);
    auto* sendButton = form->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_NE(sendButton, nullptr);
    EXPECT_EQ(sendButton->text(), "Senden");
    sendButton->click();
    {
        const lsg::testing::Deadline deadline("a feedback send", std::chrono::seconds(60));
        while (!form.isNull() && form->isSending()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
    }
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, "Erfolg");

    check::CheckConfig check;
    QTemporaryDir store;
    ASSERT_TRUE(store.isValid());
    check.appCaption = identity.AppCaption;
    check.appVersion = QStringLiteral("4.3");
    check.serverAddress = lsg::test::TestServer::address(sharedServer().dualPort(),
                                                         QStringLiteral("/php/check2.php"));
    check.storeBaseFolder = store.path();
    check.timeoutMs = 20000;
    check.caFile = sharedServer().caFile();
    check.today = [] { return QDate(2026, 12, 9); };
    check.shortDate = [](const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); };
    check.osDescription = [] { return QStringLiteral("Debian 12"); };
    check.localeCode = [] { return QStringLiteral("de-DE"); };
    check.machineId = [] { return QStringLiteral("0123456789abcdef0123456789abcdef"); };
    check::CheckState state;
    check::TChecker::Execute(state, check);
    EXPECT_FALSE(state.results.CheckFailed) << state.results.failureText.toStdString();

    QList<QByteArray> bodies;
    for (const auto& r : sharedServer().requests()) {
        bodies << r.path.toUtf8() + u' ' + r.body;
    }
    ASSERT_EQ(bodies.size(), 2);
    EXPECT_EQ(bodies[0],
              "/php/feedback.php cmd=feedback&appname=KALDERN+-+Loadspire+Gauge&version=1.7"
              "&feedback=I+like+it%21%0D");
    EXPECT_TRUE(
        bodies[1].startsWith("/php/check2.php cmd=check&appname=KALDERN+-+Loadspire+Gauge"
                             "&version=4.3&os=Debian+12&local=de-DE&guid="))
        << bodies[1].toStdString();
    delete form.data();
    removeTranslations();
}

}  // namespace
