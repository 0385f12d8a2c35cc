#include "recordjson.h"

#include "model/fileuri.h"
#include "model/fmt.h"

#include <QJsonDocument>

QJsonObject recordJson(const FileItem &item)
{
    QJsonObject o;
    o.insert(u"path", item.pathString());
    o.insert(u"uri", QString::fromLatin1(FileUri::fromPath(item.path())));
    o.insert(u"name", item.name());
    o.insert(u"ext", item.ext());
    o.insert(u"kind", Kinds::rawValue(item.kind()));
    o.insert(u"size", double(item.size()));
    o.insert(u"modified", Fmt::iso(item.modified()));
    o.insert(u"created", Fmt::iso(item.created()));
    o.insert(u"added", Fmt::iso(item.added()));
    const auto source = item.source();
    o.insert(u"source", source ? QJsonValue(*source) : QJsonValue(QJsonValue::Null));
    o.insert(u"isScreenshot", item.isScreenshot());
    o.insert(u"isCloudOnly", item.isCloudOnly());
    const auto lastUsed = item.lastUsed();
    o.insert(u"lastUsed", lastUsed ? QJsonValue(Fmt::iso(*lastUsed)) : QJsonValue(QJsonValue::Null));
    return o;
}

QByteArray jsonLine(const QJsonObject &object)
{
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line += '\n';
    return line;
}
