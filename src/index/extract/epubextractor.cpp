#include "epubextractor.h"

#include "markuptext.h"
#include "textsink.h"
#include "ziparchive.h"

#include <QDir>
#include <QUrl>
#include <QHash>
#include <QXmlStreamReader>

namespace {

constexpr qint64 kMaxPartBytes = 32ll << 20;

QString rootFile(const ZipArchive &zip)
{
    const std::optional<QByteArray> container = zip.read(QStringLiteral("META-INF/container.xml"), 1 << 20);
    if (!container)
        return {};
    QXmlStreamReader reader(*container);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"rootfile")
            return reader.attributes().value(QStringLiteral("full-path")).toString();
    }
    return {};
}

// The chapter files named by the package document, in spine order.
QStringList spine(const QByteArray &opf, const QString &base)
{
    QHash<QString, QString> manifest;
    QStringList order;
    QXmlStreamReader reader(opf);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attrs = reader.attributes();
        if (reader.name() == u"item")
            manifest.insert(attrs.value(QStringLiteral("id")).toString(), attrs.value(QStringLiteral("href")).toString());
        else if (reader.name() == u"itemref")
            order.append(attrs.value(QStringLiteral("idref")).toString());
    }
    QStringList out;
    for (const QString &id : order) {
        const QString href = QUrl::fromPercentEncoding(manifest.value(id).toUtf8());
        if (!href.isEmpty())
            out.append(QDir::cleanPath(base.isEmpty() ? href : base + u'/' + href));
    }
    return out;
}

} // namespace

bool EpubExtractor::read(const QByteArray &path, TextSink &sink)
{
    ZipArchive zip(path);
    if (!zip.isOpen())
        return false;
    const QString opfName = rootFile(zip);
    QStringList chapters;
    if (!opfName.isEmpty()) {
        if (const auto opf = zip.read(opfName, 8 << 20)) {
            const qsizetype slash = opfName.lastIndexOf(u'/');
            chapters = spine(*opf, slash < 0 ? QString() : opfName.left(slash));
        }
    }
    if (chapters.isEmpty()) {
        // No usable package document: every page of the book, in archive order.
        for (const QString &n : zip.names())
            if (n.endsWith(u".xhtml") || n.endsWith(u".html") || n.endsWith(u".htm"))
                chapters.append(n);
        if (chapters.isEmpty())
            return false;
    }
    for (const QString &chapter : chapters) {
        const auto bytes = zip.read(chapter, kMaxPartBytes);
        if (!bytes)
            continue;
        MarkupText::html(*bytes, sink);
        sink.breakLine();
        if (sink.isFull())
            break;
    }
    return true;
}
