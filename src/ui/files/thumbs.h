#pragma once

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <deque>
#include <optional>

// Thumbnails of files at a requested edge length, made off the main thread
// and kept in a shared cache of at most kCountLimit images keyed "size|path".
// The cache is read from the main thread and written from the workers, so
// every access goes through one mutex. It only grows until the limit evicts
// the oldest entries: a file changed on disk keeps its old picture meanwhile.
// Waiting requests are served newest first, so after a fast scroll the cards
// in view come before the ones that went by; a view drops the ones it no
// longer shows with retain().
class Thumbs final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCountLimit = 3000;

    static Thumbs &shared();
    // `threads` decoders at a time; 0 picks half the cores, at least two.
    explicit Thumbs(QObject *parent = nullptr, int threads = 0);
    ~Thumbs() override;

    // "220|/home/ana/Pictures/cat.jpg": the size truncated to an integer.
    static QString key(const QByteArray &path, double size);

    // The cached picture; a null image when there is none yet.
    QImage cached(const QByteArray &path, double size) const;
    bool contains(const QByteArray &path, double size) const;
    int count() const;
    // Makes the picture in the background unless it is cached or already on
    // its way; loaded() tells when it is there. Main thread. A request made
    // for an `owner` can be dropped by it with retain() while it waits.
    void request(const QByteArray &path, double size, const QObject *owner = nullptr);
    // Drops the waiting requests of `owner` whose path is not in `paths`
    // (those already being made finish). A dropped file is asked again by
    // the next request(). Main thread.
    void retain(const QObject *owner, const QSet<QByteArray> &paths);
    // Requests not yet started.
    int waiting() const;
    // Starts what waits and waits until it is made; for tests and benchmarks.
    void waitForDone();
    // Stores a picture made elsewhere (tests, benchmarks warm the cache).
    void insert(const QByteArray &path, double size, const QImage &image);

    // Makes the picture now, on the main thread: what drawn() gives, and
    // the type's icon when that is nothing. Null when nothing can be drawn.
    static QImage make(const QByteArray &path, int pixels);
    // On any thread: an application's icon, a fresh entry of the desktop's
    // thumbnail cache, a decoded image, a PDF's first page or a video frame.
    // `pixels` is the edge length in pixels.
    static QImage drawn(const QByteArray &path, int pixels);
    // Main thread: the icon theme's picture for the file's type (a generic
    // application icon for an application that brings none). Null for a
    // missing file.
    static QImage iconFor(const QByteArray &path, int pixels);
    // The theme icons that stand for a file's type, most specific first,
    // and the type's name; absent for a missing file. Any thread: it stats
    // the file and may read its first bytes.
    struct TypeIcon
    {
        QString type;
        QStringList names;
    };
    static std::optional<TypeIcon> typeIconOf(const QByteArray &path);
    // Main thread: the picture of a type's icon, drawn once per type and
    // size and then shared by every file of that type.
    static QImage iconOfType(const TypeIcon &type, int pixels);
    // An application: a bundle (".app") or an AppImage.
    static bool isApp(const QString &path);
    // The icon file an application bundle names in Contents/Info.plist
    // (CFBundleIconFile, with .icns or .png), else the first icon in
    // Contents/Resources; absent when the bundle has none.
    static std::optional<QString> appIconPath(const QString &bundlePath);
    // The desktop thumbnail-cache file for `path` whose recorded
    // modification time matches the file's; absent when none is fresh.
    static std::optional<QString> cachedThumbnailPath(const QString &path, int pixels);
    // The first of `names` the icon theme has.
    static QImage themeIcon(const QStringList &names, int pixels);

signals:
    // The picture for this key is in the cache (or could not be made).
    void loaded(const QString &key);

private:
    struct Job
    {
        QString key;
        QByteArray path;
        int pixels = 0;
        const QObject *owner = nullptr;
    };
    struct Made
    {
        QImage image;
        std::optional<TypeIcon> type;
    };
    static Made makeOffThread(const QByteArray &path, int pixels);
    void startWorkers();
    void work();
    void finished(const QString &key, int pixels, const Made &made);

    mutable QMutex m_mutex;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_pending;
    std::deque<Job> m_waiting;
    int m_workers = 0;
    int m_maxWorkers = 2;
    bool m_startPosted = false;
    QThreadPool m_pool;
};
