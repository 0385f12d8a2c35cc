#include "thumbs.h"

#include "thumbmaker.h"

#include "appimage.h"

#include "model/kind.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMetaObject>
#include <QMimeDatabase>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

// A file without a telling extension may still be a picture. Compressed
// files are not asked: the SVG reader inflates anything gzip-compressed to
// look for a drawing and warns on standard error when it is not one.
bool sniffsAsImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.peek(2) == QByteArrayLiteral("\x1f\x8b"))
        return false;
    return !QImageReader::imageFormat(&file).isEmpty();
}

// The freedesktop thumbnail folders and the edge each one holds.
struct CacheFolder
{
    const char *name;
    int pixels;
};
constexpr CacheFolder kCacheFolders[] = {
    {"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

QString thumbnailRoot()
{
    const QByteArray xdg = qgetenv("XDG_CACHE_HOME");
    const QString base = xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.cache")
                                       : QFile::decodeName(xdg);
    return base + QStringLiteral("/thumbnails");
}

// The source's mtime the thumbnail writer recorded in a tEXt chunk. Read
// from the chunks directly: Qt's PNG reader splits keys at colons and so
// never finds "Thumb::MTime".
std::optional<qint64> recordedMTime(const QString &thumbPath)
{
    QFile file(thumbPath);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return std::nullopt;
    static const QByteArray key = QByteArrayLiteral("Thumb::MTime");
    while (!file.atEnd()) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            break;
        const quint32 length = (quint32(uchar(head[0])) << 24) | (quint32(uchar(head[1])) << 16) |
                               (quint32(uchar(head[2])) << 8) | quint32(uchar(head[3]));
        const QByteArray type = head.mid(4, 4);
        // Text chunks come before the image data; past it there is nothing to find.
        if (type == "IDAT" || type == "IEND" || length > (1u << 20))
            break;
        const QByteArray data = file.read(length);
        file.skip(4); // CRC
        if (type == "tEXt" && data.startsWith(key + '\0')) {
            bool ok = false;
            const qint64 value = data.mid(key.size() + 1).trimmed().toLongLong(&ok);
            return ok ? std::optional<qint64>(value) : std::nullopt;
        }
    }
    return std::nullopt;
}

QString bundleIconName(const QString &plistPath)
{
    QFile file(plistPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.read(256 * 1024));
    static const QRegularExpression pattern(
        QStringLiteral("<key>\\s*CFBundleIconFile\\s*</key>\\s*<string>([^<]*)</string>"));
    const QRegularExpressionMatch m = pattern.match(text);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

bool isAppImage(const QString &path)
{
    return path.endsWith(QLatin1String(".appimage"), Qt::CaseInsensitive);
}

// An icon file's bytes (PNG or SVG, as AppImages carry them) at most `pixels` wide and high.
QImage decoded(QByteArray bytes, int pixels)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > pixels || size.height() > pixels)) {
        size.scale(pixels, pixels, Qt::KeepAspectRatio);
        reader.setScaledSize(size.expandedTo(QSize(1, 1)));
    }
    return reader.read();
}

QImage fitted(QImage image, int pixels)
{
    if (!image.isNull() && (image.width() > pixels || image.height() > pixels))
        image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

Thumbs &Thumbs::shared()
{
    static Thumbs *instance = new Thumbs;
    return *instance;
}

Thumbs::Thumbs(QObject *parent, int threads) : QObject(parent), m_cache(kCountLimit)
{
    // Decoders are memory hungry; two at a time keep up with scrolling.
    m_maxWorkers = threads > 0 ? threads : std::max(2, QThread::idealThreadCount() / 2);
    m_pool.setMaxThreadCount(m_maxWorkers);
}

Thumbs::~Thumbs()
{
    {
        QMutexLocker lock(&m_mutex);
        m_waiting.clear();
    }
    m_pool.waitForDone();
}

QString Thumbs::key(const QByteArray &path, double size)
{
    return QString::number(qint64(size)) + u'|' + QFile::decodeName(path);
}

QImage Thumbs::cached(const QByteArray &path, double size) const
{
    const QString k = key(path, size);
    QMutexLocker lock(&m_mutex);
    const QImage *image = m_cache.object(k);
    return image ? *image : QImage();
}

bool Thumbs::contains(const QByteArray &path, double size) const
{
    const QString k = key(path, size);
    QMutexLocker lock(&m_mutex);
    return m_cache.contains(k);
}

int Thumbs::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_cache.count());
}

