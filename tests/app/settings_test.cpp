// The settings window and the autostart entry behind its log-in switch.
#include "autostart.h"
#include "settings/settingswindow.h"
#include "settings/toggleswitch.h"
#include "tempdir.h"
#include "theme/theme.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// XDG_CONFIG_HOME pointed at a folder of the test's own for as long as it lives.
class ConfigHome : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = qgetenv("XDG_CONFIG_HOME");
        m_wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        point(m_tree.path("config"));
    }
    void TearDown() override
    {
        if (m_wasSet)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    void point(const QByteArray &dir) { qputenv("XDG_CONFIG_HOME", dir); }
    QByteArray entry() const
    {
        QFile file(Autostart::entryPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempTree m_tree;
    QByteArray m_saved;
    bool m_wasSet = false;
};

TEST_F(ConfigHome, EntryIsWrittenAndRemovedUnderTheConfigHome)
{
    EXPECT_EQ(Autostart::entryPath(), QFile::decodeName(m_tree.path("config")) + "/autostart/tovalo.desktop");
    EXPECT_FALSE(Autostart::isEnabled());
    QString why;
    ASSERT_TRUE(Autostart::setEnabled(true, &why)) << why.toStdString();
    EXPECT_TRUE(Autostart::isEnabled());
    const QByteArray text = entry();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=" + QFile::encodeName(QCoreApplication::applicationFilePath()) + "\n"))
        << text.toStdString();
    ASSERT_TRUE(Autostart::setEnabled(false));
    EXPECT_FALSE(QFile::exists(Autostart::entryPath()));
    EXPECT_FALSE(Autostart::isEnabled());
    // Switching off what is off is no failure.
    EXPECT_TRUE(Autostart::setEnabled(false));
}

TEST_F(ConfigHome, EntriesSwitchedOffElsewhereCountAsOff)
{
    const struct
    {
        const char *text;
        bool enabled;
    } cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=tovalo\n", true},
        {"[Desktop Entry]\nExec=tovalo\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=tovalo\nHidden = True\n", false},
        {"[Desktop Entry]\nExec=tovalo\nHidden=false\n", true},
        {"[Desktop Entry]\nExec=tovalo\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=tovalo\n[Desktop Action quit]\nHidden=true\n", true},
    };
    for (const auto &c : cases) {
        m_tree.file("config/autostart/tovalo.desktop", c.text);
        EXPECT_EQ(Autostart::isEnabled(), c.enabled) << c.text;
    }
}

TEST(Autostart, ProgramPathsAreQuotedAsDesktopEntriesWantThem)
{
    const struct
    {
        const char *program;
        const char *exec;
    } cases[] = {
        {"/usr/bin/tovalo", "Exec=/usr/bin/tovalo\n"},
        {"/opt/my apps/tovalo", "Exec=\"/opt/my apps/tovalo\"\n"},
        {"/opt/a$b/tovalo", "Exec=\"/opt/a\\\\$b/tovalo\"\n"},
        {"/opt/say \"hi\"/tovalo", "Exec=\"/opt/say \\\\\"hi\\\\\"/tovalo\"\n"},
        {"/opt/100%/tovalo", "Exec=/opt/100%%/tovalo\n"},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(Autostart::entryText(QString::fromUtf8(c.program)).contains(c.exec))
            << Autostart::entryText(QString::fromUtf8(c.program)).toStdString();
}

TEST_F(ConfigHome, RefusedWriteLeavesTheSwitchOff)
{
    // A file where the configuration folder should be: nothing can be written under it.
    point(m_tree.file("not-a-folder"));
    QString why;
    EXPECT_FALSE(Autostart::setEnabled(true, &why));
    EXPECT_FALSE(why.isEmpty());

    QSettings settings(QFile::decodeName(m_tree.path("settings.ini")), QSettings::IniFormat);
    SettingsWindow window(&settings, SettingsWindow::LoginItem::autostart());
    ASSERT_FALSE(window.atLoginSwitch()->isChecked());
    window.atLoginSwitch()->click();
    EXPECT_FALSE(window.atLoginSwitch()->isChecked());
}

TEST_F(ConfigHome, LogInSwitchWritesTheEntry)
{
    QSettings settings(QFile::decodeName(m_tree.path("settings.ini")), QSettings::IniFormat);
    SettingsWindow window(&settings, SettingsWindow::LoginItem::autostart());
    window.atLoginSwitch()->click();
    EXPECT_TRUE(window.atLoginSwitch()->isChecked());
    EXPECT_TRUE(Autostart::isEnabled());
    window.atLoginSwitch()->click();
    EXPECT_FALSE(Autostart::isEnabled());
}

TEST(SettingsWindow, SwitchShowsWhatTheSystemHoldsAfterARefusal)
{
    TempTree tree;
    QSettings settings(QFile::decodeName(tree.path("settings.ini")), QSettings::IniFormat);
    // A session that keeps the item registered whatever is asked.
    SettingsWindow window(&settings, {[] { return true; }, [](bool) { return false; }});
    ASSERT_TRUE(window.atLoginSwitch()->isChecked());
    window.atLoginSwitch()->click();
    EXPECT_TRUE(window.atLoginSwitch()->isChecked());
}

TEST(SettingsWindow, TrayListSettingDefaultsOnAndIsStored)
{
    TempTree tree;
    QSettings settings(QFile::decodeName(tree.path("settings.ini")), QSettings::IniFormat);
    SettingsWindow window(&settings, {[] { return false; }, [](bool) { return true; }});
    QSignalSpy changed(&window, &SettingsWindow::showMenuBarChanged);
    EXPECT_TRUE(window.showMenuBarSwitch()->isChecked());
    window.showMenuBarSwitch()->click();
    EXPECT_EQ(settings.value("showMenuBar"), QVariant(false));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0), QVariant(false));

    SettingsWindow again(&settings, {[] { return false; }, [](bool) { return true; }});
    EXPECT_FALSE(again.showMenuBarSwitch()->isChecked());
}

