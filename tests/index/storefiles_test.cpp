#include "analysis/ocrstore.h"
#include "indexstore.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

// What may stand where a store file belongs instead of the file itself.
namespace {

enum class Odd
{
    fifo,
    linkToZero,
    linkToFile,
};

const char *nameOf(Odd odd)
{
    switch (odd) {
    case Odd::fifo:
        return "a pipe";
    case Odd::linkToZero:
        return "a link to /dev/zero";
    case Odd::linkToFile:
        return "a link to a file elsewhere";
    }
    return "";
}

void plant(Odd odd, const QByteArray &path, const QByteArray &elsewhere)
{
    switch (odd) {
    case Odd::fifo:
        ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
        break;
    case Odd::linkToZero:
        ASSERT_EQ(::symlink("/dev/zero", path.constData()), 0);
        break;
    case Odd::linkToFile:
        ASSERT_EQ(::symlink(elsewhere.constData(), path.constData()), 0);
        break;
    }
}

mode_t typeOf(const QByteArray &path)
{
    struct stat st = {};
    ::lstat(path.constData(), &st);
    return st.st_mode & S_IFMT;
}

// Runs `work`, which must not wait on `fifo`; should it hang there, the pipe is
// fed and closed so that the test fails instead of hanging too.
template <typename Work>
auto withoutHanging(const QByteArray &fifo, Work work)
{
    auto result = std::async(std::launch::async, work);
    if (result.wait_for(std::chrono::seconds(30)) == std::future_status::timeout) {
        ADD_FAILURE() << "waited on the pipe";
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        const QByteArray junk(65536, 'j');
        if (fd >= 0) {
            (void)!::write(fd, junk.constData(), size_t(junk.size()));
            ::close(fd);
        }
    }
    return result.get();
}

QStringList damaged(const TempTree &tree, const QString &file)
{
    return QDir(QFile::decodeName(tree.path())).entryList({file + QStringLiteral(".damaged-*")},
                                                         QDir::AllEntries | QDir::System | QDir::Hidden);
}

} // namespace

TEST(StoreFiles, TheIndexOpensOnlyRegularFiles)
{
    for (const Odd odd : {Odd::fifo, Odd::linkToZero, Odd::linkToFile}) {
        for (const QByteArray &suffix : {QByteArray(), QByteArray("-wal")}) {
            SCOPED_TRACE(std::string(nameOf(odd)) + " at index.sqlite" + suffix.constData());
            TempTree tree;
            const QByteArray elsewhere = tree.file("elsewhere.txt", "not to be touched");
            const QByteArray path = tree.path("index.sqlite" + suffix);
            plant(odd, path, elsewhere);
            const QString file = QFile::decodeName(tree.path("index.sqlite"));

            QString readerError;
            const bool readable = withoutHanging(path, [&] {
                return IndexStore::openReader(file, &readerError).has_value();
            });
            if (suffix.isEmpty() && odd != Odd::linkToFile) {
                EXPECT_FALSE(readable);
            }
            const bool opened = withoutHanging(path, [&] { return IndexStore::open(file) != nullptr; });
            EXPECT_TRUE(opened);
            // A fresh index stands in its place, and the odd thing was moved aside untouched.
            EXPECT_EQ(typeOf(tree.path("index.sqlite")), mode_t(S_IFREG));
            const QStringList aside = damaged(tree, QStringLiteral("index.sqlite"));
            ASSERT_FALSE(aside.filter(QStringLiteral(".damaged-")).isEmpty());
            bool found = false;
            for (const QString &name : aside)
                found = found || typeOf(tree.path(QFile::encodeName(name))) ==
                                     (odd == Odd::fifo ? mode_t(S_IFIFO) : mode_t(S_IFLNK));
            EXPECT_TRUE(found) << aside.join(u' ').toStdString();
            QFile kept(QFile::decodeName(elsewhere));
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), "not to be touched");
        }
    }
}

TEST(StoreFiles, TheTextInImagesStoreReadsOnlyARegularFileOfSaneSize)
{
    for (const Odd odd : {Odd::fifo, Odd::linkToZero, Odd::linkToFile}) {
        SCOPED_TRACE(nameOf(odd));
        TempTree tree;
        const QByteArray elsewhere = tree.file("elsewhere.json", R"({"/a.png":{"m":1,"s":2,"t":"x"}})");
        const QByteArray path = tree.path("text-in-images.json");
        plant(odd, path, elsewhere);
        const QString file = QFile::decodeName(path);
        const auto loaded = withoutHanging(path, [&] { return OcrStore::load(file); });
        EXPECT_FALSE(loaded.has_value());
        EXPECT_EQ(typeOf(path), mode_t(0)); // moved aside
        EXPECT_EQ(damaged(tree, QStringLiteral("text-in-images.json")).size(), 1);
        // The next save writes a plain file of its own.
        ASSERT_TRUE(OcrStore::save(file, {{"/b.png", {1.0, 2, "y", std::nullopt}}}));
        EXPECT_EQ(typeOf(path), mode_t(S_IFREG));
        QFile kept(QFile::decodeName(elsewhere));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), R"({"/a.png":{"m":1,"s":2,"t":"x"}})");
    }

    // Larger than any real store: set aside unread (sparse, so it costs no disk).
    TempTree tree;
    const QByteArray path = tree.path("text-in-images.json");
    {
        QFile big(QFile::decodeName(path));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(OcrStore::kMaxFileBytes + 1));
    }
    EXPECT_FALSE(OcrStore::load(QFile::decodeName(path)).has_value());
    EXPECT_EQ(typeOf(path), mode_t(0));
    EXPECT_EQ(damaged(tree, QStringLiteral("text-in-images.json")).size(), 1);
}
