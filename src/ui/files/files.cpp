#include "files.h"

#include "analysis/ocrindex.h"
#include "library/library.h"
#include "state/trasher.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLocale>
#include <QMetaObject>
#include <QMimeData>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>
#include <QUrl>

namespace {

QList<QUrl> urlsOf(const QList<FileItem> &items)
{
    QList<QUrl> urls;
    urls.reserve(items.size());
    for (const FileItem &item : items)
        urls.append(Files::url(item));
    return urls;
}

void openParentFolder(const FileItem &item)
{
    const QString parent = QFileInfo(item.pathString()).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(parent));
}

} // namespace

namespace Files {

QUrl url(const FileItem &item)
{
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + item.path().toPercentEncoding("/"), QUrl::StrictMode);
}

void open(const QList<FileItem> &items)
{
    for (const FileItem &item : items)
        QDesktopServices::openUrl(url(item));
}

void reveal(const QList<FileItem> &items)
{
    if (items.isEmpty())
        return;
    QStringList uris;
    for (const QUrl &url : urlsOf(items))
        uris.append(QString::fromLatin1(url.toEncoded()));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const FileItem first = items.first();
    if (!bus.isConnected()) {
        openParentFolder(first);
        return;
    }
    // Asynchronous, so a slow file manager never holds the window; an error
    // reply (no file manager on the bus) falls back to the folder.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, qApp,
                     [first](QDBusPendingCallWatcher *w) {
                         if (w->isError())
                             openParentFolder(first);
                         w->deleteLater();
                     });
}

QMimeData *mimeData(const QList<FileItem> &items)
{
    auto *data = new QMimeData;
    const QList<QUrl> urls = urlsOf(items);
    data->setUrls(urls);
    QByteArray gnome = "copy";
    for (const QUrl &url : urls)
        gnome += '\n' + url.toEncoded();
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setText(pathsText(items));
    return data;
}

QString pathsText(const QList<FileItem> &items)
{
    QStringList paths;
    paths.reserve(items.size());
    for (const FileItem &item : items)
        paths.append(item.pathString());
    return paths.join(u'\n');
}

void copy(const QList<FileItem> &items)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(mimeData(items));
}

void copyPath(const QList<FileItem> &items)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(pathsText(items));
}

QString copiedMessage(qsizetype images)
{
    return QStringLiteral("Copied text from ") + QLocale().toString(images) +
           (images == 1 ? QStringLiteral(" image") : QStringLiteral(" images"));
}

QString notFoundMessage(qsizetype images)
{
    return QStringLiteral("No text found in ") +
           (images == 1 ? QStringLiteral("that image") : QStringLiteral("those images"));
}

void copyText(const QList<FileItem> &items)
{
    QList<QByteArray> images;
    for (const FileItem &item : items) {
        if (item.kind() == Kind::image)
            images.append(item.path());
    }
    if (images.isEmpty())
        return;
    const QHash<QByteArray, QString> known = Library::shared().ocr();
    QPointer<QObject> app(qApp);
    QThreadPool::globalInstance()->start([images, known, app]() {
        QStringList texts;
        for (const QByteArray &path : images) {
            const auto it = known.constFind(path);
            const QString text = it != known.constEnd() ? *it : OCRIndex::look(path, true).text;
            if (!text.isEmpty())
                texts.append(text);
        }
        if (!app)
            return;
        QMetaObject::invokeMethod(app.data(), [texts, count = images.size()]() {
            if (texts.isEmpty()) {
                Trasher::shared().show(notFoundMessage(count), false);
                return;
            }
            QClipboard *clipboard = QGuiApplication::clipboard();
            clipboard->clear();
            clipboard->setText(texts.join(QStringLiteral("\n\n")));
            Trasher::shared().show(copiedMessage(count), false);
        }, Qt::QueuedConnection);
    });
}

} // namespace Files
