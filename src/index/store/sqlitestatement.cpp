#include "sqlitestatement.h"

#include <sqlite3.h>

#include <utility>

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql)
{
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_failed(other.m_failed), m_result(other.m_result)
{
}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_failed = other.m_failed;
        m_result = other.m_result;
    }
    return *this;
}

void SqliteStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bind(int index, const std::optional<qint64> &value)
{
    if (value)
        sqlite3_bind_int64(m_stmt, index, *value);
    else
        sqlite3_bind_null(m_stmt, index);
}

void SqliteStatement::bindBlob(int index, const QByteArray &value)
{
    // A zero-length blob must not turn into NULL: paths and the like are never NULL.
    sqlite3_bind_blob64(m_stmt, index, value.isEmpty() ? "" : value.constData(), sqlite3_uint64(value.size()),
                        SQLITE_TRANSIENT);
}

void SqliteStatement::bindText(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text64(m_stmt, index, utf8.isEmpty() ? "" : utf8.constData(), sqlite3_uint64(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindOptionalText(int index, const QString &value)
{
    if (value.isNull())
        sqlite3_bind_null(m_stmt, index);
    else
        bindText(index, value);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

bool SqliteStatement::step()
{
    if (!m_stmt) {
        m_failed = true;
        return false;
    }
    m_result = sqlite3_step(m_stmt);
    if (m_result == SQLITE_ROW)
        return true;
    m_failed = m_result != SQLITE_DONE;
    return false;
}

void SqliteStatement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_failed = false;
    m_result = 0;
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QByteArray SqliteStatement::blob(int column) const
{
    const void *data = sqlite3_column_blob(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return QByteArray(static_cast<const char *>(data), size);
}

QString SqliteStatement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    if (!data)
        return {};
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
}
