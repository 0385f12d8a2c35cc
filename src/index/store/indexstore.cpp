#include "indexstore.h"

#include "indexlog.h"
#include "patternmatcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kSchema = R"sql(
CREATE TABLE files(
  id INTEGER PRIMARY KEY,
  path BLOB NOT NULL UNIQUE,
  name TEXT NOT NULL,
  dev INTEGER, ino INTEGER,
  size INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  changed INTEGER NOT NULL,
  created INTEGER,
  added INTEGER,
  last_used INTEGER,
  content_types TEXT NOT NULL,
  where_froms TEXT,
  screen_capture INTEGER NOT NULL DEFAULT 0,
  camera_make TEXT, camera_model TEXT,
  text_state INTEGER NOT NULL DEFAULT 0,
  is_dir INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX files_modified ON files(modified DESC);
CREATE VIRTUAL TABLE file_text USING fts5(body, tokenize='unicode61 remove_diacritics 2');
CREATE VIRTUAL TABLE file_names USING fts5(key, tokenize='trigram case_sensitive 1', columnsize=0);
CREATE TABLE meta(key TEXT PRIMARY KEY, value);
)sql";

// Safe from every thread: each connection is used by one thread only.
constexpr const char *kPragmas = "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF;";

// The files SQLite keeps beside the index, which go wherever the index goes.
const char *const kCompanions[] = {"", "-wal", "-shm"};

bool isDamageCode(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Why `db` is not a sound index of this version, or an empty text when it is.
QString unsoundness(SqliteDb &db)
{
    SqliteStatement check = db.prepare("PRAGMA quick_check(1)");
    if (!check.isValid())
        return db.errorText();
    if (!check.step())
        return check.failed() ? db.errorText() : QStringLiteral("no integrity answer");
    if (check.text(0) != QLatin1String("ok"))
        return check.text(0);
    SqliteStatement version = db.prepare("SELECT value FROM meta WHERE key='schema_version'");
    if (!version.isValid())
        return QStringLiteral("no meta table");
    if (!version.step())
        return QStringLiteral("no schema version");
    if (version.int64(0) != IndexStore::kSchemaVersion)
        return QStringLiteral("schema version %1, wanted %2").arg(version.int64(0)).arg(IndexStore::kSchemaVersion);
    // A file cut short can pass the quick check yet miss its text table.
    for (const char *table : {"SELECT count(*) FROM file_text WHERE rowid=0", "SELECT count(*) FROM file_names WHERE rowid=0"}) {
        SqliteStatement probe = db.prepare(table);
        if (!probe.isValid() || !probe.step())
            return db.errorText();
    }
    return {};
}

// Moves the index and its companions to "<file>.damaged-<time>"; returns the new name.
QString moveAside(const QString &file)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString target = file + QStringLiteral(".damaged-") + stamp;
    for (const char *suffix : kCompanions) {
        const QString from = file + QLatin1String(suffix);
        struct stat st;
        if (::lstat(QFile::encodeName(from).constData(), &st) != 0)
            continue;
        const QString to = target + QLatin1String(suffix);
        QFile::remove(to);
        if (!QFile::rename(from, to))
            QFile::remove(from);
    }
    return target;
}

// Why the index's files must not be opened, empty when they may: a pipe in
// their place would hang the opening for good, a device would be read without end.
QString irregularity(const QString &file)
{
    for (const char *suffix : kCompanions) {
        const QString path = file + QLatin1String(suffix);
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return QStringLiteral("%1 is not a regular file").arg(path);
    }
    return {};
}

// Creates the file itself first, so it never exists with wider permissions.
bool createPrivate(const QString &file)
{
    const QByteArray native = QFile::encodeName(file);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::fchmod(fd, 0600);
    ::close(fd);
    return true;
}

} // namespace

struct IndexStore::Statements
{
    SqliteStatement upsert, deleteText, insertText, deleteName, insertName, deleteFile, stampByPath, treeIds, childRange, count, getMeta,
        setMeta;
};

QString IndexStore::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tovalo/index.sqlite");
}