TEST(SettingsWindow, ListsEveryShortcutWithItsKeysInTheMonospacedFont)
{
    TempTree tree;
    QSettings settings(QFile::decodeName(tree.path("settings.ini")), QSettings::IniFormat);
    SettingsWindow window(&settings, {[] { return false; }, [](bool) { return true; }});
    EXPECT_EQ(window.size(), QSize(460, 720));
    const QList<QLabel *> labels = window.findChildren<QLabel *>();
    const auto shown = [&](const QString &text) -> QLabel * {
        for (QLabel *label : labels)
            if (label->text() == text)
                return label;
        return nullptr;
    };
    const QList<QPair<QString, QString>> rows = SettingsWindow::shortcuts();
    ASSERT_EQ(rows.size(), 14);
    for (const auto &[name, keys] : rows) {
        EXPECT_TRUE(shown(name)) << name.toStdString();
        QLabel *combo = shown(keys);
        ASSERT_TRUE(combo) << keys.toStdString();
        EXPECT_DOUBLE_EQ(combo->font().pointSizeF(), Theme::font(12).pointSizeF()) << keys.toStdString();
        EXPECT_EQ(combo->font().weight(), QFont::Medium);
        EXPECT_TRUE(combo->font().family().contains("Mono")) << combo->font().family().toStdString();
        // Keys are written the Linux way.
        EXPECT_FALSE(keys.contains(QChar(0x2318))) << keys.toStdString();
    }
    for (const char *heading : {"General", "Shortcuts", "Privacy"})
        EXPECT_TRUE(shown(QString::fromLatin1(heading))) << heading;
    EXPECT_TRUE(shown(SettingsWindow::privacyText()));
    EXPECT_TRUE(SettingsWindow::privacyText().startsWith("Your files never leave this computer."));
}

} // namespace

namespace {

// The keyboard starts on the first switch, Tab walks the switches in the
// order they are read and then the form, Space or Return flips the one it is
// on, and Escape closes the window.
TEST(SettingsWindow, TheKeyboardWalksEverySwitchAndEscapeClosesIt)
{
    TempTree tree;
    QSettings settings(QFile::decodeName(tree.path("settings.ini")), QSettings::IniFormat);
    SettingsWindow window(&settings, {[] { return false; }, [](bool) { return true; }});
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tovalo Settings"));
    window.indexPauseSwitch()->setEnabled(true);
    EXPECT_EQ(QApplication::focusWidget(), window.showMenuBarSwitch());
    for (QWidget *next : {static_cast<QWidget *>(window.atLoginSwitch()), static_cast<QWidget *>(window.indexSwitch()),
                          static_cast<QWidget *>(window.indexPauseSwitch())}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(QApplication::focusWidget()->accessibleName(), QStringLiteral("Settings"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window.showMenuBarSwitch());

    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        const bool was = window.showMenuBarSwitch()->isChecked();
        QTest::keyClick(window.showMenuBarSwitch(), key);
        EXPECT_NE(window.showMenuBarSwitch()->isChecked(), was) << key;
        EXPECT_EQ(settings.value("showMenuBar"), QVariant(!was)) << key;
    }

    QTest::keyClick(window.showMenuBarSwitch(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST(SettingsWindow, OpensAsTallAsItsFormWhereTheScreenAllows)
{
    const struct
    {
        int content;
        int available;
        int height;
    } cases[] = {
        {885, 1040, 885},  // all of it, Privacy included
        {885, 760, 680},   // a short screen: the form scrolls
        {600, 0, 600},     // no screen known yet
        {885, 300, SettingsWindow::kMinHeight},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SettingsWindow::fittedHeight(c.content, c.available), c.height) << c.content << " " << c.available;
}

} // namespace
