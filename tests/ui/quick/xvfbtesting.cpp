#include "xvfbtesting.h"

#include "tempdir.h"

#include <QFileInfo>
#include <QStandardPaths>

XvfbDisplay::XvfbDisplay()
{
    for (int n = 91; n < 200; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        const QString display = QStringLiteral(":%1").arg(n);
        m_server.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                                QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (waitUntil([&] { return QFileInfo::exists(socket) || m_server.state() == QProcess::NotRunning; }) &&
            m_server.state() == QProcess::Running) {
            m_name = display;
            return;
        }
        // Lost a race for this display to someone else: try the next one.
        m_server.kill();
        m_server.waitForFinished(2000);
    }
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
}

bool XvfbDisplay::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

ChildProgram::ChildProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, arguments);
    m_process.waitForStarted(5000);
}

ChildProgram::~ChildProgram()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void ChildProgram::readLines()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_partial.left(end)));
        m_partial.remove(0, end + 1);
    }
}

bool ChildProgram::waitForLine(const QString &line, std::chrono::milliseconds timeout)
{
    return waitUntil(
        [&] {
            m_process.waitForReadyRead(5);
            readLines();
            for (qsizetype i = m_consumed; i < m_lines.size(); ++i) {
                if (m_lines[i] == line) {
                    m_consumed = i + 1;
                    return true;
                }
            }
            return false;
        },
        timeout);
}

void ChildProgram::write(const QByteArray &text)
{
    m_process.write(text);
    m_process.waitForBytesWritten(2000);
}

bool xdotool(const QString &display, const QStringList &arguments)
{
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    run.setProcessEnvironment(env);
    run.start(QStringLiteral("xdotool"), arguments);
    return run.waitForFinished(10000) && run.exitCode() == 0;
}
