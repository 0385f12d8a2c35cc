#pragma once

#include <functional>
#include <memory>
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <sys/types.h>

// The freedesktop.org Trash: the home trash under $XDG_DATA_HOME, and a trash
// at the top of every other mounted volume, laid out so that file managers and
// trash-cli list and restore what we put there. Paths are the file system's raw
// bytes throughout, so no name is ever mangled on its way in or out.
class FreedesktopTrash final
{
public:
    struct Config
    {
        // $XDG_DATA_HOME, or ~/.local/share when unset; the home trash is its "Trash" folder.
        QByteArray dataHome;
        uid_t uid = 0;
        // The local time each record carries as its deletion date.
        std::function<QDateTime()> now;

        // This process's user, data folder and clock.
        static Config fromProcess();
    };

    // A place on disk when `error` is empty; otherwise one sentence saying why there is none.
    struct Outcome
    {
        QByteArray path;
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    FreedesktopTrash();
    explicit FreedesktopTrash(Config config);

    // The trash folder (holding files/ and info/) that takes `path`, made when
    // missing: the home trash on its own device, else the volume's top-directory trash.
    Outcome folderFor(const QByteArray &path) const;
    // Moves `path` into its trash without ever copying; the outcome is where it now lies.
    // A trash's own folders, and what holds or lies inside them, never move.
    Outcome trash(const QByteArray &path) const;
    // Moves `trashed` back to `original` only when nothing at all occupies that
    // place, making missing parent folders, then drops the trash's record of it.
    Outcome restore(const QByteArray &trashed, const QByteArray &original) const;

    // The .trashinfo record that belongs to a file in a trash's files/ folder.
    static QByteArray infoPathOf(const QByteArray &trashed);

    const Config &config() const { return m_config; }

private:
    struct Sweeps;

    Config m_config;
    // The trash folders already cleared of a killed run's leftovers; shared by copies.
    std::shared_ptr<Sweeps> m_sweeps;
};
