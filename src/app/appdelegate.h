#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class Commands;
class KeyFilter;
class MainWindow;
class SettingsWindow;

// What runs once the application object exists: the first scan, the keys,
// the main window with its menus and the launch modes; and bringing the
// main window back when a second launch or the desktop asks for it.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // The start-up sequence; main thread, once.
    void start();

    // Raises and activates the window named "main"; when there is none, the
    // first ordinary window. Shows it again after it was closed.
    static void showMainWindow();
    void showSettings();

    MainWindow *mainWindow() const { return m_window.get(); }
    Commands *commands() const { return m_commands; }
    KeyFilter *keyFilter() const { return m_keys; }
    // The "showMenuBar" setting, true until the user switches it off.
    static bool showMenuBar();

signals:
    // The user switched "showMenuBar" in the settings window.
    void showMenuBarChanged(bool show);

private:
    std::unique_ptr<MainWindow> m_window;
    Commands *m_commands = nullptr;
    KeyFilter *m_keys = nullptr;
    QPointer<SettingsWindow> m_settings;
};
