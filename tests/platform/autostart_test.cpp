// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
// Start at login through the XDG autostart folders: the Exec value, what counts as an entry
// that starts, and the user's entry beside a system one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/autostart.h"
#include "platform/exception.h"

using namespace lsg;
using lsg::platform::AutostartEntry;

namespace {

TEST(DesktopExecValue, QuotesAndEscapesOnlyWhatTheRulesReserve) {
    const struct {
        const char* program;
        const char* value;
    } cases[] = {
        {"/usr/libexec/loadspire/loadspire", "/usr/libexec/loadspire/loadspire"},
        {"/home/ann/Loadspire-1.7/loadspire", "/home/ann/Loadspire-1.7/loadspire"},
        {"/home/ann/My Programs/loadspire", "\"/home/ann/My Programs/loadspire\""},
        // Inside quotes ", `, $ and \ take a backslash; the value's own escape then doubles
        // every backslash.
        {"/opt/a\"b/loadspire", "\"/opt/a\\\\\"b/loadspire\""},
        {"/opt/$HOME/`x`/loadspire", "\"/opt/\\\\$HOME/\\\\`x\\\\`/loadspire\""},
        {"/opt/back\\slash/loadspire", "\"/opt/back\\\\\\\\slash/loadspire\""},
        {"/opt/it's/loadspire", "\"/opt/it's/loadspire\""},
        {"/opt/a;b&c|d/loadspire", "\"/opt/a;b&c|d/loadspire\""},
        // A % would start a field code, quoted or not.
        {"/opt/100%/loadspire", "/opt/100%%/loadspire"},
        {"/opt/1 00%/loadspire", "\"/opt/1 00%%/loadspire\""},
        {"/opt/line\nbreak/tab\there", "\"/opt/line\\nbreak/tab\\there\""},
        {"/opt/Zähler/loadspire", "/opt/Zähler/loadspire"},
        {"", "\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::desktopExecValue(QString::fromUtf8(c.program)),
                  QString::fromUtf8(c.value))
            << c.program;
    }
}

TEST(DesktopEntryStarts, HiddenAndTurnedOffEntriesStartNothing) {
    const struct {
        const char* text;
        bool starts;
    } cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=loadspire\n", true},
        {"[Desktop Entry]\r\nExec=loadspire\r\nHidden=false\r\n", true},
        {"[Desktop Entry]\nExec=loadspire\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=loadspire\nHidden = true\n", false},
        {"[Desktop Entry]\nExec=loadspire\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=loadspire\nX-GNOME-Autostart-enabled=true\n", true},
        // Keys of other groups, comments and localised keys are not the entry's.
        {"[Desktop Entry]\nExec=loadspire\n[Desktop Action off]\nHidden=true\n", true},
        {"# Hidden=true\n[Desktop Entry]\nExec=loadspire\n", true},
        {"[Desktop Entry]\nExec=loadspire\nHidden[de]=true\n", true},
        {"Exec=loadspire\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::desktopEntryStarts(QByteArray(c.text)), c.starts) << c.text;
    }
}

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& relative) const { return m_dir.path() + u'/' + relative; }
    AutostartEntry entry() const {
        return {QStringLiteral("loadspire.desktop"),
                {path(QStringLiteral("config/autostart")),
                 {path(QStringLiteral("xdg1/autostart")), path(QStringLiteral("xdg2/autostart"))}}};
    }
    void put(const QString& relative, const QByteArray& text) const {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path(relative)).absolutePath()));
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray userText() const {
        QFile file(path(QStringLiteral("config/autostart/loadspire.desktop")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    const QByteArray m_entry = "[Desktop Entry]\nType=Application\nExec=/x/loadspire\n";
    const QByteArray m_hidden = m_entry + "Hidden=true\n";
    QTemporaryDir m_dir;
};

TEST_F(AutostartTest, TheUsersEntryAppearsAndGoes) {
    AutostartEntry e = entry();
    EXPECT_FALSE(e.isEnabled());
    // The folders do not exist yet: they are made, private.
    e.enable(m_entry);
    EXPECT_TRUE(e.isEnabled());
    EXPECT_EQ(userText(), m_entry);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("config"))).permissions().toInt() & 0x0077, 0);
    // Enabling again rewrites the same one entry.
    e.enable(m_entry);
    EXPECT_EQ(QDir(path(QStringLiteral("config/autostart"))).entryList(QDir::Files),
              QStringList{QStringLiteral("loadspire.desktop")});
    e.disable(m_hidden);
    EXPECT_FALSE(e.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("config/autostart/loadspire.desktop"))));
    // Nothing left to remove is no error.
    e.disable(m_hidden);
}

// An entry copied by hand from the menu entry (as the README once told) is the same name: it
// reads as on, and turning off removes it rather than leaving it beside a second one.
TEST_F(AutostartTest, AnEntryCopiedByHandIsTheSameOne) {
    put(QStringLiteral("config/autostart/loadspire.desktop"),
        "[Desktop Entry]\nType=Application\nName=Loadspire Gauge\nExec=loadspire\n");
    AutostartEntry e = entry();
    EXPECT_TRUE(e.isEnabled());
    e.disable(m_hidden);
    EXPECT_FALSE(e.isEnabled());
    EXPECT_EQ(userText(), QByteArray("(none)"));
}

