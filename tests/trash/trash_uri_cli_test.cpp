#include "model/fileuri.h"
#include "tempdir.h"
#include "trashtesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace TrashTesting;

namespace {

struct CliOutcome
{
    int status;
    QList<QJsonObject> objects;
    QByteArray firstLine;
    QByteArray err;
};

// The command-line tool with a private home and Trash.
CliOutcome cli(const TempTree &tree, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QFile::decodeName(tree.path("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QFile::decodeName(tree.path("home/.local/share")));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("TOVALO_ROOTS"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_CLI), arguments);
    p.waitForFinished(60000);
    CliOutcome run{p.exitCode(), {}, {}, p.readAllStandardError()};
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            run.objects.append(doc.object());
        else if (run.firstLine.isEmpty())
            run.firstLine = line;
    }
    return run;
}

QString uriOf(const QByteArray &path)
{
    return QString::fromLatin1(FileUri::fromPath(path));
}

} // namespace

// A name that is not UTF-8 and a name holding a real U+FFFD print the same
// "path"; the "uri" tells them apart, and the Trash takes the one it names.
TEST(TrashByUri, TheUriFromAListingTrashesThatFileAndNoOther)
{
    TempTree tree;
    tree.folder("home/.local/share");
    const QByteArray latin = tree.file("docs/caf\xe9.bin", QByteArray(3000, 'a'));
    const QByteArray copy = tree.file("docs/copy.bin", QByteArray(3000, 'a'));
    const QByteArray real = tree.file("docs/caf\xef\xbf\xbd.bin", QByteArray(4000, 'b'));
    const QStringList roots = {QStringLiteral("--roots"), uriOf(tree.path("docs")), QStringLiteral("--apps"),
                               uriOf(tree.path("docs"))};

    const CliOutcome scan = cli(tree, QStringList{QStringLiteral("scan")} + roots);
    ASSERT_EQ(scan.status, 0) << scan.err.toStdString();
    QMap<QString, QString> pathByUri;
    for (const QJsonObject &o : scan.objects)
        pathByUri.insert(o.value("uri").toString(), o.value("path").toString());
    ASSERT_EQ(pathByUri.size(), 3);
    EXPECT_EQ(pathByUri.value(uriOf(latin)), pathByUri.value(uriOf(real))); // the same text for two files
    EXPECT_TRUE(pathByUri.contains(uriOf(copy)));

    const CliOutcome dups = cli(tree, QStringList{QStringLiteral("dups")} + roots);
    ASSERT_EQ(dups.status, 0) << dups.err.toStdString();
    ASSERT_EQ(dups.objects.size(), 1);
    QStringList uris;
    for (const QJsonValue &v : dups.objects.first().value("itemUris").toArray())
        uris << v.toString();
    uris.sort();
    EXPECT_EQ(uris, (QStringList{uriOf(latin), uriOf(copy)}));
    EXPECT_TRUE(uris.contains(dups.objects.first().value("keepUri").toString()));

    const CliOutcome trash = cli(tree, {QStringLiteral("trash"), uriOf(latin)});
    ASSERT_EQ(trash.status, 0) << trash.err.toStdString();
    ASSERT_EQ(trash.objects.size(), 1);
    EXPECT_EQ(trash.objects.first().value("uri").toString(), uriOf(latin));
    EXPECT_FALSE(exists(latin));
    EXPECT_EQ(contents(real), QByteArray(4000, 'b'));
    EXPECT_EQ(contents(copy), QByteArray(3000, 'a'));
    const QByteArray trashed = *FileUri::toPath(trash.objects.first().value("toUri").toString().toLatin1());
    EXPECT_EQ(trashed, tree.path("home/.local/share/Trash/files/caf\xe9.bin"));
    EXPECT_EQ(contents(trashed), QByteArray(3000, 'a'));
}

TEST(TrashByUri, AUriOfNoLocalFileIsRefusedAndNothingMoves)
{
    TempTree tree;
    tree.folder("home/.local/share");
    const QByteArray file = tree.file("docs/a.txt", "words");
    for (const QString &bad : {QStringLiteral("file://server/") + uriOf(file).mid(8), uriOf(file) + "%zz",
                               uriOf(file) + QStringLiteral("?x")}) {
        const CliOutcome run = cli(tree, {QStringLiteral("trash"), uriOf(file), bad});
        EXPECT_EQ(run.status, 2) << bad.toStdString();
        EXPECT_TRUE(run.err.contains("not the URI of a local file")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
        EXPECT_TRUE(exists(file));
    }
}