std::unique_ptr<IndexStore> IndexStore::open(const QString &file, QString *error)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make the folder %1").arg(folder);
        return nullptr;
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    if (const QString irregular = irregularity(file); !irregular.isEmpty()) {
        const QString aside = moveAside(file);
        qCWarning(lcIndex).noquote() << QStringLiteral("Tovalo: index %1 is unusable (%2); moved to %3, building a new one")
                                            .arg(file, irregular, aside);
    } else if (QFileInfo::exists(file)) {
        QString why;
        std::optional<SqliteDb> db = SqliteDb::open(file, SqliteDb::Mode::readWrite, &why);
        if (db) {
            why = unsoundness(*db);
            if (why.isEmpty()) {
                ::chmod(QFile::encodeName(file).constData(), 0600);
                if (db->exec(kPragmas, &why))
                    return std::unique_ptr<IndexStore>(new IndexStore(file, std::move(*db)));
            }
            db.reset();
        }
        const QString aside = moveAside(file);
        qCWarning(lcIndex).noquote() << QStringLiteral("Tovalo: index %1 is unusable (%2); moved to %3, building a new one")
                                            .arg(file, why, aside);
    }

    if (!createPrivate(file)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(file);
        return nullptr;
    }
    QString why;
    std::optional<SqliteDb> db = SqliteDb::open(file, SqliteDb::Mode::readWrite, &why);
    if (db && db->exec(kPragmas, &why) && db->exec("BEGIN", &why) && db->exec(kSchema, &why)) {
        SqliteStatement version = db->prepare("INSERT INTO meta(key, value) VALUES('schema_version', ?1)");
        version.bind(1, qint64(kSchemaVersion));
        version.step();
        if (!version.failed() && db->exec("COMMIT", &why))
            return std::unique_ptr<IndexStore>(new IndexStore(file, std::move(*db)));
        why = db->errorText();
    }
    if (error)
        *error = QStringLiteral("cannot create the index %1: %2").arg(file, why);
    return nullptr;
}

std::optional<SqliteDb> IndexStore::openReader(const QString &file, QString *error)
{
    if (!QFileInfo::exists(file)) {
        if (error)
            *error = QStringLiteral("no index at %1").arg(file);
        return std::nullopt;
    }
    if (const QString irregular = irregularity(file); !irregular.isEmpty()) {
        if (error)
            *error = irregular;
        return std::nullopt;
    }
    std::optional<SqliteDb> db = SqliteDb::open(file, SqliteDb::Mode::readOnly, error);
    // A search looks up rows all over the files table; SQLite's default
    // cache of 2 MB would read most of them from the disk again each time.
    // Mapped, pages are read where the page cache holds them: no copy and no
    // buffer per page, which is most of a one-off query's cost.
    if (db)
        db->exec("PRAGMA cache_size=-32768; PRAGMA mmap_size=1073741824");
    return db;
}

IndexStore::IndexStore(QString file, SqliteDb db) : m_file(std::move(file)), m_db(std::move(db))
{
    prepareStatements();
}

