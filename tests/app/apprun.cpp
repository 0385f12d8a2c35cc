#include "apprun.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char *const kFolders[] = {"home", "config", "data", "cache", "run"};

} // namespace

Session::Session()
{
    for (const char *name : kFolders)
        QDir().mkpath(dir(QString::fromLatin1(name)));
    // The runtime directory is private to its user, as the XDG base directory rules ask.
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString Session::dir(const QString &name) const
{
    return m_root.path() + u'/' + name;
}

QProcessEnvironment Session::environment(const QMap<QString, QString> &vars) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys())
        if (key.startsWith(QLatin1String("TOVALO_")) || key.startsWith(QLatin1String("XDG_")))
            env.remove(key);
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromLatin1(name));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", dir("home"));
    env.insert("XDG_CONFIG_HOME", dir("config"));
    env.insert("XDG_DATA_HOME", dir("data"));
    env.insert("XDG_CACHE_HOME", dir("cache"));
    env.insert("XDG_RUNTIME_DIR", runtimeDir());
    env.insert("TZ", "Europe/Berlin");
    env.insert("LC_ALL", "en_US.UTF-8");
    // Text recognition on one thread: the machine's two cores stay with the window.
    env.insert("OMP_THREAD_LIMIT", "1");
    const QString &demo = demoHome();
    env.insert("TOVALO_DEMO_HOME", demo);
    env.insert("TOVALO_ROOTS", QStringList{demo + "/Desktop", demo + "/Documents", demo + "/Downloads",
                                           demo + "/Pictures", demo + "/Videos", demo + "/Music"}
                                   .join(u':'));
    env.insert("TOVALO_APPS", demo + "/Applications");
    env.insert("TOVALO_DEMO_DATES", "1");
    for (auto it = vars.cbegin(); it != vars.cend(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    return env;
}

const QString &demoHome()
{
    static QTemporaryDir dir;
    static const QString home = [] {
        const QString out = dir.path() + QStringLiteral("/demo");
        QProcess tool;
        tool.start(QStringLiteral(TOVALO_DEMOHOME), {QStringLiteral("--out"), out, QStringLiteral("--small")});
        if (!tool.waitForFinished(180000) || tool.exitCode() != 0)
            qFatal("tovalo-demohome failed: %s", tool.readAllStandardError().constData());
        return out;
    }();
    return home;
}

AppProcess::AppProcess(const QProcessEnvironment &env)
{
    m_process.setProcessEnvironment(env);
    m_process.start(QStringLiteral(TOVALO_APP), {});
}

AppProcess::~AppProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void AppProcess::read()
{
    m_out += m_process.readAllStandardOutput();
    m_err += m_process.readAllStandardError();
}

std::optional<QByteArray> AppProcess::line(const QByteArray &prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        read();
        for (const QByteArray &l : lines())
            if (l.startsWith(prefix))
                return l;
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return std::nullopt;
        m_process.waitForReadyRead(int(std::min<qint64>(200, std::max<qint64>(1, deadline.remainingTime()))));
    }
}

QList<QByteArray> AppProcess::lines()
{
    read();
    QList<QByteArray> out;
    // Only finished lines: a line still being written is not one yet.
    const qsizetype end = m_out.lastIndexOf('\n');
    if (end < 0)
        return out;
    for (const QByteArray &l : m_out.left(end).split('\n'))
        out.append(l);
    return out;
}

bool AppProcess::finish(int timeoutMs)
{
    const bool done = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
    read();
    return done;
}

int AppProcess::exitCode() const
{
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

bool AppProcess::running() const
{
    return m_process.state() != QProcess::NotRunning;
}

QByteArray AppProcess::err()
{
    read();
    return m_err;
}

QString Xvfb::program()
{
    return QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
}

Xvfb::Xvfb()
{
    if (program().isEmpty())
        return;
    // The server picks a free display itself and writes its number once it accepts clients.
    m_server.start(program(), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                               QStringLiteral("0"), QStringLiteral("1600x1000x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
    QByteArray out;
    QDeadlineTimer deadline(20000);
    while (!out.contains('\n') && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning) {
        m_server.waitForReadyRead(200);
        out += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (ok)
        m_display = u':' + QString::number(number);
}

Xvfb::~Xvfb()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
}
