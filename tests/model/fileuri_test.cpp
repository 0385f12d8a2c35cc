#include "model/fileuri.h"

#include <gtest/gtest.h>

namespace {

// Every byte survives the round trip, and the encoding is the one the
// Trash's records use, so the two never disagree on a name.
TEST(FileUri, RoundTripsRawBytes)
{
    const QByteArray paths[] = {
        "/home/u/plain.txt",
        "/home/u/two words.txt",
        "/home/u/line\nbreak",
        "/home/u/caf\xe9.txt",                 // Latin-1, not UTF-8
        "/home/u/\xef\xbf\xbd.txt",            // a real U+FFFD
        "/home/u/caf\xc3\xa9.txt",             // UTF-8
        "/home/u/50%25 off?#&=+;:,@!$'()*[]",  // characters URIs give a meaning to
        "/home/u/\x01\x7f\xff",
        "/",
    };
    for (const QByteArray &path : paths) {
        const QByteArray uri = FileUri::fromPath(path);
        EXPECT_TRUE(uri.startsWith("file:///")) << uri.constData();
        EXPECT_EQ(uri.mid(7), path.toPercentEncoding("/")) << uri.constData();
        for (const char c : uri)
            EXPECT_TRUE(c > ' ' && c < 0x7f) << uri.constData();
        EXPECT_EQ(FileUri::toPath(uri), path) << uri.constData();
    }
    // A U+FFFD standing in for a byte and a real one are different files.
    EXPECT_NE(FileUri::fromPath("/h/caf\xe9"), FileUri::fromPath("/h/caf\xef\xbf\xbd"));
}

TEST(FileUri, ReadsOnlyLocalFiles)
{
    const struct
    {
        const char *uri;
        std::optional<QByteArray> path;
    } cases[] = {
        {"file:///tmp/a%20b", QByteArray("/tmp/a b")},
        {"file://localhost/tmp/a", QByteArray("/tmp/a")},
        {"FILE://LocalHost/tmp/a", QByteArray("/tmp/a")},
        {"file:/tmp/a", QByteArray("/tmp/a")},
        {"file:///tmp/%c3%A9", QByteArray("/tmp/\xc3\xa9")},
        {"file://server/share/a", std::nullopt},
        {"file://localhost", std::nullopt},
        {"file:///tmp/a?x=1", std::nullopt},
        {"file:///tmp/a#part", std::nullopt},
        {"file:///tmp/%zz", std::nullopt},
        {"file:///tmp/%4", std::nullopt},
        {"file:///tmp/%00etc", std::nullopt},
        {"file:relative", std::nullopt},
        {"http:///tmp/a", std::nullopt},
        {"/tmp/a", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileUri::toPath(c.uri), c.path) << c.uri;
    EXPECT_TRUE(FileUri::looksLikeUri("file:///x"));
    EXPECT_FALSE(FileUri::looksLikeUri("file:x"));
    EXPECT_FALSE(FileUri::looksLikeUri("./file:/x"));
}

} // namespace
