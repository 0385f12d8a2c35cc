#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <chrono>

// An X server of our own on a display no one uses, for tests that need real
// key events and windows; gone with the object.
class XvfbDisplay final
{
public:
    XvfbDisplay();
    ~XvfbDisplay();
    // ":93", or empty when the server did not come up.
    const QString &name() const { return m_name; }
    static bool available();

private:
    QProcess m_server;
    QString m_name;
};

// A program under test whose standard output is read line by line.
class ChildProgram final
{
public:
    ChildProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &env);
    ~ChildProgram();
    // Waits, spinning the event loop, until a line equal to `line` comes
    // after those already consumed; consumes up to it.
    bool waitForLine(const QString &line, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void write(const QByteArray &text);
    // Everything read so far, for failure messages.
    QString output() const { return m_lines.join(u'\n'); }

private:
    void readLines();

    QProcess m_process;
    QByteArray m_partial;
    QStringList m_lines;
    qsizetype m_consumed = 0;
};

// Runs `xdotool` with `arguments` on `display` and waits for it.
bool xdotool(const QString &display, const QStringList &arguments);
