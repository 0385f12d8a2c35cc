#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the application. Qt's own options (-platform,
// -style, …) are gone from the list by the time it is read.
class LaunchOptions final
{
public:
    enum class Action { run, help, version, bad };

    // `arguments` as QCoreApplication gives them, the program first.
    static LaunchOptions parse(const QStringList &arguments);
    // Whether the raw command line asks only for help or the version, which
    // must work before any window system is opened.
    static LaunchOptions early(int argc, char **argv);

    static QString helpText();
    static QString versionText();

    Action action() const { return m_action; }
    bool quickSearch() const { return m_quickSearch; }
    // One line for standard error when the action is `bad`.
    const QString &problem() const { return m_problem; }

private:
    Action m_action = Action::run;
    bool m_quickSearch = false;
    QString m_problem;
};
