#include "clirun.h"
#include "extractclient.h"
#include "indexer.h"
#include "indexstore.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <QFile>

// A script tells "there is no index" from "the index refused this predicate" by the exit status.
TEST(QueryCommand, EachFailureHasItsOwnExitStatus)
{
    TempTree tree;
    const QString file = QFile::decodeName(tree.path("index.sqlite"));
    const QString missing = QFile::decodeName(tree.path("none.sqlite"));
    // A file to look at, so that the pattern is really run.
    tree.file("home/Documents/a.txt", "words");
    ASSERT_TRUE(Indexer(file, {tree.path("home")}, ExtractClient::helperCommand()).runPass(false));
    const QString tooComplex =
        QStringLiteral("kMDItemFSName == \"%1\"").arg(QStringLiteral("*a").repeated(30'000));
    struct Case
    {
        QString predicate;
        QString index;
        int status;
    };
    const Case cases[] = {
        {QStringLiteral("kMDItemFSName == \"*.pdf\""), file, 0},
        {QStringLiteral("kMDItemFSName == \"a.*\""), file, 0},
        {QStringLiteral("kMDItemFSName == \"*.pdf\""), missing, 1},
        {QStringLiteral("kMDItemFSName =="), file, 2},
        {tooComplex, file, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.predicate.left(40).toStdString());
        const CliRun run = runCli(QStringLiteral(TOVALO_CLI),
                                  {QStringLiteral("query"), QStringLiteral("--index"), c.index, c.predicate});
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_EQ(run.out.isEmpty(), !c.predicate.contains(u"a.*"));
        EXPECT_EQ(run.err.count("tovalo-cli: "), c.status == 0 ? 0 : 1) << run.err.toStdString();
    }
}
