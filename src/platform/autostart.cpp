#include "autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// An Exec argument with reserved characters is put in double quotes with
// ", `, $ and \ escaped inside, a percent sign doubled; then, as for every string value, each
// backslash is written twice.
QString quoted(QString program)
{
    // A percent sign would start a field code.
    program.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (const QChar c : program)
        needs = needs || reserved.contains(c);
    if (!needs)
        return program;
    QString out = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    out += u'"';
    out.replace(u'\\', QStringLiteral("\\\\"));
    return out;
}

bool switchedOff(const QByteArray &text)
{
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[') && line != "[Desktop Entry]")
            break;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed().toLower();
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return true;
    }
    return false;
}

// The program the entry starts: the window runs as tovalo-window, which the
// tovalo beside it starts, and the entry names that one.
QString startingProgram()
{
    const QFileInfo running(QCoreApplication::applicationFilePath());
    const QString launcher = running.dir().filePath(QStringLiteral("tovalo"));
    if (running.fileName() == QLatin1String("tovalo-window") && QFileInfo(launcher).isExecutable())
        return launcher;
    return running.filePath();
}

} // namespace

namespace Autostart {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/tovalo.desktop");
}

bool isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !switchedOff(file.read(64 * 1024));
}

QByteArray entryText(const QString &program)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tovalo\n"
           "Comment=Find and tidy the files in your home folders\n"
           "Exec=" +
           quoted(program).toUtf8() +
           "\n"
           "Icon=org.tovalo.Tovalo\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool setEnabled(bool enabled, QString *error)
{
    const QString path = entryPath();
    if (!enabled) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("cannot make the folder %1").arg(QFileInfo(path).path());
        return false;
    }
    QSaveFile file(path);
    const QString program = QCoreApplication::instance() ? startingProgram() : QStringLiteral("tovalo");
    if (program.contains(u'\n') || program.contains(u'\r')) {
        if (error)
            *error = QStringLiteral("the program's path %1 has a line break, which an entry cannot hold").arg(program);
        return false;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(entryText(program)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Autostart
