#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status;
    QByteArray out;
    QByteArray err;
};

// Berlin time and a Monday-first locale, so dates do not depend on the machine.
Outcome parse(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Berlin");
    env.insert("LC_ALL", "en_GB.UTF-8");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_CLI), QStringList{"parse"} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QJsonObject object(const Outcome &run)
{
    EXPECT_EQ(run.out.count('\n'), 1) << run.out.toStdString();
    return QJsonDocument::fromJson(run.out).object();
}

TEST(ParseCommand, PrintsEveryFieldChipsAndPredicate)
{
    const Outcome run = parse({"pdfs from last week", "--now", "2025-01-15T10:00:00"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject o = object(run);
    const QStringList members = {"kinds",   "exts",      "screenshots", "kindLabel", "from",   "to",
                                 "dateLabel", "minSize", "maxSize",     "sizeLabel", "source", "device",
                                 "terms",   "chips",     "predicate"};
    for (const QString &m : members)
        EXPECT_TRUE(o.contains(m)) << m.toStdString();
    EXPECT_EQ(o.size(), members.size());
    EXPECT_EQ(o.value("exts").toArray(), QJsonArray{"pdf"});
    EXPECT_EQ(o.value("kinds").toArray(), QJsonArray{});
    EXPECT_EQ(o.value("from").toString(), "2025-01-06T00:00:00.000+01:00");
    EXPECT_EQ(o.value("to").toString(), "2025-01-13T00:00:00.000+01:00");
    EXPECT_EQ(o.value("dateLabel").toString(), "Last week");
    EXPECT_TRUE(o.value("minSize").isNull());
    EXPECT_TRUE(o.value("source").isNull());
    const QJsonArray chips = o.value("chips").toArray();
    ASSERT_EQ(chips.size(), 2);
    EXPECT_EQ(chips.at(0).toObject(),
              (QJsonObject{{"id", "kind"}, {"label", "PDFs"}, {"symbol", "square.stack"}}));
    EXPECT_EQ(o.value("predicate").toString(),
              R"(kMDItemContentTypeTree != "public.folder" && (kMDItemFSName == "*.pdf"c) && )"
              R"((kMDItemFSContentChangeDate >= $time.iso(2025-01-05T23:00:00Z) || )"
              R"(kMDItemDateAdded >= $time.iso(2025-01-05T23:00:00Z)) && )"
              R"(kMDItemFSContentChangeDate < $time.iso(2025-01-12T23:00:00Z))");
}

TEST(ParseCommand, WordsMayComeUnquotedAndSourcesAreNamed)
{
    const Outcome run = parse({"--sources", "Team Chat, Gmail", "--now", "2025-01-15T10:00:00+01:00", "invoices",
                           "via", "team", "chat", "over", "9223372036854775807", "mb"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject o = object(run);
    EXPECT_EQ(o.value("source").toString(), "Team Chat");
    EXPECT_EQ(o.value("terms").toArray(), (QJsonArray{"invoices", "chat"}));
    // A byte count past 64 bits is no size at all.
    EXPECT_TRUE(o.value("minSize").isNull());
    EXPECT_TRUE(o.value("sizeLabel").isNull());
}

TEST(ParseCommand, LargeSizesAreExact)
{
    const Outcome run = parse({"over 9000000 tb"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains("\"minSize\":9000000000000000000")) << run.out.toStdString();
}

TEST(ParseCommand, NothingParsedGivesNoPredicate)
{
    const Outcome run = parse({"the", "--now", "2025-01-15T10:00:00"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(object(run).value("predicate").isNull());
}

TEST(ParseCommand, BadUsage)
{
    const struct
    {
        QStringList args;
        const char *message;
    } cases[] = {
        {{}, "missing search text"},
        {{"x", "--now", "next tuesday"}, "not an ISO 8601 date and time: next tuesday"},
        {{"x", "--bogus"}, "Unknown option 'bogus'"},
    };
    for (const auto &c : cases) {
        const Outcome run = parse(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
}

} // namespace
