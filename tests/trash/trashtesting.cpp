#include "trashtesting.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <QTimeZone>
#include <sys/stat.h>
#include <unistd.h>

namespace TrashTesting {

QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone("Europe/Berlin"));
}

QByteArray fixedNowText()
{
    return "2024-03-05T14:07:09";
}

FreedesktopTrash::Config config(const QByteArray &dataHome)
{
    FreedesktopTrash::Config c;
    c.dataHome = dataHome;
    c.uid = ::getuid();
    c.now = &fixedNow;
    return c;
}

bool exists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray contents(const QByteArray &path)
{
    QByteArray out;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, n);
    }
    ::close(fd);
    return out;
}

QList<QByteArray> entries(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace TrashTesting

void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