IndexStore::~IndexStore()
{
    m_st.reset();
    // Folds the write-ahead log back so the file alone is the whole index.
    m_db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

void IndexStore::prepareStatements()
{
    m_st = std::make_unique<Statements>();
    m_st->upsert = m_db.prepare(
        "INSERT INTO files(path, name, dev, ino, size, modified, changed, created, added, last_used, content_types, "
        "where_froms, screen_capture, camera_make, camera_model, text_state, is_dir) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17) "
        "ON CONFLICT(path) DO UPDATE SET name=excluded.name, dev=excluded.dev, ino=excluded.ino, "
        "size=excluded.size, modified=excluded.modified, changed=excluded.changed, created=excluded.created, "
        "added=excluded.added, last_used=excluded.last_used, content_types=excluded.content_types, "
        "where_froms=excluded.where_froms, screen_capture=excluded.screen_capture, "
        "camera_make=excluded.camera_make, camera_model=excluded.camera_model, text_state=excluded.text_state, "
        "is_dir=excluded.is_dir RETURNING id");
    m_st->deleteText = m_db.prepare("DELETE FROM file_text WHERE rowid=?1");
    m_st->insertText = m_db.prepare("INSERT INTO file_text(rowid, body) VALUES(?1, ?2)");
    m_st->deleteName = m_db.prepare("DELETE FROM file_names WHERE rowid=?1");
    m_st->insertName = m_db.prepare("INSERT INTO file_names(rowid, key) VALUES(?1, ?2)");
    m_st->deleteFile = m_db.prepare("DELETE FROM files WHERE id=?1");
    m_st->stampByPath = m_db.prepare("SELECT id, size, modified, changed FROM files WHERE path=?1");
    m_st->treeIds = m_db.prepare("SELECT id FROM files WHERE path=?1 OR (path>=?2 AND path<?3)");
    m_st->childRange = m_db.prepare("SELECT id, path, is_dir FROM files WHERE path>=?1 AND path<?2");
    m_st->count = m_db.prepare("SELECT count(*) FROM files");
    m_st->getMeta = m_db.prepare("SELECT value FROM meta WHERE key=?1");
    m_st->setMeta = m_db.prepare("INSERT INTO meta(key, value) VALUES(?1, ?2) "
                                 "ON CONFLICT(key) DO UPDATE SET value=excluded.value");
}

bool IndexStore::check(int rc)
{
    if (isDamageCode(rc))
        m_damaged = true;
    return rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW;
}

bool IndexStore::begin()
{
    return check(m_db.exec("BEGIN") ? SQLITE_OK : m_db.errorCode());
}

bool IndexStore::commit()
{
    return check(m_db.exec("COMMIT") ? SQLITE_OK : m_db.errorCode());
}

std::optional<qint64> IndexStore::put(const IndexRecord &r, const std::optional<QString> &text, bool hadText)
{
    SqliteStatement &s = m_st->upsert;
    s.reset();
    s.bindBlob(1, r.path);
    s.bindText(2, r.name);
    s.bind(3, r.dev);
    s.bind(4, r.ino);
    s.bind(5, r.size);
    s.bind(6, r.modified);
    s.bind(7, r.changed);
    s.bind(8, r.created);
    s.bind(9, r.added);
    s.bind(10, r.lastUsed);
    s.bindText(11, r.contentTypes);
    s.bindOptionalText(12, r.whereFroms);
    s.bind(13, qint64(r.screenCapture));
    s.bindOptionalText(14, r.cameraMake);
    s.bindOptionalText(15, r.cameraModel);
    s.bind(16, qint64(r.textState));
    s.bind(17, qint64(r.isDir));
    if (!s.step()) {
        check(s.resultCode());
        return std::nullopt;
    }
    const qint64 id = s.int64(0);
    s.step(); // finishes the statement so its write is complete
    s.reset();
    if (!putName(id, r.name))
        return std::nullopt;
    if (text && (hadText || !text->isEmpty()) && !putText(id, *text))
        return std::nullopt;
    if (!text && hadText) {
        // A file that no longer yields text must not keep the old one.
        if (!putText(id, QString()))
            return std::nullopt;
    }
    return id;
}

bool IndexStore::putText(qint64 id, const QString &text)
{
    SqliteStatement &del = m_st->deleteText;
    del.reset();
    del.bind(1, id);
    del.step();
    if (del.failed())
        return check(del.resultCode());
    if (text.isEmpty())
        return true;
    SqliteStatement &ins = m_st->insertText;
    ins.reset();
    ins.bind(1, id);
    ins.bindText(2, text);
    ins.step();
    return check(ins.resultCode());
}

bool IndexStore::putName(qint64 id, const QString &name)
{
    SqliteStatement &del = m_st->deleteName;
    del.reset();
    del.bind(1, id);
    del.step();
    if (del.failed())
        return check(del.resultCode());
    if (name.isNull())
        return true;
    const QByteArray utf8 = name.toUtf8();
    const std::string key = PatternMatcher::indexKey(std::string_view(utf8.constData(), size_t(utf8.size())));
    SqliteStatement &ins = m_st->insertName;
    ins.reset();
    ins.bind(1, id);
    sqlite3_bind_text64(ins.handle(), 2, key.data(), sqlite3_uint64(key.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    ins.step();
    return check(ins.resultCode());
}

bool IndexStore::remove(qint64 id)
{
    if (!putText(id, QString()) || !putName(id, QString()))
        return false;
    SqliteStatement &s = m_st->deleteFile;
    s.reset();
    s.bind(1, id);
    s.step();
    return check(s.resultCode());
}

int IndexStore::removeTree(const QByteArray &path)
{
    SqliteStatement &s = m_st->treeIds;
    s.reset();
    s.bindBlob(1, path);
    s.bindBlob(2, path + '/');
    s.bindBlob(3, path + char('/' + 1));
    std::vector<qint64> ids;
    while (s.step())
        ids.push_back(s.int64(0));
    s.reset();
    int removed = 0;
    for (const qint64 id : ids)
        removed += remove(id) ? 1 : 0;
    return removed;
}

std::optional<IndexStamp> IndexStore::stamp(const QByteArray &path)
{
    SqliteStatement &s = m_st->stampByPath;
    s.reset();
    s.bindBlob(1, path);
    if (!s.step())
        return std::nullopt;
    IndexStamp out{s.int64(0), s.int64(1), s.int64(2), s.int64(3)};
    s.reset();
    return out;
}

bool IndexStore::forEachStamp(const std::function<void(const QByteArray &, const IndexStamp &)> &visit)
{
    SqliteStatement s = m_db.prepare("SELECT id, size, modified, changed, path FROM files");
    while (s.step()) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s.handle(), 4));
        const int size = sqlite3_column_bytes(s.handle(), 4);
        // Borrowed bytes: the visitor copies what it keeps.
        visit(QByteArray::fromRawData(data ? data : "", size),
              IndexStamp{s.int64(0), s.int64(1), s.int64(2), s.int64(3)});
    }
    return !s.failed() && check(SQLITE_OK);
}

