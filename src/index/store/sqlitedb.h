#pragma once

#include "sqlitestatement.h"

#include <QString>

#include <optional>

struct sqlite3;

// One SQLite connection. A connection belongs to one thread at a time; for
// reading from several threads, open one per thread (or per query).
class SqliteDb final
{
public:
    enum class Mode { readOnly, readWrite };

    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(SqliteDb &&other) noexcept;
    SqliteDb &operator=(SqliteDb &&other) noexcept;
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    // None, with the reason in `error`, when the file cannot be opened. A
    // read-only connection never creates the file.
    static std::optional<SqliteDb> open(const QString &file, Mode mode, QString *error = nullptr);

    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // Runs statements that return nothing; false (with the reason) on the first error.
    bool exec(const char *sql, QString *error = nullptr);
    SqliteStatement prepare(const char *sql) const;
    QString errorText() const;
    // SQLite's extended code of the last error on this connection.
    int errorCode() const;

private:
    sqlite3 *m_db = nullptr;
};
