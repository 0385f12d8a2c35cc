#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

// A temporary folder for building small file trees in a test.
class TempTree final
{
public:
    TempTree();
    // Removes the tree by its native bytes, so names that are not UTF-8 go too.
    ~TempTree();

    // Absolute native path of `relative` inside the tree.
    QByteArray path(const QByteArray &relative = {}) const;
    // Writes a file (making its folders) and returns its path.
    QByteArray file(const QByteArray &relative, const QByteArray &contents = "x");
    QByteArray folder(const QByteArray &relative);
    // Sets the file's modification time (and access time) to `msSinceEpoch`.
    void setModified(const QByteArray &relative, qint64 msSinceEpoch);
    void setXattr(const QByteArray &relative, const char *name, const QByteArray &value);

private:
    QTemporaryDir m_dir;
};

// Spins the event loop until `done` holds or the time runs out; returns `done()`.
bool waitUntil(const std::function<bool()> &done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
