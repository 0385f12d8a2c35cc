#include "picture.h"
#include "tempdir.h"

#include <QFile>

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

extern char **environ;

namespace {

void chunk(QFile &out, const char type[4], const QByteArray &data)
{
    const quint32 length = quint32(data.size());
    const char size[4] = {char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
    out.write(size, 4);
    QByteArray body(type, 4);
    body += data;
    out.write(body);
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())));
    const char sum[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    out.write(sum, 4);
}

// A real, valid PNG of `side` × `side` white RGB pixels with a black band
// across the middle, written row by row: a few MB on disk, gigabytes once
// decoded whole.
void writeHugePng(const QByteArray &path, int side)
{
    QFile out(QFile::decodeName(path));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    for (int v : {side, side}) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        header += QByteArray(bytes, 4);
    }
    header += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, deflate, no filter, no interlace
    chunk(out, "IHDR", header);

    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 1), Z_OK);
    const int rowBytes = 3 * side + 1;
    QByteArray white(rowBytes, char(0xff));
    white[0] = 0;
    QByteArray black(rowBytes, char(0));
    QByteArray compressed(1 << 20, Qt::Uninitialized);
    for (int y = 0; y <= side; ++y) {
        const bool last = y == side;
        const QByteArray &row = (y > side / 2 && y < side / 2 + side / 50) ? black : white;
        z.next_in = last ? nullptr : reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        z.avail_in = last ? 0 : uInt(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(compressed.data());
            z.avail_out = uInt(compressed.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            const qsizetype made = compressed.size() - qsizetype(z.avail_out);
            if (made > 0)
                chunk(out, "IDAT", compressed.left(made));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    chunk(out, "IEND", {});
}

} // namespace

TEST(LargePicture, DecodeSizeKeepsSmallPicturesAndReducesOrRefusesLargeOnes)
{
    struct Case
    {
        QSize stored;
        bool canScale;
        bool kept;
        bool refused;
    };
    for (const Case c : {Case{{4000, 3000}, true, true, false}, Case{{4000, 3000}, false, true, false},
                         Case{{20000, 20000}, true, false, false}, Case{{20000, 20000}, false, false, true},
                         Case{{100000, 40}, true, true, false}, Case{{0, 0}, true, false, true}}) {
        const QSize got = Picture::decodeSize(c.stored, c.canScale);
        if (c.refused) {
            EXPECT_FALSE(got.isValid()) << c.stored.width();
            continue;
        }
        if (c.kept) {
            EXPECT_EQ(got, c.stored);
            continue;
        }
        EXPECT_LE(qint64(got.width()) * got.height(), Picture::kMaxPixels);
        EXPECT_GT(qint64(got.width()) * got.height(), Picture::kMaxPixels * 9 / 10);
        EXPECT_NEAR(double(got.width()) / got.height(), double(c.stored.width()) / c.stored.height(), 0.01);
    }
}

TEST(LargePicture, AHugePngIsDecodedReducedAndReadInLittleMemory)
{
    TempTree tree;
    const QByteArray path = tree.path("huge.png");
    constexpr int kSide = 20000;
    writeHugePng(path, kSide);
    ASSERT_LT(QFile(QFile::decodeName(path)).size(), 8 << 20);

    const std::optional<Picture> picture = Picture::load(path);
    ASSERT_TRUE(picture);
    EXPECT_LE(qint64(picture->width()) * picture->height(), Picture::kMaxPixels);
    EXPECT_EQ(picture->width(), picture->height());
    // The black band survives the reduction where it was drawn.
    const cv::Mat &pixels = picture->pixels();
    const int middle = picture->height() / 2 + picture->height() / 100;
    EXPECT_LT(pixels.at<cv::Vec3b>(middle, picture->width() / 2)[1], 64);
    EXPECT_GT(pixels.at<cv::Vec3b>(picture->height() / 4, picture->width() / 2)[1], 192);

    // The whole reading, text and subjects, in a process of its own: its
    // peak resident memory stays well under what the full image would take.
    pid_t child = 0;
    const QByteArray program = TOVALO_CLI;
    char *argv[] = {const_cast<char *>(program.constData()), const_cast<char *>("ocr"),
                    const_cast<char *>(path.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const qint64 peakBytes = qint64(usage.ru_maxrss) * 1024;
    EXPECT_LT(peakBytes, qint64(600) << 20);
}
