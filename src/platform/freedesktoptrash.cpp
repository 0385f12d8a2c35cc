#include "freedesktoptrash.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <QFile>
#include <QMultiHash>
#include <QRandomGenerator>
#include <QSet>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A trashed name and its record's name ("<name>.trashinfo") must both fit one directory entry.
constexpr qsizetype kMaxEntryName = NAME_MAX - qsizetype(sizeof(".trashinfo") - 1);
// Clashing names count up as file managers do; past this many the counting
// would cost more than it tells, and a random tag ends the search at once.
constexpr int kCountedNames = 64;
constexpr int kRandomNames = 1000;

QString shown(const QByteArray &path)
{
    return QFile::decodeName(path);
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FreedesktopTrash::Outcome failed(QString message)
{
    return {{}, std::move(message)};
}

QByteArray withoutTrailingSlashes(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QByteArray absolute(const QByteArray &path)
{
    if (path.startsWith('/'))
        return path;
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return path;
    QByteArray out(buffer);
    if (!out.endsWith('/'))
        out += '/';
    return out + path;
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The folder with every symbolic link and "." or ".." resolved, so the
// volume's top directory and the recorded path are found from the real place.
QByteArray canonical(const QByteArray &folder)
{
    char *resolved = ::realpath(folder.constData(), nullptr);
    if (!resolved)
        return {};
    QByteArray out(resolved);
    std::free(resolved);
    return out;
}

// The device of `path`, or of its nearest existing ancestor while it does not exist yet.
std::optional<dev_t> deviceOfNearest(QByteArray path)
{
    for (;;) {
        struct stat st;
        if (::stat(path.constData(), &st) == 0)
            return st.st_dev;
        if (path == "/" || path == ".")
            return std::nullopt;
        path = parentOf(path);
    }
}

// The mount point above `folder`: the last ancestor still on device `dev`.
QByteArray topDirectory(QByteArray folder, dev_t dev)
{
    while (folder != "/") {
        const QByteArray parent = parentOf(folder);
        struct stat st;
        if (::stat(parent.constData(), &st) != 0 || st.st_dev != dev)
            return folder;
        folder = parent;
    }
    return folder;
}

// 0 when `path` is a real folder (made with `mode` when missing), else why not.
int ensureFolder(const QByteArray &path, mode_t mode)
{
    // Looking first is the common case and much cheaper than a refused mkdir.
    struct stat st;
    if (::lstat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (::mkdir(path.constData(), mode) == 0)
        return 0;
    if (errno != EEXIST)
        return errno;
    if (::lstat(path.constData(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int ensureFolders(const QByteArray &path, mode_t mode)
{
    struct stat st;
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const QByteArray parent = parentOf(path);
    if (parent != path) {
        if (const int error = ensureFolders(parent, mode))
            return error;
    }
    return ensureFolder(path, mode);
}

// Another user's folder, or a link planted in its place, must never receive our files.
bool ownFolder(const QByteArray &path, uid_t uid)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

struct Place
{
    QByteArray folder;
    // Empty for the home trash, whose records hold absolute paths.
    QByteArray topDir;
};

std::optional<Place> placeFor(const QByteArray &path, dev_t dev,
                              const FreedesktopTrash::Config &config, QString *error)
{
    std::optional<Place> place;
    const QByteArray home = joined(config.dataHome, "Trash");
    const auto homeDevice = deviceOfNearest(home);
    if (homeDevice && *homeDevice == dev) {
        int made = ensureFolders(config.dataHome, 0700);
        if (!made)
            made = ensureFolder(home, 0700);
        if (made) {
            *error = QStringLiteral("Cannot make the Trash folder %1: %2")
                         .arg(shown(home), reason(made));
            return std::nullopt;
        }
        place = Place{home, {}};
    } else {
        const QByteArray top = topDirectory(parentOf(path), dev);
        const QByteArray uid = QByteArray::number(config.uid);
        // A shared .Trash is trusted only when it is a real, sticky folder
        // that no other user can empty of our entries.
        const QByteArray shared = joined(top, ".Trash");
        struct stat st;
        if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            (st.st_mode & S_ISVTX)) {
            const QByteArray mine = joined(shared, uid);
            if (ensureFolder(mine, 0700) == 0 && ownFolder(mine, config.uid))
                place = Place{mine, top};
        }
        if (!place) {
            const QByteArray own = joined(top, ".Trash-" + uid);
            if (ensureFolder(own, 0700) == 0 && ownFolder(own, config.uid))
                place = Place{own, top};
        }
        if (!place) {
            *error = QStringLiteral("There is no usable Trash on the volume of %1 (%2)")
                         .arg(shown(path), shown(top));
            return std::nullopt;
        }
    }
    for (const char *sub : {"files", "info"}) {
        if (const int made = ensureFolder(joined(place->folder, sub), 0700)) {
            *error = QStringLiteral("Cannot make the Trash folder %1: %2")
                         .arg(shown(joined(place->folder, sub)), reason(made));
            return std::nullopt;
        }
    }
    return place;
}

// The name the file takes in the trash on the `attempt`-th try: the name
// itself, then "name.2.ext", "name.3.ext"…, then a random tag.
QByteArray entryName(const QByteArray &name, int attempt)
{
    if (attempt == 1)
        return name.left(kMaxEntryName);
    const QByteArray tag =
        attempt <= kCountedNames
            ? '.' + QByteArray::number(attempt)
            : '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const qsizetype dot = name.indexOf('.', 1);
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray rest = dot > 0 ? name.mid(dot) : QByteArray();
    QByteArray out = stem + tag + rest;
    if (out.size() > kMaxEntryName)
        out = (stem + rest).left(kMaxEntryName - tag.size()) + tag;
    return out;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// rename(2) that refuses to replace anything, even a dangling link: 0 or the error.
int moveWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot promise it gets the check first, which leaves only a narrow race.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}


// `path` is `folder` or lies somewhere inside it.
bool within(const QByteArray &path, const QByteArray &folder)
{
    return path == folder || (path.startsWith(folder) && path.at(folder.size()) == '/');
}

// A volume's shared ".Trash" or a user's ".Trash-<uid>".
bool isTopTrashName(const QByteArray &name)
{
    if (name == ".Trash")
        return true;
    if (!name.startsWith(".Trash-") || name.size() == 7)
        return false;
    for (qsizetype i = 7; i < name.size(); ++i) {
        if (name.at(i) < '0' || name.at(i) > '9')
            return false;
    }
    return true;
}

// Why `full` (its folder resolved) must stay where it is: it is a trash, lies
// inside one, or holds the home trash. Moving any of these would strand every
// record the trash holds. Empty when it may go.
QString trashRefusal(const QByteArray &full, dev_t dev, const QByteArray &dataHome)
{
    const QByteArray home = canonical(joined(dataHome, "Trash"));
    if (!home.isEmpty()) {
        if (within(full, home))
            return QStringLiteral("it is part of the Trash");
        if (within(home, full))
            return QStringLiteral("it holds the Trash");
    }
    const QByteArray top = topDirectory(parentOf(full), dev);
    const QByteArray rest = top == "/" ? full.mid(1) : full.mid(top.size() + 1);
    const qsizetype slash = rest.indexOf('/');
    if (isTopTrashName(slash < 0 ? rest : rest.left(slash)))
        return QStringLiteral("it is part of the Trash of its volume");
    return {};
}


// Records being written carry this prefix: it never ends in ".trashinfo", so
// trash tools pass over them, and it tells our own unfinished work from anyone else's.
constexpr char kDraftPrefix[] = ".tovalo-draft-";

// A trash record written in full under a private name, then published under
// its real name in one step, so nobody ever reads half of one. The draft is a
// hard link to the published record and stays, locked, until the file has
// moved: found unlocked later, it marks a record this program wrote whose move
// may never have happened.
class Draft final
{
public:
    Draft() = default;
    Draft(const Draft &) = delete;
    Draft &operator=(const Draft &) = delete;
    ~Draft()
    {
        // Unlinked while still locked, so a sweep never meets a finished draft.
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // 0 when `record` is written to a fresh draft in `infoFolder`, else the error.
    int write(const QByteArray &infoFolder, const QByteArray &record)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray path = infoFolder + '/' + kDraftPrefix +
                                    QByteArray::number(QRandomGenerator::global()->generate64(), 16);
            const int fd = ::open(path.constData(),
                                  O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return errno;
            }
            struct stat st;
            // A sweep may take the lock first and remove the fresh draft; then start over.
            if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
                ::close(fd);
                continue;
            }
            m_fd = fd;
            m_path = path;
            return writeAll(fd, record) ? 0 : (errno ? errno : EIO);
        }
        return EEXIST;
    }

    // 0 when the record now stands at `final`, EEXIST when that name is taken, else the error.
    int publish(const QByteArray &final)
    {
        if (::link(m_path.constData(), final.constData()) == 0)
            return 0;
        if (errno == EEXIST)
            return EEXIST;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
            return errno;
        // Without hard links (FAT volumes) the draft itself becomes the record;
        // it is still complete, only no longer marked as ours.
        const int moved = moveWithoutReplacing(m_path, final);
        if (moved == 0)
            m_path.clear();
        return moved;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

// The file a record in `info` belongs to, in the sibling `files` folder.
QByteArray trashedFileOf(const QByteArray &folder, const QByteArray &recordName)
{
    return folder + "/files/" + recordName.chopped(qsizetype(sizeof ".trashinfo" - 1));
}

// Clears what an interrupted run of this program left in the trash `folder`:
// drafts nobody holds any more, and the records published from them whose
// file never arrived. Records without such a draft may be another program's
// move in progress and are never touched.
void clearUnfinished(const QByteArray &folder)
{
    const QByteArray infoFolder = folder + "/info";
    DIR *dir = ::opendir(infoFolder.constData());
    if (!dir)
        return;
    QList<QByteArray> drafts;
    QMultiHash<ino_t, QByteArray> records;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name.startsWith(kDraftPrefix))
            drafts.append(name);
        else if (name.endsWith(".trashinfo"))
            records.insert(e->d_ino, name);
    }
    ::closedir(dir);
    for (const QByteArray &name : std::as_const(drafts)) {
        const QByteArray path = infoFolder + '/' + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        // A draft still locked belongs to a move under way in some process.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        if (st.st_nlink > 1) {
            for (const QByteArray &record : records.values(st.st_ino)) {
                const QByteArray recordPath = infoFolder + '/' + record;
                struct stat linked;
                if (::lstat(recordPath.constData(), &linked) != 0 || linked.st_ino != st.st_ino ||
                    linked.st_dev != st.st_dev)
                    continue;
                struct stat trashed;
                if (::lstat(trashedFileOf(folder, record).constData(), &trashed) != 0 &&
                    errno == ENOENT)
                    ::unlink(recordPath.constData());
            }
        }
        ::unlink(path.constData());
        ::close(fd);
    }
}

} // namespace

FreedesktopTrash::Config FreedesktopTrash::Config::fromProcess()
{
    Config config;
    QByteArray data = qgetenv("XDG_DATA_HOME");
    // The base-directory rules ignore a relative value.
    if (!data.startsWith('/')) {
        QByteArray home = qgetenv("HOME");
        if (home.isEmpty()) {
            if (const passwd *pw = ::getpwuid(::getuid()))
                home = pw->pw_dir;
        }
        data = joined(home, ".local/share");
    }
    config.dataHome = withoutTrailingSlashes(data);
    config.uid = ::getuid();
    config.now = [] { return QDateTime::currentDateTime(); };
    return config;
}

FreedesktopTrash::FreedesktopTrash() : FreedesktopTrash(Config::fromProcess()) {}

struct FreedesktopTrash::Sweeps
{
    std::mutex mutex;
    QSet<QByteArray> folders;
};

FreedesktopTrash::FreedesktopTrash(Config config)
    : m_config(std::move(config)), m_sweeps(std::make_shared<Sweeps>())
{
    if (!m_config.now)
        m_config.now = [] { return QDateTime::currentDateTime(); };
}

FreedesktopTrash::Outcome FreedesktopTrash::folderFor(const QByteArray &given) const
{
    const QByteArray path = withoutTrailingSlashes(absolute(given));
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return failed(QStringLiteral("No such file: %1").arg(shown(given)));
    QString error;
    const auto place =
        placeFor(joined(canonical(parentOf(path)), nameOf(path)), st.st_dev, m_config, &error);
    return place ? Outcome{place->folder, {}} : failed(error);
}

FreedesktopTrash::Outcome FreedesktopTrash::trash(const QByteArray &given) const
{
    const QByteArray path = withoutTrailingSlashes(absolute(given));
    const QByteArray name = nameOf(path);
    if (given.isEmpty() || name.isEmpty() || name == "." || name == "..")
        return failed(QStringLiteral("Cannot move %1 to the Trash").arg(shown(given)));
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        const int error = errno;
        return failed(error == ENOENT
                          ? QStringLiteral("No such file: %1").arg(shown(given))
                          : QStringLiteral("Cannot read %1: %2").arg(shown(given), reason(error)));
    }
    const QByteArray folder = canonical(parentOf(path));
    struct stat parent;
    if (folder.isEmpty() || ::stat(folder.constData(), &parent) != 0)
        return failed(QStringLiteral("Cannot read the folder of %1").arg(shown(given)));
    if (parent.st_dev != st.st_dev)
        return failed(
            QStringLiteral("Cannot move the mounted volume %1 to the Trash").arg(shown(given)));
    const QByteArray full = joined(folder, name);
    if (const QString why = trashRefusal(full, st.st_dev, m_config.dataHome); !why.isEmpty())
        return failed(QStringLiteral("Cannot move %1 to the Trash: %2").arg(shown(given), why));

    QString error;
    const auto place = placeFor(full, st.st_dev, m_config, &error);
    if (!place)
        return failed(error);
    {
        // Once per trash and run: what a killed run left there is cleared before more goes in.
        const std::lock_guard lock(m_sweeps->mutex);
        if (!m_sweeps->folders.contains(place->folder)) {
            m_sweeps->folders.insert(place->folder);
            clearUnfinished(place->folder);
        }
    }
    QByteArray recorded = full;
    if (!place->topDir.isEmpty())
        recorded = place->topDir == "/" ? full.mid(1) : full.mid(place->topDir.size() + 1);
    const QByteArray record =
        "[Trash Info]\nPath=" + recorded.toPercentEncoding("/") + "\nDeletionDate=" +
        m_config.now().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';

    for (int attempt = 1; attempt <= kCountedNames + kRandomNames; ++attempt) {
        const QByteArray entry = entryName(name, attempt);
        // The record comes first and claims the name: whoever reads the trash
        // never meets a file it cannot put back.
        const QByteArray info = place->folder + "/info/" + entry + ".trashinfo";
        Draft draft;
        int written = draft.write(place->folder + "/info", record);
        if (!written)
            written = draft.publish(info);
        if (written == EEXIST)
            continue;
        if (written)
            return failed(QStringLiteral("Cannot write %1: %2").arg(shown(info), reason(written)));
        const QByteArray target = place->folder + "/files/" + entry;
        const int moved = moveWithoutReplacing(full, target);
        if (moved == 0)
            return {target, {}};
        ::unlink(info.constData());
        if (moved == EEXIST)
            continue; // a stray entry without a record holds the name
        if (moved == EXDEV)
            return failed(
                QStringLiteral("Cannot move %1 to the Trash without copying it to another volume")
                    .arg(shown(given)));
        return failed(
            QStringLiteral("Cannot move %1 to the Trash: %2").arg(shown(given), reason(moved)));
    }
    return failed(QStringLiteral("No free name in the Trash for %1").arg(shown(given)));
}

FreedesktopTrash::Outcome FreedesktopTrash::restore(const QByteArray &trashed,
                                                    const QByteArray &original) const
{
    if (nameOf(parentOf(trashed)) != "files")
        return failed(QStringLiteral("%1 is not in a Trash").arg(shown(trashed)));
    struct stat st;
    if (::lstat(trashed.constData(), &st) != 0)
        return failed(QStringLiteral("%1 is no longer in the Trash").arg(shown(original)));
    if (::lstat(original.constData(), &st) == 0)
        return failed(QStringLiteral("Something else is at %1 now").arg(shown(original)));
    if (const int made = ensureFolders(parentOf(original), 0777)) {
        return failed(QStringLiteral("Cannot make the folder %1: %2")
                          .arg(shown(parentOf(original)), reason(made)));
    }
    const int moved = moveWithoutReplacing(trashed, original);
    if (moved == EEXIST)
        return failed(QStringLiteral("Something else is at %1 now").arg(shown(original)));
    if (moved != 0)
        return failed(QStringLiteral("Cannot put back %1: %2").arg(shown(original), reason(moved)));
    // The file is back; a record left behind would only show a ghost in the Trash.
    ::unlink(infoPathOf(trashed).constData());
    return {original, {}};
}

QByteArray FreedesktopTrash::infoPathOf(const QByteArray &trashed)
{
    return parentOf(parentOf(trashed)) + "/info/" + nameOf(trashed) + ".trashinfo";
}
