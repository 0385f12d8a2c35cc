#pragma once

#include "indexrecord.h"
#include "sqlitedb.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

// The index file: one row per file of the home folder with its metadata, the
// text read from it in an FTS5 table and its folded name in a trigram one
// for substring searches (both rowid = files.id). The store's own
// connection is the only writer and belongs to one thread; readers open
// connections of their own (`reader()`, `openReader()`), any number at once.
class IndexStore final
{
public:
    static constexpr int kSchemaVersion = 2;
    // Most text kept for one file.
    static constexpr qsizetype kMaxTextBytes = 1 << 20;

    // $XDG_DATA_HOME/Tovalo/index.sqlite.
    static QString defaultFile();

    // Opens the index, creating it (and its folder) when missing. A file that
    // is not a sound index of this version is moved aside with a log line and
    // replaced by an empty one. None (with the reason) only when no index can
    // be made at all, e.g. on a read-only disk.
    static std::unique_ptr<IndexStore> open(const QString &file, QString *error = nullptr);

    // A read-only connection to an index file, or none when it does not exist
    // or cannot be read. Safe from any thread.
    static std::optional<SqliteDb> openReader(const QString &file, QString *error = nullptr);

    ~IndexStore();
    IndexStore(const IndexStore &) = delete;
    IndexStore &operator=(const IndexStore &) = delete;

    const QString &file() const { return m_file; }
    std::optional<SqliteDb> reader() const { return openReader(m_file); }
    SqliteDb &writer() { return m_db; }

    // Writes are grouped: a batch is one transaction.
    bool begin();
    bool commit();

    // Inserts or replaces the row of `record.path`; returns its id, or none on
    // a write error. `text` replaces the row's stored text when given (an
    // empty text removes it); `hadText` says a previous text may exist.
    std::optional<qint64> put(const IndexRecord &record, const std::optional<QString> &text, bool hadText);
    // Replaces only the text of an existing row (text found in images, say).
    bool putText(qint64 id, const QString &text);
    bool remove(qint64 id);
    // Removes `path` and everything under it.
    int removeTree(const QByteArray &path);

    std::optional<IndexStamp> stamp(const QByteArray &path);
    // Every row's stamp with its path, in no particular order.
    bool forEachStamp(const std::function<void(const QByteArray &path, const IndexStamp &)> &visit);
    struct Child
    {
        qint64 id;
        QByteArray path;
        bool isDir;
    };
    // Rows directly inside folder `dir`.
    std::vector<Child> children(const QByteArray &dir);
    qint64 rowCount();

    QVariant meta(const QString &key);
    bool setMeta(const QString &key, const QVariant &value);

    // Empties the index (files, text and status) in place, so open readers stay valid.
    bool clear();
    // True once a write has reported a damaged file; the owner should reopen.
    bool isDamaged() const { return m_damaged; }
    QString lastError() const { return m_db.errorText(); }

private:
    IndexStore(QString file, SqliteDb db);
    bool check(int rc);
    void prepareStatements();
    // Replaces the name index's row; a null name only removes it.
    bool putName(qint64 id, const QString &name);

    QString m_file;
    SqliteDb m_db;
    bool m_damaged = false;
    struct Statements;
    std::unique_ptr<Statements> m_st;
};
