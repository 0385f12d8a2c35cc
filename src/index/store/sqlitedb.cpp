#include "sqlitedb.h"

#include <QFile>

#include <sqlite3.h>

#include <utility>

namespace {

constexpr int kBusyTimeoutMs = 3000;

} // namespace

SqliteDb::~SqliteDb()
{
    sqlite3_close_v2(m_db);
}

SqliteDb::SqliteDb(SqliteDb &&other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

SqliteDb &SqliteDb::operator=(SqliteDb &&other) noexcept
{
    if (this != &other) {
        sqlite3_close_v2(m_db);
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

std::optional<SqliteDb> SqliteDb::open(const QString &file, Mode mode, QString *error)
{
    const int flags = (mode == Mode::readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return std::nullopt;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    SqliteDb out;
    out.m_db = db;
    return out;
}

bool SqliteDb::exec(const char *sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = message ? QString::fromUtf8(message) : errorText();
    sqlite3_free(message);
    return false;
}

SqliteStatement SqliteDb::prepare(const char *sql) const
{
    return SqliteStatement(m_db, sql);
}

QString SqliteDb::errorText() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
}

int SqliteDb::errorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
}
