#include "model/fileuri.h"
#include "model/fmt.h"
#include "recordjson.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// The record as QJsonObject would hold it: what listings printed before the
// writer, and what any JSON reader must still get back.
QJsonObject reference(const FileItem &item)
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

TEST(RecordJson, ReadsBackAsTheObjectItStandsFor)
{
    const struct
    {
        QByteArray path;
        qint64 size;
        Millis modified;
        std::optional<Millis> lastUsed;
    } cases[] = {
        {"/home/u/plain.txt", 1'000'000, 1'700'000'000'123, std::nullopt},
        {"/home/u/quote\"back\\slash.md", 0, 0, 1'600'000'000'000},
        {"/home/u/line\nbreak\ttab\x01.txt", 42, kDistantPast, std::nullopt},
        {"/home/u/caf\xe9 not utf-8.pdf", 9'007'199'254'740'992, -1, std::nullopt},
        {"/home/u/\xef\xbf\xbd real replacement.png", 7, 253'402'300'799'999, std::nullopt},
        {"/home/u/\xf0\x9f\x98\x80 emoji \xc3\xa9t\xc3\xa9.JPG", 123, 86'400'000 * 365LL, std::nullopt},
        {"/home/u/Screenshot from 2024-01-01.png", 5, 1'704'067'200'000, std::nullopt},
    };
    for (const auto &c : cases) {
        FileItem::Fields f;
        f.path = c.path;
        const QString name = QFile::decodeName(c.path.mid(c.path.lastIndexOf('/') + 1));
        f.ext = lowerExtension(name);
        f.kind = Kinds::of(f.ext);
        if (c.size == 42)
            f.source = QStringLiteral("Mail \"Inbox\"");
        f.size = c.size;
        f.modified = c.modified;
        f.created = c.modified - 1000;
        f.lastUsed = c.lastUsed;
        f.isScreenshot = c.path.contains("Screenshot");
        const FileItem item(f);
        QByteArray line;
        appendRecordJson(line, item);
        ASSERT_TRUE(line.endsWith("}\n")) << line.constData();
        EXPECT_EQ(line.count('\n'), 1) << line.constData();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        EXPECT_EQ(doc.object(), reference(item)) << line.constData();
        // Sizes are whole numbers, never 1e+06.
        EXPECT_TRUE(line.contains("\"size\":" + QByteArray::number(c.size) + ',')) << line.constData();
    }
}

} // namespace
