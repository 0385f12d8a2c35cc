#pragma once

#include <QApplication>

#include <memory>

class AppDelegate;
class SingleInstance;

// The application entry: the Qt application object, one instance per user
// session, and the delegate that starts everything. Keeps running when its
// last window closes; only Quit ends it.
class TovaloApp final
{
public:
    TovaloApp(int &argc, char **argv);
    ~TovaloApp();

    // The exit status: 0 also when an instance already running took the launch.
    int run();

    // Neither X11 nor Wayland is reachable and no platform was chosen: Qt
    // would abort, so the launch is refused with a message instead.
    static bool displayMissing();

    AppDelegate *delegate() const { return m_delegate.get(); }

private:
    QApplication m_app;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<AppDelegate> m_delegate;
};