// A system entry of the name starts the program already: on means no user entry of ours beside
// it, off means a user entry that hides it. Only the first system folder that has one counts.
TEST_F(AutostartTest, ASystemEntryIsHiddenRatherThanDoubled) {
    put(QStringLiteral("xdg2/autostart/loadspire.desktop"), "[Desktop Entry]\nHidden=true\n");
    put(QStringLiteral("xdg1/autostart/loadspire.desktop"), "[Desktop Entry]\nExec=loadspire\n");
    AutostartEntry e = entry();
    EXPECT_TRUE(e.isEnabled());

    e.disable(m_hidden);
    EXPECT_FALSE(e.isEnabled());
    EXPECT_EQ(userText(), m_hidden);

    e.enable(m_entry);
    EXPECT_TRUE(e.isEnabled());
    EXPECT_EQ(userText(), QByteArray("(none)"));

    // A system entry that starts nothing is overridden by the user's own.
    put(QStringLiteral("xdg1/autostart/loadspire.desktop"), "[Desktop Entry]\nHidden=true\n");
    EXPECT_FALSE(e.isEnabled());
    e.enable(m_entry);
    EXPECT_TRUE(e.isEnabled());
    EXPECT_EQ(userText(), m_entry);
}

// A write or removal that fails says which file and why, and changes nothing.
TEST_F(AutostartTest, FailuresAreReportedAndLeaveTheStateAlone) {
    const auto messageOf = [](auto call) {
        try {
            call();
        } catch (const Exception& e) {
            return e.message();
        }
        return QStringLiteral("no error");
    };
    const QString file = path(QStringLiteral("config/autostart/loadspire.desktop"));

    // A folder where the entry would go: neither written nor removed (root included).
    ASSERT_TRUE(QDir().mkpath(file));
    AutostartEntry e = entry();
    EXPECT_FALSE(e.isEnabled());
    EXPECT_TRUE(messageOf([&] {
                    e.enable(m_entry);
                }).startsWith(QStringLiteral("Unable to write to ") + file + u':'));
    EXPECT_EQ(messageOf([&] { e.disable(m_hidden); }),
              QStringLiteral("Unable to remove ") + file + QStringLiteral(": Is a directory"));
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_FALSE(e.isEnabled());

    // The autostart folder's place taken by a file.
    QTemporaryDir other;
    QFile blocker(other.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AutostartEntry blocked(QStringLiteral("loadspire.desktop"),
                           {other.path() + QStringLiteral("/autostart"), {}});
    EXPECT_TRUE(messageOf([&] { blocked.enable(m_entry); })
                    .startsWith(QStringLiteral("Unable to write to ") + other.path() +
                                QStringLiteral("/autostart/loadspire.desktop: ")));
    EXPECT_FALSE(blocked.isEnabled());

    // No home folder at all.
    AutostartEntry homeless(QStringLiteral("loadspire.desktop"), {});
    EXPECT_EQ(messageOf([&] { homeless.enable(m_entry); }),
              QStringLiteral("Unable to write to the autostart folder: no home folder"));
}

TEST(AutostartFolders, FollowTheXdgVariables) {
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    const QByteArray dirs = qgetenv("XDG_CONFIG_DIRS");
    const QByteArray userHome = qgetenv("HOME");
    const struct {
        const char* configHome;
        const char* configDirs;
        QString user;
        QStringList system;
    } cases[] = {
        {"/tmp/cfg",
         "/etc/one:/etc/two",
         QStringLiteral("/tmp/cfg/autostart"),
         {QStringLiteral("/etc/one/autostart"), QStringLiteral("/etc/two/autostart")}},
        // Relative values are ignored, an empty list means /etc/xdg.
        {"relative/cfg",
         "",
         QStringLiteral("/home/test/.config/autostart"),
         {QStringLiteral("/etc/xdg/autostart")}},
        {"",
         "relative:/etc/three:",
         QStringLiteral("/home/test/.config/autostart"),
         {QStringLiteral("/etc/three/autostart")}},
    };
    qputenv("HOME", "/home/test");
    for (const auto& c : cases) {
        qputenv("XDG_CONFIG_HOME", c.configHome);
        qputenv("XDG_CONFIG_DIRS", c.configDirs);
        const AutostartEntry::Folders f = AutostartEntry::sessionFolders();
        EXPECT_EQ(f.user, c.user) << c.configHome;
        EXPECT_EQ(f.system, c.system) << c.configDirs;
    }
    qputenv("HOME", userHome);
    home.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", home);
    dirs.isNull() ? qunsetenv("XDG_CONFIG_DIRS") : qputenv("XDG_CONFIG_DIRS", dirs);
}

}  // namespace
