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

#include <optional>

// Thumbnails of files at a requested edge length, made off the main thread
// and kept in a shared cache of at most kCountLimit images keyed "size|path".
// The cache is read from the main thread and written from the workers, so
// every access goes through one mutex. It only grows until the limit evicts
// the oldest entries: a file changed on disk keeps its old picture meanwhile.
class Thumbs final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCountLimit = 3000;

    static Thumbs &shared();
    explicit Thumbs(QObject *parent = nullptr);
    ~Thumbs() override;

    // "220|/home/ana/Pictures/cat.jpg": the size truncated to an integer.
    static QString key(const QByteArray &path, double size);

    // The cached picture; a null image when there is none yet.
    QImage cached(const QByteArray &path, double size) const;
    bool contains(const QByteArray &path, double size) const;
    int count() const;
    // Makes the picture in the background unless it is cached or already on
    // its way; loaded() tells when it is there. Main thread.
    void request(const QByteArray &path, double size);
    // Waits for the requests under way; for tests and benchmarks.
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
    // application icon for an application that brings none).
    static QImage iconFor(const QByteArray &path, int pixels);
    // An application: a bundle (".app") or an AppImage.
    static bool isApp(const QString &path);
    // The icon file an application bundle names in Contents/Info.plist
    // (CFBundleIconFile, with .icns or .png), else the first icon in
    // Contents/Resources; absent when the bundle has none.
    static std::optional<QString> appIconPath(const QString &bundlePath);
    // The desktop thumbnail-cache file for `path` whose recorded
    // modification time matches the file's; absent when none is fresh.
    static std::optional<QString> cachedThumbnailPath(const QString &path, int pixels);
    // The file's type icon from the icon theme.
    static QImage typeIcon(const QString &path, int pixels);
    // The first of `names` the icon theme has.
    static QImage themeIcon(const QStringList &names, int pixels);

signals:
    // The picture for this key is in the cache (or could not be made).
    void loaded(const QString &key);

private:
    void finished(const QString &key, const QByteArray &path, int pixels, QImage image);

    mutable QMutex m_mutex;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_pending;
    QThreadPool m_pool;
};
