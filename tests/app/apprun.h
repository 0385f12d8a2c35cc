#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// A private desktop session for the application under test: its own HOME and
// XDG folders (so settings, the Trash and the single-instance socket are its
// own), the demonstration home as its catalog, and no display.
class Session final
{
public:
    Session();

    QString dir(const QString &name) const;
    QString runtimeDir() const { return dir(QStringLiteral("run")); }
    QString dataHome() const { return dir(QStringLiteral("data")); }
    // The environment with `vars` added; a null value removes a variable.
    QProcessEnvironment environment(const QMap<QString, QString> &vars = {}) const;

private:
    QTemporaryDir m_root;
};

// The demonstration home (tovalo-demohome --small), made once per test program.
const QString &demoHome();

// The application running in the background, its output read line by line.
class AppProcess final
{
public:
    explicit AppProcess(const QProcessEnvironment &env);
    ~AppProcess();

    // The first output line that starts with `prefix`, waiting for it.
    std::optional<QByteArray> line(const QByteArray &prefix, int timeoutMs = 60000);
    QList<QByteArray> lines();
    bool finish(int timeoutMs = 60000);
    int exitCode() const;
    bool running() const;
    QByteArray err();

private:
    void read();

    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
};

// A virtual X server on a display of its own, for runs that need real windows.
class Xvfb final
{
public:
    // Empty when Xvfb is not installed.
    static QString program();

    Xvfb();
    ~Xvfb();
    // ":N" once the server accepts clients; empty when it did not start.
    const QString &display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};