std::vector<IndexStore::Child> IndexStore::children(const QByteArray &dir)
{
    const QByteArray prefix = dir.endsWith('/') ? dir : dir + '/';
    QByteArray end = prefix;
    end.back() = char('/' + 1);
    SqliteStatement &s = m_st->childRange;
    s.reset();
    s.bindBlob(1, prefix);
    s.bindBlob(2, end);
    std::vector<Child> out;
    while (s.step()) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(s.handle(), 1));
        const int size = sqlite3_column_bytes(s.handle(), 1);
        if (std::memchr(data + prefix.size(), '/', size_t(size - prefix.size())))
            continue; // deeper down
        out.push_back(Child{s.int64(0), QByteArray(data, size), s.int64(2) != 0});
    }
    s.reset();
    return out;
}

qint64 IndexStore::rowCount()
{
    SqliteStatement &s = m_st->count;
    s.reset();
    const qint64 n = s.step() ? s.int64(0) : 0;
    s.reset();
    return n;
}

QVariant IndexStore::meta(const QString &key)
{
    SqliteStatement &s = m_st->getMeta;
    s.reset();
    s.bindText(1, key);
    QVariant out;
    if (s.step()) {
        switch (sqlite3_column_type(s.handle(), 0)) {
        case SQLITE_INTEGER:
            out = s.int64(0);
            break;
        case SQLITE_NULL:
            break;
        default:
            out = s.text(0);
        }
    }
    s.reset();
    return out;
}

bool IndexStore::setMeta(const QString &key, const QVariant &value)
{
    SqliteStatement &s = m_st->setMeta;
    s.reset();
    s.bindText(1, key);
    if (!value.isValid())
        s.bindNull(2);
    else if (value.typeId() == QMetaType::QString)
        s.bindText(2, value.toString());
    else
        s.bind(2, value.toLongLong());
    s.step();
    const bool ok = check(s.resultCode());
    s.reset();
    return ok;
}

bool IndexStore::clear()
{
    const bool ok = m_db.exec("BEGIN; DELETE FROM file_text; DELETE FROM file_names; DELETE FROM files; "
                              "DELETE FROM meta WHERE key<>'schema_version'; COMMIT;");
    if (!ok) {
        check(m_db.errorCode());
        m_db.exec("ROLLBACK");
        return false;
    }
    // Gives the freed pages back to the disk; an index can run to hundreds of megabytes.
    m_db.exec("VACUUM");
    return true;
}