int Thumbs::waiting() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_waiting.size());
}

void Thumbs::insert(const QByteArray &path, double size, const QImage &image)
{
    QMutexLocker lock(&m_mutex);
    m_cache.insert(key(path, size), new QImage(image), 1);
}

void Thumbs::request(const QByteArray &path, double size, const QObject *owner)
{
    const QString k = key(path, size);
    // Sharp on scaled screens; one pixel per point otherwise, which keeps a
    // full cache within a few hundred megabytes.
    const qreal ratio = qGuiApp ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
    const int pixels = int(size * ratio);
    {
        QMutexLocker lock(&m_mutex);
        if (m_cache.contains(k))
            return;
        if (m_pending.contains(k)) {
            // Asked by a second party: nobody may drop it any more.
            for (Job &job : m_waiting)
                if (job.key == k && job.owner != owner)
                    job.owner = nullptr;
            return;
        }
        m_pending.insert(k);
        m_waiting.push_back({k, path, pixels, owner});
    }
    // The workers start once this pass of the event loop is over, when a
    // view has asked for all it shows and dropped what it no longer does.
    if (!m_startPosted) {
        m_startPosted = true;
        QMetaObject::invokeMethod(this, &Thumbs::startWorkers, Qt::QueuedConnection);
    }
}

void Thumbs::startWorkers()
{
    m_startPosted = false;
    int starting = 0;
    {
        QMutexLocker lock(&m_mutex);
        starting = std::min(m_maxWorkers - m_workers, int(m_waiting.size()));
        m_workers += std::max(0, starting);
    }
    for (int i = 0; i < starting; ++i)
        m_pool.start([this] { work(); });
}

void Thumbs::retain(const QObject *owner, const QSet<QByteArray> &paths)
{
    if (!owner)
        return;
    QMutexLocker lock(&m_mutex);
    const auto dropped = std::remove_if(m_waiting.begin(), m_waiting.end(), [&](const Job &job) {
        if (job.owner != owner || paths.contains(job.path))
            return false;
        m_pending.remove(job.key);
        return true;
    });
    m_waiting.erase(dropped, m_waiting.end());
}

void Thumbs::work()
{
    for (;;) {
        Job job;
        {
            QMutexLocker lock(&m_mutex);
            if (m_waiting.empty()) {
                --m_workers;
                return;
            }
            // Newest first: what was asked last is what is on screen now.
            job = std::move(m_waiting.back());
            m_waiting.pop_back();
        }
        Made made = makeOffThread(job.path, job.pixels);
        // Posted to this object: the call is dropped if it is gone by then.
        QMetaObject::invokeMethod(this, [this, key = job.key, pixels = job.pixels, made = std::move(made)] {
            finished(key, pixels, made);
        }, Qt::QueuedConnection);
    }
}

Thumbs::Made Thumbs::makeOffThread(const QByteArray &path, int pixels)
{
    Made made;
    made.image = drawn(path, pixels);
    if (made.image.isNull())
        made.type = typeIconOf(path);
    return made;
}

void Thumbs::finished(const QString &key, int pixels, const Made &made)
{
    // Icon themes hand out pixmaps, which belong to the main thread; each
    // type's icon is drawn once and shared.
    QImage image = made.image;
    if (image.isNull() && made.type)
        image = iconOfType(*made.type, pixels);
    {
        QMutexLocker lock(&m_mutex);
        m_pending.remove(key);
        // A failure stores nothing, so a later request tries again.
        if (!image.isNull())
            m_cache.insert(key, new QImage(image), 1);
    }
    emit loaded(key);
}

void Thumbs::waitForDone()
{
    startWorkers();
    m_pool.waitForDone();
}

QImage Thumbs::make(const QByteArray &path, int pixels)
{
    const QImage image = drawn(path, pixels);
    return image.isNull() ? iconFor(path, pixels) : image;
}

QImage Thumbs::iconFor(const QByteArray &nativePath, int pixels)
{
    const std::optional<TypeIcon> type = typeIconOf(nativePath);
    return type ? iconOfType(*type, pixels) : QImage();
}

