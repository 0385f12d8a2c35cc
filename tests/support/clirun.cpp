#include "clirun.h"

#include <QJsonDocument>
#include <QProcess>

CliRun runCli(const QString &program, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TOVALO_ROOTS");
    env.insert("TOVALO_DEMO_DATES", "1");
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            objects.append(QJsonDocument::fromJson(line).object());
    return objects;
}
