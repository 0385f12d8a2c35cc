// The menu commands, pressed through their shortcuts on a real window.
#include "commands.h"
#include "settings/settingswindow.h"

#include "library/library.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>

namespace {

class MenuCommands : public testing::Test
{
protected:
    MenuCommands()
        : m_library(environment()),
          m_trasher(Trasher::Environment{&m_library, &m_state, {}, [](int ms, std::function<void()> action) {
                                             QTimer::singleShot(ms, action);
                                         }}),
          m_commands(m_window.menuBar(), m_state, m_library, m_trasher)
    {
        m_window.setObjectName(QStringLiteral("main"));
        m_window.resize(800, 600);
        m_window.show();
        m_window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    Library::Environment environment()
    {
        Library::Environment env;
        env.home = "/home/ana";
        env.demoRoots = Library::Paths{};
        env.appDirs = [] { return Library::Paths{}; };
        env.now = [] { return Millis(1'750'000'000'000); };
        env.later = [](int ms, std::function<void()> action) { QTimer::singleShot(ms, action); };
        env.scan = [this](const Library::Paths &, const Library::Paths &) {
            ++m_scans;
            return QList<FileItem>{};
        };
        env.folderSize = [](const QByteArray &) { return qint64(0); };
        env.findDuplicates = [](const QList<FileItem> &, const QByteArray &) { return QList<DupGroup>{}; };
        env.cleanupCards = [](const QList<FileItem> &, const QList<DupGroup> &, Millis, const QByteArray &) {
            return QList<CleanupCard>{};
        };
        env.startTextRecognition = [](const QList<FileItem> &) {};
        env.watchFolders = false;
        return env;
    }

    void press(const QKeySequence &keys)
    {
        QTest::keySequence(&m_window, keys);
    }

    std::atomic<int> m_scans = 0;
    AppState m_state;
    QMainWindow m_window;
    Library m_library;
    Trasher m_trasher;
    Commands m_commands;
};

TEST_F(MenuCommands, MenusAreFileEditViewGo)
{
    QStringList titles;
    for (QAction *menu : m_window.menuBar()->actions())
        titles.append(menu->text());
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Go"}));
    QStringList file;
    for (QAction *item : m_window.menuBar()->actions().first()->menu()->actions())
        file.append(item->text());
    EXPECT_EQ(file, QStringList{"Quit"});
    EXPECT_TRUE(m_commands.quickSearch()->shortcuts().isEmpty());
}

TEST_F(MenuCommands, ShortcutsChangeTheWindowState)
{
    const struct
    {
        const char *keys;
        std::function<bool(const AppState &)> holds;
    } cases[] = {
        {"Ctrl+2", [](const AppState &s) { return s.listMode(); }},
        {"Ctrl+1", [](const AppState &s) { return !s.listMode(); }},
        {"Ctrl+=", [](const AppState &s) { return s.cardSize() == 196; }},
        {"Ctrl++", [](const AppState &s) { return s.cardSize() == 220; }},
        {"Ctrl+-", [](const AppState &s) { return s.cardSize() == 196; }},
        {"Ctrl+I", [](const AppState &s) { return s.showInspector(); }},
        {"Ctrl+I", [](const AppState &s) { return !s.showInspector(); }},
        {"Ctrl+F", [](const AppState &s) { return s.focusSearch() == 1; }},
        {"Ctrl+Shift+E", [](const AppState &s) { return s.route() == Route::recents(); }},
        {"Ctrl+Shift+K", [](const AppState &s) { return s.route() == Route::cleanup(); }},
        {"Ctrl+Shift+J", [](const AppState &s) { return s.route() == Route::sources(); }},
        {"Ctrl+Shift+H", [](const AppState &s) { return s.route() == Route::home(); }},
    };
    for (const auto &c : cases) {
        press(QKeySequence(QString::fromLatin1(c.keys)));
        EXPECT_TRUE(c.holds(m_state)) << c.keys;
    }
}

TEST_F(MenuCommands, CardsStopAtTheLargestSize)
{
    for (int i = 0; i < 6; ++i)
        press(QKeySequence(QStringLiteral("Ctrl+=")));
    EXPECT_EQ(m_state.cardSize(), 300);
}

TEST_F(MenuCommands, GoingToDuplicatesClearsTheSearchAndSelection)
{
    m_state.setQuery(QStringLiteral("pdfs"));
    m_state.setSelection({"/home/ana/a.pdf"});
    press(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    EXPECT_EQ(m_state.route(), Route::duplicates());
    EXPECT_TRUE(m_state.query().isEmpty());
    EXPECT_TRUE(m_state.selection().isEmpty());
}

TEST_F(MenuCommands, CtrlZUndoesOnlyWhileTheToastOffersUndo)
{
    QAction *undo = m_commands.undo();
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_FALSE(undo->isEnabled());
    press(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_FALSE(m_trasher.message().has_value());

    m_trasher.show(QStringLiteral("Moved 2 items to the Trash"), true);
    EXPECT_TRUE(undo->isEnabled());
    press(QKeySequence(QStringLiteral("Ctrl+Z")));
    // The undo ran: the offer is gone and the message tells what came back.
    EXPECT_FALSE(m_trasher.canUndo());
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_NE(m_trasher.message(), std::optional<QString>(QStringLiteral("Moved 2 items to the Trash")));
}

TEST_F(MenuCommands, RefreshScansAgain)
{
    press(QKeySequence(QStringLiteral("Ctrl+R")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_scans.load() == 1; }));
}

} // namespace

namespace {

QAction *menuEntry(QMenuBar *bar, const QString &title)
{
    for (QAction *top : bar->actions())
        if (top->menu())
            for (QAction *entry : top->menu()->actions())
                if (entry->text() == title)
                    return entry;
    return nullptr;
}

// The settings window's list of shortcuts says what the menus show beside the same commands.
TEST_F(MenuCommands, SettingsListTheKeysTheMenusShow)
{
    const struct
    {
        const char *label;
        QStringList entries;
    } cases[] = {
        {"Search", {"Search"}},
        {"Copy text in images", {"Copy Text in Images"}},
        {"Grid / List", {"Grid", "List"}},
        {"Bigger / smaller cards", {"Bigger Cards", "Smaller Cards"}},
        {"Inspector", {"Inspector"}},
        {"Duplicates", {"Duplicates"}},
        {"Clean Up", {"Clean Up"}},
        {"Downloaded From", {"Downloaded From"}},
        {"Refresh", {"Refresh"}},
    };
    const QList<QPair<QString, QString>> listed = SettingsWindow::shortcuts();
    for (const auto &c : cases) {
        QStringList shown;
        for (const QString &title : c.entries) {
            QAction *entry = menuEntry(m_window.menuBar(), title);
            ASSERT_TRUE(entry) << title.toStdString();
            ASSERT_FALSE(entry->shortcuts().isEmpty()) << title.toStdString();
            // A menu shows its entry's first shortcut.
            shown.append(entry->shortcuts().first().toString(QKeySequence::NativeText));
        }
        const auto row = std::find_if(listed.begin(), listed.end(),
                                      [&](const auto &pair) { return pair.first == QLatin1String(c.label); });
        ASSERT_NE(row, listed.end()) << c.label;
        EXPECT_EQ(row->second, shown.join(QStringLiteral(" / "))) << c.label;
    }
}

} // namespace
