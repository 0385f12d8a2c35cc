#include "tempdir.h"
#include "testimages.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

TEST(OcrCommand, PrintsOneLinePerFileInOrderAndLeavesTheStoreAlone)
{
    TempTree tree;
    const QByteArray image = tree.path("Screenshot from 2024-06-01.png");
    TestImages::writeText(image, QSize(600, 120), {{{20, 50}, "Meeting notes for Monday"}}, 18);
    const QByteArray notImage = tree.file("notes.png", "just words");
    const QByteArray missing = tree.path("missing.png");

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QFile::decodeName(tree.path("data")));
    env.remove(QString::fromLatin1("TOVALO_CLASSIFIER_MODEL"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOVALO_CLI), {"ocr", QFile::decodeName(image), QFile::decodeName(missing),
                                         QFile::decodeName(notImage)});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);

    QList<QJsonObject> lines;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].value("path").toString(), QFile::decodeName(image));
    EXPECT_EQ(lines[0].value("text").toString(), "Meeting notes for Monday");
    EXPECT_TRUE(lines[0].value("labels").isArray());
    for (int i : {1, 2}) {
        EXPECT_EQ(lines[i].value("text").toString(), "");
        EXPECT_EQ(lines[i].value("labels").toArray(), QJsonArray());
    }
    EXPECT_EQ(lines[1].value("path").toString(), QFile::decodeName(missing));
    EXPECT_EQ(lines[2].value("path").toString(), QFile::decodeName(notImage));

    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.contains("missing.png")) << err.constData();
    EXPECT_TRUE(err.contains("notes.png")) << err.constData();
    EXPECT_EQ(err.count('\n'), 2) << err.constData();
    EXPECT_FALSE(QDir(QFile::decodeName(tree.path("data/Tovalo"))).exists());
}

TEST(OcrCommand, NeedsAFile)
{
    QProcess p;
    p.start(QStringLiteral(TOVALO_CLI), {"ocr"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("FILE"));
}
