#include "model/sourcegroup.h"
#include "model/sourcenamer.h"

#include <gtest/gtest.h>

TEST(SourceNamer, NamesTheSource)
{
    const struct
    {
        QStringList froms;
        std::optional<QString> name;
    } cases[] = {
        // The first host that matches any row decides.
        {{"https://mail-attachment.googleusercontent.com/attachment/u/0/?x=1",
          "https://mail.google.com/mail/u/0/"},
         "Gmail"},
        {{"https://de.youtube.com/watch?v=1"}, "YouTube"},
        {{"https://notyoutube.com/a"}, "notyoutube.com"},
        {{"https://drive.usercontent.google.com/download?id=1", "https://drive.google.com/"},
         "Google Drive"},
        {{"https://lh3.googleusercontent.com/a.png"}, "Google"},
        {{"https://www.google.com/search"}, "Google"},
        {{"https://d111.cloudfront.net/f.zip", "https://files.example.org/page"}, "example.org"},
        {{"https://d111.cloudfront.net/f.zip", "https://bucket.s3.amazonaws.com/p"}, "amazonaws.com"},
        {{"https://files.example.org/page", "https://d111.cloudfront.net/f.zip"}, "example.org"},
        {{"chrome-extension://abc/x", "https://mail.google.com/"}, "Extensions"},
        {{"moz-extension://abc/x"}, "Extensions"},
        {{"https://mail.google.com/", "chrome-extension://abc/x"}, "Extensions"},
        {{"Mail.app", "https://example.com"}, "example.com"},
        {{"", "Messages"}, "Messages"},
        {{}, std::nullopt},
        {{"", ""}, std::nullopt},
        {{"HTTPS://FILES.SLACK.COM/x"}, "Slack"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SourceNamer::name(c.froms), c.name) << c.froms.join(" | ").toStdString();
}

TEST(SourceNamer, RegistrableDomain)
{
    const std::pair<const char *, const char *> cases[] = {
        {"files.example.co.uk", "example.co.uk"}, {"files.example.ac.jp", "example.ac.jp"},
        {"a.b.example.com", "example.com"},       {"example.io", "example.io"},
        {"x.y.example.io", "example.io"},         {"localhost", "localhost"},
        {"a.example.io.uk", "io.uk"},             {"a..example.com", "example.com"},
    };
    for (const auto &[host, expected] : cases)
        EXPECT_EQ(SourceNamer::registrable(host), expected) << host;
}

TEST(SourceGroup, MoreFilesFirstThenLaterNameFirst)
{
    auto record = [](const char *path, const char *source, qint64 size) {
        FileItem::Fields f;
        f.path = path;
        f.source = QString::fromUtf8(source);
        f.size = size;
        return FileItem(f);
    };
    const QList<FileItem> items = {
        record("/a1", "Canva", 1), record("/b1", "Figma", 2), record("/c1", "Zoom", 3),
        record("/a2", "Canva", 4), record("/b2", "Figma", 5), record("/a3", "Canva", 6),
        record("/b3", "Figma", 7), record("/n", nullptr, 8),  record("/c2", "Slack", 9),
    };
    const QList<SourceGroup> groups = SourceGroup::build(items);
    QStringList names;
    for (const SourceGroup &g : groups)
        names.append(g.name);
    EXPECT_EQ(names, (QStringList{"Figma", "Canva", "Zoom", "Slack"}));
    EXPECT_EQ(groups.at(0).size, 14);
    EXPECT_EQ(groups.at(1).items.first().path(), "/a1"); // catalog order kept inside a group
}
