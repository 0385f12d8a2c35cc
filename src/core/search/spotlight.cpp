#include "spotlight.h"

#include "metadataindex.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

std::optional<QString> contentType(Kind kind)
{
    switch (kind) {
    case Kind::image: return QStringLiteral("public.image");
    case Kind::video: return QStringLiteral("public.movie");
    case Kind::music: return QStringLiteral("public.audio");
    case Kind::app: return QStringLiteral("com.apple.application-bundle");
    default: return std::nullopt;
    }
}

constexpr const char *kExcluded[] = {"/node_modules/", "/DerivedData/",   "/Pods/",         "/site-packages/",
                                     "/venv/",         "/__pycache__/",   "/.build/",       "/build/",
                                     "/intermediates/", ".app/",          ".framework/",    ".bundle/",
                                     ".photoslibrary/", ".musiclibrary/", ".xcassets/"};

// Backslashes first, so the escapes added for quotes and stars stay single.
QString escaped(QString term)
{
    term.replace(u'\\', QStringLiteral("\\\\"));
    term.replace(u'"', QStringLiteral("\\\""));
    term.replace(u'*', QStringLiteral("\\*"));
    return term;
}

QString kindClause(const Query &q)
{
    QStringList alternatives;
    std::set<QString> exts = q.exts;
    for (const Kind kind : q.kinds) {
        if (const auto type = contentType(kind)) {
            alternatives << QStringLiteral("kMDItemContentTypeTree == \"%1\"").arg(*type);
        } else {
            const QStringList more = Kinds::extensions(kind);
            exts.insert(more.begin(), more.end());
        }
    }
    for (const QString &ext : exts)
        alternatives << QStringLiteral("kMDItemFSName == \"*.%1\"c").arg(ext);
    if (q.screenshots)
        alternatives << QStringLiteral("kMDItemIsScreenCapture == 1");
    if (alternatives.isEmpty())
        return {};
    return u'(' + alternatives.join(QStringLiteral(" || ")) + u')';
}

QString deviceClause(const QString &device)
{
    if (device == u"camera" || device == u"phone" || device == u"android")
        return QStringLiteral("kMDItemAcquisitionMake == \"*\"");
    const QString d = device == u"drone" ? QStringLiteral("dji") : device;
    return QStringLiteral("(kMDItemAcquisitionModel == \"*%1*\"cd || kMDItemAcquisitionMake == \"*%1*\"cd)").arg(d);
}

QString termClause(const QString &term)
{
    const QString e = escaped(term);
    const QString content = term.contains(u' ') ? QStringLiteral("kMDItemTextContent == \"%1\"cd").arg(e)
                                                : QStringLiteral("kMDItemTextContent == \"%1*\"cdw").arg(e);
    return QStringLiteral("(kMDItemFSName == \"*%1*\"cd || %2)").arg(e, content);
}

} // namespace

const QByteArray &Spotlight::home()
{
    static const QByteArray h = [] {
        QByteArray path = QFile::encodeName(QDir::cleanPath(QDir::homePath()));
        while (path.endsWith('/'))
            path.chop(1);
        return path;
    }();
    return h;
}

QString Spotlight::iso(Millis instant)
{
    // Whole seconds, earlier rather than later: a bound never admits less than the query asked for.
    Millis seconds = instant / 1000;
    if (instant % 1000 < 0)
        seconds -= 1;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
}

std::optional<QString> Spotlight::queryString(const Query &q)
{
    QStringList clauses;
    const QString kind = kindClause(q);
    if (!kind.isEmpty())
        clauses << kind;
    if (q.from) {
        const QString t = QStringLiteral("$time.iso(%1)").arg(iso(*q.from));
        clauses << QStringLiteral("(kMDItemFSContentChangeDate >= %1 || kMDItemDateAdded >= %1)").arg(t);
    }
    if (q.to)
        clauses << QStringLiteral("kMDItemFSContentChangeDate < $time.iso(%1)").arg(iso(*q.to));
    if (q.minSize)
        clauses << QStringLiteral("kMDItemFSSize >= %1").arg(*q.minSize);
    if (q.maxSize)
        clauses << QStringLiteral("kMDItemFSSize <= %1").arg(*q.maxSize);
    if (q.source)
        clauses << QStringLiteral("kMDItemWhereFroms == \"*\"");
    if (q.device)
        clauses << deviceClause(*q.device);
    for (const QString &term : q.terms)
        clauses << termClause(term);
    if (clauses.isEmpty())
        return std::nullopt;
    clauses.prepend(QStringLiteral("kMDItemContentTypeTree != \"public.folder\""));
    return clauses.join(QStringLiteral(" && "));
}

QList<QByteArray> Spotlight::search(const Query &query, int limit)
{
    return search(query, limit, home());
}

QList<QByteArray> Spotlight::search(const Query &query, int limit, const QByteArray &homeFolder)
{
    if (qEnvironmentVariableIsSet("TOVALO_DEMO_HOME"))
        return {};
    const std::optional<QString> predicate = queryString(query);
    if (!predicate || limit <= 0)
        return {};
    const std::shared_ptr<MetadataIndex> index = MetadataIndex::installed();
    if (!index)
        return {};
    const auto found = index->search(*predicate, homeFolder, kMaxGathered);
    if (!found)
        return {};
    return keep(*found, homeFolder, limit);
}

QList<QByteArray> Spotlight::keep(const QList<QByteArray> &found, const QByteArray &homeFolder, int limit)
{
    QList<QByteArray> out;
    const QByteArray prefix = homeFolder + '/';
    for (const QByteArray &path : found) {
        if (out.size() >= limit)
            break;
        if (path.isEmpty() || !path.startsWith(prefix))
            continue;
        const QByteArrayView rel = QByteArrayView(path).sliced(homeFolder.size());
        if (rel.startsWith("/Library/") && !rel.startsWith("/Library/Mobile Documents/"))
            continue;
        if (rel.contains("/."))
            continue;
        if (std::any_of(std::begin(kExcluded), std::end(kExcluded),
                        [&](const char *fragment) { return rel.contains(fragment); }))
            continue;
        out.append(path);
    }
    return out;
}