std::optional<Thumbs::TypeIcon> Thumbs::typeIconOf(const QByteArray &nativePath)
{
    const QString path = QFile::decodeName(nativePath);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    if (isApp(path))
        return TypeIcon{QStringLiteral("application/x-executable"), {QStringLiteral("application-x-executable")}};
    // The database locks itself; asked from the workers it keeps the
    // content sniffing of extensionless files off the main thread.
    static const QMimeDatabase db;
    // A pipe or a device is named by its extension: its bytes may never come.
    const QFileInfo info(path);
    const bool readable = info.isFile() || info.isDir();
    const QMimeType type = db.mimeTypeForFile(info, readable ? QMimeDatabase::MatchDefault
                                                             : QMimeDatabase::MatchExtension);
    return TypeIcon{type.name(), {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic")}};
}

QImage Thumbs::iconOfType(const TypeIcon &type, int pixels)
{
    static QHash<QString, QImage> drawnTypes;
    const QString k = QString::number(pixels) + u'|' + type.type;
    const auto found = drawnTypes.constFind(k);
    if (found != drawnTypes.constEnd())
        return *found;
    const QImage image = themeIcon(type.names, pixels);
    drawnTypes.insert(k, image);
    return image;
}

bool Thumbs::isApp(const QString &path)
{
    return path.endsWith(QLatin1String(".app"), Qt::CaseInsensitive) || isAppImage(path);
}

QImage Thumbs::drawn(const QByteArray &nativePath, int pixels)
{
    const QString path = QFile::decodeName(nativePath);
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // Reading a pipe or a device named like a picture would wait forever.
    if (!info.isFile() && !isApp(path))
        return {};
    // An application shows its own icon; the thumbnail readers are not asked.
    if (isAppImage(path)) {
        const QByteArray icon = AppImage::dirIcon(nativePath);
        return icon.isEmpty() ? QImage() : decoded(icon, pixels);
    }
    if (isApp(path)) {
        const std::optional<QString> icon = appIconPath(path);
        return icon ? ThumbMaker::image(*icon, pixels) : QImage();
    }
    if (const std::optional<QString> cachedFile = cachedThumbnailPath(path, pixels)) {
        const QImage image = fitted(QImage(*cachedFile), pixels);
        if (!image.isNull())
            return image;
    }
    const Kind kind = Kinds::of(info.suffix().toLower());
    const QString suffix = info.suffix().toLower();
    QImage image;
    if (kind == Kind::image || (kind == Kind::other && sniffsAsImage(path)))
        image = ThumbMaker::image(path, pixels);
    if (image.isNull() && suffix == QLatin1String("pdf"))
        image = ThumbMaker::pdfPage(path, pixels);
    if (image.isNull() && kind == Kind::video)
        image = ThumbMaker::videoFrame(path, pixels);
    return image;
}

std::optional<QString> Thumbs::appIconPath(const QString &bundlePath)
{
    const QString resources = bundlePath + QStringLiteral("/Contents/Resources/");
    const QString named = bundleIconName(bundlePath + QStringLiteral("/Contents/Info.plist"));
    if (!named.isEmpty()) {
        const QStringList candidates = {named, named + QStringLiteral(".icns"),
                                        named + QStringLiteral(".png")};
        for (const QString &candidate : candidates) {
            const QFileInfo file(resources + candidate);
            if (file.isFile())
                return file.filePath();
        }
    }
    const QStringList icons = QDir(resources).entryList({QStringLiteral("*.icns"), QStringLiteral("*.png")},
                                                        QDir::Files, QDir::Name);
    if (icons.isEmpty())
        return std::nullopt;
    return resources + icons.first();
}

std::optional<QString> Thumbs::cachedThumbnailPath(const QString &path, int pixels)
{
    const QFileInfo info(path);
    const QByteArray uri = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded();
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
        QStringLiteral(".png");
    const qint64 mtime = info.lastModified().toSecsSinceEpoch();
    const QString root = thumbnailRoot();
    // The smallest folder that is large enough, then the larger ones.
    for (const CacheFolder &folder : kCacheFolders) {
        if (folder.pixels < pixels && folder.pixels != 1024)
            continue;
        const QString candidate = root + u'/' + QLatin1String(folder.name) + u'/' + name;
        if (!QFileInfo::exists(candidate))
            continue;
        if (recordedMTime(candidate) == mtime)
            return candidate;
    }
    return std::nullopt;
}

QImage Thumbs::themeIcon(const QStringList &names, int pixels)
{
    // Without a desktop session (offscreen, bare X) the theme is unnamed;
    // the installed Adwaita set stands in.
    static const bool themed = [] {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            const QString icons = data + QStringLiteral("/icons");
            if (!paths.contains(icons))
                paths.append(icons);
        }
        QIcon::setThemeSearchPaths(paths);
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)themed;
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return icon.pixmap(pixels, pixels).toImage();
    }
    return {};
}
