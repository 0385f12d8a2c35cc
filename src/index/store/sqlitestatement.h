#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement. Parameters are numbered from 1, columns from
// 0, as in SQLite itself. Movable, not copyable; finalised when it goes.
class SqliteStatement final
{
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt *handle() const { return m_stmt; }

    void bind(int index, qint64 value);
    void bind(int index, const std::optional<qint64> &value);
    void bindBlob(int index, const QByteArray &value);
    void bindText(int index, const QString &value);
    // A null QString binds SQL NULL.
    void bindOptionalText(int index, const QString &value);
    void bindNull(int index);

    // Runs to the next row: true when there is one. Errors end the run like
    // its end does; `failed()` tells them apart.
    bool step();
    bool failed() const { return m_failed; }
    int resultCode() const { return m_result; }
    // Ready to bind and run again.
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    QByteArray blob(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    bool m_failed = false;
    int m_result = 0;
};
