#include "analysis/ocrstore.h"
#include "tempdir.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(OcrStore, RoundTripsEveryKindOfEntryThroughAFileOnlyTheUserCanRead)
{
    OcrStore::Entries entries;
    entries.insert("/home/ana/Pictures/Screenshot from 2024-06-01 10-00-00.png",
                   {1717236000.123, 482'113, "Invoice 2024-0113\nTotal \"due\": 12 \\ 3", QStringList{"document", "text"}});
    entries.insert("/home/ana/Bilder/Café 😀.jpg", {1717236000.0, 0, "tab\there\r\x01 control", std::nullopt});
    entries.insert("/home/ana/blank.png", {-1.25, (qint64(1) << 40) + 3, "", QStringList{}});
    TempTree tree;
    const QString file = QFile::decodeName(tree.path("text-in-images.json"));
    ASSERT_TRUE(OcrStore::save(file, entries));

    EXPECT_EQ(OcrStore::load(file), entries);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Standard JSON with exactly the members m, s, t and, when read, l.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.contains('\n'));
    EXPECT_TRUE(bytes.contains("\"m\":1717236000.123,"));
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    ASSERT_EQ(root.size(), 3);
    EXPECT_EQ(root.value(u"/home/ana/Pictures/Screenshot from 2024-06-01 10-00-00.png").toObject().keys(),
              (QStringList{"l", "m", "s", "t"}));
    EXPECT_EQ(root.value(QString::fromUtf8("/home/ana/Bilder/Café 😀.jpg")).toObject().keys(),
              (QStringList{"m", "s", "t"}));
}

TEST(OcrStore, LeavesOutPathsThatAreNotUtf8)
{
    OcrStore::Entries entries;
    entries.insert("/home/ana/caf\xe9.png", {1.0, 1, "latin", QStringList{}});
    entries.insert("/home/ana/ok.png", {2.0, 2, "fine", QStringList{}});
    const auto decoded = OcrStore::decode(OcrStore::encode(entries));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->keys(), QList<QByteArray>{"/home/ana/ok.png"});
}

TEST(OcrStore, SkipsOnlyTheBadEntriesAndRejectsWhatIsNoObject)
{
    const char *good = R"("/a.png":{"m":1.5,"s":10,"t":"x","l":["dog"]})";
    for (const QByteArray json : {QByteArray(), QByteArray("not json"), QByteArray("[]"),
                                  QByteArray("{") + good /* cut off */})
        EXPECT_FALSE(OcrStore::decode(json)) << json.constData();

    const std::vector<QByteArray> badEntries = {
        R"(1)",
        R"({"m":1.5,"s":10})",
        R"({"s":10,"t":"x"})",
        R"({"m":"1.5","s":10,"t":"x"})",
        R"({"m":1.5,"s":10.5,"t":"x"})",
        R"({"m":1.5,"s":"10","t":"x"})",
        R"({"m":1.5,"s":10,"t":7})",
        R"({"m":1.5,"s":10,"t":"x","l":"dog"})",
        R"({"m":1.5,"s":10,"t":"x","l":["dog",3]})",
    };
    for (const QByteArray &bad : badEntries) {
        SCOPED_TRACE(bad.constData());
        const auto decoded = OcrStore::decode(QByteArray("{") + good + R"(,"/b.png":)" + bad + "}");
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->keys(), QList<QByteArray>{"/a.png"});
    }

    const auto parsed = OcrStore::decode(QByteArray("{") + good + R"(,"/c.png":{"m":2,"s":0,"t":"","l":null}})");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->value("/a.png"), (OcrStore::Entry{1.5, 10, "x", QStringList{"dog"}}));
    EXPECT_EQ(parsed->value("/c.png"), (OcrStore::Entry{2.0, 0, "", std::nullopt}));
    EXPECT_EQ(OcrStore::decode("{}"), OcrStore::Entries{});
}
